#pragma once

#include "device/DeviceChange.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

namespace device {

/// The name of a hidraw device for hot-plug handling, "VID_xxxx&PID_xxxx&MI_NN" (upper-case
/// hexadecimal), read from its sysfs path, which names the HID device "bus:VID:PID.n" and, before
/// it, the USB interface "port:config.interface". "&MI_NN" is left out when the device is not on
/// USB; empty when the path names no HID device. Reading the path rather than sysfs attributes
/// works for removals too, when the attributes are gone.
std::string HotplugNameFromSyspath(std::string_view syspath);

/// Watches udev for hidraw nodes that come and go and reports each as an arrival or a removal.
///
/// The program has no event loop of its own yet for the device side, so the monitor owns one
/// watcher thread that polls the udev socket; the callback runs on that thread and should only
/// hand the event on to the UI thread.
class HotplugMonitor {
public:
    using Callback = std::function<void(DeviceChange change, const std::string& name)>;

    /// Starts watching; null when udev cannot be reached.
    static std::unique_ptr<HotplugMonitor> Create(Callback callback);
    ~HotplugMonitor();

    HotplugMonitor(const HotplugMonitor&) = delete;
    HotplugMonitor& operator=(const HotplugMonitor&) = delete;

private:
    struct Handles;
    HotplugMonitor(std::unique_ptr<Handles> handles, Callback callback);
    void Watch();

    std::unique_ptr<Handles> m_handles;
    Callback m_callback;
    std::atomic<bool> m_running{true};
    std::thread m_watcher;
};

} // namespace device
