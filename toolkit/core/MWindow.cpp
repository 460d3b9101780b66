#include "toolkit/core/MWindow.h"

#include "toolkit/core/Manager.h"
#include "toolkit/platform/Window.h"

#include <algorithm>

namespace tessel {

namespace {

constexpr const char16_t* kControlProperty = u"Control";

} // namespace

MWindow::~MWindow() {
    Manager::DeleteWnd(this);
    if (m_hwnd && IsWindow(m_hwnd)) {
        // The object is going: the window must not call back into it.
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
        RemovePropW(m_hwnd, kControlProperty);
        ::tessel::DestroyWindow(m_hwnd);
    }
}

BOOL MWindow::ShowWindow(int command) {
    return m_hwnd ? ::tessel::ShowWindow(m_hwnd, command) : 0;
}

LRESULT MWindow::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallPrevious(message, wParam, lParam);
}

BOOL MWindow::PreTranslateMessage(const MSG*) {
    return 0;
}

BOOL MWindow::OnInitDialog() {
    return 1;
}

void MWindow::OnDestroyMessage(HWND) {}

LRESULT MWindow::CallPrevious(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!m_hwnd)
        return 0;
    if (m_previousProc)
        return CallWindowProcW(m_previousProc, m_hwnd, message, wParam, lParam);
    return DefWindowProcW(m_hwnd, message, wParam, lParam);
}

BOOL MWindow::RegisterWindowClass() {
    WNDCLASSW windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = WndProc;
    windowClass.lpszClassName = GetWindowClassName();
    return RegisterClassW(windowClass) != 0;
}

BOOL MWindow::RegisterSuperClass() {
    WNDCLASSW windowClass;
    if (!GetClassInfoW(GetSuperClassName(), &windowClass))
        return 0;
    m_previousProc = windowClass.lpfnWndProc;
    windowClass.lpfnWndProc = ControlProc;
    windowClass.lpszClassName = GetWindowClassName();
    return RegisterClassW(windowClass) != 0;
}

HWND MWindow::Create(HWND parent, const char16_t* title, DWORD style, DWORD exStyle, const RECT& rect,
                     uintptr_t menu) {
    if (m_hwnd && IsWindow(m_hwnd))
        return m_hwnd;
    m_parentHwnd = parent;
    const BOOL registered = GetSuperClassName() ? RegisterSuperClass() : RegisterWindowClass();
    if (!registered)
        return nullptr;
    const HWND hwnd = CreateWindowExW(exStyle, GetWindowClassName(), title, style, rect.left, rect.top,
                                      rect.Width(), rect.Height(), parent, menu, this);
    if (!hwnd) {
        m_hwnd = nullptr;
        return nullptr;
    }
    m_hwnd = hwnd;
    Manager::AddWnd(this);
    OnInitDialog();
    return m_hwnd;
}

HWND MWindow::Create(HWND parent) {
    return Create(parent, RECT{0, 0, 800, 600});
}

HWND MWindow::Create(HWND parent, const RECT& rect) {
    return Create(parent, u"MClient", 0x0000080B, 0, rect);
}

LRESULT MWindow::WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MWindow* window = nullptr;
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        window = create ? static_cast<MWindow*>(create->lpCreateParams) : nullptr;
        if (window) {
            window->m_hwnd = hwnd;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
        }
    } else {
        window = reinterpret_cast<MWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!window)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        const LRESULT result = window->CallPrevious(message, wParam, lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        window->m_hwnd = nullptr;
        Manager::DeleteWnd(window);
        window->OnDestroyMessage(hwnd);
        return result;
    }
    return window->OnWindowMessage(message, wParam, lParam);
}

LRESULT MWindow::ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MWindow* window = nullptr;
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        window = create ? static_cast<MWindow*>(create->lpCreateParams) : nullptr;
        if (window) {
            window->m_hwnd = hwnd;
            SetPropW(hwnd, kControlProperty, window);
        }
    } else {
        window = static_cast<MWindow*>(GetPropW(hwnd, kControlProperty));
    }
    if (!window)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        const LRESULT result = window->CallPrevious(message, wParam, lParam);
        RemovePropW(hwnd, kControlProperty);
        window->m_hwnd = nullptr;
        Manager::DeleteWnd(window);
        window->OnDestroyMessage(hwnd);
        return result;
    }
    return window->OnWindowMessage(message, wParam, lParam);
}

