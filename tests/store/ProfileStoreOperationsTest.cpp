// The table operations on an opened store.
#include "StoreTestSupport.h"
#include "store/ProfileStore.h"

#include <atomic>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <string_view>

using namespace store;

namespace {

class ProfileStoreTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_store.Open(m_folder.Folder(), u"kb_data")); }

    std::string Sql(const std::string& sql) { return RunSqliteTool(m_folder.DatabasePath(), sql + "\n"); }

    // Makes the next insert of a row with the given key_code into the table fail, as a full disk
    // or a damaged page would.
    void FailInsertsOf(const std::string& table, const std::string& column, int value) {
        ASSERT_EQ(Sql("CREATE TRIGGER fail_insert BEFORE INSERT ON " + table + " WHEN NEW." + column + " = " +
                      std::to_string(value) + " BEGIN SELECT RAISE(ABORT, 'disk full'); END;"),
                  "");
    }

    static KeyAssignment Key(int profile, int layer, int code, int type, int value, std::u16string desc) {
        KeyAssignment key;
        key.profile = profile;
        key.fn_layer = layer;
        key.key_code = code;
        key.macro_type = type;
        key.macro_value = value;
        key.macro_desc = std::move(desc);
        return key;
    }

    TempDataFolder m_folder;
    ProfileStore m_store;
};

TEST_F(ProfileStoreTest, ConfigDefaultsAreInsertedInOrderAndOnlyUpdated) {
    m_store.InsertConfigDefaults();
    EXPECT_EQ(Sql("SELECT profile, key, value FROM t_config_data ORDER BY config_id;"),
              "1|version|1.0.1\n1|fn_layer|0\n1|lightmode|1\n1|sleep_light|0\n1|userlight|0\n"
              "1|disable_gamemode|0\n1|disable_win|0\n1|disable_alttab|0\n1|disable_altf4|0\n");

    std::u16string value = u"stale";
    EXPECT_TRUE(m_store.SetConfigValue(u"disable_win", u"1"));
    EXPECT_TRUE(m_store.GetConfigValue(u"disable_win", value));
    EXPECT_EQ(value, u"1");

    // A key without a row is not inserted, and the update still succeeds.
    EXPECT_TRUE(m_store.SetConfigValue(u"no_such_key", u"1"));
    EXPECT_FALSE(m_store.GetConfigValue(u"no_such_key", value));
    EXPECT_EQ(value, u"");
    EXPECT_EQ(Sql("SELECT count(*) FROM t_config_data;"), "9\n");
}

TEST_F(ProfileStoreTest, ProfilesAddRenameDeleteAndExactlyOneCurrent) {
    EXPECT_EQ(m_store.GetCurrentProfile(), 0);
    EXPECT_EQ(m_store.AddProfile(u"Profile 1"), 1);
    EXPECT_EQ(m_store.AddProfile(u"Profile 2"), 2);
    EXPECT_EQ(m_store.AddProfile(u"Profile 3"), 3);
    EXPECT_EQ(m_store.GetCurrentProfile(), 0);
    EXPECT_TRUE(m_store.SetCurrentProfile(1));
    EXPECT_TRUE(m_store.SetCurrentProfile(2));
    EXPECT_EQ(m_store.GetCurrentProfile(), 2);
    EXPECT_EQ(Sql("SELECT sum(status) FROM t_profile_data;"), "1\n");

    EXPECT_TRUE(m_store.RenameProfile(3, u"Games"));
    ASSERT_GT(m_store.SaveKeyAssignment(Key(3, 0, 4, 2, 5, u"B")), 0);
    EXPECT_TRUE(m_store.DeleteProfile(3));
    std::vector<ProfileEntry> profiles;
    ASSERT_EQ(m_store.ListProfiles(profiles), 2);
    EXPECT_EQ(profiles[1].id, 2);
    EXPECT_EQ(profiles[1].name, u"Profile 2");
    EXPECT_EQ(profiles[1].status, 1);
    // The deleted profile's key rows stay in the file.
    KeyAssignment kept;
    EXPECT_TRUE(m_store.GetKeyAssignment(3, 0, 4, kept));
    // Ids are not reused while the counters live.
    EXPECT_EQ(m_store.AddProfile(u"Profile 4"), 4);
}

