#include "toolkit/core/MControl.h"

#include "toolkit/core/PaintManager.h"
#include "toolkit/platform/Messages.h"
#include "toolkit/platform/Window.h"

#include <algorithm>
#include <string_view>

namespace tessel {

MControl::MControl(MObject* parent, UINT id, const CRect& rect, BOOL visible, BOOL enabled, BOOL responsive)
    : m_parent(parent), m_id(id), m_rect(rect), m_visible(visible), m_enabled(enabled),
      m_responsive(responsive) {}

MControl::~MControl() {
    RemoveAllControl();
    if (m_manager)
        m_manager->ForgetControl(this);
}

LRESULT MControl::OnControlUpdate(const CRect& rect, BOOL redraw, MControl* control) {
    if (m_parent)
        return m_parent->OnControlUpdate(rect, redraw, control);
    return m_manager ? m_manager->OnControlUpdate(rect, redraw, control) : 0;
}

void MControl::InitControl(PaintManager*) {}

BOOL MControl::PtInRect(CPoint point) const {
    return m_visible && m_rect.Contains(point);
}

BOOL MControl::DrawSubControls(Graphics& g, const CRect& clip) {
    std::lock_guard guard(m_lockB);
    for (size_t i = 0; i < m_children.size(); ++i)
        m_children[i]->Draw(g, clip);
    return 1;
}

BOOL MControl::IsDraw(CPoint) {
    return 0;
}

void MControl::SetUpdate(BOOL valid, COLORREF background) {
    m_cacheValid = valid;
    if (valid)
        return;
    // Children cache pictures that hold this control's pixels beneath them.
    {
        std::lock_guard guard(m_lockA);
        for (MControl* area : m_areas)
            if (!IntersectRects(area->m_rect, m_rect).IsEmpty())
                area->SetUpdate(0, background);
    }
    std::lock_guard guard(m_lockB);
    for (MControl* child : m_children)
        if (!IntersectRects(child->m_rect, m_rect).IsEmpty())
            child->SetUpdate(0, background);
}

void MControl::SetControlFocus(BOOL on) {
    m_focused = on;
    if (on)
        return;
    std::lock_guard guard(m_lockB);
    for (MControl* child : m_children)
        if (child->m_focused)
            child->SetControlFocus(0);
}

void MControl::InitUI(const CRect&) {}

BOOL MControl::OnMousePointChange(CPoint&) {
    return 0;
}

BOOL MControl::OnCheckMouseResponse(UINT, CPoint) {
    return 1;
}

LRESULT MControl::OnWindowMessage(UINT, WPARAM, LPARAM) {
    return 0;
}

LRESULT MControl::OnMessage(UINT, UINT, WPARAM, LPARAM) {
    return 0;
}

void MControl::SetControlRect(const CRect& rect) {
    m_rect = rect;
}

void MControl::SetControlVisible(BOOL on) {
    m_visible = on;
}

void MControl::SetControlWndVisible(BOOL) {}

void MControl::SetControlEnabled(BOOL on) {
    m_enabled = on;
}

BOOL MControl::OnControlTimer() {
    return 0;
}

std::unique_ptr<Surface> MControl::GetControlDropBitmap() {
    return nullptr;
}

BOOL MControl::OnControlMouseMove(UINT, CPoint) {
    return 0;
}

BOOL MControl::OnControlSetCursor(UINT, CPoint point) {
    if (m_cursor && m_rect.Contains(point))
        ::tessel::SetCursor(m_cursor);
    return 1;
}

BOOL MControl::OnControlLButtonDown(UINT, CPoint) {
    return 0;
}
BOOL MControl::OnControlLButtonUp(UINT, CPoint) {
    return 0;
}
BOOL MControl::OnControlLButtonDblClk(UINT, CPoint) {
    return 0;
}
BOOL MControl::OnControlScroll(UINT, UINT, CPoint) {
    return 0;
}
BOOL MControl::OnControlRButtonDown(UINT, CPoint) {
    return 0;
}
BOOL MControl::OnControlRButtonUp(UINT, CPoint) {
    return 0;
}
BOOL MControl::OnControlRButtonDblClk(UINT, CPoint) {
    return 0;
}

BOOL MControl::OnControlKeyDown(UINT vk, UINT, UINT modifiers) {
    return m_hotKey != 0 && m_hotKey == vk && m_hotKeyModifiers == modifiers;
}

void MControl::OnPositionChange() {}

void MControl::InvalidateRect(const RECT*, BOOL erase) {
    if (!m_manager || !IsWindow(m_manager->GetPaintWnd()))
        return;
    if (m_manager->IsLayered())
        m_manager->Invalidate();
    else
        m_manager->InvalidateRect(m_rect, erase);
}

void MControl::SetRect(const CRect& rect) {
    const CRect old = m_rect;
    SetControlRect(rect);
    if (m_visible)
        UpdateControl(UnionRects(old, m_rect), 1, 0);
}

void MControl::SetRect(int x, int y, int width, int height) {
    SetRect(CRect{x, y, x + width, y + height});
}

void MControl::SetManager(PaintManager* manager) {
    m_manager = manager;
    InitControl(manager);
}

MControl* MControl::AddControl(std::unique_ptr<MControl> child) {
    if (!child)
        return nullptr;
    MControl* raw = child.release(); // owned by m_children from here, deleted by RemoveControl
    raw->SetParent(this);
    {
        std::lock_guard guard(m_lockB);
        m_children.push_back(raw);
    }
    if (m_manager && !raw->m_manager)
        raw->SetManager(m_manager);
    return raw;
}

MControl* MControl::AddArea(std::unique_ptr<MControl> area) {
    if (!area)
        return nullptr;
    MControl* raw = area.release(); // owned by m_areas, deleted by RemoveAllControl
    raw->SetParent(this);
    {
        std::lock_guard guard(m_lockA);
        m_areas.push_back(raw);
    }
    if (m_manager && !raw->m_manager)
        raw->SetManager(m_manager);
    return raw;
}

void MControl::SetVisible(BOOL on) {
    SetVisible(on, 1);
}

void MControl::SetVisible(BOOL on, BOOL repaint) {
    if (!m_visible == !on)
        return;
    SetControlVisible(on);
    if (repaint)
        UpdateControl(1, 1);
}

BOOL MControl::IsParentVisible() const {
    if (!m_parent)
        return 0;
    for (const MObject* object = m_parent; object;) {
        if (object->IsClass(u"MDialog"))
            return 1;
        const auto* control = dynamic_cast<const MControl*>(object);
        if (!control)
            return 1; // another kind of window owns the chain
        if (!control->m_visible)
            return 0;
        object = control->m_parent;
    }
    return 1;
}

void MControl::SetEnabled(BOOL on) {
    if (!m_enabled == !on)
        return;
    SetControlEnabled(on);
    if (m_visible)
        UpdateControl(1, 0);
}

BOOL MControl::IsFocusControl() const {
    return m_manager && m_manager->GetFocusControl() == this;
}

void MControl::SetTooltip(const std::u16string& text, const CRect& rect) {
    if (!m_manager)
        return;
    m_manager->SetTooltip(text, rect);
    m_manager->SetTooltipCtrlID(m_id);
}

void MControl::ClearTooltip() {
    if (m_manager)
        m_manager->ClearTooltip();
}

int MControl::SetCursorEx(const char16_t* name) {
    static constexpr std::pair<std::u16string_view, int> kCursors[] = {
        {u"arrow", IDC_ARROW},   {u"wait", IDC_WAIT}, {u"cross", IDC_CROSS}, {u"sizewe", IDC_SIZEWE},
        {u"sizens", IDC_SIZENS}, {u"hand", IDC_HAND}, {u"help", IDC_HELP}};
    if (!name)
        return 0;
    for (const auto& [cursorName, id] : kCursors)
        if (cursorName == name)
            m_cursor = id;
    return 0;
}

void MControl::UpdateControl(BOOL redraw, BOOL force) {
    UpdateControl(m_rect, redraw, force);
}

void MControl::UpdateControl(const CRect& rect, BOOL redraw, BOOL force) {
    if (!m_visible && !force)
        return;
    if (m_parent)
        m_parent->OnControlUpdate(rect, redraw, this);
    else if (m_manager)
        m_manager->OnControlUpdate(rect, redraw, this);
}

void MControl::UpdateAControl(BOOL stopAnimating, BOOL force) {
    if (!m_visible && !force)
        return;
    m_animating = !stopAnimating;
    UpdateControl(m_rect, 0, force);
}

LRESULT MControl::SendMessageW(UINT code, WPARAM wParam, LPARAM lParam) {
    return m_parent ? m_parent->OnBaseMessage(m_id, code, wParam, lParam) : 0;
}

MControl* MControl::GetControl(UINT id) const {
    // Unguarded on purpose: a lookup by id may come from inside any traversal.
    for (MControl* child : m_children) {
        if (child->m_id == id)
            return child;
        if (MControl* found = child->GetControl(id))
            return found;
    }
    for (MControl* area : m_areas) {
        if (area->m_id == id)
            return area;
        if (MControl* found = area->GetControl(id))
            return found;
    }
    return nullptr;
}

void MControl::ForgetChild(MControl* child) {
    if (m_hotChild == child)
        m_hotChild = nullptr;
}

BOOL MControl::RemoveControl(MControl* child) {
    std::lock_guard guard(m_lockB);
    const auto it = std::find(m_children.begin(), m_children.end(), child);
    if (it == m_children.end())
        return 0;
    if (m_manager && m_manager->GetFocusControl() == child)
        m_manager->SetFocusControl(nullptr);
    m_children.erase(it);
    ForgetChild(child);
    delete child; // owned by this control until now
    return 1;
}

void MControl::RemoveAllControl() {
    std::vector<MControl*> areas, children;
    {
        std::lock_guard guard(m_lockA);
        areas.swap(m_areas);
    }
    {
        std::lock_guard guard(m_lockB);
        children.swap(m_children);
    }
    m_hotChild = nullptr;
    for (MControl* area : areas)
        delete area; // owned by this control
    for (MControl* child : children)
        delete child; // owned by this control
}

void MControl::AddMTimer() {
    if (m_manager)
        m_manager->AddMTimer(this);
}

BOOL MControl::OnTimer() {
    BOOL result = OnControlTimer();
    BOOL childResult = 0;
    std::lock_guard guard(m_lockB);
    for (size_t i = 0; i < m_children.size(); ++i) {
        MControl* child = m_children[i];
        if (child->m_runTimer && child->m_visible && child->OnTimer())
            childResult = 1;
    }
    return childResult ? 1 : result;
}

void MControl::Draw(Graphics& g, const CRect& clip) {
    if (!m_visible)
        return;
    const CRect area = IntersectRects(m_rect, clip);
    if (area.IsEmpty())
        return;
    Graphics::StateSaver saver(g);
    {
        std::lock_guard guard(m_lockA);
        for (size_t i = 0; i < m_areas.size(); ++i)
            if (!IntersectRects(m_areas[i]->m_rect, m_rect).IsEmpty())
                m_areas[i]->Draw(g, clip);
    }
    // Only what meets both the control and the dirty rectangle is painted.
    g.ClipRect(ToIntRect(area));
    DrawControl(g, area);
    DrawSubControls(g, area);
}

Surface* MControl::UpdateMemDC(Graphics&, int width, int height) {
    m_cacheValid = 1;
    if (width < 1 || height < 1)
        return nullptr;
    if (!m_cache || m_cache->Width() != width || m_cache->Height() != height)
        m_cache = Surface::Create(width, height);
    return m_cache.get();
}

Surface* MControl::UpdateAnimateDC(Graphics&, int width, int height) {
    m_animating = 1;
    m_animateCache = width < 1 || height < 1 ? nullptr : Surface::Create(width, height);
    return m_animateCache.get();
}

int MControl::PositionItem2Value(const M_POSITION_ITEM& item, int low, int high) {
    switch (item.type) {
    case 0:
        return item.fromFarSide ? int(high - item.value) : int(low + item.value);
    case 1: {
        const double centre = low + (high - low) / 2;
        return int(item.fromFarSide ? centre - item.value : centre + item.value);
    }
    case 2:
        return std::min(high, int(low + (high - low) * item.value / 100));
    default:
        return 0;
    }
}

} // namespace tessel
