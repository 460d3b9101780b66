#include "toolkit/core/PaintManager.h"

#include "toolkit/core/ControlFactory.h"
#include "toolkit/core/MControlFont.h"
#include "toolkit/core/MRender.h"
#include "toolkit/core/Manager.h"
#include "toolkit/platform/Messages.h"
#include "toolkit/platform/Tooltip.h"
#include "toolkit/platform/Window.h"

#include <algorithm>

namespace tessel {

namespace {

constexpr UINT kCaretBlinkMs = 530;

template <typename List>
bool Contains(const List& list, const MControl* control) {
    return std::find(list.begin(), list.end(), control) != list.end();
}

} // namespace

PaintManager::PaintManager() = default;

PaintManager::~PaintManager() {
    DestroyData();
    // Controls attached without ever being initialised still belong to the manager.
    ClearAllControls();
    if (m_tooltip)
        DestroyWindow(m_tooltip);
}

void PaintManager::Init(HWND hwnd, MWindow* owner) {
    if (!hwnd || !IsWindow(hwnd))
        return;
    m_hwnd = hwnd;
    m_owner = owner;
    m_initialised = 1;
    m_fonts.AddGDITempFont(106);
    m_fonts.AddGDITempFont(107);
    m_scrollV = 102;
    m_scrollH = 101;
}

void PaintManager::OnDestroyMessage(HWND hwnd) {
    if (hwnd == m_hwnd)
        DestroyData();
}

void PaintManager::DestroyData() {
    if (!m_initialised)
        return;
    m_backImage = nullptr;
    KillMTimer();
    ClearTimers();
    KillSystemTimer(kCaretTimer);
    KillSystemTimer(kMessageTimer);
    KillSystemTimer(kFadeTimer);
    KillSystemTimer(kProgressTimer);
    ClearAllControls();
    m_shadow.reset();
    m_images.ClearImgResInfo();
    m_fonts.ClearTempFont();
    m_initialised = 0;
}

LRESULT PaintManager::OnControlUpdate(const CRect& rect, BOOL redraw, MControl* control) {
    if (!m_initialised) {
        InvalidateRect(rect, 0);
        return 1;
    }
    if (redraw && control)
        control->SetUpdate(0, m_backColor);
    // Cached controls hold the pixels beneath them, so every visible control painted above the
    // changed one within the rectangle repaints too.
    CRect region = rect;
    MControl* top = TopLevelAncestor(control);
    bool above = false;
    auto markAbove = [&](const std::vector<MControl*>& list) {
        for (MControl* other : list) {
            if (above && other->IsVisible() && !IntersectRects(other->GetRect(), rect).IsEmpty()) {
                region = UnionRects(region, other->GetRect());
                other->SetUpdate(0, m_backColor);
            }
            if (other == top)
                above = true;
        }
    };
    {
        std::lock_guard guard(m_areaLock);
        markAbove(m_areas);
    }
    {
        std::lock_guard guard(m_controlLock);
        markAbove(m_controls);
    }
    InvalidateRect(region, 0);
    return 1;
}

MControl* PaintManager::TopLevelAncestor(MControl* control) const {
    for (MControl* c = control; c;) {
        if (IsTopLevel(c))
            return c;
        c = dynamic_cast<MControl*>(c->GetParantObject());
    }
    return nullptr;
}

bool PaintManager::IsTopLevel(const MControl* control) const {
    return Contains(m_controls, control) || Contains(m_areas, control);
}

void PaintManager::ForgetControl(MControl* control) {
    if (!control)
        return;
    if (m_hover == control) {
        m_hover = nullptr;
        m_leftPressed = m_rightPressed = 0;
    }
    if (m_focus == control)
        m_focus = nullptr;
    if (m_caretOwner == control)
        m_caretOwner = nullptr;
    if (m_captured && !m_hover)
        ReleaseCapture();
    KillTimer(control);
    DeleteMTimer(control);
    {
        std::lock_guard guard(m_controlLock);
        std::erase(m_controls, control);
    }
    std::lock_guard guard(m_areaLock);
    std::erase(m_areas, control);
}

void PaintManager::Invalidate() {
    if (IsWindow(m_hwnd))
        ::tessel::InvalidateRect(m_hwnd, nullptr, 0);
}

void PaintManager::InvalidateRect(const CRect& rect, BOOL erase) {
    if (!IsWindow(m_hwnd))
        return;
    if (m_layered)
        ::tessel::InvalidateRect(m_hwnd, nullptr, 1);
    else
        ::tessel::InvalidateRect(m_hwnd, &rect, erase);
}

BOOL PaintManager::GetClientRect(CRect& rect) const {
    return ::tessel::GetClientRect(m_hwnd, &rect);
}

BOOL PaintManager::GetWindowRect(CRect& rect) const {
    return ::tessel::GetWindowRect(m_hwnd, &rect);
}

BOOL PaintManager::GetClientSize(int& width, int& height) const {
    CRect rect;
    if (!GetClientRect(rect))
        return 0;
    width = rect.Width();
    height = rect.Height();
    return 1;
}

void PaintManager::SetCapture() {
    if (IsWindow(m_hwnd)) {
        ::tessel::SetCapture(m_hwnd);
        m_captured = 1;
    }
}

void PaintManager::ReleaseCapture() {
    if (m_captured && GetCapture() == m_hwnd)
        ::tessel::ReleaseCapture();
    m_captured = 0;
}

LRESULT PaintManager::SendMessageW(UINT message, WPARAM wParam, LPARAM lParam) {
    return IsWindow(m_hwnd) ? ::tessel::SendMessageW(m_hwnd, message, wParam, lParam) : 0;
}

BOOL PaintManager::LoadBKImage(const std::u16string& fileName) {
    m_backImage = m_images.AddImgResInfo(fileName, 1);
    Invalidate();
    return m_backImage != nullptr;
}

BOOL PaintManager::LoadBKImage(int resourceId, const std::u16string& resourceType) {
    m_backImage = m_images.AddImgResInfo(resourceId, resourceType, 1, true);
    Invalidate();
    return m_backImage != nullptr;
}

void PaintManager::SetLayeredWindow(BOOL on) {
    m_layered = on;
    if (!IsWindow(m_hwnd))
        return;
    const LONG_PTR ex = GetWindowLongPtrW(m_hwnd, GWL_EXSTYLE);
    const LONG_PTR wanted = on ? (ex | WS_EX_LAYERED) : (ex & ~LONG_PTR(WS_EX_LAYERED));
    if (wanted != ex)
        SetWindowLongPtrW(m_hwnd, GWL_EXSTYLE, wanted);
    Invalidate();
}

// Painting.

void PaintManager::Paint() {
    PAINTSTRUCT ps;
    Surface* surface = BeginPaint(m_hwnd, &ps);
    if (!surface)
        return;
    CRect client;
    GetClientRect(client);
    if (IsIconic(m_hwnd) || ps.rcPaint.IsEmpty()) {
        EndPaint(m_hwnd, &ps);
        return;
    }
    // The window keeps one picture of its client size; only the dirty part is painted again.
    const CRect clip = m_layered ? client : IntersectRects(ps.rcPaint, client);
    Graphics g(*surface);
    g.ClipRect(ToIntRect(clip));
    if (m_layered) {
        if (!(GetWindowLongPtrW(m_hwnd, GWL_EXSTYLE) & WS_EX_LAYERED))
            SetLayeredWindow(1);
        g.ClearRect(ToIntRect(clip), 0);
    }
    PaintBackground(g, client);
    {
        std::lock_guard guard(m_areaLock);
        for (size_t i = 0; i < m_areas.size(); ++i)
            m_areas[i]->Draw(g, clip);
    }
    {
        std::lock_guard guard(m_controlLock);
        for (size_t i = 0; i < m_controls.size(); ++i)
            m_controls[i]->Draw(g, clip);
    }
    DrawCaret(g, clip);
    if (m_overlayAlpha > 10 && !m_overlayText.empty())
        PaintOverlay(g);
    EndPaint(m_hwnd, &ps);
}

void PaintManager::PaintBackground(Graphics& g, const CRect& client) {
    if (m_backImage) {
        const Surface& picture = m_backImage->Picture();
        if (!m_layered)
            g.ClearRect(ToIntRect(client), 0);
        if (m_backMode == BACK_MODE_FRAME)
            MRender::DrawImageFrame(g, picture, ToIntRect(client), 0, 0, picture.Width(), picture.Height(),
                                    m_backBorder);
        else
            g.DrawImage(picture, 0, 0);
        return;
    }
    g.ClearRect(ToIntRect(client), ColorRefToArgb(m_borderColor, 0xFE));
    g.ClearRect({client.left + 1, client.top + 1, client.Width() - 2, client.Height() - 2},
                ColorRefToArgb(m_backColor, 0xFE));
}

void PaintManager::PaintOverlay(Graphics& g) {
    const auto alpha = uint8_t(m_overlayAlpha);
    const CRect& r = m_overlayRect;
    g.FillRect(ToIntRect(r), ColorRefToArgb(0xE6E6E6, alpha));
    g.FillRect({r.left + 2, r.top + 2, r.Width() - 4, r.Height() - 4}, ColorRefToArgb(0xFEFEFE, alpha));
    const Font font(Manager::GetFontName(), 12);
    const Argb textColor = ColorRefToArgb(0x050505, alpha);
    if (m_progress <= 0) {
        g.DrawText(m_overlayText, {r.left + 5, r.top + 5, 190, 50}, font, textColor,
                   DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        return;
    }
    g.DrawText(m_overlayText, {r.left + 5, r.top + 5, r.Width() - 10, 30}, font, textColor,
               DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    g.FillRect({r.left + 10, r.bottom - 15, r.Width() - 30, 1}, MakeArgb(0xC8, 0xC8, 0xC8, 0xC8));
    g.FillRect({r.left + 10, r.bottom - 16, m_progress * (r.Width() - 20) / 100, 3}, 0xFEFFE100);
}

// Focus.

void PaintManager::SetFocusControl(MControl* control) {
    if (control == m_focus)
        return;
    MControl* old = m_focus;
    m_focus = control;
    if (old)
        old->SetControlFocus(0);
    if (control && m_focus == control)
        control->SetControlFocus(1);
}

MControl* PaintManager::GetNextFocusableControl() const {
    std::lock_guard guard(m_controlLock);
    auto focusable = [](const MControl* c) { return c->IsVisible() && c->IsEnabled() && c->IsTabStop(); };
    const auto current = std::find(m_controls.begin(), m_controls.end(), m_focus);
    if (m_focus && current == m_controls.end())
        return nullptr; // the focus is inside a panel: Tab does not move it
    const auto start = m_focus ? current + 1 : m_controls.begin();
    for (auto it = start; it != m_controls.end(); ++it)
        if (focusable(*it))
            return *it;
    for (auto it = m_controls.begin(); it != start; ++it)
        if (focusable(*it))
            return *it;
    return nullptr;
}

MControl* PaintManager::GetPrevFocusableControl() const {
    std::lock_guard guard(m_controlLock);
    auto focusable = [](const MControl* c) { return c->IsVisible() && c->IsEnabled() && c->IsTabStop(); };
    const auto current = std::find(m_controls.rbegin(), m_controls.rend(), m_focus);
    if (m_focus && current == m_controls.rend())
        return nullptr;
    const auto start = m_focus ? current + 1 : m_controls.rbegin();
    for (auto it = start; it != m_controls.rend(); ++it)
        if (focusable(*it))
            return *it;
    for (auto it = m_controls.rbegin(); it != start; ++it)
        if (focusable(*it))
            return *it;
    return nullptr;
}

// Control timers.

BOOL PaintManager::SetTimer(MControl* control, UINT userId, UINT ms) {
    if (!control || !IsWindow(m_hwnd))
        return 0;
    std::lock_guard guard(m_timerLock);
    for (TimerEntry& entry : m_timers) {
        if (entry.control != control || entry.userId != userId)
            continue;
        if (!entry.killed)
            return 0;
        if (!::tessel::SetTimer(m_hwnd, entry.systemId, ms, nullptr))
            return 0;
        entry.killed = false;
        return 1;
    }
    // Ids run in turn through 0..239; the manager's own ids and ids still held by an entry are
    // skipped, so a control timer never fires another timer's handler.
    for (UINT tries = 0; tries < kControlTimerIds; ++tries) {
        m_timerCounter = (m_timerCounter + 1) % kControlTimerIds;
        const UINT id = m_timerCounter;
        // 0 cannot be told from a failed start.
        if (id == 0 || id == kMessageTimer || id == kFadeTimer || id == kProgressTimer)
            continue;
        if (std::any_of(m_timers.begin(), m_timers.end(),
                        [id](const TimerEntry& e) { return e.systemId == id; }))
            continue;
        if (!::tessel::SetTimer(m_hwnd, id, ms, nullptr))
            return 0;
        m_timers.push_back({control, userId, id, false});
        return 1;
    }
    return 0;
}

BOOL PaintManager::KillTimer(MControl* control, UINT userId) {
    std::lock_guard guard(m_timerLock);
    for (TimerEntry& entry : m_timers) {
        if (entry.control == control && entry.userId == userId && !entry.killed) {
            ::tessel::KillTimer(m_hwnd, entry.systemId);
            entry.killed = true;
            return 1;
        }
    }
    return 0;
}

BOOL PaintManager::KillTimer(MControl* control) {
    std::lock_guard guard(m_timerLock);
    BOOL any = 0;
    std::erase_if(m_timers, [&](const TimerEntry& entry) {
        if (entry.control != control)
            return false;
        ::tessel::KillTimer(m_hwnd, entry.systemId);
        any = 1;
        return true;
    });
    return any;
}

void PaintManager::ClearTimers() {
    std::lock_guard guard(m_timerLock);
    for (const TimerEntry& entry : m_timers)
        ::tessel::KillTimer(m_hwnd, entry.systemId);
    m_timers.clear();
}

void PaintManager::KillSystemTimer(UINT id) {
    if (m_hwnd)
        ::tessel::KillTimer(m_hwnd, id);
}

// Animation timer: a window timer, so ticks run on the window's thread like all other drawing.

BOOL PaintManager::SetMTimer(UINT ms) {
    if (!IsWindow(m_hwnd) || ms == 0)
        return 0;
    if (!::tessel::SetTimer(m_hwnd, kAnimationTimer, ms, nullptr))
        return 0;
    m_animationTimer = kAnimationTimer;
    return m_animationTimer;
}

BOOL PaintManager::KillMTimer(UINT id) {
    if (id != m_animationTimer || id == 0)
        return 0;
    return KillMTimer();
}

BOOL PaintManager::KillMTimer() {
    if (!m_animationTimer)
        return 0;
    KillSystemTimer(m_animationTimer);
    m_animationTimer = 0;
    return 1;
}

void PaintManager::AddMTimer(MControl* control) {
    std::lock_guard guard(m_animationLock);
    if (control && !Contains(m_animations, control))
        m_animations.push_back(control);
}

void PaintManager::DeleteMTimer(MControl* control) {
    std::lock_guard guard(m_animationLock);
    std::erase(m_animations, control);
}

// Tooltip.

void PaintManager::SetTooltip(const std::u16string& text, const CRect& rect) {
    if (!IsWindow(m_hwnd))
        return;
    m_tooltipText = text;
    if (text.empty()) {
        if (m_tooltip)
            HideTooltip(m_tooltip);
        return;
    }
    if (!m_tooltip || !IsWindow(m_tooltip))
        m_tooltip = CreateTooltipWindow(m_hwnd);
    if (!m_tooltip)
        return;
    POINT topLeft{rect.left, rect.top}, bottomRight{rect.right, rect.bottom};
    ClientToScreen(m_hwnd, &topLeft);
    ClientToScreen(m_hwnd, &bottomRight);
    ShowTooltip(m_tooltip, text, RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y});
}

void PaintManager::ClearTooltip() {
    m_tooltipText.clear();
    if (m_tooltip && IsWindow(m_tooltip))
        HideTooltip(m_tooltip);
    m_tooltipOwner = 0;
}

// Caret.

BOOL PaintManager::CreateCaret(int width, int height) {
    if (!IsWindow(m_hwnd))
        return 0;
    m_caretRect.right = m_caretRect.left + width;
    m_caretRect.bottom = m_caretRect.top + height;
    return 1;
}

BOOL PaintManager::SetCaretPos(MControl* owner, int x, int y) {
    if (!IsWindow(m_hwnd))
        return 0;
    const CRect old = m_caretRect;
    m_caretOwner = owner;
    m_caretRect = {x, y, x + old.Width(), y + old.Height()};
    InvalidateRect(old, 0);
    InvalidateRect(m_caretRect, 0);
    return 1;
}

BOOL PaintManager::ShowCaret(BOOL on) {
    if (!IsWindow(m_hwnd))
        return 0;
    if (on) {
        m_caretEnabled = 1;
        m_caretPhase = 1;
        ::tessel::SetTimer(m_hwnd, kCaretTimer, kCaretBlinkMs, nullptr);
        InvalidateRect(m_caretRect, 0);
        return 1;
    }
    KillSystemTimer(kCaretTimer);
    m_caretEnabled = 0;
    if (m_caretPhase)
        InvalidateRect(m_caretRect, 0);
    m_caretPhase = 0;
    return 1;
}

void PaintManager::DrawCaret(Graphics& g, const CRect& clip) {
    if (!m_caretEnabled)
        return;
    if (!m_caretOwner || !m_caretOwner->IsFocused() || GetFocus() != m_hwnd) {
        KillSystemTimer(kCaretTimer);
        m_caretEnabled = 0;
        m_caretPhase = 0;
        return;
    }
    if (!m_caretPhase)
        return;
    const CRect area = IntersectRects(m_caretRect, clip);
    Argb color = 0xFF000000;
    if (const auto* textOwner = dynamic_cast<const MControlFont*>(m_caretOwner))
        color = textOwner->GetTextColor();
    g.FillRect(ToIntRect(area), (color & 0x00FFFFFF) | 0xFE000000);
}

// Overlay.

void PaintManager::SetMessage(const std::u16string& text, const CRect& rect, MsgLevel level) {
    if (!IsWindow(m_hwnd))
        return;
    KillSystemTimer(kMessageTimer);
    KillSystemTimer(kFadeTimer);
    m_overlayAlpha = 255;
    m_overlayText = text;
    m_overlayLevel = level;
    m_overlayRect = rect;
    m_progress = 0;
    Invalidate();
    ::tessel::SetTimer(m_hwnd, kMessageTimer, 3000, nullptr);
}

void PaintManager::SetProgress(int percent, const std::u16string& text, const CRect& rect) {
    if (!IsWindow(m_hwnd) || percent == m_progressTarget)
        return;
    if (percent < 5)
        KillSystemTimer(kFadeTimer);
    m_overlayAlpha = 255;
    m_overlayText = text;
    m_progressTarget = percent;
    if (rect.IsEmpty()) {
        CRect client;
        GetClientRect(client);
        m_overlayRect = {client.left, client.bottom - 60, client.right, client.bottom - 2};
    } else {
        m_overlayRect = rect;
    }
    if (m_progressTarget - m_progress < 6) {
        m_progress = m_progressTarget;
        if (m_progress > 99)
            StartFade();
    } else {
        ::tessel::SetTimer(m_hwnd, kProgressTimer, 10, nullptr);
    }
    Invalidate();
}

void PaintManager::StartFade() {
    ::tessel::SetTimer(m_hwnd, kFadeTimer, 50, nullptr);
}

void PaintManager::OnOverlayTimer(UINT id) {
    if (id == kMessageTimer) {
        KillSystemTimer(kMessageTimer);
        StartFade();
    } else if (id == kFadeTimer) {
        if (m_overlayAlpha - 10 < 20) {
            m_overlayAlpha = 0;
            m_progress = 0;
            m_progressTarget = 0;
            KillSystemTimer(kFadeTimer);
        } else {
            m_overlayAlpha -= 10;
        }
        Invalidate();
    } else if (id == kProgressTimer) {
        m_progress = std::min(m_progress + 2, m_progressTarget);
        if (m_progress >= m_progressTarget)
            KillSystemTimer(kProgressTimer);
        if (m_progress >= 100)
            StartFade();
        Invalidate();
    }
}

// Shadow.

MShadow* PaintManager::CreateShadow(BOOL show) {
    if (!IsWindow(m_hwnd))
        return nullptr;
    if (!m_shadow) {
        auto shadow = std::make_unique<MShadow>();
        if (!shadow->Create(m_hwnd))
            return nullptr;
        m_shadow = std::move(shadow);
    }
    if (show)
        m_shadow->ShowShadow();
    else
        m_shadow->DisableShadow();
    return m_shadow.get();
}

// Lists.

MControl* PaintManager::AddControl(std::unique_ptr<MControl> control) {
    if (!control)
        return nullptr;
    MControl* raw = control.release(); // owned by m_controls, deleted by RemoveControl / ClearControls
    {
        std::lock_guard guard(m_controlLock);
        m_controls.push_back(raw);
    }
    raw->SetManager(this);
    if (raw->IsVisible())
        InvalidateRect(raw->GetRect(), 0);
    return raw;
}

MControl* PaintManager::AddArea(std::unique_ptr<MControl> area) {
    if (!area)
        return nullptr;
    MControl* raw = area.release(); // owned by m_areas, deleted by ClearAreaControls
    {
        std::lock_guard guard(m_areaLock);
        m_areas.push_back(raw);
    }
    raw->SetManager(this);
    if (raw->IsVisible())
        InvalidateRect(raw->GetRect(), 0);
    return raw;
}

MControl* PaintManager::CreateControl(const std::u16string& className, MObject* parent, UINT id,
                                      const CRect& rect, const char16_t* title, BOOL visible, BOOL enabled) {
    return AddControl(ControlFactory::Create(className, parent, id, rect, title, visible, enabled));
}

MControl* PaintManager::CreateArea(const std::u16string& className, MObject* parent, UINT id,
                                   const CRect& rect, const char16_t* title, BOOL visible, BOOL enabled) {
    return AddArea(ControlFactory::Create(className, parent, id, rect, title, visible, enabled));
}

MControl* PaintManager::GetControl(UINT id) const {
    for (const auto* list : {&m_controls, &m_areas}) {
        for (MControl* control : *list) {
            if (control->GetControlID() == id)
                return control;
            if (MControl* found = control->GetControl(id))
                return found;
        }
    }
    return nullptr;
}

BOOL PaintManager::RemoveControl(MControl* control) {
    {
        std::lock_guard guard(m_controlLock);
        if (!Contains(m_controls, control))
            return 0;
    }
    delete control; // owned by the manager; its destructor takes it off the lists
    return 1;
}

void PaintManager::ClearAreaControls() {
    std::vector<MControl*> areas;
    {
        std::lock_guard guard(m_areaLock);
        areas.swap(m_areas);
    }
    for (MControl* area : areas)
        delete area; // owned by the manager
}

void PaintManager::ClearControls() {
    std::vector<MControl*> controls;
    {
        std::lock_guard guard(m_controlLock);
        controls.swap(m_controls);
    }
    for (MControl* control : controls)
        delete control; // owned by the manager
}

void PaintManager::ClearAllControls() {
    ClearAreaControls();
    ClearControls();
}

} // namespace tessel