TEST_F(ProfileStoreTest, SaveKeyAssignmentReplacesDeletesOrIgnores) {
    KeyAssignment full = Key(1, 1, 30, 10, 7, u"Ctrl + A");
    full.layout_value = 3;
    full.layout_desc = u"layout";
    full.macro_value2 = 0x11;
    full.macro_value3 = -2;
    const int first = m_store.SaveKeyAssignment(full);
    ASSERT_GT(first, 0);
    KeyAssignment read;
    ASSERT_TRUE(m_store.GetKeyAssignment(1, 1, 30, read));
    EXPECT_EQ(read.key_id, first);
    EXPECT_EQ(std::tie(read.profile, read.fn_layer, read.key_code, read.layout_value, read.macro_type,
                       read.macro_value, read.macro_value2, read.macro_value3),
              std::make_tuple(1, 1, 30, 3, 10, 7, 0x11, -2));
    EXPECT_EQ(read.layout_desc, u"layout");
    EXPECT_EQ(read.macro_desc, u"Ctrl + A");

    // Saving the same key again leaves one row, with a new id.
    const int second = m_store.SaveKeyAssignment(Key(1, 1, 30, 2, 9, u"C"));
    EXPECT_GT(second, first);
    std::vector<KeyAssignment> layer;
    ASSERT_EQ(m_store.ListKeyAssignments(1, 1, layer), 1);
    EXPECT_EQ(layer[0].macro_value, 9);

    // Key code 0 changes nothing.
    EXPECT_EQ(m_store.SaveKeyAssignment(Key(1, 1, 0, 2, 9, u"x")), 0);
    EXPECT_EQ(Sql("SELECT count(*) FROM t_key_macro_data;"), "1\n");

    // Value 0 returns the key to the keyboard's default: the row goes, nothing is inserted.
    EXPECT_EQ(m_store.SaveKeyAssignment(Key(1, 1, 30, 2, 0, u"")), 0);
    EXPECT_FALSE(m_store.GetKeyAssignment(1, 1, 30, read));
    EXPECT_EQ(Sql("SELECT count(*) FROM t_key_macro_data;"), "0\n");
}

TEST_F(ProfileStoreTest, FailedInsertKeepsTheKeysPreviousFunction) {
    ASSERT_GT(m_store.SaveKeyAssignment(Key(1, 0, 4, 2, 5, u"B")), 0);
    FailInsertsOf("t_key_macro_data", "macro_value", 6);
    EXPECT_EQ(m_store.SaveKeyAssignment(Key(1, 0, 4, 2, 6, u"C")), 0);
    KeyAssignment read;
    ASSERT_TRUE(m_store.GetKeyAssignment(1, 0, 4, read));
    EXPECT_EQ(read.macro_value, 5);
}

// BEGIN fails on the store's connection (as it may on a busy or failing file) while every other
// statement still runs: an authorizer denies it, installed on each connection opened meanwhile.
std::atomic<bool> g_refuseBegin{false};

int RefuseBegin(void*, int action, const char* operation, const char*, const char*, const char*) {
    const bool begin =
        action == SQLITE_TRANSACTION && operation != nullptr && std::string_view(operation) == "BEGIN";
    return begin && g_refuseBegin ? SQLITE_DENY : SQLITE_OK;
}

int InstallBeginRefusal(sqlite3* connection, const char**, const sqlite3_api_routines*) {
    sqlite3_set_authorizer(connection, RefuseBegin, nullptr);
    return SQLITE_OK;
}

class ProfileStoreWithoutBeginTest : public ProfileStoreTest {
protected:
    void SetUp() override {
        sqlite3_auto_extension(reinterpret_cast<void (*)()>(&InstallBeginRefusal));
        ProfileStoreTest::SetUp();
    }
    void TearDown() override {
        g_refuseBegin = false;
        sqlite3_cancel_auto_extension(reinterpret_cast<void (*)()>(&InstallBeginRefusal));
    }
    void FailStatement(const std::string& when, const std::string& table, const std::string& condition) {
        ASSERT_EQ(Sql("CREATE TRIGGER fail_" + table + " BEFORE " + when + " ON " + table + " WHEN " +
                      condition + " BEGIN SELECT RAISE(ABORT, 'disk full'); END;"),
                  "");
    }
};

