#include "base/Text.h"

#include <gtest/gtest.h>

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

} // namespace
