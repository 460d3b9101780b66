#pragma once

#include <cstdint>

// The vocabulary of the windowing layer. The toolkit above was designed around message-driven
// windows; keeping the same shapes (window handles, window procedures, MSG, RECT) and the same
// numbers lets it read exactly like its design while running on GTK or in memory.
namespace tessel {

struct HWND__;
/// A window handle. Handles are never reused while the process runs, so a stale one is safely
/// reported as "no window" by every function.
using HWND = HWND__*;
using UINT = uint32_t;
using DWORD = uint32_t;
using BOOL = int;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using LONG_PTR = intptr_t;
using ATOM = uint16_t;
/// A colour with red in the low byte (0x00BBGGRR).
using COLORREF = uint32_t;

/// A window procedure: every message of a window goes through one.
using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
/// A timer callback given to SetTimer; called by DispatchMessage in place of the window procedure.
using TIMERPROC = void (*)(HWND, UINT, uintptr_t, DWORD);

struct POINT {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const POINT&) const = default;
};

struct SIZE {
    int32_t cx = 0;
    int32_t cy = 0;
    bool operator==(const SIZE&) const = default;
};

/// A rectangle; right and bottom are exclusive.
struct RECT {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool operator==(const RECT&) const = default;
    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(POINT p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
};

/// One message as GetMessage and PeekMessage hand it out.
struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    /// Milliseconds of the layer's clock when the message was made.
    DWORD time = 0;
    /// Cursor position in screen coordinates when the message was made.
    POINT pt;
    /// For key-down messages: the character (UTF-32) the key gives under the current layout and
    /// modifiers, which TranslateMessage turns into WM_CHAR; 0 for none.
    char32_t character = 0;
};

/// Passed with WM_NCCREATE and WM_CREATE in lParam.
struct CREATESTRUCTW {
    void* lpCreateParams = nullptr;
    uintptr_t hMenu = 0;
    HWND hwndParent = nullptr;
    int32_t cy = 0;
    int32_t cx = 0;
    int32_t y = 0;
    int32_t x = 0;
    DWORD style = 0;
    const char16_t* lpszName = nullptr;
    const char16_t* lpszClass = nullptr;
    DWORD dwExStyle = 0;
};

/// Passed with WM_GETMINMAXINFO.
struct MINMAXINFO {
    POINT ptReserved;
    POINT ptMaxSize;
    POINT ptMaxPosition;
    POINT ptMinTrackSize;
    POINT ptMaxTrackSize;
};

/// Passed with WM_WINDOWPOSCHANGING and WM_WINDOWPOSCHANGED.
struct WINDOWPOS {
    HWND hwnd = nullptr;
    HWND hwndInsertAfter = nullptr;
    int32_t x = 0;
    int32_t y = 0;
    int32_t cx = 0;
    int32_t cy = 0;
    UINT flags = 0;
};

/// A window class: the procedure and the class styles shared by the windows made from it.
struct WNDCLASSW {
    UINT style = 0;
    WNDPROC lpfnWndProc = nullptr;
    /// One of the IDC_ cursor ids, shown over the client area by default processing.
    int hCursor = 0;
    const char16_t* lpszClassName = nullptr;
};

struct TRACKMOUSEEVENT {
    DWORD dwFlags = 0;
    HWND hwndTrack = nullptr;
    DWORD dwHoverTime = 0;
};

class Surface;

/// What BeginPaint hands out: the area to paint (client coordinates) and the window's surface.
struct PAINTSTRUCT {
    RECT rcPaint;
    /// The window's pixels, owned by the window; valid until EndPaint.
    Surface* surface = nullptr;
};

constexpr uint16_t LOWORD(uintptr_t v) {
    return static_cast<uint16_t>(v & 0xFFFF);
}
constexpr uint16_t HIWORD(uintptr_t v) {
    return static_cast<uint16_t>((v >> 16) & 0xFFFF);
}
constexpr LPARAM MAKELPARAM(int low, int high) {
    return static_cast<LPARAM>(static_cast<uint32_t>((low & 0xFFFF) | ((high & 0xFFFF) << 16)));
}
constexpr WPARAM MAKEWPARAM(int low, int high) {
    return static_cast<WPARAM>(static_cast<uint32_t>(MAKELPARAM(low, high)));
}
/// The signed x and y packed into a mouse message's lParam.
constexpr int GET_X_LPARAM(LPARAM v) {
    return static_cast<int16_t>(v & 0xFFFF);
}
constexpr int GET_Y_LPARAM(LPARAM v) {
    return static_cast<int16_t>((v >> 16) & 0xFFFF);
}
constexpr int GET_WHEEL_DELTA_WPARAM(WPARAM v) {
    return static_cast<int16_t>(HIWORD(v));
}
constexpr COLORREF RGB(int r, int g, int b) {
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

} // namespace tessel
