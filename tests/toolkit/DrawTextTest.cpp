#include "base/Utf.h"
#include "tests/toolkit/DrawTestSupport.h"
#include "toolkit/platform/draw/FontRegistry.h"
#include "toolkit/platform/draw/Graphics.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace tessel;
using base::operator""_u16;
using tessel::test::InkBounds;

namespace {

const std::u16string kLatinFace = u"Open Sans Semibold";
const std::u16string kDefaultFace = u"HarmonyOS Sans SC";

class DrawText : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(FontRegistry::RegisterToolkitFonts()); }

    // Draws `text` on a transparent 200 x 60 surface and returns the ink's bounding box.
    IntRect InkOf(const std::u16string& text, const IntRect& rect, uint32_t format, const Font& face,
                  double scale = 1.0) {
        surface = Surface::Create(200, 60);
        Graphics g(*surface, scale);
        g.DrawText(text, rect, face, 0xFF000000, format);
        return InkBounds(*surface);
    }

    Font font{kLatinFace, 16};
    std::unique_ptr<Surface> surface;
};

bool Inside(const IntRect& inner, const IntRect& outer) {
    return !inner.IsEmpty() && inner.x >= outer.x && inner.y >= outer.y && inner.Right() <= outer.Right() &&
           inner.Bottom() <= outer.Bottom();
}

} // namespace

TEST_F(DrawText, ToolkitFacesResolveToTheirFonts) {
    EXPECT_EQ(FontRegistry::ResolveFamily(kDefaultFace), u"Noto Sans CJK SC");
    EXPECT_NE(FontRegistry::ResolveFamily(kLatinFace).find(u"Open Sans"), std::u16string::npos);
    // Chinese text in the default face draws real glyphs, wider for two characters than one.
    const Font cjk(kDefaultFace, 20);
    const IntSize one = Graphics::Measure(u"中", cjk), two = Graphics::Measure(u"中文", cjk);
    EXPECT_NEAR(one.width, 20, 2);
    EXPECT_NEAR(two.width, 40, 3);
    EXPECT_FALSE(InkOf(u"中文", {0, 0, 200, 60}, DT_SINGLELINE, cjk).IsEmpty());
}

TEST_F(DrawText, MeasuresLinesAndWidths) {
    const IntSize hello = Graphics::Measure(u"Hello", font);
    EXPECT_GT(hello.width, 30);
    EXPECT_LT(hello.width, 50);
    EXPECT_GE(hello.height, 16);
    EXPECT_LE(hello.height, 26);
    EXPECT_GT(Graphics::Measure(u"Hello, world", font).width, hello.width);
    EXPECT_GT(Graphics::Measure(u"Hello", Font(kLatinFace, 32)).width, hello.width * 3 / 2);
    EXPECT_EQ(Graphics::Measure(u"", font), (IntSize{0, hello.height}));

    // Line breaks count only without DT_SINGLELINE, where they become spaces.
    EXPECT_EQ(Graphics::Measure(u"one\ntwo", font, DT_SINGLELINE).height, hello.height);
    EXPECT_EQ(Graphics::Measure(u"one\ntwo", font, DT_WORDBREAK, 500).height, 2 * hello.height);

    // Word breaking wraps to the width; a word longer than the width is broken too.
    const IntSize wrapped = Graphics::Measure(u"alpha beta gamma delta", font, DT_WORDBREAK, 70);
    EXPECT_LE(wrapped.width, 70);
    EXPECT_GE(wrapped.height, 3 * hello.height);
    EXPECT_LE(Graphics::Measure(u"Incomprehensibilities", font, DT_WORDBREAK, 50).width, 50);

    // A Graphics with a device scale measures in the same logical units.
    auto big = Surface::Create(10, 10);
    Graphics scaled(*big, 2.0);
    EXPECT_NEAR(scaled.MeasureText(u"Hello", font).width, hello.width, 1);
}

