#pragma once

#include "io/XmlResultLog.h"

#include <string>
#include <string_view>

// Decoding of XML file bytes into UTF-16 text and encoding of text into file bytes.
namespace io {

/// The encoding named by the XML declaration at the start of `text` ("UTF-8" for
/// encoding="utf-8"), or, in an HTML text, by a meta element's charset; empty when none is named.
std::string FindDeclaredEncoding(std::string_view text);
std::string FindDeclaredEncoding(std::u16string_view text);

/// Decodes file bytes: a byte-order mark (UTF-8, UTF-16 LE or BE) decides and is skipped;
/// otherwise the declared encoding, else UTF-8 when the first byte is "<", else the locale's
/// encoding. Encodings other than UTF-8 and UTF-16 go through iconv. Malformed sequences become
/// U+FFFD, null characters are removed, and each of these is recorded in `log`. False, with an
/// empty text, for an encoding that iconv does not know.
bool DecodeXmlBytes(std::string_view bytes, std::u16string& text, XmlResultLog& log);

/// Encodes `text` in the encoding its declaration names (UTF-8 without one), preceded by a
/// byte-order mark when asked and the encoding is a Unicode one. A character that the encoding
/// cannot hold is written as a character reference. False for an encoding iconv does not know.
bool EncodeXmlText(std::u16string_view text, bool byteOrderMark, std::string& bytes, XmlResultLog& log);

} // namespace io
