#pragma once

#include "toolkit/TesselExport.h"
#include "toolkit/platform/Messages.h"
#include "toolkit/platform/Win32Types.h"

#include <string>

namespace tessel {

/// A thin wrapper of one native window: its class, its window procedure and a modal loop.
/// The object must outlive its window; the window handle is cleared when the window goes.
class TESSEL_EXPORT MWindow {
public:
    MWindow() = default;
    /// Destroys the window when it still exists.
    virtual ~MWindow();
    MWindow(const MWindow&) = delete;
    MWindow& operator=(const MWindow&) = delete;

    // Virtual operations, in this order.
    /// The window class name; "MWindow" by default.
    virtual const char16_t* GetWindowClassName() const { return u"MWindow"; }
    /// The system class to superclass; null (an own class) by default.
    virtual const char16_t* GetSuperClassName() const { return nullptr; }
    /// Carries out a SW_ command on the window.
    virtual BOOL ShowWindow(int command);
    /// Every message of the window; default processing by default.
    virtual LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam);
    /// Looks at a message in the modal loop before it is dispatched; nonzero swallows it. 0.
    virtual BOOL PreTranslateMessage(const MSG* msg);
    /// Called once the window exists; returns 1.
    virtual BOOL OnInitDialog();
    /// Called after the window is gone; nothing by default.
    virtual void OnDestroyMessage(HWND hwnd);

    /// Creates the window (the class registered first) and calls OnInitDialog; returns the
    /// handle, the existing one when there is one, or null on failure.
    HWND Create(HWND parent, const char16_t* title, DWORD style, DWORD exStyle, const RECT& rect,
                uintptr_t menu = 0);
    /// "MClient", style 0x0000080B, at (0, 0, 800, 600) or at `rect`.
    HWND Create(HWND parent);
    HWND Create(HWND parent, const RECT& rect);
    BOOL RegisterWindowClass();
    BOOL RegisterSuperClass();

    /// Shows the window and runs a modal loop until it is gone; returns the wParam of the
    /// WM_CLOSE that ended it (0 when it went without one), or (UINT)-1 without a window.
    UINT ShowModal(int showCommand = SW_SHOWNORMAL);

    BOOL DestroyWindow();
    /// Centres the window on `relativeTo` (or its owner) when that is shown and not minimised,
    /// else on the work area, keeping it inside the work area.
    void CenterWindow(MWindow* relativeTo = nullptr);
    /// Brings the window to the front, restoring it when minimised.
    void BringToTop();
    /// Icons are the desktop file's business here; returns 0 and changes nothing.
    BOOL SetIcon(int resourceId);
    BOOL SetIcon(const std::u16string& name);
    void SetPolygon(BOOL on) { m_polygon = on; }
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
    BOOL ModifyExStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
    BOOL GetClientRect(RECT* rect) const;
    BOOL GetWindowRect(RECT* rect) const;
    BOOL SetWindowTextW(const std::u16string& text);
    BOOL GetWindowTextW(std::u16string& text) const;
    int GetWindowTextLengthW() const;
    BOOL EnableWindow(BOOL enable);
    BOOL IsWindowEnabled() const;
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;
    BOOL InvalidateRect(const RECT& rect, BOOL erase);
    HWND SetCapture();
    BOOL ReleaseCapture();
    HWND SetFocus();
    uintptr_t SetTimer(uintptr_t id, UINT ms, TIMERPROC callback = nullptr);
    BOOL KillTimer(uintptr_t id);
    BOOL ClientToScreen(POINT* point) const;
    BOOL ClientToScreen(RECT* rect) const;
    BOOL ScreenToClient(POINT* point) const;
    BOOL ScreenToClient(RECT* rect) const;
    BOOL SetWindowPos(HWND insertAfter, int x, int y, int width, int height, UINT flags);
    BOOL MoveWindow(int x, int y, int width, int height, BOOL repaint = 1);
    BOOL MoveWindow(const RECT* rect, BOOL repaint = 1);
    LRESULT SendMessageW(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessageW(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    HWND GetSafeHwnd() const { return m_hwnd; }
    HWND GetParentHwnd() const { return m_parentHwnd; }

    /// Procedure of own classes and of superclassed system controls.
    static LRESULT WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    /// Default processing: the previous procedure of the class.
    LRESULT CallPrevious(UINT message, WPARAM wParam, LPARAM lParam);
    /// Makes the window layered with a constant alpha when it is not 255, or else with the colour
    /// key when it differs from `noKey` (each window kind has its own "no key" value).
    void ApplyBackTranslucency(int alpha, COLORREF colorKey, COLORREF noKey);

private:
    BOOL ModifyStyleBits(int index, DWORD remove, DWORD add, UINT swpFlags);

protected:
    HWND m_parentHwnd = nullptr;
    HWND m_hwnd = nullptr;
    WNDPROC m_previousProc = nullptr;
    BOOL m_polygon = 0;
};

} // namespace tessel
