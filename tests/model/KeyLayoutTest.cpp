#include "model/KeyLayout.h"

#include <gtest/gtest.h>
#include <set>

namespace {

TEST(KeyLayoutTest, HasEightyEightDistinctCodesEachFoundOnce) {
    auto layout = model::KeyLayout();
    ASSERT_EQ(layout.size(), 88u);
    std::set<uint32_t> codes;
    for (const auto& entry : layout) {
        EXPECT_TRUE(codes.insert(entry.code).second) << "duplicate code " << entry.code;
        EXPECT_EQ(model::FindKey(entry.code), &entry);
        EXPECT_LT(entry.rect.left, entry.rect.right);
        EXPECT_LT(entry.rect.top, entry.rect.bottom);
    }
    EXPECT_EQ(model::FindKey(50), nullptr); // non-US # is not on this keyboard
    EXPECT_EQ(model::FindKey(0), nullptr);
}

TEST(KeyLayoutTest, OrderAndNotableEntries) {
    auto layout = model::KeyLayout();
    EXPECT_EQ(layout.front().name, u"Esc");
    EXPECT_EQ(layout.front().code, 41u);
    EXPECT_EQ(layout.back().name, u"\u2192");
    EXPECT_EQ(layout.back().code, 79u);

    const model::KeyEntry* narrow = model::FindKey(100);
    ASSERT_NE(narrow, nullptr);
    EXPECT_EQ(narrow->name, u"<>");
    EXPECT_EQ(narrow->rect.right - narrow->rect.left, 5);
    EXPECT_EQ(model::FindKey(255)->name, u"Fn");
    EXPECT_EQ(model::FindKey(52)->name, u"'\"");
    EXPECT_EQ(model::FindKey(49)->name, u"\\|");
    // Two keys share each of these names and differ by code.
    EXPECT_EQ(model::FindKey(229)->name, u"Shift");
    EXPECT_EQ(model::FindKey(229)->rect.left, 542);
}

} // namespace
