#include "model/LanguageTables.h"

#include "model/Language.h"
#include "model/texts/TextTable.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace {

using model::GetText;
using model::HasText;

// Restores the process-wide language after each test.
class LanguageTest : public ::testing::Test {
protected:
    void TearDown() override { model::SetCurrentLanguage(model::kLanguageEnglish); }
};

struct LanguageCase {
    int languageId;
    const char16_t* fallback;
};

const LanguageCase kLanguages[] = {
    {model::kLanguageChinese, u"中文"},  {model::kLanguageEnglish, u"ENG"},
    {model::kLanguageFrench, u"French"}, {model::kLanguageRussian, u"Russian"},
    {model::kLanguageThai, u"Thai"},
};

TEST_F(LanguageTest, CurrentLanguageChoosesTheTable) {
    model::SetCurrentLanguage(model::kLanguageChinese);
    EXPECT_EQ(GetText(110), u"配置方案");
    EXPECT_EQ(GetText(999), u"中文");
    model::SetCurrentLanguage(model::kLanguageEnglish);
    EXPECT_EQ(GetText(110), u"Profile");
    EXPECT_EQ(GetText(120), u"Windows Shortcut");
}

TEST_F(LanguageTest, UnsupportedLanguageReadsEnglish) {
    model::SetCurrentLanguage(1031);
    for (int id = -5; id < 800; ++id)
        EXPECT_EQ(GetText(id), GetText(id, model::kLanguageEnglish)) << id;
    EXPECT_EQ(GetText(4), u"ENG");
}

TEST_F(LanguageTest, MissingIdsYieldTheFallbackOfTheLanguage) {
    // 4 is in no table, -1 falls in the first range, 650 in the empty spare range, 700 and
    // above are outside every range.
    for (const LanguageCase& language : kLanguages) {
        for (int id : {4, -1, -1000, 650, 700, 999, 100000})
            EXPECT_EQ(GetText(id, language.languageId), language.fallback)
                << language.languageId << " " << id;
    }
}

TEST_F(LanguageTest, EmptyEntriesAreNotTheFallback) {
    for (const LanguageCase& language : kLanguages) {
        EXPECT_TRUE(HasText(381, language.languageId));
        EXPECT_EQ(GetText(381, language.languageId), u"") << language.languageId;
    }
    EXPECT_EQ(GetText(1, model::kLanguageChinese), u"");
    EXPECT_EQ(GetText(1, model::kLanguageFrench), u"");
    EXPECT_EQ(GetText(1, model::kLanguageThai), u"");
    EXPECT_EQ(GetText(1, model::kLanguageRussian), u"Keyboard Driver");
    EXPECT_EQ(GetText(1, model::kLanguageEnglish), u"Keyboard Driver");
}

TEST_F(LanguageTest, TextsOtherFeaturesDependOn) {
    struct Case {
        int id;
        std::u16string zh, fr, ru, th;
    };
    const Case cases[] = {
        {110, u"配置方案", u"Profil", u"Профиль", u"รูปแบบการกำหนดค่า"},
        {22, u"清空", u"Effacer", u"Очистить", u"ชัดเจน"},
        {23, u"插入", u"Insérer", u"Вставить", u"แทรก"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetText(c.id, model::kLanguageChinese), c.zh);
        EXPECT_EQ(GetText(c.id, model::kLanguageFrench), c.fr);
        EXPECT_EQ(GetText(c.id, model::kLanguageRussian), c.ru);
        EXPECT_EQ(GetText(c.id, model::kLanguageThai), c.th);
    }
}

// Every id of the English list must be translated, so that no control of another language
// shows the fallback word in place of a label.
TEST_F(LanguageTest, EveryEnglishIdIsTranslated) {
    std::vector<int> englishIds;
    for (auto table : model::texts::EnglishTexts().ranges)
        for (const auto& entry : table)
            englishIds.push_back(entry.id);
    ASSERT_GT(englishIds.size(), 150u);
    for (int language :
         {model::kLanguageChinese, model::kLanguageFrench, model::kLanguageRussian, model::kLanguageThai}) {
        for (int id : englishIds) {
            EXPECT_TRUE(HasText(id, language)) << "language " << language << " lacks id " << id;
            if (id != 1 && id != 381) {
                EXPECT_NE(GetText(id, language), u"") << "language " << language << " id " << id;
            }
        }
    }
}

// The lookup relies on every range table being sorted, free of duplicates and holding only ids
// of its own range; a misplaced entry would silently read as the fallback.
TEST_F(LanguageTest, TablesAreSortedAndInTheirRange) {
    std::set<int> englishIds;
    for (auto table : model::texts::EnglishTexts().ranges)
        for (const auto& entry : table)
            englishIds.insert(entry.id);
    for (const model::texts::LanguageTexts* language :
         {&model::texts::ChineseTexts(), &model::texts::EnglishTexts(), &model::texts::FrenchTexts(),
          &model::texts::RussianTexts(), &model::texts::ThaiTexts()}) {
        std::set<int> ids;
        for (int range = 0; range < model::texts::kRangeCount; ++range) {
            int previous = -1;
            for (const auto& entry : language->ranges[range]) {
                EXPECT_EQ(model::texts::RangeOf(entry.id), range) << entry.id;
                EXPECT_GT(entry.id, previous) << entry.id;
                EXPECT_NE(entry.text, nullptr);
                previous = entry.id;
                ids.insert(entry.id);
            }
        }
        // No language has an id that English lacks.
        EXPECT_EQ(ids, englishIds);
    }
}

} // namespace
