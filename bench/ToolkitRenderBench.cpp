// Draws the pictures a window repaint spends its time on: a 1200 x 800 nine-grid frame from a
// small skin image, and a linear fade over a list's height.
#include "toolkit/core/MRender.h"

#include <benchmark/benchmark.h>

using namespace tessel;

namespace {

// A 60 x 60 skin frame with 12-pixel corners: a rounded, gradient-filled, translucent border.
std::unique_ptr<Surface> MakeSkin() {
    auto skin = Surface::Create(60, 60);
    Graphics g(*skin);
    g.FillRoundedRectangle(Brush::LinearGradient(0, 0, 0, 60, 0xFF3060C0, 0xC0202020), {0, 0, 60, 60}, 12,
                           12);
    g.DrawRoundedRectangle({0xFFFFFFFF, 2}, {1, 1, 58, 58}, 11, 11);
    return skin;
}

void NineGridWindowFrame(benchmark::State& state) {
    auto skin = MakeSkin();
    auto target = Surface::Create(1200, 800);
    Graphics g(*target);
    for (auto _ : state) {
        g.Clear();
        MRender::DrawImageFrame(g, *skin, {0, 0, 1200, 800}, 0, 0, 60, 60, 12);
        benchmark::DoNotOptimize(target->PixelAt(600, 400));
    }
}
BENCHMARK(NineGridWindowFrame)->Unit(benchmark::kMillisecond);

void VerticalFadeOfAList(benchmark::State& state) {
    auto list = Surface::Create(400, 800);
    list->Fill(0xFF808080);
    auto target = Surface::Create(400, 800);
    Graphics g(*target);
    for (auto _ : state) {
        g.Clear();
        benchmark::DoNotOptimize(
            MRender::DrawVerticalTransition(g, *list, {0, 0, 400, 800}, {0, 0, 400, 800}, 0, 100));
    }
}
BENCHMARK(VerticalFadeOfAList)->Unit(benchmark::kMillisecond);

} // namespace
