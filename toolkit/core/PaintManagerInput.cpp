// Message handling of the paint manager: mouse tracking and the hover control, buttons, wheel,
// keys, Tab navigation and timers.
#include "toolkit/core/PaintManager.h"
#include "toolkit/platform/Messages.h"
#include "toolkit/platform/VirtualKeys.h"
#include "toolkit/platform/Window.h"

namespace tessel {

namespace {

constexpr CPoint kNowhere{-1, -1};

CPoint PointOf(LPARAM lParam) {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

} // namespace

UINT PaintManager::ModifierCode() {
    const bool alt = GetKeyState(VK_MENU) & 0x8000;
    const bool shift = GetKeyState(VK_SHIFT) & 0x8000;
    const bool ctrl = GetKeyState(VK_CONTROL) & 0x8000;
    return (alt ? 18u : shift ? 16u : 0u) | (ctrl ? 17u : 0u);
}

LRESULT PaintManager::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    {
        std::lock_guard guard(m_controlLock);
        for (size_t i = 0; i < m_controls.size(); ++i)
            if (m_controls[i]->OnWindowMessage(message, wParam, lParam))
                return 0;
    }
    LRESULT result = 0;
    switch (message) {
    case WM_PAINT:
        Paint();
        return 1;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        if (!info)
            return 0;
        if (m_minSize.cx > 0)
            info->ptMinTrackSize.x = m_minSize.cx;
        if (m_minSize.cy > 0)
            info->ptMinTrackSize.y = m_minSize.cy;
        if (m_maxSize.cx > 0)
            info->ptMaxTrackSize.x = info->ptMaxSize.x = m_maxSize.cx;
        if (m_maxSize.cy > 0)
            info->ptMaxTrackSize.y = info->ptMaxSize.y = m_maxSize.cy;
        return 1;
    }
    case WM_CREATE:
    case WM_DESTROY:
    case WM_SIZE:
    case WM_CHAR:
    case WM_MOUSEHOVER:
        return 1;
    case WM_NCDESTROY:
        DestroyData();
        return 1;
    case WM_NCACTIVATE:
        result = OnNcActivate(BOOL(wParam));
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        result = OnKeyDown(UINT(wParam));
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        return 0;
    case WM_TIMER:
        result = OnTimer(UINT(wParam));
        break;
    case WM_MOUSEMOVE:
        result = OnMouseMove(UINT(wParam), PointOf(lParam));
        break;
    case WM_MOUSELEAVE:
        result = OnMouseLeave();
        break;
    case WM_LBUTTONDOWN:
        result = OnButtonDown(true, UINT(wParam), PointOf(lParam));
        break;
    case WM_LBUTTONUP:
        result = OnButtonUp(true, UINT(wParam), PointOf(lParam));
        break;
    case WM_LBUTTONDBLCLK:
        result = OnButtonDblClk(true, UINT(wParam), PointOf(lParam));
        break;
    case WM_RBUTTONDOWN:
        result = OnButtonDown(false, UINT(wParam), PointOf(lParam));
        break;
    case WM_RBUTTONUP:
        result = OnButtonUp(false, UINT(wParam), PointOf(lParam));
        break;
    case WM_RBUTTONDBLCLK:
        result = OnButtonDblClk(false, UINT(wParam), PointOf(lParam));
        break;
    case WM_MOUSEWHEEL:
        result = OnMouseWheel(wParam, lParam);
        break;
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
        // Reflected to the child window that sent it, as its own message plus 0x2000.
        const HWND child = reinterpret_cast<HWND>(lParam);
        if (child && IsWindow(child) && GetParent(child) == m_hwnd)
            return ::tessel::SendMessageW(child, message + 0x2000, wParam, lParam);
        return 0;
    }
    default:
        return 0;
    }
    return result ? 1 : 0;
}

BOOL PaintManager::PreTranslateMessage(const MSG* msg) {
    if (!msg || !m_hwnd)
        return 0;
    switch (msg->message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        if (msg->wParam != VK_TAB || msg->hwnd != m_hwnd)
            return 0;
        const UINT modifiers = ModifierCode();
        if (modifiers != 0 && modifiers != 16)
            return 0;
        MControl* before = m_focus;
        SetFocusControl(modifiers == 16 ? GetPrevFocusableControl() : GetNextFocusableControl());
        return m_focus != before;
    }
    default:
        return 0;
    }
}

LRESULT PaintManager::OnMouseMove(UINT flags, CPoint point) {
    if (!m_tracking) {
        TRACKMOUSEEVENT track;
        track.dwFlags = TME_LEAVE | TME_HOVER;
        track.hwndTrack = m_hwnd;
        track.dwHoverTime = m_hoverTime;
        m_tracking = TrackMouseEvent(&track) ? 1 : 0;
    }
    if (m_hover && m_hover->PtInRect(point) && m_hover->OnCheckMouseResponse(flags, point) && m_tracking) {
        m_hover->OnMouseMove(flags, point);
        return 1;
    }
    if (m_tooltip && !m_tooltipText.empty())
        ClearTooltip();
    if (m_leftPressed && m_hover) {
        // The pressed control keeps the moves (for dragging) and stays the hover control.
        m_hover->OnMouseMove(flags, point);
        return 1;
    }
    if (!m_tracking) {
        m_hover = nullptr;
        return 1;
    }
    MControl* hover = nullptr;
    {
        std::lock_guard guard(m_controlLock);
        for (size_t i = 0; i < m_controls.size(); ++i) {
            MControl* control = m_controls[i];
            control->OnMouseMove(flags, point);
            // The move may have deleted controls; check the slot again.
            if (i < m_controls.size() && m_controls[i] == control && control->PtInRect(point) &&
                control->GetRresponse())
                hover = control;
        }
    }
    m_hover = hover;
    return 1;
}

