#include "tests/toolkit/DrawTestSupport.h"
#include "toolkit/platform/draw/Graphics.h"

#include <functional>
#include <gtest/gtest.h>
#include <limits>

using namespace tessel;
using tessel::test::ColorAt;
using tessel::test::InkBounds;

namespace {

constexpr Argb kWhite = 0xFFFFFFFF;
constexpr Argb kRed = 0xFFFF0000;
constexpr Argb kBlue = 0xFF0000FF;

// A 20 x 20 surface with a white background, as a control's cache would be.
class DrawShapes : public ::testing::Test {
protected:
    void SetUp() override {
        surface = Surface::Create(20, 20);
        ASSERT_TRUE(surface);
        surface->Fill(Premultiply(kWhite));
    }
    std::unique_ptr<Surface> surface;
};

} // namespace

TEST_F(DrawShapes, FillsBlendReplaceOrDrawOpaque) {
    {
        Graphics g(*surface);
        g.FillRect({0, 0, 10, 10}, 0x80FF0000);     // blended over white
        g.FillSolidRect({10, 0, 10, 10}, 0x0000FF); // COLORREF red, opaque
        g.ClearRect({0, 10, 10, 10}, 0x800000FF);   // replaced, alpha included
        g.FillRect({10, 10, 10, 10}, 0x00FF0000);   // alpha 0: nothing
        g.FillRect({5, 5, 0, 8}, kBlue);            // empty: nothing
    }
    EXPECT_COLOR(*surface, 3, 3, 0xFFFF7F7F);
    EXPECT_COLOR(*surface, 15, 3, kRed);
    EXPECT_EQ(surface->PixelAt(3, 15), Premultiply(0x800000FF));
    EXPECT_COLOR(*surface, 15, 15, kWhite);
    EXPECT_COLOR(*surface, 5, 8, 0xFFFF7F7F);
}

TEST_F(DrawShapes, ClipTranslateAndRestore) {
    {
        Graphics g(*surface);
        {
            Graphics::StateSaver saver(g);
            g.Translate(5, 5);
            g.ClipRect({0, 0, 4, 4});
            EXPECT_EQ(g.ClipBounds(), (IntRect{0, 0, 4, 4}));
            g.FillRect({-5, -5, 20, 20}, kRed);
        }
        // The saver restored the whole surface as clip and the origin.
        EXPECT_EQ(g.ClipBounds(), (IntRect{0, 0, 20, 20}));
        g.Restore(); // unbalanced: ignored, drawing goes on
        g.FillRect({15, 15, 5, 5}, kBlue);
    }
    EXPECT_EQ(InkBounds(*surface, Premultiply(kWhite)), (IntRect{5, 5, 15, 15}));
    EXPECT_COLOR(*surface, 8, 8, kRed);
    EXPECT_COLOR(*surface, 9, 9, kWhite);
    EXPECT_COLOR(*surface, 17, 17, kBlue);
}

TEST_F(DrawShapes, LinesWithAndWithoutAntialias) {
    {
        Graphics g(*surface);
        g.SetAntialias(Antialias::Off);
        g.DrawLine({kRed, 1}, 2, 5.5, 18, 5.5); // through the middle of row 5
        g.DrawLine({kRed, 1, DashStyle::Dot}, 0, 9.5, 20, 9.5);
        g.SetAntialias(Antialias::On);
        g.DrawLine({kBlue, 1}, 0, 15, 20, 15); // on the edge between rows 14 and 15
    }
    EXPECT_COLOR(*surface, 1, 5, kWhite);
    EXPECT_COLOR(*surface, 2, 5, kRed);
    EXPECT_COLOR(*surface, 17, 5, kRed);
    EXPECT_COLOR(*surface, 18, 5, kWhite);
    EXPECT_COLOR(*surface, 10, 4, kWhite);
    EXPECT_COLOR(*surface, 10, 6, kWhite);
    for (int x = 0; x < 8; ++x)
        EXPECT_COLOR(*surface, x, 9, x % 2 == 0 ? kRed : kWhite);
    // Antialiased, a line between two rows covers half of each.
    EXPECT_COLOR(*surface, 10, 14, 0xFF7F7FFF);
    EXPECT_COLOR(*surface, 10, 15, 0xFF7F7FFF);
}

TEST_F(DrawShapes, RectangleOutlineAndFilledShapes) {
    {
        Graphics g(*surface);
        g.SetAntialias(Antialias::Off);
        g.DrawRectangle({kRed, 1}, {2.5, 2.5, 15, 15});
    }
    EXPECT_COLOR(*surface, 2, 2, kRed);
    EXPECT_COLOR(*surface, 17, 17, kRed);
    EXPECT_COLOR(*surface, 10, 2, kRed);
    EXPECT_COLOR(*surface, 10, 10, kWhite);
    EXPECT_COLOR(*surface, 1, 1, kWhite);

    surface->Fill(0);
    {
        Graphics g(*surface);
        g.SetAntialias(Antialias::Off);
        g.FillEllipse(Brush::Solid(kRed), {0, 0, 20, 20});
    }
    EXPECT_COLOR(*surface, 10, 10, kRed);
    EXPECT_COLOR(*surface, 10, 0, kRed);
    EXPECT_EQ(surface->PixelAt(0, 0), 0u);
    EXPECT_EQ(surface->PixelAt(19, 19), 0u);
    // Without antialiasing every pixel is all or nothing.
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const uint32_t a = surface->PixelAt(x, y) >> 24;
            EXPECT_TRUE(a == 0 || a == 255) << x << "," << y;
        }

    surface->Fill(0);
    {
        Graphics g(*surface);
        g.FillEllipse(Brush::Solid(kRed), {0, 0, 20, 20});
    }
    // With antialiasing the edge has partly covered pixels.
    const uint32_t edge = surface->PixelAt(2, 2) >> 24;
    EXPECT_GT(edge, 0u);
    EXPECT_LT(edge, 255u);
}

