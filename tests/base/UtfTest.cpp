#include "base/Utf.h"

#include <gtest/gtest.h>

namespace {

TEST(Utf, RoundTripsEveryPlane) {
    const std::u16string text = u"Esc \u4e2d\u6587 \u0e44\u0e17\u0e22 \"q\" \U0001F600";
    EXPECT_EQ(base::ToUtf16(base::ToUtf8(text)), text);
    EXPECT_EQ(base::ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
}

TEST(Utf, MalformedInputBecomesReplacementCharacters) {
    struct Case {
        const char* bytes;
        std::u16string expected;
    };
    const Case cases[] = {
        {"a\x80z", u"a\uFFFDz"},         // lone continuation byte
        {"a\xC3", u"a\uFFFD"},           // truncated at the end
        {"\xC0\xAF", u"\uFFFD"},         // overlong slash
        {"\xED\xA0\x80", u"\uFFFD"},     // encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD"}, // beyond U+10FFFF
        {"\xE4\xB8x", u"\uFFFDx"},       // sequence broken by ASCII
    };
    for (const auto& c : cases)
        EXPECT_EQ(base::ToUtf16(c.bytes), c.expected) << c.bytes;
    EXPECT_EQ(base::ToUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
}

TEST(Utf, Utf32BecomesUtf16WithSurrogatePairs) {
    EXPECT_EQ(base::ToUtf16(std::u32string_view(U"Keyboard \u00E4\U0001F600")), u"Keyboard \u00E4\U0001F600");
    const char32_t invalid[] = {0xD800, 0xDFFF, 0x110000, 0xFFFFFFFF, U'x'};
    EXPECT_EQ(base::ToUtf16(std::u32string_view(invalid, 5)), u"\uFFFD\uFFFD\uFFFD\uFFFDx");
}

TEST(Utf, AppendsCodePointsAndTellsSurrogatesApart) {
    std::u16string out;
    for (char32_t c : {U'A', U'\u4e2d', U'\U0001F600', U'\U0010FFFF'})
        base::AppendUtf16(out, c);
    EXPECT_EQ(out, u"A\u4e2d\U0001F600\U0010FFFF");
    EXPECT_TRUE(base::IsHighSurrogate(out[2]));
    EXPECT_TRUE(base::IsLowSurrogate(out[3]));
    EXPECT_FALSE(base::IsHighSurrogate(out[3]));
    EXPECT_FALSE(base::IsLowSurrogate(out[2]));
    EXPECT_FALSE(base::IsHighSurrogate(u'\uD7FF') || base::IsLowSurrogate(u'\uE000'));
}

} // namespace
