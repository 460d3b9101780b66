#include "io/XmlDocument.h"

#include "io/XmlEscape.h"

#include <unordered_map>

namespace io {

namespace {

constexpr size_t kNone = std::u16string_view::npos;
// Offsets are kept in 32 bits to keep the index small; texts up to 2^31 code units fit.
constexpr size_t kMaxTextLength = 0x7FFFFFFF;

bool IsSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

bool IsNameStart(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c == u':' || c >= 0x80;
}

bool IsNameChar(char16_t c) {
    return IsNameStart(c) || (c >= u'0' && c <= u'9') || c == u'-' || c == u'.';
}

// The names that XML 1.0 allows. Reading is lenient about names; what we write must be exact.
bool IsXmlNameStart(char32_t c) {
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || c == U'_' || c == U':' ||
           (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) ||
           (c >= 0x370 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D) ||
           (c >= 0x2070 && c <= 0x218F) || (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) ||
           (c >= 0xF900 && c <= 0xFDCF) || (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

bool IsXmlNameChar(char32_t c) {
    return IsXmlNameStart(c) || (c >= U'0' && c <= U'9') || c == U'-' || c == U'.' || c == 0xB7 ||
           (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

bool IsName(std::u16string_view name) {
    for (size_t i = 0; i < name.size(); ++i) {
        char32_t c = name[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < name.size() && name[i + 1] >= 0xDC00 &&
            name[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (name[++i] - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            return false;
        }
        if (!(i == 0 ? IsXmlNameStart(c) : IsXmlNameChar(c))) {
            return false;
        }
    }
    return !name.empty();
}

size_t SkipName(std::u16string_view text, size_t at) {
    while (at < text.size() && IsNameChar(text[at])) {
        ++at;
    }
    return at;
}

size_t SkipSpace(std::u16string_view text, size_t at) {
    while (at < text.size() && IsSpace(text[at])) {
        ++at;
    }
    return at;
}

// The outcome of reading the attributes of a start tag.
struct TagScan {
    bool ok = false;
    bool empty = false;       // ended by "/>"
    size_t tagEnd = 0;        // just after the tag, when ok
    size_t attributesEnd = 0; // just after the last attribute (or the name), where new ones go
    size_t stop = 0;          // where reading stopped, when not ok
};

// Reads the attributes of a start tag from just after its name up to ">" or "/>", calling
// onAttribute(name, valueStart, valueEnd) for each. Every attribute needs "=" and a value in
// single or double quotes. It only moves forward, so a tag costs its own length.
template <typename OnAttribute>
TagScan ScanAttributes(std::u16string_view text, size_t at, OnAttribute&& onAttribute) {
    TagScan scan;
    scan.attributesEnd = at;
    for (;;) {
        at = SkipSpace(text, at);
        if (at >= text.size()) {
            scan.stop = text.size();
            return scan;
        }
        if (text[at] == u'>' || (text[at] == u'/' && at + 1 < text.size() && text[at + 1] == u'>')) {
            scan.empty = text[at] == u'/';
            scan.tagEnd = at + (scan.empty ? 2 : 1);
            scan.ok = true;
            return scan;
        }
        if (!IsNameStart(text[at])) {
            scan.stop = at;
            return scan;
        }
        size_t nameStart = at;
        at = SkipName(text, at);
        std::u16string_view name = text.substr(nameStart, at - nameStart);
        at = SkipSpace(text, at);
        if (at >= text.size() || text[at] != u'=') {
            scan.stop = at;
            return scan;
        }
        at = SkipSpace(text, at + 1);
        if (at >= text.size() || (text[at] != u'"' && text[at] != u'\'')) {
            scan.stop = at;
            return scan;
        }
        size_t close = text.find(text[at], at + 1);
        if (close == kNone) {
            scan.stop = text.size();
            return scan;
        }
        onAttribute(name, at + 1, close);
        at = close + 1;
        scan.attributesEnd = at;
    }
}

bool StartsWith(std::u16string_view text, size_t at, std::u16string_view prefix) {
    return text.substr(at, prefix.size()) == prefix;
}

} // namespace

// Walks the text once, front to back, indexing elements and matching end tags against a stack of
// open elements. Nothing here recurses and every search moves forward, so deep nesting and long
// runs of damaged markup cost time in proportion to the text.
class XmlDocument::Parser {
public:
    explicit Parser(XmlDocument& document) : m_document(document), m_text(document.m_text) {}

    bool Run() {
        size_t at = 0;
        while (at < m_text.size()) {
            size_t tag = m_text.find(u'<', at);
            if (tag == kNone) {
                break;
            }
            at = ParseMarkup(tag);
        }
        while (!m_open.empty()) {
            CloseUnended(m_text.size());
        }
        if (m_document.m_elements[0].firstChild == 0) {
            Diagnose("no_root_element", 0);
        } else if (m_document.m_elements[0].firstChild != m_document.m_elements[0].lastChild) {
            uint32_t second = m_document.m_elements[m_document.m_elements[0].firstChild].next;
            Diagnose("root_has_sibling", m_document.m_elements[second].start, m_document.NameOf(second));
        }
        return !m_broken;
    }

private:
    // Reads the markup that starts with the "<" at `at` and returns where to go on.
    size_t ParseMarkup(size_t at) {
        char16_t next = at + 1 < m_text.size() ? m_text[at + 1] : u'\0';
        if (next == u'?') {
            return SkipPast(at, at + 2, u"?>", "unterminated_tag_syntax");
        }
        if (StartsWith(m_text, at, u"<!--")) {
            return SkipPast(at, at + 4, u"-->", "comment_tag_syntax");
        }
        if (StartsWith(m_text, at, u"<![CDATA[")) {
            return SkipPast(at, at + 9, u"]]>", "cdata_section_syntax");
        }
        if (StartsWith(m_text, at, u"<!DOCTYPE")) {
            return SkipDoctype(at);
        }
        if (next == u'!') {
            return SkipPast(at, at + 2, u">", "exclamation_tag_syntax", true);
        }
        if (next == u'/') {
            return ParseEndTag(at);
        }
        if (IsNameStart(next)) {
            return ParseStartTag(at);
        }
        Diagnose("first_tag_syntax", at);
        return at + 1;
    }

    // Skips to just after `terminator`; without one, the rest of the text is consumed. A
    // malformed construct is still skipped to its terminator when `diagnoseAlways` is set.
    size_t SkipPast(size_t at, size_t from, std::u16string_view terminator, const char* type,
                    bool diagnoseAlways = false) {
        size_t found = m_text.find(terminator, from);
        if (found == kNone || diagnoseAlways) {
            Diagnose(type, at);
        }
        return found == kNone ? m_text.size() : found + terminator.size();
    }

    // A document type declaration ends at the first ">" outside quotes and its internal subset.
    size_t SkipDoctype(size_t at) {
        char16_t quote = 0;
        int depth = 0;
        for (size_t i = at + 9; i < m_text.size(); ++i) {
            char16_t c = m_text[i];
            if (quote != 0) {
                quote = c == quote ? 0 : quote;
            } else if (c == u'"' || c == u'\'') {
                quote = c;
            } else if (c == u'[') {
                ++depth;
            } else if (c == u']') {
                depth = depth > 0 ? depth - 1 : 0;
            } else if (c == u'>' && depth == 0) {
                return i + 1;
            }
        }
        Diagnose("doctype_tag_syntax", at);
        return m_text.size();
    }

    size_t ParseStartTag(size_t at) {
        size_t nameEnd = SkipName(m_text, at + 1);
        TagScan scan = ScanAttributes(m_text, nameEnd, [](std::u16string_view, size_t, size_t) {});
        if (!scan.ok) {
            Diagnose("unterminated_tag_syntax", at, m_text.substr(at + 1, nameEnd - at - 1));
            return scan.stop;
        }
        Element element;
        element.start = static_cast<uint32_t>(at);
        element.tagEnd = static_cast<uint32_t>(scan.tagEnd);
        element.closeStart = element.end = element.tagEnd;
        element.nameLength = static_cast<uint32_t>(nameEnd - at - 1);
        element.form = scan.empty ? Form::Empty : Form::Open;
        uint32_t parent = m_open.empty() ? 0 : m_open.back();
        uint32_t position = m_document.AddElement(element, parent, m_document.m_elements[parent].lastChild);
        if (!scan.empty) {
            m_open.push_back(position);
            ++m_openNames[m_document.NameOf(position)];
        }
        return scan.tagEnd;
    }

    size_t ParseEndTag(size_t at) {
        if (at + 2 >= m_text.size() || !IsNameStart(m_text[at + 2])) {
            Diagnose("first_tag_syntax", at);
            return at + 1;
        }
        size_t nameEnd = SkipName(m_text, at + 2);
        std::u16string_view name = m_text.substr(at + 2, nameEnd - at - 2);
        size_t close = SkipSpace(m_text, nameEnd);
        if (close >= m_text.size() || m_text[close] != u'>') {
            Diagnose("unterminated_tag_syntax", at, name);
            return close;
        }
        // The count of open elements per name answers "is it open at all?" at once, so a flood
        // of stray end tags under deep nesting does not search the stack each time.
        auto open = m_openNames.find(name);
        if (open == m_openNames.end() || open->second == 0) {
            Diagnose("lone_end_tag", at, name);
            return close + 1;
        }
        while (m_document.NameOf(m_open.back()) != name) {
            CloseUnended(at);
        }
        Element& element = m_document.m_elements[m_open.back()];
        element.closeStart = static_cast<uint32_t>(at);
        element.end = static_cast<uint32_t>(close + 1);
        Pop();
        return close + 1;
    }

    // Ends the innermost open element, which has no end tag, at `at`.
    void CloseUnended(size_t at) {
        uint32_t position = m_open.back();
        Element& element = m_document.m_elements[position];
        Diagnose("unended_start_tag", element.start, m_document.NameOf(position));
        element.closeStart = element.end = static_cast<uint32_t>(at);
        element.form = Form::Unended;
        Pop();
    }

    void Pop() {
        --m_openNames[m_document.NameOf(m_open.back())];
        m_open.pop_back();
    }

    void Diagnose(const char* type, size_t offset, std::u16string_view tagname = {}) {
        XmlDiagnostic diagnostic;
        diagnostic.type = type;
        diagnostic.offset = static_cast<int64_t>(offset);
        diagnostic.tagname = tagname;
        m_document.m_log.Add(std::move(diagnostic));
        m_broken = true;
    }

    XmlDocument& m_document;
    std::u16string_view m_text;
    std::vector<uint32_t> m_open;
    std::unordered_map<std::u16string_view, uint32_t> m_openNames;
    bool m_broken = false;
};

XmlDocument::XmlDocument() : m_elements(1) {
    m_elements[0].form = Form::Open;
}

bool XmlDocument::SetText(std::u16string_view text) {
    m_log.Clear();
    m_elements.assign(1, Element{});
    ResetPosition();
    if (text.size() > kMaxTextLength) {
        m_text.clear();
        XmlDiagnostic diagnostic;
        diagnostic.type = "read";
        diagnostic.msg = "text too long";
        diagnostic.length = static_cast<int64_t>(text.size());
        m_log.Add(std::move(diagnostic));
        return false;
    }
    m_text = text;
    m_elements[0].form = Form::Open;
    m_elements[0].closeStart = m_elements[0].end = static_cast<uint32_t>(m_text.size());
    return Parser(*this).Run();
}

std::u16string_view XmlDocument::NameOf(uint32_t position) const {
    const Element& element = m_elements[position];
    return std::u16string_view(m_text).substr(element.start + 1, element.nameLength);
}

uint32_t XmlDocument::AddElement(const Element& element, uint32_t parent, uint32_t after) {
    uint32_t position = static_cast<uint32_t>(m_elements.size());
    Element added = element;
    added.parent = parent;
    added.previous = after;
    added.next = after != 0 ? m_elements[after].next : m_elements[parent].firstChild;
    m_elements.push_back(added);
    (after != 0 ? m_elements[after].next : m_elements[parent].firstChild) = position;
    (added.next != 0 ? m_elements[added.next].previous : m_elements[parent].lastChild) = position;
    return position;
}

// Replaces text[from, to), which lies inside the element `context` and inside none of its
// children, and moves the offsets behind the edit. Only the context, its ancestors and the
// elements that follow the edit are visited, so adding an element near the end of a document
// costs as little as the text it moves.
void XmlDocument::ReplaceText(size_t from, size_t to, std::u16string_view with, uint32_t context) {
    m_text.replace(from, to - from, with);
    auto delta = static_cast<uint32_t>(with.size() - (to - from)); // wraps around for a shrinking edit
    for (uint32_t around = context; around != 0; around = m_elements[around].parent) {
        // The start tag or end tag of a containing element may lie behind the edit. An offset
        // that marks an end moves only when it lies behind `to`, so an element that ends where
        // an insertion begins keeps its end; an end tag that begins there moves.
        Element& element = m_elements[around];
        element.tagEnd += element.tagEnd > to ? delta : 0;
        element.closeStart +=
            (element.form == Form::Open ? element.closeStart >= to : element.closeStart > to) ? delta : 0;
        element.end += element.end > to ? delta : 0;
    }
    for (uint32_t around = context;; around = m_elements[around].parent) {
        // Children are in document order: the ones behind the edit are the last ones.
        for (uint32_t child = m_elements[around].lastChild; child != 0 && m_elements[child].start >= to;
             child = m_elements[child].previous) {
            MoveSubtree(child, delta);
        }
        if (around == 0) {
            break;
        }
    }
    m_elements[0].closeStart = m_elements[0].end = static_cast<uint32_t>(m_text.size());
}

// Moves every offset of an element and its descendants, without recursion.
void XmlDocument::MoveSubtree(uint32_t root, uint32_t delta) {
    uint32_t position = root;
    for (;;) {
        Element& element = m_elements[position];
        element.start += delta;
        element.tagEnd += delta;
        element.closeStart += delta;
        element.end += delta;
        if (element.firstChild != 0) {
            position = element.firstChild;
            continue;
        }
        while (position != root && m_elements[position].next == 0) {
            position = m_elements[position].parent;
        }
        if (position == root) {
            return;
        }
        position = m_elements[position].next;
    }
}

bool XmlDocument::AppendElement(std::u16string_view name) {
    uint32_t parent = m_current != 0 ? m_elements[m_current].parent : m_parent;
    if (!IsName(name) || m_elements[parent].form == Form::Unended ||
        m_text.size() + 2 * name.size() + 16 > kMaxTextLength) {
        return false;
    }
    std::u16string added = u"<" + std::u16string(name) + u"/>\r\n";
    Element element;
    element.nameLength = static_cast<uint32_t>(name.size());
    element.form = Form::Empty;
    uint32_t after = 0;
    size_t at = 0;
    if (m_current != 0) {
        // After the current element and the line break written after it.
        after = m_current;
        at = m_elements[m_current].end;
        if (StartsWith(m_text, at, u"\r\n")) {
            at += 2;
        }
        ReplaceText(at, at, added, parent);
    } else if (parent == 0) {
        // At the end of the document, on a line of its own.
        after = m_elements[0].lastChild;
        size_t end = m_text.size();
        std::u16string_view lineBreak = !m_text.empty() && m_text.back() != u'\n' ? u"\r\n" : u"";
        ReplaceText(end, end, std::u16string(lineBreak) + added, 0);
        at = end + lineBreak.size();
    } else if (m_elements[parent].form == Form::Empty) {
        // Open the empty parent: "/>" becomes ">", a line break, the child and an end tag.
        Element& opened = m_elements[parent];
        size_t slash = opened.tagEnd - 2;
        std::u16string replacement = u">\r\n" + added + u"</" + std::u16string(NameOf(parent)) + u">";
        ReplaceText(slash, opened.tagEnd, replacement, parent);
        opened.form = Form::Open;
        opened.tagEnd = static_cast<uint32_t>(slash + 1);
        opened.closeStart = static_cast<uint32_t>(slash + 3 + added.size());
        opened.end = static_cast<uint32_t>(slash + replacement.size());
        at = slash + 3;
        after = 0;
    } else {
        // Before the parent's end tag, after its last child.
        after = m_elements[parent].lastChild;
        at = m_elements[parent].closeStart;
        ReplaceText(at, at, added, parent);
    }
    element.start = static_cast<uint32_t>(at);
    element.tagEnd = element.closeStart = element.end = static_cast<uint32_t>(at + name.size() + 3);
    m_current = AddElement(element, parent, after);
    m_child = 0;
    return true;
}

bool XmlDocument::EnterElement() {
    if (m_current == 0) {
        return false;
    }
    m_parent = m_current;
    m_current = m_child;
    m_child = 0;
    return true;
}

bool XmlDocument::LeaveElement() {
    if (m_parent == 0) {
        return false;
    }
    m_child = m_current;
    m_current = m_parent;
    m_parent = m_elements[m_parent].parent;
    return true;
}

bool XmlDocument::FindNext(std::u16string_view name, bool anyName) {
    uint32_t candidate = m_current != 0 ? m_elements[m_current].next : m_elements[m_parent].firstChild;
    while (candidate != 0 && !anyName && NameOf(candidate) != name) {
        candidate = m_elements[candidate].next;
    }
    if (candidate == 0) {
        return false;
    }
    m_current = candidate;
    m_child = 0;
    return true;
}

bool XmlDocument::FindElement(std::u16string_view name) {
    return FindNext(name, false);
}

bool XmlDocument::NextElement() {
    return FindNext({}, true);
}

std::u16string XmlDocument::GetElementName() const {
    return m_current != 0 ? std::u16string(NameOf(m_current)) : std::u16string();
}

std::vector<XmlAttribute> XmlDocument::GetAttributes() const {
    std::vector<XmlAttribute> attributes;
    if (m_current == 0) {
        return attributes;
    }
    std::u16string_view text = m_text;
    const Element& element = m_elements[m_current];
    ScanAttributes(text, element.start + 1 + element.nameLength,
                   [&](std::u16string_view name, size_t valueStart, size_t valueEnd) {
                       attributes.push_back(
                           {std::u16string(name), Unescape(text.substr(valueStart, valueEnd - valueStart))});
                   });
    return attributes;
}

std::u16string XmlDocument::GetAttribute(std::u16string_view name) const {
    if (m_current == 0) {
        return {};
    }
    std::u16string_view text = m_text;
    const Element& element = m_elements[m_current];
    size_t found = kNone;
    size_t foundEnd = 0;
    ScanAttributes(text, element.start + 1 + element.nameLength,
                   [&](std::u16string_view attribute, size_t valueStart, size_t valueEnd) {
                       if (found == kNone && attribute == name) {
                           found = valueStart;
                           foundEnd = valueEnd;
                       }
                   });
    return found == kNone ? std::u16string() : Unescape(text.substr(found, foundEnd - found));
}

bool XmlDocument::SetAttribute(std::u16string_view name, std::u16string_view value) {
    if (m_current == 0 || !IsName(name)) {
        return false;
    }
    std::u16string escaped = EscapeAttribute(value);
    if (m_text.size() + escaped.size() + name.size() + 4 > kMaxTextLength) {
        return false;
    }
    const Element& element = m_elements[m_current];
    size_t found = kNone;
    size_t foundEnd = 0;
    TagScan scan = ScanAttributes(m_text, element.start + 1 + element.nameLength,
                                  [&](std::u16string_view attribute, size_t valueStart, size_t valueEnd) {
                                      if (found == kNone && attribute == name) {
                                          found = valueStart;
                                          foundEnd = valueEnd;
                                      }
                                  });
    if (!scan.ok) {
        return false;
    }
    if (found != kNone) {
        ReplaceText(found, foundEnd, escaped, m_current);
    } else {
        std::u16string added = u" " + std::u16string(name) + u"=\"" + escaped + u"\"";
        ReplaceText(scan.attributesEnd, scan.attributesEnd, added, m_current);
    }
    return true;
}

} // namespace io