TEST_F(DrawShapes, ArcCoversOnlyItsQuarter) {
    // 0 to 90 degrees runs clockwise from three o'clock to six o'clock: the lower right quarter.
    {
        Graphics g(*surface);
        g.DrawArc({kRed, 2}, {2, 2, 16, 16}, 0, 90);
    }
    const IntRect ink = InkBounds(*surface, Premultiply(kWhite));
    EXPECT_GE(ink.x, 9);
    EXPECT_GE(ink.y, 9);
    EXPECT_LE(ink.Right(), 20);
    EXPECT_LE(ink.Bottom(), 20);
    EXPECT_COLOR(*surface, 17, 10, kRed); // on the circle at three o'clock

    // On an ellipse, 45 degrees is the point on the diagonal from the centre, (14.5, 9.5) for a
    // 20 x 10 box, not the point a circle's angle would give, (17.1, 8.5).
    surface->Fill(0);
    {
        Graphics g(*surface);
        g.DrawArc({kRed, 1}, {0, 0, 20, 10}, 44, 2);
    }
    const IntRect dot = InkBounds(*surface);
    EXPECT_NEAR(dot.x + dot.width / 2.0, 14.5, 1.0);
    EXPECT_NEAR(dot.y + dot.height / 2.0, 9.5, 1.0);
}

TEST_F(DrawShapes, RoundedRectangleAndPath) {
    {
        Graphics g(*surface);
        g.SetAntialias(Antialias::Off);
        g.FillRoundedRectangle(Brush::Solid(kRed), {0, 0, 20, 20}, 6, 6);
    }
    EXPECT_COLOR(*surface, 0, 0, kWhite);
    EXPECT_COLOR(*surface, 1, 1, kWhite);
    EXPECT_COLOR(*surface, 10, 0, kRed);
    EXPECT_COLOR(*surface, 0, 10, kRed);
    EXPECT_COLOR(*surface, 19, 19, kWhite);

    surface->Fill(Premultiply(kWhite));
    {
        Graphics g(*surface);
        g.SetAntialias(Antialias::Off);
        g.FillPath(Brush::Solid(kBlue), Path().MoveTo(0, 0).LineTo(20, 0).LineTo(0, 20).Close());
    }
    EXPECT_COLOR(*surface, 2, 2, kBlue);
    EXPECT_COLOR(*surface, 17, 17, kWhite);
}

TEST_F(DrawShapes, LinearGradientRunsBetweenItsPoints) {
    {
        Graphics g(*surface);
        g.FillRectangle(Brush::LinearGradient(5, 0, 15, 0, 0xFF000000, kWhite), {0, 0, 20, 20});
    }
    EXPECT_COLOR(*surface, 0, 10, 0xFF000000); // before the start: the first colour
    EXPECT_COLOR(*surface, 19, 10, kWhite);    // after the end: the last colour
    EXPECT_COLOR(*surface, 10, 10, 0xFF8C8C8C);
    for (int x = 5; x < 15; ++x)
        EXPECT_LT(RedOf(ColorAt(*surface, x, 10)), RedOf(ColorAt(*surface, x + 1, 10)));
}

TEST_F(DrawShapes, DeviceScaleMultipliesEveryUnit) {
    {
        Graphics g(*surface, 2.0);
        g.FillRect({1, 1, 4, 4}, kRed);
        EXPECT_EQ(g.ClipBounds(), (IntRect{0, 0, 10, 10}));
    }
    EXPECT_EQ(InkBounds(*surface, Premultiply(kWhite)), (IntRect{2, 2, 8, 8}));
}

TEST_F(DrawShapes, DegenerateCallsLeaveTheContextUsable) {
    // Each of these would put a Cairo context into a permanent error state if passed on.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    auto image = Surface::Create(2, 2);
    const Font font(u"Open Sans Semibold", 12);
    const std::function<void(Graphics&)> calls[] = {
        [&](Graphics& g) { g.Translate(nan, 3); },
        [&](Graphics& g) {
            g.DrawArc({kRed, 1}, {0, 0, 1e-30, 1e-30}, 0, 90);
        },
        [&](Graphics& g) {
            g.FillEllipse(Brush::Solid(kRed), {nan, 0, 10, 10});
        },
        [&](Graphics& g) {
            g.DrawImage(*image, {0, 0, 2, 2}, RectF(0, 0, 1e-30, 5));
        },
        [&](Graphics& g) {
            g.DrawImage(*image, {0, 0, 2, 2}, RectF(nan, 0, 5, 5));
        },
        [&](Graphics& g) {
            g.DrawText(u"x", {0, 0, 1 << 30, 1 << 30}, font, kRed, DT_WORDBREAK | DT_END_ELLIPSIS);
        },
        [&](Graphics& g) { g.Restore(); },
    };
    for (size_t i = 0; i < std::size(calls); ++i) {
        SCOPED_TRACE(i);
        surface->Fill(0);
        {
            Graphics g(*surface);
            calls[i](g);
            g.FillRect({0, 0, 20, 20}, kBlue);
        }
        EXPECT_COLOR(*surface, 10, 10, kBlue);
    }
}
