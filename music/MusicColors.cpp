#include "music/MusicColors.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace music {

namespace {

struct Rgb {
    uint32_t red, green, blue;
};

uint32_t Scaled(Rgb colour, int c) {
    return MakeArgb(colour.red * c / 256, colour.green * c / 256, colour.blue * c / 256);
}

uint32_t ColorRefToArgb(uint32_t colorRef) {
    return MakeArgb(colorRef & 0xFF, colorRef >> 8 & 0xFF, colorRef >> 16 & 0xFF);
}

void Fill(MusicPicture& picture, uint32_t pixel) {
    picture.pixels.fill(pixel);
}

void DrawRainbow(MusicPicture& picture, int c) {
    static constexpr Rgb bands[6] = {{255, 0, 0},   {255, 255, 0}, {0, 255, 0},
                                     {0, 255, 255}, {0, 0, 255},   {255, 0, 255}};
    for (int row = 0; row < MusicPicture::Height; ++row) {
        // Row 0 would ask for a seventh band; it shows the top band like row 1.
        const int band = std::min(5, static_cast<int>(6.0 - 6.0 * row / 63.0));
        std::fill_n(picture.pixels.begin() + row * MusicPicture::Width, MusicPicture::Width,
                    Scaled(bands[band], c));
    }
}

void DrawColorWheel(MusicPicture& picture, int c, float huePhase) {
    // The angle of each pixel around the centre never changes; only the phase turns the wheel.
    static const auto angles = [] {
        std::array<int16_t, MusicPicture::Width * MusicPicture::Height> table{};
        for (int row = 0; row < MusicPicture::Height; ++row)
            for (int x = 0; x < MusicPicture::Width; ++x)
                table[row * MusicPicture::Width + x] = static_cast<int16_t>(
                    static_cast<int>(std::atan2(row - 32.0, x - 128.0) * 57.295827908797776 + 180.0) % 360);
        return table;
    }();
    // The pixel's hue is int(angle + phase) modulo 360: one colour per angle, looked up.
    std::array<uint32_t, 360> colours;
    for (int angle = 0; angle < 360; ++angle)
        colours[angle] =
            ColorRefToArgb(HueToColorRef(static_cast<int>(static_cast<float>(angle) + huePhase), 255, c));
    for (size_t i = 0; i < picture.pixels.size(); ++i)
        picture.pixels[i] = colours[angles[i]];
}

void DrawWave(MusicPicture& picture, int c, float huePhase) {
    for (int x = 0; x < MusicPicture::Width; ++x) {
        const int degrees = static_cast<int>(1.4117647 * x - huePhase) % 360;
        const double a = degrees / 360.0 * 2.0 * 3.14;
        const auto channel = [c](double s) {
            return static_cast<uint32_t>(c * static_cast<int>((s + 1.0) * 127.0) / 256);
        };
        const uint32_t pixel = MakeArgb(channel(std::sin(a)), channel(std::sin(a - 2.0933335)),
                                        channel(std::sin(a + 2.0933335)));
        for (int row = 0; row < MusicPicture::Height; ++row)
            picture.At(row, x) = pixel;
    }
}

} // namespace

uint32_t HueToColorRef(int hue, int saturation, int value) {
    const int s = saturation;
    const int v = value;
    uint32_t red, green, blue;
    if (s == 0) {
        red = green = blue = static_cast<uint32_t>(v);
    } else {
        const int h = (hue % 360 + 360) % 360;
        const int f = h / 60;
        const int rest = h - 60 * f;
        const int p = ((256 - s) * v) >> 8;
        const int q = v * (15360 - s * rest) / 15360;
        const int t = v * (15360 - s * (60 - rest)) / 15360;
        const int table[6][3] = {{v, t, p}, {q, v, p}, {p, v, t}, {p, q, v}, {t, p, v}, {v, p, q}};
        red = static_cast<uint32_t>(table[f][0]);
        green = static_cast<uint32_t>(table[f][1]);
        blue = static_cast<uint32_t>(table[f][2]);
    }
    return (red & 0xFF) | (green & 0xFF) << 8 | (blue & 0xFF) << 16;
}

void DrawColorMode(MusicPicture& picture, int mode, int brightness, float huePhase) {
    const int c = static_cast<int>(std::clamp(brightness, 0, 100) * 2.55);
    switch (mode) {
    case ModeWhite:
        return Fill(picture, Scaled({255, 255, 255}, c));
    case ModeRed:
        return Fill(picture, Scaled({255, 0, 0}, c));
    case ModeOrange:
        return Fill(picture, Scaled({255, 165, 0}, c));
    case ModeYellow:
        return Fill(picture, Scaled({255, 255, 0}, c));
    case ModeGreen:
        return Fill(picture, Scaled({0, 255, 0}, c));
    case ModeBlue:
        return Fill(picture, Scaled({0, 0, 255}, c));
    case ModeRainbow:
        return DrawRainbow(picture, c);
    case ModeWave:
        return DrawWave(picture, c, huePhase);
    case ModeColorWheel:
        return DrawColorWheel(picture, c, huePhase);
    case ModeSpectrumCycle:
        return Fill(picture, ColorRefToArgb(HueToColorRef(static_cast<int>(huePhase), 255, c)));
    default:
        return Fill(picture, MakeArgb(0, 0, 0));
    }
}

} // namespace music
