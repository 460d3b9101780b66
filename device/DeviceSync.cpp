#include "device/DeviceSync.h"

#include "base/Clock.h"
#include "base/Log.h"
#include "device/DeviceList.h"
#include "device/KeyPositionTable.h"
#include "model/KeyFunctions.h"
#include "store/ProfileStore.h"

#include <algorithm>
#include <string>

namespace device {

namespace {

// Every procedure talks to the one opened interface.
constexpr int kInterface = 0;
// The keyboard needs a moment between the chunks of a read during the synchronisation.
constexpr uint32_t kReadPauseMs = 8;
constexpr uint32_t kFactoryResetWaitMs = 2500;
// Long waits are cut into slices so that a stop request ends them early.
constexpr uint32_t kSleepSliceMs = 50;

constexpr int kCustomLightId = 0; // key colours of the custom light mode

bool IsEntryEqual(const KeyTable& a, const KeyTable& b, size_t offset) {
    return std::equal(a.begin() + offset, a.begin() + offset + 3, b.begin() + offset);
}

} // namespace

DeviceSync::DeviceSync(DeviceList& list, store::ProfileStore& store, base::Clock& clock, PageRefresher& pages)
    : m_list(list), m_store(store), m_clock(clock), m_pages(pages) {}

bool DeviceSync::Send(HidReport report) {
    return !m_stopRequested && m_list.SendReport(report, kInterface);
}

bool DeviceSync::Query(HidReport& report) {
    return !m_stopRequested && m_list.QueryReport(report, kInterface);
}

bool DeviceSync::SendFast(HidReport report) {
    return !m_stopRequested && m_list.SendReportFast(report, kInterface);
}

void DeviceSync::WaitMs(uint32_t milliseconds) {
    while (milliseconds > 0 && !m_stopRequested) {
        const uint32_t slice = std::min(milliseconds, kSleepSliceMs);
        m_clock.SleepMs(slice);
        milliseconds -= slice;
    }
}

bool DeviceSync::SendBlock(uint8_t command, std::span<const uint8_t> block) {
    bool all = true;
    const size_t chunks = BlockChunkCount(block.size());
    for (size_t i = 0; i < chunks; ++i)
        all = Send(BuildBlockChunk(i, command, block.size(), block)) && all;
    return all;
}

bool DeviceSync::ReadTable(uint8_t command, KeyTable& table, uint32_t pauseMs) {
    bool complete = true;
    const size_t chunks = BlockChunkCount(table.size());
    for (size_t i = 0; i < chunks; ++i) {
        HidReport report = BuildBlockChunk(i, command, table.size());
        // A reply to another chunk (a late one) is no answer to this one.
        if (Query(report) && IsChunkReply(report, command, i))
            CopyChunkReply(report, i, table);
        else
            complete = false;
        WaitMs(pauseMs);
    }
    return complete;
}

bool DeviceSync::IsSettingOn(const char16_t* key) {
    std::u16string value;
    return m_store.GetConfigValue(key, value) && value == u"1";
}

bool DeviceSync::FullSynchronisation() {
    m_pages.FillProfileList();
    const bool read = ReadKeyTables();
    m_pages.RefreshKeyPage();
    m_pages.RefreshMacroList();
    m_pages.RefreshLightModes();
    m_pages.RefreshGameModeBoxes(IsSettingOn(u"disable_win"), IsSettingOn(u"disable_alttab"),
                                 IsSettingOn(u"disable_altf4"));
    return read;
}

bool DeviceSync::ReadKeyTables() {
    Send(BuildBegin());
    KeyTable current{};
    KeyTable defaults{};
    const bool currentWhole = ReadTable(CmdReadKeys, current, kReadPauseMs);
    const bool defaultsWhole = ReadTable(CmdReadDefaultKeys, defaults, 0);
    // Comparing against a table with holes would take every missing entry for a default one and
    // delete the user's key functions, so an incomplete read changes nothing.
    const bool whole = currentWhole && defaultsWhole;
    if (whole) {
        m_store.SetKeyTable(current);
        Reconcile(current, defaults);
    } else {
        base::LogWarning("device", "the key tables could not be read whole; stored key functions kept");
    }
    Send(BuildEnd());
    return whole;
}

void DeviceSync::Reconcile(const KeyTable& current, const KeyTable& defaults) {
    const int profile = m_store.GetCurrentProfileId();
    std::vector<store::KeyAssignment> stored;
    m_store.ListProfileKeyAssignments(profile, stored);
    for (const store::KeyAssignment& assignment : stored) {
        const int position = KeyCodeToPosition(static_cast<uint32_t>(assignment.key_code));
        if (position < 0 || (assignment.fn_layer != 0 && assignment.fn_layer != 1))
            continue;
        if (!IsEntryEqual(current, defaults, static_cast<size_t>(6 * position + 3 * assignment.fn_layer)))
            continue;
        // The keyboard does not hold this function (its entry is the default): forget it.
        store::KeyAssignment removal;
        removal.profile = profile;
        removal.fn_layer = assignment.fn_layer;
        removal.key_code = assignment.key_code;
        m_store.SaveKeyAssignment(removal);
    }
}

bool DeviceSync::WriteKeyTable() {
    Send(BuildBegin());
    store::ProfileStore::KeyTable cache = m_store.GetKeyTable();
    if (cache[0] == 0 && cache[1] == 0 && cache[2] == 0) {
        // Never read: every key we do not set is written back as the keyboard holds it, so we
        // need its table first. Without it, writing would wipe the keys we do not set.
        if (!ReadTable(CmdReadKeys, cache, 0)) {
            base::LogWarning("device", "the key table could not be read; nothing written");
            Send(BuildEnd());
            return false;
        }
        m_store.SetKeyTable(cache);
    }

    // Keys of macros that did not fit the keyboard's macro area must not name a slot it does
    // not hold; the encoder leaves the entries of unknown macros as they were.
    const std::vector<MacroWithSteps> macros = LoadMacros();
    const MacroArea area = BuildMacroArea(macros, model::VirtualKeyToKeyCode);
    std::vector<int> macroIds;
    for (int i = 0; i < area.sentMacroCount; ++i)
        macroIds.push_back(macros[static_cast<size_t>(i)].macroId);

    KeyTable work = cache;
    const int profile = m_store.GetCurrentProfileId();
    for (int layer = 0; layer <= 1; ++layer) {
        std::vector<store::KeyAssignment> assignments;
        m_store.ListKeyAssignments(profile, layer, assignments);
        for (const store::KeyAssignment& assignment : assignments) {
            const int position = KeyCodeToPosition(static_cast<uint32_t>(assignment.key_code));
            if (assignment.macro_type == 0 || position < 0)
                continue;
            model::EncodeKeyEntry({assignment.macro_type, assignment.macro_value, assignment.macro_value2},
                                  KeyTableEntry(work, position, layer), macroIds);
        }
    }
    const bool sent = SendBlock(CmdWriteKeys, work);
    Send(BuildEnd());
    return sent;
}

std::vector<MacroWithSteps> DeviceSync::LoadMacros() {
    std::vector<store::Macro> macros;
    m_store.ListMacros(macros);
    std::vector<MacroWithSteps> result(macros.size());
    for (size_t i = 0; i < macros.size(); ++i) {
        result[i].macroId = macros[i].macro_id;
        m_store.ListMacroSteps(macros[i].macro_id, result[i].steps);
    }
    return result;
}

MacroArea DeviceSync::WriteMacros() {
    Send(BuildBegin());
    MacroArea area = BuildMacroArea(LoadMacros(), model::VirtualKeyToKeyCode);
    if (!area.IsComplete())
        base::LogWarning("device", "the keyboard's macro area cannot hold every macro; " +
                                       std::to_string(area.sentMacroCount) + " of " +
                                       std::to_string(area.macroCount) + " sent");
    SendBlock(CmdWriteMacros, area.bytes);
    Send(BuildEnd());
    {
        std::lock_guard lock(m_summaryMutex);
        m_lastMacroWrite = area;
        m_lastMacroWrite.bytes.clear();
    }
    return area;
}

MacroArea DeviceSync::GetLastMacroWrite() const {
    std::lock_guard lock(m_summaryMutex);
    return m_lastMacroWrite;
}

bool DeviceSync::WriteSettingsBlock() {
    const int mode = m_store.GetCurrentLightModeId();
    store::LightSetting light;
    const bool hasLight = m_store.GetLightSetting(mode, light);
    const uint8_t gameBits = GameModeBits(IsSettingOn(u"disable_win"), IsSettingOn(u"disable_alttab"),
                                          IsSettingOn(u"disable_altf4"));

    Send(BuildBegin());
    HidReport reply = BuildSettingsRead();
    bool written = false;
    if (Query(reply) && IsSettingsReply(reply)) {
        SettingsBlockFields fields;
        if (hasLight) {
            fields = SettingsFromLight(mode, light, gameBits);
        } else {
            // No stored setting for the mode: keep the keyboard's light fields (reply data
            // offsets 3 to 10) and change only the mode and the game-mode bits.
            const uint8_t* block = reply.data() + HidReport::kReplyData;
            fields = {static_cast<uint8_t>(mode),
                      block[3],
                      block[4],
                      block[5],
                      block[6],
                      block[7],
                      static_cast<uint32_t>(block[8] | block[9] << 8 | block[10] << 16),
                      gameBits};
        }
        written = Send(BuildSettingsWrite(reply, fields));
    } else {
        base::LogWarning("device", "the settings block could not be read; nothing written");
    }
    Send(BuildEnd());
    return written;
}

bool DeviceSync::WriteKeyColors() {
    std::vector<store::KeyColor> stored;
    m_store.ListKeyColors(kCustomLightId, stored);
    std::vector<KeyColorValue> colors;
    colors.reserve(stored.size());
    for (const store::KeyColor& color : stored)
        colors.push_back({static_cast<uint32_t>(color.key_code), static_cast<uint32_t>(color.key_rgb)});
    const KeyColorTable table = BuildKeyColorTable(colors);

    Send(BuildBegin());
    const bool sent = SendBlock(CmdWriteColors, table);
    Send(BuildEnd());
    return sent;
}

void DeviceSync::FactoryReset() {
    Send(BuildFactoryReset());
    WaitMs(kFactoryResetWaitMs);
    FullSynchronisation();
}

bool DeviceSync::SendMusicFrame(MusicFrameSource& source) {
    const MusicFrame frame = source.NextFrame();
    if (!frame.anyColorAboveOne)
        return false;
    const KeyColorTable table = BuildKeyColorTable(frame.colors);
    SendFast(BuildBegin());
    const size_t chunks = BlockChunkCount(table.size());
    for (size_t i = 0; i < chunks; ++i) {
        if (!SendFast(BuildBlockChunk(i, CmdStreamColors, table.size(), table)))
            return false;
    }
    SendFast(BuildEnd());
    return true;
}

} // namespace device
