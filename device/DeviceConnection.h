#pragma once

#include "device/DeviceChange.h"
#include "device/DeviceEventListener.h"
#include "device/DeviceList.h"
#include "device/DeviceModel.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

namespace base {
class Clock;
}
namespace model {
class ConfigIni;
}

namespace device {

/// The program's connection to the keyboard: the model it looks for, the device list with its
/// filter, the event listener, the connection state, and what happens on hot-plug. The main window
/// plugs in through the callbacks.
///
/// Threads: OnDeviceChange runs on the UI thread, Rescan on the UI thread (removal) or the worker
/// (arrival task); a mutex makes each Rescan and its state change one step, and the device list
/// holds its own lock against exchanges. The state getters may be called from any thread.
class DeviceConnection {
public:
    /// None of the callbacks is guaranteed to run on the UI thread; each must only queue work
    /// for it (or be thread safe).
    struct Callbacks {
        /// Queues the arrival task: the worker waits 1000 ms, then calls Rescan. Runs on the thread
        /// that delivers hot-plug events (the hot-plug monitor's, or the one that plugs the
        /// simulated keyboard).
        std::function<void()> queueArrivalTask;
        /// The keyboard went away: hide the page shown; no page is current any more. Runs on the
        /// thread that called Rescan or OnDeviceChange: the hot-plug thread for a removal, the
        /// worker thread when its arrival rescan finds no keyboard, the UI thread for a rescan it
        /// starts. The main window must marshal it to the UI thread.
        std::function<void()> hideCurrentPage;
        /// An event report came in with this action id; runs on the listener's thread.
        std::function<void(uint8_t actionId)> postKeyboardEvent;
    };

    /// The transport and clock must outlive the connection.
    DeviceConnection(HidTransport& transport, base::Clock& clock, Callbacks callbacks);
    ~DeviceConnection();

    DeviceConnection(const DeviceConnection&) = delete;
    DeviceConnection& operator=(const DeviceConnection&) = delete;

    /// The device set-up: the model from the configured ids ("VID " and "PID " of config.ini), the
    /// lower-case filter, the first Rescan and the event listener. Call once.
    void SetUp(const model::ConfigIni& config);
    void SetUp(std::u16string_view vendorText, std::u16string_view productText);

    /// Closes and scans again and sets the connection state; true when connected. Hides the
    /// current page when a connection is lost.
    bool Rescan();

    /// A hot-plug event of one interface. An arrival whose upper-case name contains a model's
    /// arrival pattern queues the arrival task and restarts the listener. A removal while
    /// connected, whose upper-case name contains the model's ids as four upper-case hexadecimal
    /// digits, rescans at once and restarts the listener.
    void OnDeviceChange(DeviceChange change, std::string_view name);

    bool IsConnected() const { return m_connected; }
    /// True while the event listener reads the keyboard's vendor interface.
    bool IsListening() const { return m_listener && m_listener->IsRunning(); }
    /// 0 when connected, -1 otherwise: the index every exchange addresses.
    int GetDeviceIndex() const { return m_deviceIndex; }

    DeviceList& GetDeviceList() { return m_list; }
    const std::vector<DeviceModel>& GetModels() const { return m_models; }

private:
    HidTransport& m_transport;
    base::Clock& m_clock;
    Callbacks m_callbacks;
    DeviceList m_list;
    std::vector<DeviceModel> m_models;
    std::unique_ptr<DeviceEventListener> m_listener;
    std::mutex m_rescanMutex;
    std::atomic<bool> m_connected{false};
    std::atomic<int> m_deviceIndex{-1};
};

} // namespace device
