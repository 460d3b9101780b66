// The database file: creation with the schema, the one-time backup, files that cannot be used,
// and the factory reset.
#include "StoreTestSupport.h"
#include "base/Log.h"
#include "store/ProfileStore.h"
#include "store/SQLiteDB.h"

#include <gtest/gtest.h>
#include <mutex>
#include <sqlite3.h>
#include <vector>

using namespace store;

namespace {

constexpr const char16_t* kName = u"kb_data";

// Every table with its columns (name type primary-key), then every index, as the sqlite3 tool
// reports them for a new file.
constexpr const char* kExpectedSchema =
    R"(table t_config_data: config_id INTEGER 1, profile INTEGER 0, key TEXT 0, value TEXT 0
table t_key_light_data: keylight_id INTEGER 1, profile INTEGER 0, light_id INTEGER 0, key_code INTEGER 0, key_rgb INTEGER 0
table t_key_macro_data: key_id INTEGER 1, profile INTEGER 0, fn_layer INTEGER 0, key_code INTEGER 0, layout_value INTEGER 0, layout_desc TEXT 0, macro_type INTEGER 0, macro_value INTEGER 0, macro_value2 INTEGER 0, macro_value3 INTEGER 0, macro_desc TEXT 0
table t_key_otherdata: macro_value INTEGER 1, macro_desc TEXT 0, param TEXT 0, type INTEGER 0
table t_light_data: light_id INTEGER 1, profile INTEGER 0, name TEXT 0, mode INTEGER 0, brightness INTEGER 0, speed INTEGER 0, direction INTEGER 0, colorful INTEGER 0, colorindex INTEGER 0, color_value INTEGER 0, config_func INTEGER 0, reserved INTEGER 0, status INTEGER 0
table t_macro_data: macro_id INTEGER 1, play_times INTEGER 0, delay_type INTEGER 0, delay_time INTEGER 0, link_count INTEGER 0, name TEXT 0
table t_macrorecord: record_id INTEGER 1, macro_id INTEGER 0, type INTEGER 0, record_index INTEGER 0, desc TEXT 0, value INTEGER 0, delay_time INTEGER 0
table t_musiclayer_data: layer_id INTEGER 1, profile INTEGER 0, name TEXT 0, deviceindex INTEGER 0, foremode INTEGER 0, fore_amplitude INTEGER 0, backmode INTEGER 0, backb_right INTEGER 0, sel INTEGER 0
table t_profile_data: profile INTEGER 1, name TEXT 0, status INTEGER 0
index keyindex on t_key_macro_data(key_id)
index keylightindex on t_key_light_data(keylight_id)
index lightindex on t_light_data(light_id)
index macroidindex on t_macro_data(macro_id)
index macrorecordindex on t_macrorecord(record_id)
index musiclayerindex on t_musiclayer_data(layer_id)
index otheridindex on t_key_otherdata(macro_value)
index profileindex on t_profile_data(profile)
)";

constexpr const char* kSchemaQuery = R"(
SELECT 'table ' || m.name || ': ' || group_concat(p.name || ' ' || p.type || ' ' || p.pk, ', ')
  FROM sqlite_master m JOIN pragma_table_info(m.name) p
  WHERE m.type = 'table' AND m.name NOT LIKE 'sqlite_%' GROUP BY m.name ORDER BY m.name;
SELECT 'index ' || m.name || ' on ' || m.tbl_name || '(' || i.name || ')'
  FROM sqlite_master m JOIN pragma_index_info(m.name) i WHERE m.type = 'index' ORDER BY m.name;
)";

