#pragma once

// The interface language of the process, as a Windows language identifier (the number that the
// settings file stores). Set at start and by the settings dialog, read by every text lookup, so
// it is atomic: the worker thread may look up texts while the UI thread changes the language.
namespace model {

constexpr int kLanguageChinese = 2052;
constexpr int kLanguageEnglish = 1033;
constexpr int kLanguageFrench = 1036;
constexpr int kLanguageRussian = 1049;
constexpr int kLanguageThai = 1054;

/// The current language identifier; English (1033) until someone sets it.
int GetCurrentLanguage();

/// Sets the current language. Any identifier is accepted; those without a table of their own
/// read the English texts.
void SetCurrentLanguage(int languageId);

} // namespace model
