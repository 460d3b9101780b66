#include "io/XmlEncoding.h"

#include "base/Text.h"
#include "base/Utf.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <langinfo.h>
#include <memory>

namespace io {

namespace {

// How far into a file the declaration is looked for.
constexpr size_t kHeadLength = 1024;
constexpr size_t kMaxEncodingName = 40;

struct IconvDeleter {
    void operator()(void* handle) const { iconv_close(static_cast<iconv_t>(handle)); }
};
using IconvHandle = std::unique_ptr<void, IconvDeleter>;

// Opens a conversion; null for an unknown encoding.
IconvHandle OpenIconv(const std::string& to, const std::string& from) {
    iconv_t handle = iconv_open(to.c_str(), from.c_str());
    return IconvHandle(handle == reinterpret_cast<iconv_t>(-1) ? nullptr : handle);
}

bool IsEncodingNameChar(char32_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.' || c == ':';
}

// Upper case, and the spellings of UTF-8 and UTF-16 that files use folded to one.
std::string NormaliseEncoding(std::string name) {
    name = base::AsciiToUpper(name);
    if (name == "UTF8") {
        return "UTF-8";
    }
    if (name == "UTF16" || name == "UCS-2" || name == "UNICODE") {
        return "UTF-16";
    }
    return name;
}

template <typename Char>
char16_t FoldAscii(Char c) {
    auto unit = static_cast<char32_t>(static_cast<std::make_unsigned_t<Char>>(c));
    return static_cast<char16_t>((unit >= 'A' && unit <= 'Z') ? unit - 'A' + 'a' : unit);
}

// Finds an ASCII word ignoring case.
template <typename Char>
size_t FindIgnoringCase(std::basic_string_view<Char> text, std::string_view word, size_t from = 0) {
    for (size_t at = from; at + word.size() <= text.size(); ++at) {
        size_t i = 0;
        while (i < word.size() && FoldAscii(text[at + i]) == FoldAscii(word[i])) {
            ++i;
        }
        if (i == word.size()) {
            return at;
        }
    }
    return std::string_view::npos;
}

// Reads `= "name"` (quotes optional, as HTML allows) after a keyword.
template <typename Char>
std::string ReadEncodingValue(std::basic_string_view<Char> text, size_t at) {
    auto skipSpace = [&] {
        while (at < text.size() &&
               (text[at] == ' ' || text[at] == '\t' || text[at] == '\r' || text[at] == '\n')) {
            ++at;
        }
    };
    skipSpace();
    if (at >= text.size() || text[at] != '=') {
        return {};
    }
    ++at;
    skipSpace();
    if (at < text.size() && (text[at] == '"' || text[at] == '\'')) {
        ++at;
    }
    std::string name;
    while (at < text.size() && name.size() <= kMaxEncodingName &&
           IsEncodingNameChar(static_cast<std::make_unsigned_t<Char>>(text[at]))) {
        name += static_cast<char>(text[at++]);
    }
    return name.size() > kMaxEncodingName ? std::string() : NormaliseEncoding(name);
}

template <typename Char>
std::string FindEncoding(std::basic_string_view<Char> text) {
    text = text.substr(0, kHeadLength);
    size_t start = 0;
    while (start < text.size() &&
           (text[start] == ' ' || text[start] == '\t' || text[start] == '\r' || text[start] == '\n')) {
        ++start;
    }
    if (FindIgnoringCase(text.substr(start, 5), std::string_view("<?xml")) == 0) {
        size_t end = text.find(static_cast<Char>('>'), start);
        std::basic_string_view<Char> declaration =
            text.substr(start, end == text.npos ? text.npos : end - start);
        size_t keyword = FindIgnoringCase(declaration, "encoding");
        return keyword == text.npos ? std::string() : ReadEncodingValue(declaration, keyword + 8);
    }
    // An HTML meta element: <meta charset="..."> or <meta http-equiv="Content-Type" content="...;
    // charset=...">.
    for (size_t meta = FindIgnoringCase(text, "<meta"); meta != text.npos;
         meta = FindIgnoringCase(text, "<meta", meta + 5)) {
        size_t after = meta + 5;
        if (after < text.size() &&
            (text[after] == ' ' || text[after] == '\t' || text[after] == '\r' || text[after] == '\n')) {
            size_t end = text.find(static_cast<Char>('>'), after);
            std::basic_string_view<Char> element =
                text.substr(after, end == text.npos ? text.npos : end - after);
            size_t charset = FindIgnoringCase(element, "charset");
            if (charset != text.npos) {
                return ReadEncodingValue(element, charset + 7);
            }
        }
    }
    return {};
}

void Record(XmlResultLog& log, const char* type, const std::string& encoding = {}, int64_t count = -1,
            std::string msg = {}) {
    XmlDiagnostic diagnostic;
    diagnostic.type = type;
    diagnostic.encoding = encoding;
    diagnostic.count = count;
    diagnostic.msg = std::move(msg);
    log.Add(std::move(diagnostic));
}

// The encoding of text that names none and has no byte-order mark.
std::string LocaleEncoding() {
    std::string codeset = NormaliseEncoding(nl_langinfo(CODESET));
    // The C locale says nothing about files; UTF-8 is the better guess there.
    if (codeset.empty() || codeset == "ANSI_X3.4-1968" || codeset == "ASCII" || codeset == "US-ASCII") {
        return "UTF-8";
    }
    return codeset;
}

size_t CountReplacements(std::u16string_view text) {
    return static_cast<size_t>(std::count(text.begin(), text.end(), u'\uFFFD'));
}

// Whether the bytes end inside a UTF-8 sequence.
bool EndsInsideUtf8Sequence(std::string_view bytes) {
    for (size_t back = 1; back <= 3 && back <= bytes.size(); ++back) {
        auto unit = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((unit & 0xC0) != 0x80) {
            size_t length = unit >= 0xF0 ? 4 : unit >= 0xE0 ? 3 : unit >= 0xC0 ? 2 : 1;
            return length > back;
        }
    }
    return false;
}

void DecodeUtf8(std::string_view bytes, std::u16string& text, XmlResultLog& log) {
    if (EndsInsideUtf8Sequence(bytes)) {
        Record(log, "truncation_error", "UTF-8");
    }
    text = base::ToUtf16(bytes);
    size_t written = 0;
    for (size_t at = bytes.find("\xEF\xBF\xBD"); at != bytes.npos; at = bytes.find("\xEF\xBF\xBD", at + 3)) {
        ++written;
    }
    size_t lost = CountReplacements(text) - std::min(written, CountReplacements(text));
    if (lost > 0) {
        Record(log, "conversion_loss", "UTF-8", static_cast<int64_t>(lost));
    }
}

void DecodeUtf16(std::string_view bytes, bool bigEndian, std::u16string& text, XmlResultLog& log) {
    if (bytes.size() % 2 != 0) {
        Record(log, "truncation_error", bigEndian ? "UTF-16BE" : "UTF-16LE");
    }
    if (bigEndian) {
        Record(log, "endian_swap", "UTF-16BE");
    }
    text.resize(bytes.size() / 2);
    for (size_t i = 0; i < text.size(); ++i) {
        auto first = static_cast<unsigned char>(bytes[2 * i]);
        auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        text[i] = static_cast<char16_t>(bigEndian ? (first << 8 | second) : (second << 8 | first));
    }
}

// Converts through iconv; a byte that does not decode becomes U+FFFD and decoding goes on after it.
bool DecodeWithIconv(std::string_view bytes, const std::string& encoding, std::u16string& text,
                     XmlResultLog& log) {
    IconvHandle handle = OpenIconv("UTF-16LE", encoding);
    if (!handle) {
        Record(log, "converted_from", encoding, -1, "unsupported encoding");
        return false;
    }
    std::string out(bytes.size() * 2 + 16, '\0'); // grows when a byte gives more than a unit
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char* outAt = out.data();
    size_t outLeft = out.size();
    size_t lost = 0;
    while (inLeft > 0) {
        if (iconv(static_cast<iconv_t>(handle.get()), &in, &inLeft, &outAt, &outLeft) !=
            static_cast<size_t>(-1)) {
            break;
        }
        if (errno == E2BIG || outLeft < 2) {
            size_t used = static_cast<size_t>(outAt - out.data());
            out.resize(out.size() * 2);
            outAt = out.data() + used;
            outLeft = out.size() - used;
        } else if (errno == EILSEQ) {
            *outAt++ = '\xFD';
            *outAt++ = '\xFF';
            outLeft -= 2;
            ++in;
            --inLeft;
            ++lost;
        } else {
            Record(log, "truncation_error", encoding);
            break;
        }
    }
    out.resize(static_cast<size_t>(outAt - out.data()));
    if (lost > 0) {
        Record(log, "conversion_loss", encoding, static_cast<int64_t>(lost));
    }
    DecodeUtf16(out, false, text, log);
    return true;
}

} // namespace

std::string FindDeclaredEncoding(std::string_view text) {
    return FindEncoding(text);
}

std::string FindDeclaredEncoding(std::u16string_view text) {
    return FindEncoding(text);
}

bool DecodeXmlBytes(std::string_view bytes, std::u16string& text, XmlResultLog& log) {
    text.clear();
    std::string encoding;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        encoding = "UTF-8";
        bytes.remove_prefix(3);
    } else if (bytes.substr(0, 2) == "\xFF\xFE") {
        encoding = "UTF-16LE";
        bytes.remove_prefix(2);
    } else if (bytes.substr(0, 2) == "\xFE\xFF") {
        encoding = "UTF-16BE";
        bytes.remove_prefix(2);
    }
    if (!encoding.empty()) {
        Record(log, "bom", encoding);
    } else if (bytes.substr(0, 4) == std::string_view("<\0?\0", 4)) {
        // A UTF-16 declaration without a mark shows itself by its zero bytes.
        encoding = "UTF-16LE";
    } else if (bytes.substr(0, 4) == std::string_view("\0<\0?", 4)) {
        encoding = "UTF-16BE";
    } else {
        encoding = FindDeclaredEncoding(bytes);
        // Text whose declaration could be read byte by byte is not UTF-16, whatever it says.
        if (encoding == "UTF-16" || encoding == "UTF-16LE" || encoding == "UTF-16BE") {
            encoding = "UTF-8";
        }
        if (encoding.empty()) {
            encoding = !bytes.empty() && bytes[0] == '<' ? "UTF-8" : LocaleEncoding();
            Record(log, "utf8_detection", encoding);
        }
    }
    if (encoding == "UTF-8") {
        DecodeUtf8(bytes, text, log);
    } else if (encoding == "UTF-16LE" || encoding == "UTF-16BE") {
        DecodeUtf16(bytes, encoding == "UTF-16BE", text, log);
    } else if (!DecodeWithIconv(bytes, encoding, text, log)) {
        return false;
    }
    Record(log, "converted_from", encoding);
    size_t nulls = static_cast<size_t>(std::count(text.begin(), text.end(), u'\0'));
    if (nulls > 0) {
        text.erase(std::remove(text.begin(), text.end(), u'\0'), text.end());
        Record(log, "nulls_removed", encoding, static_cast<int64_t>(nulls));
    }
    return true;
}

