// The window's thread and the device worker call the store at the same time.
#include "StoreTestSupport.h"
#include "store/ProfileStore.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using namespace store;

namespace {

constexpr int kRounds = 100;

TEST(ProfileStoreThreads, WindowAndWorkerRunOperationsTogether) {
    TempDataFolder folder;
    ProfileStore store;
    ASSERT_TRUE(store.Open(folder.Folder(), u"kb_data"));
    store.InsertConfigDefaults();
    for (int i = 1; i <= 3; ++i)
        ASSERT_EQ(store.AddProfile(u"Profile " + base::ToUtf16(std::to_string(i))), i);
    ASSERT_TRUE(store.SetCurrentProfile(1));
    ASSERT_GT(store.AddLightSetting(LightSetting{0, 1, u"Wave", 2, 4, 2, 0, 1, 0, 255, 0, 0, 1}), 0);
    const int macro = store.AddEmptyMacro(u"m");

    std::atomic<int> failures{0};
    auto expect = [&](bool ok, int line = __builtin_LINE()) {
        if (!ok) {
            ++failures;
            ADD_FAILURE() << "operation on line " << line << " failed";
        }
    };

    // The window: key changes, a dragged slider, profile switches, game-mode options.
    std::thread window([&] {
        for (int i = 0; i < kRounds; ++i) {
            KeyAssignment key;
            key.profile = 1 + i % 3;
            key.key_code = 4 + i % 20;
            key.macro_type = 2;
            key.macro_value = 1 + i;
            key.macro_desc = u"K";
            expect(store.SaveKeyAssignment(key) > 0);
            LightSetting light;
            light.brightness = i % 5;
            expect(store.UpdateLightSetting(2, light));
            expect(store.SetCurrentProfile(1 + i % 3));
            expect(store.SetConfigValue(u"disable_win", i % 2 ? u"1" : u"0"));
            ProfileStore::KeyTable table{};
            table.fill(static_cast<uint8_t>(i));
            store.SetKeyTable(table);
            store.SetCurrentLayer(i % 2);
        }
    });
    // The worker: reads for the keyboard, and replaces a macro's steps as the macro page does.
    std::thread worker([&] {
        for (int i = 0; i < kRounds; ++i) {
            std::vector<KeyAssignment> keys;
            store.ListProfileKeyAssignments(1 + i % 3, keys);
            LightSetting light;
            expect(store.GetLightSetting(2, light));
            std::u16string value;
            expect(store.GetConfigValue(u"disable_win", value) && (value == u"0" || value == u"1"));
            expect(store.GetCurrentProfile() > 0);
            expect(store.DeleteMacroSteps(macro));
            expect(store.AddMacroSteps({{0, macro, 1, 0, i, 1, u"a"}, {0, macro, 1, 1, i, 1, u"b"}}));
            const ProfileStore::KeyTable table = store.GetKeyTable();
            expect(std::all_of(table.begin(), table.end(), [&](uint8_t b) { return b == table[0]; }));
            (void)store.GetCurrentLayer();
        }
    });
    window.join();
    worker.join();

    EXPECT_EQ(failures.load(), 0);
    // One row per key, never duplicates from interleaved delete/insert pairs.
    EXPECT_EQ(RunSqliteTool(folder.DatabasePath(),
                            "SELECT count(*) FROM (SELECT 1 FROM t_key_macro_data "
                            "GROUP BY profile, fn_layer, key_code HAVING count(*) > 1);\n"),
              "0\n");
    EXPECT_EQ(RunSqliteTool(folder.DatabasePath(), "SELECT sum(status) FROM t_profile_data;\n"), "1\n");
    EXPECT_EQ(store.CountAllMacroSteps(), 2);
    EXPECT_EQ(RunSqliteTool(folder.DatabasePath(), "PRAGMA integrity_check;\n"), "ok\n");
}

} // namespace