TEST_F(DrawText, AlignmentPlacesInkInsideTheRectangle) {
    const IntRect box{10, 5, 180, 50};
    struct Case {
        uint32_t format;
        int expectedX; // where the ink's horizontal middle should be
        int expectedY; // where its vertical middle should be
    } cases[] = {{DT_LEFT | DT_TOP | DT_SINGLELINE, -1, -1},
                 {DT_CENTER | DT_VCENTER | DT_SINGLELINE, 100, 30},
                 {DT_RIGHT | DT_BOTTOM | DT_SINGLELINE, -2, -2},
                 // Wrapping and ellipsis hand the alignment to the line layout.
                 {DT_CENTER | DT_VCENTER | DT_WORDBREAK, 100, 30},
                 {DT_RIGHT | DT_BOTTOM | DT_SINGLELINE | DT_END_ELLIPSIS, -2, -2}};
    const IntSize size = Graphics::Measure(u"Hello", font);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        const IntRect ink = InkOf(u"Hello", box, c.format, font);
        ASSERT_TRUE(Inside(ink, box)) << ink.x << "," << ink.y << " " << ink.width << "x" << ink.height;
        EXPECT_LE(ink.width, size.width);
        if (c.expectedX == -1) {
            EXPECT_LE(ink.x - box.x, 3);
            EXPECT_LE(ink.y - box.y, size.height / 2);
        } else if (c.expectedX == -2) {
            EXPECT_LE(box.Right() - ink.Right(), 3);
            EXPECT_LE(box.Bottom() - ink.Bottom(), size.height / 2);
        } else {
            EXPECT_NEAR(ink.x + ink.width / 2.0, c.expectedX, 2);
            EXPECT_NEAR(ink.y + ink.height / 2.0, c.expectedY, 4);
        }
    }
    // With a device scale of 2 the same call lands at twice the position.
    const IntRect scaled = InkOf(u"Hi", {10, 5, 40, 20}, DT_LEFT | DT_TOP | DT_SINGLELINE, font, 2.0);
    const IntRect plain = InkOf(u"Hi", {10, 5, 40, 20}, DT_LEFT | DT_TOP | DT_SINGLELINE, font);
    EXPECT_NEAR(scaled.x, 2 * plain.x, 2);
    EXPECT_NEAR(scaled.width, 2 * plain.width, 3);
}

TEST_F(DrawText, ClipsToTheRectangleUnlessToldNot) {
    const std::u16string text = u"A rather long line of text";
    const IntRect box{10, 10, 60, 30};
    EXPECT_TRUE(Inside(InkOf(text, box, DT_SINGLELINE, font), box));
    EXPECT_GT(InkOf(text, box, DT_SINGLELINE | DT_NOCLIP, font).Right(), box.Right());
    // Wrapped lines below the rectangle are cut off too.
    EXPECT_TRUE(Inside(InkOf(text, {10, 10, 60, 20}, DT_WORDBREAK, font), IntRect{10, 10, 60, 20}));
    // Measuring through DrawText draws nothing.
    EXPECT_TRUE(InkOf(text, box, DT_SINGLELINE | DT_CALCRECT, font).IsEmpty());
    EXPECT_TRUE(InkOf(text, {10, 10, 0, 30}, DT_SINGLELINE, font).IsEmpty());
}

TEST_F(DrawText, EllipsisShortensTextThatDoesNotFit) {
    const std::u16string text = u"alpha beta gamma";
    const int fitsTwoWords = Graphics::Measure(u"alpha beta\u2026", font).width + 4;
    ASSERT_LT(fitsTwoWords, Graphics::Measure(text, font).width);

    // Word ellipsis cuts after the last whole word that fits.
    EXPECT_EQ(Graphics::Measure(text, font, DT_SINGLELINE | DT_WORD_ELLIPSIS, fitsTwoWords),
              Graphics::Measure(u"alpha beta\u2026", font));
    // End ellipsis cuts between characters and uses the room it has.
    const IntSize end = Graphics::Measure(text, font, DT_SINGLELINE | DT_END_ELLIPSIS, fitsTwoWords);
    EXPECT_LE(end.width, fitsTwoWords);
    EXPECT_GE(end.width, fitsTwoWords - 16);
    // When not even one word fits, word ellipsis falls back to cutting characters.
    EXPECT_LE(Graphics::Measure(text, font, DT_SINGLELINE | DT_WORD_ELLIPSIS, 30).width, 30);
    // Text that fits is left as it is.
    EXPECT_EQ(Graphics::Measure(text, font, DT_SINGLELINE | DT_END_ELLIPSIS, 500),
              Graphics::Measure(text, font));

    // Drawn, the ellipsized text fills the box nearly to its right edge and stays inside.
    const IntRect box{0, 0, fitsTwoWords, 30};
    const IntRect ink = InkOf(text, box, DT_SINGLELINE | DT_END_ELLIPSIS, font);
    EXPECT_TRUE(Inside(ink, box));
    EXPECT_GE(ink.Right(), box.Right() - 16);
    // Wrapped text with an ellipsis keeps to the lines that fit the height.
    const int line = Graphics::Measure(u"x", font).height;
    const IntRect twoLines{0, 0, 80, 2 * line};
    EXPECT_TRUE(
        Inside(InkOf(u"one two three four five six seven", twoLines, DT_WORDBREAK | DT_END_ELLIPSIS, font),
               twoLines));
}

