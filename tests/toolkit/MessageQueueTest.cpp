#include "tests/toolkit/PlatformTestSupport.h"

#include <atomic>
#include <future>
#include <thread>

namespace tessel::test {
namespace {

using MessageQueueTest = PlatformTest;

TEST_F(MessageQueueTest, SentMessagesRunAtOncePostedOnesWaitForTheLoopInOrder) {
    HWND hwnd = MakeWindow(0, 0, 100, 100);
    Hooks()[hwnd] = [](HWND, UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
        result = message == WM_USER ? static_cast<LRESULT>(wParam * 2) : 0;
        return message >= WM_USER;
    };
    Pump();
    Forget();
    EXPECT_EQ(SendMessageW(hwnd, WM_USER, 21, 0), 42);
    EXPECT_EQ(MessagesOf(hwnd), (std::vector<UINT>{WM_USER}));

    Forget();
    PostMessageW(hwnd, WM_USER + 1, 0, 0);
    PostMessageW(hwnd, WM_USER + 2, 0, 0);
    EXPECT_TRUE(MessagesOf(hwnd).empty());
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_USER + 1u);
    Pump();
    EXPECT_EQ(MessagesOf(hwnd), (std::vector<UINT>{WM_USER + 1, WM_USER + 2}));
}

TEST_F(MessageQueueTest, FiltersTakeOnlyMatchingMessages) {
    HWND a = MakeWindow(0, 0, 10, 10);
    HWND b = MakeWindow(20, 0, 10, 10);
    Pump();
    PostMessageW(a, WM_USER, 0, 0);
    PostMessageW(b, WM_USER + 5, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, b, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER + 5u);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_USER + 1, WM_USER + 9, PM_REMOVE));
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, a);
}

TEST_F(MessageQueueTest, APostFromAnotherThreadWakesABlockedGetMessage) {
    HWND hwnd = MakeWindow(0, 0, 10, 10);
    Pump();
    std::thread poster([hwnd] { PostMessageW(hwnd, WM_USER + 7, 1, 2); });
    MSG msg;
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    poster.join();
    EXPECT_EQ(msg.hwnd, hwnd);
    EXPECT_EQ(msg.message, WM_USER + 7u);
}

TEST_F(MessageQueueTest, ASendFromAnotherThreadRunsOnTheWindowsThreadAndReturnsItsResult) {
    HWND hwnd = MakeWindow(0, 0, 10, 10);
    std::thread::id ranOn;
    Hooks()[hwnd] = [&ranOn](HWND, UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
        if (message != WM_USER) {
            return false;
        }
        ranOn = std::this_thread::get_id();
        result = static_cast<LRESULT>(wParam + 1);
        PostQuitMessage(0);
        return true;
    };
    Pump();
    std::atomic<LRESULT> answer{0};
    std::thread sender([&] { answer = SendMessageW(hwnd, WM_USER, 41, 0); });
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0)) {
        DispatchMessageW(&msg);
    }
    sender.join();
    EXPECT_EQ(answer.load(), 42);
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST_F(MessageQueueTest, EachThreadWaitsOnItsOwnQueue) {
    HWND mainWindow = MakeWindow(0, 0, 10, 10);
    Pump();
    std::promise<HWND> made;
    std::thread worker([&made, mainWindow] {
        HWND own = CreateWindowExW(0, u"Recorder", u"", WS_POPUP, 0, 0, 5, 5, nullptr, 0, nullptr);
        made.set_value(own);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0)) {
            if (msg.message == WM_USER) {
                PostMessageW(mainWindow, WM_USER + 1, 0, 0);
                PostQuitMessage(0);
            }
        }
        DestroyWindow(own);
    });
    HWND workerWindow = made.get_future().get();
    ASSERT_NE(workerWindow, nullptr);
    PostMessageW(workerWindow, WM_USER, 0, 0);
    MSG msg;
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    worker.join();
    EXPECT_EQ(msg.hwnd, mainWindow);
    EXPECT_EQ(msg.message, WM_USER + 1u);
    // The worker destroyed its window before it ended.
    EXPECT_FALSE(IsWindow(workerWindow));
}

