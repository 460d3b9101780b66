#include "device/MacroArea.h"

#include "device/CommandPackets.h"

#include <algorithm>

namespace device {

namespace {

// Stored step types, as the macro recorder writes them.
constexpr int kStepKeyDown = 2;
constexpr int kStepKeyUp = 3;
constexpr int kStepMouseDown = 4;
constexpr int kStepMouseUp = 5;

uint8_t StepFlags(int type, bool lastOfMacro) {
    switch (type) {
    case kStepKeyDown:
        return 0x42;
    case kStepKeyUp:
        return lastOfMacro ? 0x82 : 0x02;
    case kStepMouseDown:
        return 0xC2;
    case kStepMouseUp:
        return 0x82;
    default:
        return 0x00;
    }
}

uint8_t StepValue(const store::MacroStep& step, const VirtualKeyConverter& toKeyCode) {
    switch (step.type) {
    case kStepKeyDown:
    case kStepKeyUp:
        return static_cast<uint8_t>(toKeyCode(step.value));
    case kStepMouseDown:
    case kStepMouseUp:
        return static_cast<uint8_t>(step.value & 0xFF);
    default:
        return 0x00;
    }
}

} // namespace

MacroArea BuildMacroArea(std::span<const MacroWithSteps> macros, const VirtualKeyConverter& toKeyCode) {
    MacroArea area;
    area.macroCount = static_cast<int>(macros.size());
    for (const MacroWithSteps& macro : macros)
        area.stepCount += static_cast<int>(macro.steps.size());

    // Decide first, so the area is sized once: whole macros in order while they fit.
    size_t length = kMacroAreaHeaderSize;
    for (const MacroWithSteps& macro : macros) {
        const size_t stepBytes = kMacroStepSize * macro.steps.size();
        if (area.sentMacroCount == kMaxMacros || length + stepBytes > kMacroAreaMaxSize)
            break;
        length += stepBytes;
        ++area.sentMacroCount;
        area.sentStepCount += static_cast<int>(macro.steps.size());
    }

    area.bytes.assign(length, 0);
    size_t offset = kMacroAreaHeaderSize;
    for (int i = 0; i < area.sentMacroCount; ++i) {
        const std::vector<store::MacroStep>& steps = macros[static_cast<size_t>(i)].steps;
        area.bytes[2 * i] = static_cast<uint8_t>(offset & 0xFF);
        area.bytes[2 * i + 1] = static_cast<uint8_t>(offset >> 8);
        for (size_t s = 0; s < steps.size(); ++s) {
            const store::MacroStep& step = steps[s];
            // A delay of 0 means "at once" to the user, but the keyboard needs at least 1 ms;
            // long delays stop at the longest the 16-bit field holds instead of wrapping round.
            const int delay = std::clamp(step.delay_time, 1, 0xFFFF);
            area.bytes[offset] = static_cast<uint8_t>(delay & 0xFF);
            area.bytes[offset + 1] = static_cast<uint8_t>(delay >> 8);
            area.bytes[offset + 2] = StepFlags(step.type, s + 1 == steps.size());
            area.bytes[offset + 3] = StepValue(step, toKeyCode);
            offset += kMacroStepSize;
        }
    }
    return area;
}

} // namespace device
