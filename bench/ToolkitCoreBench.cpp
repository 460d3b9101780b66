// Repaints of a 1200 x 800 dialog holding 384 cached controls on the headless backend: a full
// repaint (every control copies its cached picture), and the update of one small control, which
// repaints only its rectangle and rebuilds only its own cache.
#include "toolkit/core/MControlFont.h"
#include "toolkit/core/MDialog.h"
#include "toolkit/platform/Window.h"

#include <benchmark/benchmark.h>

using namespace tessel;

namespace {

/// A control that caches its drawing: a filled, outlined cell with a short title.
class Cell : public MControlFont {
public:
    Cell(MObject* parent, UINT id, const CRect& rect) : MControlFont(parent, id, rect, u"Key", 1, 1, 1) {}
    const char16_t* GetClassNameW() const override { return u"Cell"; }
    BOOL DrawControl(Graphics& g, const CRect&) override {
        if (!GetUpdate() || !GetMemDC()) {
            Surface* cache = UpdateMemDC(g, m_rect.Width(), m_rect.Height());
            Graphics c(*cache);
            c.Clear(m_lit ? 0xFF3A6EA5 : 0xFF303846);
            c.DrawRectangle({0xFF8090A0, 1}, {0.5, 0.5, m_rect.Width() - 1.0, m_rect.Height() - 1.0});
            c.DrawText(m_title, {0, 0, m_rect.Width(), m_rect.Height()}, Font(u"DejaVu Sans", 12), 0xFFFFFFFF,
                       DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            ++rebuilds;
        }
        g.DrawImage(*GetMemDC(), m_rect.left, m_rect.top);
        return 1;
    }
    void Toggle() {
        m_lit = !m_lit;
        UpdateControl(1);
    }
    int rebuilds = 0;

private:
    bool m_lit = false;
};

struct BenchDialog {
    MDialog dialog;
    std::vector<Cell*> cells;

    BenchDialog() {
        InitPlatform(BackendKind::Headless);
        dialog.Create(nullptr, u"bench", WS_POPUP | WS_VISIBLE, 0, RECT{0, 0, 1200, 800});
        // 24 columns x 16 rows of 44 x 44 cells, 6 pixels apart.
        for (int row = 0; row < 16; ++row)
            for (int column = 0; column < 24; ++column) {
                const int x = 10 + column * 49, y = 10 + row * 49;
                auto cell = std::make_unique<Cell>(&dialog, UINT(100 + row * 24 + column),
                                                   CRect{x, y, x + 44, y + 44});
                cells.push_back(static_cast<Cell*>(dialog.GetPaintManager().AddControl(std::move(cell))));
            }
        UpdateWindow(dialog.GetSafeHwnd());
    }
};

void FullRepaint(benchmark::State& state) {
    BenchDialog bench;
    const HWND hwnd = bench.dialog.GetSafeHwnd();
    for (auto _ : state) {
        InvalidateRect(hwnd, nullptr, 0);
        UpdateWindow(hwnd);
    }
    state.counters["controls"] = double(bench.cells.size());
}
BENCHMARK(FullRepaint)->Unit(benchmark::kMillisecond);

void UpdateOneSmallControl(benchmark::State& state) {
    BenchDialog bench;
    const HWND hwnd = bench.dialog.GetSafeHwnd();
    Cell* cell = bench.cells[200];
    for (auto _ : state) {
        cell->Toggle();
        UpdateWindow(hwnd);
    }
    state.counters["rebuilds_per_update"] =
        benchmark::Counter(double(cell->rebuilds - 1) / double(state.iterations()));
}
BENCHMARK(UpdateOneSmallControl)->Unit(benchmark::kMicrosecond);

} // namespace
