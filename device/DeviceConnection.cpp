#include "device/DeviceConnection.h"

#include "base/Log.h"
#include "base/Text.h"
#include "model/ConfigIni.h"

#include <cstdio>

namespace device {

DeviceConnection::DeviceConnection(HidTransport& transport, base::Clock& clock, Callbacks callbacks)
    : m_transport(transport), m_clock(clock), m_callbacks(std::move(callbacks)), m_list(transport, clock) {}

DeviceConnection::~DeviceConnection() {
    // The listener's thread goes first; the list closes its interface after.
    m_listener.reset();
}

void DeviceConnection::SetUp(const model::ConfigIni& config) {
    SetUp(config.GetText(model::config::kVid), config.GetText(model::config::kPid));
}

void DeviceConnection::SetUp(std::u16string_view vendorText, std::u16string_view productText) {
    DeviceModel model = DeviceModel::FromConfig(vendorText, productText);
    m_models.push_back(model);
    m_list.AddFilter(model.vendorId, model.productId, base::AsciiToLower(model.arrivalPattern));
    Rescan();
    m_listener =
        std::make_unique<DeviceEventListener>(m_transport, m_clock, static_cast<uint16_t>(model.vendorId),
                                              static_cast<uint16_t>(model.productId), [this](uint8_t id) {
                                                  if (m_callbacks.postKeyboardEvent)
                                                      m_callbacks.postKeyboardEvent(id);
                                              });
    m_listener->Restart();
}

bool DeviceConnection::Rescan() {
    bool lost = false;
    bool found = false;
    {
        std::lock_guard lock(m_rescanMutex);
        found = m_list.Rescan();
        lost = !found && m_connected;
        m_connected = found;
        m_deviceIndex = found ? 0 : -1;
    }
    // udev announces the keyboard's interfaces one by one, so the listener's restart on the
    // arrival of interface 2 may come before the vendor interface exists. The rescan that follows
    // the arrival gives it a second chance.
    if (found && m_listener && !m_listener->IsRunning())
        m_listener->Restart();
    if (lost) {
        base::LogInfo("device", "keyboard disconnected");
        if (m_callbacks.hideCurrentPage)
            m_callbacks.hideCurrentPage();
    }
    return found;
}

void DeviceConnection::OnDeviceChange(DeviceChange change, std::string_view name) {
    std::string upperName = base::AsciiToUpper(name);
    for (const DeviceModel& model : m_models) {
        if (change == DeviceChange::Arrival) {
            // The pattern keeps the configured letter case, so ids configured in lower case are
            // not recognised here; the first scan still finds them (it compares in lower case).
            if (upperName.find(model.arrivalPattern) == std::string::npos)
                continue;
            if (m_callbacks.queueArrivalTask)
                m_callbacks.queueArrivalTask();
        } else {
            // Read under the rescan lock: a rescan in progress (the worker's arrival rescan) may
            // just have opened the interface that is now gone and not yet have set the state.
            // Waiting for it makes this removal see the connection it must undo.
            bool connected = false;
            {
                std::lock_guard lock(m_rescanMutex);
                connected = m_connected;
            }
            if (!connected)
                return;
            char vendor[16];
            char product[16];
            std::snprintf(vendor, sizeof vendor, "%04X", model.vendorId);
            std::snprintf(product, sizeof product, "%04X", model.productId);
            if (upperName.find(vendor) == std::string::npos || upperName.find(product) == std::string::npos)
                continue;
            Rescan();
        }
        if (m_listener)
            m_listener->Restart();
        return;
    }
}

} // namespace device
