#include "model/VirtualKeys.h"

#include <algorithm>
#include <iterator>

namespace model {

namespace {

struct VirtualKeyInfo {
    int virtualKey;
    int keyCode;
    const char16_t* name;
};

// Keys that are not part of a contiguous run (letters, digits, function keys and keypad digits
// are computed below). Sorted by virtual key.
const VirtualKeyInfo kKeys[] = {
    {8, 42, u"Backspace"},
    {9, 43, u"Tab"},
    {13, 40, u"Enter"},
    {16, 0, u"Shift"},
    {17, 0, u"Ctrl"},
    {18, 0, u"Alt"},
    {19, 72, u"Pause"},
    {20, 57, u"Caps Lock"},
    {27, 41, u"Esc"},
    {32, 44, u"Space"},
    {33, 75, u"Page Up"},
    {34, 78, u"Page Down"},
    {35, 77, u"End"},
    {36, 74, u"Home"},
    {37, 80, u"Left"},
    {38, 82, u"Up"},
    {39, 79, u"Right"},
    {40, 81, u"Down"},
    {44, 70, u"Print Screen"},
    {45, 73, u"Insert"},
    {46, 76, u"Delete"},
    {91, 227, u"Windows"},
    {92, 231, u"RWindows"},
    {93, 101, u"Application"},
    {106, 85, u"Num *"},
    {107, 87, u"Num +"},
    {108, 88, u"Num Enter"},
    {109, 86, u"Num -"},
    {110, 99, u"Num Del"},
    {111, 84, u"Num /"},
    {136, 136, u""},
    {137, 137, u""},
    {138, 138, u""},
    {139, 139, u""},
    {144, 83, u"Num Lock"},
    {145, 71, u"Scroll Lock"},
    {160, 225, u"Shift"},
    {161, 229, u"RShift"},
    {162, 224, u"Ctrl"},
    {163, 228, u"RCtrl"},
    {164, 226, u"Alt"},
    {165, 230, u"RAlt"},
    {173, 0, u"Mute"},
    {174, 0, u"Volume Down"},
    {175, 0, u"Volume Up"},
    {176, 0, u"Next Track"},
    {177, 0, u"Previous Track"},
    {178, 0, u"Stop"},
    {179, 0, u"Play/Pause"},
    {186, 51, u";"},
    {187, 46, u"="},
    {188, 54, u","},
    {189, 45, u"-"},
    {190, 55, u"."},
    {191, 56, u"/"},
    {192, 53, u"`"},
    {219, 47, u"["},
    {220, 49, u"\\"},
    {221, 48, u"]"},
    {222, 52, u"'"},
    {226, 100, u"><"},
    {kVirtualKeyFn, 255, u"Fn"},
    {301, 236, u""},
    {302, 235, u""},
    {kVirtualKeyNonUsHash, 50, u"#"},
};

const VirtualKeyInfo* FindKey(int virtualKey) {
    auto it = std::lower_bound(std::begin(kKeys), std::end(kKeys), virtualKey,
                               [](const VirtualKeyInfo& info, int value) { return info.virtualKey < value; });
    if (it == std::end(kKeys) || it->virtualKey != virtualKey)
        return nullptr;
    return &*it;
}

} // namespace

int VirtualKeyToKeyCode(int virtualKey) {
    if (virtualKey >= 'A' && virtualKey <= 'Z')
        return virtualKey - 61;
    if (virtualKey >= '1' && virtualKey <= '9')
        return virtualKey - 19;
    if (virtualKey == '0')
        return 39;
    if (virtualKey >= 112 && virtualKey <= 123) // F1 to F12
        return virtualKey - 54;
    if (virtualKey >= 124 && virtualKey <= 135) // F13 to F24
        return virtualKey - 20;
    if (virtualKey >= 97 && virtualKey <= 105) // keypad 1 to 9
        return virtualKey - 8;
    if (virtualKey == 96) // keypad 0
        return 98;
    const VirtualKeyInfo* info = FindKey(virtualKey);
    return info ? info->keyCode : 0;
}

std::u16string VirtualKeyName(int virtualKey) {
    if ((virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9'))
        return std::u16string(1, static_cast<char16_t>(virtualKey));
    if (virtualKey >= 112 && virtualKey <= 135) {
        std::u16string name = u"F";
        for (char c : std::to_string(virtualKey - 111))
            name += static_cast<char16_t>(c);
        return name;
    }
    if (virtualKey >= 96 && virtualKey <= 105)
        return std::u16string(u"Num ") + static_cast<char16_t>(u'0' + virtualKey - 96);
    const VirtualKeyInfo* info = FindKey(virtualKey);
    return info ? info->name : u"";
}

} // namespace model
