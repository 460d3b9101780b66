#pragma once

#include <string>

// The program's key vocabulary is the Windows virtual-key code: the macro recorder, the key
// capture box and the stored macro steps all speak it. This is our own table of those codes,
// with the key code (USB HID keyboard usage) each one stands for and its display name.
namespace model {

// Codes of this program beside the Windows ones, produced by our own key capture.
constexpr int kVirtualKeyNonUsHash = 666; // the key next to Enter on ISO keyboards
constexpr int kVirtualKeyFn = 254;        // the keyboard's Fn key

/// The key code of a virtual key, 0 when the key has none (media keys, mouse buttons, ...).
/// The codes 136 to 139 are passed through unchanged; the program's codes 301 and 302 give 236
/// and 235.
int VirtualKeyToKeyCode(int virtualKey);

/// The name of a virtual key as the key capture box shows it ("A", "Enter", "Page Up",
/// "Num 5"), from a US layout; empty for keys without a name.
std::u16string VirtualKeyName(int virtualKey);

} // namespace model
