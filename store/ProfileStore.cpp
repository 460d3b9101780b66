#include "store/ProfileStore.h"

#include "base/Log.h"
#include "base/Utf.h"
#include "store/StoreQuery.h"
#include "store/StoreSchema.h"

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <sqlite3.h>
#include <system_error>

namespace store {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kLogArea = "store";

// The database file must already exist when it is opened; only CreateSchema creates one. The
// connection is serialized as well, although the store's mutex already keeps its users apart.
constexpr int kOpenExisting = SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX;
constexpr int kOpenOrCreate = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX;

bool FileExists(const std::string& path) {
    std::error_code error;
    return fs::exists(fs::path(path), error);
}

// A name beside the damaged file that says when it was set aside and never overwrites an
// earlier one.
std::string SetAsideName(const std::string& path) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32] = {};
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = path + ".damaged-" + stamp;
    std::string candidate = base;
    for (int n = 2; FileExists(candidate); ++n)
        candidate = base + "-" + std::to_string(n);
    return candidate;
}

} // namespace

ProfileStore::~ProfileStore() {
    std::lock_guard lock(m_mutex);
    if (m_opened) {
        m_db.Close();
        m_opened = false;
    }
}

bool ProfileStore::Open(const std::u16string& dataFolder, const std::u16string& name) {
    std::lock_guard lock(m_mutex);
    const bool opened = OpenLocked(dataFolder, name);
    MakeBackupIfMissing(dataFolder);
    m_opened = opened;
    return opened;
}

void ProfileStore::OpenAndClear(const std::u16string& dataFolder, const std::u16string& name) {
    std::lock_guard lock(m_mutex);
    const bool opened = OpenLocked(dataFolder, name);
    DeleteAllLocked();
    m_opened = opened;
}

bool ProfileStore::CreateSchema() {
    std::lock_guard lock(m_mutex);
    return CreateSchemaLocked();
}

void ProfileStore::DeleteAll() {
    std::lock_guard lock(m_mutex);
    DeleteAllLocked();
}

bool ProfileStore::IsOpened() const {
    std::lock_guard lock(m_mutex);
    return m_opened;
}

std::string ProfileStore::GetPath() const {
    std::lock_guard lock(m_mutex);
    return m_path;
}

std::string ProfileStore::GetSetAsidePath() const {
    std::lock_guard lock(m_mutex);
    return m_setAsidePath;
}

std::string ProfileStore::GetSetAsideReason() const {
    std::lock_guard lock(m_mutex);
    return m_setAsideReason;
}

bool ProfileStore::OpenLocked(const std::u16string& dataFolder, const std::u16string& name) {
    m_path = base::ToUtf8(dataFolder + u"db/" + name + u"_data_v5.db");
    m_setAsidePath.clear();
    m_setAsideReason.clear();
    if (!FileExists(m_path))
        return CreateSchemaLocked();
    if (m_db.IsOpen())
        return true;
    if (!m_db.Open(m_path, kOpenExisting)) {
        base::LogWarning(kLogArea, "cannot open " + m_path + " (SQLite result " +
                                       std::to_string(m_db.LastOpenResult()) + ")");
        return false;
    }
    std::string reason;
    switch (CheckOpenedFile(reason)) {
    case FileCheck::Usable:
        return true;
    case FileCheck::NeedsSchema: {
        // An empty database (a zero-length file, say) or one that lacks some of the tables:
        // adding the missing tables loses nothing.
        int combined = 0;
        for (const char* statement : SchemaStatements())
            combined |= m_db.Execute(statement);
        return combined == kSqliteOk;
    }
    case FileCheck::Unavailable:
        // Busy or unreadable is not damage: the file is left exactly where it is.
        base::LogWarning(kLogArea, "cannot read " + m_path + ": " + reason);
        m_db.Close();
        return false;
    case FileCheck::Damaged:
        break;
    }
    m_db.Close();
    if (!SetDamagedFileAside(reason))
        return false;
    return CreateSchemaLocked();
}

