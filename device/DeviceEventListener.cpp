#include "device/DeviceEventListener.h"

#include "base/Clock.h"
#include "base/Log.h"

namespace device {

namespace {

constexpr uint16_t kVendorUsagePage = 0xFF00;
constexpr int kReadTimeoutMs = 1000;
constexpr uint32_t kPauseMs = 10;
constexpr size_t kReportCapacity = 32;

} // namespace

std::optional<uint8_t> ParseEventReport(const uint8_t* report, size_t length) {
    if (length < 3 || report[0] != 0x02 || (report[1] != 0x50 && report[1] != 0x60))
        return std::nullopt;
    return report[2];
}

DeviceEventListener::DeviceEventListener(HidTransport& transport, base::Clock& clock, uint16_t vendorId,
                                         uint16_t productId, PostFunction post)
    : m_transport(transport), m_clock(clock), m_vendorId(vendorId), m_productId(productId),
      m_post(std::move(post)) {}

DeviceEventListener::~DeviceEventListener() {
    Stop();
}

void DeviceEventListener::Restart() {
    if (m_restarting.exchange(true))
        return;
    {
        std::lock_guard lock(m_controlMutex);
        StopLocked();
        for (const HidInterfaceInfo& info : m_transport.Enumerate(m_vendorId, m_productId)) {
            if (info.vendorId != m_vendorId || info.productId != m_productId ||
                info.usagePage != kVendorUsagePage || info.usage != 0)
                continue;
            m_interface = m_transport.Open(info.path);
            if (m_interface)
                break;
        }
        if (m_interface) {
            m_running = true;
            m_alive = true;
            m_reader = std::thread([this] { ReaderLoop(); });
        }
    }
    m_restarting = false;
}

void DeviceEventListener::Stop() {
    std::lock_guard lock(m_controlMutex);
    StopLocked();
}

void DeviceEventListener::StopLocked() {
    m_running = false;
    // Joining replaces polling the alive flag: it returns as soon as the current read ends.
    if (m_reader.joinable())
        m_reader.join();
    m_interface.reset();
}

void DeviceEventListener::ReaderLoop() {
    uint8_t report[kReportCapacity];
    while (m_running) {
        int count = m_interface->Read(report, sizeof report, kReadTimeoutMs);
        if (count < 0) {
            // The interface is gone (the keyboard was pulled out) and stays dead: reading on
            // would spin forever. Ending shows as not running, so the next rescan restarts us.
            base::LogInfo("device", "event listener: the vendor interface failed; listener ended");
            break;
        }
        if (count > 0) {
            if (std::optional<uint8_t> id = ParseEventReport(report, static_cast<size_t>(count))) {
                try {
                    m_post(*id);
                } catch (...) {
                    // The post function belongs to the caller; its failure must not end the reader.
                    base::LogError("device", "event listener: posting an event failed");
                }
            }
        }
        m_clock.SleepMs(kPauseMs);
    }
    m_running = false;
    m_alive = false;
}

} // namespace device
