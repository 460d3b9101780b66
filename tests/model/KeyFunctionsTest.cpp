#include "model/KeyFunctions.h"

#include "model/LanguageTables.h"
#include "model/VirtualKeys.h"

#include <array>
#include <gtest/gtest.h>
#include <vector>

namespace {

using model::KeyFunction;
using Entry = std::array<uint8_t, 3>;

struct EncodeCase {
    const char* what;
    KeyFunction function;
    Entry expected;
};

// Each expected entry is b0 (kind), b1, b2.
const EncodeCase kEncodeCases[] = {
    {"disabled", {1, 1, 0}, {0x10, 0x00, 0x00}},
    {"Ctrl + A", {2, 4, 224}, {0x10, 0x01, 0x04}},
    {"RShift + F5", {2, 62, 229}, {0x10, 0x20, 0x3E}},
    {"A alone", {2, 4, 0}, {0x10, 0x00, 0x04}},
    {"right Alt alone goes as its bit", {2, 230, 0}, {0x10, 0x00, 0x40}},
    {"left Ctrl alone", {2, 224, 0}, {0x10, 0x00, 0x01}},
    {"Fn key", {2, 255, 0}, {0x10, 0x00, 0xFF}},
    {"left mouse button", {5, 1, 0}, {0x20, 0x01, 0x00}},
    {"middle mouse button", {5, 2, 0}, {0x20, 0x04, 0x00}},
    {"right mouse button", {5, 3, 0}, {0x20, 0x02, 0x00}},
    {"scroll up", {5, 5, 0}, {0x21, 0x00, 0x01}},
    {"scroll down", {5, 6, 0}, {0x21, 0x00, 0xFF}},
    {"button 4", {5, 7, 0}, {0x20, 0x08, 0x00}},
    {"button 5", {5, 8, 0}, {0x20, 0x10, 0x00}},
    {"play/pause", {6, 1, 0}, {0x30, 0xCD, 0x00}},
    {"mute", {6, 7, 0}, {0x30, 0xE2, 0x00}},
    {"show desktop", {7, 1, 0}, {0x10, 0x08, 0x07}},
    {"lock computer", {7, 3, 0}, {0x10, 0x08, 0x0F}},
    {"switch windows", {7, 5, 0}, {0xF0, 0xA6, 0x00}},
    {"cut", {7, 8, 0}, {0x10, 0x01, 0x1B}},
    {"program 7", {8, 7, 0}, {0x50, 0x07, 0x00}},
    {"program 300 keeps the low byte", {8, 300, 0}, {0x50, 0x2C, 0x00}},
    {"website", {9, 12, 0}, {0x60, 0x0C, 0x00}},
    {"text", {10, 255, 0}, {0x60, 0xFF, 0x00}},
};

TEST(EncodeKeyEntry, WritesTheEntryOfEachFunction) {
    for (const EncodeCase& c : kEncodeCases) {
        Entry entry{0xAA, 0xAA, 0xAA};
        EXPECT_TRUE(model::EncodeKeyEntry(c.function, entry, {})) << c.what;
        EXPECT_EQ(entry, c.expected) << c.what;
    }
}

TEST(EncodeKeyEntry, UnknownFunctionsLeaveTheEntryAlone) {
    const KeyFunction unknown[] = {{0, 0, 0}, {4, 1, 0},  {5, 4, 0}, {6, 8, 0},
                                   {7, 9, 0}, {11, 1, 0}, {-1, 1, 0}};
    for (const KeyFunction& function : unknown) {
        Entry entry{0x12, 0x34, 0x56};
        EXPECT_FALSE(model::EncodeKeyEntry(function, entry, {}))
            << function.macro_type << "/" << function.macro_value;
        EXPECT_EQ(entry, (Entry{0x12, 0x34, 0x56}));
    }
}

// The keyboard knows a macro by its position in the store's list, so deleting an earlier macro
// moves the entry; a macro that is gone leaves the keyboard's default in place.
TEST(EncodeKeyEntry, MacroGoesByPositionInTheList) {
    Entry entry{};
    std::vector<int> macroIds{3, 8, 15};
    ASSERT_TRUE(model::EncodeKeyEntry({3, 15, 0}, entry, macroIds));
    EXPECT_EQ(entry, (Entry{0x70, 0x02, 0x01}));

    macroIds.erase(macroIds.begin());
    ASSERT_TRUE(model::EncodeKeyEntry({3, 15, 0}, entry, macroIds));
    EXPECT_EQ(entry, (Entry{0x70, 0x01, 0x01}));

    Entry untouched{0x10, 0x00, 0x14};
    EXPECT_FALSE(model::EncodeKeyEntry({3, 3, 0}, untouched, macroIds));
    EXPECT_EQ(untouched, (Entry{0x10, 0x00, 0x14}));
}

TEST(ModifierBit, ModifiersGiveTheirBitOthersPassThrough) {
    const std::pair<int, int> cases[] = {{224, 0x01}, {225, 0x02}, {226, 0x04}, {227, 0x08},
                                         {228, 0x10}, {229, 0x20}, {230, 0x40}, {231, 0x80},
                                         {0, 0},      {4, 4},      {223, 223},  {232, 232}};
    for (auto [code, bit] : cases)
        EXPECT_EQ(model::ModifierBit(code), bit) << code;
}

TEST(VirtualKeyToKeyCode, FollowsTheTable) {
    const std::pair<int, int> cases[] = {
        {'A', 4},   {'Z', 29},  {'1', 30},  {'9', 38},  {'0', 39},  {13, 40},   {27, 41},   {8, 42},
        {9, 43},    {32, 44},   {189, 45},  {187, 46},  {219, 47},  {221, 48},  {220, 49},  {666, 50},
        {186, 51},  {222, 52},  {192, 53},  {188, 54},  {190, 55},  {191, 56},  {20, 57},   {112, 58},
        {123, 69},  {124, 104}, {135, 115}, {44, 70},   {145, 71},  {19, 72},   {45, 73},   {36, 74},
        {33, 75},   {46, 76},   {35, 77},   {34, 78},   {39, 79},   {37, 80},   {40, 81},   {38, 82},
        {144, 83},  {111, 84},  {106, 85},  {109, 86},  {107, 87},  {108, 88},  {97, 89},   {105, 97},
        {96, 98},   {110, 99},  {162, 224}, {160, 225}, {164, 226}, {91, 227},  {163, 228}, {161, 229},
        {165, 230}, {92, 231},  {93, 101},  {226, 100}, {254, 255}, {136, 136}, {139, 139}, {301, 236},
        {302, 235}, {16, 0},    {17, 0},    {173, 0},   {0, 0},     {-5, 0},    {255, 0},   {100000, 0},
    };
    for (auto [virtualKey, keyCode] : cases)
        EXPECT_EQ(model::VirtualKeyToKeyCode(virtualKey), keyCode) << virtualKey;
}

TEST(KeyNameFromVirtualKey, FixedNamesAndLeftHandModifiers) {
    struct Case {
        int virtualKey;
        const char16_t* name;
        int kept;
    };
    const Case cases[] = {
        {16, u"Shift", 160},   {17, u"Ctrl", 162},        {18, u"Alt", 164},
        {19, u"Pause", 19},    {44, u"Print Screen", 44}, {91, u"Windows", 91},
        {92, u"RWindows", 92}, {93, u"Application", 93},  {144, u"Num Lock", 144},
        {161, u"RShift", 161}, {163, u"RCtrl", 163},      {165, u"RAlt", 165},
        {226, u"><", 226},     {'Q', u"Q", 'Q'},          {'7', u"7", '7'},
        {112, u"F1", 112},     {135, u"F24", 135},        {101, u"Num 5", 101},
        {33, u"Page Up", 33},  {13, u"Enter", 13},        {0, u"", 0},
    };
    for (const Case& c : cases) {
        model::KeyName key = model::KeyNameFromVirtualKey(c.virtualKey);
        EXPECT_EQ(key.name, c.name) << c.virtualKey;
        EXPECT_EQ(key.virtualKey, c.kept) << c.virtualKey;
    }
}

TEST(CombinationText, JoinsWhatWasCaptured) {
    EXPECT_EQ(model::CombinationText(u"Ctrl", u"A"), u"Ctrl + A");
    EXPECT_EQ(model::CombinationText(u"Ctrl", u""), u"Ctrl");
    EXPECT_EQ(model::CombinationText(u"", u"A"), u"A");
    EXPECT_EQ(model::CombinationText(u"", u""), u"");
}

// The key page shows these texts; each choice must name an existing English text.
TEST(FunctionChoices, EveryChoiceHasAText) {
    EXPECT_EQ(model::kKeyFunctionChoices.size(), 10u);
    EXPECT_EQ(model::kKeyFunctionChoices.back().value, model::kFunctionDisabled);
    for (auto choices : {model::kKeyFunctionChoices, model::kMouseChoices, model::kMultimediaChoices,
                         model::kShortcutChoices})
        for (const auto& choice : choices)
            EXPECT_TRUE(model::HasText(choice.textId, 1033)) << choice.textId;
    EXPECT_EQ(model::SubFunctionTextId(5, 6), 155);
    EXPECT_EQ(model::SubFunctionTextId(5, 4), 0);
    EXPECT_EQ(model::SubFunctionTextId(7, 8), 177);
    EXPECT_EQ(model::SubFunctionTextId(2, 4), 0);
}

} // namespace
