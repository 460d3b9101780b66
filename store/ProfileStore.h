#pragma once

#include "store/SQLiteDB.h"
#include "store/StoreRecords.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <vector>

namespace store {

/// The one data store of the process: the profile database file and every operation on its
/// tables, plus the run-time selection state that the window and the device worker share.
///
/// Threads: the UI thread and the device worker call the table operations at the same time. One
/// mutex makes each operation (all its statements, and its transaction where it has one) atomic
/// with respect to the others; no operation calls another while holding it, so it need not be
/// recursive. Sequences of operations are not atomic as a whole. The run-time fields are atomics
/// and the cached key table has a mutex of its own, so reading them never waits for the database.
///
/// Results: operations never throw; failures are false, 0 or an empty list. Inserts return the
/// new row id, or 0. Without an open database every statement fails with 21 and every read is
/// empty.
class ProfileStore {
public:
    /// The keyboard's key table as last read from it (768 bytes, zero until read).
    using KeyTable = std::array<uint8_t, 768>;

    ProfileStore() = default;
    ProfileStore(const ProfileStore&) = delete;
    ProfileStore& operator=(const ProfileStore&) = delete;
    ~ProfileStore();

    // ---- The database file -------------------------------------------------------------------

    /// Opens <dataFolder>db/<name>_data_v5.db (the folder ends with '/'); creates it with the
    /// schema when it is missing. A file that is not a usable database is renamed aside and a
    /// fresh one created (see GetSetAsidePath). Makes the one-time backup db/data_bak.db when
    /// that file does not exist. False when the file cannot be opened (unreadable, locked).
    bool Open(const std::u16string& dataFolder, const std::u16string& name);
    /// Opens as Open does (without the backup) and empties every table; ids restart at 1.
    void OpenAndClear(const std::u16string& dataFolder, const std::u16string& name);
    /// Creates the database file at the current path with every table and index; true when the
    /// connection was already open or every statement succeeded.
    bool CreateSchema();
    /// Deletes every row of every table and restarts the id counters; the tables stay.
    void DeleteAll();
    bool IsOpened() const;
    /// The UTF-8 path of the database file (empty before Open).
    std::string GetPath() const;
    /// When the last Open found a damaged or foreign file and set it aside: where it now lies
    /// (UTF-8 path) and why; both empty otherwise. A user-visible notice reads these.
    std::string GetSetAsidePath() const;
    std::string GetSetAsideReason() const;

    // ---- Configuration values (t_config_data, profile 1) --------------------------------------

    /// Updates an existing value; a key without a row stays absent, and that still succeeds.
    bool SetConfigValue(const std::u16string& key, const std::u16string& value);
    /// True with the text when the key has a row. When the statement cannot run at all, value is
    /// "0" and an insert of "0" is attempted; false.
    bool GetConfigValue(const std::u16string& key, std::u16string& value);
    /// Inserts the nine first-start values (version, fn_layer, lightmode, ..., disable_altf4).
    void InsertConfigDefaults();

    // ---- Profiles (t_profile_data) --------------------------------------------------------------

    int AddProfile(const std::u16string& name);
    /// Leaves the profile's key assignments in the file.
    bool DeleteProfile(int id);
    bool RenameProfile(int id, const std::u16string& name);
    int ListProfiles(std::vector<ProfileEntry>& list);
    /// Makes exactly one profile current (status 1), in one transaction.
    bool SetCurrentProfile(int id);
    /// The first profile with status 1, or 0.
    int GetCurrentProfile();

    // ---- Key assignments (t_key_macro_data) and their texts (t_key_otherdata) -----------------

    /// Replaces the key's row (by profile, fn_layer, key_code) in one transaction; a macro_value
    /// of 0 only deletes it. Returns the new key_id, or 0 (also for key_code 0, which changes
    /// nothing, and on failure, which keeps the old row).
    int SaveKeyAssignment(const KeyAssignment& assignment);
    bool GetKeyAssignment(int profile, int fnLayer, int keyCode, KeyAssignment& assignment);
    int ListKeyAssignments(int profile, int fnLayer, std::vector<KeyAssignment>& list);
    int ListProfileKeyAssignments(int profile, std::vector<KeyAssignment>& list);
    /// Adds a launch-program / website / text entry; returns its id (the key's macro_value).
    int AddOtherData(const std::u16string& macroDesc, const std::u16string& param, int type);
    /// Always true; the outputs change only when the row exists.
    bool GetOtherData(int id, std::u16string& macroDesc, std::u16string& param, int& type);

    // ---- Light settings (t_light_data, profile 1) ----------------------------------------------

