#pragma once

#include "toolkit/platform/Win32Types.h"
#include "toolkit/platform/draw/Surface.h"

#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

typedef struct _cairo_region cairo_region_t;
typedef struct _cairo cairo_t;

namespace tessel {

class MessageQueue;

/// Owns a cairo region.
struct RegionDeleter {
    void operator()(cairo_region_t* region) const;
};
using RegionPtr = std::unique_ptr<cairo_region_t, RegionDeleter>;

/// The state behind one window handle. Created and changed on the window's own thread only; other
/// threads look up nothing but the queue (to post to it).
struct WindowObject {
    HWND hwnd = nullptr;
    std::shared_ptr<MessageQueue> queue;

    WNDPROC proc = nullptr;
    UINT classStyle = 0;
    int classCursor = 0;
    std::u16string className;
    std::u16string text;
    DWORD style = 0;
    DWORD exStyle = 0;
    uintptr_t id = 0;
    /// The parent for child windows, the owner for top-level ones.
    HWND parent = nullptr;
    /// Child windows, bottom first.
    std::vector<HWND> children;

    /// Screen coordinates for top-level windows, the parent's client coordinates for children.
    RECT rect;
    RECT restoreRect;
    bool visible = false;
    bool enabled = true;
    bool minimized = false;
    bool maximized = false;
    bool destroying = false;

    LONG_PTR userData = 0;
    std::map<std::u16string, void*> properties;

    RegionPtr update;
    bool eraseOnPaint = false;
    std::unique_ptr<Surface> surface;

    uint8_t alpha = 255;
    COLORREF colorKey = 0;
    DWORD layeredFlags = 0;
    /// Key events pass through the input method only for windows that take text (edit windows).
    bool inputMethodEnabled = false;

    /// The backend's own data for a top-level window (owned by the backend).
    void* native = nullptr;

    bool IsChild() const;
    RECT ClientRect() const { return RECT{0, 0, rect.Width(), rect.Height()}; }
};

/// Looks a handle up; null for a stale or foreign handle. The object stays valid until the window
/// is destroyed, which happens only on its own thread.
WindowObject* FindWindowObject(HWND hwnd);

/// Looks up a window of the calling thread; null for a stale handle or another thread's window.
WindowObject* OwnWindow(HWND hwnd);

/// The queue of a window's thread, or null for a stale handle; safe from any thread.
std::shared_ptr<MessageQueue> QueueOf(HWND hwnd);

/// Makes a window's top-level window the active one (WM_NCACTIVATE, WM_ACTIVATE), deactivating
/// the previous one.
void ActivateWindow(WindowObject* window);

/// The top-level window a window belongs to (itself for a top-level one).
WindowObject* TopLevelOf(WindowObject* window);

/// The window's client origin in screen coordinates.
POINT ClientOriginOnScreen(const WindowObject& window);

/// The deepest visible, enabled child of a top-level window under a point given in its client
/// coordinates; the window itself when no child is there. The point is changed to the result's
/// client coordinates.
WindowObject* ChildAtPoint(WindowObject& topLevel, POINT& point);

/// Paints a window and its visible children, in z order, onto a Cairo context whose origin is the
/// window's client origin.
void PaintWindowTree(cairo_t* cr, WindowObject& window);

/// Windows whose messages go to the queue, in creation order.
std::vector<WindowObject*> WindowsOfQueue(const MessageQueue* queue);

/// Visible top-level windows of all threads, front first.
std::vector<HWND> TopLevelWindowsFrontFirst();

} // namespace tessel
