#pragma once

#include "toolkit/TesselExport.h"
#include "toolkit/platform/Backend.h"
#include "toolkit/platform/Messages.h"
#include "toolkit/platform/Win32Types.h"

#include <memory>
#include <string>

// The window functions of the layer, named and shaped as the toolkit's design expects them. All
// of them run on the thread that created the window unless they say otherwise; a stale or null
// handle makes them do nothing and return false / 0 / null.
//
// Threads: a window is used from the thread that created it. Its state (rectangle, visibility,
// text, styles, children) is not synchronised, so the getters too (GetWindowRect, IsWindowVisible,
// GetWindowTextW, GetParent, ...) belong to that thread even where they do not check it. Other
// threads reach a window only through PostMessageW, SendMessageW and IsWindow. With the GTK
// backend, top-level windows can only be made on the UI thread (CreateWindowExW returns null
// elsewhere).
namespace tessel {

// Classes and windows.

/// Registers a window class; returns nonzero, also when the class already exists.
TESSEL_EXPORT ATOM RegisterClassW(const WNDCLASSW& windowClass);
/// Fills windowClass with a registered class (for superclassing); false when there is none.
TESSEL_EXPORT BOOL GetClassInfoW(const char16_t* className, WNDCLASSW* windowClass);
/// Creates a window: sends WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE and
/// WM_MOVE, then shows it when the style has WS_VISIBLE. For WS_CHILD the parent is required and
/// the position is in its client coordinates; otherwise parent is the owner and the position is
/// on the screen. `menu` is the control id of a child. Returns null when the class is unknown, the
/// parent is missing, or WM_NCCREATE / WM_CREATE refuse.
TESSEL_EXPORT HWND CreateWindowExW(DWORD exStyle, const char16_t* className, const char16_t* title,
                                   DWORD style, int x, int y, int width, int height, HWND parent,
                                   uintptr_t menu, void* param);
/// Destroys owned windows first, then sends WM_DESTROY to the window and its children (parents
/// first) and WM_NCDESTROY (children first). Releases capture, timers and queued messages.
TESSEL_EXPORT BOOL DestroyWindow(HWND hwnd);
TESSEL_EXPORT BOOL IsWindow(HWND hwnd);
TESSEL_EXPORT HWND GetParent(HWND hwnd);
/// The owner of a top-level window (null for children and unowned windows).
TESSEL_EXPORT HWND GetWindowOwner(HWND hwnd);

// Procedures and messages.

TESSEL_EXPORT LRESULT DefWindowProcW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
TESSEL_EXPORT LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
/// Calls the window procedure and returns its result. From another thread, the message is handed
/// to the window's thread and the caller waits for the result (0 when the window goes away).
TESSEL_EXPORT LRESULT SendMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
/// Queues a message for the window's thread and wakes it; safe from any thread. A null hwnd posts
/// to the calling thread's queue.
TESSEL_EXPORT BOOL PostMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
/// Makes the calling thread's next GetMessage return WM_QUIT once the posted messages are handled.
TESSEL_EXPORT void PostQuitMessage(int exitCode);
/// Waits for the next message of the calling thread; returns 0 for WM_QUIT, else nonzero. A
/// filter window or range (both 0: all) limits what is taken.
TESSEL_EXPORT BOOL GetMessageW(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax);
/// Like GetMessageW without waiting; false when nothing is there. PM_REMOVE takes the message.
TESSEL_EXPORT BOOL PeekMessageW(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
/// Posts WM_CHAR (WM_SYSCHAR) for a key-down message that gives a character; true when it did.
TESSEL_EXPORT BOOL TranslateMessage(const MSG* msg);
/// Hands a message to its window procedure (or its timer callback) and returns the result.
TESSEL_EXPORT LRESULT DispatchMessageW(const MSG* msg);
/// Milliseconds of the layer's clock (injected on the headless backend).
TESSEL_EXPORT DWORD GetTickCount();

// Showing, placing and state.

/// Carries out a SW_ command; returns whether the window was visible before.
TESSEL_EXPORT BOOL ShowWindow(HWND hwnd, int command);
TESSEL_EXPORT BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
TESSEL_EXPORT BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int width, int height, UINT flags);
/// The client rectangle (0, 0, width, height).
TESSEL_EXPORT BOOL GetClientRect(HWND hwnd, RECT* rect);
/// The window rectangle in screen coordinates.
TESSEL_EXPORT BOOL GetWindowRect(HWND hwnd, RECT* rect);
TESSEL_EXPORT BOOL ClientToScreen(HWND hwnd, POINT* point);
TESSEL_EXPORT BOOL ScreenToClient(HWND hwnd, POINT* point);
/// Enables or disables input to the window (sends WM_ENABLE); returns nonzero when it was disabled.
TESSEL_EXPORT BOOL EnableWindow(HWND hwnd, BOOL enable);
TESSEL_EXPORT BOOL IsWindowEnabled(HWND hwnd);
/// True when the window and all its parents are visible.
TESSEL_EXPORT BOOL IsWindowVisible(HWND hwnd);
TESSEL_EXPORT BOOL IsIconic(HWND hwnd);
TESSEL_EXPORT BOOL IsZoomed(HWND hwnd);
/// Raises and activates a top-level window.
TESSEL_EXPORT BOOL SetForegroundWindow(HWND hwnd);
TESSEL_EXPORT BOOL BringWindowToTop(HWND hwnd);
/// The work area (screen minus panels) of the monitor nearest the window, or of the primary one.
TESSEL_EXPORT RECT GetWorkArea(HWND nearWindow);

// Text, data and appearance.

TESSEL_EXPORT BOOL SetWindowTextW(HWND hwnd, const std::u16string& text);
TESSEL_EXPORT std::u16string GetWindowTextW(HWND hwnd);
/// The length of the window text, -1 without a window.
TESSEL_EXPORT int GetWindowTextLengthW(HWND hwnd);
/// GWLP_USERDATA, GWL_STYLE, GWL_EXSTYLE, GWLP_ID or GWLP_WNDPROC; returns the old value.
TESSEL_EXPORT LONG_PTR SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value);
TESSEL_EXPORT LONG_PTR GetWindowLongPtrW(HWND hwnd, int index);
TESSEL_EXPORT BOOL SetPropW(HWND hwnd, const std::u16string& name, void* data);
TESSEL_EXPORT void* GetPropW(HWND hwnd, const std::u16string& name);
TESSEL_EXPORT void* RemovePropW(HWND hwnd, const std::u16string& name);
/// A constant alpha (LWA_ALPHA) and / or a colour key (LWA_COLORKEY) for a WS_EX_LAYERED window.
/// Without either, a layered window shows the per-pixel alpha of its surface where a compositor
/// exists.
TESSEL_EXPORT BOOL SetLayeredWindowAttributes(HWND hwnd, COLORREF colorKey, uint8_t alpha, DWORD flags);

