#include "io/XmlDocument.h"

#include "base/Utf.h"

#include <gtest/gtest.h>

using base::operator""_u16;
using io::XmlDocument;

namespace {

const std::u16string kDeclaration = u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

// Lists the elements in document order as "depth:name" through the public navigation only.
std::string Outline(XmlDocument& document) {
    std::string outline;
    int depth = 0;
    for (;;) {
        if (document.NextElement()) {
            outline += (outline.empty() ? "" : " ") + std::to_string(depth) + ":" +
                       base::ToUtf8(document.GetElementName());
            document.EnterElement();
            ++depth;
        } else if (depth > 0) {
            document.LeaveElement();
            --depth;
        } else {
            break;
        }
    }
    return outline;
}

struct ParseCase {
    const char* text;
    bool wellFormed;
    const char* outline;
    const char* diagnostic; // a type the log must hold, or nullptr
};

void PrintTo(const ParseCase& c, std::ostream* out) {
    *out << c.text;
}

class XmlParseTest : public testing::TestWithParam<ParseCase> {};

TEST_P(XmlParseTest, WellFormednessIndexAndDiagnostics) {
    const ParseCase& c = GetParam();
    XmlDocument document;
    EXPECT_EQ(document.SetText(base::ToUtf16(c.text)), c.wellFormed);
    EXPECT_EQ(Outline(document), c.outline);
    if (c.diagnostic != nullptr) {
        EXPECT_TRUE(document.GetResultLog().Has(c.diagnostic)) << c.diagnostic;
    } else {
        EXPECT_TRUE(document.GetResultLog().GetEntries().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, XmlParseTest,
    testing::Values(ParseCase{"", false, "", "no_root_element"},
                    ParseCase{"<?xml version=\"1.0\"?>", false, "", "no_root_element"},
                    ParseCase{"<a/><b/>", false, "0:a 0:b", "root_has_sibling"},
                    ParseCase{"<a><b/><c x='1' y=\"2\"></c></a>", true, "0:a 1:b 1:c", nullptr},
                    ParseCase{"<?xml version=\"1.0\"?>\n<!DOCTYPE a [<!ELEMENT a ANY>]>\n<!-- <x/> -->"
                              "<a><![CDATA[<y/>]]><?pi <z/>?>text &amp; more</a>",
                              true, "0:a", nullptr},
                    ParseCase{"<a></b></a>", false, "0:a", "lone_end_tag"},
                    ParseCase{"<a><b><c></a>", false, "0:a 1:b 2:c", "unended_start_tag"},
                    ParseCase{"<a><b>", false, "0:a 1:b", "unended_start_tag"},
                    ParseCase{"<a>1 < 2</a>", false, "0:a", "first_tag_syntax"},
                    ParseCase{"<a x='1></a>", false, "", "unterminated_tag_syntax"},
                    ParseCase{"<a x=1></a>", false, "", "unterminated_tag_syntax"},
                    ParseCase{"<a/><!-- open", false, "0:a", "comment_tag_syntax"},
                    ParseCase{"<a><![CDATA[ open</a>", false, "0:a", "cdata_section_syntax"},
                    ParseCase{"<!DOCTYPE a [ <a/>", false, "", "doctype_tag_syntax"},
                    ParseCase{"<!ELEMENT a><a/>", false, "0:a", "exclamation_tag_syntax"},
                    ParseCase{"<A><a/></A>", true, "0:A 1:a", nullptr}));

TEST(XmlDocumentTest, FindElementOnlyGoesForwardAmongSiblings) {
    XmlDocument document;
    ASSERT_TRUE(document.SetText(u"<r><a n='1'/><b><a n='inner'/></b><a n='2'/><c/></r>"));
    ASSERT_TRUE(document.FindElement(u"r"));
    ASSERT_TRUE(document.EnterElement());
    ASSERT_TRUE(document.FindElement(u"b"));
    ASSERT_TRUE(document.FindElement(u"a"));
    EXPECT_EQ(document.GetAttribute(u"n"), u"2"); // the inner one belongs to b
    EXPECT_FALSE(document.FindElement(u"b"));     // b lies behind
    EXPECT_EQ(document.GetAttribute(u"n"), u"2"); // the position did not move
    EXPECT_FALSE(document.FindElement(u"A"));     // names are case-sensitive
    ASSERT_TRUE(document.FindElement(u"c"));
}

TEST(XmlDocumentTest, LeaveAndEnterReturnToTheChildPosition) {
    XmlDocument document;
    ASSERT_TRUE(document.SetText(u"<r><a><x/><y/></a><b/></r>"));
    EXPECT_FALSE(document.EnterElement()); // no current element yet
    EXPECT_FALSE(document.LeaveElement()); // already at the document level
    ASSERT_TRUE(document.FindElement(u"r") && document.EnterElement());
    ASSERT_TRUE(document.FindElement(u"a") && document.EnterElement());
    ASSERT_TRUE(document.FindElement(u"y"));
    ASSERT_TRUE(document.LeaveElement());
    EXPECT_EQ(document.GetElementName(), u"a");
    ASSERT_TRUE(document.EnterElement());
    EXPECT_EQ(document.GetElementName(), u"y");
    ASSERT_TRUE(document.LeaveElement() && document.FindElement(u"b"));
    ASSERT_TRUE(document.EnterElement()); // b has no children: nothing is current inside it
    EXPECT_EQ(document.GetElementName(), u"");
    EXPECT_EQ(document.GetAttribute(u"n"), u"");
    EXPECT_FALSE(document.SetAttribute(u"n", u"1"));
}

// The writing pattern gives one element per line, CR LF line ends, no indentation.
TEST(XmlDocumentTest, WritingPatternLayout) {
    XmlDocument document;
    EXPECT_FALSE(document.SetText(kDeclaration));
    ASSERT_TRUE(document.AppendElement(u"profile"));
    ASSERT_TRUE(document.EnterElement());
    ASSERT_TRUE(document.AppendElement(u"profileinfo"));
    ASSERT_TRUE(document.SetAttribute(u"name", u"Game"));
    ASSERT_TRUE(document.AppendElement(u"keyitems"));
    ASSERT_TRUE(document.EnterElement());
    for (int key : {4, 5}) {
        ASSERT_TRUE(document.AppendElement(u"item"));
        ASSERT_TRUE(document.SetAttribute(u"fn_layer", u"0"));
        ASSERT_TRUE(document.SetAttribute(u"key_code", base::ToUtf16(std::to_string(key))));
    }
    ASSERT_TRUE(document.LeaveElement());
    ASSERT_TRUE(document.AppendElement(u"empty"));
    ASSERT_TRUE(document.LeaveElement());
    EXPECT_EQ(base::ToUtf8(document.GetText()), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                                                "<profile>\r\n"
                                                "<profileinfo name=\"Game\"/>\r\n"
                                                "<keyitems>\r\n"
                                                "<item fn_layer=\"0\" key_code=\"4\"/>\r\n"
                                                "<item fn_layer=\"0\" key_code=\"5\"/>\r\n"
                                                "</keyitems>\r\n"
                                                "<empty/>\r\n"
                                                "</profile>\r\n");
    // The index kept up with every edit: the text parses to the same tree.
    XmlDocument reread;
    EXPECT_TRUE(reread.SetText(document.GetText()));
    EXPECT_EQ(Outline(reread), "0:profile 1:profileinfo 1:keyitems 2:item 2:item 1:empty");
}

TEST(XmlDocumentTest, DeclarationWithoutLineBreakStillGivesTheRootItsOwnLine) {
    XmlDocument document;
    document.SetText(u"<?xml version=\"1.0\"?>");
    ASSERT_TRUE(document.AppendElement(u"macro"));
    EXPECT_EQ(document.GetText(), u"<?xml version=\"1.0\"?>\r\n<macro/>\r\n");

    XmlDocument fresh; // never given a text
    ASSERT_TRUE(fresh.AppendElement(u"a") && fresh.EnterElement() && fresh.AppendElement(u"b"));
    EXPECT_EQ(fresh.GetText(), u"<a>\r\n<b/>\r\n</a>\r\n");
}

// Edits inside a parsed document keep the rest of the text and the index in step.
TEST(XmlDocumentTest, EditsInsideAParsedDocument) {
    XmlDocument document;
    ASSERT_TRUE(document.SetText(u"<r><a x='old' y=\"2\" /><b>text</b></r>"));
    ASSERT_TRUE(document.FindElement(u"r") && document.EnterElement() && document.FindElement(u"a"));
    ASSERT_TRUE(document.SetAttribute(u"x", u"a longer value"));
    ASSERT_TRUE(document.SetAttribute(u"z", u"3"));
    ASSERT_TRUE(document.EnterElement() && document.AppendElement(u"c"));
    ASSERT_TRUE(document.LeaveElement() && document.FindElement(u"b"));
    ASSERT_TRUE(document.EnterElement() && document.AppendElement(u"d"));
    ASSERT_TRUE(document.SetAttribute(u"k", u"v"));
    EXPECT_EQ(document.GetText(),
              u"<r><a x='a longer value' y=\"2\" z=\"3\" >\r\n<c/>\r\n</a><b>text<d k=\"v\"/>\r\n</b></r>");
    // A shorter value early in the text moves everything behind it back.
    document.ResetPosition();
    ASSERT_TRUE(document.FindElement(u"r") && document.EnterElement() && document.FindElement(u"a"));
    ASSERT_TRUE(document.SetAttribute(u"x", u""));
    ASSERT_TRUE(document.FindElement(u"b") && document.EnterElement() && document.FindElement(u"d"));
    EXPECT_EQ(document.GetAttribute(u"k"), u"v");
    ASSERT_TRUE(document.SetAttribute(u"k", u"w"));
    EXPECT_EQ(document.GetText(),
              u"<r><a x='' y=\"2\" z=\"3\" >\r\n<c/>\r\n</a><b>text<d k=\"w\"/>\r\n</b></r>");
    XmlDocument reread;
    EXPECT_TRUE(reread.SetText(document.GetText()));
    EXPECT_EQ(Outline(reread), "0:r 1:a 2:c 1:b 2:d");
}

TEST(XmlDocumentTest, RejectsNamesThatWouldBreakTheMarkup) {
    XmlDocument document;
    document.SetText(u"<r/>");
    EXPECT_FALSE(document.AppendElement(u""));
    EXPECT_FALSE(document.AppendElement(u"a b"));
    EXPECT_FALSE(document.AppendElement(u"a/>"));
    EXPECT_FALSE(document.AppendElement(u"1a"));
    EXPECT_FALSE(document.AppendElement(u"a\u00d7")); // not a name character in XML
    EXPECT_FALSE(document.AppendElement(u"a\xD800"
                                        u"b")); // an unpaired surrogate
    ASSERT_TRUE(document.FindElement(u"r"));
    EXPECT_FALSE(document.SetAttribute(u"x=\"1\"", u"v"));
    EXPECT_FALSE(document.SetAttribute(u"", u"v"));
    EXPECT_EQ(document.GetText(), u"<r/>");
}

TEST(XmlDocumentTest, SpecialCharactersRoundTripThroughAnAttribute) {
    const std::u16string value = u"<tag> & \"quoted\" 'single' \r\n\ttab \U0001F600 \u00e9";
    XmlDocument document;
    document.SetText(kDeclaration);
    ASSERT_TRUE(document.AppendElement(u"item"));
    ASSERT_TRUE(document.SetAttribute(u"desc", value));
    EXPECT_NE(document.GetText().find(u"&lt;tag&gt; &amp; &quot;quoted&quot; &apos;single&apos;"),
              std::u16string::npos);
    EXPECT_EQ(document.GetAttribute(u"desc"), value);
    XmlDocument reread;
    ASSERT_TRUE(reread.SetText(document.GetText()));
    ASSERT_TRUE(reread.FindElement(u"item"));
    EXPECT_EQ(reread.GetAttribute(u"desc"), value);
    EXPECT_EQ(reread.GetAttribute(u"missing"), u"");
}

TEST(XmlDocumentTest, AnElementUnderAnUnendedParentIsRefused) {
    XmlDocument document;
    EXPECT_FALSE(document.SetText(u"<r><u></r>"));
    ASSERT_TRUE(document.FindElement(u"r") && document.EnterElement() && document.FindElement(u"u"));
    ASSERT_TRUE(document.EnterElement());
    EXPECT_FALSE(document.AppendElement(u"c"));
    EXPECT_EQ(document.GetText(), u"<r><u></r>");
}

// Untrusted input: each of these would take minutes or crash with a recursive parser, a stack
// search per end tag or an unbounded log.
TEST(XmlDocumentTest, HostileShapesStayLinearAndBounded) {
    const int depth = 200000;
    std::u16string nested;
    for (int i = 0; i < depth; ++i) {
        nested += u"<e>";
    }
    for (int i = 0; i < depth; ++i) {
        nested += u"</x>";
    }
    XmlDocument document;
    EXPECT_FALSE(document.SetText(nested));
    EXPECT_LE(document.GetResultLog().GetEntries().size(), io::XmlResultLog::kMaxEntries);
    EXPECT_GT(document.GetResultLog().GetDroppedCount(), 0u);
    // Walk to the bottom and back.
    int reached = 0;
    while (document.FindElement(u"e") && document.EnterElement()) {
        ++reached;
    }
    EXPECT_EQ(reached, depth);
    while (document.LeaveElement()) {
    }

    std::u16string ampersands(1 << 20, u'&');
    EXPECT_FALSE(document.SetText(u"<a v='" + ampersands + u"'/" + u"><b>" + std::u16string(1 << 20, u'<')));
    ASSERT_TRUE(document.FindElement(u"a"));
    EXPECT_EQ(document.GetAttribute(u"v"), ampersands);
}

} // namespace
