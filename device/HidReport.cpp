#include "device/HidReport.h"

namespace device {

uint8_t HidReport::ComputeChecksum() const {
    unsigned sum = 0;
    for (size_t i = kLength; i < kSize; ++i)
        sum += bytes[i];
    return static_cast<uint8_t>(sum);
}

} // namespace device
