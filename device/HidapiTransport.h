#pragma once

#include "device/HidTransport.h"

#include <memory>

namespace device {

/// The real HID transport: hidapi with its hidraw backend. Enumerated paths are the hidraw node
/// followed by "#vid_xxxx&pid_xxxx&mi_NN" (the node alone does not tell the interface); Open takes
/// such a path and opens the node before the '#'.
class HidapiTransport : public HidTransport {
public:
    /// Initialises hidapi; null when that fails. The library is released when the last transport
    /// goes.
    static std::unique_ptr<HidapiTransport> Create();
    ~HidapiTransport() override;

    std::vector<HidInterfaceInfo> Enumerate(uint16_t vendorId = 0, uint16_t productId = 0) override;
    std::unique_ptr<HidConnection> Open(const std::string& path) override;

private:
    HidapiTransport() = default;
};

} // namespace device
