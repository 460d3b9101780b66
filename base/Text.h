#pragma once

#include <string>
#include <string_view>

// Small text helpers shared by the program's folders.
namespace base {

/// UTF-8 of the text for a log line, with every character that could forge or hide part of the
/// line shown as an escape: C0 and C1 controls and DEL as \xNN (\n, \r, \t by name), the line and
/// paragraph separators and the bidirectional controls as \uXXXX, and the backslash doubled.
std::string EscapeForLog(std::u16string_view text);

} // namespace base
