#pragma once

#include "music/MusicPicture.h"

#include <array>
#include <cstdint>
#include <vector>

namespace music {

/// One key's colour from the music picture: its key code (HID usage, 255 for Fn) and a colour
/// reference (red in the low byte).
struct MusicKeyColor {
    uint8_t keyCode = 0;
    uint32_t colorRef = 0;
};

/// The key colours of one sampled frame, and whether any of them is above 1 (a frame whose keys
/// are all black or nearly so is not worth sending).
struct MusicKeyColors {
    std::vector<MusicKeyColor> keys;
    bool anyAboveOne = false;
};

/// The 6 x 23 grid of keys laid over the music picture: the cell in grid row r and column k
/// shows the picture's pixel at row 7 + 10 r and column 11 k.
class MusicKeyGrid {
public:
    static constexpr int Rows = 6;
    static constexpr int Columns = 23;
    static constexpr uint8_t Empty = 0; ///< a cell with no key

    static int PictureRow(int gridRow) { return 7 + 10 * gridRow; }
    static int PictureColumn(int gridColumn) { return 11 * gridColumn; }

    /// The key code of a cell, or Empty.
    static uint8_t KeyAt(int gridRow, int gridColumn) { return s_keys[gridRow][gridColumn]; }

    /// Samples `picture` at every non-empty cell, in grid order.
    static MusicKeyColors Sample(const MusicPicture& picture);

private:
    static const std::array<std::array<uint8_t, Columns>, Rows> s_keys;
};

} // namespace music
