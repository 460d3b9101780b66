#include "toolkit/platform/Input.h"

#include "toolkit/platform/Backend.h"
#include "toolkit/platform/MessageQueue.h"
#include "toolkit/platform/Messages.h"
#include "toolkit/platform/VirtualKeys.h"
#include "toolkit/platform/Window.h"
#include "toolkit/platform/WindowObject.h"

#include <array>
#include <atomic>
#include <cstdlib>

namespace tessel {

namespace {

/// Double clicks: the second press within this time and this distance of the first.
constexpr uint64_t kDoubleClickMs = 500;
constexpr int kDoubleClickDistance = 2;
constexpr int kHoverDistance = 2;
constexpr DWORD kDefaultHoverMs = 400;

std::array<std::atomic<uint8_t>, 256>& AsyncKeys() {
    static std::array<std::atomic<uint8_t>, 256> keys{};
    return keys;
}

void SetAsyncKey(uint32_t vk, bool down) {
    AsyncKeys()[vk & 0xFF] = down ? 0x80 : 0;
}

bool AsyncDown(uint32_t vk) {
    return AsyncKeys()[vk & 0xFF] & 0x80;
}

WPARAM MouseKeyFlags() {
    WPARAM flags = 0;
    flags |= AsyncDown(VK_LBUTTON) ? MK_LBUTTON : 0;
    flags |= AsyncDown(VK_RBUTTON) ? MK_RBUTTON : 0;
    flags |= AsyncDown(VK_MBUTTON) ? MK_MBUTTON : 0;
    flags |= AsyncDown(VK_SHIFT) ? MK_SHIFT : 0;
    flags |= AsyncDown(VK_CONTROL) ? MK_CONTROL : 0;
    return flags;
}

/// Input goes nowhere while the window's top-level is disabled (a modal window runs above it).
bool TakesInput(WindowObject* window) {
    WindowObject* top = TopLevelOf(window);
    return top && top->enabled && window->enabled;
}

void Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, POINT screen, char32_t character = 0) {
    WindowObject* window = FindWindowObject(hwnd);
    if (!window) {
        return;
    }
    MSG msg{};
    msg.hwnd = hwnd;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = static_cast<DWORD>(CurrentBackend().NowMs());
    msg.pt = screen;
    msg.character = character;
    window->queue->Post(msg);
}

void PostLeave(MessageQueue& queue, POINT screen) {
    MessageQueue::Tracking& tracking = queue.tracking;
    if (tracking.hwnd && (tracking.flags & TME_LEAVE)) {
        Post(tracking.hwnd, WM_MOUSELEAVE, 0, 0, screen);
    }
    tracking = {};
}

} // namespace

int16_t GetAsyncKeyState(int virtualKey) {
    return AsyncDown(static_cast<uint32_t>(virtualKey)) ? int16_t(0x8000) : 0;
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* track) {
    if (!track) {
        return 0;
    }
    MessageQueue& queue = *MessageQueue::Current();
    MessageQueue::Tracking& tracking = queue.tracking;
    if (track->dwFlags & TME_CANCEL) {
        if (tracking.hwnd == track->hwndTrack) {
            tracking.flags &= ~(track->dwFlags & (TME_HOVER | TME_LEAVE));
            if (!tracking.flags) {
                tracking.hwnd = nullptr;
            }
        }
        return 1;
    }
    WindowObject* window = FindWindowObject(track->hwndTrack);
    if (!window) {
        return 0;
    }
    POINT screen = CurrentBackend().CursorPos();
    POINT client = screen;
    ScreenToClient(track->hwndTrack, &client);
    // Asking for leave tracking while the mouse is already elsewhere reports the leave at once.
    if ((track->dwFlags & TME_LEAVE) && queue.mouseWindow != track->hwndTrack && !queue.capture) {
        Post(track->hwndTrack, WM_MOUSELEAVE, 0, 0, screen);
        track->dwFlags &= ~TME_LEAVE;
    }
    if (tracking.hwnd != track->hwndTrack) {
        tracking = {};
        tracking.hwnd = track->hwndTrack;
    }
    tracking.flags |= track->dwFlags & (TME_HOVER | TME_LEAVE);
    if (track->dwFlags & TME_HOVER) {
        tracking.hoverTime = track->dwHoverTime == HOVER_DEFAULT ? kDefaultHoverMs : track->dwHoverTime;
        tracking.hoverStart = CurrentBackend().NowMs();
        tracking.hoverRect = RECT{client.x - kHoverDistance, client.y - kHoverDistance,
                                  client.x + kHoverDistance + 1, client.y + kHoverDistance + 1};
        tracking.lastClient = client;
    }
    if (!tracking.flags) {
        tracking.hwnd = nullptr;
    }
    CurrentBackend().Wake();
    return 1;
}

