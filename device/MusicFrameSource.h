#pragma once

#include "device/CommandPackets.h"

#include <vector>

namespace device {

/// The colours of one music frame: one per key of the on-screen keyboard.
struct MusicFrame {
    std::vector<KeyColorValue> colors;
    /// Whether any key's colour value is above 1; a frame without one is all black and is not
    /// sent, so the keyboard keeps the last frame it showed.
    bool anyColorAboveOne = false;
};

/// Where the device worker takes the music frames it streams on the music page. The music
/// lighting implements it: each call colours the keys from the current music picture (and
/// redraws the on-screen keyboard) and returns those colours. Called on the worker's thread.
class MusicFrameSource {
public:
    virtual ~MusicFrameSource() = default;
    virtual MusicFrame NextFrame() = 0;
};

} // namespace device