// Each operation that must change all or nothing changes nothing when its transaction cannot
// begin, even where one of its later statements fails.
TEST_F(ProfileStoreWithoutBeginTest, AllOrNothingOperationsChangeNothing) {
    ASSERT_GT(m_store.SaveKeyAssignment(Key(1, 0, 4, 2, 5, u"B")), 0);
    ASSERT_EQ(m_store.AddProfile(u"one"), 1);
    ASSERT_EQ(m_store.AddProfile(u"two"), 2);
    ASSERT_TRUE(m_store.SetCurrentProfile(1));
    const int macro = m_store.AddEmptyMacro(u"m");
    ASSERT_TRUE(m_store.AddMacroSteps({{0, macro, 1, 0, 4, 10, u"a"}}));
    FailInsertsOf("t_key_macro_data", "macro_value", 6);
    FailStatement("UPDATE", "t_profile_data", "NEW.status = 1");
    FailStatement("INSERT", "t_config_data", "NEW.key = 'userlight'");
    FailStatement("DELETE", "t_macrorecord", "1");
    g_refuseBegin = true;

    EXPECT_EQ(m_store.SaveKeyAssignment(Key(1, 0, 4, 2, 6, u"C")), 0);
    KeyAssignment read;
    EXPECT_TRUE(m_store.GetKeyAssignment(1, 0, 4, read));
    EXPECT_EQ(read.macro_value, 5);

    EXPECT_FALSE(m_store.SetCurrentProfile(2));
    EXPECT_EQ(m_store.GetCurrentProfile(), 1);

    m_store.InsertConfigDefaults();
    EXPECT_EQ(Sql("SELECT count(*) FROM t_config_data;"), "0\n");

    EXPECT_FALSE(m_store.DeleteMacro(macro));
    Macro kept;
    EXPECT_TRUE(m_store.GetMacro(macro, kept));

    // The reset's deletes run in order; the one of the macro steps fails.
    m_store.DeleteAll();
    EXPECT_EQ(Sql("SELECT count(*) FROM t_profile_data;"), "2\n");
    EXPECT_TRUE(m_store.GetKeyAssignment(1, 0, 4, read));
}

TEST_F(ProfileStoreTest, KeyAssignmentListsFilterByProfileAndLayer) {
    m_store.SaveKeyAssignment(Key(1, 0, 4, 2, 5, u"a"));
    m_store.SaveKeyAssignment(Key(1, 1, 5, 2, 5, u"b"));
    m_store.SaveKeyAssignment(Key(2, 0, 4, 2, 5, u"c"));
    std::vector<KeyAssignment> list(3);
    EXPECT_EQ(m_store.ListKeyAssignments(1, 0, list), 1);
    EXPECT_EQ(list.size(), 1u);
    EXPECT_EQ(m_store.ListProfileKeyAssignments(1, list), 2);
    EXPECT_EQ(m_store.ListProfileKeyAssignments(7, list), 0);
    EXPECT_TRUE(list.empty());
}

TEST_F(ProfileStoreTest, OtherDataGetsANewRowEachTime) {
    const int first = m_store.AddOtherData(u"calc", u"/usr/bin/calc", 8);
    const int second = m_store.AddOtherData(u"calc", u"/usr/bin/calc", 8);
    EXPECT_GT(first, 0);
    EXPECT_NE(first, second);
    std::u16string desc, param;
    int type = 0;
    EXPECT_TRUE(m_store.GetOtherData(second, desc, param, type));
    EXPECT_EQ(std::tie(desc, param, type), std::make_tuple(u"calc", u"/usr/bin/calc", 8));

    desc = u"untouched";
    EXPECT_TRUE(m_store.GetOtherData(99, desc, param, type));
    EXPECT_EQ(desc, u"untouched");
}

TEST_F(ProfileStoreTest, LightSettingsUpdateOnlyTheirParameters) {
    EXPECT_EQ(m_store.CountLightSettings(), 0);
    EXPECT_EQ(m_store.GetCurrentLightMode(), 0);
    const LightSetting wave{0, 1, u"Wave", 2, 4, 2, 1, 1, 3, 0x0000FF, 0, 105, 0};
    const LightSetting still{0, 1, u"Still", 5, 4, 2, 0, 0, 0, 0x00FF00, 0, 106, 0};
    EXPECT_EQ(m_store.AddLightSetting(wave), 1);
    EXPECT_EQ(m_store.AddLightSetting(still), 2);
    EXPECT_EQ(m_store.CountLightSettings(), 2);

    EXPECT_TRUE(m_store.SetCurrentLightMode(2));
    EXPECT_TRUE(m_store.SetCurrentLightMode(5));
    EXPECT_EQ(m_store.GetCurrentLightMode(), 5);

    LightSetting change{77, 9, u"Renamed", 9, 1, 3, 2, 0, 6, 0x123456, 1, 200, 0};
    EXPECT_TRUE(m_store.UpdateLightSetting(5, change));
    LightSetting read;
    ASSERT_TRUE(m_store.GetLightSetting(5, read));
    EXPECT_EQ(std::tie(read.light_id, read.profile, read.name, read.mode, read.status),
              std::make_tuple(2, 1, u"Still", 5, 1));
    EXPECT_EQ(std::tie(read.brightness, read.speed, read.direction, read.colorful, read.colorindex,
                       read.color_value, read.config_func, read.reserved),
              std::make_tuple(1, 3, 2, 0, 6, 0x123456, 1, 200));
    EXPECT_FALSE(m_store.GetLightSetting(9, read));

    std::vector<LightSetting> list;
    ASSERT_EQ(m_store.ListLightSettings(list), 2);
    EXPECT_EQ(list[0].name, u"Wave");
    EXPECT_EQ(list[0].status, 0);
}

