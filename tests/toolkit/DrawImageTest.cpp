#include "tests/toolkit/DrawTestSupport.h"
#include "toolkit/platform/draw/Graphics.h"
#include "toolkit/platform/draw/Image.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <vector>

using namespace tessel;
using tessel::test::ColorAt;
using tessel::test::InkBounds;

namespace {

constexpr Argb kWhite = 0xFFFFFFFF;
constexpr Argb kRed = 0xFFFF0000;
constexpr Argb kBlue = 0xFF0000FF;

// A surface of w x h whose left half is `left` and right half `right`, like a two-frame strip.
std::unique_ptr<Surface> Strip(int w, int h, Argb left, Argb right) {
    auto s = Surface::Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s->Row(y)[x] = Premultiply(x < w / 2 ? left : right);
    s->MarkDirty();
    return s;
}

// Writes a GIF89a of 2 x 2 pixels with one frame per entry of `frames` (four palette indexes
// each: 0 red, 1 green, 2 blue, 3 white) and the given delays in hundredths of a second. The
// image data is LZW with a clear code before every pixel, which keeps every code 3 bits wide.
// The logical screen the frames sit on may be larger (a frame is decoded at the screen's size).
std::vector<uint8_t> TwoByTwoGif(const std::vector<std::vector<uint8_t>>& frames,
                                 const std::vector<int>& delays, uint16_t screenWidth = 2,
                                 uint16_t screenHeight = 2) {
    std::vector<uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
    out.insert(out.end(), {uint8_t(screenWidth), uint8_t(screenWidth >> 8), uint8_t(screenHeight),
                           uint8_t(screenHeight >> 8), 0x91, 0, 0});
    out.insert(out.end(), {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255}); // palette
    const char* loop = "\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00";
    out.insert(out.end(), loop, loop + 19);
    for (size_t f = 0; f < frames.size(); ++f) {
        out.insert(out.end(), {0x21, 0xF9, 4, 0x04, uint8_t(delays[f]), uint8_t(delays[f] >> 8), 0, 0});
        out.insert(out.end(), {0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0, 2});
        std::vector<uint8_t> data;
        uint32_t bits = 0, count = 0;
        auto put = [&](uint32_t code) {
            bits |= code << count;
            count += 3;
            while (count >= 8) {
                data.push_back(uint8_t(bits));
                bits >>= 8;
                count -= 8;
            }
        };
        for (uint8_t index : frames[f]) {
            put(4); // clear
            put(index);
        }
        put(5); // end of information
        if (count)
            data.push_back(uint8_t(bits));
        out.push_back(uint8_t(data.size()));
        out.insert(out.end(), data.begin(), data.end());
        out.push_back(0);
    }
    out.push_back(0x3B);
    return out;
}

std::filesystem::path TempFile(const std::string& name) {
    return std::filesystem::temp_directory_path() / ("toolkit_draw_" + std::to_string(getpid()) + "_" + name);
}

} // namespace

TEST(DrawImage, StretchedFrameOfAStripDoesNotBleed) {
    auto strip = Strip(4, 2, kRed, kBlue);
    for (Interpolation mode :
         {Interpolation::NearestNeighbor, Interpolation::Bilinear, Interpolation::HighQuality}) {
        auto target = Surface::Create(20, 20);
        {
            Graphics g(*target);
            g.DrawImage(*strip, {2, 0, 2, 2}, RectF(0, 0, 20, 20), 255, mode);
        }
        // Every pixel, the edges next to the red frame included, is the blue frame's colour.
        for (int i = 0; i < 20; ++i) {
            EXPECT_COLOR(*target, 0, i, kBlue);
            EXPECT_COLOR(*target, i, 10, kBlue);
        }
    }
}

