#include "toolkit/core/FontCache.h"

#include "base/ProgramPaths.h"
#include "toolkit/core/Manager.h"
#include "toolkit/platform/draw/FontRegistry.h"

#include <gtest/gtest.h>
#include <thread>

namespace tessel {
namespace {

TEST(Manager, ToolkitWideSettings) {
    EXPECT_EQ(Manager::GetFontName(), u"HarmonyOS Sans SC");
    EXPECT_EQ(Manager::GetFontWidth(), 20);
    EXPECT_EQ(Manager::GetSelectColor(), 0xFFFF3300u);
    EXPECT_EQ(Manager::GetTheme(), u"theme1\\");

    Manager::SetFont(u"", 0); // neither an empty name nor a size below 1 is taken
    EXPECT_EQ(Manager::GetFontName(), u"HarmonyOS Sans SC");
    EXPECT_EQ(Manager::GetFontWidth(), 20);
    Manager::SetFont(u"DejaVu Sans", 14);
    EXPECT_EQ(Manager::GetFontName(), u"DejaVu Sans");
    EXPECT_EQ(Manager::GetFontWidth(), 14);
    Manager::SetFont(u"HarmonyOS Sans SC", 20);
}

// Font lookups read the face name on other threads while the program may set it.
TEST(Manager, SettingsAreSafeToReadWhileSet) {
    const std::u16string a = u"A face name long enough to live on the heap", b = u"Another long face name";
    std::thread writer([&] {
        for (int i = 0; i < 2000; ++i)
            Manager::SetFont(i % 2 ? a : b, 10 + i % 2);
    });
    for (int i = 0; i < 2000; ++i) {
        const std::u16string name = Manager::GetFontName();
        ASSERT_TRUE(name == a || name == b || name == u"HarmonyOS Sans SC");
    }
    writer.join();
    Manager::SetFont(u"HarmonyOS Sans SC", 20);
}

TEST(FontCache, LibraryFacesAreMadeAvailable) {
    FontCache cache;
    EXPECT_TRUE(cache.AddGDITempFont(106));
    EXPECT_TRUE(cache.AddGDITempFont(107));
    EXPECT_FALSE(cache.AddGDITempFont(101));
    EXPECT_TRUE(FontCache::FamilyExists(u"Open Sans Semibold"));
    EXPECT_TRUE(FontCache::FamilyExists(u"DejaVu Sans"));
    EXPECT_FALSE(FontCache::FamilyExists(u"No Such Face At All"));
    EXPECT_FALSE(FontCache::FamilyExists(u""));

    const FontFamily* semibold = cache.AddTempFont(u"Open Sans Semibold", 106);
    ASSERT_TRUE(semibold);
    EXPECT_EQ(semibold->GetName(), u"Open Sans Semibold");
    EXPECT_FALSE(cache.AddTempFont(u"Anything", 5));
    EXPECT_FALSE(cache.AddTempFont(u"Anything", "/no/such/font.ttf"));
    // The copy the build puts beside the program.
    EXPECT_TRUE(cache.AddTempFont(u"Open Sans", base::ExecutableDir() / "fonts" / "OpenSans-Semibold.ttf"));
}

TEST(FontCache, FindAlwaysResolvesTheToolkitWideFace) {
    ASSERT_TRUE(FontRegistry::RegisterToolkitFonts());
    FontCache cache;
    Manager::SetFontName(u"DejaVu Sans");
    const FontFamily* found = cache.FindTempFont(u"Some Control Face");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->GetName(), u"DejaVu Sans");
    EXPECT_EQ(cache.FindTempFont(u"Another"), found); // cached

    Manager::SetFontName(u"No Such Face At All");
    EXPECT_FALSE(cache.FindTempFont(u"DejaVu Sans"));
    cache.ClearTempFont();
    Manager::SetFontName(u"DejaVu Sans");
    EXPECT_NE(cache.FindTempFont(u""), nullptr);
    Manager::SetFontName(u"HarmonyOS Sans SC");
}

} // namespace
} // namespace tessel
