#pragma once

#include "toolkit/platform/Window.h"
#include "toolkit/platform/headless/HeadlessBackend.h"

#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <vector>

namespace tessel::test {

/// One message as a recording window saw it.
struct Seen {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

/// Windows of class "Recorder" (and "RecorderDbl", which asks for double clicks) note every message
/// they get, run a per-window hook when one is set, and otherwise do default processing.
class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    HeadlessBackend& Screen() { return *HeadlessBackend::Active(); }
    /// A visible recording popup at a screen rectangle.
    HWND MakeWindow(int x, int y, int w, int h, DWORD style = WS_POPUP | WS_VISIBLE, HWND parent = nullptr,
                    const char16_t* className = u"Recorder");
    /// Handles everything due now (posted, paint, timers) and returns.
    void Pump();
    /// The messages seen by a window (or all windows) that are in the given set (empty: all).
    std::vector<UINT> MessagesOf(HWND hwnd, std::vector<UINT> only = {}) const;
    std::vector<Seen> SeenOf(HWND hwnd, UINT message) const;
    void Forget() { Log().clear(); }

    using Hook = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)>;
    static std::vector<Seen>& Log();
    static std::map<HWND, Hook>& Hooks();
    static LRESULT RecorderProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    std::vector<HWND> m_made;
};

} // namespace tessel::test