bool EncodeXmlText(std::u16string_view text, bool byteOrderMark, std::string& bytes, XmlResultLog& log) {
    bytes.clear();
    std::string encoding = FindDeclaredEncoding(text);
    if (encoding.empty()) {
        encoding = "UTF-8";
    }
    if (encoding == "UTF-8") {
        bytes = byteOrderMark ? "\xEF\xBB\xBF" : "";
        bytes += base::ToUtf8(text);
        size_t lost = CountReplacements(base::ToUtf16(bytes)) - CountReplacements(text);
        if (lost > 0) {
            Record(log, "conversion_loss", encoding, static_cast<int64_t>(lost));
        }
    } else if (encoding == "UTF-16" || encoding == "UTF-16LE" || encoding == "UTF-16BE") {
        bool bigEndian = encoding == "UTF-16BE";
        if (byteOrderMark) {
            bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        }
        for (char16_t unit : text) {
            char high = static_cast<char>(unit >> 8);
            char low = static_cast<char>(unit & 0xFF);
            bytes += bigEndian ? high : low;
            bytes += bigEndian ? low : high;
        }
    } else {
        IconvHandle handle = OpenIconv(encoding, "UTF-16LE");
        if (!handle) {
            Record(log, "converted_to", encoding, -1, "unsupported encoding");
            return false;
        }
        // Convert one character at a time so that one the encoding lacks can be written as a
        // character reference instead.
        auto convert = [&](std::u16string_view piece) {
            std::string in;
            for (char16_t unit : piece) {
                in += static_cast<char>(unit & 0xFF);
                in += static_cast<char>(unit >> 8);
            }
            char out[64];
            char* inAt = in.data();
            size_t inLeft = in.size();
            char* outAt = out;
            size_t outLeft = sizeof(out);
            bool ok = iconv(static_cast<iconv_t>(handle.get()), &inAt, &inLeft, &outAt, &outLeft) !=
                      static_cast<size_t>(-1);
            if (ok) {
                bytes.append(out, static_cast<size_t>(outAt - out));
            }
            return ok;
        };
        size_t referenced = 0;
        for (size_t i = 0; i < text.size(); ++i) {
            bool pair = text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size() &&
                        text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
            std::u16string_view piece = text.substr(i, pair ? 2 : 1);
            if (!convert(piece)) {
                char32_t character =
                    pair ? 0x10000 + ((piece[0] - 0xD800) << 10) + (piece[1] - 0xDC00) : piece[0];
                if (!convert(base::ToUtf16("&#" + std::to_string(static_cast<uint32_t>(character)) + ";"))) {
                    Record(log, "converted_to", encoding, -1, "cannot write a character reference");
                    return false;
                }
                ++referenced;
            }
            i += pair ? 1 : 0;
        }
        if (referenced > 0) {
            Record(log, "conversion_loss", encoding, static_cast<int64_t>(referenced),
                   "written as references");
        }
    }
    Record(log, "converted_to", encoding);
    return true;
}

} // namespace io
