#pragma once

#include "store/SQLiteDB.h"

#include <string>
#include <string_view>

// Small helpers shared by the store's operation files: prepare one statement, bind its
// parameters by position and step it. A failed Prepare leaves no statement, so binding is skipped
// and the Step answers 21.
namespace store::query {

inline void BindOne(SQLiteStatement& statement, int index, int value) {
    statement.BindInt(index, value);
}

inline void BindOne(SQLiteStatement& statement, int index, std::u16string_view text) {
    statement.BindText16(index, text);
}

inline void BindAll(SQLiteStatement&, int) {}

template <typename First, typename... Rest>
void BindAll(SQLiteStatement& statement, int index, const First& first, const Rest&... rest) {
    BindOne(statement, index, first);
    BindAll(statement, index + 1, rest...);
}

/// Prepares the SQL, binds the arguments as parameters 1, 2, ... and returns the first step.
template <typename... Args>
int Run(SQLiteDB& db, SQLiteStatement& statement, const char* sql, const Args&... args) {
    db.Prepare(statement, sql, -1);
    BindAll(statement, 1, args...);
    return statement.Step();
}

/// Runs a statement that returns no rows; true when it succeeded.
template <typename... Args>
bool Exec(SQLiteDB& db, const char* sql, const Args&... args) {
    SQLiteStatement statement;
    return IsStepSuccess(Run(db, statement, sql, args...));
}

/// Runs an INSERT; the new row id, or 0 when it failed.
template <typename... Args>
int Insert(SQLiteDB& db, const char* sql, const Args&... args) {
    SQLiteStatement statement;
    if (Run(db, statement, sql, args...) != kSqliteDone)
        return 0;
    return static_cast<int>(db.LastInsertRowId());
}

/// Runs a "select count(*)"; the count, or 0.
template <typename... Args>
int Count(SQLiteDB& db, const char* sql, const Args&... args) {
    SQLiteStatement statement;
    if (Run(db, statement, sql, args...) != kSqliteRow)
        return 0;
    return statement.ColumnInt(0);
}

/// Runs a query and hands each row to read(statement); returns the number of rows.
template <typename Read, typename... Args>
int ForEachRow(SQLiteDB& db, Read&& read, const char* sql, const Args&... args) {
    SQLiteStatement statement;
    int rows = 0;
    for (int result = Run(db, statement, sql, args...); result == kSqliteRow; result = statement.Step()) {
        read(statement);
        ++rows;
    }
    return rows;
}

/// Runs a query and hands its first row (if any) to read(statement); true when there was one.
template <typename Read, typename... Args>
bool FirstRow(SQLiteDB& db, Read&& read, const char* sql, const Args&... args) {
    SQLiteStatement statement;
    if (Run(db, statement, sql, args...) != kSqliteRow)
        return false;
    read(statement);
    return true;
}

} // namespace store::query