LRESULT PaintManager::OnMouseLeave() {
    if (m_tooltip && !m_tooltipText.empty())
        ClearTooltip();
    m_tracking = 0;
    if (!m_leftPressed && m_hover) {
        MControl* hover = m_hover;
        m_hover = nullptr;
        hover->OnMouseMove(0, kNowhere);
    }
    return 1;
}

LRESULT PaintManager::OnButtonDown(bool left, UINT flags, CPoint point) {
    BOOL& dblClk = left ? m_leftDblClk : m_rightDblClk;
    dblClk = 0;
    if (m_focus && m_focus != m_hover) {
        MControl* old = m_focus;
        m_focus = nullptr;
        old->SetControlFocus(0);
    }
    MControl* hover = m_hover;
    if (hover && hover->IsVisible() && hover->GetRresponse() && hover->PtInRect(point) &&
        hover->OnCheckMouseResponse(flags, point)) {
        (left ? m_leftPressed : m_rightPressed) = 1;
        m_focus = hover;
        const BOOL handled = left ? hover->OnLButtonDown(flags, point) : hover->OnRButtonDown(flags, point);
        if (!m_captured) {
            // The handler may have removed the control; m_hover is cleared then.
            if (m_hover == hover && hover->OnCheckMouseResponse(flags, point))
                SetCapture();
            return 1;
        }
        return handled ? 1 : 0;
    }
    if (left && m_wndDrag && IsWindow(m_hwnd)) {
        ReleaseCapture();
        POINT screen = point;
        ClientToScreen(m_hwnd, &screen);
        ::tessel::SendMessageW(m_hwnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(screen.x, screen.y));
        return 1;
    }
    return 0;
}

LRESULT PaintManager::OnButtonUp(bool left, UINT flags, CPoint point) {
    ReleaseCapture();
    (left ? m_leftPressed : m_rightPressed) = 0;
    MControl* hover = m_hover;
    if (hover && hover->IsVisible() && hover->GetRresponse()) {
        const CRect before = hover->GetRect();
        if (left)
            hover->OnLButtonUp(flags, point);
        else
            hover->OnRButtonUp(flags, point);
        (left ? m_leftDblClk : m_rightDblClk) = 0;
        // The release may have removed the control, which clears m_hover.
        if (m_hover == hover && !before.Contains(point))
            m_hover = nullptr;
    }
    return 1;
}

LRESULT PaintManager::OnButtonDblClk(bool left, UINT flags, CPoint point) {
    (left ? m_leftDblClk : m_rightDblClk) = 1;
    MControl* hover = m_hover;
    if (hover && hover->IsVisible() && hover->GetRresponse()) {
        if (left)
            hover->OnLButtonDblClk(flags, point);
        else
            hover->OnRButtonDblClk(flags, point);
        if (m_hover == hover && !hover->GetRect().Contains(point))
            m_hover = nullptr;
    }
    return 1;
}

LRESULT PaintManager::OnNcActivate(BOOL active) {
    m_active = active;
    if (active)
        return 0;
    m_tracking = 0;
    m_captured = 0;
    m_leftDblClk = 0;
    MControl* hover = m_hover;
    m_hover = nullptr;
    if (m_leftPressed) {
        m_leftPressed = 0;
        if (hover)
            hover->OnLButtonUp(0, kNowhere);
    } else if (hover) {
        hover->OnMouseMove(0, kNowhere);
    }
    Invalidate();
    return 1;
}

LRESULT PaintManager::OnMouseWheel(WPARAM wParam, LPARAM lParam) {
    POINT point = PointOf(lParam);
    ScreenToClient(m_hwnd, &point);
    const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
    const int steps = (delta < 0 ? -delta : delta) / 120;
    const UINT direction = delta < 0 ? 1 : 0;
    BOOL any = 0;
    for (int step = 0; step < steps; ++step) {
        if (m_hover && m_hover->OnScroll(1, direction, point)) {
            any = 1;
            continue;
        }
        std::lock_guard guard(m_controlLock);
        for (size_t i = 0; i < m_controls.size(); ++i) {
            if (m_controls[i]->OnScroll(1, direction, point)) {
                any = 1;
                break;
            }
        }
    }
    return any;
}

LRESULT PaintManager::OnKeyDown(UINT vk) {
    const UINT modifiers = ModifierCode();
    // Key-down never reaches default processing, so Alt+F4 does not close a toolkit window.
    if (m_hover && m_hover->OnKeyDown(vk, 1, modifiers))
        return 1;
    std::lock_guard guard(m_controlLock);
    for (size_t i = 0; i < m_controls.size(); ++i)
        if (m_controls[i]->OnKeyDown(vk, 1, modifiers))
            break;
    return 1;
}

LRESULT PaintManager::OnTimer(UINT id) {
    if (id == kCaretTimer) {
        m_caretPhase = !m_caretPhase;
        InvalidateRect(m_caretRect, 0);
        return 1;
    }
    if (id == kMessageTimer || id == kFadeTimer || id == kProgressTimer) {
        OnOverlayTimer(id);
        return 1;
    }
    if (id == kAnimationTimer && m_animationTimer) {
        std::lock_guard guard(m_animationLock);
        for (size_t i = 0; i < m_animations.size(); ++i) {
            MControl* control = m_animations[i];
            if (control->IsRunTimer() && control->IsVisible() && control->IsParentVisible())
                control->OnTimer();
        }
        return 1;
    }
    MControl* target = nullptr;
    {
        std::lock_guard guard(m_timerLock);
        for (const TimerEntry& entry : m_timers)
            if (entry.systemId == id && !entry.killed)
                target = entry.control;
    }
    if (!target)
        return 0;
    target->OnTimer();
    return 1;
}

} // namespace tessel
