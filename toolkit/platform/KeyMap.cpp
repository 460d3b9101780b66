#include "toolkit/platform/KeyMap.h"

#include "toolkit/platform/VirtualKeys.h"

#include <array>
#include <cstddef>

namespace tessel {

namespace {

struct Entry {
    uint16_t evdev;
    uint8_t vk;
    uint8_t sidedVk;
    uint8_t scan;
    bool extended;
};

// Evdev key codes 1..88 were numbered after the set-1 scan codes, so for most keys the scan code
// equals the evdev code; the keys that came later on the PC keyboard (the navigation block, right
// Ctrl and Alt, the Windows keys) carry the extended flag with the scan code of their older twin.
constexpr Entry kEntries[] = {
    {1, VK_ESCAPE, VK_ESCAPE, 0x01, false},
    {2, '1', '1', 0x02, false},
    {3, '2', '2', 0x03, false},
    {4, '3', '3', 0x04, false},
    {5, '4', '4', 0x05, false},
    {6, '5', '5', 0x06, false},
    {7, '6', '6', 0x07, false},
    {8, '7', '7', 0x08, false},
    {9, '8', '8', 0x09, false},
    {10, '9', '9', 0x0A, false},
    {11, '0', '0', 0x0B, false},
    {12, VK_OEM_MINUS, VK_OEM_MINUS, 0x0C, false},
    {13, VK_OEM_PLUS, VK_OEM_PLUS, 0x0D, false},
    {14, VK_BACK, VK_BACK, 0x0E, false},
    {15, VK_TAB, VK_TAB, 0x0F, false},
    {16, 'Q', 'Q', 0x10, false},
    {17, 'W', 'W', 0x11, false},
    {18, 'E', 'E', 0x12, false},
    {19, 'R', 'R', 0x13, false},
    {20, 'T', 'T', 0x14, false},
    {21, 'Y', 'Y', 0x15, false},
    {22, 'U', 'U', 0x16, false},
    {23, 'I', 'I', 0x17, false},
    {24, 'O', 'O', 0x18, false},
    {25, 'P', 'P', 0x19, false},
    {26, VK_OEM_4, VK_OEM_4, 0x1A, false},
    {27, VK_OEM_6, VK_OEM_6, 0x1B, false},
    {28, VK_RETURN, VK_RETURN, 0x1C, false},
    {29, VK_CONTROL, VK_LCONTROL, 0x1D, false},
    {30, 'A', 'A', 0x1E, false},
    {31, 'S', 'S', 0x1F, false},
    {32, 'D', 'D', 0x20, false},
    {33, 'F', 'F', 0x21, false},
    {34, 'G', 'G', 0x22, false},
    {35, 'H', 'H', 0x23, false},
    {36, 'J', 'J', 0x24, false},
    {37, 'K', 'K', 0x25, false},
    {38, 'L', 'L', 0x26, false},
    {39, VK_OEM_1, VK_OEM_1, 0x27, false},
    {40, VK_OEM_7, VK_OEM_7, 0x28, false},
    {41, VK_OEM_3, VK_OEM_3, 0x29, false},
    {42, VK_SHIFT, VK_LSHIFT, 0x2A, false},
    {43, VK_OEM_5, VK_OEM_5, 0x2B, false},
    {44, 'Z', 'Z', 0x2C, false},
    {45, 'X', 'X', 0x2D, false},
    {46, 'C', 'C', 0x2E, false},
    {47, 'V', 'V', 0x2F, false},
    {48, 'B', 'B', 0x30, false},
    {49, 'N', 'N', 0x31, false},
    {50, 'M', 'M', 0x32, false},
    {51, VK_OEM_COMMA, VK_OEM_COMMA, 0x33, false},
    {52, VK_OEM_PERIOD, VK_OEM_PERIOD, 0x34, false},
    {53, VK_OEM_2, VK_OEM_2, 0x35, false},
    {54, VK_SHIFT, VK_RSHIFT, 0x36, false},
    {55, VK_MULTIPLY, VK_MULTIPLY, 0x37, false},
    {56, VK_MENU, VK_LMENU, 0x38, false},
    {57, VK_SPACE, VK_SPACE, 0x39, false},
    {58, VK_CAPITAL, VK_CAPITAL, 0x3A, false},
    {59, VK_F1, VK_F1, 0x3B, false},
    {60, VK_F1 + 1, VK_F1 + 1, 0x3C, false},
    {61, VK_F1 + 2, VK_F1 + 2, 0x3D, false},
    {62, VK_F1 + 3, VK_F1 + 3, 0x3E, false},
    {63, VK_F1 + 4, VK_F1 + 4, 0x3F, false},
    {64, VK_F1 + 5, VK_F1 + 5, 0x40, false},
    {65, VK_F1 + 6, VK_F1 + 6, 0x41, false},
    {66, VK_F1 + 7, VK_F1 + 7, 0x42, false},
    {67, VK_F1 + 8, VK_F1 + 8, 0x43, false},
    {68, VK_F10, VK_F10, 0x44, false},
    // Num Lock is the extended twin of Pause's scan code.
    {69, VK_NUMLOCK, VK_NUMLOCK, 0x45, true},
    {70, VK_SCROLL, VK_SCROLL, 0x46, false},
    {71, VK_NUMPAD0 + 7, VK_NUMPAD0 + 7, 0x47, false},
    {72, VK_NUMPAD0 + 8, VK_NUMPAD0 + 8, 0x48, false},
    {73, VK_NUMPAD0 + 9, VK_NUMPAD0 + 9, 0x49, false},
    {74, VK_SUBTRACT, VK_SUBTRACT, 0x4A, false},
    {75, VK_NUMPAD0 + 4, VK_NUMPAD0 + 4, 0x4B, false},
    {76, VK_NUMPAD0 + 5, VK_NUMPAD0 + 5, 0x4C, false},
    {77, VK_NUMPAD0 + 6, VK_NUMPAD0 + 6, 0x4D, false},
    {78, VK_ADD, VK_ADD, 0x4E, false},
    {79, VK_NUMPAD0 + 1, VK_NUMPAD0 + 1, 0x4F, false},
    {80, VK_NUMPAD0 + 2, VK_NUMPAD0 + 2, 0x50, false},
    {81, VK_NUMPAD0 + 3, VK_NUMPAD0 + 3, 0x51, false},
    {82, VK_NUMPAD0, VK_NUMPAD0, 0x52, false},
    {83, VK_DECIMAL, VK_DECIMAL, 0x53, false},
    {86, VK_OEM_102, VK_OEM_102, 0x56, false},
    {87, VK_F1 + 10, VK_F1 + 10, 0x57, false},
    {88, VK_F12, VK_F12, 0x58, false},
    {96, VK_RETURN, VK_RETURN, 0x1C, true},     // keypad Enter
    {97, VK_CONTROL, VK_RCONTROL, 0x1D, true},  // right Ctrl
    {98, VK_DIVIDE, VK_DIVIDE, 0x35, true},     // keypad /
    {99, VK_SNAPSHOT, VK_SNAPSHOT, 0x37, true}, // Print Screen
    {100, VK_MENU, VK_RMENU, 0x38, true},       // right Alt
    {102, VK_HOME, VK_HOME, 0x47, true},
    {103, VK_UP, VK_UP, 0x48, true},
    {104, VK_PRIOR, VK_PRIOR, 0x49, true},
    {105, VK_LEFT, VK_LEFT, 0x4B, true},
    {106, VK_RIGHT, VK_RIGHT, 0x4D, true},
    {107, VK_END, VK_END, 0x4F, true},
    {108, VK_DOWN, VK_DOWN, 0x50, true},
    {109, VK_NEXT, VK_NEXT, 0x51, true},
    {110, VK_INSERT, VK_INSERT, 0x52, true},
    {111, VK_DELETE, VK_DELETE, 0x53, true},
    {113, VK_VOLUME_MUTE, VK_VOLUME_MUTE, 0x20, true},
    {114, VK_VOLUME_DOWN, VK_VOLUME_DOWN, 0x2E, true},
    {115, VK_VOLUME_UP, VK_VOLUME_UP, 0x30, true},
    {117, VK_RETURN, VK_RETURN, 0x1C, true}, // keypad =, reported like keypad Enter
    {119, VK_PAUSE, VK_PAUSE, 0x45, false},  // Pause keeps the unextended 0x45
    {125, VK_LWIN, VK_LWIN, 0x5B, true},
    {126, VK_RWIN, VK_RWIN, 0x5C, true},
    {127, VK_APPS, VK_APPS, 0x5D, true}, // the menu key
    {163, VK_MEDIA_NEXT_TRACK, VK_MEDIA_NEXT_TRACK, 0x19, true},
    {164, VK_MEDIA_PLAY_PAUSE, VK_MEDIA_PLAY_PAUSE, 0x22, true},
    {165, VK_MEDIA_PREV_TRACK, VK_MEDIA_PREV_TRACK, 0x10, true},
    {166, VK_MEDIA_STOP, VK_MEDIA_STOP, 0x24, true},
};

constexpr std::size_t kTableSize = 256;

constexpr std::array<Entry, kTableSize> BuildTable() {
    std::array<Entry, kTableSize> table{};
    for (const Entry& e : kEntries) {
        table[e.evdev] = e;
    }
    return table;
}

constexpr std::array<Entry, kTableSize> kTable = BuildTable();

} // namespace

KeyInfo KeyFromEvdev(uint32_t evdevCode) {
    if (evdevCode >= kTableSize || kTable[evdevCode].vk == 0) {
        return {};
    }
    const Entry& e = kTable[evdevCode];
    return KeyInfo{e.vk, e.sidedVk, e.scan, e.extended};
}

} // namespace tessel
