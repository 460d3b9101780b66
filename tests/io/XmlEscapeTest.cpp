#include "io/XmlEscape.h"

#include "base/Utf.h"

#include <gtest/gtest.h>

namespace {

struct UnescapeCase {
    std::u16string in;
    std::u16string out;
};

void PrintTo(const UnescapeCase& c, std::ostream* out) {
    *out << base::ToUtf8(c.in);
}

class XmlUnescapeTest : public testing::TestWithParam<UnescapeCase> {};

TEST_P(XmlUnescapeTest, Unescapes) {
    EXPECT_EQ(io::Unescape(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, XmlUnescapeTest,
    testing::Values(UnescapeCase{u"&lt;&amp;&gt;&apos;&quot;", u"<&>'\""},
                    UnescapeCase{u"&#65;&#x42;&#X43;&#x1F600;", u"ABC\U0001F600"},
                    UnescapeCase{u"&eacute;&Eacute;&nbsp;&euro;&thetasym;",
                                 u"\u00e9\u00c9\u00a0\u20ac\u03d1"},
                    // case-insensitive once an exact match fails
                    UnescapeCase{u"&AMP;&Lt;&EURO;", u"&<\u20ac"},
                    // stays as written: zero, surrogates, too large, unknown, unterminated, too long
                    UnescapeCase{u"&#0;&#xD800;&#x110000;&bogus;&amp &#;&#x;",
                                 u"&#0;&#xD800;&#x110000;&bogus;&amp &#;&#x;"},
                    UnescapeCase{u"&#0000000065;&#00000065;", u"&#0000000065;A"},
                    UnescapeCase{u"a & b &", u"a & b &"}, UnescapeCase{u"&&amp;;", u"&&;"}));

TEST(XmlEscapeTest, EscapesAttributesAndText) {
    EXPECT_EQ(io::EscapeAttribute(u"<&>'\""), u"&lt;&amp;&gt;&apos;&quot;");
    EXPECT_EQ(io::EscapeAttribute(u"a\tb\nc\rd"), u"a&#9;b&#10;c&#13;d");
    // Code units XML cannot hold at all; a proper pair stays.
    EXPECT_EQ(io::EscapeAttribute(u"\x01|\xFFFF|\xD800x|\xDC00|\xD83D\xDE00"),
              u"\xFFFD|\xFFFD|\xFFFDx|\xFFFD|\xD83D\xDE00");
    EXPECT_EQ(io::EscapeText(u"<&>'\""), u"&lt;&amp;&gt;'\"");
}

} // namespace
