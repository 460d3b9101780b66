// Feeds arbitrary text to the XML document: decoding, parsing, navigation through every element and
// attribute reads; then edits, after which the index kept up by the edits must agree with a fresh
// parse of the edited text.
#include "base/Utf.h"
#include "io/XmlDocument.h"
#include "io/XmlEncoding.h"
#include "io/XmlEscape.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Visits every element depth first and reads its attributes.
void WalkAll(io::XmlDocument& document) {
    int depth = 0;
    for (;;) {
        if (document.NextElement()) {
            std::u16string name = document.GetElementName();
            Check(!name.empty());
            for (const io::XmlAttribute& attribute : document.GetAttributes()) {
                Check(!attribute.name.empty());
                document.GetAttribute(attribute.name);
            }
            document.GetAttribute(u"name");
            Check(document.EnterElement());
            ++depth;
        } else if (depth > 0) {
            Check(document.LeaveElement());
            --depth;
        } else {
            break;
        }
    }
    Check(!document.LeaveElement());
}

// Moves to the next element in document order, keeping track of the depth; false at the end.
bool Step(io::XmlDocument& document, int& depth) {
    if (document.EnterElement()) {
        if (document.NextElement()) {
            ++depth;
            return true;
        }
        document.LeaveElement();
    }
    while (!document.NextElement()) {
        if (depth == 0) {
            return false;
        }
        document.LeaveElement();
        --depth;
    }
    return true;
}

// Lists the current (top-level) element and everything inside it.
std::u16string DumpFromRoot(io::XmlDocument& document) {
    auto line = [&](int depth) {
        std::u16string out = static_cast<char16_t>(u'0' + depth % 10) + document.GetElementName();
        for (const io::XmlAttribute& attribute : document.GetAttributes()) {
            out += u" " + attribute.name + u"=" + attribute.value;
        }
        return out + u"\n";
    };
    std::u16string dump = line(0);
    Check(document.EnterElement());
    int depth = 1;
    while (depth > 0) {
        if (document.NextElement()) {
            dump += line(depth);
            Check(document.EnterElement());
            ++depth;
        } else {
            Check(document.LeaveElement());
            --depth;
        }
    }
    return dump;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::u16string text;
    switch (data[0] % 3) {
    case 0: {
        io::XmlResultLog log;
        io::DecodeXmlBytes(bytes, text, log);
        break;
    }
    case 1:
        for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
            text += static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) | static_cast<uint8_t>(bytes[i + 1])
                                                                               << 8);
        }
        break;
    default:
        text = base::ToUtf16(bytes);
        break;
    }

    io::XmlDocument document;
    bool wellFormed = document.SetText(text);
    WalkAll(document);
    document.FindElement(u"profile");
    document.EnterElement();
    document.FindElement(u"item");

    std::u16string value = text.substr(0, 64);
    if (!wellFormed) {
        // Edits on a broken document must fail or succeed cleanly, nothing more.
        document.SetText(text);
        document.NextElement();
        document.EnterElement();
        document.NextElement();
        document.SetAttribute(u"desc", value);
        document.AppendElement(u"item");
        document.SetAttribute(u"desc", value);
        document.SetText(document.GetText());
        WalkAll(document);
        return 0;
    }

    // Edit a well-formed document at an element chosen by the input: replace its first
    // attribute, add one, add a sibling after it and a child inside that. The index kept up to
    // date by the edits must show what a fresh parse of the edited text shows.
    document.SetText(text);
    Check(document.NextElement());
    int depth = 0;
    for (int steps = data[0] / 3; steps > 0 && Step(document, depth); --steps) {
    }
    std::vector<io::XmlAttribute> attributes = document.GetAttributes();
    if (!attributes.empty()) {
        // Reading accepts names that writing refuses, so this may fail.
        document.SetAttribute(attributes[0].name, value);
    }
    Check(document.SetAttribute(u"desc", value));
    Check(document.GetAttribute(u"desc") == io::Unescape(io::EscapeAttribute(value)));
    if (depth > 0) {
        Check(document.AppendElement(u"item") && document.SetAttribute(u"x", u"1"));
        Check(document.EnterElement() && document.AppendElement(u"sub") &&
              document.SetAttribute(u"y", value));
    }
    document.ResetPosition();
    Check(document.NextElement());
    std::u16string edited = DumpFromRoot(document);
    io::XmlDocument reparsed;
    Check(reparsed.SetText(document.GetText()));
    Check(reparsed.NextElement());
    Check(DumpFromRoot(reparsed) == edited);
    return 0;
}
