#include "toolkit/core/MDialog.h"

#include "toolkit/platform/Window.h"

namespace tessel {

namespace {

CPoint PointOf(LPARAM lParam) {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

} // namespace

MDialog::MDialog() = default;

MDialog::~MDialog() {
    // The window goes before the paint manager, so no message reaches a half-destroyed dialog.
    if (m_hwnd && IsWindow(m_hwnd)) {
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
        ::tessel::DestroyWindow(m_hwnd);
        m_hwnd = nullptr;
    }
}

LRESULT MDialog::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        OnCreate(reinterpret_cast<const CREATESTRUCTW*>(lParam));
        break;
    case WM_DESTROY:
        OnDestroy();
        break;
    case WM_SIZE:
        OnSize(UINT(wParam), LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_PAINT:
        OnPaint();
        break;
    case WM_CLOSE:
        OnClose();
        break;
    case WM_WINDOWPOSCHANGING:
        OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam));
        break;
    case WM_WINDOWPOSCHANGED:
        OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(lParam));
        break;
    case WM_NCACTIVATE:
        OnNcActivate(BOOL(wParam));
        break;
    case WM_TIMER:
        OnTimer(UINT(wParam));
        break;
    case WM_MOUSEMOVE:
        OnMouseMove(UINT(wParam), PointOf(lParam));
        break;
    case WM_MOUSEWHEEL:
        OnMouseWheel(LOWORD(wParam), GET_WHEEL_DELTA_WPARAM(wParam), PointOf(lParam));
        break;
    case WM_LBUTTONDOWN:
        OnLButtonDown(UINT(wParam), PointOf(lParam));
        break;
    case WM_LBUTTONUP:
        OnLButtonUp(UINT(wParam), PointOf(lParam));
        break;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(UINT(wParam), PointOf(lParam));
        break;
    case WM_RBUTTONDOWN:
        OnRButtonDown(UINT(wParam), PointOf(lParam));
        break;
    case WM_RBUTTONUP:
        OnRButtonUp(UINT(wParam), PointOf(lParam));
        break;
    case WM_RBUTTONDBLCLK:
        OnRButtonDblClk(UINT(wParam), PointOf(lParam));
        break;
    case WM_KEYDOWN:
        OnKeyDown(UINT(wParam), LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_MOUSEHOVER:
        OnMouseHover(UINT(wParam), PointOf(lParam));
        break;
    case WM_MOUSELEAVE:
        OnMouseLeave();
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_MDIALOG_END:
        return OnUserCloseWindow(wParam, lParam);
    default:
        break;
    }
    if (const LRESULT handled = m_pm.OnWindowMessage(message, wParam, lParam))
        return handled;
    return CallPrevious(message, wParam, lParam);
}

BOOL MDialog::PreTranslateMessage(const MSG* msg) {
    return m_pm.PreTranslateMessage(msg);
}

BOOL MDialog::OnInitDialog() {
    m_pm.Init(m_hwnd, this);
    GetClientRect(&m_clientRect);
    InitUI(m_clientRect);
    return 1;
}

void MDialog::OnDestroyMessage(HWND hwnd) {
    if (hwnd == m_pm.GetPaintWnd())
        m_pm.OnDestroyMessage(hwnd);
    PostNcDestroy();
}

LRESULT MDialog::OnBaseMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) {
    return OnMessage(id, code, wParam, lParam);
}

LRESULT MDialog::OnControlUpdate(const CRect& rect, BOOL redraw, MControl* control) {
    return m_pm.OnControlUpdate(rect, redraw, control);
}

POINT MDialog::GetAirBladderPoint(MControl* control, int type) {
    if (!control)
        return {0, 0};
    const CRect& r = control->GetRect();
    POINT point{type == 0 ? r.left : type == 1 ? r.left + r.Width() / 2 : r.right, r.bottom};
    ClientToScreen(&point);
    return point;
}

void MDialog::OnMinimize() {
    ShowWindow(SW_MINIMIZE);
}

void MDialog::OnMaximize() {
    ShowWindow(m_hwnd && IsZoomed(m_hwnd) ? SW_RESTORE : SW_MAXIMIZE);
}

