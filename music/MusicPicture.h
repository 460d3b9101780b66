#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace music {

/// A 256 x 64 picture of opaque ARGB pixels (0xAARRGGBB); pixel (row i, column x) is element
/// i x 256 + x, row 0 at the top.
struct MusicPicture {
    static constexpr int Width = 256;
    static constexpr int Height = 64;

    std::array<uint32_t, Width * Height> pixels{};

    uint32_t At(int row, int column) const { return pixels[row * Width + column]; }
    uint32_t& At(int row, int column) { return pixels[row * Width + column]; }
};

/// The opaque ARGB pixel of a colour.
constexpr uint32_t MakeArgb(uint32_t red, uint32_t green, uint32_t blue) {
    return 0xFF000000u | (red & 0xFF) << 16 | (green & 0xFF) << 8 | (blue & 0xFF);
}

/// The colour reference (red in the low byte) of an ARGB pixel, as keys and the keyboard take it.
constexpr uint32_t ArgbToColorRef(uint32_t argb) {
    return (argb >> 16 & 0xFF) | (argb & 0xFF00) | (argb & 0xFF) << 16;
}

/// Composes the music picture: column x shows `bars` in every row i where the bar height of
/// column x is greater than (64 - i) / 64, and `background` elsewhere, so a bar of height h lights
/// the rows from the bottom up.
void ComposeMusicPicture(const MusicPicture& background, const MusicPicture& bars,
                         std::span<const float, MusicPicture::Width> barHeights, MusicPicture& target);

} // namespace music
