#include "device/DeviceList.h"

#include "base/Log.h"
#include "base/Utf.h"

namespace device {

namespace {

constexpr size_t kMaxDeviceString = 512;

std::u16string Limited(std::u16string text) {
    if (text.size() > kMaxDeviceString)
        text.resize(kMaxDeviceString);
    return text;
}

} // namespace

DeviceList::DeviceList(HidTransport& transport, base::Clock& clock)
    : m_transport(transport), m_clock(clock) {}

DeviceList::~DeviceList() {
    CloseAll();
}

void DeviceList::AddFilter(uint32_t vendorId, uint32_t productId, std::string pattern) {
    std::lock_guard lock(m_mutex);
    m_filters.push_back({vendorId, productId, std::move(pattern)});
}

void DeviceList::Scan() {
    std::lock_guard lock(m_mutex);
    ScanLocked();
}

void DeviceList::CloseAll() {
    std::lock_guard lock(m_mutex);
    CloseAllLocked();
}

bool DeviceList::Rescan() {
    std::lock_guard lock(m_mutex);
    CloseAllLocked();
    ScanLocked();
    m_open = true;
    return !m_opened.empty();
}

void DeviceList::CloseAllLocked() {
    if (!m_open)
        return;
    m_open = false;
    m_opened.clear();
}

void DeviceList::ScanLocked() {
    for (const HidInterfaceInfo& info : m_transport.Enumerate()) {
        // Only the first filter of the interface's vendor and product decides on the path.
        const DeviceFilter* filter = nullptr;
        for (const DeviceFilter& candidate : m_filters) {
            if (candidate.vendorId == info.vendorId && candidate.productId == info.productId) {
                filter = &candidate;
                break;
            }
        }
        if (!filter || info.path.find(filter->pattern) == std::string::npos)
            continue;
        std::unique_ptr<HidConnection> handle = m_transport.Open(info.path);
        if (!handle) {
            base::LogWarning("device", "cannot open " + info.path);
            continue;
        }
        OpenedDevice device;
        device.info.index = static_cast<int>(m_opened.size());
        device.info.vendorId = info.vendorId;
        device.info.productId = info.productId;
        device.info.path = info.path;
        device.info.releaseNumber = info.releaseNumber;
        device.info.manufacturer = Limited(handle->GetManufacturerString());
        device.info.product = Limited(handle->GetProductString());
        device.handle = std::move(handle);
        base::LogInfo("device", "opened " + info.path);
        m_opened.push_back(std::move(device));
        return;
    }
}

bool DeviceList::IsOpen() const {
    std::lock_guard lock(m_mutex);
    return m_open;
}

size_t DeviceList::GetOpenedCount() const {
    std::lock_guard lock(m_mutex);
    return m_opened.size();
}

std::optional<OpenedDeviceInfo> DeviceList::GetOpenedInfo(int index) const {
    std::lock_guard lock(m_mutex);
    if (index < 0 || static_cast<size_t>(index) >= m_opened.size())
        return std::nullopt;
    return m_opened[static_cast<size_t>(index)].info;
}

HidConnection* DeviceList::Connection(int index) const {
    if (!m_open || index < 0 || static_cast<size_t>(index) >= m_opened.size())
        return nullptr;
    return m_opened[static_cast<size_t>(index)].handle.get();
}

} // namespace device
