#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The keyboard model the program looks for, and the filter by which the device list recognises its
// configuration interface (USB interface 2).
namespace device {

struct DeviceModel {
    uint32_t vendorId = 0;
    uint32_t productId = 0;
    /// "VID_%s&PID_%s&MI_02" made from the configured texts in their own letter case; compared
    /// with the upper-case names of hot-plug arrivals.
    std::string arrivalPattern;

    /// Builds the model from the configured vendor and product id texts (hexadecimal, as in
    /// config.ini). Texts that are not hexadecimal parse as 0, which matches no keyboard.
    static DeviceModel FromConfig(std::u16string_view vendorText, std::u16string_view productText);
};

struct DeviceFilter {
    uint32_t vendorId = 0;
    uint32_t productId = 0;
    /// Compared with interface paths as they are (lower case), so it must be given in lower case.
    std::string pattern;
};

/// Parses leading hexadecimal digits (an optional "0x" first) as the system's string-to-number
/// reading does; 0 when there are none. Large values saturate.
uint32_t ParseHex(std::u16string_view text);

} // namespace device
