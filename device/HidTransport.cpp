#include "device/HidTransport.h"

#include <cstdio>

namespace device {

std::string InterfaceTag(uint16_t vendorId, uint16_t productId, int interfaceNumber) {
    char tag[40];
    std::snprintf(tag, sizeof tag, "vid_%04x&pid_%04x&mi_%02d", vendorId, productId,
                  interfaceNumber < 0 ? 0 : interfaceNumber % 100);
    return tag;
}

} // namespace device