void DeliverMouse(WindowObject& topLevel, MouseAction action, POINT client, int wheelDelta) {
    MessageQueue& queue = *topLevel.queue;
    HWND topHwnd = topLevel.hwnd;
    POINT origin = ClientOriginOnScreen(topLevel);
    POINT screen{client.x + origin.x, client.y + origin.y};

    switch (action) {
    case MouseAction::LeftDown:
    case MouseAction::LeftUp:
        SetAsyncKey(VK_LBUTTON, action == MouseAction::LeftDown);
        break;
    case MouseAction::RightDown:
    case MouseAction::RightUp:
        SetAsyncKey(VK_RBUTTON, action == MouseAction::RightDown);
        break;
    case MouseAction::MiddleDown:
    case MouseAction::MiddleUp:
        SetAsyncKey(VK_MBUTTON, action == MouseAction::MiddleDown);
        break;
    default:
        break;
    }

    if (action == MouseAction::Leave) {
        if (!queue.capture) {
            PostLeave(queue, screen);
            queue.mouseWindow = nullptr;
        }
        return;
    }

    // Find the window the event belongs to: the capture window, else the deepest child under it.
    WindowObject* target = nullptr;
    POINT targetPoint = client;
    if (WindowObject* captured = FindWindowObject(queue.capture)) {
        target = captured;
        targetPoint = screen;
        ScreenToClient(captured->hwnd, &targetPoint);
    } else {
        target = ChildAtPoint(topLevel, targetPoint);
    }
    if (!target || !TakesInput(target)) {
        return;
    }
    HWND hwnd = target->hwnd;

    if (!queue.capture && queue.mouseWindow != hwnd) {
        if (queue.tracking.hwnd && queue.tracking.hwnd != hwnd) {
            PostLeave(queue, screen);
        }
        queue.mouseWindow = hwnd;
    }

    if (action == MouseAction::Wheel) {
        Post(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(static_cast<int>(MouseKeyFlags()), wheelDelta),
             MAKELPARAM(screen.x, screen.y), screen);
        return;
    }

    UINT message = WM_MOUSEMOVE;
    UINT button = 0;
    switch (action) {
    case MouseAction::LeftDown:
        message = WM_LBUTTONDOWN;
        button = 1;
        break;
    case MouseAction::LeftUp:
        message = WM_LBUTTONUP;
        break;
    case MouseAction::RightDown:
        message = WM_RBUTTONDOWN;
        button = 2;
        break;
    case MouseAction::RightUp:
        message = WM_RBUTTONUP;
        break;
    case MouseAction::MiddleDown:
        message = WM_MBUTTONDOWN;
        button = 3;
        break;
    case MouseAction::MiddleUp:
        message = WM_MBUTTONUP;
        break;
    default:
        break;
    }

    LRESULT hit = HTCLIENT;
    if (!queue.capture) {
        hit = SendMessageW(hwnd, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
        if (!IsWindow(hwnd)) {
            return;
        }
        SendMessageW(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd),
                     MAKELPARAM(static_cast<int>(hit), message));
        if (!IsWindow(hwnd)) {
            return;
        }
    }

    if (button) {
        // A press activates the top-level window it lands on.
        if (queue.active != topHwnd && !(topLevel.exStyle & WS_EX_NOACTIVATE)) {
            BringWindowToTop(topHwnd);
        }
        const MessageQueue::LastClick& last = queue.lastClick;
        uint64_t now = CurrentBackend().NowMs();
        bool isDouble = (target->classStyle & CS_DBLCLKS) && last.hwnd == hwnd && last.button == button &&
                        now - last.time <= kDoubleClickMs &&
                        std::abs(screen.x - last.screen.x) <= kDoubleClickDistance &&
                        std::abs(screen.y - last.screen.y) <= kDoubleClickDistance;
        if (isDouble) {
            message += 2; // WM_xBUTTONDOWN + 2 is WM_xBUTTONDBLCLK
            queue.lastClick = {};
        } else {
            queue.lastClick = MessageQueue::LastClick{hwnd, button, now, screen};
        }
    }

    if (message == WM_MOUSEMOVE && queue.tracking.hwnd == hwnd && (queue.tracking.flags & TME_HOVER)) {
        // Hover time restarts whenever the mouse leaves the small rectangle around where it rested.
        if (!queue.tracking.hoverRect.Contains(targetPoint)) {
            queue.tracking.hoverStart = CurrentBackend().NowMs();
            queue.tracking.hoverRect =
                RECT{targetPoint.x - kHoverDistance, targetPoint.y - kHoverDistance,
                     targetPoint.x + kHoverDistance + 1, targetPoint.y + kHoverDistance + 1};
        }
        queue.tracking.lastClient = targetPoint;
    }

    if (hit != HTCLIENT) {
        // Outside the client part (a caption, a border): the non-client messages, in screen points.
        UINT ncMessage = message - WM_MOUSEMOVE + WM_NCMOUSEMOVE;
        Post(hwnd, ncMessage, static_cast<WPARAM>(hit), MAKELPARAM(screen.x, screen.y), screen);
        return;
    }
    Post(hwnd, message, MouseKeyFlags(), MAKELPARAM(targetPoint.x, targetPoint.y), screen);
}