TEST(DrawImage, ConstantAndPerPixelAlphaMultiply) {
    auto image = Strip(2, 2, kRed, 0x8000FF00); // left opaque red, right half-transparent green
    auto target = Surface::Create(20, 20);
    target->Fill(Premultiply(kWhite));
    {
        Graphics g(*target);
        g.DrawImage(*image, {0, 0, 2, 2}, RectF(0, 0, 20, 10), 255, Interpolation::NearestNeighbor);
        g.DrawImage(*image, {0, 0, 2, 2}, RectF(0, 10, 20, 10), 128, Interpolation::NearestNeighbor);
    }
    EXPECT_COLOR(*target, 2, 2, kRed);
    EXPECT_COLOR(*target, 17, 2, 0xFF7FFF7F);  // green at alpha 128 over white
    EXPECT_COLOR(*target, 2, 12, 0xFFFF7F7F);  // red at constant alpha 128
    EXPECT_COLOR(*target, 17, 12, 0xFFBFFFBF); // green at 128 x 128 / 255
}

TEST(DrawImage, CopyReplacesPixelsAlphaIncluded) {
    auto image = Strip(4, 2, kRed, 0x800000FF);
    auto target = Surface::Create(20, 20);
    target->Fill(Premultiply(kWhite));
    {
        Graphics g(*target);
        g.CopyImage(*image, {1, 0, 3, 2}, 5, 5);
        g.CopyImage(*image, {-2, 0, 4, 1}, 0, 0); // the part left of the image is skipped
    }
    EXPECT_COLOR(*target, 4, 5, kWhite);
    EXPECT_COLOR(*target, 5, 5, kRed);
    EXPECT_EQ(target->PixelAt(6, 6), Premultiply(0x800000FF));
    EXPECT_EQ(target->PixelAt(7, 6), Premultiply(0x800000FF));
    EXPECT_COLOR(*target, 8, 6, kWhite);
    EXPECT_COLOR(*target, 7, 7, kWhite);
    EXPECT_COLOR(*target, 1, 0, kWhite);
    EXPECT_COLOR(*target, 2, 0, kRed);
    EXPECT_COLOR(*target, 3, 0, kRed);
    EXPECT_COLOR(*target, 4, 0, kWhite);
}

TEST(DrawImage, SourceRectIsCutToTheImageAndEmptyRectsDrawNothing) {
    auto image = Strip(2, 2, kRed, kRed);
    auto target = Surface::Create(20, 20);
    {
        Graphics g(*target);
        // A 4 x 4 source on a 2 x 2 image keeps its scale of 5: only the top-left 10 x 10 is drawn.
        g.DrawImage(*image, {0, 0, 4, 4}, RectF(0, 0, 20, 20));
        g.DrawImage(*image, {0, 0, 0, 2}, RectF(10, 10, 10, 10));
        g.DrawImage(*image, {5, 5, 2, 2}, RectF(10, 10, 10, 10));
        g.DrawImage(*image, {0, 0, 2, 2}, RectF(10, 10, 0, 10));
        g.DrawImage(*image, {0, 0, 2, 2}, RectF(10, 10, 10, 10), 0);
    }
    EXPECT_EQ(InkBounds(*target), (IntRect{0, 0, 10, 10}));
}

TEST(DrawImage, FileFormatsRoundTripPremultiplied) {
    struct Case {
        ImageFormat format;
        const char* name;
        bool alpha;
        int tolerance;
    } cases[] = {{ImageFormat::Png, "a.png", true, 1},
                 {ImageFormat::Bmp, "a.bmp", false, 0},
                 {ImageFormat::Ico, "a.ico", true, 1},
                 {ImageFormat::Jpeg, "a.jpg", false, 40}};
    auto source = Strip(16, 16, kRed, 0x800000FF);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto path = TempFile(c.name);
        ASSERT_TRUE(Image::Save(*source, path, c.format));
        auto image = Image::Load(path);
        std::filesystem::remove(path);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->Width(), 16);
        EXPECT_EQ(image->Height(), 16);
        EXPECT_EQ(image->FrameCount(), 1);
        EXPECT_EQ(image->FrameDelayMs(0), 0);
        EXPECT_TRUE(test::Near(ColorAt(image->Frame(), 2, 8), kRed, c.tolerance));
        // Formats without alpha keep the straight colour of a half-transparent pixel.
        const Argb blue = c.alpha ? 0x800000FF : 0xFF0000FF;
        EXPECT_TRUE(test::Near(ColorAt(image->Frame(), 13, 8), blue, c.tolerance))
            << std::hex << ColorAt(image->Frame(), 13, 8);
        if (c.alpha) {
            EXPECT_TRUE(test::Near(image->Frame().PixelAt(13, 8), Premultiply(0x800000FF), c.tolerance));
        }
    }
}

