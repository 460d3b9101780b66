// Light settings (t_light_data), per-key colours (t_key_light_data) and music layers
// (t_musiclayer_data). Lighting is not per profile: every row lives under profile 1.
#include "store/ProfileStore.h"
#include "store/StoreQuery.h"

namespace store {

namespace {

LightSetting ReadLightSetting(const SQLiteStatement& row) {
    LightSetting setting;
    setting.light_id = row.ColumnInt(0);
    setting.profile = row.ColumnInt(1);
    setting.name = row.ColumnText16(2);
    setting.mode = row.ColumnInt(3);
    setting.brightness = row.ColumnInt(4);
    setting.speed = row.ColumnInt(5);
    setting.direction = row.ColumnInt(6);
    setting.colorful = row.ColumnInt(7);
    setting.colorindex = row.ColumnInt(8);
    setting.color_value = row.ColumnInt(9);
    setting.config_func = row.ColumnInt(10);
    setting.reserved = row.ColumnInt(11);
    setting.status = row.ColumnInt(12);
    return setting;
}

KeyColor ReadKeyColor(const SQLiteStatement& row) {
    return {row.ColumnInt(0), row.ColumnInt(1), row.ColumnInt(2), row.ColumnInt(3), row.ColumnInt(4)};
}

MusicLayer ReadMusicLayer(const SQLiteStatement& row) {
    MusicLayer layer;
    layer.layer_id = row.ColumnInt(0);
    layer.profile = row.ColumnInt(1);
    layer.name = row.ColumnText16(2);
    layer.deviceindex = row.ColumnInt(3);
    layer.foremode = row.ColumnInt(4);
    layer.fore_amplitude = row.ColumnInt(5);
    layer.backmode = row.ColumnInt(6);
    layer.backb_right = row.ColumnInt(7);
    return layer;
}

} // namespace

// ---- Light settings -------------------------------------------------------------------------------

int ProfileStore::CountLightSettings() {
    std::lock_guard lock(m_mutex);
    return query::Count(m_db, "select count(*) FROM t_light_data WHERE profile = ?", 1);
}

int ProfileStore::AddLightSetting(const LightSetting& s) {
    std::lock_guard lock(m_mutex);
    return query::Insert(
        m_db,
        "INSERT INTO t_light_data(profile, name, mode, brightness, speed, direction, colorful, "
        "colorindex, color_value, config_func, reserved, status) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?);",
        s.profile, s.name, s.mode, s.brightness, s.speed, s.direction, s.colorful, s.colorindex,
        s.color_value, s.config_func, s.reserved, s.status);
}

bool ProfileStore::UpdateLightSetting(int mode, const LightSetting& s) {
    std::lock_guard lock(m_mutex);
    return query::Exec(m_db,
                       "UPDATE t_light_data SET brightness = ?, speed = ?, direction = ?, colorful = ?, "
                       "colorindex = ?, color_value = ?, config_func = ?, reserved = ? "
                       "WHERE profile = ? AND mode = ?",
                       s.brightness, s.speed, s.direction, s.colorful, s.colorindex, s.color_value,
                       s.config_func, s.reserved, 1, mode);
}

bool ProfileStore::SetCurrentLightMode(int mode) {
    std::lock_guard lock(m_mutex);
    // Both updates commit together, so the table never rests with no current mode.
    SQLiteAutoTransaction transaction(&m_db);
    if (!transaction.Began())
        return false;
    query::Exec(m_db, "UPDATE t_light_data SET status = ?", 0);
    if (!query::Exec(m_db, "UPDATE t_light_data SET status = ? WHERE profile = ? and mode = ?", 1, 1, mode)) {
        transaction.Rollback();
        return false;
    }
    return transaction.Commit();
}

int ProfileStore::GetCurrentLightMode() {
    std::lock_guard lock(m_mutex);
    int mode = 0;
    query::FirstRow(
        m_db, [&](const SQLiteStatement& row) { mode = row.ColumnInt(0); },
        "SELECT mode FROM t_light_data WHERE profile = ? and status = ?", 1, 1);
    return mode;
}

bool ProfileStore::GetLightSetting(int mode, LightSetting& setting) {
    std::lock_guard lock(m_mutex);
    return query::FirstRow(
        m_db, [&](const SQLiteStatement& row) { setting = ReadLightSetting(row); },
        "SELECT * FROM t_light_data WHERE profile = ? AND mode = ?", 1, mode);
}

int ProfileStore::ListLightSettings(std::vector<LightSetting>& list) {
    std::lock_guard lock(m_mutex);
    list.clear();
    return query::ForEachRow(
        m_db, [&](const SQLiteStatement& row) { list.push_back(ReadLightSetting(row)); },
        "SELECT * FROM t_light_data WHERE profile = ?", 1);
}

// ---- Per-key colours ------------------------------------------------------------------------------

int ProfileStore::AddKeyColors(const std::vector<KeyColor>& colors) {
    std::lock_guard lock(m_mutex);
    // A colour set is complete or absent: one transaction, undone on the first failure.
    SQLiteAutoTransaction transaction(&m_db);
    if (!transaction.Began())
        return 0;
    SQLiteStatement statement;
    m_db.Prepare(statement,
                 "INSERT INTO t_key_light_data(profile, light_id, key_code, key_rgb) VALUES (?, ?, ?, ?);");
    for (const KeyColor& color : colors) {
        statement.Reset();
        query::BindAll(statement, 1, color.profile, color.light_id, color.key_code, color.key_rgb);
        if (statement.Step() != kSqliteDone) {
            transaction.Rollback();
            return 0;
        }
    }
    return transaction.Commit() ? static_cast<int>(colors.size()) : 0;
}

bool ProfileStore::DeleteKeyColors(int lightId) {
    std::lock_guard lock(m_mutex);
    return query::Exec(m_db, "DELETE FROM t_key_light_data WHERE light_id = ?", lightId);
}

int ProfileStore::ListKeyColors(int lightId, std::vector<KeyColor>& list) {
    std::lock_guard lock(m_mutex);
    list.clear();
    return query::ForEachRow(
        m_db, [&](const SQLiteStatement& row) { list.push_back(ReadKeyColor(row)); },
        "SELECT * FROM t_key_light_data WHERE light_id = ?", lightId);
}

// ---- Music layers ---------------------------------------------------------------------------------

int ProfileStore::CountMusicLayers(int profile) {
    std::lock_guard lock(m_mutex);
    return query::Count(m_db, "select count(*) FROM t_musiclayer_data WHERE profile = ?", profile);
}

int ProfileStore::AddMusicLayer(int /*profile*/, const std::u16string& name) {
    std::lock_guard lock(m_mutex);
    // Music layers live under profile 1 like all lighting, whatever the caller passes.
    return query::Insert(
        m_db,
        "INSERT INTO t_musiclayer_data(profile, name, deviceindex, foremode, fore_amplitude, "
        "backmode, backb_right, sel) VALUES (?, ?, ?, ?, ?, ?, ?, ?);",
        1, name, 0, 13, 100, 0, 10, 0);
}

bool ProfileStore::GetMusicLayer(int layerId, MusicLayer& layer) {
    std::lock_guard lock(m_mutex);
    return query::FirstRow(
        m_db, [&](const SQLiteStatement& row) { layer = ReadMusicLayer(row); },
        "SELECT * FROM t_musiclayer_data WHERE layer_id = ?", layerId);
}

bool ProfileStore::UpdateMusicLayer(int layerId, const MusicLayer& layer) {
    std::lock_guard lock(m_mutex);
    return query::Exec(m_db,
                       "UPDATE t_musiclayer_data SET deviceindex= ?, foremode= ?, fore_amplitude = ?, "
                       "backmode= ?, backb_right= ? WHERE layer_id = ?",
                       layer.deviceindex, layer.foremode, layer.fore_amplitude, layer.backmode,
                       layer.backb_right, layerId);
}

} // namespace store