TEST_F(ProfileStoreTest, KeyColorSetIsStoredWholeOrNotAtAll) {
    const std::vector<KeyColor> colors = {
        {0, 1, 0, 4, 0x0000FF}, {0, 1, 0, 5, 0x00FF00}, {0, 1, 0, 6, 0xFF0000}};
    EXPECT_EQ(m_store.AddKeyColors(colors), 3);
    std::vector<KeyColor> list;
    ASSERT_EQ(m_store.ListKeyColors(0, list), 3);
    EXPECT_EQ(list[2].key_code, 6);
    EXPECT_EQ(list[2].key_rgb, 0xFF0000);
    EXPECT_EQ(m_store.ListKeyColors(1, list), 0);

    EXPECT_TRUE(m_store.DeleteKeyColors(0));
    FailInsertsOf("t_key_light_data", "key_code", 6);
    EXPECT_EQ(m_store.AddKeyColors(colors), 0);
    EXPECT_EQ(m_store.ListKeyColors(0, list), 0);
    EXPECT_EQ(m_store.AddKeyColors({}), 0);
}

TEST_F(ProfileStoreTest, MacrosAndStepsLiveAndDieTogether) {
    const int empty = m_store.AddEmptyMacro(u"Empty");
    Macro read;
    ASSERT_TRUE(m_store.GetMacro(empty, read));
    EXPECT_EQ(std::tie(read.macro_id, read.name, read.play_times, read.delay_type, read.delay_time,
                       read.link_count),
              std::make_tuple(empty, u"Empty", 1, 1, 0, 0));

    const int macro = m_store.AddMacro(Macro{0, u"Combo", 2, 3, 2, 50});
    ASSERT_GT(macro, empty);
    EXPECT_TRUE(m_store.RenameMacro(macro, u"Combo 2"));
    EXPECT_TRUE(m_store.SetMacroLinkCount(macro, 4));
    ASSERT_TRUE(m_store.GetMacro(macro, read));
    EXPECT_EQ(std::tie(read.name, read.link_count, read.play_times, read.delay_type, read.delay_time),
              std::make_tuple(u"Combo 2", 4, 3, 2, 50));

    // Steps come back in record_index order whatever order they went in.
    ASSERT_TRUE(m_store.AddMacroSteps({{0, macro, 2, 2, 0x41, 30, u"A up"},
                                       {0, macro, 1, 0, 0x41, 10, u"A down"},
                                       {0, macro, 1, 1, 0x42, 20, u"B down"},
                                       {0, empty, 1, 0, 0x43, 5, u"C"}}));
    std::vector<MacroStep> steps;
    ASSERT_EQ(m_store.ListMacroSteps(macro, steps), 3);
    EXPECT_EQ(steps[0].desc, u"A down");
    EXPECT_EQ(steps[1].desc, u"B down");
    EXPECT_EQ(steps[2].desc, u"A up");
    EXPECT_EQ(std::tie(steps[2].macro_id, steps[2].type, steps[2].record_index, steps[2].value,
                       steps[2].delay_time),
              std::make_tuple(macro, 2, 2, 0x41, 30));
    EXPECT_EQ(m_store.CountAllMacroSteps(), 4);

    // Deleting the macro removes its steps; a key that used it keeps its row.
    ASSERT_GT(m_store.SaveKeyAssignment(Key(1, 0, 4, 3, macro, u"Combo 2")), 0);
    EXPECT_TRUE(m_store.DeleteMacro(macro));
    EXPECT_FALSE(m_store.GetMacro(macro, read));
    EXPECT_EQ(m_store.ListMacroSteps(macro, steps), 0);
    EXPECT_EQ(m_store.CountAllMacroSteps(), 1);
    KeyAssignment key;
    EXPECT_TRUE(m_store.GetKeyAssignment(1, 0, 4, key));

    std::vector<Macro> macros;
    ASSERT_EQ(m_store.ListMacros(macros), 1);
    EXPECT_EQ(macros[0].macro_id, empty);
    EXPECT_TRUE(m_store.DeleteMacroSteps(empty));
    EXPECT_EQ(m_store.CountAllMacroSteps(), 0);
}

