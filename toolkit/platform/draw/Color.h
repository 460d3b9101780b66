#pragma once

#include <cstdint>

// The toolkit speaks two colour conventions: control colours are ARGB (alpha in the top byte,
// blue in the low byte) and window backgrounds and the program's light values are COLORREF
// (red in the low byte, no alpha). Surfaces store premultiplied ARGB.
namespace tessel {

using Argb = uint32_t;
using ColorRef = uint32_t;

/// Builds an ARGB value from its four channels.
constexpr Argb MakeArgb(uint8_t a, uint8_t r, uint8_t g, uint8_t b) {
    return (uint32_t(a) << 24) | (uint32_t(r) << 16) | (uint32_t(g) << 8) | b;
}

/// Builds a COLORREF (0x00BBGGRR) from red, green and blue.
constexpr ColorRef MakeColorRef(uint8_t r, uint8_t g, uint8_t b) {
    return uint32_t(r) | (uint32_t(g) << 8) | (uint32_t(b) << 16);
}

constexpr uint8_t AlphaOf(Argb c) {
    return uint8_t(c >> 24);
}
constexpr uint8_t RedOf(Argb c) {
    return uint8_t(c >> 16);
}
constexpr uint8_t GreenOf(Argb c) {
    return uint8_t(c >> 8);
}
constexpr uint8_t BlueOf(Argb c) {
    return uint8_t(c);
}

/// ARGB to COLORREF: swaps red and blue and drops alpha.
constexpr ColorRef ArgbToColorRef(Argb c) {
    return MakeColorRef(RedOf(c), GreenOf(c), BlueOf(c));
}

/// COLORREF to ARGB with the given alpha; 0xFE by default, the alpha the toolkit gives a COLORREF
/// that it fills with through the alpha-aware drawing calls.
constexpr Argb ColorRefToArgb(ColorRef c, uint8_t alpha = 0xFE) {
    return MakeArgb(alpha, uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16));
}

/// Turns pure black (all colour bits zero) into 0x000001 in the low bits, keeping alpha, so that
/// a black colour is not taken for "no colour".
constexpr void CheckAlphaColor(uint32_t& c) {
    if ((c & 0x00FFFFFF) == 0)
        c |= 0x000001;
}

/// Straight ARGB to the premultiplied pixel value a Surface stores (rounded to nearest).
constexpr uint32_t Premultiply(Argb c) {
    const uint32_t a = AlphaOf(c);
    auto mul = [a](uint32_t v) { return (v * a + 127) / 255; };
    return (a << 24) | (mul(RedOf(c)) << 16) | (mul(GreenOf(c)) << 8) | mul(BlueOf(c));
}

/// A premultiplied pixel back to straight ARGB; fully transparent pixels give 0.
constexpr Argb Unpremultiply(uint32_t p) {
    const uint32_t a = p >> 24;
    if (a == 0)
        return 0;
    auto div = [a](uint32_t v) {
        const uint32_t r = (v * 255 + a / 2) / a;
        return r > 255 ? 255u : r;
    };
    return (a << 24) | (div((p >> 16) & 0xFF) << 16) | (div((p >> 8) & 0xFF) << 8) | div(p & 0xFF);
}

} // namespace tessel