TEST(DrawImage, GifFramesAreCompositedWithTheirDelays) {
    const auto bytes = TwoByTwoGif({{0, 0, 0, 0}, {1, 2, 3, 0}, {2, 2, 2, 2}}, {10, 25, 5});
    auto image = Image::LoadFromMemory(bytes.data(), bytes.size());
    ASSERT_TRUE(image);
    ASSERT_EQ(image->FrameCount(), 3);
    EXPECT_EQ(image->FrameDelayMs(0), 100);
    EXPECT_EQ(image->FrameDelayMs(1), 250);
    EXPECT_GE(image->FrameDelayMs(2), 20);
    EXPECT_COLOR(image->Frame(0), 1, 1, kRed);
    EXPECT_COLOR(image->Frame(1), 0, 0, 0xFF00FF00);
    EXPECT_COLOR(image->Frame(1), 1, 0, kBlue);
    EXPECT_COLOR(image->Frame(1), 0, 1, kWhite);
    EXPECT_COLOR(image->Frame(2), 0, 0, kBlue);
    // Out-of-range frame numbers give the last frame rather than failing.
    EXPECT_EQ(&image->Frame(99), &image->Frame(2));
    EXPECT_EQ(image->FrameDelayMs(-1), 0);
}

TEST(DrawImage, DamagedOrMissingInputGivesNull) {
    auto gif = TwoByTwoGif({{0, 1, 2, 3}}, {0});
    std::vector<uint8_t> truncated(gif.begin(), gif.begin() + 20);
    const uint8_t garbage[] = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0};
    EXPECT_FALSE(Image::LoadFromMemory(truncated.data(), truncated.size()));
    EXPECT_FALSE(Image::LoadFromMemory(garbage, sizeof garbage));
    EXPECT_FALSE(Image::LoadFromMemory(nullptr, 0));
    EXPECT_FALSE(Image::Load(TempFile("missing.png")));

    // A PNG cut in half.
    const auto path = TempFile("half.png");
    auto source = Strip(16, 16, kRed, kBlue);
    ASSERT_TRUE(Image::Save(*source, path, ImageFormat::Png));
    const auto size = std::filesystem::file_size(path);
    std::filesystem::resize_file(path, size / 2);
    EXPECT_FALSE(Image::Load(path));
    std::filesystem::remove(path);

    EXPECT_FALSE(Image::Save(*source, "/nonexistent-folder/x.png", ImageFormat::Png));
}

// Tiny files that claim huge pictures are refused before they are decoded.
TEST(DrawImage, OversizedImagesAreRefused) {
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {"a 16000 x 16000 screen", TwoByTwoGif({{0, 1, 2, 3}}, {10}, 16000, 16000)},
        {"a static 16000 x 16000 screen", TwoByTwoGif({{0, 1, 2, 3}}, {0}, 16000, 16000)},
        // 20 frames of 1000 x 1000 make 80 MB, past the 64 MiB all frames may take together.
        {"many full-size frames", TwoByTwoGif(std::vector<std::vector<uint8_t>>(20, {0, 1, 2, 3}),
                                              std::vector<int>(20, 10), 1000, 1000)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_LT(c.bytes.size(), 2000u);
        EXPECT_FALSE(Image::LoadFromMemory(c.bytes.data(), c.bytes.size()));
    }
    // Within the caps, a frame on a larger screen still loads at the screen's size.
    const auto fits = TwoByTwoGif({{0, 1, 2, 3}, {3, 2, 1, 0}}, {10, 10}, 1000, 1000);
    auto image = Image::LoadFromMemory(fits.data(), fits.size());
    ASSERT_TRUE(image);
    EXPECT_EQ(image->Frame(0).Width(), 1000);
}
