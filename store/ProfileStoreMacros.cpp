// Macros (t_macro_data) and their recorded steps (t_macrorecord). Macros are global, not per
// profile.
#include "store/ProfileStore.h"
#include "store/StoreQuery.h"

namespace store {

namespace {

constexpr const char* kInsertMacro =
    "INSERT INTO t_macro_data(play_times, delay_type, delay_time, link_count, name) VALUES (?, ?, ?, ?, ?);";

Macro ReadMacro(const SQLiteStatement& row) {
    Macro macro;
    macro.macro_id = row.ColumnInt(0);
    macro.play_times = row.ColumnInt(1);
    macro.delay_type = row.ColumnInt(2);
    macro.delay_time = row.ColumnInt(3);
    macro.link_count = row.ColumnInt(4);
    macro.name = row.ColumnText16(5);
    return macro;
}

MacroStep ReadMacroStep(const SQLiteStatement& row) {
    MacroStep step;
    step.record_id = row.ColumnInt(0);
    step.macro_id = row.ColumnInt(1);
    step.type = row.ColumnInt(2);
    step.record_index = row.ColumnInt(3);
    step.desc = row.ColumnText16(4);
    step.value = row.ColumnInt(5);
    step.delay_time = row.ColumnInt(6);
    return step;
}

} // namespace

int ProfileStore::AddEmptyMacro(const std::u16string& name) {
    std::lock_guard lock(m_mutex);
    return query::Insert(m_db, kInsertMacro, 1, 1, 0, 0, name);
}

int ProfileStore::AddMacro(const Macro& macro) {
    std::lock_guard lock(m_mutex);
    return query::Insert(m_db, kInsertMacro, macro.play_times, macro.delay_type, macro.delay_time,
                         macro.link_count, macro.name);
}

bool ProfileStore::RenameMacro(int id, const std::u16string& name) {
    std::lock_guard lock(m_mutex);
    return query::Exec(m_db, "UPDATE t_macro_data SET name = ? WHERE macro_id = ?", name, id);
}

bool ProfileStore::SetMacroLinkCount(int id, int count) {
    std::lock_guard lock(m_mutex);
    return query::Exec(m_db, "UPDATE t_macro_data SET link_count = ? WHERE macro_id = ?", count, id);
}

bool ProfileStore::DeleteMacro(int id) {
    std::lock_guard lock(m_mutex);
    // The macro and its steps go together or not at all; orphaned steps would stay forever.
    SQLiteAutoTransaction transaction(&m_db);
    if (!transaction.Began())
        return false;
    if (!query::Exec(m_db, "DELETE FROM t_macro_data WHERE macro_id = ?", id) ||
        !query::Exec(m_db, "DELETE FROM t_macrorecord WHERE macro_id = ?", id)) {
        transaction.Rollback();
        return false;
    }
    return transaction.Commit();
}

bool ProfileStore::GetMacro(int id, Macro& macro) {
    std::lock_guard lock(m_mutex);
    return query::FirstRow(
        m_db, [&](const SQLiteStatement& row) { macro = ReadMacro(row); },
        "SELECT * FROM t_macro_data WHERE macro_id = ?", id);
}

int ProfileStore::ListMacros(std::vector<Macro>& list) {
    std::lock_guard lock(m_mutex);
    list.clear();
    return query::ForEachRow(
        m_db, [&](const SQLiteStatement& row) { list.push_back(ReadMacro(row)); },
        "SELECT * FROM t_macro_data");
}

bool ProfileStore::AddMacroSteps(const std::vector<MacroStep>& steps) {
    std::lock_guard lock(m_mutex);
    // A macro's steps are stored whole or not at all: one transaction, undone on any failure.
    SQLiteAutoTransaction transaction(&m_db);
    if (!transaction.Began())
        return false;
    SQLiteStatement statement;
    m_db.Prepare(statement,
                 "INSERT INTO t_macrorecord(macro_id, type, record_index, desc, value, delay_time) "
                 "VALUES (?, ?, ?, ?, ?, ?);");
    for (const MacroStep& step : steps) {
        statement.Reset();
        query::BindAll(statement, 1, step.macro_id, step.type, step.record_index, step.desc, step.value,
                       step.delay_time);
        if (statement.Step() != kSqliteDone) {
            transaction.Rollback();
            return false;
        }
    }
    return transaction.Commit();
}

int ProfileStore::ListMacroSteps(int macroId, std::vector<MacroStep>& list) {
    std::lock_guard lock(m_mutex);
    list.clear();
    return query::ForEachRow(
        m_db, [&](const SQLiteStatement& row) { list.push_back(ReadMacroStep(row)); },
        "SELECT * FROM t_macrorecord WHERE macro_id = ? ORDER BY record_index ASC", macroId);
}

bool ProfileStore::DeleteMacroSteps(int macroId) {
    std::lock_guard lock(m_mutex);
    return query::Exec(m_db, "DELETE FROM t_macrorecord WHERE macro_id = ?", macroId);
}

int ProfileStore::CountAllMacroSteps() {
    std::lock_guard lock(m_mutex);
    return query::Count(m_db, "select count(*) FROM t_macrorecord");
}

} // namespace store
