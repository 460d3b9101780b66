#pragma once

#include "base/Clock.h"
#include "toolkit/TesselExport.h"
#include "toolkit/platform/Backend.h"

#include <filesystem>
#include <functional>
#include <mutex>

namespace tessel {

/// The in-memory backend: windows on a virtual screen, time from a manual clock, and input
/// injected by tests (in screen coordinates). Deterministic: nothing happens unless a test makes
/// it happen; a waiting loop wakes for a post, an injected event, or the clock moving.
class TESSEL_EXPORT HeadlessBackend : public Backend {
public:
    HeadlessBackend();

    /// The running headless backend, or null when another one runs.
    static HeadlessBackend* Active();

    /// Moves the clock forward and wakes waiting loops, so due timers and hovers come out.
    void AdvanceClock(uint64_t milliseconds);
    /// Sets the virtual screen and its work area (1920 x 1080, all of it, by default).
    void SetScreen(const RECT& screen, const RECT& workArea);

    enum class Button { Left, Right, Middle };
    void MoveMouse(int x, int y);
    void PressButton(Button button);
    void ReleaseButton(Button button);
    /// Moves to the point, then presses and releases the left button.
    void Click(int x, int y);
    void Wheel(int delta);
    /// Presses or releases a key by its evdev code; character is what it types (0: nothing).
    void Key(uint32_t evdevCode, bool down, char32_t character = 0);
    /// Presses and releases a key.
    void Tap(uint32_t evdevCode, char32_t character = 0);
    /// Hands text to the focus window as an input method would commit it.
    void Compose(const std::u16string& text);
    /// Shows text as an input method's composition in progress (empty: composing ends).
    void Preedit(const std::u16string& text);
    /// The window manager activates a top-level window (as a click on its frame would).
    void ActivateWindow(HWND hwnd);
    /// The user closes a window through the window manager.
    void RequestClose(HWND hwnd);
    /// Answers the next file dialogs; without an answerer they are cancelled.
    void SetFileDialogAnswerer(std::function<bool(const FileDialogRequest&, std::u16string&)> answerer);
    /// Writes the window as shown (children composed) to a PNG file.
    bool SavePng(HWND hwnd, const std::filesystem::path& path);

    int CursorShape() const { return m_cursor; }
    HWND KeyboardGrab() const { return m_grab; }
    /// How many times a window was handed to the window manager for moving.
    int MoveDrags() const { return m_moveDrags; }

    const char* Name() const override { return "headless"; }
    uint64_t NowMs() const override { return m_clock.NowMs(); }
    bool HasManualClock() const override { return true; }
    bool PumpsOnThisThread() const override { return false; }
    void Pump() override {}
    void Wait(int64_t) override {}
    void Wake() override {}
    bool CreateNative(WindowObject& window) override;
    void DestroyNative(WindowObject& window) override;
    void SyncState(WindowObject&) override {}
    void SyncGeometry(WindowObject&) override {}
    void SyncTitle(WindowObject&) override {}
    void SyncOpacity(WindowObject&) override {}
    void Present(WindowObject&, const RECT&) override {}
    void BringToFront(WindowObject&) override {}
    void BeginMoveDrag(WindowObject&, POINT) override { ++m_moveDrags; }
    void CapturePointer(WindowObject*) override {}
    bool GrabKeyboard(WindowObject* window) override;
    void SetInputMethodEnabled(WindowObject&, bool) override {}
    void SetInputMethodCaret(WindowObject&, const RECT&) override {}
    void SetCursorShape(int cursorId) override { m_cursor = cursorId; }
    POINT CursorPos() const override {
        std::lock_guard lock(m_cursorMutex);
        return m_cursorPos;
    }
    RECT WorkArea(const RECT&) const override { return m_workArea; }
    int ScaleFactor(const WindowObject&) const override { return 1; }
    bool SetClipboardText(const std::u16string& text) override;
    std::u16string GetClipboardText() override { return m_clipboard; }
    bool RunFileDialog(const FileDialogRequest& request, std::u16string& result) override;

private:
    WindowObject* TopLevelAt(POINT screen) const;
    void DeliverButton(Button button, bool down);

    base::ManualClock m_clock{1000};

    RECT m_screen{0, 0, 1920, 1080};
    RECT m_workArea{0, 0, 1920, 1080};
    // Written by MoveMouse on the test's thread, read by PostMessageW on any thread.
    mutable std::mutex m_cursorMutex;
    POINT m_cursorPos;
    HWND m_pointerWindow = nullptr;
    int m_cursor = 32512;
    HWND m_grab = nullptr;
    int m_moveDrags = 0;
    std::u16string m_clipboard;
    std::function<bool(const FileDialogRequest&, std::u16string&)> m_answerer;
};

} // namespace tessel
