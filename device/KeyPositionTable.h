#pragma once

#include <cstdint>

// Where each key sits in the keyboard's matrix: position p = 6 x column + row, 21 columns and 6
// rows, positions 0 to 127. The key table (6 bytes per position) and the key colour table
// (3 bytes per position) are laid out by these positions. One table serves both directions.
namespace device {

inline constexpr int kKeyPositionCount = 128;

/// The matrix position of a key code, or -1 when the key has none (it is then never written into
/// the key table or the key colour table).
int KeyCodeToPosition(uint32_t keyCode);

/// The key code at a matrix position, or 0 when no key sits there (or the position is out of range).
uint32_t PositionToKeyCode(int position);

} // namespace device
