#pragma once

#include <string>
#include <string_view>

// Text is UTF-16 (std::u16string) throughout the program and the toolkit; files, the database and
// the system libraries speak UTF-8. These conversions never fail: a malformed sequence becomes
// U+FFFD, so damaged input gives visible replacement characters instead of lost or garbled data.
namespace base {

/// Converts UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);

/// Converts UTF-8 to UTF-16; each malformed or overlong sequence becomes U+FFFD.
std::u16string ToUtf16(std::string_view text);

/// Converts UTF-32 (such as the wide strings of C libraries on Linux) to UTF-16; a surrogate or a
/// value beyond U+10FFFF becomes U+FFFD.
std::u16string ToUtf16(std::u32string_view text);

/// True for the first unit of a surrogate pair (U+D800..U+DBFF).
constexpr bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

/// True for the second unit of a surrogate pair (U+DC00..U+DFFF).
constexpr bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

/// Appends one code point as one unit, or as a surrogate pair above U+FFFF.
void AppendUtf16(std::u16string& out, char32_t codePoint);

/// Converts ASCII-only or UTF-8 literals and numbers quickly in tests and logs.
inline std::u16string operator""_u16(const char* text, size_t size) {
    return ToUtf16(std::string_view(text, size));
}

} // namespace base