void DeliverKey(WindowObject& topLevel, bool down, const KeyInfo& key, char32_t character) {
    if (key.vk == 0) {
        return;
    }
    bool wasDown = AsyncDown(key.vk) && (key.sidedVk == key.vk || AsyncDown(key.sidedVk));
    SetAsyncKey(key.sidedVk, down);
    if (key.vk == VK_SHIFT) {
        SetAsyncKey(VK_SHIFT, AsyncDown(VK_LSHIFT) || AsyncDown(VK_RSHIFT));
    } else if (key.vk == VK_CONTROL) {
        SetAsyncKey(VK_CONTROL, AsyncDown(VK_LCONTROL) || AsyncDown(VK_RCONTROL));
    } else if (key.vk == VK_MENU) {
        SetAsyncKey(VK_MENU, AsyncDown(VK_LMENU) || AsyncDown(VK_RMENU));
    } else {
        SetAsyncKey(key.vk, down);
    }

    MessageQueue& queue = *topLevel.queue;
    // Keys go to the thread's focus window, whichever of our native windows the system handed them
    // to (without a window manager that is the one under the pointer, perhaps a disabled owner).
    HWND target = queue.keyboardGrab;
    if (!target) {
        target = queue.focus ? queue.focus : queue.active ? queue.active : topLevel.hwnd;
    }
    WindowObject* window = FindWindowObject(target);
    if (!window || !TakesInput(window)) {
        return;
    }
    // Alt held without Ctrl makes the system variants, and F10 is a system key of its own. Alt
    // released on its own is a system key too; released after a combination it is a plain key-up.
    static bool s_altCombined = false;
    if (key.vk == VK_MENU && down && !wasDown) {
        s_altCombined = false;
    } else if (key.vk != VK_MENU && down && AsyncDown(VK_MENU)) {
        s_altCombined = true;
    }
    bool alt = AsyncDown(VK_MENU) || (key.vk == VK_MENU && !down && !s_altCombined);
    bool system = (alt && !AsyncDown(VK_CONTROL)) || key.vk == VK_F10;
    UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    uint32_t lParam = 1u | (key.scanCode & 0xFF) << 16 | (key.extended ? 1u << 24 : 0u);
    lParam |= (alt && system) ? 1u << 29 : 0u;
    lParam |= (!down || wasDown) ? 1u << 30 : 0u;
    lParam |= down ? 0u : 1u << 31;
    // A character is typed only without Ctrl and Alt, except the control characters of Ctrl+letter.
    char32_t typed = 0;
    if (down) {
        bool ctrl = AsyncDown(VK_CONTROL);
        if (ctrl && !alt && key.vk >= 'A' && key.vk <= 'Z') {
            typed = key.vk - 'A' + 1;
        } else if (!ctrl || alt) {
            typed = character;
        }
    }
    Post(target, message, key.vk, static_cast<LPARAM>(lParam), CurrentBackend().CursorPos(), typed);
}

