#pragma once

#include "toolkit/TesselExport.h"
#include "toolkit/platform/Win32Types.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tessel {

struct WindowObject;

/// One filter of an open-file dialog: a name shown to the user and patterns such as "*.xml".
struct FileFilter {
    std::u16string name;
    std::vector<std::u16string> patterns;
};

/// What an open-file or choose-folder dialog asks.
struct FileDialogRequest {
    enum class Kind { OpenFile, SaveFile, ChooseFolder };
    Kind kind = Kind::OpenFile;
    HWND owner = nullptr;
    std::u16string title;
    std::u16string initialFolder;
    std::u16string initialName;
    std::vector<FileFilter> filters;
};

/// The part of the windowing layer that differs between GTK and the in-memory screen: native
/// top-level windows, the event source, the clock, and blocking until something happens. The
/// message queue, window tree, focus, capture, timers and painting are shared and live above it.
/// Every call except Wake(), NowMs() and CursorPos() happens on the UI thread.
class TESSEL_EXPORT Backend {
public:
    virtual ~Backend() = default;

    /// "gtk" or "headless".
    virtual const char* Name() const = 0;
    /// Milliseconds of the clock that drives timers, double clicks and hover.
    virtual uint64_t NowMs() const = 0;
    /// True when that clock moves only when told to (then waiting for it needs no timeout).
    virtual bool HasManualClock() const { return false; }

    /// True on the thread whose loop handles the backend's native events (the GTK thread). Other
    /// threads, and every thread of the headless backend, wait on their queue alone.
    virtual bool PumpsOnThisThread() const = 0;
    /// Handles native events that are already waiting, without blocking (pumping thread only).
    virtual void Pump() = 0;
    /// Blocks until Wake() is called, a native event arrives, or timeoutMs passes (-1: no limit);
    /// pumping thread only.
    virtual void Wait(int64_t timeoutMs) = 0;
    /// Ends a Wait() in progress or the next one; safe from any thread.
    virtual void Wake() = 0;

    /// Makes the native side of a top-level window; false when it cannot (GTK: off the UI thread).
    virtual bool CreateNative(WindowObject& window) = 0;
    virtual void DestroyNative(WindowObject& window) = 0;
    /// Brings the native window in line with the object's visibility, minimised and maximised state.
    virtual void SyncState(WindowObject& window) = 0;
    /// Brings the native window in line with the object's rectangle.
    virtual void SyncGeometry(WindowObject& window) = 0;
    virtual void SyncTitle(WindowObject& window) = 0;
    /// Brings the native window in line with the object's alpha, colour key and layered style.
    virtual void SyncOpacity(WindowObject& window) = 0;
    /// Shows freshly painted pixels of a top-level window (client coordinates).
    virtual void Present(WindowObject& window, const RECT& area) = 0;
    virtual void BringToFront(WindowObject& window) = 0;
    /// Lets the window manager move the window, following the pointer from a press at screenPoint.
    virtual void BeginMoveDrag(WindowObject& window, POINT screenPoint) = 0;
    /// Sends pointer events from anywhere on the screen to the window while the layer's mouse
    /// capture is set (null: ends it).
    virtual void CapturePointer(WindowObject* window) = 0;
    /// Takes all keyboard input for the window (null: gives it back); false when refused.
    virtual bool GrabKeyboard(WindowObject* window) = 0;
    /// Tells the input method where the caret of the window is (client coordinates), so its
    /// candidate list opens beside it.
    virtual void SetInputMethodCaret(WindowObject& window, const RECT& caret) = 0;
    /// Turns the input method on or off for key events of the window.
    virtual void SetInputMethodEnabled(WindowObject& window, bool enabled) = 0;

    /// Shows one of the IDC_ cursor shapes over our windows.
    virtual void SetCursorShape(int cursorId) = 0;
    /// Any thread (PostMessageW stamps each message with it); off the UI thread it may be the
    /// position of the last pointer event rather than a fresh query.
    virtual POINT CursorPos() const = 0;
    /// The work area of the monitor nearest the rectangle (screen coordinates).
    virtual RECT WorkArea(const RECT& near) const = 0;
    /// Device pixels per layout pixel of the window's monitor.
    virtual int ScaleFactor(const WindowObject& window) const = 0;

    virtual bool SetClipboardText(const std::u16string& text) = 0;
    virtual std::u16string GetClipboardText() = 0;
    /// Runs a modal file dialog; fills result with the chosen path and returns true, or false when
    /// the user cancelled.
    virtual bool RunFileDialog(const FileDialogRequest& request, std::u16string& result) = 0;
};

/// Which backend InitPlatform starts.
enum class BackendKind { Automatic, Gtk, Headless };

/// Starts the windowing layer once per process: headless when asked for, or when the environment
/// variable TESSEL_BACKEND is "headless"; GTK otherwise (falling back to headless, with a log
/// line, when no display can be opened). The first start decides: a later call returns false when
/// it asks for another kind than the one running.
TESSEL_EXPORT bool InitPlatform(BackendKind kind = BackendKind::Automatic);

/// The running backend; starts the automatic one on first use.
TESSEL_EXPORT Backend& CurrentBackend();

} // namespace tessel
