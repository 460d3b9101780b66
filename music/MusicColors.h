#pragma once

#include "music/MusicPicture.h"

#include <cstdint>

namespace music {

/// The colour modes of the music picture's bars and background.
enum MusicColorMode {
    ModeNone = 0,
    ModeWhite = 1,
    ModeRed = 2,
    ModeOrange = 3,
    ModeYellow = 4,
    ModeGreen = 5,
    ModeBlue = 7,
    ModeRainbow = 13,
    ModeWave = 15, ///< the bar mode used before any music layer is loaded
    ModeColorWheel = 17,
    ModeSpectrumCycle = 19,
};

/// The colour reference (red in the low byte) of hue h in degrees (reduced modulo 360),
/// saturation s and value v (0 to 255), in the integer arithmetic the key colours are made with.
uint32_t HueToColorRef(int hue, int saturation, int value);

/// Fills `picture` with colour mode `mode` at brightness 0 to 100; `huePhase` (degrees) turns
/// the hue-based modes. Unknown modes give black.
void DrawColorMode(MusicPicture& picture, int mode, int brightness, float huePhase);

} // namespace music
