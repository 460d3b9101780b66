#include "tests/toolkit/PlatformTestSupport.h"
#include "toolkit/platform/draw/Surface.h"

#include <filesystem>
#include <unistd.h>

namespace tessel::test {
namespace {

using WindowTest = PlatformTest;

TEST_F(WindowTest, CreateSendsTheCreationMessagesInOrderAndShowsVisibleWindows) {
    HWND hwnd = MakeWindow(10, 20, 300, 200);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(
        MessagesOf(hwnd, {WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE,
                          WM_SHOWWINDOW, WM_WINDOWPOSCHANGED, WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS}),
        (std::vector<UINT>{WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE,
                           WM_SHOWWINDOW, WM_WINDOWPOSCHANGED, WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS}));
    EXPECT_EQ(SeenOf(hwnd, WM_SIZE)[0].lParam, MAKELPARAM(300, 200));
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_EQ(GetActiveWindow(), hwnd);
    EXPECT_EQ(GetFocus(), hwnd);
}

TEST_F(WindowTest, CreationRefusedByTheWindowLeavesNoWindow) {
    for (UINT refusing : {WM_NCCREATE, WM_CREATE}) {
        SCOPED_TRACE(refusing);
        WNDCLASSW refuse;
        refuse.lpszClassName = refusing == WM_NCCREATE ? u"RefuseNc" : u"RefuseCreate";
        static UINT s_refusing;
        s_refusing = refusing;
        refuse.lpfnWndProc = [](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
            Log().push_back(Seen{hwnd, message, wParam, lParam});
            if (message == s_refusing) {
                return message == WM_NCCREATE ? 0 : -1;
            }
            return DefWindowProcW(hwnd, message, wParam, lParam);
        };
        RegisterClassW(refuse);
        Forget();
        HWND hwnd =
            CreateWindowExW(0, refuse.lpszClassName, u"", WS_POPUP, 0, 0, 10, 10, nullptr, 0, nullptr);
        EXPECT_EQ(hwnd, nullptr);
        ASSERT_FALSE(Log().empty());
        EXPECT_FALSE(IsWindow(Log().back().hwnd));
        EXPECT_EQ(Log().back().message, WM_NCDESTROY);
    }
    EXPECT_EQ(CreateWindowExW(0, u"NoSuchClass", u"", WS_POPUP, 0, 0, 10, 10, nullptr, 0, nullptr), nullptr);
}

TEST_F(WindowTest, DestroyGoesOwnedFirstThenParentBeforeChildrenAndNcDestroyInReverse) {
    HWND owner = MakeWindow(0, 0, 200, 200);
    HWND child = MakeWindow(10, 10, 50, 50, WS_CHILD | WS_VISIBLE, owner);
    HWND owned = MakeWindow(300, 0, 100, 100, WS_POPUP | WS_VISIBLE, owner);
    SetTimer(owner, 1, 100, nullptr);
    PostMessageW(owner, WM_USER, 0, 0);
    Forget();

    EXPECT_TRUE(DestroyWindow(owner));

    std::vector<std::pair<HWND, UINT>> order;
    for (const Seen& seen : Log()) {
        if (seen.message == WM_DESTROY || seen.message == WM_NCDESTROY) {
            order.emplace_back(seen.hwnd, seen.message);
        }
    }
    EXPECT_EQ(order, (std::vector<std::pair<HWND, UINT>>{{owned, WM_DESTROY},
                                                         {owned, WM_NCDESTROY},
                                                         {owner, WM_DESTROY},
                                                         {child, WM_DESTROY},
                                                         {child, WM_NCDESTROY},
                                                         {owner, WM_NCDESTROY}}));
    EXPECT_FALSE(IsWindow(owner));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(IsWindow(owned));
    // Its posted messages and timers went with it.
    Screen().AdvanceClock(1000);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    // A stale handle is refused everywhere.
    EXPECT_FALSE(PostMessageW(owner, WM_USER, 0, 0));
    EXPECT_EQ(SendMessageW(owner, WM_USER, 0, 0), 0);
    EXPECT_FALSE(DestroyWindow(owner));
}

// Destroying one owned window can take others with it; the owner's pass must not touch them after.
TEST_F(WindowTest, DestroyCopesWithOwnedWindowsDestroyedOnTheWay) {
    // A chain: destroying the middle window destroys the last one before the owner's pass reaches it.
    HWND top = MakeWindow(0, 0, 50, 50);
    HWND middle = MakeWindow(60, 0, 50, 50, WS_POPUP | WS_VISIBLE, top);
    HWND last = MakeWindow(120, 0, 50, 50, WS_POPUP | WS_VISIBLE, middle);
    Forget();
    EXPECT_TRUE(DestroyWindow(top));
    EXPECT_EQ(MessagesOf(nullptr, {WM_NCDESTROY}),
              (std::vector<UINT>{WM_NCDESTROY, WM_NCDESTROY, WM_NCDESTROY}));
    EXPECT_EQ(SeenOf(last, WM_NCDESTROY).size(), 1u);
    EXPECT_FALSE(IsWindow(middle));
    EXPECT_FALSE(IsWindow(last));

    // A WM_DESTROY handler that destroys a sibling owned by the same window.
    HWND owner = MakeWindow(0, 0, 50, 50);
    HWND first = MakeWindow(60, 0, 50, 50, WS_POPUP | WS_VISIBLE, owner);
    HWND sibling = MakeWindow(120, 0, 50, 50, WS_POPUP | WS_VISIBLE, owner);
    Hooks()[first] = [sibling](HWND, UINT message, WPARAM, LPARAM, LRESULT&) {
        if (message == WM_DESTROY) {
            DestroyWindow(sibling);
        }
        return false;
    };
    Forget();
    EXPECT_TRUE(DestroyWindow(owner));
    EXPECT_EQ(SeenOf(sibling, WM_NCDESTROY).size(), 1u);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_FALSE(IsWindow(sibling));
    EXPECT_FALSE(IsWindow(owner));
}

TEST_F(WindowTest, CloseByDefaultDestroysAndHidingActivatesTheOwner) {
    HWND owner = MakeWindow(0, 0, 200, 200);
    HWND dialog = MakeWindow(50, 50, 100, 100, WS_POPUP | WS_VISIBLE, owner);
    EXPECT_EQ(GetActiveWindow(), dialog);
    ShowWindow(dialog, SW_HIDE);
    EXPECT_EQ(GetActiveWindow(), owner);
    EXPECT_EQ(SeenOf(dialog, WM_NCACTIVATE).back().wParam, 0u);
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_FALSE(IsWindow(dialog));
}

TEST_F(WindowTest, ShowCommandsChangeStateAndReportSizes) {
    Screen().SetScreen(RECT{0, 0, 1920, 1080}, RECT{0, 0, 1920, 1040});
    HWND hwnd = MakeWindow(100, 100, 400, 300);
    EXPECT_TRUE(ShowWindow(hwnd, SW_MINIMIZE));
    EXPECT_TRUE(IsIconic(hwnd));
    EXPECT_EQ(SeenOf(hwnd, WM_SIZE).back().wParam, SIZE_MINIMIZED);
    ShowWindow(hwnd, SW_RESTORE);
    EXPECT_FALSE(IsIconic(hwnd));
    ShowWindow(hwnd, SW_MAXIMIZE);
    RECT rect;
    GetWindowRect(hwnd, &rect);
    EXPECT_EQ(rect, (RECT{0, 0, 1920, 1040}));
    EXPECT_TRUE(IsZoomed(hwnd));
    ShowWindow(hwnd, SW_RESTORE);
    GetWindowRect(hwnd, &rect);
    EXPECT_EQ(rect, (RECT{100, 100, 500, 400}));
    EXPECT_EQ(SeenOf(hwnd, WM_SIZE).back().lParam, MAKELPARAM(400, 300));
    EXPECT_TRUE(ShowWindow(hwnd, SW_HIDE));
    EXPECT_FALSE(IsWindowVisible(hwnd));
}

TEST_F(WindowTest, GeometryConversionsTextDataAndProperties) {
    HWND top = MakeWindow(100, 50, 400, 300);
    HWND child = MakeWindow(20, 30, 100, 40, WS_CHILD | WS_VISIBLE, top);
    RECT rect;
    GetWindowRect(child, &rect);
    EXPECT_EQ(rect, (RECT{120, 80, 220, 120}));
    GetClientRect(child, &rect);
    EXPECT_EQ(rect, (RECT{0, 0, 100, 40}));
    POINT point{5, 6};
    ClientToScreen(child, &point);
    EXPECT_EQ(point, (POINT{125, 86}));
    ScreenToClient(top, &point);
    EXPECT_EQ(point, (POINT{25, 36}));
    EXPECT_EQ(GetParent(child), top);

    MoveWindow(top, 0, 0, 500, 350, 1);
    EXPECT_EQ(SeenOf(top, WM_MOVE).back().lParam, MAKELPARAM(0, 0));
    EXPECT_EQ(SeenOf(top, WM_SIZE).back().lParam, MAKELPARAM(500, 350));

    EXPECT_TRUE(SetWindowTextW(top, u"Titel ✓"));
    EXPECT_EQ(GetWindowTextW(top), u"Titel ✓");
    EXPECT_EQ(GetWindowTextLengthW(top), 7);
    EXPECT_EQ(GetWindowTextLengthW(nullptr), -1);

    int value = 0;
    SetWindowLongPtrW(top, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&value));
    EXPECT_EQ(GetWindowLongPtrW(top, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&value));
    EXPECT_TRUE(GetWindowLongPtrW(top, GWL_STYLE) & WS_VISIBLE);
    EXPECT_TRUE(SetPropW(top, u"Control", &value));
    EXPECT_EQ(GetPropW(top, u"Control"), &value);
    EXPECT_EQ(RemovePropW(top, u"Control"), &value);
    EXPECT_EQ(GetPropW(top, u"Control"), nullptr);
}

TEST_F(WindowTest, LayeredAttributesNeedTheLayeredStyle) {
    HWND plain = MakeWindow(0, 0, 10, 10);
    EXPECT_FALSE(SetLayeredWindowAttributes(plain, 0, 128, LWA_ALPHA));
    SetWindowLongPtrW(plain, GWL_EXSTYLE, WS_EX_LAYERED);
    EXPECT_TRUE(SetLayeredWindowAttributes(plain, RGB(255, 0, 255), 255, LWA_COLORKEY));

    // The colour key makes keyed pixels transparent in what is shown.
    Surface* surface = GetWindowSurface(plain);
    ASSERT_NE(surface, nullptr);
    surface->Fill(0xFFFF00FF);
    surface->Row(0)[0] = 0xFF00FF00;
    surface->MarkDirty();
    std::unique_ptr<Surface> shown = CaptureWindow(plain);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->PixelAt(5, 5), 0u);
    EXPECT_EQ(shown->PixelAt(0, 0), 0xFF00FF00u);
}

TEST_F(WindowTest, SnapshotComposesVisibleChildrenOverTheirParent) {
    HWND top = MakeWindow(0, 0, 40, 30);
    HWND child = MakeWindow(10, 5, 10, 10, WS_CHILD | WS_VISIBLE, top);
    HWND hidden = MakeWindow(25, 5, 10, 10, WS_CHILD, top);
    GetWindowSurface(top)->Fill(0xFF0000FF);
    GetWindowSurface(child)->Fill(0xFFFF0000);
    GetWindowSurface(hidden)->Fill(0xFF00FF00);
    std::unique_ptr<Surface> shown = CaptureWindow(top);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->PixelAt(0, 0), 0xFF0000FFu);
    EXPECT_EQ(shown->PixelAt(12, 8), 0xFFFF0000u);
    EXPECT_EQ(shown->PixelAt(27, 8), 0xFF0000FFu);

    std::filesystem::path png = std::filesystem::temp_directory_path() /
                                ("tessel_snapshot_test_" + std::to_string(getpid()) + ".png");
    EXPECT_TRUE(Screen().SavePng(top, png));
    EXPECT_GT(std::filesystem::file_size(png), 0u);
    std::filesystem::remove(png);
}

} // namespace
} // namespace tessel::test
