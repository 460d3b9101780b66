#include "toolkit/platform/Backend.h"
#include "toolkit/platform/Messages.h"
#include "toolkit/platform/VirtualKeys.h"
#include "toolkit/platform/Window.h"
#include "toolkit/platform/WindowObject.h"

#include <algorithm>
#include <cstring>

namespace tessel {

LRESULT DefWindowProcW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowObject* window = FindWindowObject(hwnd);
    if (!window) {
        return 0;
    }
    switch (message) {
    case WM_NCCREATE:
        return 1;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_CLOSE:
            SendMessageW(hwnd, WM_CLOSE, 0, 0);
            break;
        case SC_MINIMIZE:
            ShowWindow(hwnd, SW_MINIMIZE);
            break;
        case SC_MAXIMIZE:
            ShowWindow(hwnd, SW_MAXIMIZE);
            break;
        case SC_RESTORE:
            ShowWindow(hwnd, SW_RESTORE);
            break;
        default:
            break;
        }
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(hwnd, &paint);
        EndPaint(hwnd, &paint);
        return 0;
    }
    case WM_NCHITTEST:
        return HTCLIENT;
    case WM_MOUSEACTIVATE:
        return 1;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && !window->minimized) {
            HWND focus = GetFocus();
            WindowObject* focused = FindWindowObject(focus);
            if (!focused || TopLevelOf(focused) != window) {
                SetFocus(hwnd);
            }
        }
        return 0;
    case WM_SETCURSOR:
        // A parent may decide the cursor of its children.
        if (window->IsChild() && SendMessageW(window->parent, WM_SETCURSOR, wParam, lParam)) {
            return 1;
        }
        if (static_cast<int16_t>(LOWORD(lParam)) == HTCLIENT) {
            SetCursor(window->classCursor ? window->classCursor : IDC_ARROW);
            return 1;
        }
        SetCursor(IDC_ARROW);
        return 0;
    case WM_NCLBUTTONDOWN:
        // A press handed over as a caption press moves the window with the pointer.
        if (wParam == HTCAPTION) {
            if (WindowObject* top = TopLevelOf(window); top && top->native) {
                CurrentBackend().BeginMoveDrag(*top, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            }
        }
        return 0;
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4 && ((lParam >> 29) & 1)) {
            PostMessageW(TopLevelOf(window)->hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        return 0;
    case WM_SETTEXT:
        window->text = lParam ? reinterpret_cast<const char16_t*>(lParam) : u"";
        if (!window->IsChild() && window->native) {
            CurrentBackend().SyncTitle(*window);
        }
        return 1;
    case WM_GETTEXT: {
        if (wParam == 0 || !lParam) {
            return 0;
        }
        size_t count = std::min<size_t>(window->text.size(), wParam - 1);
        auto* buffer = reinterpret_cast<char16_t*>(lParam);
        std::copy_n(window->text.data(), count, buffer);
        buffer[count] = u'\0';
        return static_cast<LRESULT>(count);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(window->text.size());
    default:
        return 0;
    }
}

} // namespace tessel