// The autoincrement tables all appear in sqlite_sequence, so this counts every row of the file.
constexpr const char* kRowCountQuery =
    "SELECT (SELECT count(*) FROM t_config_data) + (SELECT count(*) FROM t_profile_data) + "
    "(SELECT count(*) FROM t_key_macro_data) + (SELECT count(*) FROM t_key_otherdata) + "
    "(SELECT count(*) FROM t_light_data) + (SELECT count(*) FROM t_key_light_data) + "
    "(SELECT count(*) FROM t_macro_data) + (SELECT count(*) FROM t_macrorecord) + "
    "(SELECT count(*) FROM t_musiclayer_data);\n";

// Collects the store's log lines for a test.
class LogCapture {
public:
    LogCapture() {
        base::SetLogSink([this](base::LogLevel level, std::string_view, std::string_view message) {
            std::lock_guard lock(m_mutex);
            if (level == base::LogLevel::Error)
                m_errors.emplace_back(message);
        });
    }
    ~LogCapture() { base::SetLogSink({}); }
    std::vector<std::string> Errors() {
        std::lock_guard lock(m_mutex);
        return m_errors;
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_errors;
};

TEST(ProfileStoreFile, FirstStartCreatesTheSchemaAndABackupOfIt) {
    TempDataFolder folder;
    {
        ProfileStore store;
        ASSERT_TRUE(store.Open(folder.Folder(), kName));
        EXPECT_TRUE(store.IsOpened());
        EXPECT_EQ(store.GetPath(), folder.DatabasePath().string());
        EXPECT_EQ(store.GetSetAsidePath(), "");
    }
    for (const auto& file : {folder.DatabasePath(), folder.BackupPath()}) {
        SCOPED_TRACE(file.string());
        EXPECT_EQ(RunSqliteTool(file, kSchemaQuery), kExpectedSchema);
        EXPECT_EQ(RunSqliteTool(file, "PRAGMA integrity_check;\n"), "ok\n");
        EXPECT_EQ(RunSqliteTool(file, kRowCountQuery), "0\n");
    }
    // No journal or temporary copy is left beside the files.
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.Root() / "db"))
        ++files;
    EXPECT_EQ(files, 2);
}

TEST(ProfileStoreFile, BackupIsMadeOnceAndRemadeOnlyWhenDeleted) {
    TempDataFolder folder;
    {
        ProfileStore store;
        ASSERT_TRUE(store.Open(folder.Folder(), kName));
        EXPECT_GT(store.AddProfile(u"P"), 0);
    }
    {
        // Second start: the backup still holds the empty database of the first start.
        ProfileStore store;
        ASSERT_TRUE(store.Open(folder.Folder(), kName));
    }
    EXPECT_EQ(RunSqliteTool(folder.BackupPath(), "SELECT count(*) FROM t_profile_data;\n"), "0\n");

    std::filesystem::remove(folder.BackupPath());
    ProfileStore store;
    ASSERT_TRUE(store.Open(folder.Folder(), kName));
    EXPECT_EQ(RunSqliteTool(folder.BackupPath(), "SELECT name FROM t_profile_data;\n"), "P\n");
}

