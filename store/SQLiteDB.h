#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

// A thin RAII layer over the SQLite C library. Every operation answers with SQLite's own result
// code; 21 (SQLITE_MISUSE) stands for "no connection" or "no prepared statement", so a failed
// Prepare surfaces as 21 at the following Step and is never mistaken for an empty success.
namespace store {

/// SQLite result codes the store looks at.
inline constexpr int kSqliteOk = 0;
inline constexpr int kSqliteMisuse = 21;
inline constexpr int kSqliteRow = 100;
inline constexpr int kSqliteDone = 101;

/// A step counts as successful when it returned OK, ROW or DONE.
inline bool IsStepSuccess(int result) {
    return result == kSqliteOk || result == kSqliteRow || result == kSqliteDone;
}

class SQLiteStatement;

/// One connection to a database file.
class SQLiteDB {
public:
    using RowCallback = int (*)(void* argument, int columns, char** values, char** names);

    SQLiteDB() = default;
    SQLiteDB(const SQLiteDB&) = delete;
    SQLiteDB& operator=(const SQLiteDB&) = delete;
    /// Interrupts running statements and closes the connection.
    virtual ~SQLiteDB();

    /// Closes any open connection, then opens the UTF-8 path with SQLite's open flags and sets the
    /// durability settings (see the source). False for an empty path or when SQLite refuses; the
    /// SQLite result code of the failure is kept in LastOpenResult().
    ///
    /// The write-ahead log is the default. A target of the online backup must keep the rollback
    /// journal: SQLite cannot back up into a logged database whose page size differs from the
    /// source's, and a new file gets the default page size, not the source's.
    enum class Journal { WriteAheadLog, Rollback };
    bool Open(const std::string& path, int flags, Journal journal = Journal::WriteAheadLog);
    /// Closes the connection; false only when one existed and could not be closed (it is kept).
    bool Close();
    bool IsOpen() const { return m_connection != nullptr; }

    /// Prepares UTF-8 SQL into the statement, finalizing its previous handle first. A negative
    /// length measures the text. 21 without a connection or SQL.
    int Prepare(SQLiteStatement& statement, const char* sql, int length = -1);
    /// Runs one or more statements; the callback (if any) sees each result row. 21 without a
    /// connection or SQL.
    int Execute(const char* sql, RowCallback callback = nullptr, void* argument = nullptr);
    /// The row id of the last successful insert on this connection, or -1 without a connection.
    int64_t LastInsertRowId() const;
    /// SQLite's text for the last failure on this connection (empty without one).
    std::string LastErrorText() const;
    int LastOpenResult() const { return m_lastOpenResult; }
    /// The raw handle, for the online backup and other calls this wrapper does not cover; owned
    /// by this object and valid until Close or Open.
    sqlite3* Handle() const { return m_connection.get(); }

private:
    struct ConnectionDeleter {
        void operator()(sqlite3* connection) const;
    };
    std::unique_ptr<sqlite3, ConnectionDeleter> m_connection;
    int m_lastOpenResult = kSqliteOk;
};

/// One prepared statement; the destructor finalizes it.
class SQLiteStatement {
public:
    SQLiteStatement() = default;
    SQLiteStatement(const SQLiteStatement&) = delete;
    SQLiteStatement& operator=(const SQLiteStatement&) = delete;
    virtual ~SQLiteStatement() = default;

    /// Parameter indexes are 1-based; each returns 21 without a statement.
    int BindInt(int index, int value);
    /// Binds a copy of the UTF-8 bytes, so the caller need not keep them alive.
    int BindText(int index, std::string_view utf8);
    /// Converts the UTF-16 text to UTF-8 and binds it.
    int BindText16(int index, std::u16string_view text);
    int Step();
    /// Makes the statement ready to run again with new bindings.
    int Reset();

    /// Columns are 0-based; without a statement 0 or empty. NULL text reads as empty.
    int ColumnInt(int column) const;
    std::string ColumnText(int column) const;
    std::u16string ColumnText16(int column) const;

    bool IsPrepared() const { return m_statement != nullptr; }

private:
    friend class SQLiteDB;
    struct StatementDeleter {
        void operator()(sqlite3_stmt* statement) const;
    };
    std::unique_ptr<sqlite3_stmt, StatementDeleter> m_statement;
};

/// A scoped transaction. The destructor ends (commits) a transaction still active, so a scope
/// left early keeps what was done; callers that need all-or-nothing call Rollback on failure.
class SQLiteAutoTransaction {
public:
    /// Begins a transaction when the database has a connection; the object is active whenever a
    /// database is given.
    explicit SQLiteAutoTransaction(SQLiteDB* database);
    SQLiteAutoTransaction(const SQLiteAutoTransaction&) = delete;
    SQLiteAutoTransaction& operator=(const SQLiteAutoTransaction&) = delete;
    virtual ~SQLiteAutoTransaction();

    /// False without a database, when already active, without a connection, or when BEGIN fails.
    bool Begin();
    /// Ends the transaction; false without a database or connection or when END fails. A failed
    /// END leaves SQLite's transaction open, so it is rolled back then.
    bool Commit();
    /// Undoes everything since the last Begin; false without a database, connection or active
    /// transaction.
    bool Rollback();
    /// Whether the last BEGIN (of the constructor or of Begin) succeeded.
    bool Began() const { return m_began; }
    bool IsActive() const { return m_active; }

private:
    SQLiteDB* m_database = nullptr;
    bool m_active = false;
    bool m_began = false;
};

} // namespace store
