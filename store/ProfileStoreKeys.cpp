// Key assignments (t_key_macro_data) and the texts of launch-program, website and send-text
// functions (t_key_otherdata).
#include "store/ProfileStore.h"
#include "store/StoreQuery.h"

namespace store {

namespace {

KeyAssignment ReadKeyAssignment(const SQLiteStatement& row) {
    KeyAssignment assignment;
    assignment.key_id = row.ColumnInt(0);
    assignment.profile = row.ColumnInt(1);
    assignment.fn_layer = row.ColumnInt(2);
    assignment.key_code = row.ColumnInt(3);
    assignment.layout_value = row.ColumnInt(4);
    assignment.layout_desc = row.ColumnText16(5);
    assignment.macro_type = row.ColumnInt(6);
    assignment.macro_value = row.ColumnInt(7);
    assignment.macro_value2 = row.ColumnInt(8);
    assignment.macro_value3 = row.ColumnInt(9);
    assignment.macro_desc = row.ColumnText16(10);
    return assignment;
}

} // namespace

int ProfileStore::SaveKeyAssignment(const KeyAssignment& a) {
    if (a.key_code == 0)
        return 0;
    std::lock_guard lock(m_mutex);
    // The delete and the insert commit together: a crash between them must not lose the key's
    // function. A macro_value of 0 means "the keyboard's default", which is stored as no row.
    // Without the transaction the delete would commit alone and a failing insert would lose it.
    SQLiteAutoTransaction transaction(&m_db);
    if (!transaction.Began())
        return 0;
    if (!query::Exec(m_db, "DELETE FROM t_key_macro_data WHERE profile = ? and fn_layer = ? and key_code = ?",
                     a.profile, a.fn_layer, a.key_code)) {
        transaction.Rollback();
        return 0;
    }
    int id = 0;
    if (a.macro_value != 0) {
        id = query::Insert(
            m_db,
            "INSERT INTO t_key_macro_data(profile, fn_layer, key_code, layout_value, layout_desc, "
            "macro_type, macro_value, macro_value2, macro_value3, macro_desc) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?);",
            a.profile, a.fn_layer, a.key_code, a.layout_value, a.layout_desc, a.macro_type, a.macro_value,
            a.macro_value2, a.macro_value3, a.macro_desc);
        if (id == 0) {
            // Keep the old row rather than leave the key with nothing.
            transaction.Rollback();
            return 0;
        }
    }
    return transaction.Commit() ? id : 0;
}

bool ProfileStore::GetKeyAssignment(int profile, int fnLayer, int keyCode, KeyAssignment& assignment) {
    std::lock_guard lock(m_mutex);
    return query::FirstRow(
        m_db, [&](const SQLiteStatement& row) { assignment = ReadKeyAssignment(row); },
        "SELECT * FROM t_key_macro_data WHERE profile = ? and fn_layer = ? and key_code = ?", profile,
        fnLayer, keyCode);
}

int ProfileStore::ListKeyAssignments(int profile, int fnLayer, std::vector<KeyAssignment>& list) {
    std::lock_guard lock(m_mutex);
    list.clear();
    return query::ForEachRow(
        m_db, [&](const SQLiteStatement& row) { list.push_back(ReadKeyAssignment(row)); },
        "SELECT * FROM t_key_macro_data WHERE profile = ? and fn_layer = ?", profile, fnLayer);
}

int ProfileStore::ListProfileKeyAssignments(int profile, std::vector<KeyAssignment>& list) {
    std::lock_guard lock(m_mutex);
    list.clear();
    return query::ForEachRow(
        m_db, [&](const SQLiteStatement& row) { list.push_back(ReadKeyAssignment(row)); },
        "SELECT * FROM t_key_macro_data WHERE profile = ?", profile);
}

int ProfileStore::AddOtherData(const std::u16string& macroDesc, const std::u16string& param, int type) {
    std::lock_guard lock(m_mutex);
    return query::Insert(m_db, "INSERT INTO t_key_otherdata(macro_desc, param, type) VALUES (?, ?, ?);",
                         macroDesc, param, type);
}

bool ProfileStore::GetOtherData(int id, std::u16string& macroDesc, std::u16string& param, int& type) {
    std::lock_guard lock(m_mutex);
    query::FirstRow(
        m_db,
        [&](const SQLiteStatement& row) {
            macroDesc = row.ColumnText16(0);
            param = row.ColumnText16(1);
            type = row.ColumnInt(2);
        },
        "SELECT macro_desc, param, type FROM t_key_otherdata WHERE macro_value = ?", id);
    return true;
}

} // namespace store
