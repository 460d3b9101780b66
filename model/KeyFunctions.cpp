#include "model/KeyFunctions.h"

#include <algorithm>

namespace model {

namespace {

const FunctionChoice kFunctionTypes[] = {
    {kFunctionDefault, 112},    {kFunctionKeyboard, 116}, {kFunctionMacro, 117},   {kFunctionMouse, 118},
    {kFunctionMultimedia, 119}, {kFunctionShortcut, 120}, {kFunctionProgram, 121}, {kFunctionWebsite, 122},
    {kFunctionText, 123},       {kFunctionDisabled, 124},
};
const FunctionChoice kMouse[] = {{1, 151}, {2, 152}, {3, 153}, {5, 154}, {6, 155}, {7, 156}, {8, 157}};
const FunctionChoice kMultimedia[] = {{1, 160}, {2, 161}, {3, 162}, {4, 163}, {5, 164}, {6, 165}, {7, 166}};
const FunctionChoice kShortcut[] = {{1, 170}, {2, 171}, {3, 172}, {4, 173},
                                    {5, 174}, {6, 175}, {7, 176}, {8, 177}};

constexpr uint8_t kEntryKey = 0x10;
constexpr uint8_t kEntryMouseButton = 0x20;
constexpr uint8_t kEntryWheel = 0x21;
constexpr uint8_t kEntryConsumer = 0x30;
constexpr uint8_t kEntryProgram = 0x50;
constexpr uint8_t kEntryAddressOrText = 0x60;
constexpr uint8_t kEntryMacro = 0x70;
constexpr uint8_t kEntrySystem = 0xF0;

void Write(std::span<uint8_t, 3> entry, int b0, int b1, int b2) {
    entry[0] = static_cast<uint8_t>(b0);
    entry[1] = static_cast<uint8_t>(b1);
    entry[2] = static_cast<uint8_t>(b2);
}

// The fixed entry of one sub-function value.
struct FixedEntry {
    int value;
    uint8_t b0, b1, b2;
};

const FixedEntry kMouseEntries[] = {
    {1, kEntryMouseButton, 0x01, 0x00}, // left button
    {2, kEntryMouseButton, 0x04, 0x00}, // middle button
    {3, kEntryMouseButton, 0x02, 0x00}, // right button
    {5, kEntryWheel, 0x00, 0x01},       // wheel one step up
    {6, kEntryWheel, 0x00, 0xFF},       // wheel one step down
    {7, kEntryMouseButton, 0x08, 0x00}, // button 4
    {8, kEntryMouseButton, 0x10, 0x00}, // button 5
};

// HID consumer usages.
const FixedEntry kMultimediaEntries[] = {
    {1, kEntryConsumer, 0xCD, 0x00}, // play/pause
    {2, kEntryConsumer, 0xB7, 0x00}, // stop
    {3, kEntryConsumer, 0xB6, 0x00}, // previous track
    {4, kEntryConsumer, 0xB5, 0x00}, // next track
    {5, kEntryConsumer, 0xE9, 0x00}, // volume up
    {6, kEntryConsumer, 0xEA, 0x00}, // volume down
    {7, kEntryConsumer, 0xE2, 0x00}, // mute
};

// Key combinations with the Windows key (bit 0x08) or Ctrl (bit 0x01), and the keyboard's own
// task switcher.
const FixedEntry kShortcutEntries[] = {
    {1, kEntryKey, 0x08, 0x07},    // show desktop: Windows + D
    {2, kEntryKey, 0x08, 0x08},    // my computer: Windows + E
    {3, kEntryKey, 0x08, 0x0F},    // lock computer: Windows + L
    {4, kEntryKey, 0x01, 0x1A},    // close window: Ctrl + W
    {5, kEntrySystem, 0xA6, 0x00}, // switch windows
    {6, kEntryKey, 0x01, 0x06},    // copy: Ctrl + C
    {7, kEntryKey, 0x01, 0x19},    // paste: Ctrl + V
    {8, kEntryKey, 0x01, 0x1B},    // cut: Ctrl + X
};

bool EncodeFixed(std::span<const FixedEntry> entries, int value, std::span<uint8_t, 3> entry) {
    auto it = std::find_if(entries.begin(), entries.end(),
                           [value](const FixedEntry& fixed) { return fixed.value == value; });
    if (it == entries.end())
        return false;
    Write(entry, it->b0, it->b1, it->b2);
    return true;
}

int SubFunctionText(std::span<const FunctionChoice> choices, int value) {
    auto it = std::find_if(choices.begin(), choices.end(),
                           [value](const FunctionChoice& choice) { return choice.value == value; });
    return it == choices.end() ? 0 : it->textId;
}

} // namespace

const std::span<const FunctionChoice> kKeyFunctionChoices = kFunctionTypes;
const std::span<const FunctionChoice> kMouseChoices = kMouse;
const std::span<const FunctionChoice> kMultimediaChoices = kMultimedia;
const std::span<const FunctionChoice> kShortcutChoices = kShortcut;

int SubFunctionTextId(int macroType, int macroValue) {
    switch (macroType) {
    case kFunctionMouse:
        return SubFunctionText(kMouse, macroValue);
    case kFunctionMultimedia:
        return SubFunctionText(kMultimedia, macroValue);
    case kFunctionShortcut:
        return SubFunctionText(kShortcut, macroValue);
    default:
        return 0;
    }
}

bool EncodeKeyEntry(const KeyFunction& function, std::span<uint8_t, 3> entry, std::span<const int> macroIds) {
    const int value = function.macro_value;
    switch (function.macro_type) {
    case kFunctionDisabled:
        Write(entry, kEntryKey, 0, 0);
        return true;
    case kFunctionKeyboard:
        if (function.macro_value2 != 0)
            Write(entry, kEntryKey, ModifierBit(function.macro_value2), value);
        else if (value >= 224 && value <= 231)
            Write(entry, kEntryKey, 0, ModifierBit(value)); // a modifier alone goes as its bit
        else
            Write(entry, kEntryKey, 0, value);
        return true;
    case kFunctionMacro: {
        auto it = std::find(macroIds.begin(), macroIds.end(), value);
        if (it == macroIds.end())
            return false;
        Write(entry, kEntryMacro, static_cast<int>(it - macroIds.begin()), 0x01);
        return true;
    }
    case kFunctionMouse:
        return EncodeFixed(kMouseEntries, value, entry);
    case kFunctionMultimedia:
        return EncodeFixed(kMultimediaEntries, value, entry);
    case kFunctionShortcut:
        return EncodeFixed(kShortcutEntries, value, entry);
    case kFunctionProgram:
        // The keyboard holds one byte of the id and reports it back when the key is pressed.
        Write(entry, kEntryProgram, value & 0xFF, 0);
        return true;
    case kFunctionWebsite:
    case kFunctionText:
        Write(entry, kEntryAddressOrText, value & 0xFF, 0);
        return true;
    default:
        return false;
    }
}

int ModifierBit(int keyCode) {
    if (keyCode >= 224 && keyCode <= 231)
        return 1 << (keyCode - 224);
    return keyCode;
}

KeyName KeyNameFromVirtualKey(int virtualKey) {
    // The generic modifiers are kept as their left-hand keys, which have key codes.
    switch (virtualKey) {
    case 16:
        virtualKey = 160;
        break;
    case 17:
        virtualKey = 162;
        break;
    case 18:
        virtualKey = 164;
        break;
    default:
        break;
    }
    return KeyName{VirtualKeyName(virtualKey), virtualKey};
}

std::u16string CombinationText(std::u16string_view modifierName, std::u16string_view keyName) {
    if (keyName.empty())
        return std::u16string(modifierName);
    if (modifierName.empty())
        return std::u16string(keyName);
    std::u16string text(modifierName);
    text += u" + ";
    text += keyName;
    return text;
}

} // namespace model
