#include "toolkit/core/MShadow.h"

#include "toolkit/core/MObject.h"
#include "toolkit/core/MRender.h"
#include "toolkit/platform/Messages.h"
#include "toolkit/platform/Window.h"

#include <algorithm>
#include <cmath>

namespace tessel {

namespace {

constexpr const char16_t* kClassName = u"ShadowWnd";
constexpr const char16_t* kShadowProperty = u"MShadow";

bool InRange(int value, int low, int high) {
    return value >= low && value <= high;
}

} // namespace

MShadow::~MShadow() {
    Unhook();
    if (m_hwnd && IsWindow(m_hwnd)) {
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hwnd);
    }
}

bool MShadow::Create(HWND owner) {
    if (!owner || !IsWindow(owner) || m_hwnd || GetPropW(owner, kShadowProperty))
        return false;
    WNDCLASSW windowClass;
    windowClass.lpfnWndProc = ShadowProc;
    windowClass.lpszClassName = kClassName;
    RegisterClassW(windowClass);
    const RECT rect = ShadowRect();
    // Not owned, so it may lie beneath its owner; click-through and never activated.
    m_owner = owner;
    m_hwnd = CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW,
                             kClassName, u"", WS_POPUP, rect.left, rect.top, std::max(1, rect.Width()),
                             std::max(1, rect.Height()), nullptr, 0, nullptr);
    if (!m_hwnd) {
        m_owner = nullptr;
        return false;
    }
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetPropW(owner, kShadowProperty, this);
    m_ownerProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MShadow::OwnerProc)));
    return true;
}

void MShadow::Unhook() {
    if (!m_owner)
        return;
    if (IsWindow(m_owner)) {
        RemovePropW(m_owner, kShadowProperty);
        if (GetWindowLongPtrW(m_owner, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&MShadow::OwnerProc))
            SetWindowLongPtrW(m_owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_ownerProc));
    }
    m_owner = nullptr;
}

BOOL MShadow::SetSize(int size) {
    if (!InRange(size, -35, 35))
        return 0;
    m_size = size;
    Follow();
    return 1;
}

BOOL MShadow::SetSharpness(int sharpness) {
    if (!InRange(sharpness, 0, 35))
        return 0;
    m_sharpness = sharpness;
    Follow();
    return 1;
}

BOOL MShadow::SetDarkness(int darkness) {
    if (!InRange(darkness, 0, 255))
        return 0;
    m_darkness = darkness;
    Follow();
    return 1;
}

BOOL MShadow::SetPosition(int x, int y) {
    if (!InRange(x, -35, 35) || !InRange(y, -35, 35))
        return 0;
    m_x = x;
    m_y = y;
    Follow();
    return 1;
}

BOOL MShadow::SetColor(COLORREF color) {
    m_color = color & 0xFFFFFF;
    Follow();
    return 1;
}

BOOL MShadow::SetShadowImage(const Surface* image, int corner) {
    if (corner < 0)
        return 0;
    m_image = image;
    m_imageCorner = corner;
    Follow();
    return 1;
}

void MShadow::ShowShadow() {
    m_enabled = true;
    Follow();
}

void MShadow::DisableShadow() {
    m_enabled = false;
    Follow();
}

RECT MShadow::ShadowRect() const {
    RECT owner{};
    if (m_owner)
        GetWindowRect(m_owner, &owner);
    return {owner.left - m_size + m_x, owner.top - m_size + m_y, owner.right + m_size + m_x,
            owner.bottom + m_size + m_y};
}

void MShadow::Follow() {
    if (!m_hwnd || !IsWindow(m_hwnd))
        return;
    const bool show = m_enabled && m_owner && IsWindowVisible(m_owner) && !IsIconic(m_owner);
    if (!show) {
        ShowWindow(m_hwnd, SW_HIDE);
        return;
    }
    const RECT rect = ShadowRect();
    if (rect.IsEmpty()) {
        ShowWindow(m_hwnd, SW_HIDE);
        return;
    }
    SetWindowPos(m_hwnd, nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                 SWP_NOACTIVATE | SWP_NOZORDER);
    if (!IsWindowVisible(m_hwnd)) {
        ShowWindow(m_hwnd, SW_SHOWNA);
        // The owner goes back above its shadow.
        SetWindowPos(m_owner, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    InvalidateRect(m_hwnd, nullptr, 0);
}

void MShadow::Paint() {
    PAINTSTRUCT ps;
    Surface* surface = BeginPaint(m_hwnd, &ps);
    if (!surface)
        return;
    Graphics g(*surface);
    RECT client;
    GetClientRect(m_hwnd, &client);
    g.ClearRect(ToIntRect(client), 0);
    if (m_image) {
        MRender::DrawImageFrame(g, *m_image, ToIntRect(client), 0, 0, m_image->Width(), m_image->Height(),
                                m_imageCorner);
    } else {
        // Full darkness inside, falling off linearly over the soft edge.
        const int edge = std::max(1, m_sharpness);
        const int w = client.Width(), h = client.Height();
        const Argb base = ColorRefToArgb(m_color, 0);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const int d = std::min(std::min(x, w - 1 - x), std::min(y, h - 1 - y));
                const int alpha = d >= edge ? m_darkness : m_darkness * (d + 1) / (edge + 1);
                surface->Row(y)[x] = Premultiply(base | (uint32_t(alpha) << 24));
            }
        }
        surface->MarkDirty();
    }
    EndPaint(m_hwnd, &ps);
}

LRESULT MShadow::ShadowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* shadow = reinterpret_cast<MShadow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (shadow && message == WM_PAINT) {
        shadow->Paint();
        return 0;
    }
    if (message == WM_NCHITTEST)
        return HTTRANSPARENT;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT MShadow::OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* shadow = static_cast<MShadow*>(GetPropW(hwnd, kShadowProperty));
    if (!shadow)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    const WNDPROC previous = shadow->m_ownerProc;
    if (message == WM_NCDESTROY) {
        // The owner goes: so does the shadow window; the object stays until its owner deletes it.
        shadow->Unhook();
        if (shadow->m_hwnd)
            DestroyWindow(shadow->m_hwnd);
        shadow->m_hwnd = nullptr;
        return CallWindowProcW(previous, hwnd, message, wParam, lParam);
    }
    const LRESULT result = CallWindowProcW(previous, hwnd, message, wParam, lParam);
    // The handler may have deleted the shadow; look it up again.
    shadow = static_cast<MShadow*>(GetPropW(hwnd, kShadowProperty));
    if (!shadow)
        return result;
    switch (message) {
    case WM_WINDOWPOSCHANGED:
    case WM_MOVE:
    case WM_SIZE:
    case WM_SHOWWINDOW:
        shadow->Follow();
        break;
    default:
        break;
    }
    return result;
}

} // namespace tessel