ProfileStore::FileCheck ProfileStore::CheckOpenedFile(std::string& reason) {
    // Reading the schema may already fail at Prepare, so both results count.
    SQLiteStatement statement;
    int result = m_db.Prepare(statement, "PRAGMA quick_check");
    if (result == kSqliteOk)
        result = statement.Step();
    if (result == kSqliteRow) {
        const std::string verdict = statement.ColumnText(0);
        if (verdict != "ok") {
            reason = "the database is damaged: " + verdict;
            return FileCheck::Damaged;
        }
    } else {
        reason = m_db.LastErrorText();
        return result == SQLITE_NOTADB || result == SQLITE_CORRUPT ? FileCheck::Damaged
                                                                   : FileCheck::Unavailable;
    }
    int ours = 0;
    int foreign = 0;
    query::ForEachRow(
        m_db,
        [&](const SQLiteStatement& row) {
            const std::string table = row.ColumnText(0);
            const auto tables = SchemaTables();
            if (std::find(tables.begin(), tables.end(), table) != tables.end())
                ++ours;
            else if (table.rfind("sqlite_", 0) != 0)
                ++foreign;
        },
        "SELECT name FROM sqlite_master WHERE type = 'table'");
    if (ours == static_cast<int>(SchemaTables().size()))
        return FileCheck::Usable;
    if (ours == 0 && foreign > 0) {
        reason = "the file is a database of another program";
        return FileCheck::Damaged;
    }
    return FileCheck::NeedsSchema;
}

bool ProfileStore::SetDamagedFileAside(const std::string& reason) {
    const std::string target = SetAsideName(m_path);
    std::error_code error;
    fs::rename(m_path, target, error);
    if (error) {
        base::LogError(kLogArea, "cannot set the unusable database " + m_path + " aside (" + reason +
                                     "): " + error.message());
        return false;
    }
    // A log or journal left beside the file belongs to it; keep them together.
    for (const char* suffix : {"-wal", "-shm", "-journal"}) {
        if (FileExists(m_path + suffix))
            fs::rename(m_path + suffix, target + suffix, error);
    }
    m_setAsidePath = target;
    m_setAsideReason = reason;
    base::LogError(kLogArea, "the database " + m_path + " could not be used (" + reason +
                                 "); it was kept as " + target + " and a new database was started");
    return true;
}

bool ProfileStore::CreateSchemaLocked() {
    if (m_db.IsOpen())
        return true;
    if (!m_db.Open(m_path, kOpenOrCreate))
        return false;
    // One transaction, so that a new file holds either the whole schema or none of it; a failed
    // statement does not end the transaction, and the following ones still run.
    int combined = m_db.Execute("BEGIN");
    for (const char* statement : SchemaStatements())
        combined |= m_db.Execute(statement);
    combined |= m_db.Execute("END");
    return combined == kSqliteOk;
}

void ProfileStore::DeleteAllLocked() {
    static constexpr const char* kStatements[] = {
        "DELETE FROM t_config_data",   "DELETE FROM t_profile_data", "DELETE FROM t_key_macro_data",
        "DELETE FROM t_key_otherdata", "DELETE FROM t_light_data",   "DELETE FROM t_key_light_data",
        "DELETE FROM t_macro_data",    "DELETE FROM t_macrorecord",  "DELETE FROM t_musiclayer_data",
        "DELETE FROM sqlite_sequence",
    };
    // One transaction: a reset that is cut off leaves the old data whole rather than half gone.
    SQLiteAutoTransaction transaction(&m_db);
    if (!transaction.Began())
        return;
    for (const char* sql : kStatements)
        query::Exec(m_db, sql);
    transaction.Commit();
}

void ProfileStore::MakeBackupIfMissing(const std::u16string& dataFolder) {
    const std::string backupPath = base::ToUtf8(dataFolder + u"db/data_bak.db");
    if (FileExists(backupPath) || !m_db.IsOpen())
        return;
    // The online backup copies a consistent state of the database even while it is being
    // written; it goes to a temporary name first so that a cut-off copy is never taken for the
    // backup (the backup is made only once).
    const std::string partialPath = backupPath + ".partial";
    std::error_code error;
    fs::remove(partialPath, error);
    SQLiteDB copy;
    bool copied = false;
    // The copy keeps the rollback journal so that it can take the source's page size.
    if (copy.Open(partialPath, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, SQLiteDB::Journal::Rollback)) {
        sqlite3_backup* backup = sqlite3_backup_init(copy.Handle(), "main", m_db.Handle(), "main");
        if (backup != nullptr) {
            copied = sqlite3_backup_step(backup, -1) == SQLITE_DONE;
            copied = sqlite3_backup_finish(backup) == SQLITE_OK && copied;
        }
        copied = copy.Close() && copied;
    }
    if (copied)
        fs::rename(partialPath, backupPath, error);
    if (!copied || error) {
        base::LogWarning(kLogArea,
                         "could not make the backup " + backupPath + "; it is tried again next start");
        fs::remove(partialPath, error);
    }
}

// ---- Configuration values -----------------------------------------------------------------------

bool ProfileStore::SetConfigValue(const std::u16string& key, const std::u16string& value) {
    std::lock_guard lock(m_mutex);
    return query::Exec(m_db, "UPDATE t_config_data SET value = ? WHERE profile = ? and key = ?", value, 1,
                       key);
}

