// Mouse, wheel, key and focus routing of a control to its children.
#include "toolkit/core/MControl.h"
#include "toolkit/core/PaintManager.h"

namespace tessel {

CPoint MControl::PointFor(const MControl* child, CPoint original, CPoint translated) {
    // A scrolled panel's own scroll bars (ids 1 and 2) stay put while its content moves.
    return child->m_id == 1 || child->m_id == 2 ? original : translated;
}

BOOL MControl::OnMouseMove(UINT flags, CPoint point) {
    if (!m_visible || !m_responsive)
        return 0;
    const CPoint original = point;
    OnMousePointChange(point);

    MControl* oldHot = m_hotChild;
    if (m_hotChild) {
        const CPoint childPoint = PointFor(m_hotChild, original, point);
        if (m_hotChild->PtInRect(childPoint) && m_hotChild->OnCheckMouseResponse(flags, childPoint))
            return m_hotChild->OnMouseMove(flags, childPoint) ? 1 : 0;
        // While the button is held after a press inside, the pressed child keeps the moves.
        if (m_pressedInside)
            return m_hotChild->OnMouseMove(flags, childPoint);
    }
    m_hotChild = nullptr;

    const bool inside = m_rect.Contains(point) && OnCheckMouseResponse(flags, point);
    if (inside && !m_tooltip.empty() && m_manager && m_manager->GetTooltipCtrlID() != m_id)
        SetTooltip(m_tooltip, m_rect);

    OnControlSetCursor(flags, point);
    BOOL result = OnControlMouseMove(flags, point);
    if (m_pressedInside)
        return result;

    std::lock_guard guard(m_lockB);
    for (size_t i = 0; i < m_children.size(); ++i) {
        MControl* child = m_children[i];
        const CPoint childPoint = PointFor(child, original, point);
        if (child->OnMouseMove(flags, childPoint) && child->PtInRect(childPoint)) {
            m_hotChild = child;
            result = 1;
        }
    }
    return m_hotChild || oldHot ? 1 : result;
}

BOOL MControl::RouteButtonDown(Button button, UINT flags, CPoint point) {
    if (!m_visible || !m_responsive)
        return 0;
    const CPoint original = point;
    OnMousePointChange(point);
    m_pressedInside = m_rect.Contains(point);
    {
        std::lock_guard guard(m_lockB);
        m_hotChild = nullptr;
        for (MControl* child : m_children) {
            const CPoint childPoint = PointFor(child, original, point);
            if (child->PtInRect(childPoint) && child->m_enabled && child->m_responsive)
                m_hotChild = child;
        }
    }
    if (MControl* hot = m_hotChild) {
        const CPoint childPoint = PointFor(hot, original, point);
        return button == Button::Left ? hot->OnLButtonDown(flags, childPoint)
                                      : hot->OnRButtonDown(flags, childPoint);
    }
    // Nothing beneath takes the press (a disabled child counts as nothing): this control does, and
    // takes the focus.
    if (m_manager && m_manager->GetFocusControl() != this)
        m_manager->SetFocusControl(this);
    return button == Button::Left ? OnControlLButtonDown(flags, point) : OnControlRButtonDown(flags, point);
}

BOOL MControl::RouteButtonUp(Button button, UINT flags, CPoint point) {
    if (!m_visible || !m_responsive)
        return 0;
    const CPoint original = point;
    OnMousePointChange(point);
    m_pressedInside = 0;
    if (MControl* hot = m_hotChild) {
        const CPoint childPoint = PointFor(hot, original, point);
        return button == Button::Left ? hot->OnLButtonUp(flags, childPoint)
                                      : hot->OnRButtonUp(flags, childPoint);
    }
    return button == Button::Left ? OnControlLButtonUp(flags, point) : OnControlRButtonUp(flags, point);
}

BOOL MControl::RouteButtonDblClk(Button button, UINT flags, CPoint point) {
    if (!m_visible || !m_responsive)
        return 0;
    const CPoint original = point;
    OnMousePointChange(point);
    m_pressedInside = 0;
    const bool left = button == Button::Left;
    MControl* hot = m_hotChild;
    if (!hot) {
        if (!m_dblClk)
            return left ? OnControlLButtonDown(flags, point) : OnControlRButtonDown(flags, point);
        return left ? OnControlLButtonDblClk(flags, point) : OnControlRButtonDblClk(flags, point);
    }
    const CPoint childPoint = PointFor(hot, original, point);
    const BOOL result =
        left ? hot->OnLButtonDblClk(flags, childPoint) : hot->OnRButtonDblClk(flags, childPoint);
    if (result || m_hotChild != hot || hot->m_dblClk)
        return result;
    return left ? hot->OnLButtonDown(flags, childPoint) : hot->OnRButtonDown(flags, childPoint);
}

BOOL MControl::OnLButtonDown(UINT flags, CPoint point) {
    return RouteButtonDown(Button::Left, flags, point);
}
BOOL MControl::OnRButtonDown(UINT flags, CPoint point) {
    return RouteButtonDown(Button::Right, flags, point);
}
BOOL MControl::OnLButtonUp(UINT flags, CPoint point) {
    return RouteButtonUp(Button::Left, flags, point);
}
BOOL MControl::OnRButtonUp(UINT flags, CPoint point) {
    return RouteButtonUp(Button::Right, flags, point);
}
BOOL MControl::OnLButtonDblClk(UINT flags, CPoint point) {
    return RouteButtonDblClk(Button::Left, flags, point);
}
BOOL MControl::OnRButtonDblClk(UINT flags, CPoint point) {
    return RouteButtonDblClk(Button::Right, flags, point);
}

BOOL MControl::OnScroll(UINT kind, UINT direction, CPoint point) {
    if (!m_visible || !m_responsive || !m_enabled)
        return 0;
    const CPoint original = point;
    OnMousePointChange(point);
    if (MControl* hot = m_hotChild) {
        const CPoint childPoint = PointFor(hot, original, point);
        if (hot->PtInRect(childPoint) && hot->OnCheckMouseResponse(0, childPoint))
            return hot->OnScroll(kind, direction, childPoint);
    }
    if (!m_rect.Contains(point))
        return 0;
    if (OnControlScroll(kind, direction, point))
        return 1;
    std::lock_guard guard(m_lockB);
    for (size_t i = 0; i < m_children.size(); ++i) {
        MControl* child = m_children[i];
        const CPoint childPoint = PointFor(child, original, point);
        if (child->PtInRect(childPoint) && child->OnScroll(kind, direction, childPoint))
            return 1;
    }
    return 0;
}

BOOL MControl::OnKeyDown(UINT vk, UINT repeat, UINT modifiers) {
    if (!m_visible || !m_responsive)
        return 0;
    {
        std::lock_guard guard(m_lockB);
        for (MControl* child : m_children)
            if (child->m_focused && child->m_visible)
                return child->OnKeyDown(vk, repeat, modifiers);
    }
    if (m_hotChild && m_hotChild->OnKeyDown(vk, repeat, modifiers))
        return 1;
    if (OnControlKeyDown(vk, repeat, modifiers))
        return 1;
    std::lock_guard guard(m_lockB);
    for (size_t i = 0; i < m_children.size(); ++i)
        if (m_children[i]->OnKeyDown(vk, repeat, modifiers))
            return 1;
    return 0;
}

} // namespace tessel