void DeliverText(WindowObject& topLevel, const std::u16string& text) {
    MessageQueue& queue = *topLevel.queue;
    HWND target = queue.focus ? queue.focus : topLevel.hwnd;
    WindowObject* window = FindWindowObject(target);
    if (!window || !TakesInput(window)) {
        return;
    }
    for (char16_t unit : text) {
        Post(target, WM_CHAR, unit, 1, CurrentBackend().CursorPos());
    }
}

void DeliverComposition(WindowObject& topLevel, const std::u16string& text) {
    HWND target = topLevel.queue->focus;
    WindowObject* window = FindWindowObject(target);
    if (window && window->inputMethodEnabled && TakesInput(window)) {
        SendMessageW(target, WM_IME_COMPOSITION, 0, reinterpret_cast<LPARAM>(&text));
    }
}

void DeliverActivation(WindowObject& topLevel, bool active) {
    MessageQueue& queue = *topLevel.queue;
    if (active && queue.active != topLevel.hwnd) {
        if (!topLevel.enabled) {
            return;
        }
        BringWindowToTop(topLevel.hwnd);
        if (!queue.focus) {
            SetFocus(topLevel.hwnd);
        }
    } else if (!active && queue.active == topLevel.hwnd) {
        queue.active = nullptr;
        SendMessageW(topLevel.hwnd, WM_NCACTIVATE, 0, 0);
        SendMessageW(topLevel.hwnd, WM_ACTIVATE, WA_INACTIVE, 0);
        if (HWND focus = queue.focus) {
            queue.focus = nullptr;
            SendMessageW(focus, WM_KILLFOCUS, 0, 0);
        }
    }
}

