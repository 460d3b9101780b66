#include "tests/toolkit/PlatformTestSupport.h"
#include "toolkit/platform/VirtualKeys.h"

namespace tessel::test {
namespace {

using InputTest = PlatformTest;

TEST_F(InputTest, MouseMessagesGoToTheDeepestChildInItsClientCoordinates) {
    HWND top = MakeWindow(100, 100, 300, 200);
    HWND child = MakeWindow(50, 40, 100, 50, WS_CHILD | WS_VISIBLE, top);
    Pump();
    Forget();
    Screen().MoveMouse(160, 150);
    Screen().Click(20 + 100, 20 + 100);
    Pump();
    ASSERT_EQ(SeenOf(child, WM_MOUSEMOVE).size(), 1u);
    EXPECT_EQ(SeenOf(child, WM_MOUSEMOVE)[0].lParam, MAKELPARAM(10, 10));
    ASSERT_EQ(SeenOf(top, WM_LBUTTONDOWN).size(), 1u);
    EXPECT_EQ(SeenOf(top, WM_LBUTTONDOWN)[0].lParam, MAKELPARAM(20, 20));
    EXPECT_EQ(SeenOf(top, WM_LBUTTONDOWN)[0].wParam, MK_LBUTTON);
    EXPECT_EQ(SeenOf(top, WM_LBUTTONUP)[0].wParam, 0u);
}

TEST_F(InputTest, CaptureTakesEveryMouseMessageUntilReleased) {
    HWND a = MakeWindow(0, 0, 100, 100);
    HWND b = MakeWindow(200, 0, 100, 100);
    Pump();
    Screen().MoveMouse(50, 50);
    Screen().PressButton(HeadlessBackend::Button::Left);
    SetCapture(a);
    Screen().MoveMouse(250, 10);
    Screen().ReleaseButton(HeadlessBackend::Button::Left);
    Pump();
    ASSERT_FALSE(SeenOf(a, WM_LBUTTONUP).empty());
    EXPECT_EQ(SeenOf(a, WM_MOUSEMOVE).back().lParam, MAKELPARAM(250, 10));
    EXPECT_EQ(GET_X_LPARAM(SeenOf(a, WM_LBUTTONUP)[0].lParam), 250);
    EXPECT_TRUE(SeenOf(b, WM_MOUSEMOVE).empty());

    ReleaseCapture();
    EXPECT_EQ(SeenOf(a, WM_CAPTURECHANGED).size(), 1u);
    EXPECT_EQ(GetCapture(), nullptr);
    Screen().MoveMouse(260, 20);
    Pump();
    EXPECT_FALSE(SeenOf(b, WM_MOUSEMOVE).empty());
}

TEST_F(InputTest, PressesGoToTheFrontWindowAndRaiseIt) {
    HWND back = MakeWindow(0, 0, 200, 200);
    HWND front = MakeWindow(100, 100, 200, 200);
    HWND topmost = MakeWindow(250, 250, 100, 100, WS_POPUP, nullptr);
    SetWindowLongPtrW(topmost, GWL_EXSTYLE, WS_EX_TOPMOST);
    ShowWindow(topmost, SW_SHOWNA);
    Pump();
    Forget();
    Screen().Click(150, 150);
    Pump();
    EXPECT_EQ(SeenOf(front, WM_LBUTTONDOWN).size(), 1u);
    EXPECT_TRUE(SeenOf(back, WM_LBUTTONDOWN).empty());

    // A press on the window behind brings it to the front and activates it.
    Screen().Click(50, 50);
    Screen().Click(150, 150);
    Pump();
    EXPECT_EQ(SeenOf(back, WM_LBUTTONDOWN).size(), 2u);
    EXPECT_EQ(GetActiveWindow(), back);

    // A topmost window stays in front of a raised one.
    BringWindowToTop(front);
    Screen().Click(260, 260);
    Pump();
    EXPECT_EQ(SeenOf(topmost, WM_LBUTTONDOWN).size(), 1u);
}

struct ClickCase {
    const char* name;
    const char16_t* windowClass;
    uint64_t gapMs;
    int dx;
    std::vector<UINT> expected;
};

TEST_F(InputTest, DoubleClicksAreMadeForWindowsThatAskWithinTimeAndDistance) {
    const ClickCase cases[] = {
        {"quick, same place", u"RecorderDbl", 300, 0, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONDOWN}},
        {"class without CS_DBLCLKS", u"Recorder", 300, 0, {WM_LBUTTONDOWN, WM_LBUTTONDOWN, WM_LBUTTONDOWN}},
        {"too slow", u"RecorderDbl", 501, 0, {WM_LBUTTONDOWN, WM_LBUTTONDOWN, WM_LBUTTONDOWN}},
        {"just in time, slightly moved",
         u"RecorderDbl",
         500,
         2,
         {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONDOWN}},
        {"too far", u"RecorderDbl", 100, 3, {WM_LBUTTONDOWN, WM_LBUTTONDOWN, WM_LBUTTONDOWN}},
    };
    for (const ClickCase& c : cases) {
        SCOPED_TRACE(c.name);
        HWND hwnd = MakeWindow(0, 0, 100, 100, WS_POPUP | WS_VISIBLE, nullptr, c.windowClass);
        Pump();
        Forget();
        Screen().AdvanceClock(5000);
        for (int i = 0; i < 3; ++i) {
            Screen().Click(20 + (i % 2) * c.dx, 20);
            Screen().AdvanceClock(c.gapMs);
        }
        Pump();
        EXPECT_EQ(MessagesOf(hwnd, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}), c.expected);
        DestroyWindow(hwnd);
    }
}

