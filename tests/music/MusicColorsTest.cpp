#include "music/MusicColors.h"

#include "music/MusicKeyGrid.h"
#include "music/MusicPicture.h"

#include <gtest/gtest.h>
#include <set>

namespace music {
namespace {

constexpr uint32_t Rgb(uint32_t red, uint32_t green, uint32_t blue) {
    return MakeArgb(red, green, blue);
}

TEST(MusicColorsTest, SolidModesScaleByBrightness) {
    struct Case {
        int mode;
        int brightness;
        uint32_t expected;
    };
    // c = int(b x 2.55): 25 at 10, 254 at 100; a channel x becomes x x c / 256.
    const Case cases[] = {
        {ModeNone, 100, Rgb(0, 0, 0)},
        {ModeWhite, 10, Rgb(24, 24, 24)},
        {ModeWhite, 100, Rgb(253, 253, 253)},
        {ModeRed, 100, Rgb(253, 0, 0)},
        {ModeOrange, 50, Rgb(126, 81, 0)},
        {ModeYellow, 0, Rgb(0, 0, 0)},
        {ModeGreen, 100, Rgb(0, 253, 0)},
        {ModeBlue, 100, Rgb(0, 0, 253)},
        {6, 100, Rgb(0, 0, 0)}, // not a mode: black
    };
    for (const Case& c : cases) {
        MusicPicture picture;
        picture.pixels.fill(0x12345678);
        DrawColorMode(picture, c.mode, c.brightness, 0.0f);
        EXPECT_EQ(picture.At(0, 0), c.expected) << "mode " << c.mode << " brightness " << c.brightness;
        EXPECT_EQ(picture.At(63, 255), c.expected) << "mode " << c.mode;
    }
}

TEST(MusicColorsTest, HueToColorRef) {
    struct Case {
        int hue, saturation, value;
        uint32_t expected; // red in the low byte
    };
    const Case cases[] = {
        {0, 255, 255, 0x0000FF},   {120, 255, 255, 0x00FF00}, {240, 255, 255, 0xFF0000},
        {300, 255, 255, 0xFF00FF}, {720, 255, 255, 0x0000FF}, {-60, 255, 255, 0xFF00FF},
        {30, 255, 200, 0x0064C8}, // t = 200 x (15360 - 255 x 30) / 15360 = 100
        {77, 0, 90, 0x5A5A5A},    // no saturation: grey
        {60, 128, 255, 0x7FFFFF}, // p = (128 x 255) >> 8 = 127
    };
    for (const Case& c : cases)
        EXPECT_EQ(HueToColorRef(c.hue, c.saturation, c.value), c.expected) << "hue " << c.hue;
}

TEST(MusicColorsTest, RainbowBandsFromBottomToTop) {
    MusicPicture picture;
    DrawColorMode(picture, ModeRainbow, 100, 0.0f);
    EXPECT_EQ(picture.At(63, 0), Rgb(253, 0, 0));   // bottom row: the first band
    EXPECT_EQ(picture.At(57, 100), Rgb(253, 0, 0)); // int(6 - 6 x 57 / 63) = 0
    EXPECT_EQ(picture.At(47, 0), Rgb(253, 253, 0)); // int(1.52) = 1
    EXPECT_EQ(picture.At(27, 0), Rgb(0, 253, 253)); // int(3.43) = 3
    EXPECT_EQ(picture.At(7, 0), Rgb(253, 0, 253));  // int(5.33) = 5
    EXPECT_EQ(picture.At(0, 0), Rgb(253, 0, 253));  // row 0 shows the top band too
}

TEST(MusicColorsTest, HueModesFollowThePhase) {
    MusicPicture picture;
    DrawColorMode(picture, ModeSpectrumCycle, 100, 120.7f);
    EXPECT_EQ(picture.At(30, 30), Rgb(0, 254, 0));

    // The wheel turns around column 128, row 32: to the right the angle is 180 degrees (cyan at
    // phase 0), to the left 360, i.e. red.
    DrawColorMode(picture, ModeColorWheel, 100, 0.0f);
    EXPECT_EQ(picture.At(32, 255), Rgb(0, 254, 254));
    EXPECT_EQ(picture.At(32, 0), Rgb(254, 0, 0));
    DrawColorMode(picture, ModeColorWheel, 100, 60.0f);
    EXPECT_EQ(picture.At(32, 255), Rgb(0, 0, 254));

    // The wave: column 0 at phase 0 has angle 0; every row alike.
    DrawColorMode(picture, ModeWave, 100, 0.0f);
    EXPECT_EQ(picture.At(0, 0), Rgb(126, 15, 235));
    EXPECT_EQ(picture.At(63, 0), Rgb(126, 15, 235));
    DrawColorMode(picture, ModeWave, 100, 90.0f);
    EXPECT_NE(picture.At(0, 0), Rgb(126, 15, 235));
}

TEST(MusicPictureTest, BarLightsOnlyRowsStrictlyBelowItsHeight) {
    MusicPicture background, bars, target;
    background.pixels.fill(Rgb(1, 1, 1));
    bars.pixels.fill(Rgb(200, 0, 0));
    std::array<float, MusicPicture::Width> heights{};
    heights[0] = 7.0f / 64.0f; // exactly row 57's threshold
    heights[1] = 8.0f / 64.0f; // above it
    heights[2] = 1.0f;         // full height still leaves row 0: 64/64 is not below 1
    ComposeMusicPicture(background, bars, heights, target);
    EXPECT_EQ(target.At(57, 0), Rgb(1, 1, 1));
    EXPECT_EQ(target.At(58, 0), Rgb(200, 0, 0));
    EXPECT_EQ(target.At(57, 1), Rgb(200, 0, 0));
    EXPECT_EQ(target.At(56, 1), Rgb(1, 1, 1));
    EXPECT_EQ(target.At(1, 2), Rgb(200, 0, 0));
    EXPECT_EQ(target.At(0, 2), Rgb(1, 1, 1));
    EXPECT_EQ(target.At(63, 3), Rgb(1, 1, 1));
}

TEST(MusicKeyGridTest, SamplesEachKeyAtItsCell) {
    MusicPicture picture;
    for (int row = 0; row < MusicPicture::Height; ++row)
        for (int x = 0; x < MusicPicture::Width; ++x)
            picture.At(row, x) = Rgb(x, row, 7);
    const MusicKeyColors colors = MusicKeyGrid::Sample(picture);
    ASSERT_EQ(colors.keys.size(), 112u);
    std::set<uint8_t> codes;
    for (const auto& key : colors.keys)
        codes.insert(key.keyCode);
    EXPECT_EQ(codes.size(), 112u) << "every key appears once";
    // First key: Escape (41) at grid row 0, column 1: picture row 7, column 11. Colour reference.
    EXPECT_EQ(colors.keys.front().keyCode, 41);
    EXPECT_EQ(colors.keys.front().colorRef, 11u | 7u << 8 | 7u << 16);
    // Last key: 99 at grid row 5, column 21: picture row 57, column 231.
    EXPECT_EQ(colors.keys.back().keyCode, 99);
    EXPECT_EQ(colors.keys.back().colorRef, 231u | 57u << 8 | 7u << 16);
    EXPECT_TRUE(colors.anyAboveOne);
}

TEST(MusicKeyGridTest, AboveOneFlag) {
    MusicPicture picture;
    picture.pixels.fill(Rgb(1, 0, 0)); // colour reference 1 everywhere
    EXPECT_FALSE(MusicKeyGrid::Sample(picture).anyAboveOne);
    picture.pixels.fill(Rgb(0, 0, 0));
    EXPECT_FALSE(MusicKeyGrid::Sample(picture).anyAboveOne);
    picture.At(57, 231) = Rgb(2, 0, 0);
    EXPECT_TRUE(MusicKeyGrid::Sample(picture).anyAboveOne);
    picture.At(57, 231) = Rgb(0, 0, 0);
    picture.At(56, 231) = Rgb(255, 255, 255); // between grid rows: never sampled
    EXPECT_FALSE(MusicKeyGrid::Sample(picture).anyAboveOne);
}

} // namespace
} // namespace music