TEST_F(DrawText, ColourWeightItalicAndUnderline) {
    auto target = Surface::Create(100, 40);
    {
        Graphics g(*target);
        g.DrawText(u"Hello", {0, 0, 100, 40}, font, 0xFFFF0000, DT_SINGLELINE);
    }
    // Every inked pixel is red at some coverage.
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 100; ++x) {
            const Argb c = test::ColorAt(*target, x, y);
            if (AlphaOf(c)) {
                ASSERT_TRUE(test::Near(c | 0xFF000000, 0xFFFF0000, 3)) << std::hex << c;
            }
        }

    const IntRect plain = InkOf(u"aaa", {0, 0, 200, 60}, DT_SINGLELINE, font);
    const IntRect underlined =
        InkOf(u"aaa", {0, 0, 200, 60}, DT_SINGLELINE, Font(kLatinFace, 16, 400, false, true));
    EXPECT_GT(underlined.Bottom(), plain.Bottom());
    // The default face comes in regular and bold; bold strokes put down more ink.
    auto inkAmount = [&](const Font& face) {
        InkOf(u"Hello", {0, 0, 200, 60}, DT_SINGLELINE, face);
        long sum = 0;
        for (int y = 0; y < surface->Height(); ++y)
            for (int x = 0; x < surface->Width(); ++x)
                sum += surface->PixelAt(x, y) >> 24;
        return sum;
    };
    EXPECT_GT(inkAmount(Font(kDefaultFace, 16, FontWeightBold)), inkAmount(Font(kDefaultFace, 16)) * 5 / 4);

    const IntRect italic = InkOf(u"lll", {0, 0, 200, 60}, DT_SINGLELINE, Font(kLatinFace, 16, 400, true));
    const IntRect upright = InkOf(u"lll", {0, 0, 200, 60}, DT_SINGLELINE, font);
    EXPECT_GT(italic.width, upright.width); // slanted strokes spread wider
}

TEST_F(DrawText, RegistryRejectsFilesItCannotUse) {
    const auto dir = std::filesystem::temp_directory_path();
    const auto notAFont = dir / ("toolkit_draw_" + std::to_string(getpid()) + "_font.ttf");
    const auto badConfig = dir / ("toolkit_draw_" + std::to_string(getpid()) + "_bad.conf");
    std::ofstream(notAFont) << "this is not a font";
    std::ofstream(badConfig) << "<fontconfig><alias><family>unclosed";
    EXPECT_FALSE(FontRegistry::AddFontFile(notAFont));
    EXPECT_FALSE(FontRegistry::AddFontFile(dir / "no-such-font.ttf"));
    EXPECT_FALSE(FontRegistry::LoadConfigFile(badConfig));
    EXPECT_FALSE(FontRegistry::LoadConfigFile(dir / "no-such-fonts.conf"));
    std::filesystem::remove(notAFont);
    std::filesystem::remove(badConfig);
    // The faces registered before still resolve.
    EXPECT_EQ(FontRegistry::ResolveFamily(kDefaultFace), u"Noto Sans CJK SC");
}
