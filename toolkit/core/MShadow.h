#pragma once

#include "toolkit/TesselExport.h"
#include "toolkit/platform/Win32Types.h"
#include "toolkit/platform/draw/Color.h"

namespace tessel {

class Surface;

/// A soft drop shadow behind a top-level window: a separate, click-through, per-pixel-alpha
/// window of class "ShadowWnd" that follows its owner's moves, sizes and visibility by
/// subclassing the owner's window procedure. The shadow object must outlive neither its owner
/// window nor itself: its destructor removes the window and the subclassing.
class TESSEL_EXPORT MShadow {
public:
    MShadow() = default;
    ~MShadow();
    MShadow(const MShadow&) = delete;
    MShadow& operator=(const MShadow&) = delete;

    /// Makes the shadow window for `owner`; false when there is no owner or it already has one.
    bool Create(HWND owner);

    /// How far the shadow reaches past the owner's edges (-35..35); 0 and no change outside.
    BOOL SetSize(int size);
    /// The width of the soft edge (0..35).
    BOOL SetSharpness(int sharpness);
    /// The alpha of the darkest part (0..255).
    BOOL SetDarkness(int darkness);
    /// The shadow's offset from the owner (-35..35 each).
    BOOL SetPosition(int x, int y);
    /// The shadow colour (COLORREF).
    BOOL SetColor(COLORREF color);
    /// Draws a nine-grid picture instead of the computed shadow; the picture must outlive the
    /// shadow (the window's image cache owns it). Null goes back to the computed shadow.
    BOOL SetShadowImage(const Surface* image, int corner);
    /// Shows the shadow while its owner is visible.
    void ShowShadow();
    /// Hides the shadow until ShowShadow.
    void DisableShadow();

    HWND GetSafeHwnd() const { return m_hwnd; }
    /// The screen rectangle the shadow covers for the owner's current rectangle.
    RECT ShadowRect() const;

private:
    static LRESULT ShadowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Follow();
    void Paint();
    void Unhook();

    HWND m_owner = nullptr;
    HWND m_hwnd = nullptr;
    WNDPROC m_ownerProc = nullptr;
    bool m_enabled = false;
    int m_size = 0;
    int m_sharpness = 5;
    int m_darkness = 150;
    int m_x = 5;
    int m_y = 5;
    COLORREF m_color = 0;
    const Surface* m_image = nullptr;
    int m_imageCorner = 0;
};

} // namespace tessel