// Painting.

/// Adds a client rectangle (null: all) to the window's update region; WM_PAINT follows when the
/// queue is otherwise empty.
TESSEL_EXPORT BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
TESSEL_EXPORT BOOL ValidateRect(HWND hwnd, const RECT* rect);
/// The bounds of the update region; false when it is empty.
TESSEL_EXPORT BOOL GetUpdateRect(HWND hwnd, RECT* rect);
/// Sends WM_PAINT at once when the update region is not empty.
TESSEL_EXPORT BOOL UpdateWindow(HWND hwnd);
/// Empties the update region and hands out the area to paint and the window's surface (see
/// GetWindowSurface); sends WM_ERASEBKGND first when an erase was asked for. Null without window.
TESSEL_EXPORT Surface* BeginPaint(HWND hwnd, PAINTSTRUCT* paint);
/// Shows what was painted since BeginPaint.
TESSEL_EXPORT BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint);
/// The window's surface: its client area in device pixels (client size times GetWindowScale), with
/// that scale set as the Cairo device scale, so Cairo drawing on it uses client coordinates.
/// Owned by the window, valid until it is resized, moved to a screen of another scale, or destroyed.
TESSEL_EXPORT Surface* GetWindowSurface(HWND hwnd);
/// Device pixels per client unit of the window's screen (1, or 2 on a doubled HiDPI screen).
TESSEL_EXPORT int GetWindowScale(HWND hwnd);
/// The window with its visible children composed, as it is shown (colour key applied). The
/// caller owns the result; null without window.
TESSEL_EXPORT std::unique_ptr<Surface> CaptureWindow(HWND hwnd);

// Timers.

/// Starts or restarts a timer: WM_TIMER (wParam id) every `elapse` ms, or the callback when one is
/// given. Without a window, returns a new id for a thread timer. Returns 0 on failure.
TESSEL_EXPORT uintptr_t SetTimer(HWND hwnd, uintptr_t id, UINT elapse, TIMERPROC callback);
TESSEL_EXPORT BOOL KillTimer(HWND hwnd, uintptr_t id);

// Mouse and keyboard.

/// Sends all mouse input of the thread to the window; returns the previous capture window.
TESSEL_EXPORT HWND SetCapture(HWND hwnd);
/// Ends the capture (sends WM_CAPTURECHANGED to the window that had it).
TESSEL_EXPORT BOOL ReleaseCapture();
TESSEL_EXPORT HWND GetCapture();
/// Asks for WM_MOUSELEAVE and / or WM_MOUSEHOVER once; TME_CANCEL stops asking.
TESSEL_EXPORT BOOL TrackMouseEvent(TRACKMOUSEEVENT* track);
/// Shows an IDC_ cursor shape; returns the previous one.
TESSEL_EXPORT int SetCursor(int cursorId);
TESSEL_EXPORT BOOL GetCursorPos(POINT* point);
/// Moves the keyboard focus (WM_KILLFOCUS, then WM_SETFOCUS); returns the previous focus.
TESSEL_EXPORT HWND SetFocus(HWND hwnd);
TESSEL_EXPORT HWND GetFocus();
TESSEL_EXPORT HWND GetActiveWindow();
/// The state of a key as of the last key message taken from the queue: bit 15 down, bit 0 toggled.
TESSEL_EXPORT int16_t GetKeyState(int virtualKey);
/// The state of a key right now: bit 15 down.
TESSEL_EXPORT int16_t GetAsyncKeyState(int virtualKey);
/// Turns the input method on or off for a window (off: keys arrive as plain key messages).
TESSEL_EXPORT void EnableInputMethod(HWND hwnd, BOOL enable);
/// Tells the input method where a window's caret is (client coordinates).
TESSEL_EXPORT void SetInputMethodCaret(HWND hwnd, const RECT& caret);
/// Sends every key of the keyboard to the window, even while other programs are active (null: end
/// the grab). False when the system refuses.
TESSEL_EXPORT BOOL GrabKeyboard(HWND hwnd);

// Clipboard and dialogs.

TESSEL_EXPORT BOOL SetClipboardText(const std::u16string& text);
TESSEL_EXPORT std::u16string GetClipboardText();
/// Shows a modal open-file, save-file or choose-folder dialog; true with the chosen path in result.
TESSEL_EXPORT BOOL ShowFileDialog(const FileDialogRequest& request, std::u16string& result);

} // namespace tessel
