#include "model/LanguageTables.h"

#include "model/Language.h"
#include "model/texts/TextTable.h"

#include <algorithm>

namespace model {

namespace {

const texts::LanguageTexts& TextsFor(int languageId) {
    switch (languageId) {
    case kLanguageChinese:
        return texts::ChineseTexts();
    case kLanguageFrench:
        return texts::FrenchTexts();
    case kLanguageRussian:
        return texts::RussianTexts();
    case kLanguageThai:
        return texts::ThaiTexts();
    default:
        return texts::EnglishTexts();
    }
}

// The entry of the id in its range's table, or null.
const texts::TextEntry* FindEntry(const texts::LanguageTexts& language, int id) {
    int range = texts::RangeOf(id);
    if (range < 0)
        return nullptr;
    auto table = language.ranges[range];
    auto it = std::lower_bound(table.begin(), table.end(), id,
                               [](const texts::TextEntry& entry, int value) { return entry.id < value; });
    if (it == table.end() || it->id != id)
        return nullptr;
    return &*it;
}

} // namespace

std::u16string GetText(int id) {
    return GetText(id, GetCurrentLanguage());
}

std::u16string GetText(int id, int languageId) {
    const texts::LanguageTexts& language = TextsFor(languageId);
    const texts::TextEntry* entry = FindEntry(language, id);
    return entry ? entry->text : language.fallback;
}

bool HasText(int id, int languageId) {
    return FindEntry(TextsFor(languageId), id) != nullptr;
}

} // namespace model
