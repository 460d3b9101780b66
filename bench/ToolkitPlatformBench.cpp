// Repainting a full 1200 x 800 window through the windowing layer: invalidate, the WM_PAINT that
// the queue makes of it, BeginPaint / EndPaint around a fill, and presenting the picture (what
// the GTK backend's draw handler does for each frame: the window's surface with its children
// composed onto the target). With a display (DISPLAY set, TESSEL_BACKEND not "headless") the
// same runs on GTK, each iteration waiting until the X server has the new picture.

#include "toolkit/platform/Window.h"
#include "toolkit/platform/draw/Surface.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <gtk/gtk.h>

using namespace tessel;

namespace {

constexpr int kWidth = 1200;
constexpr int kHeight = 800;

LRESULT FillProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        if (Surface* surface = BeginPaint(hwnd, &paint)) {
            surface->Fill(0xFF336699);
        }
        EndPaint(hwnd, &paint);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool OnGtk() {
    return std::strcmp(CurrentBackend().Name(), "gtk") == 0;
}

HWND MakeWindow(bool withEdit) {
    WNDCLASSW windowClass;
    windowClass.lpfnWndProc = FillProc;
    windowClass.lpszClassName = u"BenchWindow";
    RegisterClassW(windowClass);
    HWND hwnd = CreateWindowExW(0, u"BenchWindow", u"bench", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight,
                                nullptr, 0, nullptr);
    if (withEdit) {
        CreateWindowExW(0, u"Edit", u"some text", WS_CHILD | WS_VISIBLE, 20, 20, 300, 28, hwnd, 1, nullptr);
    }
    return hwnd;
}

void PumpAll() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&msg);
    }
    if (OnGtk()) {
        // Draw now rather than at the next frame, and wait until the X server has it.
        G_GNUC_BEGIN_IGNORE_DEPRECATIONS
        gdk_window_process_all_updates();
        G_GNUC_END_IGNORE_DEPRECATIONS
        gdk_display_sync(gdk_display_get_default());
    }
}

void BM_RepaintFullWindow(benchmark::State& state) {
    state.SetLabel(CurrentBackend().Name());
    HWND hwnd = MakeWindow(false);
    PumpAll();
    for (auto _ : state) {
        InvalidateRect(hwnd, nullptr, 0);
        PumpAll();
    }
    DestroyWindow(hwnd);
}
BENCHMARK(BM_RepaintFullWindow)->Unit(benchmark::kMicrosecond);

void BM_PresentFullWindow(benchmark::State& state) {
    state.SetLabel(CurrentBackend().Name());
    HWND hwnd = MakeWindow(state.range(0) != 0);
    PumpAll();
    for (auto _ : state) {
        std::unique_ptr<Surface> shown = CaptureWindow(hwnd);
        benchmark::DoNotOptimize(shown->PixelAt(0, 0));
    }
    DestroyWindow(hwnd);
}
BENCHMARK(BM_PresentFullWindow)->Arg(0)->Arg(1)->ArgName("withEditChild")->Unit(benchmark::kMicrosecond);

} // namespace
