#pragma once

#include "toolkit/platform/draw/Color.h"
#include "toolkit/platform/draw/Geometry.h"
#include "toolkit/platform/draw/Surface.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace tessel::test {

/// The straight ARGB colour of a pixel, for comparing with the colours that were drawn.
inline Argb ColorAt(const Surface& s, int x, int y) {
    return Unpremultiply(s.PixelAt(x, y));
}

/// True when every channel of `a` lies within `tolerance` of `b`.
inline bool Near(Argb a, Argb b, int tolerance = 2) {
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}

/// The bounding box of every pixel whose premultiplied value differs from `background`;
/// empty when nothing was drawn.
inline IntRect InkBounds(const Surface& s, uint32_t background = 0) {
    int l = s.Width(), t = s.Height(), r = -1, b = -1;
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            if (s.PixelAt(x, y) != background) {
                l = std::min(l, x);
                t = std::min(t, y);
                r = std::max(r, x);
                b = std::max(b, y);
            }
    if (r < 0)
        return {};
    return {l, t, r - l + 1, b - t + 1};
}

} // namespace tessel::test

#define EXPECT_COLOR(surface, x, y, expected)                                                                \
    EXPECT_PRED2([](tessel::Argb a, tessel::Argb b) { return tessel::test::Near(a, b); },                    \
                 tessel::test::ColorAt(surface, x, y), expected)                                             \
        << "at (" << (x) << ", " << (y) << ")"
