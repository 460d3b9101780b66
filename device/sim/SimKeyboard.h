#pragma once

#include "device/DeviceChange.h"
#include "device/HidReport.h"
#include "device/HidTransport.h"
#include "device/sim/SimFirmware.h"

#include <cstdio>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

namespace base {
class Clock;
}

namespace device::sim {

/// A simulated keyboard behind the HID transport interface. It enumerates as three interfaces of
/// the given vendor and product: 0 the typing interface, 1 the vendor interface (usage page
/// 0xFF00, usage 0) that carries event reports, 2 the configuration interface answered by
/// SimFirmware. Reads wait through the clock: on a ManualClock a read advances the simulated time
/// to the reply's due time or to its timeout, so tests never sleep.
///
/// It records every report the configuration interface receives, and appends each, as one line of
/// 65 hexadecimal bytes, to the file named by $QUILLON_SIM_TRANSCRIPT when that is set.
///
/// Thread safe. The keyboard must outlive the connections it opens.
class SimKeyboard : public HidTransport {
public:
    static constexpr uint16_t kReleaseNumber = 0x0105;
    static constexpr int kConfigInterface = 2;
    static constexpr int kVendorInterface = 1;

    SimKeyboard(base::Clock& clock, uint16_t vendorId, uint16_t productId);

    std::vector<HidInterfaceInfo> Enumerate(uint16_t vendorId = 0, uint16_t productId = 0) override;
    std::unique_ptr<HidConnection> Open(const std::string& path) override;

    // Behaviour of the configuration interface.
    /// Replies become readable this many milliseconds after the request.
    void SetReplyDelay(uint32_t milliseconds);
    /// A silent keyboard reads requests but never replies.
    void SetSilent(bool silent);
    /// A refusing keyboard replies with 0x00 in place of the 0xAA acknowledgement.
    void SetRefusing(bool refusing);
    /// Drops the k-th reply from now on (1 = the next one).
    void DropReply(int k);
    /// Queues a reply of any length and content, readable after the delay.
    void QueueReply(std::vector<uint8_t> reply, uint32_t delayMs = 0);

    // The vendor interface.
    /// Queues an event report: report id 2, the kind (0x50 or 0x60) and the action id.
    void SendEventReport(uint8_t kind, uint8_t id);
    /// Queues any input report on the vendor interface.
    void QueueVendorReport(std::vector<uint8_t> report);

    // Plugging. Opened connections fail once the keyboard is pulled out, and stay dead.
    using DeviceChangeCallback = std::function<void(DeviceChange change, const std::string& name)>;
    /// Receives one arrival or removal per interface, as the hot-plug monitor reports them; called
    /// on the thread that plugs or unplugs.
    void SetDeviceChangeCallback(DeviceChangeCallback callback);
    void Unplug();
    void Plug();

    // Inspection.
    /// The reports received since the last ClearReceived; only the latest kMaxRecorded are kept,
    /// so a long session (a music stream) does not grow without end.
    static constexpr size_t kMaxRecorded = 100000;
    std::vector<HidReport> GetReceivedReports() const;
    void ClearReceived();
    int GetWriteCount() const; ///< writes on the configuration interface
    int GetReadCount() const;  ///< reads on the configuration interface
    /// A copy of the keyboard's memory.
    SimFirmware GetFirmware() const;

private:
    class Connection;
    struct Pending {
        std::vector<uint8_t> bytes;
        uint64_t dueMs = 0;
    };

    int Write(int interfaceNumber, uint64_t generation, const uint8_t* data, size_t length);
    int Read(int interfaceNumber, uint64_t generation, uint8_t* buffer, size_t capacity, int timeoutMs);
    void Record(const uint8_t* data, size_t length);
    void RaiseDeviceChange(DeviceChange change);
    std::string PathOf(int interfaceNumber) const;

    base::Clock& m_clock;
    const uint16_t m_vendorId;
    const uint16_t m_productId;

    mutable std::mutex m_mutex;
    SimFirmware m_firmware;
    bool m_plugged = true;
    uint64_t m_generation = 0;
    uint32_t m_replyDelayMs = 0;
    bool m_silent = false;
    bool m_refusing = false;
    int m_dropCountdown = 0;
    std::deque<Pending> m_replies;
    std::deque<Pending> m_vendorReports;
    std::deque<HidReport> m_received;
    int m_writes = 0;
    int m_reads = 0;
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, FileCloser> m_transcript;
    DeviceChangeCallback m_deviceChange;
};

} // namespace device::sim
