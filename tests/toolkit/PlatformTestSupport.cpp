#include "tests/toolkit/PlatformTestSupport.h"

#include <algorithm>

namespace tessel::test {

std::vector<Seen>& PlatformTest::Log() {
    static std::vector<Seen> log;
    return log;
}

std::map<HWND, PlatformTest::Hook>& PlatformTest::Hooks() {
    static std::map<HWND, Hook> hooks;
    return hooks;
}

LRESULT PlatformTest::RecorderProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Log().push_back(Seen{hwnd, message, wParam, lParam});
    auto it = Hooks().find(hwnd);
    if (it != Hooks().end()) {
        LRESULT result = 0;
        Hook hook = it->second; // the hook may remove itself
        if (hook(hwnd, message, wParam, lParam, result)) {
            return result;
        }
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void PlatformTest::SetUp() {
    ASSERT_TRUE(InitPlatform(BackendKind::Headless));
    ASSERT_NE(HeadlessBackend::Active(), nullptr);
    WNDCLASSW plain;
    plain.lpfnWndProc = RecorderProc;
    plain.lpszClassName = u"Recorder";
    RegisterClassW(plain);
    WNDCLASSW dbl = plain;
    dbl.style = CS_DBLCLKS;
    dbl.lpszClassName = u"RecorderDbl";
    RegisterClassW(dbl);
    Screen().MoveMouse(1900, 1070);
    Log().clear();
}

void PlatformTest::TearDown() {
    for (HWND hwnd : m_made) {
        DestroyWindow(hwnd);
    }
    ReleaseCapture();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    Hooks().clear();
    Log().clear();
}

HWND PlatformTest::MakeWindow(int x, int y, int w, int h, DWORD style, HWND parent,
                              const char16_t* className) {
    HWND hwnd = CreateWindowExW(0, className, u"test", style, x, y, w, h, parent, 0, nullptr);
    if (hwnd && !(style & WS_CHILD)) {
        m_made.push_back(hwnd);
    }
    return hwnd;
}

void PlatformTest::Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

std::vector<UINT> PlatformTest::MessagesOf(HWND hwnd, std::vector<UINT> only) const {
    std::vector<UINT> result;
    for (const Seen& seen : Log()) {
        if ((!hwnd || seen.hwnd == hwnd) &&
            (only.empty() || std::find(only.begin(), only.end(), seen.message) != only.end())) {
            result.push_back(seen.message);
        }
    }
    return result;
}

std::vector<Seen> PlatformTest::SeenOf(HWND hwnd, UINT message) const {
    std::vector<Seen> result;
    for (const Seen& seen : Log()) {
        if (seen.hwnd == hwnd && seen.message == message) {
            result.push_back(seen);
        }
    }
    return result;
}

} // namespace tessel::test
