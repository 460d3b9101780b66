#pragma once

#include "device/HidTransport.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace base {
class Clock;
}

namespace device {

/// The action id of an event report (report id 2, kind 0x50 or 0x60, then the id), or nothing
/// for any other report.
std::optional<uint8_t> ParseEventReport(const uint8_t* report, size_t length);

/// Reads the keyboard's vendor interface (usage page 0xFF00, usage 0) on a thread of its own and
/// hands the action id of every event report to the post function, on that thread. The post
/// function should only queue the id for the UI thread.
///
/// Restart and Stop may be called from any thread but not at the same time. The reader thread is
/// the only user of the vendor interface while it runs; Stop joins it before the interface is
/// closed, which takes at most one read timeout (1000 ms).
class DeviceEventListener {
public:
    using PostFunction = std::function<void(uint8_t actionId)>;

    /// The transport and clock must outlive the listener.
    DeviceEventListener(HidTransport& transport, base::Clock& clock, uint16_t vendorId, uint16_t productId,
                        PostFunction post);
    ~DeviceEventListener();

    DeviceEventListener(const DeviceEventListener&) = delete;
    DeviceEventListener& operator=(const DeviceEventListener&) = delete;

    /// Stops what runs, opens the first vendor interface of the keyboard and starts reading. With
    /// no such interface the listener stays idle until the next restart. A restart that is already
    /// in progress on another thread makes this call return at once.
    void Restart();

    /// Ends the reader thread and closes the interface.
    void Stop();

    /// True while the reader thread runs. The thread ends by itself when a read fails (the
    /// keyboard went away).
    bool IsRunning() const { return m_alive; }

private:
    void StopLocked();
    void ReaderLoop();

    HidTransport& m_transport;
    base::Clock& m_clock;
    const uint16_t m_vendorId;
    const uint16_t m_productId;
    const PostFunction m_post;

    std::mutex m_controlMutex; // serialises Restart and Stop
    std::atomic<bool> m_restarting{false};
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_alive{false};
    std::unique_ptr<HidConnection> m_interface;
    std::thread m_reader;
};

} // namespace device