TEST_F(ProfileStoreTest, MacroStepSetIsStoredWholeOrNotAtAll) {
    const int macro = m_store.AddEmptyMacro(u"m");
    FailInsertsOf("t_macrorecord", "record_index", 2);
    EXPECT_FALSE(m_store.AddMacroSteps(
        {{0, macro, 1, 0, 4, 10, u"a"}, {0, macro, 1, 1, 5, 10, u"b"}, {0, macro, 1, 2, 6, 10, u"c"}}));
    EXPECT_EQ(m_store.CountAllMacroSteps(), 0);
}

TEST_F(ProfileStoreTest, MusicLayerIsCreatedOnceWithItsDefaults) {
    EXPECT_EQ(m_store.CountMusicLayers(1), 0);
    EXPECT_EQ(m_store.AddMusicLayer(1, u"音乐律动"), 1);
    EXPECT_EQ(m_store.CountMusicLayers(1), 1);
    EXPECT_EQ(Sql("SELECT * FROM t_musiclayer_data;"), "1|1|音乐律动|0|13|100|0|10|0\n");

    MusicLayer layer;
    ASSERT_TRUE(m_store.GetMusicLayer(1, layer));
    layer.foremode = 3;
    layer.fore_amplitude = 60;
    layer.backmode = 2;
    layer.backb_right = 7;
    layer.name = u"ignored";
    EXPECT_TRUE(m_store.UpdateMusicLayer(1, layer));
    EXPECT_EQ(Sql("SELECT * FROM t_musiclayer_data;"), "1|1|音乐律动|0|3|60|2|7|0\n");
    EXPECT_FALSE(m_store.GetMusicLayer(2, layer));
}

// Texts of every script the program's languages use, and the characters that break careless
// quoting or conversion, come back exactly and are stored as UTF-8.
TEST_F(ProfileStoreTest, AnyUnicodeTextRoundTrips) {
    const std::u16string texts[] = {
        u"配置方案 1",
        u"โปรไฟล์ภาษาไทย",
        u"Профиль",
        u"émoji 🎹🌈👍🏽 and a flag 🇫🇷",
        u"quotes ' \" ` and ; -- DROP TABLE t_profile_data;",
        u"tabs\tnew\nlines\r and \x01\x1f control",
        u"",
        std::u16string(5000, u'字'),
    };
    for (const std::u16string& text : texts) {
        SCOPED_TRACE(base::ToUtf8(text).substr(0, 40));
        const int id = m_store.AddProfile(text);
        ASSERT_GT(id, 0);
        std::vector<ProfileEntry> profiles;
        m_store.ListProfiles(profiles);
        EXPECT_EQ(profiles.back().name, text);

        const int macro = m_store.AddEmptyMacro(text);
        ASSERT_TRUE(m_store.AddMacroSteps({{0, macro, 1, 0, 4, 10, text}}));
        std::vector<MacroStep> steps;
        ASSERT_EQ(m_store.ListMacroSteps(macro, steps), 1);
        EXPECT_EQ(steps[0].desc, text);

        EXPECT_EQ(Sql("SELECT hex(name) FROM t_profile_data WHERE profile = " + std::to_string(id) + ";"),
                  [&] {
                      std::string hex;
                      for (unsigned char c : base::ToUtf8(text)) {
                          static constexpr char kDigits[] = "0123456789ABCDEF";
                          hex += kDigits[c >> 4];
                          hex += kDigits[c & 15];
                      }
                      return hex + "\n";
                  }());
    }
}

TEST(ProfileStoreRunState, StartsWithTheWindowsInitialValues) {
    ProfileStore store;
    EXPECT_EQ(store.GetDeviceIndex(), -1);
    EXPECT_EQ(store.GetCurrentProfileId(), 1);
    EXPECT_EQ(store.GetCurrentLayer(), 0);
    EXPECT_EQ(store.GetCurrentLightModeId(), 1);
    EXPECT_EQ(store.GetCurrentMusicLayerId(), 1);
    EXPECT_TRUE(store.IsColorKeyboard());
    EXPECT_EQ(store.GetKeyTable(), ProfileStore::KeyTable{});

    const uint8_t bytes[] = {1, 2, 3};
    EXPECT_TRUE(store.WriteKeyTable(765, bytes));
    EXPECT_FALSE(store.WriteKeyTable(766, bytes));
    EXPECT_FALSE(store.WriteKeyTable(size_t(-1), bytes));
    const ProfileStore::KeyTable table = store.GetKeyTable();
    EXPECT_EQ(table[765], 1);
    EXPECT_EQ(table[767], 3);
}

} // namespace
