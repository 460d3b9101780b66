#include "device/HidapiTransport.h"

#include "base/Log.h"
#include "base/Utf.h"

#include <cwchar>
#include <hidapi.h>
#include <mutex>

namespace device {

namespace {

// hid_init and hid_exit are process-wide; the count keeps one transport's exit from pulling the
// library out from under another. The same lock keeps enumerations of the scan and of the event
// listener apart, since hidapi does not promise that they may run at the same time.
std::mutex& LibraryMutex() {
    static std::mutex mutex;
    return mutex;
}
int g_users = 0;

struct HidDeviceDeleter {
    void operator()(hid_device* device) const { hid_close(device); }
};
using HidDevicePtr = std::unique_ptr<hid_device, HidDeviceDeleter>;

struct EnumerationDeleter {
    void operator()(hid_device_info* list) const { hid_free_enumeration(list); }
};
using EnumerationPtr = std::unique_ptr<hid_device_info, EnumerationDeleter>;

// hidapi hands out wide strings (UTF-32 here); the program speaks UTF-16.
std::u16string FromWide(const wchar_t* text) {
    if (text == nullptr)
        return {};
    return base::ToUtf16(std::u32string(text, text + std::wcslen(text)));
}

class HidapiConnection : public HidConnection {
public:
    explicit HidapiConnection(HidDevicePtr device) : m_device(std::move(device)) {}

    int Write(const uint8_t* data, size_t length) override { return hid_write(m_device.get(), data, length); }
    int Read(uint8_t* buffer, size_t capacity, int timeoutMs) override {
        return hid_read_timeout(m_device.get(), buffer, capacity, timeoutMs);
    }
    std::u16string GetManufacturerString() override {
        wchar_t text[513] = {};
        return hid_get_manufacturer_string(m_device.get(), text, 512) == 0 ? FromWide(text)
                                                                           : std::u16string();
    }
    std::u16string GetProductString() override {
        wchar_t text[513] = {};
        return hid_get_product_string(m_device.get(), text, 512) == 0 ? FromWide(text) : std::u16string();
    }

private:
    HidDevicePtr m_device;
};

} // namespace

std::unique_ptr<HidapiTransport> HidapiTransport::Create() {
    std::lock_guard lock(LibraryMutex());
    if (g_users == 0 && hid_init() != 0) {
        base::LogError("device", "the HID library cannot be initialised");
        return nullptr;
    }
    ++g_users;
    return std::unique_ptr<HidapiTransport>(new HidapiTransport());
}

HidapiTransport::~HidapiTransport() {
    std::lock_guard lock(LibraryMutex());
    if (--g_users == 0)
        hid_exit();
}

std::vector<HidInterfaceInfo> HidapiTransport::Enumerate(uint16_t vendorId, uint16_t productId) {
    std::lock_guard lock(LibraryMutex());
    std::vector<HidInterfaceInfo> interfaces;
    EnumerationPtr list(hid_enumerate(vendorId, productId));
    for (const hid_device_info* info = list.get(); info; info = info->next) {
        if (!info->path)
            continue;
        interfaces.push_back({std::string(info->path) + "#" +
                                  InterfaceTag(info->vendor_id, info->product_id, info->interface_number),
                              info->vendor_id, info->product_id, info->release_number, info->interface_number,
                              info->usage_page, info->usage});
    }
    return interfaces;
}

std::unique_ptr<HidConnection> HidapiTransport::Open(const std::string& path) {
    std::string node = path.substr(0, path.rfind('#'));
    HidDevicePtr device(hid_open_path(node.c_str()));
    if (!device)
        return nullptr;
    return std::make_unique<HidapiConnection>(std::move(device));
}

} // namespace device