void DeliverGeometry(WindowObject& topLevel, const RECT& rect) {
    RECT old = topLevel.rect;
    if (old == rect || topLevel.minimized) {
        return;
    }
    topLevel.rect = rect;
    HWND hwnd = topLevel.hwnd;
    WINDOWPOS pos{
        hwnd, nullptr, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE};
    SendMessageW(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    if (old.left != rect.left || old.top != rect.top) {
        SendMessageW(hwnd, WM_MOVE, 0, MAKELPARAM(rect.left, rect.top));
    }
    if (old.Width() != rect.Width() || old.Height() != rect.Height()) {
        SendMessageW(hwnd, WM_SIZE, topLevel.maximized ? SIZE_MAXIMIZED : SIZE_RESTORED,
                     MAKELPARAM(rect.Width(), rect.Height()));
        InvalidateRect(hwnd, nullptr, 1);
    }
}

void DeliverClose(WindowObject& topLevel) {
    if (topLevel.enabled) {
        Post(topLevel.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0, CurrentBackend().CursorPos());
    }
}

HWND SetCapture(HWND hwnd) {
    MessageQueue& queue = *MessageQueue::Current();
    HWND previous = queue.capture;
    if (!OwnWindow(hwnd) || previous == hwnd) {
        return previous;
    }
    queue.capture = hwnd;
    CurrentBackend().CapturePointer(TopLevelOf(FindWindowObject(hwnd)));
    if (previous) {
        SendMessageW(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    }
    return previous;
}

BOOL ReleaseCapture() {
    MessageQueue& queue = *MessageQueue::Current();
    HWND previous = queue.capture;
    queue.capture = nullptr;
    if (previous) {
        CurrentBackend().CapturePointer(nullptr);
        SendMessageW(previous, WM_CAPTURECHANGED, 0, 0);
    }
    return 1;
}

HWND GetCapture() {
    return MessageQueue::Current()->capture;
}

int SetCursor(int cursorId) {
    static thread_local int current = IDC_ARROW;
    int previous = current;
    if (cursorId != current) {
        current = cursorId;
        CurrentBackend().SetCursorShape(cursorId);
    }
    return previous;
}

BOOL GetCursorPos(POINT* point) {
    if (!point) {
        return 0;
    }
    *point = CurrentBackend().CursorPos();
    return 1;
}

HWND SetFocus(HWND hwnd) {
    MessageQueue& queue = *MessageQueue::Current();
    HWND previous = queue.focus;
    WindowObject* window = nullptr;
    if (hwnd) {
        window = OwnWindow(hwnd);
        if (!window || !window->enabled) {
            return nullptr;
        }
    }
    if (previous == hwnd) {
        return previous;
    }
    if (window) {
        ActivateWindow(window);
        // Activation may already have moved the focus (default processing of WM_ACTIVATE).
        if (!IsWindow(hwnd) || queue.focus == hwnd) {
            return previous;
        }
    }
    HWND current = queue.focus;
    queue.focus = nullptr;
    if (current) {
        SendMessageW(current, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    }
    if (hwnd && IsWindow(hwnd) && !queue.focus) {
        queue.focus = hwnd;
        SendMessageW(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(current), 0);
    }
    return previous;
}

HWND GetFocus() {
    return MessageQueue::Current()->focus;
}

HWND GetActiveWindow() {
    return MessageQueue::Current()->active;
}

int16_t GetKeyState(int virtualKey) {
    uint8_t state = MessageQueue::Current()->keyState[static_cast<uint8_t>(virtualKey)];
    return static_cast<int16_t>(((state & 0x80) ? 0x8000 : 0) | (state & 0x01));
}

void EnableInputMethod(HWND hwnd, BOOL enable) {
    if (WindowObject* window = OwnWindow(hwnd)) {
        window->inputMethodEnabled = enable != 0;
        if (WindowObject* top = TopLevelOf(window); top && top->native) {
            CurrentBackend().SetInputMethodEnabled(*window, enable != 0);
        }
    }
}

void SetInputMethodCaret(HWND hwnd, const RECT& caret) {
    WindowObject* window = OwnWindow(hwnd);
    WindowObject* top = TopLevelOf(window);
    if (!top || !top->native) {
        return;
    }
    POINT origin = ClientOriginOnScreen(*window);
    POINT topOrigin = ClientOriginOnScreen(*top);
    RECT inTop{caret.left + origin.x - topOrigin.x, caret.top + origin.y - topOrigin.y,
               caret.right + origin.x - topOrigin.x, caret.bottom + origin.y - topOrigin.y};
    CurrentBackend().SetInputMethodCaret(*top, inTop);
}

BOOL GrabKeyboard(HWND hwnd) {
    MessageQueue& queue = *MessageQueue::Current();
    WindowObject* window = hwnd ? TopLevelOf(OwnWindow(hwnd)) : nullptr;
    if (hwnd && !window) {
        return 0;
    }
    if (!CurrentBackend().GrabKeyboard(window)) {
        return 0;
    }
    queue.keyboardGrab = hwnd;
    return 1;
}

BOOL SetClipboardText(const std::u16string& text) {
    return CurrentBackend().SetClipboardText(text);
}

std::u16string GetClipboardText() {
    return CurrentBackend().GetClipboardText();
}

BOOL ShowFileDialog(const FileDialogRequest& request, std::u16string& result) {
    return CurrentBackend().RunFileDialog(request, result);
}

} // namespace tessel