TEST_F(MessageQueueTest, TwoThreadsSendingToEachOtherDoNotDeadlock) {
    static HWND s_mainWindow;
    s_mainWindow = MakeWindow(0, 0, 10, 10);
    Hooks()[s_mainWindow] = [](HWND, UINT message, WPARAM, LPARAM, LRESULT& result) {
        result = 10;
        return message == WM_USER + 2;
    };
    WNDCLASSW workerClass;
    workerClass.lpszClassName = u"SendingBack";
    workerClass.lpfnWndProc = [](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_USER) {
            // Sent from the main thread, which is waiting for this very answer.
            return SendMessageW(s_mainWindow, WM_USER + 2, 0, 0) + 1;
        }
        if (message == WM_USER + 3) {
            PostQuitMessage(0);
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    };
    RegisterClassW(workerClass);
    Pump();
    std::promise<HWND> made;
    std::thread worker([&made] {
        HWND own = CreateWindowExW(0, u"SendingBack", u"", WS_POPUP, 0, 0, 5, 5, nullptr, 0, nullptr);
        made.set_value(own);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0)) {
            DispatchMessageW(&msg);
        }
        DestroyWindow(own);
    });
    HWND workerWindow = made.get_future().get();
    EXPECT_EQ(SendMessageW(workerWindow, WM_USER, 0, 0), 11);
    PostMessageW(workerWindow, WM_USER + 3, 0, 0);
    worker.join();
}

// The ended thread's queue lives on in its window, so only the thread's end can answer for it.
TEST_F(MessageQueueTest, SendingToAWindowWhoseThreadEndedAnswersZero) {
    std::promise<HWND> made;
    std::promise<void> end;
    std::thread worker([&made, ended = end.get_future()] {
        made.set_value(CreateWindowExW(0, u"Recorder", u"", WS_POPUP, 0, 0, 5, 5, nullptr, 0, nullptr));
        ended.wait(); // ends without handling anything, its window left behind
    });
    HWND orphan = made.get_future().get();
    ASSERT_NE(orphan, nullptr);
    // This send arrives either before the thread ends (answered then) or after (refused at once).
    std::thread sender([orphan] { EXPECT_EQ(SendMessageW(orphan, WM_USER, 0, 0), 0); });
    end.set_value();
    worker.join();
    sender.join();
    EXPECT_EQ(SendMessageW(orphan, WM_USER, 0, 0), 0);
}

TEST_F(MessageQueueTest, QuitComesAfterThePostedMessages) {
    HWND hwnd = MakeWindow(0, 0, 10, 10);
    Pump();
    PostQuitMessage(3);
    PostMessageW(hwnd, WM_USER, 0, 0);
    MSG msg;
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, WM_USER);
    EXPECT_FALSE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);
}

