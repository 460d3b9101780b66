// xmldump FILE: shows how the program's XML document reads a file. Prints "well-formed" or
// "not well-formed", then one line per element in document order: its depth, its name and its
// attributes as name="value" with the values unescaped. Exits with 0 when the document is well
// formed, 1 when it is not and 2 when the file cannot be read.
#include "base/Utf.h"
#include "io/XmlDocument.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: xmldump FILE\n");
        return 2;
    }
    io::XmlDocument document;
    std::u16string text;
    if (!document.LoadFile(argv[1], text)) {
        const auto& entries = document.GetResultLog().GetEntries();
        std::fprintf(stderr, "xmldump: %s\n", entries.empty() ? argv[1] : entries.back().msg.c_str());
        return 2;
    }
    bool wellFormed = document.SetText(text);
    std::printf("%s\n", wellFormed ? "well-formed" : "not well-formed");

    // Depth-first through the navigation operations: into each element, and back out when a
    // level has no further element.
    int depth = 0;
    for (;;) {
        if (document.NextElement()) {
            std::string line = std::to_string(depth) + " " + base::ToUtf8(document.GetElementName());
            for (const io::XmlAttribute& attribute : document.GetAttributes()) {
                line += " " + base::ToUtf8(attribute.name) + "=\"" + base::ToUtf8(attribute.value) + "\"";
            }
            std::printf("%s\n", line.c_str());
            document.EnterElement();
            ++depth;
        } else if (depth > 0) {
            document.LeaveElement();
            --depth;
        } else {
            break;
        }
    }
    return wellFormed ? 0 : 1;
}
