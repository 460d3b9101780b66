#include "store/SQLiteDB.h"

#include "base/Utf.h"

#include <sqlite3.h>

namespace store {

void SQLiteDB::ConnectionDeleter::operator()(sqlite3* connection) const {
    sqlite3_interrupt(connection);
    // sqlite3_close_v2 never fails: a connection with statements still alive becomes a zombie
    // that SQLite frees once the last statement is finalized.
    sqlite3_close_v2(connection);
}

void SQLiteStatement::StatementDeleter::operator()(sqlite3_stmt* statement) const {
    sqlite3_finalize(statement);
}

SQLiteDB::~SQLiteDB() = default;

bool SQLiteDB::Open(const std::string& path, int flags, Journal journal) {
    if (m_connection) {
        sqlite3_interrupt(m_connection.get());
        Close();
    }
    if (path.empty())
        return false;
    sqlite3* connection = nullptr;
    m_lastOpenResult = sqlite3_open_v2(path.c_str(), &connection, flags, nullptr);
    // Even a failed open may hand out a handle that must be closed.
    std::unique_ptr<sqlite3, ConnectionDeleter> owned(connection);
    if (m_lastOpenResult != SQLITE_OK)
        return false;
    m_connection = std::move(owned);
    // Another program (a user's sqlite3 shell) may hold the file for a moment; wait briefly
    // rather than fail, but never long enough to stall the window.
    sqlite3_busy_timeout(m_connection.get(), 500);
    // A committed change must survive a crash of the system or a power loss. With the
    // write-ahead log and synchronous = FULL each commit is one sync of the log, several times
    // cheaper than the rollback journal's syncs of journal, database and folder, which matters
    // because a dragged slider commits one row per step. The file stays a plain SQLite 3
    // database; the -wal and -shm files beside it exist only while it is open (or after a crash,
    // until the next open by any SQLite program replays the log). Where the log cannot be used
    // (a file system without shared memory, a file that is not a database), the rollback journal
    // stays and EXTRA also syncs the folder after the journal is deleted, the moment of commit.
    SQLiteStatement mode;
    const bool logged = journal == Journal::WriteAheadLog &&
                        Prepare(mode, "PRAGMA journal_mode = WAL") == SQLITE_OK &&
                        mode.Step() == SQLITE_ROW && mode.ColumnText(0) == "wal";
    Execute(logged ? "PRAGMA synchronous = FULL;" : "PRAGMA synchronous = EXTRA;");
    return true;
}

bool SQLiteDB::Close() {
    if (!m_connection)
        return true;
    if (sqlite3_close(m_connection.get()) != SQLITE_OK)
        return false;
    // Closed already: release the pointer without running the deleter again.
    (void)m_connection.release();
    return true;
}

int SQLiteDB::Prepare(SQLiteStatement& statement, const char* sql, int length) {
    statement.m_statement.reset();
    if (!m_connection || sql == nullptr)
        return SQLITE_MISUSE;
    if (length < 0)
        length = static_cast<int>(std::char_traits<char>::length(sql)) + 1;
    sqlite3_stmt* handle = nullptr;
    const int result = sqlite3_prepare_v2(m_connection.get(), sql, length, &handle, nullptr);
    statement.m_statement.reset(handle);
    return result;
}

int SQLiteDB::Execute(const char* sql, RowCallback callback, void* argument) {
    if (!m_connection || sql == nullptr)
        return SQLITE_MISUSE;
    return sqlite3_exec(m_connection.get(), sql, callback, argument, nullptr);
}

int64_t SQLiteDB::LastInsertRowId() const {
    if (!m_connection)
        return -1;
    return sqlite3_last_insert_rowid(m_connection.get());
}

std::string SQLiteDB::LastErrorText() const {
    if (!m_connection)
        return {};
    return sqlite3_errmsg(m_connection.get());
}

int SQLiteStatement::BindInt(int index, int value) {
    if (!m_statement)
        return SQLITE_MISUSE;
    return sqlite3_bind_int(m_statement.get(), index, value);
}

int SQLiteStatement::BindText(int index, std::string_view utf8) {
    if (!m_statement)
        return SQLITE_MISUSE;
    // An empty view may carry a null pointer, which SQLite would store as NULL; bind "" instead.
    const char* bytes = utf8.empty() ? "" : utf8.data();
    return sqlite3_bind_text(m_statement.get(), index, bytes, static_cast<int>(utf8.size()),
                             SQLITE_TRANSIENT);
}

int SQLiteStatement::BindText16(int index, std::u16string_view text) {
    return BindText(index, base::ToUtf8(text));
}

int SQLiteStatement::Step() {
    if (!m_statement)
        return SQLITE_MISUSE;
    return sqlite3_step(m_statement.get());
}

int SQLiteStatement::Reset() {
    if (!m_statement)
        return SQLITE_MISUSE;
    sqlite3_clear_bindings(m_statement.get());
    return sqlite3_reset(m_statement.get());
}

int SQLiteStatement::ColumnInt(int column) const {
    if (!m_statement)
        return 0;
    return sqlite3_column_int(m_statement.get(), column);
}

std::string SQLiteStatement::ColumnText(int column) const {
    if (!m_statement)
        return {};
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement.get(), column));
    if (text == nullptr)
        return {};
    return std::string(text, static_cast<size_t>(sqlite3_column_bytes(m_statement.get(), column)));
}

std::u16string SQLiteStatement::ColumnText16(int column) const {
    return base::ToUtf16(ColumnText(column));
}

SQLiteAutoTransaction::SQLiteAutoTransaction(SQLiteDB* database) : m_database(database) {
    if (m_database == nullptr)
        return;
    if (m_database->IsOpen())
        m_began = m_database->Execute("BEGIN") == SQLITE_OK;
    m_active = true;
}

SQLiteAutoTransaction::~SQLiteAutoTransaction() {
    if (m_active && m_database != nullptr && m_database->IsOpen() && m_database->Execute("END") != SQLITE_OK)
        m_database->Execute("ROLLBACK");
}

bool SQLiteAutoTransaction::Begin() {
    if (m_database == nullptr || m_active)
        return false;
    m_active = true;
    if (!m_database->IsOpen()) {
        m_began = false;
        return false;
    }
    m_began = m_database->Execute("BEGIN") == SQLITE_OK;
    return m_began;
}

bool SQLiteAutoTransaction::Commit() {
    if (m_database == nullptr)
        return false;
    m_active = false;
    if (!m_database->IsOpen())
        return false;
    if (m_database->Execute("END") == SQLITE_OK)
        return true;
    m_database->Execute("ROLLBACK");
    return false;
}

bool SQLiteAutoTransaction::Rollback() {
    if (m_database == nullptr || !m_active)
        return false;
    m_active = false;
    if (!m_database->IsOpen())
        return false;
    return m_database->Execute("ROLLBACK") == SQLITE_OK;
}

} // namespace store
