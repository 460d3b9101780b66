#pragma once

#include "device/CommandPackets.h"
#include "device/KeyPositionTable.h"
#include "device/MusicFrameSource.h"
#include "device/PageRefresher.h"
#include "device/sim/SimKeyboard.h"
#include "store/ProfileStore.h"
#include "tests/store/StoreTestSupport.h"

#include <algorithm>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

// What the synchronisation tests share: pages that record what was refreshed, a music source
// that hands out prepared frames, and small builders of stored rows and keyboard bytes.
namespace synctest {

inline constexpr uint16_t kVid = 0x3F51;
inline constexpr uint16_t kPid = 0x5A09;

class RecordingPages : public device::PageRefresher {
public:
    void FillProfileList() override { Record("profiles"); }
    void RefreshKeyPage() override { Record("keys"); }
    void RefreshMacroList() override { Record("macros"); }
    void RefreshLightModes() override { Record("lights"); }
    void RefreshGameModeBoxes(bool win, bool altTab, bool altF4) override {
        Record(std::string("game ") + (win ? "1" : "0") + (altTab ? "1" : "0") + (altF4 ? "1" : "0"));
    }
    std::vector<std::string> GetCalls() const {
        std::lock_guard lock(m_mutex);
        return m_calls;
    }
    /// Called at each refresh (on the caller's thread), e.g. to note the time.
    std::function<void(const std::string&)> onCall;

private:
    void Record(std::string call) {
        if (onCall)
            onCall(call);
        std::lock_guard lock(m_mutex);
        m_calls.push_back(std::move(call));
    }
    mutable std::mutex m_mutex;
    std::vector<std::string> m_calls;
};

class FrameSource : public device::MusicFrameSource {
public:
    device::MusicFrame NextFrame() override {
        std::lock_guard lock(m_mutex);
        ++m_taken;
        return m_frame;
    }
    void SetFrame(device::MusicFrame frame) {
        std::lock_guard lock(m_mutex);
        m_frame = std::move(frame);
    }
    int GetTaken() const {
        std::lock_guard lock(m_mutex);
        return m_taken;
    }

private:
    mutable std::mutex m_mutex;
    device::MusicFrame m_frame;
    int m_taken = 0;
};

inline store::KeyAssignment Key(int layer, int keyCode, int type, int value, int value2 = 0) {
    store::KeyAssignment key;
    key.profile = 1;
    key.fn_layer = layer;
    key.key_code = keyCode;
    key.macro_type = type;
    key.macro_value = value;
    key.macro_value2 = value2;
    return key;
}

using Entry = std::array<uint8_t, 3>;

/// A key's entry in a key table as the keyboard holds it.
inline Entry EntryOf(const std::array<uint8_t, device::kKeyTableSize>& table, int keyCode, int layer) {
    const size_t offset =
        static_cast<size_t>(6 * device::KeyCodeToPosition(static_cast<uint32_t>(keyCode)) + 3 * layer);
    return {table[offset], table[offset + 1], table[offset + 2]};
}

/// The commands the keyboard received, in order.
inline std::vector<uint8_t> Commands(const device::sim::SimKeyboard& keyboard) {
    std::vector<uint8_t> commands;
    for (const device::HidReport& report : keyboard.GetReceivedReports())
        commands.push_back(report[device::HidReport::kCommand]);
    return commands;
}

inline std::vector<device::HidReport> ReportsWith(const device::sim::SimKeyboard& keyboard, uint8_t command) {
    std::vector<device::HidReport> reports = keyboard.GetReceivedReports();
    std::erase_if(reports,
                  [&](const device::HidReport& r) { return r[device::HidReport::kCommand] != command; });
    return reports;
}

/// Begin, n chunks of the command, end.
inline std::vector<uint8_t> Framed(uint8_t command, size_t chunks) {
    std::vector<uint8_t> commands{device::CmdBegin};
    commands.insert(commands.end(), chunks, command);
    commands.push_back(device::CmdEnd);
    return commands;
}

} // namespace synctest
