// Checks the XML document against libxml2 as a reference parser: documents we write are well
// formed for it, and for generated documents both see the same elements and attribute values.
#include "base/Utf.h"
#include "io/XmlDocument.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <random>
#include <unistd.h>

namespace {

struct ElementLine {
    int depth;
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    bool operator==(const ElementLine&) const = default;
};

std::ostream& operator<<(std::ostream& out, const ElementLine& line) {
    out << line.depth << ' ' << line.name;
    for (const auto& [name, value] : line.attributes) {
        out << ' ' << name << "=[" << value << ']';
    }
    return out;
}

// Our view: every indexed element in document order, through the public navigation.
std::vector<ElementLine> OurElements(const std::u16string& text, bool& wellFormed) {
    io::XmlDocument document;
    wellFormed = document.SetText(text);
    std::vector<ElementLine> lines;
    int depth = 0;
    for (;;) {
        if (document.NextElement()) {
            ElementLine line{depth, base::ToUtf8(document.GetElementName()), {}};
            for (const io::XmlAttribute& attribute : document.GetAttributes()) {
                line.attributes.emplace_back(base::ToUtf8(attribute.name), base::ToUtf8(attribute.value));
            }
            lines.push_back(std::move(line));
            document.EnterElement();
            ++depth;
        } else if (depth > 0) {
            document.LeaveElement();
            --depth;
        } else {
            return lines;
        }
    }
}

void CollectReference(xmlNodePtr node, int depth, std::vector<ElementLine>& lines) {
    for (; node != nullptr; node = node->next) {
        if (node->type != XML_ELEMENT_NODE) {
            continue;
        }
        ElementLine line{depth, reinterpret_cast<const char*>(node->name), {}};
        for (xmlAttrPtr attribute = node->properties; attribute != nullptr; attribute = attribute->next) {
            xmlChar* value = xmlNodeGetContent(reinterpret_cast<xmlNodePtr>(attribute));
            line.attributes.emplace_back(reinterpret_cast<const char*>(attribute->name),
                                         value != nullptr ? reinterpret_cast<const char*>(value) : "");
            xmlFree(value);
        }
        lines.push_back(std::move(line));
        CollectReference(node->children, depth + 1, lines);
    }
}

// libxml2's view of the same UTF-8 bytes; false when it finds the document not well formed.
bool ReferenceElements(const std::string& bytes, std::vector<ElementLine>& lines) {
    xmlDocPtr document = xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), "generated.xml", "UTF-8",
                                       XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (document == nullptr) {
        return false;
    }
    CollectReference(document->children, 0, lines);
    xmlFreeDoc(document);
    return true;
}

// Random text for attribute values: every character that needs escaping, whitespace that a
// reader would normalise, characters XML cannot hold, and characters beyond the ASCII range.
std::u16string RandomValue(std::mt19937& random) {
    static const std::u16string pieces[] = {
        u"<", u">",     u"&",      u"'",      u"\"",         u" ",    u"\t",     u"\n",     u"\r", u"a", u"Z",
        u"9", u"&amp;", u"\u00e9", u"\u4e2d", u"\U0001F600", u"\x01", u"\xFFFF", u"\xD800", u";",  u"#"};
    std::u16string value;
    for (int n = std::uniform_int_distribution<int>(0, 12)(random); n > 0; --n) {
        value += pieces[std::uniform_int_distribution<size_t>(0, std::size(pieces) - 1)(random)];
    }
    return value;
}

std::u16string RandomName(std::mt19937& random) {
    static const std::u16string names[] = {
        u"item", u"a", u"key_code", u"macro-info", u"x.y", u"\u00e9l\u00e9ment", u"_z9", u"\u4e2d"};
    return names[std::uniform_int_distribution<size_t>(0, std::size(names) - 1)(random)];
}

