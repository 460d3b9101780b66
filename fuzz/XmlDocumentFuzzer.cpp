// Feeds arbitrary text to the XML document: decoding, parsing, navigation through every element,
// attribute reads, and an edit whose result must parse again to the same value.
#include "base/Utf.h"
#include "io/XmlDocument.h"
#include "io/XmlEncoding.h"
#include "io/XmlEscape.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

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

    // Add an element with an attribute taken from the input inside the first top-level element
    // (or wherever navigation stands in a broken document), then parse the result again.
    document.SetText(text);
    document.NextElement();
    document.EnterElement();
    std::u16string value = text.substr(0, 64);
    if (!document.AppendElement(u"item") || !document.SetAttribute(u"desc", value)) {
        Check(!wellFormed);
        return 0;
    }
    Check(document.GetAttribute(u"desc") == io::Unescape(io::EscapeAttribute(value)));
    std::u16string edited = document.GetText();
    bool stillWellFormed = document.SetText(edited);
    Check(!wellFormed || stillWellFormed);
    if (wellFormed) {
        // The new element is the last child of the root.
        Check(document.NextElement() && document.EnterElement());
        while (document.NextElement()) {
        }
        Check(document.LeaveElement() && document.EnterElement());
        Check(document.GetElementName() == u"item");
        Check(document.GetAttribute(u"desc") == io::Unescape(io::EscapeAttribute(value)));
    } else {
        WalkAll(document);
    }
    return 0;
}
