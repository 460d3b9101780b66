#include "music/MusicPicture.h"

namespace music {

void ComposeMusicPicture(const MusicPicture& background, const MusicPicture& bars,
                         std::span<const float, MusicPicture::Width> barHeights, MusicPicture& target) {
    for (int row = 0; row < MusicPicture::Height; ++row) {
        // Strictly greater: a bar exactly as high as a row's threshold leaves that row dark.
        const float threshold = static_cast<float>(MusicPicture::Height - row) / MusicPicture::Height;
        for (int x = 0; x < MusicPicture::Width; ++x)
            target.At(row, x) = barHeights[x] > threshold ? bars.At(row, x) : background.At(row, x);
    }
}

} // namespace music