UINT MWindow::ShowModal(int showCommand) {
    const HWND hwnd = m_hwnd;
    if (!hwnd || !IsWindow(hwnd))
        return UINT(-1);
    const HWND owner = GetWindowOwner(hwnd);
    ::tessel::ShowWindow(hwnd, showCommand);
    if (owner)
        ::tessel::EnableWindow(owner, 0);
    UINT result = 0;
    bool quit = false;
    int quitCode = 0;
    MSG msg;
    while (IsWindow(hwnd)) {
        if (!GetMessageW(&msg, nullptr, 0, 0)) {
            quit = true;
            quitCode = int(msg.wParam);
            break;
        }
        if (msg.message == WM_CLOSE && msg.hwnd == hwnd) {
            result = UINT(msg.wParam);
            // The owner takes the activation back before the dialog disappears.
            if (owner) {
                ::tessel::EnableWindow(owner, 1);
                ::tessel::SetFocus(owner);
            }
        }
        if (!PreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (owner && IsWindow(owner)) {
        ::tessel::EnableWindow(owner, 1);
        ::tessel::SetFocus(owner);
    }
    if (quit)
        PostQuitMessage(quitCode); // the outer loop ends too
    return result;
}

BOOL MWindow::DestroyWindow() {
    return m_hwnd ? ::tessel::DestroyWindow(m_hwnd) : 0;
}

void MWindow::CenterWindow(MWindow* relativeTo) {
    if (!m_hwnd)
        return;
    RECT own;
    ::tessel::GetWindowRect(m_hwnd, &own);
    const int width = own.Width(), height = own.Height();
    if (GetStyle() & WS_CHILD) {
        RECT parentClient;
        ::tessel::GetClientRect(::tessel::GetParent(m_hwnd), &parentClient);
        ::tessel::SetWindowPos(m_hwnd, nullptr, (parentClient.Width() - width) / 2,
                               (parentClient.Height() - height) / 2, 0, 0,
                               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    HWND center = relativeTo && relativeTo->m_hwnd ? relativeTo->m_hwnd : GetWindowOwner(m_hwnd);
    const RECT work = GetWorkArea(center ? center : m_hwnd);
    RECT area = work;
    if (center && ::tessel::IsWindowVisible(center) && !::tessel::IsIconic(center))
        ::tessel::GetWindowRect(center, &area);
    int x = area.left + (area.Width() - width) / 2;
    int y = area.top + (area.Height() - height) / 2;
    // Kept inside the work area; the left and top edges win over the right and bottom ones.
    x = std::max<int>(work.left, std::min<int>(x, work.right - width));
    y = std::max<int>(work.top, std::min<int>(y, work.bottom - height));
    ::tessel::SetWindowPos(m_hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MWindow::BringToTop() {
    if (!m_hwnd)
        return;
    SetForegroundWindow(m_hwnd);
    ::tessel::ShowWindow(m_hwnd, ::tessel::IsIconic(m_hwnd) ? SW_RESTORE : SW_SHOW);
}

BOOL MWindow::SetIcon(int) {
    return 0;
}

BOOL MWindow::SetIcon(const std::u16string&) {
    return 0;
}

DWORD MWindow::GetStyle() const {
    return m_hwnd ? DWORD(GetWindowLongPtrW(m_hwnd, GWL_STYLE)) : 0;
}

DWORD MWindow::GetExStyle() const {
    return m_hwnd ? DWORD(GetWindowLongPtrW(m_hwnd, GWL_EXSTYLE)) : 0;
}

BOOL MWindow::ModifyStyleBits(int index, DWORD remove, DWORD add, UINT swpFlags) {
    if (!m_hwnd)
        return 0;
    const DWORD old = DWORD(GetWindowLongPtrW(m_hwnd, index));
    const DWORD wanted = (old & ~remove) | add;
    if (wanted == old)
        return 0;
    SetWindowLongPtrW(m_hwnd, index, LONG_PTR(wanted));
    if (swpFlags)
        ::tessel::SetWindowPos(m_hwnd, nullptr, 0, 0, 0, 0,
                               swpFlags | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 1;
}

BOOL MWindow::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags) {
    return ModifyStyleBits(GWL_STYLE, remove, add, swpFlags);
}

BOOL MWindow::ModifyExStyle(DWORD remove, DWORD add, UINT swpFlags) {
    return ModifyStyleBits(GWL_EXSTYLE, remove, add, swpFlags);
}

void MWindow::ApplyBackTranslucency(int alpha, COLORREF colorKey, COLORREF noKey) {
    if (!m_hwnd)
        return;
    if (alpha != 255) {
        ModifyExStyle(0, WS_EX_LAYERED);
        SetLayeredWindowAttributes(m_hwnd, 0, uint8_t(alpha), LWA_ALPHA);
    } else if (colorKey != noKey) {
        ModifyExStyle(0, WS_EX_LAYERED);
        SetLayeredWindowAttributes(m_hwnd, colorKey, 255, LWA_COLORKEY);
    }
}

BOOL MWindow::GetClientRect(RECT* rect) const {
    return m_hwnd ? ::tessel::GetClientRect(m_hwnd, rect) : 0;
}
BOOL MWindow::GetWindowRect(RECT* rect) const {
    return m_hwnd ? ::tessel::GetWindowRect(m_hwnd, rect) : 0;
}
BOOL MWindow::SetWindowTextW(const std::u16string& text) {
    return m_hwnd ? ::tessel::SetWindowTextW(m_hwnd, text) : 0;
}
BOOL MWindow::GetWindowTextW(std::u16string& text) const {
    if (!m_hwnd)
        return 0;
    text = ::tessel::GetWindowTextW(m_hwnd);
    return 1;
}
int MWindow::GetWindowTextLengthW() const {
    return m_hwnd ? ::tessel::GetWindowTextLengthW(m_hwnd) : -1;
}
BOOL MWindow::EnableWindow(BOOL enable) {
    return m_hwnd ? ::tessel::EnableWindow(m_hwnd, enable) : 0;
}
BOOL MWindow::IsWindowEnabled() const {
    return m_hwnd ? ::tessel::IsWindowEnabled(m_hwnd) : 0;
}
BOOL MWindow::IsWindowVisible() const {
    return m_hwnd ? ::tessel::IsWindowVisible(m_hwnd) : 0;
}
BOOL MWindow::IsIconic() const {
    return m_hwnd ? ::tessel::IsIconic(m_hwnd) : 0;
}
BOOL MWindow::InvalidateRect(const RECT& rect, BOOL erase) {
    return m_hwnd ? ::tessel::InvalidateRect(m_hwnd, &rect, erase) : 0;
}
HWND MWindow::SetCapture() {
    return m_hwnd ? ::tessel::SetCapture(m_hwnd) : nullptr;
}
BOOL MWindow::ReleaseCapture() {
    return m_hwnd ? ::tessel::ReleaseCapture() : 0;
}
HWND MWindow::SetFocus() {
    return m_hwnd ? ::tessel::SetFocus(m_hwnd) : nullptr;
}
uintptr_t MWindow::SetTimer(uintptr_t id, UINT ms, TIMERPROC callback) {
    return m_hwnd ? ::tessel::SetTimer(m_hwnd, id, ms, callback) : 0;
}
BOOL MWindow::KillTimer(uintptr_t id) {
    return m_hwnd ? ::tessel::KillTimer(m_hwnd, id) : 0;
}
BOOL MWindow::ClientToScreen(POINT* point) const {
    return m_hwnd ? ::tessel::ClientToScreen(m_hwnd, point) : 0;
}
BOOL MWindow::ClientToScreen(RECT* rect) const {
    if (!m_hwnd || !rect)
        return 0;
    POINT topLeft{rect->left, rect->top}, bottomRight{rect->right, rect->bottom};
    ::tessel::ClientToScreen(m_hwnd, &topLeft);
    ::tessel::ClientToScreen(m_hwnd, &bottomRight);
    *rect = {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
    return 1;
}
BOOL MWindow::ScreenToClient(POINT* point) const {
    return m_hwnd ? ::tessel::ScreenToClient(m_hwnd, point) : 0;
}
BOOL MWindow::ScreenToClient(RECT* rect) const {
    if (!m_hwnd || !rect)
        return 0;
    POINT topLeft{rect->left, rect->top}, bottomRight{rect->right, rect->bottom};
    ::tessel::ScreenToClient(m_hwnd, &topLeft);
    ::tessel::ScreenToClient(m_hwnd, &bottomRight);
    *rect = {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
    return 1;
}
BOOL MWindow::SetWindowPos(HWND insertAfter, int x, int y, int width, int height, UINT flags) {
    return m_hwnd ? ::tessel::SetWindowPos(m_hwnd, insertAfter, x, y, width, height, flags) : 0;
}
BOOL MWindow::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
    return m_hwnd ? ::tessel::MoveWindow(m_hwnd, x, y, width, height, repaint) : 0;
}
BOOL MWindow::MoveWindow(const RECT* rect, BOOL repaint) {
    return rect ? MoveWindow(rect->left, rect->top, rect->Width(), rect->Height(), repaint) : 0;
}
LRESULT MWindow::SendMessageW(UINT message, WPARAM wParam, LPARAM lParam) {
    return m_hwnd ? ::tessel::SendMessageW(m_hwnd, message, wParam, lParam) : 0;
}
BOOL MWindow::PostMessageW(UINT message, WPARAM wParam, LPARAM lParam) {
    return m_hwnd ? ::tessel::PostMessageW(m_hwnd, message, wParam, lParam) : 0;
}

} // namespace tessel
