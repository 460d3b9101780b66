// Repaints a 1200 x 800 window picture the way a page of controls does: a background, a grid of
// 200 cached image tiles (with per-pixel alpha, some faded) and 200 text labels.
#include "base/Utf.h"
#include "toolkit/platform/draw/FontRegistry.h"
#include "toolkit/platform/draw/Graphics.h"

#include <benchmark/benchmark.h>
#include <string>
#include <vector>

using namespace tessel;

namespace {

constexpr int kWidth = 1200;
constexpr int kHeight = 800;
constexpr int kColumns = 20;
constexpr int kRows = 10;
constexpr int kCellWidth = kWidth / kColumns; // 60
constexpr int kCellHeight = kHeight / kRows;  // 80

// A few cached tiles: a rounded, gradient-filled, half-transparent picture like a skin image.
std::vector<std::unique_ptr<Surface>> MakeTiles() {
    std::vector<std::unique_ptr<Surface>> tiles;
    for (int i = 0; i < 8; ++i) {
        auto tile = Surface::Create(56, 44);
        Graphics g(*tile);
        const Argb top = MakeArgb(0xFF, uint8_t(30 * i), 0x80, uint8_t(255 - 30 * i));
        g.FillRoundedRectangle(Brush::LinearGradient(0, 0, 0, 44, top, 0xC0202020), {0, 0, 56, 44}, 8, 8);
        g.DrawEllipse({0xFFFFFFFF, 2}, {14, 8, 28, 28});
        tiles.push_back(std::move(tile));
    }
    return tiles;
}

struct Scene {
    std::unique_ptr<Surface> target = Surface::Create(kWidth, kHeight);
    std::vector<std::unique_ptr<Surface>> tiles = MakeTiles();
    std::vector<std::u16string> labels;
    Font font{u"HarmonyOS Sans SC", 14};

    Scene() {
        FontRegistry::RegisterToolkitFonts();
        const char16_t* words[] = {u"Esc", u"Caps Lock", u"Backspace", u"音量+", u"Shift", u"Profile 1"};
        for (int i = 0; i < kColumns * kRows; ++i)
            labels.push_back(std::u16string(words[i % 6]) + base::ToUtf16(std::to_string(i)));
    }

    void PaintImages(Graphics& g) {
        for (int i = 0; i < kColumns * kRows; ++i) {
            const int x = (i % kColumns) * kCellWidth, y = (i / kColumns) * kCellHeight;
            const Surface& tile = *tiles[i % tiles.size()];
            // Every fourth tile is stretched, every third faded, as hover and transition states are.
            if (i % 4 == 0)
                g.DrawImage(tile, {0, 0, tile.Width(), tile.Height()}, RectF(x + 2, y + 2, 56, 50), 255);
            else
                g.DrawImage(tile, x + 2, y + 2, i % 3 == 0 ? 160 : 255);
        }
    }

    void PaintLabels(Graphics& g) {
        for (int i = 0; i < kColumns * kRows; ++i) {
            const int x = (i % kColumns) * kCellWidth, y = (i / kColumns) * kCellHeight;
            g.DrawText(labels[i], {x, y + 54, kCellWidth, 24}, font, 0xFFE0E0E0,
                       DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
        }
    }
};

Scene& TheScene() {
    static Scene scene;
    return scene;
}

void BM_RepaintImagesAndText(benchmark::State& state) {
    Scene& scene = TheScene();
    Graphics g(*scene.target);
    for (auto _ : state) {
        g.FillSolidRect({0, 0, kWidth, kHeight}, 0x202020);
        scene.PaintImages(g);
        scene.PaintLabels(g);
        benchmark::DoNotOptimize(scene.target->CairoSurface());
    }
}
BENCHMARK(BM_RepaintImagesAndText)->Unit(benchmark::kMillisecond);

void BM_RepaintImagesOnly(benchmark::State& state) {
    Scene& scene = TheScene();
    Graphics g(*scene.target);
    for (auto _ : state) {
        g.FillSolidRect({0, 0, kWidth, kHeight}, 0x202020);
        scene.PaintImages(g);
    }
}
BENCHMARK(BM_RepaintImagesOnly)->Unit(benchmark::kMillisecond);

void BM_RepaintTextOnly(benchmark::State& state) {
    Scene& scene = TheScene();
    Graphics g(*scene.target);
    for (auto _ : state) {
        g.FillSolidRect({0, 0, kWidth, kHeight}, 0x202020);
        scene.PaintLabels(g);
    }
}
BENCHMARK(BM_RepaintTextOnly)->Unit(benchmark::kMillisecond);

// The same picture at a device scale of 2 (a 2400 x 1600 surface), as on a HiDPI screen.
void BM_RepaintImagesAndTextScale2(benchmark::State& state) {
    Scene& scene = TheScene();
    auto big = Surface::Create(2 * kWidth, 2 * kHeight);
    Graphics g(*big, 2.0);
    for (auto _ : state) {
        g.FillSolidRect({0, 0, kWidth, kHeight}, 0x202020);
        scene.PaintImages(g);
        scene.PaintLabels(g);
    }
}
BENCHMARK(BM_RepaintImagesAndTextScale2)->Unit(benchmark::kMillisecond);

} // namespace
