#include "toolkit/core/MPopupWnd.h"

#include "toolkit/platform/Window.h"

namespace tessel {

MPopupWnd::MPopupWnd() = default;

MPopupWnd::~MPopupWnd() {
    if (m_hwnd && IsWindow(m_hwnd)) {
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
        ::tessel::DestroyWindow(m_hwnd);
        m_hwnd = nullptr;
    }
}

LRESULT MPopupWnd::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        OnCreate(reinterpret_cast<const CREATESTRUCTW*>(lParam));
        break;
    case WM_SIZE:
        OnSize(UINT(wParam), LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_CLOSE:
        OnClose();
        break;
    case WM_NCACTIVATE:
        OnNcActivate(BOOL(wParam));
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_USER + 66:
        return OnUserCloseWindow(wParam, lParam);
    default:
        break;
    }
    if (const LRESULT handled = m_pm.OnWindowMessage(message, wParam, lParam))
        return handled;
    return CallPrevious(message, wParam, lParam);
}

BOOL MPopupWnd::PreTranslateMessage(const MSG* msg) {
    return m_pm.PreTranslateMessage(msg);
}

BOOL MPopupWnd::OnInitDialog() {
    m_pm.Init(m_hwnd, this);
    CRect client;
    GetClientRect(&client);
    InitUI(client);
    return 1;
}

void MPopupWnd::OnDestroyMessage(HWND hwnd) {
    if (hwnd == m_pm.GetPaintWnd())
        m_pm.OnDestroyMessage(hwnd);
    PostNcDestroy();
}

LRESULT MPopupWnd::OnBaseMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) {
    return OnMessage(id, code, wParam, lParam);
}

LRESULT MPopupWnd::OnControlUpdate(const CRect& rect, BOOL redraw, MControl* control) {
    return m_pm.OnControlUpdate(rect, redraw, control);
}

void MPopupWnd::InitUI(const CRect&) {}
void MPopupWnd::UISize(const CRect&) {}

LRESULT MPopupWnd::OnMessage(UINT, UINT, WPARAM, LPARAM) {
    return 0;
}

LRESULT MPopupWnd::OnUserCloseWindow(WPARAM wParam, LPARAM lParam) {
    PostMessageW(WM_CLOSE, wParam, lParam);
    return 1;
}

void MPopupWnd::CloseWindow() {
    PostMessageW(WM_CLOSE, 0, 0);
}

LRESULT MPopupWnd::OnCreate(const CREATESTRUCTW*) {
    ModifyStyle(WS_CAPTION | WS_THICKFRAME, WS_CLIPSIBLINGS | WS_CLIPCHILDREN | 0x8);
    if (m_hwnd)
        SetWindowLongPtrW(m_hwnd, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
    return 0;
}

LRESULT MPopupWnd::OnSize(UINT, int, int) {
    if (!IsIconic())
        SetupBackTranslucent();
    CRect client;
    GetClientRect(&client);
    if (client.Width() > 1 && client.Height() > 1)
        UISize(client);
    InvalidateRect(client, 0);
    return 0;
}

LRESULT MPopupWnd::OnNcActivate(BOOL active) {
    if (!active)
        PostMessageW(WM_CLOSE, 0, 0);
    return 0;
}

LRESULT MPopupWnd::OnClose() {
    return 1;
}

LRESULT MPopupWnd::PostNcDestroy() {
    return 0;
}

LRESULT MPopupWnd::SendMessageToParent(UINT code, WPARAM wParam, LPARAM lParam) {
    return m_owner ? m_owner->OnBaseMessage(0, code, wParam, lParam) : 0;
}

MControl* MPopupWnd::CreateControl(const std::u16string& className, UINT id, const CRect& rect,
                                   const char16_t* title, BOOL visible, BOOL enabled) {
    return m_pm.CreateControl(className, this, id, rect, title, visible, enabled);
}

MControl* MPopupWnd::CreateArea(const std::u16string& className, UINT id, const CRect& rect,
                                const char16_t* title, BOOL visible, BOOL enabled) {
    return m_pm.CreateArea(className, this, id, rect, title, visible, enabled);
}

void MPopupWnd::SetupBackTranslucent() {
    ApplyBackTranslucency(m_alpha, m_colorKey, 0xF1F1F1);
}

} // namespace tessel