bool ProfileStore::GetConfigValue(const std::u16string& key, std::u16string& value) {
    std::lock_guard lock(m_mutex);
    value.clear();
    SQLiteStatement statement;
    const int result =
        query::Run(m_db, statement, "SELECT value FROM t_config_data WHERE profile = ? and key = ?", 1, key);
    if (result == kSqliteRow) {
        value = statement.ColumnText16(0);
        return true;
    }
    if (result == kSqliteMisuse) {
        value.assign(1, u'0'); // (not = u"0": GCC 12 warns falsely on that assignment)
        query::Exec(m_db, "INSERT INTO t_config_data(profile, key, value) VALUES (?, ?, ?);", 1, key, u"0");
    }
    return false;
}

void ProfileStore::InsertConfigDefaults() {
    static constexpr std::pair<const char16_t*, const char16_t*> kDefaults[] = {
        {u"version", u"1.0.1"}, {u"fn_layer", u"0"},       {u"lightmode", u"1"},
        {u"sleep_light", u"0"}, {u"userlight", u"0"},      {u"disable_gamemode", u"0"},
        {u"disable_win", u"0"}, {u"disable_alttab", u"0"}, {u"disable_altf4", u"0"},
    };
    std::lock_guard lock(m_mutex);
    // All or none: a set cut short would leave keys that SetConfigValue then never inserts.
    SQLiteAutoTransaction transaction(&m_db);
    if (!transaction.Began())
        return;
    for (const auto& [key, value] : kDefaults)
        query::Exec(m_db, "INSERT INTO t_config_data(profile, key, value) VALUES (?, ?, ?);", 1,
                    std::u16string_view(key), std::u16string_view(value));
    transaction.Commit();
}

// ---- Profiles -------------------------------------------------------------------------------------

int ProfileStore::AddProfile(const std::u16string& name) {
    std::lock_guard lock(m_mutex);
    return query::Insert(m_db, "INSERT INTO t_profile_data(name, status) VALUES (?, ?);", name, 0);
}

bool ProfileStore::DeleteProfile(int id) {
    std::lock_guard lock(m_mutex);
    return query::Exec(m_db, "DELETE FROM t_profile_data WHERE profile = ?", id);
}

bool ProfileStore::RenameProfile(int id, const std::u16string& name) {
    std::lock_guard lock(m_mutex);
    return query::Exec(m_db, "UPDATE t_profile_data SET name = ? WHERE profile = ?", name, id);
}

int ProfileStore::ListProfiles(std::vector<ProfileEntry>& list) {
    std::lock_guard lock(m_mutex);
    list.clear();
    return query::ForEachRow(
        m_db,
        [&](const SQLiteStatement& row) {
            list.push_back({row.ColumnInt(0), row.ColumnText16(1), row.ColumnInt(2)});
        },
        "SELECT * FROM t_profile_data");
}

bool ProfileStore::SetCurrentProfile(int id) {
    std::lock_guard lock(m_mutex);
    // Both updates in one transaction, so that no moment (or crash) leaves no current profile.
    SQLiteAutoTransaction transaction(&m_db);
    if (!transaction.Began())
        return false;
    query::Exec(m_db, "UPDATE t_profile_data SET status = ?", 0);
    if (!query::Exec(m_db, "UPDATE t_profile_data SET status = ? WHERE profile = ?", 1, id)) {
        transaction.Rollback();
        return false;
    }
    return transaction.Commit();
}

int ProfileStore::GetCurrentProfile() {
    std::lock_guard lock(m_mutex);
    SQLiteStatement statement;
    if (query::Run(m_db, statement, "SELECT profile FROM t_profile_data WHERE status = ?", 1) != kSqliteRow)
        return 0;
    return statement.ColumnInt(0);
}

// ---- Run-time state -------------------------------------------------------------------------------

ProfileStore::KeyTable ProfileStore::GetKeyTable() const {
    std::lock_guard lock(m_keyTableMutex);
    return m_keyTable;
}

void ProfileStore::SetKeyTable(const KeyTable& table) {
    std::lock_guard lock(m_keyTableMutex);
    m_keyTable = table;
}

bool ProfileStore::WriteKeyTable(size_t offset, std::span<const uint8_t> bytes) {
    if (offset > m_keyTable.size() || bytes.size() > m_keyTable.size() - offset)
        return false;
    std::lock_guard lock(m_keyTableMutex);
    std::copy(bytes.begin(), bytes.end(), m_keyTable.begin() + static_cast<std::ptrdiff_t>(offset));
    return true;
}

} // namespace store
