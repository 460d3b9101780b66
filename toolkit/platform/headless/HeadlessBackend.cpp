#include "toolkit/platform/headless/HeadlessBackend.h"

#include "toolkit/platform/Input.h"
#include "toolkit/platform/MessageQueue.h"
#include "toolkit/platform/Window.h"
#include "toolkit/platform/WindowObject.h"

namespace tessel {

HeadlessBackend::HeadlessBackend() = default;

HeadlessBackend* HeadlessBackend::Active() {
    return dynamic_cast<HeadlessBackend*>(&CurrentBackend());
}

void HeadlessBackend::AdvanceClock(uint64_t milliseconds) {
    m_clock.Advance(milliseconds);
    // Timers and hovers may now be due on any thread.
    MessageQueue::WakeAll();
}

void HeadlessBackend::SetScreen(const RECT& screen, const RECT& workArea) {
    m_screen = screen;
    m_workArea = workArea;
}

bool HeadlessBackend::CreateNative(WindowObject& window) {
    window.native = this;
    return true;
}

void HeadlessBackend::DestroyNative(WindowObject& window) {
    if (m_pointerWindow == window.hwnd) {
        m_pointerWindow = nullptr;
    }
    if (m_grab == window.hwnd) {
        m_grab = nullptr;
    }
    window.native = nullptr;
}

WindowObject* HeadlessBackend::TopLevelAt(POINT screen) const {
    for (HWND hwnd : TopLevelWindowsFrontFirst()) {
        WindowObject* window = FindWindowObject(hwnd);
        if (window && !window->minimized && window->rect.Contains(screen) &&
            !(window->exStyle & WS_EX_TRANSPARENT)) {
            return window;
        }
    }
    return nullptr;
}

void HeadlessBackend::MoveMouse(int x, int y) {
    {
        std::lock_guard lock(m_cursorMutex);
        m_cursorPos = POINT{x, y};
    }
    WindowObject* captured = TopLevelOf(FindWindowObject(GetCapture()));
    WindowObject* under = TopLevelAt(m_cursorPos);
    if (m_pointerWindow && (!under || under->hwnd != m_pointerWindow)) {
        if (WindowObject* left = FindWindowObject(m_pointerWindow)) {
            DeliverMouse(*left, MouseAction::Leave, POINT{});
        }
    }
    m_pointerWindow = under ? under->hwnd : nullptr;
    WindowObject* target = captured ? captured : under;
    if (target) {
        DeliverMouse(*target, MouseAction::Move, POINT{x - target->rect.left, y - target->rect.top});
    }
}

void HeadlessBackend::DeliverButton(Button button, bool down) {
    WindowObject* target = TopLevelOf(FindWindowObject(GetCapture()));
    if (!target) {
        target = TopLevelAt(m_cursorPos);
    }
    if (!target) {
        return;
    }
    static constexpr MouseAction kActions[3][2] = {{MouseAction::LeftUp, MouseAction::LeftDown},
                                                   {MouseAction::RightUp, MouseAction::RightDown},
                                                   {MouseAction::MiddleUp, MouseAction::MiddleDown}};
    DeliverMouse(*target, kActions[static_cast<int>(button)][down ? 1 : 0],
                 POINT{m_cursorPos.x - target->rect.left, m_cursorPos.y - target->rect.top});
}

void HeadlessBackend::PressButton(Button button) {
    DeliverButton(button, true);
}

void HeadlessBackend::ReleaseButton(Button button) {
    DeliverButton(button, false);
}

void HeadlessBackend::Click(int x, int y) {
    MoveMouse(x, y);
    PressButton(Button::Left);
    ReleaseButton(Button::Left);
}

void HeadlessBackend::Wheel(int delta) {
    if (WindowObject* target = TopLevelAt(m_cursorPos)) {
        DeliverMouse(*target, MouseAction::Wheel,
                     POINT{m_cursorPos.x - target->rect.left, m_cursorPos.y - target->rect.top}, delta);
    }
}

void HeadlessBackend::Key(uint32_t evdevCode, bool down, char32_t character) {
    WindowObject* target = FindWindowObject(m_grab);
    if (!target) {
        target = FindWindowObject(GetActiveWindow());
    }
    if (target) {
        DeliverKey(*target, down, KeyFromEvdev(evdevCode), character);
    }
}

void HeadlessBackend::Tap(uint32_t evdevCode, char32_t character) {
    Key(evdevCode, true, character);
    Key(evdevCode, false, 0);
}

void HeadlessBackend::Compose(const std::u16string& text) {
    WindowObject* active = FindWindowObject(GetActiveWindow());
    WindowObject* focus = FindWindowObject(GetFocus());
    if (active && (!focus || focus->inputMethodEnabled)) {
        DeliverText(*active, text);
    }
}

void HeadlessBackend::Preedit(const std::u16string& text) {
    if (WindowObject* active = FindWindowObject(GetActiveWindow())) {
        DeliverComposition(*active, text);
    }
}

void HeadlessBackend::ActivateWindow(HWND hwnd) {
    if (WindowObject* window = TopLevelOf(FindWindowObject(hwnd))) {
        DeliverActivation(*window, true);
    }
}

void HeadlessBackend::RequestClose(HWND hwnd) {
    if (WindowObject* window = TopLevelOf(FindWindowObject(hwnd))) {
        DeliverClose(*window);
    }
}

void HeadlessBackend::SetFileDialogAnswerer(
    std::function<bool(const FileDialogRequest&, std::u16string&)> answerer) {
    m_answerer = std::move(answerer);
}

bool HeadlessBackend::SavePng(HWND hwnd, const std::filesystem::path& path) {
    std::unique_ptr<Surface> picture = CaptureWindow(hwnd);
    return picture && picture->SavePng(path);
}

bool HeadlessBackend::GrabKeyboard(WindowObject* window) {
    m_grab = window ? window->hwnd : nullptr;
    return true;
}

bool HeadlessBackend::SetClipboardText(const std::u16string& text) {
    m_clipboard = text;
    return true;
}

bool HeadlessBackend::RunFileDialog(const FileDialogRequest& request, std::u16string& result) {
    // The owner is disabled while the dialog runs, as with a real one.
    bool ownerWasEnabled = request.owner && IsWindowEnabled(request.owner);
    if (ownerWasEnabled) {
        EnableWindow(request.owner, 0);
    }
    bool chosen = m_answerer && m_answerer(request, result);
    if (ownerWasEnabled) {
        EnableWindow(request.owner, 1);
    }
    return chosen;
}

} // namespace tessel
