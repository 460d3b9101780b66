#pragma once

#include "toolkit/TesselExport.h"

#include <cstdint>

namespace tessel {

/// What the original platform reports for one physical key.
struct KeyInfo {
    /// The virtual key of WM_KEYDOWN / WM_KEYUP (VK_SHIFT, VK_CONTROL, VK_MENU for both sides).
    uint32_t vk = 0;
    /// The side-specific virtual key a low-level keyboard hook sees (VK_LSHIFT, VK_RCONTROL...);
    /// equal to vk for keys that have no sides.
    uint32_t sidedVk = 0;
    /// Set-1 scan code (bits 16-23 of a key message's lParam).
    uint32_t scanCode = 0;
    /// The extended-key flag (bit 24 of a key message's lParam).
    bool extended = false;
};

/// Maps a Linux evdev key code (the X11 key code minus 8) to the virtual key, scan code and
/// extended flag of the same physical key on a US layout. Returns a KeyInfo with vk 0 for keys
/// that have no equivalent.
TESSEL_EXPORT KeyInfo KeyFromEvdev(uint32_t evdevCode);

} // namespace tessel
