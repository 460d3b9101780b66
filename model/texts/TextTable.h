#pragma once

#include <array>
#include <span>

// The layout shared by the built-in language tables. Each language keeps its texts in six
// tables by id range, each sorted by id; an id outside every range, or missing from its range's
// table, reads as the language's fallback text.
namespace model::texts {

struct TextEntry {
    int id;
    const char16_t* text;
};

/// The id ranges, in table order: general texts (up to 99, negative ids included), key page
/// (100-199), macro page (200-299), music and setting pages (300-399), settings dialog
/// (400-599), and spare light-mode names (600-699).
constexpr int kRangeCount = 6;

struct LanguageTexts {
    std::array<std::span<const TextEntry>, kRangeCount> ranges;
    const char16_t* fallback;
};

/// The index of the range that holds the id, or -1 for ids of 700 and above.
constexpr int RangeOf(int id) {
    if (id <= 99)
        return 0;
    if (id <= 199)
        return 1;
    if (id <= 299)
        return 2;
    if (id <= 399)
        return 3;
    if (id <= 599)
        return 4;
    if (id <= 699)
        return 5;
    return -1;
}

const LanguageTexts& ChineseTexts();
const LanguageTexts& EnglishTexts();
const LanguageTexts& FrenchTexts();
const LanguageTexts& RussianTexts();
const LanguageTexts& ThaiTexts();

} // namespace model::texts
