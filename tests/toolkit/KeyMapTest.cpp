#include "toolkit/platform/KeyMap.h"

#include "toolkit/platform/VirtualKeys.h"

#include <gtest/gtest.h>
#include <set>

namespace tessel {
namespace {

struct KeyCase {
    const char* name;
    uint32_t hidUsage; // the key code of the keyboard's layout table
    uint32_t evdev;    // what Linux reports for that USB usage
    uint32_t vk;       // what a key message carries
    uint32_t sidedVk;  // what a low-level hook sees
    uint32_t scan;
    bool extended;
};

// Every key of the keyboard's 88-key layout except Fn, which the keyboard handles itself and never
// reports. The expected values are those the original platform gives on a US layout.
const KeyCase kLayout[] = {
    {"Esc", 41, 1, VK_ESCAPE, VK_ESCAPE, 0x01, false},
    {"F1", 58, 59, 0x70, 0x70, 0x3B, false},
    {"F2", 59, 60, 0x71, 0x71, 0x3C, false},
    {"F3", 60, 61, 0x72, 0x72, 0x3D, false},
    {"F4", 61, 62, 0x73, 0x73, 0x3E, false},
    {"F5", 62, 63, 0x74, 0x74, 0x3F, false},
    {"F6", 63, 64, 0x75, 0x75, 0x40, false},
    {"F7", 64, 65, 0x76, 0x76, 0x41, false},
    {"F8", 65, 66, 0x77, 0x77, 0x42, false},
    {"F9", 66, 67, 0x78, 0x78, 0x43, false},
    {"F10", 67, 68, 0x79, 0x79, 0x44, false},
    {"F11", 68, 87, 0x7A, 0x7A, 0x57, false},
    {"F12", 69, 88, 0x7B, 0x7B, 0x58, false},
    {"PrtSc", 70, 99, 0x2C, 0x2C, 0x37, true},
    {"ScrLk", 71, 70, 0x91, 0x91, 0x46, false},
    {"Pause", 72, 119, 0x13, 0x13, 0x45, false},
    {"`~", 53, 41, 0xC0, 0xC0, 0x29, false},
    {"1!", 30, 2, '1', '1', 0x02, false},
    {"2@", 31, 3, '2', '2', 0x03, false},
    {"3#", 32, 4, '3', '3', 0x04, false},
    {"4$", 33, 5, '4', '4', 0x05, false},
    {"5%", 34, 6, '5', '5', 0x06, false},
    {"6^", 35, 7, '6', '6', 0x07, false},
    {"7&", 36, 8, '7', '7', 0x08, false},
    {"8*", 37, 9, '8', '8', 0x09, false},
    {"9(", 38, 10, '9', '9', 0x0A, false},
    {"0)", 39, 11, '0', '0', 0x0B, false},
    {"-_", 45, 12, 0xBD, 0xBD, 0x0C, false},
    {"=+", 46, 13, 0xBB, 0xBB, 0x0D, false},
    {"Backspace", 42, 14, 0x08, 0x08, 0x0E, false},
    {"Ins", 73, 110, 0x2D, 0x2D, 0x52, true},
    {"Home", 74, 102, 0x24, 0x24, 0x47, true},
    {"PgUp", 75, 104, 0x21, 0x21, 0x49, true},
    {"Tab", 43, 15, 0x09, 0x09, 0x0F, false},
    {"Q", 20, 16, 'Q', 'Q', 0x10, false},
    {"W", 26, 17, 'W', 'W', 0x11, false},
    {"E", 8, 18, 'E', 'E', 0x12, false},
    {"R", 21, 19, 'R', 'R', 0x13, false},
    {"T", 23, 20, 'T', 'T', 0x14, false},
    {"Y", 28, 21, 'Y', 'Y', 0x15, false},
    {"U", 24, 22, 'U', 'U', 0x16, false},
    {"I", 12, 23, 'I', 'I', 0x17, false},
    {"O", 18, 24, 'O', 'O', 0x18, false},
    {"P", 19, 25, 'P', 'P', 0x19, false},
    {"[{", 47, 26, 0xDB, 0xDB, 0x1A, false},
    {"]}", 48, 27, 0xDD, 0xDD, 0x1B, false},
    {"\\|", 49, 43, 0xDC, 0xDC, 0x2B, false},
    {"Del", 76, 111, 0x2E, 0x2E, 0x53, true},
    {"End", 77, 107, 0x23, 0x23, 0x4F, true},
    {"PgDn", 78, 109, 0x22, 0x22, 0x51, true},
    {"CapsLock", 57, 58, 0x14, 0x14, 0x3A, false},
    {"A", 4, 30, 'A', 'A', 0x1E, false},
    {"S", 22, 31, 'S', 'S', 0x1F, false},
    {"D", 7, 32, 'D', 'D', 0x20, false},
    {"F", 9, 33, 'F', 'F', 0x21, false},
    {"G", 10, 34, 'G', 'G', 0x22, false},
    {"H", 11, 35, 'H', 'H', 0x23, false},
    {"J", 13, 36, 'J', 'J', 0x24, false},
    {"K", 14, 37, 'K', 'K', 0x25, false},
    {"L", 15, 38, 'L', 'L', 0x26, false},
    {";:", 51, 39, 0xBA, 0xBA, 0x27, false},
    {"'\"", 52, 40, 0xDE, 0xDE, 0x28, false},
    {"Enter", 40, 28, 0x0D, 0x0D, 0x1C, false},
    {"Shift (left)", 225, 42, 0x10, 0xA0, 0x2A, false},
    {"<>", 100, 86, 0xE2, 0xE2, 0x56, false},
    {"Z", 29, 44, 'Z', 'Z', 0x2C, false},
    {"X", 27, 45, 'X', 'X', 0x2D, false},
    {"C", 6, 46, 'C', 'C', 0x2E, false},
    {"V", 25, 47, 'V', 'V', 0x2F, false},
    {"B", 5, 48, 'B', 'B', 0x30, false},
    {"N", 17, 49, 'N', 'N', 0x31, false},
    {"M", 16, 50, 'M', 'M', 0x32, false},
    {",<", 54, 51, 0xBC, 0xBC, 0x33, false},
    {".>", 55, 52, 0xBE, 0xBE, 0x34, false},
    {"/?", 56, 53, 0xBF, 0xBF, 0x35, false},
    {"Shift (right)", 229, 54, 0x10, 0xA1, 0x36, false},
    {"Up", 82, 103, 0x26, 0x26, 0x48, true},
    {"Ctrl (left)", 224, 29, 0x11, 0xA2, 0x1D, false},
    {"Win", 227, 125, 0x5B, 0x5B, 0x5B, true},
    {"Alt (left)", 226, 56, 0x12, 0xA4, 0x38, false},
    {"Space", 44, 57, 0x20, 0x20, 0x39, false},
    {"Alt (right)", 230, 100, 0x12, 0xA5, 0x38, true},
    {"App", 101, 127, 0x5D, 0x5D, 0x5D, true},
    {"Ctrl (right)", 228, 97, 0x11, 0xA3, 0x1D, true},
    {"Left", 80, 105, 0x25, 0x25, 0x4B, true},
    {"Down", 81, 108, 0x28, 0x28, 0x50, true},
    {"Right", 79, 106, 0x27, 0x27, 0x4D, true},
};

TEST(KeyMapTest, EveryKeyOfTheLayoutMapsToTheOriginalVirtualKeyAndScanCode) {
    EXPECT_EQ(std::size(kLayout), 87u);
    std::set<uint32_t> usages;
    std::set<std::pair<uint32_t, bool>> scans;
    for (const KeyCase& key : kLayout) {
        SCOPED_TRACE(key.name);
        usages.insert(key.hidUsage);
        KeyInfo info = KeyFromEvdev(key.evdev);
        EXPECT_EQ(info.vk, key.vk);
        EXPECT_EQ(info.sidedVk, key.sidedVk);
        EXPECT_EQ(info.scanCode, key.scan);
        EXPECT_EQ(info.extended, key.extended);
        // Two keys never share scan code and extended flag.
        EXPECT_TRUE(scans.insert({info.scanCode, info.extended}).second);
    }
    EXPECT_EQ(usages.size(), std::size(kLayout));
}

TEST(KeyMapTest, UnknownCodesGiveNoKey) {
    for (uint32_t code : {0u, 84u, 240u, 255u, 256u, 0xFFFFFFFFu}) {
        EXPECT_EQ(KeyFromEvdev(code).vk, 0u) << code;
    }
}

} // namespace
} // namespace tessel
