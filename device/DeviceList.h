#pragma once

#include "device/DeviceModel.h"
#include "device/HidReport.h"
#include "device/HidTransport.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace base {
class Clock;
}

namespace device {

/// What is known of an opened interface.
struct OpenedDeviceInfo {
    int index = 0; ///< position in the list when it was opened
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    std::string path;
    std::u16string manufacturer; ///< at most 512 characters
    std::u16string product;      ///< at most 512 characters
    uint16_t releaseNumber = 0;
};

struct OpenedDevice {
    OpenedDeviceInfo info;
    std::unique_ptr<HidConnection> handle;
};

/// The keyboard's opened configuration interface (at most one per scan) and the report exchange
/// on it.
///
/// Thread safety: one mutex is held by every operation, scans and exchanges alike. A rescan on the
/// UI thread (after a removal) therefore waits for an exchange running on the worker and never
/// closes the interface under it. The longest wait is one exchange (about 434 ms against a
/// keyboard that stops answering; a pulled-out keyboard fails its writes at once).
class DeviceList {
public:
    /// The transport and the clock must outlive the list; every wait of the exchange goes
    /// through the clock.
    DeviceList(HidTransport& transport, base::Clock& clock);
    ~DeviceList();

    DeviceList(const DeviceList&) = delete;
    DeviceList& operator=(const DeviceList&) = delete;

    /// Appends a filter; its pattern is compared with interface paths as given (use lower case).
    void AddFilter(uint32_t vendorId, uint32_t productId, std::string pattern);

    /// Opens the first enumerated interface that matches a filter: its vendor and product id
    /// equal those of a filter and its path contains the first such filter's pattern. Interfaces
    /// that fail to open are passed over. Opens at most one interface per scan.
    void Scan();

    /// Closes every opened interface and clears the open flag.
    void CloseAll();

    /// CloseAll, Scan and set the open flag, as one step; true when an interface is open.
    bool Rescan();

    bool IsOpen() const;
    size_t GetOpenedCount() const;
    std::optional<OpenedDeviceInfo> GetOpenedInfo(int index) const;

    /// Acknowledged send with the retry ladder: on return the buffer holds the last reply read
    /// after the last write (positions 0 to 63), or the request when none came. True when the
    /// reply acknowledges (0xAA). False at once, buffer untouched, when the list is closed or the
    /// index names no open interface.
    bool SendReport(HidReport& report, int index);

    /// SendReport preceded by a drain of stale replies, for the read commands.
    bool QueryReport(HidReport& report, int index);

    /// One write and one short read, without the ladder, for streamed colours.
    bool SendReportFast(HidReport& report, int index);

private:
    HidConnection* Connection(int index) const;
    void CloseAllLocked();
    void ScanLocked();
    bool Ladder(HidConnection& connection, HidReport& report);
    bool WriteRequest(HidConnection& connection, const HidReport& report);
    // Writes the request, and once more after `retryDelayMs` when the first write fails.
    bool WriteWithRetry(HidConnection& connection, const HidReport& report, uint32_t retryDelayMs);
    int ReadReply(HidConnection& connection, uint8_t (&reply)[HidReport::kReplySize], int timeoutMs);

    HidTransport& m_transport;
    base::Clock& m_clock;
    mutable std::mutex m_mutex;
    bool m_open = false;
    std::vector<DeviceFilter> m_filters;
    std::vector<OpenedDevice> m_opened;
};

} // namespace device
