#include "toolkit/core/MRender.h"

#include "DrawTestSupport.h"
#include "RenderTestSupport.h"
#include "toolkit/platform/draw/FontRegistry.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

using test::ColorAt;
using test::MakePicture;

// Nine-grid source: a picture cut into 3 x 3 regions by the given borders, each region its own
// colour, so every destination pixel tells which piece of the source it came from.
struct Borders {
    int left, top, right, bottom;
};

int Band(int v, int size, int low, int high) {
    return v < low ? 0 : v >= size - high ? 2 : 1;
}

Argb RegionColor(int column, int row) {
    return MakeArgb(255, uint8_t(40 + column * 80), uint8_t(40 + row * 80), uint8_t(column * 3 + row));
}

std::unique_ptr<Surface> RegionPicture(int w, int h, Borders b) {
    return MakePicture(w, h, [=](int x, int y) {
        return RegionColor(Band(x, w, b.left, b.right), Band(y, h, b.top, b.bottom));
    });
}

struct NineGridCase {
    const char* name;
    int srcW, srcH;
    Borders borders;
    int dstW, dstH;
};

class NineGridTest : public ::testing::TestWithParam<NineGridCase> {};

TEST_P(NineGridTest, EveryPixelComesFromItsPiece) {
    const auto& c = GetParam();
    const Borders& b = c.borders;
    auto source = RegionPicture(c.srcW, c.srcH, b);
    auto target = Surface::Create(c.dstW + 4, c.dstH + 4);
    Graphics g(*target);
    const IntRect dst{2, 2, c.dstW, c.dstH};
    if (b.left == b.top && b.top == b.right && b.right == b.bottom)
        MRender::DrawImageFrame(g, *source, dst, 0, 0, c.srcW, c.srcH, b.left);
    else
        MRender::DrawImageFrameMID(g, *source, dst, 0, 0, c.srcW, c.srcH, b.left, b.top, b.right, b.bottom);

    for (int y = 0; y < target->Height(); ++y)
        for (int x = 0; x < target->Width(); ++x) {
            if (!dst.Contains(x, y)) {
                ASSERT_EQ(target->PixelAt(x, y), 0u) << "outside at (" << x << ", " << y << ")";
                continue;
            }
            const Argb want =
                RegionColor(Band(x - 2, c.dstW, b.left, b.right), Band(y - 2, c.dstH, b.top, b.bottom));
            ASSERT_EQ(ColorAt(*target, x, y), want) << "at (" << x << ", " << y << ")";
        }
}

