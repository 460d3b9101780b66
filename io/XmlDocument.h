#pragma once

#include "io/XmlResultLog.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace io {

/// An attribute of a start tag, its value unescaped.
struct XmlAttribute {
    std::u16string name;
    std::u16string value;
};

/// Document flags. Nothing in the program sets them, so files are written without a byte-order mark.
enum XmlFlags : unsigned {
    kXmlWriteByteOrderMark = 1,
};

/// A small XML document: one UTF-16 text that every operation edits in place, so what is saved
/// is exactly the text; an index of its elements, rebuilt whenever the text is set; and a
/// position for navigation made of the parent, the current element and the child position to
/// return to. Position 0 stands for "none" (and, as a parent, for the document level).
///
/// Writing: SetText(declaration), then AppendElement / EnterElement / SetAttribute /
/// LeaveElement in document order, then SaveFile(GetText(), path). Reading: LoadFile(path, text),
/// SetText(text), then FindElement / EnterElement / GetAttribute / LeaveElement.
class XmlDocument {
public:
    XmlDocument();

    /// Replaces the text, clears the log and the positions and parses the text. True when the
    /// document is well formed: exactly one top-level element and no diagnostic of the parse.
    bool SetText(std::u16string_view text);
    const std::u16string& GetText() const { return m_text; }

    /// Adds "<name/>" and a line break after the current element, or as the last child of the
    /// parent when there is no current element, and makes it current. A parent written in the
    /// empty form is opened and closed by an end tag on a line of its own. False for a name that
    /// is not an XML name, or when the new element's parent has no end tag.
    bool AppendElement(std::u16string_view name);
    /// Makes the current element the parent and the child position current. False without a
    /// current element.
    bool EnterElement();
    /// Makes the parent current, its parent the parent, and remembers the element that was
    /// current as the child position. False at the document level.
    bool LeaveElement();
    /// Moves forward among the siblings at the current level to the next element with exactly
    /// that name: after the current element, or from the first one when there is none. Positions
    /// stay unchanged when none is found.
    bool FindElement(std::u16string_view name);
    /// Like FindElement, for the next element whatever its name.
    bool NextElement();
    /// Returns to the start: the document level, no current element, no child position.
    void ResetPosition() { m_parent = m_current = m_child = 0; }

    /// The name of the current element; empty without one.
    std::u16string GetElementName() const;
    /// The unescaped value of an attribute of the current element; empty without a current
    /// element or without that attribute.
    std::u16string GetAttribute(std::u16string_view name) const;
    /// Every attribute of the current element in the order of the start tag.
    std::vector<XmlAttribute> GetAttributes() const;
    /// Replaces the value of the current element's attribute of that name, or appends the
    /// attribute after the last one. The value is escaped. False without a current element or
    /// for a name that is not an XML name.
    bool SetAttribute(std::u16string_view name, std::u16string_view value);

    /// Reads a file and decodes it (byte-order mark, declared encoding, UTF-8 or the locale's
    /// encoding) into `text`, which the caller then hands to SetText. False, with an empty text,
    /// when the file cannot be read, is larger than kMaxFileSize or names an unknown encoding.
    bool LoadFile(const std::filesystem::path& path, std::u16string& text);
    /// Writes `text` in the encoding its declaration names (UTF-8 without one), with a byte-order
    /// mark only when the flags ask for one. The file is replaced whole or not at all.
    bool SaveFile(std::u16string_view text, const std::filesystem::path& path);

    void SetFlags(unsigned flags) { m_flags = flags; }
    unsigned GetFlags() const { return m_flags; }
    const XmlResultLog& GetResultLog() const { return m_log; }

    /// Files beyond this size are refused; the program's own files are a few hundred kilobytes.
    static constexpr uintmax_t kMaxFileSize = 32u << 20;

private:
    enum class Form : uint8_t { Empty, Open, Unended };

    // One element: its offsets in m_text and its place in the tree (positions into m_elements).
    // Entry 0 stands for the document level.
    struct Element {
        uint32_t start = 0;      // the "<" of the start tag
        uint32_t tagEnd = 0;     // just after the start tag
        uint32_t closeStart = 0; // the "<" of the end tag; the end for other forms
        uint32_t end = 0;        // just after the element
        uint32_t nameLength = 0;
        uint32_t parent = 0;
        uint32_t firstChild = 0;
        uint32_t lastChild = 0;
        uint32_t next = 0;
        uint32_t previous = 0;
        Form form = Form::Empty;
    };

    class Parser;

    std::u16string_view NameOf(uint32_t position) const;
    uint32_t AddElement(const Element& element, uint32_t parent, uint32_t after);
    void ReplaceText(size_t from, size_t to, std::u16string_view with, uint32_t context);
    void MoveSubtree(uint32_t root, uint32_t delta);
    bool FindNext(std::u16string_view name, bool anyName);

    std::u16string m_text;
    std::vector<Element> m_elements;
    uint32_t m_parent = 0;
    uint32_t m_current = 0;
    uint32_t m_child = 0;
    unsigned m_flags = 0;
    XmlResultLog m_log;
};

} // namespace io