// Builds a random tree with the writing operations, as the exporters do.
std::u16string WriteRandomDocument(std::mt19937& random) {
    io::XmlDocument document;
    document.SetText(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
    document.AppendElement(RandomName(random));
    int depth = 0;
    for (int steps = std::uniform_int_distribution<int>(0, 60)(random); steps > 0; --steps) {
        int action = std::uniform_int_distribution<int>(0, 3)(random);
        if (action == 0 || (action == 1 && depth == 0)) {
            // Only the root lives at the top level: a new element goes inside.
            if (document.EnterElement()) {
                ++depth;
            }
            document.AppendElement(RandomName(random));
        } else if (action == 1) {
            document.AppendElement(RandomName(random));
        } else if (action == 2) {
            document.SetAttribute(RandomName(random), RandomValue(random));
        } else if (depth > 0 && document.LeaveElement()) {
            --depth;
        }
    }
    return document.GetText();
}

// Writes documents by hand in the ways other programs write them: either quote, spaces around
// "=", character and entity references, comments, CDATA, processing instructions and text.
std::string HandWrittenDocument(std::mt19937& random) {
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    static const char* valuePieces[] = {"&lt;",  "&gt;",   "&amp;",     "&apos;",   "&quot;",
                                        "&#60;", "&#x3C;", "&#x1F600;", "&#9;",     "&#10;",
                                        "&#13;", "plain",  " ",         "\xC3\xA9", ">"};
    static const char* between[] = {
        "", "\r\n", "text &amp; more", "<!-- <x/> -->", "<![CDATA[<y a='1'/>]]>", "<?pi <z/> ?>", "&#x41;"};
    std::string text = pick(2) ? "<?xml version=\"1.0\"?>\n" : "";
    std::vector<std::string> open;
    int elements = 0;
    auto startTag = [&] {
        std::string name = "e" + std::to_string(pick(4));
        text += "<" + name;
        for (int a = pick(4); a > 0; --a) {
            char quote = pick(2) ? '"' : '\'';
            text += std::string(pick(2) ? " " : "\n ") + "a" + std::to_string(elements) + "_" +
                    std::to_string(a) + (pick(2) ? "=" : " = ") + quote;
            for (int p = pick(6); p > 0; --p) {
                text += valuePieces[pick(static_cast<int>(std::size(valuePieces)))];
            }
            text += quote;
        }
        ++elements;
        return name;
    };
    std::string root = startTag();
    text += ">";
    open.push_back(root);
    for (int steps = pick(40); !open.empty(); --steps) {
        text += between[pick(static_cast<int>(std::size(between)))];
        int action = steps > 0 ? pick(3) : 2;
        if (action == 0) {
            std::string name = startTag();
            text += pick(2) ? " />" : "/>";
        } else if (action == 1) {
            open.push_back(startTag());
            text += ">";
        } else {
            text += "</" + open.back() + (pick(2) ? ">" : " >");
            open.pop_back();
        }
    }
    return text + (pick(2) ? "\n<!-- end -->\n" : "");
}

// Counts what the generated documents held, so that a generator that degenerates is noticed.
struct Coverage {
    size_t elements = 0;
    size_t attributes = 0;
    void Add(const std::vector<ElementLine>& lines) {
        elements += lines.size();
        for (const ElementLine& line : lines) {
            attributes += line.attributes.size();
        }
    }
};

TEST(XmlReferenceTest, WrittenDocumentsAgreeWithLibxml2) {
    Coverage coverage;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        std::mt19937 random(seed);
        std::u16string text = WriteRandomDocument(random);
        bool wellFormed = false;
        std::vector<ElementLine> ours = OurElements(text, wellFormed);
        std::vector<ElementLine> reference;
        EXPECT_TRUE(wellFormed) << "seed " << seed;
        ASSERT_TRUE(ReferenceElements(base::ToUtf8(text), reference)) << "seed " << seed << "\n"
                                                                      << base::ToUtf8(text);
        ASSERT_EQ(ours, reference) << "seed " << seed << "\n" << base::ToUtf8(text);
        coverage.Add(ours);
    }
    EXPECT_GT(coverage.elements, 3000u);
    EXPECT_GT(coverage.attributes, 1500u);
}

TEST(XmlReferenceTest, HandWrittenDocumentsAgreeWithLibxml2) {
    Coverage coverage;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        std::mt19937 random(seed);
        std::string bytes = HandWrittenDocument(random);
        bool wellFormed = false;
        std::vector<ElementLine> ours = OurElements(base::ToUtf16(bytes), wellFormed);
        std::vector<ElementLine> reference;
        EXPECT_TRUE(wellFormed) << "seed " << seed << "\n" << bytes;
        ASSERT_TRUE(ReferenceElements(bytes, reference)) << "seed " << seed << "\n" << bytes;
        ASSERT_EQ(ours, reference) << "seed " << seed << "\n" << bytes;
        coverage.Add(ours);
    }
    EXPECT_GT(coverage.elements, 1500u);
    EXPECT_GT(coverage.attributes, 2000u);
}

TEST(XmlReferenceTest, SavedFilesPassXmllint) {
    if (std::system("command -v xmllint >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "xmllint is not installed (Debian libxml2-utils)";
    }
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("xmllint-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    std::string command = "xmllint --noout";
    for (unsigned seed = 1; seed <= 20; ++seed) {
        std::mt19937 random(seed * 7919);
        io::XmlDocument document;
        std::filesystem::path path = folder / ("doc" + std::to_string(seed) + ".xml");
        ASSERT_TRUE(document.SaveFile(WriteRandomDocument(random), path));
        command += " " + path.string();
    }
    EXPECT_EQ(std::system(command.c_str()), 0);
    std::filesystem::remove_all(folder);
}

} // namespace
