#include "toolkit/platform/draw/Color.h"

#include <gtest/gtest.h>

using namespace tessel;

TEST(DrawColor, ConvertsBetweenArgbAndColorRef) {
    // ARGB keeps blue in the low byte, COLORREF keeps red there.
    EXPECT_EQ(ArgbToColorRef(0x80112233), 0x00332211u);
    EXPECT_EQ(ArgbToColorRef(0xFFFF3300), 0x000033FFu);
    EXPECT_EQ(ColorRefToArgb(0x000033FF), 0xFEFF3300u); // alpha 0xFE unless told otherwise
    EXPECT_EQ(ColorRefToArgb(0x00332211, 0xFF), 0xFF112233u);
    EXPECT_EQ(MakeColorRef(0xFF, 0x33, 0x00), 0x000033FFu);
}

TEST(DrawColor, CheckAlphaColorOnlyTouchesPureBlack) {
    struct Case {
        uint32_t in, out;
    } cases[] = {{0xFF000000, 0xFF000001},
                 {0x00000000, 0x00000001},
                 {0xFF000100, 0xFF000100},
                 {0x80FFFFFF, 0x80FFFFFF}};
    for (const Case& c : cases) {
        uint32_t v = c.in;
        CheckAlphaColor(v);
        EXPECT_EQ(v, c.out) << std::hex << c.in;
    }
}

TEST(DrawColor, PremultiplyRoundsAndUnpremultiplyInverts) {
    EXPECT_EQ(Premultiply(0xFF123456), 0xFF123456u);
    EXPECT_EQ(Premultiply(0x80FF8000), 0x80804000u);
    EXPECT_EQ(Premultiply(0x00FFFFFF), 0u);
    EXPECT_EQ(Unpremultiply(0), 0u);
    // A premultiplied pixel can never have a channel above its alpha; a damaged one is clamped.
    EXPECT_EQ(Unpremultiply(0x10FF0000), 0x10FF0000u);
    // Round trips lose at most the precision that the alpha leaves.
    for (uint32_t a = 1; a < 256; a += 7)
        for (uint32_t v = 0; v < 256; v += 5) {
            const Argb c = MakeArgb(uint8_t(a), uint8_t(v), uint8_t(255 - v), uint8_t(v / 2));
            const Argb back = Unpremultiply(Premultiply(c));
            EXPECT_EQ(AlphaOf(back), a);
            EXPECT_LE(std::abs(int(RedOf(back)) - int(v)), int(128 / a) + 1) << a << " " << v;
        }
}
