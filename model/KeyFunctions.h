#pragma once

#include "model/VirtualKeys.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// What a key does on a layer, and how that is written into the keyboard's key table.
namespace model {

/// Function types of a key (the stored macro_type). 4 is not used.
enum KeyFunctionType : int {
    kFunctionDefault = 0,
    kFunctionDisabled = 1,
    kFunctionKeyboard = 2,
    kFunctionMacro = 3,
    kFunctionMouse = 5,
    kFunctionMultimedia = 6,
    kFunctionShortcut = 7,
    kFunctionProgram = 8,
    kFunctionWebsite = 9,
    kFunctionText = 10,
};

/// One item of a choice list: the stored value and the id of the text that names it.
struct FunctionChoice {
    int value;
    int textId;
};

/// The function types in the order the key page lists them.
extern const std::span<const FunctionChoice> kKeyFunctionChoices;
/// The sub-functions of the mouse, multimedia and shortcut types (their macro_value).
extern const std::span<const FunctionChoice> kMouseChoices;
extern const std::span<const FunctionChoice> kMultimediaChoices;
extern const std::span<const FunctionChoice> kShortcutChoices;

/// The text id naming a sub-function of a mouse, multimedia or shortcut key, 0 if there is none.
int SubFunctionTextId(int macroType, int macroValue);

/// The part of a stored key assignment that decides its key table entry; the worker fills it
/// from the assignment row: EncodeKeyEntry({row.macro_type, row.macro_value, row.macro_value2}, ...).
struct KeyFunction {
    int macro_type = 0;
    int macro_value = 0;
    int macro_value2 = 0;
};

/// Writes the three-byte key table entry of a function. macroIds lists the stored macro ids in
/// the store's order (ascending id); a macro key is written with its position there. Returns
/// false and leaves the entry untouched when the function has no entry (an unknown type or
/// value, or a macro that no longer exists), so the key keeps what the keyboard held.
bool EncodeKeyEntry(const KeyFunction& function, std::span<uint8_t, 3> entry, std::span<const int> macroIds);

/// The modifier bit of a key code from 224 (left Ctrl) to 231 (right Windows); any other value
/// is returned unchanged.
int ModifierBit(int keyCode);

/// A key's display name and the virtual key to keep for it.
struct KeyName {
    std::u16string name;
    int virtualKey = 0;
};

/// The name of a captured virtual key. The generic modifiers Shift, Ctrl and Alt (16, 17, 18)
/// become their left-hand keys (160, 162, 164); every other key keeps its code. The name is
/// empty for keys without one.
KeyName KeyNameFromVirtualKey(int virtualKey);

/// The text of a captured combination: "Ctrl + A", or either name alone when the other part
/// was not captured.
std::u16string CombinationText(std::u16string_view modifierName, std::u16string_view keyName);

} // namespace model