    int CountLightSettings();
    int AddLightSetting(const LightSetting& setting);
    /// Writes brightness to reserved of the mode's row; never name, mode, profile or status.
    bool UpdateLightSetting(int mode, const LightSetting& setting);
    /// Makes the mode's row the only current one, in one transaction.
    bool SetCurrentLightMode(int mode);
    /// The current row's mode, or 0.
    int GetCurrentLightMode();
    bool GetLightSetting(int mode, LightSetting& setting);
    int ListLightSettings(std::vector<LightSetting>& list);

    // ---- Per-key colours (t_key_light_data) ---------------------------------------------------

    /// Inserts the whole set or nothing: the number of records on success, 0 on any failure.
    int AddKeyColors(const std::vector<KeyColor>& colors);
    bool DeleteKeyColors(int lightId);
    int ListKeyColors(int lightId, std::vector<KeyColor>& list);

    // ---- Macros (t_macro_data) and their steps (t_macrorecord) ---------------------------------

    /// A macro played once with recorded delays (play_times 1, delay_type 1, delay_time 0).
    int AddEmptyMacro(const std::u16string& name);
    int AddMacro(const Macro& macro);
    bool RenameMacro(int id, const std::u16string& name);
    bool SetMacroLinkCount(int id, int count);
    /// Deletes the macro and its steps together; key assignments that use it stay.
    bool DeleteMacro(int id);
    bool GetMacro(int id, Macro& macro);
    /// In row id order: a macro's position is the number the keyboard knows it by.
    int ListMacros(std::vector<Macro>& list);
    /// Inserts the whole set or nothing; false on any failure.
    bool AddMacroSteps(const std::vector<MacroStep>& steps);
    /// In ascending record_index.
    int ListMacroSteps(int macroId, std::vector<MacroStep>& list);
    bool DeleteMacroSteps(int macroId);
    int CountAllMacroSteps();

    // ---- Music layers (t_musiclayer_data) ------------------------------------------------------

    int CountMusicLayers(int profile);
    /// Adds a layer under profile 1 with the default values (foremode 13, amplitude 100, ...).
    int AddMusicLayer(int profile, const std::u16string& name);
    bool GetMusicLayer(int layerId, MusicLayer& layer);
    bool UpdateMusicLayer(int layerId, const MusicLayer& layer);

    // ---- Run-time state shared by the UI thread and the device worker -------------------------
    // Not stored in the database.

    int GetDeviceIndex() const { return m_deviceIndex.load(); }
    void SetDeviceIndex(int index) { m_deviceIndex.store(index); }
    int GetCurrentProfileId() const { return m_currentProfileId.load(); }
    void SetCurrentProfileId(int id) { m_currentProfileId.store(id); }
    /// 0 = standard layer, 1 = FN layer.
    int GetCurrentLayer() const { return m_currentLayer.load(); }
    void SetCurrentLayer(int layer) { m_currentLayer.store(layer); }
    int GetCurrentLightModeId() const { return m_currentLightModeId.load(); }
    void SetCurrentLightModeId(int mode) { m_currentLightModeId.store(mode); }
    int GetCurrentMusicLayerId() const { return m_currentMusicLayerId.load(); }
    void SetCurrentMusicLayerId(int id) { m_currentMusicLayerId.store(id); }
    bool IsColorKeyboard() const { return m_colorKeyboard.load(); }
    void SetColorKeyboard(bool color) { m_colorKeyboard.store(color); }
    /// A copy of the cached key table.
    KeyTable GetKeyTable() const;
    void SetKeyTable(const KeyTable& table);
    /// Replaces part of the cached table; false (and nothing changed) when it does not fit.
    bool WriteKeyTable(size_t offset, std::span<const uint8_t> bytes);

private:
    enum class FileCheck { Usable, NeedsSchema, Damaged, Unavailable };

    bool OpenLocked(const std::u16string& dataFolder, const std::u16string& name);
    bool CreateSchemaLocked();
    void DeleteAllLocked();
    FileCheck CheckOpenedFile(std::string& reason);
    bool SetDamagedFileAside(const std::string& reason);
    void MakeBackupIfMissing(const std::u16string& dataFolder);

    mutable std::mutex m_mutex; // guards every member below up to the run-time fields
    SQLiteDB m_db;
    std::string m_path;
    bool m_opened = false;
    std::string m_setAsidePath;
    std::string m_setAsideReason;

    std::atomic<int> m_deviceIndex{-1};
    std::atomic<int> m_currentProfileId{1};
    std::atomic<int> m_currentLayer{0};
    std::atomic<int> m_currentLightModeId{1};
    std::atomic<int> m_currentMusicLayerId{1};
    std::atomic<bool> m_colorKeyboard{true};
    mutable std::mutex m_keyTableMutex;
    KeyTable m_keyTable{};
};

} // namespace store
