#pragma once

#include <string>
#include <string_view>

// Escaping of text written into an XML document and unescaping of attribute values read back.
namespace io {

/// Escapes an attribute value for double or single quotes: the five markup characters become
/// entities, tab, line feed and carriage return become character references (so that any reader
/// gives them back instead of normalising them to spaces), and code units that XML cannot hold
/// at all (other control characters, unpaired surrogates, U+FFFE and U+FFFF) become U+FFFD.
std::u16string EscapeAttribute(std::u16string_view value);

/// Escapes element text: less-than, ampersand and greater-than only.
std::u16string EscapeText(std::u16string_view text);

/// Replaces references by the characters they stand for: "&#" with decimal digits or "&#x" with
/// hexadecimal digits, and names of the five XML entities and the HTML 4 character references,
/// matched exactly first and then ignoring case. A reference is "&", at most 9 characters and ";".
/// Anything unrecognised, unterminated, zero, a surrogate or beyond U+10FFFF stays as written.
std::u16string Unescape(std::u16string_view text);

/// The character of a named reference ("amp", "eacute"), or 0 when the name is unknown.
char32_t LookUpNamedReference(std::u16string_view name);

} // namespace io