void MDialog::InitUI(const CRect&) {}
void MDialog::UISize(const CRect&) {}

LRESULT MDialog::OnMessage(UINT, UINT, WPARAM, LPARAM) {
    return 0;
}

LRESULT MDialog::OnUserCloseWindow(WPARAM wParam, LPARAM lParam) {
    PostMessageW(WM_CLOSE, wParam, lParam);
    return 1;
}

LRESULT MDialog::OnCreate(const CREATESTRUCTW*) {
    ModifyStyle(WS_CAPTION | WS_THICKFRAME, WS_CLIPSIBLINGS | WS_CLIPCHILDREN | 0x8);
    return 0;
}

LRESULT MDialog::OnSize(UINT, int, int) {
    if (!IsIconic())
        SetupBackTranslucent();
    GetClientRect(&m_clientRect);
    if (m_clientRect.Width() > 1 && m_clientRect.Height() > 1)
        UISize(m_clientRect);
    InvalidateRect(m_clientRect, 0);
    return 0;
}

void MDialog::SetupBackTranslucent() {
    ApplyBackTranslucency(m_alpha, m_colorKey, 0xFFFFFF);
}

LRESULT MDialog::OnMouseMove(UINT, CPoint) {
    return 0;
}
LRESULT MDialog::OnMouseLeave() {
    return 0;
}
LRESULT MDialog::OnMouseHover(UINT, CPoint) {
    return 0;
}
LRESULT MDialog::OnMouseWheel(UINT, int, CPoint) {
    return 0;
}
LRESULT MDialog::OnLButtonDown(UINT, CPoint) {
    return 0;
}
LRESULT MDialog::OnLButtonUp(UINT, CPoint) {
    return 0;
}
LRESULT MDialog::OnLButtonDblClk(UINT, CPoint) {
    return 0;
}
LRESULT MDialog::OnRButtonDown(UINT, CPoint) {
    return 0;
}
LRESULT MDialog::OnRButtonUp(UINT, CPoint) {
    return 0;
}
LRESULT MDialog::OnRButtonDblClk(UINT, CPoint) {
    return 0;
}
LRESULT MDialog::OnKeyDown(UINT, UINT, UINT) {
    return 0;
}
LRESULT MDialog::OnNcHitTest(CPoint) {
    return 0;
}
LRESULT MDialog::OnGetMinMaxInfo(MINMAXINFO*) {
    return 0;
}
LRESULT MDialog::OnNcCalcSize(WPARAM, LPARAM) {
    return 0;
}
LRESULT MDialog::OnNcActivate(BOOL) {
    return 0;
}
LRESULT MDialog::OnWindowPosChanging(WINDOWPOS*) {
    return 1;
}
LRESULT MDialog::OnWindowPosChanged(WINDOWPOS*) {
    return 1;
}
LRESULT MDialog::OnPaint() {
    return 0;
}
void MDialog::OnTimer(UINT) {}
LRESULT MDialog::OnNcPaint() {
    return 0;
}
LRESULT MDialog::OnClose() {
    return 1;
}
LRESULT MDialog::OnDestroy() {
    return 0;
}
LRESULT MDialog::PostNcDestroy() {
    return 0;
}

MControl* MDialog::CreateControl(const std::u16string& className, UINT id, const CRect& rect,
                                 const char16_t* title, BOOL visible, BOOL enabled) {
    return m_pm.CreateControl(className, this, id, rect, title, visible, enabled);
}

MControl* MDialog::CreateArea(const std::u16string& className, UINT id, const CRect& rect,
                              const char16_t* title, BOOL visible, BOOL enabled) {
    return m_pm.CreateArea(className, this, id, rect, title, visible, enabled);
}

void MDialog::SetMessage(const std::u16string& text, const CRect& rect, MsgLevel level) {
    CRect box = rect;
    if (box.IsEmpty()) {
        CRect client;
        GetClientRect(&client);
        const int left = client.left + (client.Width() - 200) / 2;
        box = {left, client.bottom - 60 + m_messageOffset, left + 200, client.bottom - 2 + m_messageOffset};
    }
    m_pm.SetMessage(text, box, level);
}

} // namespace tessel
