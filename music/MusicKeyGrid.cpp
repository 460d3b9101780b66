#include "music/MusicKeyGrid.h"

namespace music {

// Key codes are HID usages; 0 marks a cell without a key.
const std::array<std::array<uint8_t, MusicKeyGrid::Columns>, MusicKeyGrid::Rows> MusicKeyGrid::s_keys = {{
    {0, 41, 0, 58, 59, 60, 61, 0, 62, 63, 64, 65, 66, 67, 68, 69, 70, 71, 72, 209, 210, 211, 212},
    {0, 53, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 45, 46, 0, 42, 73, 74, 75, 83, 84, 85, 86},
    {0, 43, 20, 26, 8, 21, 23, 28, 24, 12, 18, 19, 47, 48, 0, 49, 76, 77, 78, 95, 96, 97, 87},
    {0, 57, 4, 22, 7, 9, 10, 11, 13, 14, 15, 51, 52, 50, 40, 0, 0, 0, 0, 92, 93, 94, 0},
    {0, 225, 100, 29, 27, 6, 25, 5, 17, 16, 54, 55, 56, 135, 229, 0, 0, 82, 0, 89, 90, 91, 88},
    {0, 224, 227, 226, 0, 0, 44, 0, 0, 0, 0, 230, 255, 101, 254, 228, 80, 81, 79, 98, 0, 99, 0},
}};

MusicKeyColors MusicKeyGrid::Sample(const MusicPicture& picture) {
    MusicKeyColors result;
    result.keys.reserve(Rows * Columns);
    for (int r = 0; r < Rows; ++r) {
        for (int k = 0; k < Columns; ++k) {
            const uint8_t key = s_keys[r][k];
            if (key == Empty)
                continue;
            const uint32_t colorRef = ArgbToColorRef(picture.At(PictureRow(r), PictureColumn(k)));
            result.keys.push_back({key, colorRef});
            if (colorRef > 1)
                result.anyAboveOne = true;
        }
    }
    return result;
}

} // namespace music
