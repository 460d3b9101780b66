#include "base/Text.h"

#include "base/Utf.h"

#include <climits>
#include <gtest/gtest.h>
#include <utility>

namespace {

TEST(Text, EscapeForLogShowsWhatCouldForgeOrHideALine) {
    struct Case {
        std::u16string text;
        const char* logged;
    };
    const Case cases[] = {
        {u"example.com/a b", "example.com/a b"},
        {u"Grüße \U0001F600", "Grüße \xF0\x9F\x98\x80"},
        {u"a\nquillon error x: forged", "a\\nquillon error x: forged"},
        {u"\r\t\x1B[31m", "\\r\\t\\x1B[31m"},
        {std::u16string(u"a\0b", 3), "a\\x00b"},
        {u"\u007F\u0085\u009F", "\\x7F\\x85\\x9F"},
        {u"moc.\u202Eexe", "moc.\\u202Eexe"},
        {u"a\u2028b", "a\\u2028b"},
        {u"C:\\x", "C:\\\\x"},
        {std::u16string(1, u'\xD800'), "\xEF\xBF\xBD"}, // unpaired surrogate
    };
    for (const Case& c : cases)
        EXPECT_EQ(base::EscapeForLog(c.text), c.logged) << c.logged;
}

TEST(Text, ParseLeadingIntReadsAsWtoiDoes) {
    const std::pair<std::u16string, int> numbers[] = {
        {u"12", 12},
        {u" \t-34x", -34},
        {u"\v\f\r\n5", 5},
        {u"+7", 7},
        {u"", 0},
        {u"abc", 0},
        {u"- 3", 0},
        {u"\u00A05", 0}, // a no-break space is not a blank
        {u"2147483647", INT_MAX},
        {u"-2147483648", INT_MIN},
        {u"99999999999", INT_MAX},
        {u"-99999999999", INT_MIN},
    };
    for (const auto& [text, value] : numbers)
        EXPECT_EQ(base::ParseLeadingInt(text), value) << base::ToUtf8(text);
}

TEST(Text, CaseChangesOnlyAsciiLetters) {
    EXPECT_EQ(base::AsciiToUpper(std::string_view("vid_3f51&pid_5a09 \xC3\xA4z")),
              "VID_3F51&PID_5A09 \xC3\xA4Z");
    EXPECT_EQ(base::AsciiToLower(std::string_view("VID_3F51 @[`{")), "vid_3f51 @[`{");
    EXPECT_EQ(base::AsciiToLower(std::u16string_view(u"WWW.\u00C4\u0130x")), u"www.\u00C4\u0130x");
    EXPECT_EQ(base::AsciiToUpper(std::u16string_view(u"mi_02\u00E4")), u"MI_02\u00E4");
}

TEST(Text, TrimBlanksOrOnlySpaces) {
    EXPECT_EQ(base::TrimBlanks(u" \t\r\n\v\fa b\t \r"), u"a b");
    EXPECT_EQ(base::TrimLeftBlanks(u"\t a "), u"a ");
    EXPECT_EQ(base::TrimSpaces(u"  a\n "), u"a\n");
    EXPECT_EQ(base::TrimSpaces(u"\ta\t"), u"\ta\t");
    EXPECT_EQ(base::TrimBlanks(u" \t "), u"");
}

} // namespace
