#include "base/Utf.h"
#include "toolkit/platform/Backend.h"
#include "toolkit/platform/MessageQueue.h"
#include "toolkit/platform/Window.h"
#include "toolkit/platform/WindowObject.h"

#include <cairo.h>

// Sending, posting, taking and dispatching messages, and timers.
namespace tessel {

namespace {

LRESULT CallProc(WindowObject* window, UINT message, WPARAM wParam, LPARAM lParam) {
    return window->proc ? window->proc(window->hwnd, message, wParam, lParam)
                        : DefWindowProcW(window->hwnd, message, wParam, lParam);
}

} // namespace

LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return proc ? proc(hwnd, message, wParam, lParam) : DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT SendMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<MessageQueue> queue = QueueOf(hwnd);
    if (!queue) {
        return 0;
    }
    if (queue != MessageQueue::Current()) {
        MSG msg{};
        msg.hwnd = hwnd;
        msg.message = message;
        msg.wParam = wParam;
        msg.lParam = lParam;
        return queue->SendAndWait(msg);
    }
    WindowObject* window = FindWindowObject(hwnd);
    return window ? CallProc(window, message, wParam, lParam) : 0;
}

BOOL PostMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<MessageQueue> queue = hwnd ? QueueOf(hwnd) : MessageQueue::Current();
    if (!queue) {
        return 0;
    }
    MSG msg{};
    msg.hwnd = hwnd;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = static_cast<DWORD>(CurrentBackend().NowMs());
    msg.pt = CurrentBackend().CursorPos();
    queue->Post(msg);
    return 1;
}

void PostQuitMessage(int exitCode) {
    MessageQueue::Current()->PostQuit(exitCode);
}

BOOL GetMessageW(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax) {
    if (!msg) {
        return 0;
    }
    MessageQueue::Current()->Get(msg, hwnd, filterMin, filterMax, true, true);
    return msg->message != WM_QUIT;
}

BOOL PeekMessageW(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
    if (!msg) {
        return 0;
    }
    return MessageQueue::Current()->Get(msg, hwnd, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0,
                                        false);
}

BOOL TranslateMessage(const MSG* msg) {
    if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) || msg->character == 0) {
        return 0;
    }
    UINT charMessage = msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
    std::u16string units;
    base::AppendUtf16(units, msg->character);
    WindowObject* window = OwnWindow(msg->hwnd);
    if (!window) {
        return 0;
    }
    // The characters go in front of the queue, so they follow their key-down before anything else.
    for (auto it = units.rbegin(); it != units.rend(); ++it) {
        MSG typed = *msg;
        typed.message = charMessage;
        typed.wParam = *it;
        typed.lParam = msg->lParam & 0xFFFFFFFF;
        typed.character = 0;
        window->queue->Post(typed, true);
    }
    return 1;
}

LRESULT DispatchMessageW(const MSG* msg) {
    if (!msg) {
        return 0;
    }
    if (msg->message == WM_TIMER && msg->lParam) {
        reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, msg->time);
        return 0;
    }
    WindowObject* window = OwnWindow(msg->hwnd);
    if (!window) {
        return 0;
    }
    LRESULT result = CallProc(window, msg->message, msg->wParam, msg->lParam);
    // A window that ignores WM_PAINT would otherwise be asked again forever.
    if (msg->message == WM_PAINT && (window = FindWindowObject(msg->hwnd)) != nullptr && window->update &&
        !cairo_region_is_empty(window->update.get())) {
        ValidateRect(msg->hwnd, nullptr);
    }
    return result;
}

DWORD GetTickCount() {
    return static_cast<DWORD>(CurrentBackend().NowMs());
}

uintptr_t SetTimer(HWND hwnd, uintptr_t id, UINT elapse, TIMERPROC callback) {
    if (hwnd && !OwnWindow(hwnd)) {
        return 0;
    }
    uintptr_t result = MessageQueue::Current()->SetTimer(hwnd, id, elapse, callback);
    CurrentBackend().Wake();
    return hwnd ? 1 : result;
}

BOOL KillTimer(HWND hwnd, uintptr_t id) {
    return MessageQueue::Current()->KillTimer(hwnd, id);
}

} // namespace tessel
