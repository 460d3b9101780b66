#include "device/MacroArea.h"

#include "device/CommandPackets.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using device::MacroWithSteps;

// Letters only, as the virtual-key table has them: "A" (65) is key code 4.
int Letters(int virtualKey) {
    return virtualKey >= 65 && virtualKey <= 90 ? virtualKey - 61 : 0;
}

store::MacroStep Step(int type, int value, int delay) {
    store::MacroStep step;
    step.type = type;
    step.value = value;
    step.delay_time = delay;
    return step;
}

MacroWithSteps MacroOf(int id, size_t stepCount) {
    MacroWithSteps macro{id, {}};
    for (size_t i = 0; i < stepCount; ++i)
        macro.steps.push_back(Step(i % 2 == 0 ? 2 : 3, 65, 10));
    return macro;
}

TEST(MacroAreaTest, OneMacroOfTwoSteps) {
    const MacroWithSteps macros[] = {{1, {Step(2, 65, 0), Step(3, 65, 50)}}};
    device::MacroArea area = device::BuildMacroArea(macros, Letters);
    ASSERT_EQ(area.bytes.size(), 72u);
    std::vector<uint8_t> expected(64, 0);
    expected[0] = 64; // the macro's first step, little-endian
    expected.insert(expected.end(), {
                                        0x01, 0x00, 0x42, 0x04, // delay 0 sent as 1, key down, A
                                        0x32, 0x00, 0x82, 0x04, // delay 50, last key up, A
                                    });
    EXPECT_EQ(area.bytes, expected);
    EXPECT_TRUE(area.IsComplete());
}

TEST(MacroAreaTest, StepFlagsValuesAndDelays) {
    const MacroWithSteps macros[] = {
        {3, {Step(3, 66, -5), Step(2, 67, 300), Step(4, 0x1201, 70000), Step(5, 2, 1), Step(9, 65, 1)}},
        {8, {Step(3, 90, 1)}},
    };
    device::MacroArea area = device::BuildMacroArea(macros, Letters);
    ASSERT_EQ(area.bytes.size(), 64u + 4 * 6);
    EXPECT_EQ((std::vector<uint8_t>(area.bytes.begin(), area.bytes.begin() + 4)),
              (std::vector<uint8_t>{64, 0, 84, 0})); // second macro after the first's five steps
    const std::vector<uint8_t> steps(area.bytes.begin() + 64, area.bytes.end());
    EXPECT_EQ(steps, (std::vector<uint8_t>{
                         0x01, 0x00, 0x02, 0x05, // negative delay sent as 1; key up, not last: 0x02; B
                         0x2C, 0x01, 0x42, 0x06, // 300 ms; key down; C
                         0xFF, 0xFF, 0xC2, 0x01, // 70000 ms held at the longest; mouse down; low byte
                         0x01, 0x00, 0x82, 0x02, // mouse up
                         0x01, 0x00, 0x00, 0x00, // an unknown type: no flags, no value
                         0x01, 0x00, 0x82, 0x1D, // the second macro's only step: last key up, Z
                     }));
}

TEST(MacroAreaTest, MacrosThatDoNotFitAreLeftOutWhole) {
    struct Case {
        const char* name;
        std::vector<MacroWithSteps> macros;
        int sentMacros;
        size_t length;
    };
    std::vector<MacroWithSteps> thirtyThree;
    for (int i = 0; i < 33; ++i)
        thirtyThree.push_back(MacroOf(i + 1, 1));
    const Case cases[] = {
        {"33 macros: the header holds 32", thirtyThree, 32, 64 + 4 * 32},
        {"exactly full", {MacroOf(1, 800), MacroOf(2, 80)}, 2, device::kMacroAreaMaxSize},
        // The second macro does not fit; the third would, but is left out with it so that every
        // macro sent keeps the slot its keys are written with.
        {"overflow", {MacroOf(1, 800), MacroOf(2, 81), MacroOf(3, 1)}, 1, 64 + 4 * 800},
        {"none", {}, 0, 64},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        device::MacroArea area = device::BuildMacroArea(c.macros, Letters);
        EXPECT_EQ(area.sentMacroCount, c.sentMacros);
        EXPECT_EQ(area.macroCount, static_cast<int>(c.macros.size()));
        EXPECT_EQ(area.bytes.size(), c.length);
        EXPECT_LE(area.bytes.size(), device::kMacroAreaMaxSize);
        EXPECT_EQ(area.IsComplete(), c.sentMacros == static_cast<int>(c.macros.size()));
        // Header slots past the last macro sent stay empty.
        for (size_t slot = static_cast<size_t>(c.sentMacros); slot < 32; ++slot)
            EXPECT_EQ(area.bytes[2 * slot] | area.bytes[2 * slot + 1], 0) << slot;
    }
}

} // namespace