TEST_F(InputTest, HoverComesOnceAfterTheMouseRestsAndLeaveWhenItGoes) {
    HWND hwnd = MakeWindow(0, 0, 100, 100);
    Pump();
    Screen().MoveMouse(30, 30);
    TRACKMOUSEEVENT track{TME_HOVER | TME_LEAVE, hwnd, HOVER_DEFAULT};
    ASSERT_TRUE(TrackMouseEvent(&track));
    Forget();
    Screen().AdvanceClock(300);
    Screen().MoveMouse(31, 31); // a small move does not restart the hover time
    Screen().AdvanceClock(99);
    Pump();
    EXPECT_TRUE(SeenOf(hwnd, WM_MOUSEHOVER).empty());
    Screen().AdvanceClock(1);
    Pump();
    ASSERT_EQ(SeenOf(hwnd, WM_MOUSEHOVER).size(), 1u);
    EXPECT_EQ(SeenOf(hwnd, WM_MOUSEHOVER)[0].lParam, MAKELPARAM(31, 31));
    Screen().AdvanceClock(1000);
    Pump();
    EXPECT_EQ(SeenOf(hwnd, WM_MOUSEHOVER).size(), 1u);

    Screen().MoveMouse(500, 500);
    Screen().MoveMouse(510, 500);
    Pump();
    EXPECT_EQ(SeenOf(hwnd, WM_MOUSELEAVE).size(), 1u);

    // Asking for leave tracking while the mouse is already outside reports it at once.
    Forget();
    TrackMouseEvent(&track);
    Pump();
    EXPECT_EQ(SeenOf(hwnd, WM_MOUSELEAVE).size(), 1u);
}

TEST_F(InputTest, WheelUsesNotchesOf120AndScreenCoordinates) {
    HWND hwnd = MakeWindow(100, 100, 100, 100);
    Pump();
    Screen().MoveMouse(150, 160);
    Screen().Wheel(-WHEEL_DELTA);
    Pump();
    ASSERT_EQ(SeenOf(hwnd, WM_MOUSEWHEEL).size(), 1u);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(SeenOf(hwnd, WM_MOUSEWHEEL)[0].wParam), -120);
    EXPECT_EQ(SeenOf(hwnd, WM_MOUSEWHEEL)[0].lParam, MAKELPARAM(150, 160));
}

TEST_F(InputTest, ACaptionHitTestTurnsPressesIntoNonClientMessagesThatMoveTheWindow) {
    HWND hwnd = MakeWindow(0, 0, 100, 100);
    Hooks()[hwnd] = [](HWND, UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
        if (message == WM_NCHITTEST && GET_Y_LPARAM(lParam) < 20) {
            result = HTCAPTION;
            return true;
        }
        return false;
    };
    Pump();
    int drags = Screen().MoveDrags();
    Screen().MoveMouse(50, 10);
    Screen().PressButton(HeadlessBackend::Button::Left);
    Pump();
    ASSERT_EQ(SeenOf(hwnd, WM_NCLBUTTONDOWN).size(), 1u);
    EXPECT_EQ(SeenOf(hwnd, WM_NCLBUTTONDOWN)[0].wParam, static_cast<WPARAM>(HTCAPTION));
    EXPECT_EQ(Screen().MoveDrags(), drags + 1);
    Screen().ReleaseButton(HeadlessBackend::Button::Left);
}

TEST_F(InputTest, KeyMessagesCarryRepeatScanExtendedAndAltBits) {
    HWND hwnd = MakeWindow(0, 0, 100, 100);
    Pump();
    Forget();
    Screen().Key(111, true); // Delete, extended
    Screen().Key(111, true); // auto-repeat
    Screen().Key(111, false);
    Screen().Key(56, true); // left Alt
    Screen().Tap(33, U'f');
    Screen().Key(56, false);
    Pump();
    std::vector<Seen> keys;
    for (const Seen& seen : Log()) {
        if (seen.hwnd == hwnd && seen.message >= WM_KEYDOWN && seen.message <= WM_SYSCHAR) {
            keys.push_back(seen);
        }
    }
    struct Expected {
        UINT message;
        WPARAM vk;
        uint32_t lParam;
    };
    const Expected expected[] = {
        {WM_KEYDOWN, VK_DELETE, 0x01530001}, {WM_KEYDOWN, VK_DELETE, 0x41530001},
        {WM_KEYUP, VK_DELETE, 0xC1530001},   {WM_SYSKEYDOWN, VK_MENU, 0x20380001},
        {WM_SYSKEYDOWN, 'F', 0x20210001},    {WM_SYSCHAR, u'f', 0x20210001},
        {WM_SYSKEYUP, 'F', 0xE0210001},      {WM_KEYUP, VK_MENU, 0xC0380001},
    };
    ASSERT_EQ(keys.size(), std::size(expected));
    for (size_t i = 0; i < keys.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(keys[i].message, expected[i].message);
        EXPECT_EQ(keys[i].wParam, expected[i].vk);
        EXPECT_EQ(static_cast<uint32_t>(keys[i].lParam), expected[i].lParam);
    }
}