// A modal loop as a dialog runs it: until its window goes, and handing WM_QUIT back to the loop
// around it.
int RunModal(HWND dialog) {
    HWND owner = GetWindowOwner(dialog);
    EnableWindow(owner, 0);
    int result = 0;
    MSG msg;
    bool quit = false;
    while (IsWindow(dialog)) {
        if (!GetMessageW(&msg, nullptr, 0, 0)) {
            quit = true;
            break;
        }
        if (msg.message == WM_CLOSE && msg.hwnd == dialog) {
            result = static_cast<int>(msg.wParam);
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    EnableWindow(owner, 1);
    if (quit) {
        PostQuitMessage(static_cast<int>(msg.wParam));
    }
    return result;
}

TEST_F(MessageQueueTest, NestedLoopsEndWithWmQuitWhichIsPostedAgainForTheOuterLoop) {
    HWND owner = MakeWindow(0, 0, 300, 300);
    HWND dialog = MakeWindow(50, 50, 100, 100, WS_POPUP | WS_VISIBLE, owner);
    PostQuitMessage(9);
    RunModal(dialog);
    EXPECT_TRUE(IsWindowEnabled(owner));
    MSG msg;
    EXPECT_FALSE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.wParam, 9u);
    DestroyWindow(dialog);
}

TEST_F(MessageQueueTest, AModalLoopReturnsTheCloseCodeAndItsOwnerTakesNoInputMeanwhile) {
    HWND owner = MakeWindow(0, 0, 300, 300);
    HWND dialog = MakeWindow(50, 50, 100, 100, WS_POPUP | WS_VISIBLE, owner);
    Hooks()[dialog] = [this, owner](HWND self, UINT message, WPARAM, LPARAM, LRESULT&) {
        if (message == WM_LBUTTONUP) {
            Screen().Click(250, 250); // on the disabled owner: goes nowhere
            PostMessageW(self, WM_CLOSE, IDOK, 0);
        }
        (void)owner;
        return false;
    };
    Pump();
    Screen().Click(60, 60);
    Forget();
    EXPECT_EQ(RunModal(dialog), IDOK);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_TRUE(MessagesOf(owner, {WM_LBUTTONDOWN, WM_LBUTTONUP}).empty());
}

TEST_F(MessageQueueTest, PaintComesFromTheUpdateRegionOnlyWhenNothingElseWaits) {
    HWND hwnd = MakeWindow(0, 0, 200, 100);
    Pump();
    Forget();
    RECT first{10, 10, 20, 20};
    RECT second{50, 40, 60, 300};
    InvalidateRect(hwnd, &first, 0);
    InvalidateRect(hwnd, &second, 0);
    PostMessageW(hwnd, WM_USER, 0, 0);
    RECT painted{};
    Hooks()[hwnd] = [&painted](HWND self, UINT message, WPARAM, LPARAM, LRESULT&) {
        if (message != WM_PAINT) {
            return false;
        }
        PAINTSTRUCT paint;
        EXPECT_NE(BeginPaint(self, &paint), nullptr);
        painted = paint.rcPaint;
        EndPaint(self, &paint);
        return true;
    };
    Pump();
    EXPECT_EQ(MessagesOf(hwnd, {WM_USER, WM_PAINT}), (std::vector<UINT>{WM_USER, WM_PAINT}));
    // One paint for both rectangles, clipped to the client area.
    EXPECT_EQ(painted, (RECT{10, 10, 60, 100}));
    EXPECT_FALSE(GetUpdateRect(hwnd, nullptr));

    // A window that ignores WM_PAINT is validated by dispatching, so the loop does not spin.
    Hooks().erase(hwnd);
    Hooks()[hwnd] = [](HWND, UINT message, WPARAM, LPARAM, LRESULT&) { return message == WM_PAINT; };
    Forget();
    InvalidateRect(hwnd, nullptr, 0);
    Pump();
    EXPECT_EQ(MessagesOf(hwnd, {WM_PAINT}).size(), 1u);

    // Hidden windows are not painted until shown.
    ShowWindow(hwnd, SW_HIDE);
    InvalidateRect(hwnd, nullptr, 0);
    Forget();
    Pump();
    EXPECT_TRUE(MessagesOf(hwnd, {WM_PAINT}).empty());
}

TEST_F(MessageQueueTest, TimersTickWithTheInjectedClockAndMergeMissedTicks) {
    HWND hwnd = MakeWindow(0, 0, 10, 10);
    Pump();
    Forget();
    EXPECT_NE(SetTimer(hwnd, 7, 100, nullptr), 0u);
    Screen().AdvanceClock(99);
    Pump();
    EXPECT_TRUE(SeenOf(hwnd, WM_TIMER).empty());
    Screen().AdvanceClock(1);
    Pump();
    ASSERT_EQ(SeenOf(hwnd, WM_TIMER).size(), 1u);
    EXPECT_EQ(SeenOf(hwnd, WM_TIMER)[0].wParam, 7u);
    Screen().AdvanceClock(550);
    Pump();
    EXPECT_EQ(SeenOf(hwnd, WM_TIMER).size(), 2u);
    EXPECT_TRUE(KillTimer(hwnd, 7));
    Screen().AdvanceClock(1000);
    Pump();
    EXPECT_EQ(SeenOf(hwnd, WM_TIMER).size(), 2u);
    EXPECT_FALSE(KillTimer(hwnd, 7));
}

TEST_F(MessageQueueTest, ThreadTimersCallTheirCallbackAndTheClockWakesABlockedLoop) {
    static int s_calls;
    s_calls = 0;
    uintptr_t id = SetTimer(nullptr, 0, 16, [](HWND, UINT, uintptr_t, DWORD) { ++s_calls; });
    ASSERT_NE(id, 0u);
    std::thread clock([this] { Screen().AdvanceClock(16); });
    MSG msg;
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    clock.join();
    EXPECT_EQ(msg.message, WM_TIMER);
    DispatchMessageW(&msg);
    EXPECT_EQ(s_calls, 1);
    KillTimer(nullptr, id);
}

} // namespace
} // namespace tessel::test
