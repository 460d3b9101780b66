#pragma once

#include <string>
#include <string_view>

// Small text helpers shared by the program's folders.
namespace base {

/// ASCII letters changed case; every other character (all of UTF-8's bytes past 0x7F, all
/// non-ASCII UTF-16 units) is left as it is, whatever the locale.
char AsciiToLower(char c);
char AsciiToUpper(char c);
char16_t AsciiToLower(char16_t c);
char16_t AsciiToUpper(char16_t c);
std::string AsciiToLower(std::string_view text);
std::string AsciiToUpper(std::string_view text);
std::u16string AsciiToLower(std::u16string_view text);
std::u16string AsciiToUpper(std::u16string_view text);

/// Space, tab, line feed, vertical tab, form feed or carriage return.
bool IsAsciiBlank(char16_t c);
/// The text without leading and trailing blanks (see IsAsciiBlank).
std::u16string_view TrimBlanks(std::u16string_view text);
/// The text without leading blanks.
std::u16string_view TrimLeftBlanks(std::u16string_view text);
/// The text without leading and trailing spaces (U+0020 only; other blanks stay).
std::u16string_view TrimSpaces(std::u16string_view text);

/// Reads a number as the C library's wtoi does: leading blanks, an optional sign, then decimal
/// digits up to the first other character; no digits give 0, and values beyond the int range
/// are clamped to it.
int ParseLeadingInt(std::u16string_view text);

/// UTF-8 of the text for a log line, with every character that could forge or hide part of the
/// line shown as an escape: C0 and C1 controls and DEL as \xNN (\n, \r, \t by name), the line and
/// paragraph separators and the bidirectional controls as \uXXXX, and the backslash doubled.
std::string EscapeForLog(std::u16string_view text);

} // namespace base