INSTANTIATE_TEST_SUITE_P(MRender, NineGridTest,
                         ::testing::Values(NineGridCase{"same_size", 9, 9, {3, 3, 3, 3}, 9, 9},
                                           NineGridCase{"stretched", 9, 9, {3, 3, 3, 3}, 31, 17},
                                           NineGridCase{"shrunk_centre", 20, 20, {4, 4, 4, 4}, 10, 9},
                                           NineGridCase{"separate_borders", 12, 14, {1, 2, 3, 4}, 25, 30}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(MRender, NineGridSmallerThanTwoCornersOverlapsCornersAndDrawsNoCentre) {
    const Borders b{3, 3, 3, 3};
    auto source = RegionPicture(9, 9, b);
    auto target = Surface::Create(4, 4);
    Graphics g(*target);
    MRender::DrawImageFrame(g, *source, {0, 0, 4, 4}, 0, 0, 9, 9, 3);

    // Corners are drawn unscaled in the order top left, bottom left, top right, bottom right, each
    // over the one before; edges and centre have no room.
    EXPECT_EQ(ColorAt(*target, 0, 0), RegionColor(0, 0));
    EXPECT_EQ(ColorAt(*target, 0, 3), RegionColor(0, 2));
    EXPECT_EQ(ColorAt(*target, 3, 0), RegionColor(2, 0));
    for (int y = 1; y < 4; ++y)
        for (int x = 1; x < 4; ++x)
            EXPECT_EQ(ColorAt(*target, x, y), RegionColor(2, 2)) << x << ", " << y;
}

TEST(MRender, NegativeNineGridBordersNeverReachIntoTheNeighbouringFrame) {
    // A strip of two frames, red then blue; frame 1 drawn with negative borders.
    auto strip = MakePicture(18, 9, [](int x, int) { return x < 9 ? 0xFFFF0000u : 0xFF0000FFu; });
    auto target = Surface::Create(20, 20);
    Graphics g(*target);
    MRender::DrawImageFrame(g, *strip, {0, 0, 20, 20}, 9, 0, 9, 9, -2);
    MRender::DrawImageFrameMID(g, *strip, {0, 0, 20, 20}, 9, 0, 9, 9, -3, 1, -1, 1);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(ColorAt(*target, x, y), 0xFF0000FFu) << x << ", " << y;
}

struct FadeCase {
    const char* name;
    int from, to;
    bool vertical;
    std::vector<int> alphas; // alpha of each row (or column), 10 of them
    int last;
};

class TransitionTest : public ::testing::TestWithParam<FadeCase> {};

TEST_P(TransitionTest, AlphaGoesLinearlyAcrossTheSlices) {
    const auto& c = GetParam();
    auto white = MakePicture(10, 10, [](int, int) { return 0xFFFFFFFFu; });
    auto target = Surface::Create(12, 12);
    Graphics g(*target);
    const IntRect dst{1, 1, 10, 10}, src{0, 0, 10, 10};
    const int last = c.vertical ? MRender::DrawVerticalTransition(g, *white, dst, src, c.from, c.to)
                                : MRender::DrawHorizontalTransition(g, *white, dst, src, c.from, c.to);
    EXPECT_EQ(last, c.last);
    for (int i = 0; i < 10; ++i) {
        // Across each slice the alpha stays the same.
        for (int j = 0; j < 10; ++j) {
            const int x = 1 + (c.vertical ? j : i), y = 1 + (c.vertical ? i : j);
            ASSERT_EQ(int(target->PixelAt(x, y) >> 24), c.alphas[i]) << "slice " << i << " at " << j;
        }
    }
    EXPECT_EQ(target->PixelAt(0, 0), 0u);
    EXPECT_EQ(target->PixelAt(11, 11), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    MRender, TransitionTest,
    ::testing::Values(
        // 255 at the top, 255 - 25.5 i truncated for row i, 0 only after the last row.
        FadeCase{
            "vertical_opaque_to_clear", 0, 100, true, {255, 229, 204, 178, 153, 127, 102, 76, 51, 25}, 25},
        FadeCase{"vertical_constant", 80, 80, true, {51, 51, 51, 51, 51, 51, 51, 51, 51, 51}, 51},
        FadeCase{
            "horizontal_clear_to_opaque", 100, 0, false, {0, 25, 51, 76, 102, 127, 153, 178, 204, 229}, 229},
        // Percentages outside 0..100 are clamped rather than wrapping the byte.
        FadeCase{
            "out_of_range_percentages", -20, 150, true, {255, 229, 204, 178, 153, 127, 102, 76, 51, 25}, 25}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(MRender, RightBottomTransitionFadesWithDistanceFromTheCorner) {
    auto white = MakePicture(10, 10, [](int, int) { return 0xFFFFFFFFu; });
    auto target = Surface::Create(10, 10);
    Graphics g(*target);
    MRender::DrawRightBottomTransition(g, *white, 0, 0, 10, 0, 0);
    EXPECT_EQ(target->PixelAt(0, 0) >> 24, 255u);
    EXPECT_EQ(target->PixelAt(9, 9), 0u);
    EXPECT_GT(target->PixelAt(3, 0) >> 24, target->PixelAt(6, 0) >> 24);
    EXPECT_EQ(target->PixelAt(6, 0) >> 24, target->PixelAt(0, 6) >> 24);
}

TEST(MRender, RoundRectangleRadiusRule) {
    struct Case {
        double w, h, roundness, rx, ry;
    } cases[] = {
        {100, 20, 2, 5, 5},                          // 25 and 5 differ by more than 10: both take the smaller
        {40, 30, 2, 10, 7.5},                        // within 10 of each other: kept apart
        {60, 40, 4, 7.5, 5},  {20, 20, 0.5, 10, 10}, // corners wider than the shape meet in the middle
        {20, 20, 0, 0, 0}, // no roundness: square corners instead of a division by zero
        {20, 20, -3, 0, 0},
    };
    for (const auto& c : cases) {
        const CornerRadii r = MRender::RoundRectRadii(c.w, c.h, c.roundness);
        EXPECT_DOUBLE_EQ(r.rx, c.rx) << c.w << "x" << c.h << " / " << c.roundness;
        EXPECT_DOUBLE_EQ(r.ry, c.ry) << c.w << "x" << c.h << " / " << c.roundness;
    }
}

TEST(MRender, RoundRectangleFillsWithTheSmallerRadiusAndOutlinesOnTop) {
    auto target = Surface::Create(100, 20);
    Graphics g(*target);
    MRender::DrawRoundRectange(g, 0, 0, 100, 20, 2, 0xFF0000FF, 0, true, 0xFFFF0000);
    EXPECT_EQ(target->PixelAt(0, 0), 0u);
    EXPECT_EQ(target->PixelAt(99, 19), 0u);
    // Inside a 5-pixel round corner, but outside the 25 x 5 elliptic one the wide radius gives.
    EXPECT_COLOR(*target, 6, 1, 0xFFFF0000);
    EXPECT_COLOR(*target, 93, 18, 0xFFFF0000);
    EXPECT_COLOR(*target, 50, 10, 0xFFFF0000);

    auto outlined = Surface::Create(40, 40);
    Graphics o(*outlined);
    MRender::DrawRoundRectange(o, 5, 5, 30, 30, 3, 0xFF00FF00, 2, true, 0xFFFF0000);
    EXPECT_COLOR(*outlined, 20, 5, 0xFF00FF00); // the outline, centred on the edge
    EXPECT_COLOR(*outlined, 20, 20, 0xFFFF0000);
    EXPECT_EQ(outlined->PixelAt(20, 2), 0u);
}

TEST(MRender, FillsAndColours) {
    auto target = Surface::Create(20, 20);
    Graphics g(*target);
    MRender::FillSolidRect(g, nullptr, MakeColorRef(255, 0, 0)); // nothing to fill
    EXPECT_EQ(test::InkBounds(*target), IntRect{});

    const IntRect left{0, 0, 10, 20};
    MRender::FillSolidRect(g, &left, MakeColorRef(255, 0, 0));
    MRender::FillSolidRect(g, 10, 0, 10, 20, MakeColorRef(0, 0, 255));
    EXPECT_EQ(ColorAt(*target, 9, 19), 0xFFFF0000u);
    EXPECT_EQ(ColorAt(*target, 10, 0), 0xFF0000FFu);

    MRender::DrawColor(g, {0, 0, 20, 20}, 0x0000FF00); // alpha 0: nothing
    EXPECT_EQ(ColorAt(*target, 0, 0), 0xFFFF0000u);
    MRender::DrawColor(g, {0, 0, 5, 5}, 0xFF00FF00);
    EXPECT_EQ(ColorAt(*target, 4, 4), 0xFF00FF00u);

    uint32_t black = 0xFF000000, transparentBlack = 0, blue = 0x000000FF;
    MRender::CheckAlphaColor(black);
    MRender::CheckAlphaColor(transparentBlack);
    MRender::CheckAlphaColor(blue);
    EXPECT_EQ(black, 0xFF000001u);
    EXPECT_EQ(transparentBlack, 0x00000001u);
    EXPECT_EQ(blue, 0x000000FFu);
}

TEST(MRender, GradientRunsBetweenTheColoursAtTheirAverageAlpha) {
    auto target = Surface::Create(10, 100);
    Graphics g(*target);
    MRender::DrawGradient(g, {0, 0, 10, 100}, 0xFFFF0000, 0x800000FF, true, 64);
    const Argb top = ColorAt(*target, 5, 0), middle = ColorAt(*target, 5, 50),
               bottom = ColorAt(*target, 5, 99);
    for (Argb c : {top, middle, bottom})
        EXPECT_NEAR(AlphaOf(c), (0xFF + 0x80) / 2, 2);
    EXPECT_GT(RedOf(top), 250);
    EXPECT_GT(BlueOf(bottom), 250);
    EXPECT_NEAR(RedOf(middle), BlueOf(middle), 8);
    EXPECT_EQ(ColorAt(*target, 0, 10), ColorAt(*target, 9, 10)); // vertical: rows are uniform

    auto across = Surface::Create(100, 4);
    Graphics h(*across);
    MRender::DrawGradient(h, {0, 0, 100, 4}, 0xFF000000, 0xFFFFFFFF, false, 0);
    EXPECT_LT(RedOf(ColorAt(*across, 2, 1)), RedOf(ColorAt(*across, 97, 1)));
}

TEST(MRender, OriginPointAlignsContent) {
    struct Case {
        int hAlign, vAlign;
        IntPoint origin;
    } cases[] = {
        {int(DT_LEFT), int(DT_TOP), {0, 0}},
        {int(DT_CENTER), int(DT_VCENTER), {30, 15}},
        {int(DT_RIGHT), int(DT_BOTTOM), {60, 30}},
        {int(DT_CENTER | DT_RIGHT), 12, {0, 0}}, // not one of the values: no offset
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MRender::GetOriginPoint(100, 50, 40, 20, c.hAlign, c.vAlign), c.origin)
            << c.hAlign << "/" << c.vAlign;
        const IntPoint inBox = MRender::GetOriginPoint(IntRect{7, 9, 100, 50}, 40, 20, c.hAlign, c.vAlign);
        EXPECT_EQ(inBox, (IntPoint{c.origin.x + 7, c.origin.y + 9 + 2}));
    }
    // Content larger than the box overhangs both sides when centred.
    EXPECT_EQ(MRender::GetOriginPoint(10, 10, 30, 30, int(DT_CENTER), int(DT_VCENTER)), (IntPoint{-10, -10}));
}

class MRenderText : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(FontRegistry::RegisterToolkitFonts()); }
    const Font m_font{u"Open Sans Semibold", 20};
};

TEST_F(MRenderText, DrawsInTheColorRefColour) {
    auto target = Surface::Create(120, 40);
    Graphics g(*target);
    MRender::DrawTextW(g, {0, 0, 120, 40}, u"", MakeColorRef(255, 0, 0), m_font, DT_SINGLELINE);
    EXPECT_EQ(test::InkBounds(*target), IntRect{});
    MRender::DrawTextW(g, {0, 0, 120, 40}, u"HHHH", MakeColorRef(255, 0, 0), m_font,
                       DT_SINGLELINE | DT_VCENTER);
    const IntRect ink = test::InkBounds(*target);
    ASSERT_FALSE(ink.IsEmpty());
    bool solidRed = false;
    for (int y = ink.y; y < ink.Bottom(); ++y)
        for (int x = ink.x; x < ink.Right(); ++x)
            solidRed = solidRed || ColorAt(*target, x, y) == 0xFFFF0000u;
    EXPECT_TRUE(solidRed);
}

TEST_F(MRenderText, BoundsCountTrailingSpacesOnlyInTheLineForm) {
    const int lineHeight = Graphics::Measure(u"", m_font).height;
    const IntSize trimmed = MRender::GetTextBounds(m_font, DT_CENTER | DT_SINGLELINE, u"Hello   ");
    const IntSize plain = MRender::GetTextBounds(m_font, DT_CENTER | DT_SINGLELINE, u"Hello");
    const IntSize line = MRender::GetTextBounds(m_font, u"Hello   ");
    EXPECT_EQ(trimmed, plain);
    EXPECT_EQ(plain.height, lineHeight + 1);
    EXPECT_EQ(line.height, lineHeight + 1);
    EXPECT_GT(line.width, plain.width);
    EXPECT_EQ(MRender::GetTextBounds(m_font, u"Hello").width, plain.width);
    // Wrapping and ellipsis flags do not narrow the measured text.
    EXPECT_EQ(MRender::GetTextBounds(m_font, DT_WORDBREAK | DT_END_ELLIPSIS, u"Hello").width, plain.width);
}

TEST(MRender, BitmapsAndBlocksAndSaving) {
    uint32_t* bits = nullptr;
    auto bitmap = MRender::CreateARGB32Bitmap(8, 6, &bits);
    ASSERT_TRUE(bitmap);
    ASSERT_EQ(bits, bitmap->Row(0));
    bits[8 * 0 + 2] = 0xFF00FF00; // writing through the pointer reaches the picture
    bitmap->MarkDirty();
    EXPECT_EQ(bitmap->PixelAt(2, 0), 0xFF00FF00u);
    uint32_t* none = reinterpret_cast<uint32_t*>(1);
    EXPECT_FALSE(MRender::CreateARGB32Bitmap(0, 6, &none));
    EXPECT_EQ(none, nullptr);

    auto target = Surface::Create(8, 6);
    target->Fill(0xFFFFFFFF);
    Graphics g(*target);
    MRender::BitBlt(g, 0, 0, 4, 1, *bitmap, 0, 0); // copies transparent pixels too
    EXPECT_EQ(target->PixelAt(0, 0), 0u);
    EXPECT_EQ(target->PixelAt(2, 0), 0xFF00FF00u);
    EXPECT_EQ(target->PixelAt(4, 0), 0xFFFFFFFFu);

    test::TempFolder folder;
    const auto file = folder.Path() / "picture.bmp";
    ASSERT_TRUE(MRender::SaveBitmapToFile(*target, file));
    auto loaded = MRender::LoadImageFromFile(file);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->Width(), 8);
    EXPECT_EQ(ColorAt(loaded->Frame(), 2, 0), 0xFF00FF00u);
    EXPECT_FALSE(MRender::SaveBitmapToFile(*target, folder.Path() / "missing" / "x.bmp"));
    EXPECT_FALSE(MRender::LoadImageFromFile(folder.Path() / "missing.png"));
    EXPECT_FALSE(MRender::LoadImageFromFile({}));
}

} // namespace
} // namespace tessel