TEST_F(InputTest, TranslateMakesCharactersAndKeyStateFollowsTheMessages) {
    HWND hwnd = MakeWindow(0, 0, 100, 100);
    int16_t ctrlAtC = 0;
    Hooks()[hwnd] = [&ctrlAtC](HWND, UINT message, WPARAM wParam, LPARAM, LRESULT&) {
        if (message == WM_KEYDOWN && wParam == 'C') {
            ctrlAtC = GetKeyState(VK_CONTROL);
        }
        return false;
    };
    Pump();
    Forget();
    Screen().Tap(30, U'a');
    Screen().Key(29, true); // left Ctrl
    Screen().Tap(46, U'c');
    Screen().Key(29, false);
    Screen().Tap(30, U'😀');
    // While nothing was taken from the queue, the state as of the messages is still "up".
    EXPECT_EQ(GetKeyState(VK_CONTROL) & 0x8000, 0);
    Pump();
    std::vector<WPARAM> chars;
    for (const Seen& seen : SeenOf(hwnd, WM_CHAR)) {
        chars.push_back(seen.wParam);
    }
    EXPECT_EQ(chars, (std::vector<WPARAM>{u'a', 3, 0xD83D, 0xDE00}));
    EXPECT_NE(ctrlAtC & 0x8000, 0);
    EXPECT_EQ(GetKeyState(VK_CONTROL) & 0x8000, 0);
}

TEST_F(InputTest, KeysGoToTheFocusWindowOrTheGrabAndComposedTextArrivesAsCharacters) {
    HWND top = MakeWindow(0, 0, 200, 200);
    HWND child = MakeWindow(10, 10, 50, 20, WS_CHILD | WS_VISIBLE, top);
    HWND other = MakeWindow(300, 0, 100, 100, WS_POPUP, nullptr);
    ShowWindow(other, SW_SHOWNA);
    SetFocus(child);
    Pump();
    Forget();
    Screen().Compose(u"x"); // input method off: nothing arrives
    EnableInputMethod(child, 1);
    Screen().Tap(30, U'a');
    Screen().Compose(u"你好");
    Pump();
    EXPECT_EQ(MessagesOf(child, {WM_KEYDOWN, WM_CHAR, WM_KEYUP}),
              (std::vector<UINT>{WM_KEYDOWN, WM_CHAR, WM_KEYUP, WM_CHAR, WM_CHAR}));
    ASSERT_EQ(SeenOf(child, WM_CHAR).size(), 3u);
    EXPECT_EQ(SeenOf(child, WM_CHAR)[1].wParam, u'你');

    ASSERT_TRUE(GrabKeyboard(other));
    Forget();
    Screen().Tap(30, U'a');
    Pump();
    EXPECT_TRUE(MessagesOf(child, {WM_KEYDOWN}).empty());
    EXPECT_EQ(MessagesOf(other, {WM_KEYDOWN}).size(), 1u);
    GrabKeyboard(nullptr);
    EXPECT_EQ(Screen().KeyboardGrab(), nullptr);

    // Focus moves with kill-focus first.
    Forget();
    SetFocus(top);
    EXPECT_EQ(MessagesOf(nullptr, {WM_KILLFOCUS, WM_SETFOCUS}),
              (std::vector<UINT>{WM_KILLFOCUS, WM_SETFOCUS}));
    EXPECT_EQ(Log().front().hwnd, child);
}

TEST_F(InputTest, DefaultCursorComesFromTheClassOnSetCursor) {
    WNDCLASSW handClass;
    handClass.lpfnWndProc = RecorderProc;
    handClass.hCursor = IDC_HAND;
    handClass.lpszClassName = u"HandRecorder";
    RegisterClassW(handClass);
    MakeWindow(0, 0, 50, 50, WS_POPUP | WS_VISIBLE, nullptr, u"HandRecorder");
    Screen().MoveMouse(10, 10);
    EXPECT_EQ(Screen().CursorShape(), IDC_HAND);
    SetCursor(IDC_WAIT);
    EXPECT_EQ(Screen().CursorShape(), IDC_WAIT);
}

} // namespace
} // namespace tessel::test
