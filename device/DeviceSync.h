#pragma once

#include "device/CommandPackets.h"
#include "device/MacroArea.h"
#include "device/MusicFrameSource.h"
#include "device/PageRefresher.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

namespace base {
class Clock;
}
namespace store {
class ProfileStore;
}

namespace device {

class DeviceList;

/// The device procedures that the worker runs for its tasks: what each reads from the store,
/// which commands it sends to the keyboard in which order, and what it changes in the store and
/// on the pages. Every procedure addresses the opened interface 0 and runs on the worker's
/// thread, one at a time.
///
/// Failed exchanges do not stop a procedure: the remaining reports are still sent, except where
/// sending would destroy what the keyboard holds (a key table or settings block that could not be
/// read first is not written back) and in the music stream, which stops at the first failure.
/// Nothing is reported to the user apart from what the macro area could hold.
class DeviceSync {
public:
    /// Everything given must outlive the procedures.
    DeviceSync(DeviceList& list, store::ProfileStore& store, base::Clock& clock, PageRefresher& pages);

    DeviceSync(const DeviceSync&) = delete;
    DeviceSync& operator=(const DeviceSync&) = delete;

    /// Profile list, key tables read and reconciled, then every page refreshed. Writes nothing
    /// to the keyboard. True when the key tables were read whole.
    bool FullSynchronisation();

    /// Reads the keyboard's current and default key tables. When both came in whole, the current
    /// one becomes the cached key table and every stored key function of the current profile
    /// whose entry equals the keyboard's default is deleted; returns true. After an incomplete
    /// read nothing changes (the cache keeps what it held) and false is returned.
    bool ReadKeyTables();

    /// Writes the current profile's key functions over the cached key table (read first when it
    /// was never read). False when the keyboard's table could not be read, in which case nothing
    /// is written, or when a chunk was not acknowledged.
    bool WriteKeyTable();

    /// Writes every stored macro that fits the keyboard's macro area; returns what was sent (the
    /// summary is also kept for GetLastMacroWrite).
    MacroArea WriteMacros();

    /// Writes the current light mode's setting and the game-mode bits into the keyboard's
    /// settings block, keeping the keyboard's own bytes. False, and nothing written, when the
    /// block could not be read.
    bool WriteSettingsBlock();

    /// Writes the custom light mode's key colours.
    bool WriteKeyColors();

    /// Resets the keyboard to its factory state, waits 2500 ms and runs the full synchronisation.
    void FactoryReset();

    /// Streams one music frame. False when the frame was all black (nothing sent) or a chunk
    /// was not acknowledged (the stream stops there, without the end command).
    bool SendMusicFrame(MusicFrameSource& source);

    /// The macro area's make-up at the last WriteMacros (without its bytes), for a notice that
    /// some macros did not fit. Any thread.
    MacroArea GetLastMacroWrite() const;

    /// Waits through the clock; ends early once a stop is requested.
    void WaitMs(uint32_t milliseconds);

    /// With true, cuts every procedure short: exchanges fail at once and waits end early, until
    /// it is set back to false. Any thread; used when the worker stops.
    void SetStopRequested(bool stop) { m_stopRequested = stop; }

private:
    /// The stored macros with their steps, in store order.
    std::vector<MacroWithSteps> LoadMacros();
    bool Send(HidReport report);
    bool Query(HidReport& report);
    bool SendFast(HidReport report);
    bool SendBlock(uint8_t command, std::span<const uint8_t> block);
    bool ReadTable(uint8_t command, KeyTable& table, uint32_t pauseMs);
    void Reconcile(const KeyTable& current, const KeyTable& defaults);
    bool IsSettingOn(const char16_t* key);

    DeviceList& m_list;
    store::ProfileStore& m_store;
    base::Clock& m_clock;
    PageRefresher& m_pages;
    std::atomic<bool> m_stopRequested{false};
    mutable std::mutex m_summaryMutex; // guards m_lastMacroWrite, read from the UI thread
    MacroArea m_lastMacroWrite;
};

} // namespace device