TEST(ProfileStoreFile, BackupIsMadeOfADatabaseWithASmallerPageSize) {
    TempDataFolder folder;
    {
        // A file made by another SQLite program with its own page size.
        SQLiteDB other;
        ASSERT_TRUE(other.Open(folder.DatabasePath().string(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                               SQLiteDB::Journal::Rollback));
        ASSERT_EQ(other.Execute("PRAGMA page_size = 1024; CREATE TABLE t_profile_data (profile INTEGER "
                                "PRIMARY KEY AUTOINCREMENT, name TEXT, status INTEGER); "
                                "INSERT INTO t_profile_data(name, status) VALUES ('mine', 1);"),
                  SQLITE_OK);
    }
    {
        ProfileStore store;
        ASSERT_TRUE(store.Open(folder.Folder(), kName));
    }
    EXPECT_EQ(RunSqliteTool(folder.BackupPath(), "SELECT name FROM t_profile_data;\n"), "mine\n");
    EXPECT_EQ(RunSqliteTool(folder.BackupPath(), "PRAGMA page_size;\n"), "1024\n");
    EXPECT_FALSE(std::filesystem::exists(folder.BackupPath().string() + ".partial"));
}

TEST(ProfileStoreFile, MissingDbFolderFailsWithoutCreatingIt) {
    TempDataFolder folder;
    std::filesystem::remove(folder.Root() / "db");
    ProfileStore store;
    EXPECT_FALSE(store.Open(folder.Folder(), kName));
    EXPECT_FALSE(std::filesystem::exists(folder.Root() / "db"));
}

// Checks that a store that failed to open answers every operation with a failure or nothing.
void ExpectEveryReadEmpty(ProfileStore& store) {
    std::u16string value = u"stale";
    EXPECT_FALSE(store.GetConfigValue(u"disable_win", value));
    EXPECT_EQ(value, u"0");
    EXPECT_FALSE(store.SetConfigValue(u"disable_win", u"1"));
    std::vector<ProfileEntry> profiles(1);
    EXPECT_EQ(store.ListProfiles(profiles), 0);
    EXPECT_TRUE(profiles.empty());
    EXPECT_EQ(store.AddProfile(u"x"), 0);
    EXPECT_FALSE(store.SetCurrentProfile(1));
    EXPECT_EQ(store.GetCurrentProfile(), 0);
    KeyAssignment key;
    key.profile = 1;
    key.key_code = 4;
    key.macro_value = 5;
    EXPECT_EQ(store.SaveKeyAssignment(key), 0);
    EXPECT_FALSE(store.GetKeyAssignment(1, 0, 4, key));
    EXPECT_EQ(store.CountLightSettings(), 0);
    EXPECT_EQ(store.GetCurrentLightMode(), 0);
    EXPECT_EQ(store.AddKeyColors({KeyColor{0, 1, 0, 4, 255}}), 0);
    EXPECT_EQ(store.AddEmptyMacro(u"m"), 0);
    EXPECT_FALSE(store.AddMacroSteps({MacroStep{}}));
    EXPECT_FALSE(store.DeleteMacro(1));
    EXPECT_EQ(store.CountMusicLayers(1), 0);
    EXPECT_EQ(store.CountAllMacroSteps(), 0);
}

TEST(ProfileStoreFile, UnreadableFileFailsOpenAndEveryRead) {
    TempDataFolder folder;
    // A folder where the file should be cannot be opened by anyone, root included.
    std::filesystem::create_directory(folder.DatabasePath());
    ProfileStore store;
    EXPECT_FALSE(store.Open(folder.Folder(), kName));
    EXPECT_FALSE(store.IsOpened());
    EXPECT_EQ(store.GetSetAsidePath(), "");
    EXPECT_TRUE(std::filesystem::is_directory(folder.DatabasePath()));
    ExpectEveryReadEmpty(store);
}

TEST(ProfileStoreFile, LockedFileFailsOpenAndIsLeftAlone) {
    TempDataFolder folder;
    {
        ProfileStore first;
        ASSERT_TRUE(first.Open(folder.Folder(), kName));
        ASSERT_GT(first.AddProfile(u"kept"), 0);
    }
    std::filesystem::remove(folder.BackupPath());
    SQLiteDB other; // another program holding the file exclusively
    ASSERT_TRUE(other.Open(folder.DatabasePath().string(), SQLITE_OPEN_READWRITE));
    ASSERT_EQ(other.Execute("PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE; "
                            "UPDATE t_profile_data SET name = name;"),
              kSqliteOk);

    ProfileStore store;
    EXPECT_FALSE(store.Open(folder.Folder(), kName));
    EXPECT_EQ(store.GetSetAsidePath(), "");
    ExpectEveryReadEmpty(store);
    EXPECT_FALSE(std::filesystem::exists(folder.BackupPath())); // tried again at the next start

    other.Execute("END");
    other.Close(); // an exclusive-mode connection holds its lock until it closes
    EXPECT_EQ(RunSqliteTool(folder.DatabasePath(), "SELECT name FROM t_profile_data;\n"), "kept\n");
}

struct UnusableFile {
    const char* name;
    std::string (*make)(const TempDataFolder&);
};

std::string MakeValidDatabaseWithRows(const TempDataFolder& folder) {
    {
        ProfileStore store;
        store.Open(folder.Folder(), kName);
        std::vector<MacroStep> steps(2000);
        const int macro = store.AddEmptyMacro(u"big");
        for (size_t i = 0; i < steps.size(); ++i)
            steps[i] = MacroStep{0, macro, 1, static_cast<int>(i), 4, 10, std::u16string(40, u'x')};
        store.AddMacroSteps(steps);
    } // closing moves everything from the log into the file
    return ReadWholeFile(folder.DatabasePath());
}

const UnusableFile kUnusableFiles[] = {
    {"TextFile", [](const TempDataFolder&) { return std::string("these are my notes, not a database\n"); }},
    {"DamagedHeader",
     [](const TempDataFolder& folder) {
         std::string bytes = MakeValidDatabaseWithRows(folder);
         bytes.replace(0, 16, "garbage garbage!");
         return bytes;
     }},
    {"Truncated",
     [](const TempDataFolder& folder) {
         const std::string bytes = MakeValidDatabaseWithRows(folder);
         return bytes.substr(0, bytes.size() / 2);
     }},
    {"DamagedPages",
     [](const TempDataFolder& folder) {
         std::string bytes = MakeValidDatabaseWithRows(folder);
         for (size_t i = 4096 * 3; i < bytes.size(); i += 4096)
             bytes.replace(i, 64, std::string(64, '\xA5'));
         return bytes;
     }},
    {"ForeignDatabase",
     [](const TempDataFolder& folder) {
         SQLiteDB other;
         other.Open(folder.DatabasePath().string(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
         other.Execute("CREATE TABLE recipes (title TEXT); INSERT INTO recipes VALUES ('soup');");
         other.Close();
         return ReadWholeFile(folder.DatabasePath());
     }},
};

class ProfileStoreUnusableFile : public ::testing::TestWithParam<UnusableFile> {};

TEST_P(ProfileStoreUnusableFile, IsSetAsideAndAFreshDatabaseStarted) {
    TempDataFolder folder;
    const std::string original = GetParam().make(folder);
    std::filesystem::remove(folder.BackupPath());
    WriteWholeFile(folder.DatabasePath(), original);
    LogCapture log;

    ProfileStore store;
    ASSERT_TRUE(store.Open(folder.Folder(), kName));
    const std::string aside = store.GetSetAsidePath();
    ASSERT_NE(aside, "");
    EXPECT_NE(store.GetSetAsideReason(), "");
    EXPECT_EQ(ReadWholeFile(aside), original); // kept byte for byte
    EXPECT_EQ(std::filesystem::path(aside).parent_path(), folder.DatabasePath().parent_path());
    ASSERT_EQ(log.Errors().size(), 1u);
    EXPECT_NE(log.Errors()[0].find(aside), std::string::npos);

    // The new database works and has the whole schema.
    EXPECT_EQ(store.AddProfile(u"new"), 1);
    EXPECT_EQ(RunSqliteTool(folder.DatabasePath(), kSchemaQuery), kExpectedSchema);
    EXPECT_EQ(RunSqliteTool(folder.DatabasePath(), "PRAGMA integrity_check;\n"), "ok\n");
}

INSTANTIATE_TEST_SUITE_P(Files, ProfileStoreUnusableFile, ::testing::ValuesIn(kUnusableFiles),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(ProfileStoreFile, SecondDamagedFileDoesNotOverwriteTheFirst) {
    TempDataFolder folder;
    std::vector<std::string> asides;
    for (const char* text : {"first damaged file", "second damaged file"}) {
        WriteWholeFile(folder.DatabasePath(), text);
        ProfileStore store;
        ASSERT_TRUE(store.Open(folder.Folder(), kName));
        asides.push_back(store.GetSetAsidePath());
        EXPECT_EQ(ReadWholeFile(asides.back()), text);
    }
    EXPECT_NE(asides[0], asides[1]);
    EXPECT_EQ(ReadWholeFile(asides[0]), "first damaged file");
}

TEST(ProfileStoreFile, EmptyOrPartlyCreatedDatabaseGetsTheMissingTables) {
    TempDataFolder folder;
    {
        SQLiteDB partial; // an earlier start that created only some tables
        partial.Open(folder.DatabasePath().string(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        partial.Execute("CREATE TABLE t_profile_data (profile INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT, "
                        "status INTEGER); INSERT INTO t_profile_data(name, status) VALUES ('mine', 1);");
    }
    ProfileStore store;
    ASSERT_TRUE(store.Open(folder.Folder(), kName));
    EXPECT_EQ(store.GetSetAsidePath(), "");
    EXPECT_EQ(store.GetCurrentProfile(), 1);
    EXPECT_EQ(RunSqliteTool(folder.DatabasePath(), kSchemaQuery), kExpectedSchema);

    TempDataFolder empty;
    WriteWholeFile(empty.DatabasePath(), ""); // a zero-length file is an empty database
    ProfileStore emptyStore;
    ASSERT_TRUE(emptyStore.Open(empty.Folder(), kName));
    EXPECT_EQ(emptyStore.GetSetAsidePath(), "");
    EXPECT_EQ(emptyStore.AddProfile(u"p"), 1);
}

TEST(ProfileStoreFile, OpenAndClearEmptiesEveryTableAndRestartsIds) {
    TempDataFolder folder;
    ProfileStore store;
    ASSERT_TRUE(store.Open(folder.Folder(), kName));
    store.AddProfile(u"a");
    store.AddProfile(u"b");
    store.InsertConfigDefaults();
    store.SaveKeyAssignment(KeyAssignment{0, 1, 0, 4, 0, u"", 2, 5, 0, 0, u"B"});
    store.AddOtherData(u"x", u"/bin/x", 8);
    store.AddLightSetting(LightSetting{0, 1, u"Wave", 2, 4, 2, 0, 1, 0, 255, 0, 0, 1});
    store.AddKeyColors({KeyColor{0, 1, 0, 4, 255}});
    const int macro = store.AddEmptyMacro(u"m");
    store.AddMacroSteps({MacroStep{0, macro, 1, 0, 4, 10, u"A"}});
    store.AddMusicLayer(1, u"音乐律动");

    store.OpenAndClear(folder.Folder(), kName);
    EXPECT_TRUE(store.IsOpened());
    EXPECT_EQ(RunSqliteTool(folder.DatabasePath(), kRowCountQuery), "0\n");
    EXPECT_EQ(RunSqliteTool(folder.DatabasePath(), "SELECT count(*) FROM sqlite_sequence;\n"), "0\n");
    EXPECT_EQ(RunSqliteTool(folder.DatabasePath(), kSchemaQuery), kExpectedSchema);
    EXPECT_EQ(store.AddProfile(u"again"), 1);
    EXPECT_EQ(store.AddEmptyMacro(u"again"), 1);
}

TEST(ProfileStoreFile, OpenAndClearOnAClosedStoreOpensTheFileFirst) {
    TempDataFolder folder;
    {
        ProfileStore store;
        ASSERT_TRUE(store.Open(folder.Folder(), kName));
        store.AddProfile(u"a");
    }
    ProfileStore store;
    store.OpenAndClear(folder.Folder(), kName);
    EXPECT_TRUE(store.IsOpened());
    std::vector<ProfileEntry> profiles;
    EXPECT_EQ(store.ListProfiles(profiles), 0);
}

} // namespace
