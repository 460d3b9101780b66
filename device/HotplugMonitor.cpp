#include "device/HotplugMonitor.h"

#include "base/Log.h"
#include "base/Text.h"

#include <cstdio>
#include <cstring>
#include <libudev.h>
#include <poll.h>

namespace device {

namespace {

struct UdevDeleter {
    void operator()(udev* handle) const { udev_unref(handle); }
};
struct UdevMonitorDeleter {
    void operator()(udev_monitor* monitor) const { udev_monitor_unref(monitor); }
};
struct UdevDeviceDeleter {
    void operator()(udev_device* device) const { udev_device_unref(device); }
};
using UdevDevicePtr = std::unique_ptr<udev_device, UdevDeviceDeleter>;

constexpr int kPollMs = 200;

bool IsHex(std::string_view text) {
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return !text.empty();
}

} // namespace

struct HotplugMonitor::Handles {
    std::unique_ptr<udev, UdevDeleter> context;
    std::unique_ptr<udev_monitor, UdevMonitorDeleter> monitor;
};

std::string HotplugNameFromSyspath(std::string_view syspath) {
    std::string_view previous;
    size_t start = 0;
    while (start <= syspath.size()) {
        size_t end = syspath.find('/', start);
        if (end == std::string_view::npos)
            end = syspath.size();
        std::string_view part = syspath.substr(start, end - start);
        // The HID device: "BBBB:VVVV:PPPP.NNNN".
        if (part.size() == 19 && part[4] == ':' && part[9] == ':' && part[14] == '.' &&
            IsHex(part.substr(0, 4)) && IsHex(part.substr(5, 4)) && IsHex(part.substr(10, 4)) &&
            IsHex(part.substr(15, 4))) {
            std::string name =
                "VID_" + std::string(part.substr(5, 4)) + "&PID_" + std::string(part.substr(10, 4));
            name = base::AsciiToUpper(name);
            // The USB interface before it: "1-2:1.2", interface number after the last dot.
            size_t colon = previous.find(':');
            size_t dot = previous.rfind('.');
            if (colon != std::string_view::npos && dot != std::string_view::npos && dot > colon) {
                int number = 0;
                std::string_view digits = previous.substr(dot + 1);
                bool valid = !digits.empty() && digits.size() <= 3;
                for (char c : digits) {
                    valid = valid && c >= '0' && c <= '9';
                    number = number * 10 + (c - '0');
                }
                if (valid) {
                    char suffix[16];
                    std::snprintf(suffix, sizeof suffix, "&MI_%02d", number);
                    name += suffix;
                }
            }
            return name;
        }
        previous = part;
        start = end + 1;
    }
    return {};
}

std::unique_ptr<HotplugMonitor> HotplugMonitor::Create(Callback callback) {
    auto handles = std::make_unique<Handles>();
    handles->context.reset(udev_new());
    if (!handles->context)
        return nullptr;
    handles->monitor.reset(udev_monitor_new_from_netlink(handles->context.get(), "udev"));
    if (!handles->monitor ||
        udev_monitor_filter_add_match_subsystem_devtype(handles->monitor.get(), "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(handles->monitor.get()) < 0) {
        base::LogWarning("device", "cannot watch udev for hot-plug events");
        return nullptr;
    }
    return std::unique_ptr<HotplugMonitor>(new HotplugMonitor(std::move(handles), std::move(callback)));
}

HotplugMonitor::HotplugMonitor(std::unique_ptr<Handles> handles, Callback callback)
    : m_handles(std::move(handles)), m_callback(std::move(callback)) {
    m_watcher = std::thread([this] { Watch(); });
}

HotplugMonitor::~HotplugMonitor() {
    m_running = false;
    if (m_watcher.joinable())
        m_watcher.join();
}

void HotplugMonitor::Watch() {
    // The poll's timeout lets the destructor end the thread within kPollMs.
    pollfd watched{udev_monitor_get_fd(m_handles->monitor.get()), POLLIN, 0};
    while (m_running) {
        if (poll(&watched, 1, kPollMs) <= 0 || !(watched.revents & POLLIN))
            continue;
        UdevDevicePtr device(udev_monitor_receive_device(m_handles->monitor.get()));
        if (!device)
            continue;
        const char* action = udev_device_get_action(device.get());
        const char* syspath = udev_device_get_syspath(device.get());
        if (!action || !syspath)
            continue;
        bool added = std::strcmp(action, "add") == 0;
        if (!added && std::strcmp(action, "remove") != 0)
            continue;
        std::string name = HotplugNameFromSyspath(syspath);
        if (name.empty())
            continue;
        if (const char* node = udev_device_get_devnode(device.get()))
            name = std::string(node) + "#" + name;
        try {
            m_callback(added ? DeviceChange::Arrival : DeviceChange::Removal, name);
        } catch (...) {
            base::LogError("device", "hot-plug handler failed");
        }
    }
}

} // namespace device
