#pragma once

#include <string>

// Every user-visible text is a number, the text id, looked up in one of five built-in language
// tables (Chinese, English, French, Russian, Thai) chosen by the current language.
namespace model {

/// The text of the id in the current language, as a new string. An id that the language's
/// table has yields its text, which may be empty; any other id yields the language's fallback
/// text ("中文", "ENG", "French", "Russian" or "Thai").
std::u16string GetText(int id);

/// The same lookup in the given language instead of the current one.
std::u16string GetText(int id, int languageId);

/// Whether the language's table has an entry for the id (an empty text counts as an entry).
bool HasText(int id, int languageId);

} // namespace model
