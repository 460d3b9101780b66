#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// The keyboard's 88 keys as the program draws them. A key is known everywhere by its key code, the
// USB HID keyboard usage id (255 for Fn), so the same number names it on screen, in the database
// and on the wire.
namespace model {

/// A key's area on the keyboard drawing, relative to its key area; right and bottom are exclusive.
struct KeyRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

/// One key of the layout table.
struct KeyEntry {
    std::u16string_view name; ///< label drawn on the key, also its description
    uint32_t code = 0;        ///< USB HID usage id; 255 for Fn
    KeyRect rect;
};

/// The layout table in drawing order: row by row from the top, left to right. The entries live as
/// long as the program.
std::span<const KeyEntry> KeyLayout();

/// The entry with this key code, or null when no key has it. Codes are distinct.
const KeyEntry* FindKey(uint32_t code);

} // namespace model
