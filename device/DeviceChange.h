#pragma once

namespace device {

/// A hot-plug event of one HID interface. Its name carries "VID_xxxx&PID_xxxx&MI_NN" (any letter
/// case), by which the connection recognises the keyboard.
enum class DeviceChange { Arrival, Removal };

} // namespace device
