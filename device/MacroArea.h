#pragma once

#include "store/StoreRecords.h"

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace device {

/// A stored macro with its steps in record order.
struct MacroWithSteps {
    int macroId = 0;
    std::vector<store::MacroStep> steps;
};

/// Converts a stored virtual-key code to the key code the keyboard plays (0 when it has none).
using VirtualKeyConverter = std::function<int(int virtualKey)>;

/// The macro area as it goes to the keyboard, and how much of the stored macros it holds.
///
/// The keyboard holds at most 32 macros and 3584 bytes. Macros are taken whole, in store order,
/// as long as they fit; the first macro that does not fit and every later one are left out, so
/// a macro's slot in the header is always its position in the store's order, which is the number
/// its keys are written with. The caller must not write keys for macros left out: their slot is
/// empty on the keyboard.
struct MacroArea {
    std::vector<uint8_t> bytes; ///< header and steps: 64 + 4 x sentStepCount bytes
    int macroCount = 0;         ///< macros in the store
    int sentMacroCount = 0;     ///< the first sentMacroCount of them are in the area
    int stepCount = 0;          ///< steps of all stored macros
    int sentStepCount = 0;

    /// True when every stored macro went to the keyboard.
    bool IsComplete() const { return sentMacroCount == macroCount; }
};

inline constexpr int kMaxMacros = 32;
inline constexpr int kMacroStepSize = 4;

/// Builds the area. Header: for macro i, the 16-bit little-endian offset of its first step at
/// bytes 2i and 2i + 1. Steps from byte 64: delay (16-bit little-endian, at least 1 and at most
/// 65535 ms), flags by step type, and the key code (key steps) or the low byte of the mouse
/// button value.
MacroArea BuildMacroArea(std::span<const MacroWithSteps> macros, const VirtualKeyConverter& toKeyCode);

} // namespace device
