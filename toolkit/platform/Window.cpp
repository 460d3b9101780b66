#include "toolkit/platform/Window.h"

#include "base/Log.h"
#include "base/Utf.h"
#include "toolkit/platform/Backend.h"
#include "toolkit/platform/MessageQueue.h"
#include "toolkit/platform/WindowObject.h"

#include <algorithm>
#include <cairo.h>
#include <mutex>
#include <unordered_map>

namespace tessel {

void RegionDeleter::operator()(cairo_region_t* region) const {
    cairo_region_destroy(region);
}

bool WindowObject::IsChild() const {
    return (style & WS_CHILD) != 0;
}

namespace {

// The registry of windows and classes. Lookups come from any thread (PostMessage), so it is
// guarded; objects themselves change only on their own thread.
struct Registry {
    std::mutex mutex;
    std::unordered_map<uintptr_t, std::unique_ptr<WindowObject>> windows;
    /// Top-level windows, front first.
    std::vector<HWND> zOrder;
    std::vector<HWND> creationOrder;
    struct Class : WNDCLASSW {
        Class(const WNDCLASSW& c) : WNDCLASSW(c) {}
        ATOM atom = 0;
    };
    std::map<std::u16string, Class> classes;
    uintptr_t nextHandle = 0x10000;
};

Registry& TheRegistry() {
    static Registry* registry = new Registry; // lives until the process ends, past static destructors
    return *registry;
}

void SendPosChanged(WindowObject* window, UINT flags) {
    WINDOWPOS pos{window->hwnd,          nullptr, window->rect.left, window->rect.top, window->rect.Width(),
                  window->rect.Height(), flags};
    SendMessageW(window->hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
}

void Deactivate(WindowObject* window, HWND next) {
    MessageQueue& queue = *window->queue;
    if (queue.active != window->hwnd) {
        return;
    }
    queue.active = nullptr;
    SendMessageW(window->hwnd, WM_NCACTIVATE, 0, 0);
    SendMessageW(window->hwnd, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(next));
    if (queue.focus && TopLevelOf(FindWindowObject(queue.focus)) == window) {
        HWND old = queue.focus;
        queue.focus = nullptr;
        SendMessageW(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(next), 0);
    }
}

/// Gives activation to the owner (or the front-most other window) when an active window hides.
void ActivateSuccessor(WindowObject* window) {
    if (window->queue->active != window->hwnd) {
        return;
    }
    WindowObject* next = FindWindowObject(window->parent);
    if (!next || !next->visible || !next->enabled) {
        next = nullptr;
        for (HWND hwnd : TopLevelWindowsFrontFirst()) {
            WindowObject* candidate = OwnWindow(hwnd);
            if (candidate && candidate != window && candidate->enabled &&
                !(candidate->exStyle & WS_EX_NOACTIVATE)) {
                next = candidate;
                break;
            }
        }
    }
    Deactivate(window, next ? next->hwnd : nullptr);
    if (next) {
        ActivateWindow(next);
    }
}

void RaiseInZOrder(HWND hwnd) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    std::erase(registry.zOrder, hwnd);
    registry.zOrder.insert(registry.zOrder.begin(), hwnd);
}

} // namespace

WindowObject* FindWindowObject(HWND hwnd) {
    if (!hwnd) {
        return nullptr;
    }
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    auto it = registry.windows.find(reinterpret_cast<uintptr_t>(hwnd));
    return it == registry.windows.end() ? nullptr : it->second.get();
}

WindowObject* OwnWindow(HWND hwnd) {
    WindowObject* window = FindWindowObject(hwnd);
    if (!window || window->queue != MessageQueue::Current()) {
        return nullptr;
    }
    return window;
}

std::shared_ptr<MessageQueue> QueueOf(HWND hwnd) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    auto it = registry.windows.find(reinterpret_cast<uintptr_t>(hwnd));
    return it == registry.windows.end() ? nullptr : it->second->queue;
}

void ActivateWindow(WindowObject* window) {
    window = TopLevelOf(window);
    if (!window || !window->visible || window->queue->active == window->hwnd) {
        return;
    }
    MessageQueue& queue = *window->queue;
    HWND previous = queue.active;
    if (WindowObject* old = FindWindowObject(previous)) {
        Deactivate(old, window->hwnd);
    }
    queue.active = window->hwnd;
    SendMessageW(window->hwnd, WM_NCACTIVATE, 1, 0);
    SendMessageW(window->hwnd, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(previous));
}

WindowObject* TopLevelOf(WindowObject* window) {
    while (window && window->IsChild()) {
        window = FindWindowObject(window->parent);
    }
    return window;
}

POINT ClientOriginOnScreen(const WindowObject& window) {
    POINT origin{window.rect.left, window.rect.top};
    if (window.IsChild()) {
        if (WindowObject* parent = FindWindowObject(window.parent)) {
            POINT parentOrigin = ClientOriginOnScreen(*parent);
            origin.x += parentOrigin.x;
            origin.y += parentOrigin.y;
        }
    }
    return origin;
}

WindowObject* ChildAtPoint(WindowObject& topLevel, POINT& point) {
    WindowObject* current = &topLevel;
    for (bool descended = true; descended;) {
        descended = false;
        for (auto it = current->children.rbegin(); it != current->children.rend(); ++it) {
            WindowObject* child = FindWindowObject(*it);
            if (child && child->visible && child->enabled && child->rect.Contains(point)) {
                point.x -= child->rect.left;
                point.y -= child->rect.top;
                current = child;
                descended = true;
                break;
            }
        }
    }
    return current;
}

std::vector<WindowObject*> WindowsOfQueue(const MessageQueue* queue) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    std::vector<WindowObject*> result;
    for (HWND hwnd : registry.creationOrder) {
        WindowObject* window = registry.windows[reinterpret_cast<uintptr_t>(hwnd)].get();
        if (window->queue.get() == queue) {
            result.push_back(window);
        }
    }
    return result;
}

std::vector<HWND> TopLevelWindowsFrontFirst() {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    std::vector<HWND> result;
    for (HWND hwnd : registry.zOrder) {
        if (registry.windows[reinterpret_cast<uintptr_t>(hwnd)]->visible) {
            result.push_back(hwnd);
        }
    }
    // Topmost windows stay in front of the others.
    std::stable_partition(result.begin(), result.end(), [&](HWND hwnd) {
        return (registry.windows[reinterpret_cast<uintptr_t>(hwnd)]->exStyle & WS_EX_TOPMOST) != 0;
    });
    return result;
}

ATOM RegisterClassW(const WNDCLASSW& windowClass) {
    if (!windowClass.lpszClassName || !*windowClass.lpszClassName) {
        return 0;
    }
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    auto [it, added] = registry.classes.try_emplace(windowClass.lpszClassName, windowClass);
    if (added) {
        // The stored class names itself by its key, which stays put for the life of the map.
        it->second.lpszClassName = it->first.c_str();
        it->second.atom = static_cast<ATOM>(registry.classes.size());
    }
    return it->second.atom;
}

BOOL GetClassInfoW(const char16_t* className, WNDCLASSW* windowClass) {
    if (!className || !windowClass) {
        return 0;
    }
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    auto it = registry.classes.find(className);
    if (it == registry.classes.end()) {
        return 0;
    }
    *windowClass = it->second;
    return 1;
}

HWND CreateWindowExW(DWORD exStyle, const char16_t* className, const char16_t* title, DWORD style, int x,
                     int y, int width, int height, HWND parent, uintptr_t menu, void* param) {
    CurrentBackend(); // starts the layer, and with it the edit and tooltip classes, on first use
    WNDCLASSW windowClass;
    if (!GetClassInfoW(className, &windowClass)) {
        base::LogWarning("window", "CreateWindowExW: unknown window class \"" +
                                       base::ToUtf8(className ? className : u"") + "\"");
        return nullptr;
    }
    if ((style & WS_CHILD) && !OwnWindow(parent)) {
        return nullptr;
    }
    if (parent && !FindWindowObject(parent)) {
        return nullptr;
    }
    auto object = std::make_unique<WindowObject>();
    WindowObject* window = object.get();
    window->queue = MessageQueue::Current();
    window->proc = windowClass.lpfnWndProc;
    window->classStyle = windowClass.style;
    window->classCursor = windowClass.hCursor;
    window->className = className;
    window->text = title ? title : u"";
    window->style = style & ~(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
    window->exStyle = exStyle;
    window->parent = parent;
    window->id = (style & WS_CHILD) ? menu : 0;
    window->enabled = !(style & WS_DISABLED);
    window->rect = RECT{x, y, x + std::max(0, width), y + std::max(0, height)};
    window->restoreRect = window->rect;
    {
        Registry& registry = TheRegistry();
        std::lock_guard lock(registry.mutex);
        window->hwnd = reinterpret_cast<HWND>(registry.nextHandle);
        registry.nextHandle += 4;
        registry.windows.emplace(reinterpret_cast<uintptr_t>(window->hwnd), std::move(object));
        registry.creationOrder.push_back(window->hwnd);
        if (!(style & WS_CHILD)) {
            registry.zOrder.insert(registry.zOrder.begin(), window->hwnd);
        }
    }
    HWND hwnd = window->hwnd;
    if (WindowObject* parentObject = FindWindowObject(parent); parentObject && window->IsChild()) {
        parentObject->children.push_back(hwnd);
    }

    CREATESTRUCTW create;
    create.lpCreateParams = param;
    create.hMenu = menu;
    create.hwndParent = parent;
    create.x = x;
    create.y = y;
    create.cx = width;
    create.cy = height;
    create.style = style;
    create.lpszName = window->text.c_str();
    create.lpszClass = window->className.c_str();
    create.dwExStyle = exStyle;

    if (!window->IsChild()) {
        MINMAXINFO minMax{};
        RECT work = GetWorkArea(nullptr);
        minMax.ptMaxSize = POINT{work.Width(), work.Height()};
        minMax.ptMaxPosition = POINT{work.left, work.top};
        minMax.ptMaxTrackSize = minMax.ptMaxSize;
        SendMessageW(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&minMax));
    }
    if (!IsWindow(hwnd) || !SendMessageW(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create))) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    RECT calc = window->rect;
    SendMessageW(hwnd, WM_NCCALCSIZE, 0, reinterpret_cast<LPARAM>(&calc));
    if (!window->IsChild() && !CurrentBackend().CreateNative(*window)) {
        base::LogWarning("window", "CreateWindowExW: the native window could not be made");
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (SendMessageW(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (!IsWindow(hwnd)) {
        return nullptr;
    }
    SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(window->rect.Width(), window->rect.Height()));
    SendMessageW(hwnd, WM_MOVE, 0, MAKELPARAM(window->rect.left, window->rect.top));
    if (IsWindow(hwnd) && (style & WS_VISIBLE)) {
        ShowWindow(hwnd, (style & WS_MAXIMIZE)   ? SW_SHOWMAXIMIZED
                         : (style & WS_MINIMIZE) ? SW_SHOWMINIMIZED
                                                 : SW_SHOW);
    }
    return IsWindow(hwnd) ? hwnd : nullptr;
}

namespace {

void SendDestroyMessages(WindowObject* window) {
    // WM_DESTROY goes to a parent before its children, WM_NCDESTROY to children before their parent.
    SendMessageW(window->hwnd, WM_DESTROY, 0, 0);
    std::vector<HWND> children = window->children;
    for (HWND child : children) {
        if (WindowObject* object = FindWindowObject(child)) {
            object->destroying = true;
            SendDestroyMessages(object);
        }
    }
    SendMessageW(window->hwnd, WM_NCDESTROY, 0, 0);
}

void DestroyTree(WindowObject* window) {
    std::vector<HWND> children = window->children;
    for (HWND child : children) {
        if (WindowObject* object = FindWindowObject(child)) {
            DestroyTree(object);
        }
    }
    MessageQueue& queue = *window->queue;
    if (queue.capture == window->hwnd) {
        queue.capture = nullptr;
        CurrentBackend().CapturePointer(nullptr);
    }
    queue.ForgetWindow(window->hwnd);
    if (window->native) {
        CurrentBackend().DestroyNative(*window);
    }
    if (WindowObject* parent = FindWindowObject(window->parent); parent && window->IsChild()) {
        std::erase(parent->children, window->hwnd);
    }
    Registry& registry = TheRegistry();
    std::unique_ptr<WindowObject> doomed;
    {
        std::lock_guard lock(registry.mutex);
        auto it = registry.windows.find(reinterpret_cast<uintptr_t>(window->hwnd));
        doomed = std::move(it->second);
        registry.windows.erase(it);
        std::erase(registry.zOrder, window->hwnd);
        std::erase(registry.creationOrder, window->hwnd);
    }
}

} // namespace

BOOL DestroyWindow(HWND hwnd) {
    WindowObject* window = OwnWindow(hwnd);
    if (!window) {
        return 0;
    }
    if (window->destroying) {
        return 1;
    }
    window->destroying = true;

    // Owned windows go first, completely. Destroying one can destroy others (its own owned windows,
    // or whatever a WM_DESTROY handler chooses), so they are held by handle and looked up each time.
    std::vector<HWND> owned;
    for (WindowObject* other : WindowsOfQueue(window->queue.get())) {
        if (!other->IsChild() && other->parent == hwnd) {
            owned.push_back(other->hwnd);
        }
    }
    for (HWND ownedHwnd : owned) {
        if (WindowObject* other = OwnWindow(ownedHwnd); other && !other->destroying) {
            DestroyWindow(ownedHwnd);
        }
    }
    if (window->visible) {
        ShowWindow(hwnd, SW_HIDE);
    }
    MessageQueue& queue = *window->queue;
    if (queue.capture) {
        WindowObject* captured = FindWindowObject(queue.capture);
        for (WindowObject* w = captured; w; w = w->IsChild() ? FindWindowObject(w->parent) : nullptr) {
            if (w == window) {
                ReleaseCapture();
                break;
            }
        }
    }
    if (queue.focus) {
        for (WindowObject* w = FindWindowObject(queue.focus); w;
             w = w->IsChild() ? FindWindowObject(w->parent) : nullptr) {
            if (w == window) {
                HWND old = queue.focus;
                queue.focus = nullptr;
                SendMessageW(old, WM_KILLFOCUS, 0, 0);
                break;
            }
        }
    }
    SendDestroyMessages(window);
    if (WindowObject* stillThere = FindWindowObject(hwnd)) {
        WindowObject* parent = stillThere->IsChild() ? FindWindowObject(stillThere->parent) : nullptr;
        RECT area = stillThere->rect;
        DestroyTree(stillThere);
        if (parent) {
            InvalidateRect(parent->hwnd, &area, 0);
        }
    }
    return 1;
}

BOOL IsWindow(HWND hwnd) {
    return FindWindowObject(hwnd) != nullptr;
}

HWND GetParent(HWND hwnd) {
    WindowObject* window = FindWindowObject(hwnd);
    return window && window->IsChild() ? window->parent : nullptr;
}

HWND GetWindowOwner(HWND hwnd) {
    WindowObject* window = FindWindowObject(hwnd);
    return window && !window->IsChild() ? window->parent : nullptr;
}

BOOL ShowWindow(HWND hwnd, int command) {
    WindowObject* window = OwnWindow(hwnd);
    if (!window) {
        return 0;
    }
    BOOL wasVisible = window->visible;
    bool activate = !window->IsChild() && !(window->exStyle & WS_EX_NOACTIVATE);
    auto setVisible = [&](bool visible) {
        if (window->visible == visible) {
            return;
        }
        SendMessageW(hwnd, WM_SHOWWINDOW, visible, 0);
        WINDOWPOS pos{
            hwnd,
            nullptr,
            window->rect.left,
            window->rect.top,
            window->rect.Width(),
            window->rect.Height(),
            static_cast<UINT>(SWP_NOMOVE | SWP_NOSIZE | (visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW))};
        SendMessageW(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
        window->visible = visible;
        if (!window->IsChild()) {
            CurrentBackend().SyncState(*window);
        }
        SendPosChanged(window, pos.flags);
        if (visible) {
            InvalidateRect(hwnd, nullptr, 1);
        } else if (WindowObject* parent = window->IsChild() ? FindWindowObject(window->parent) : nullptr) {
            InvalidateRect(parent->hwnd, &window->rect, 1);
        }
    };
    auto resize = [&](const RECT& rect, WPARAM kind) {
        window->rect = rect;
        if (!window->IsChild()) {
            CurrentBackend().SyncGeometry(*window);
            CurrentBackend().SyncState(*window);
        }
        SendMessageW(hwnd, WM_SIZE, kind,
                     kind == SIZE_MINIMIZED ? 0 : MAKELPARAM(window->rect.Width(), window->rect.Height()));
        InvalidateRect(hwnd, nullptr, 1);
    };
    switch (command) {
    case SW_HIDE:
        if (window->visible) {
            setVisible(false);
            ActivateSuccessor(window);
        }
        break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
        setVisible(true);
        if (!window->minimized) {
            window->minimized = true;
            ActivateSuccessor(window);
            resize(window->rect, SIZE_MINIMIZED);
        }
        break;
    case SW_MAXIMIZE:
        setVisible(true);
        if (!window->maximized || window->minimized) {
            if (!window->maximized) {
                window->restoreRect = window->rect;
            }
            window->minimized = false;
            window->maximized = true;
            resize(window->IsChild() ? window->rect : GetWorkArea(hwnd), SIZE_MAXIMIZED);
        }
        if (activate) {
            ActivateWindow(window);
        }
        break;
    case SW_RESTORE:
    case SW_SHOWNORMAL:
    case SW_SHOWDEFAULT:
        setVisible(true);
        if (window->minimized) {
            // A minimised window comes back in the state it had, maximised or not.
            window->minimized = false;
            resize(window->rect, window->maximized ? SIZE_MAXIMIZED : SIZE_RESTORED);
        } else if (window->maximized) {
            window->maximized = false;
            resize(window->restoreRect, SIZE_RESTORED);
        }
        if (activate) {
            ActivateWindow(window);
        }
        break;
    case SW_SHOWNA:
    case SW_SHOWNOACTIVATE:
        setVisible(true);
        break;
    case SW_SHOW:
    default:
        setVisible(true);
        if (activate && !window->minimized) {
            ActivateWindow(window);
        }
        break;
    }
    if (IsWindow(hwnd) && activate && window->visible && window->queue->active == hwnd &&
        !window->queue->focus) {
        SetFocus(hwnd);
    }
    return wasVisible;
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
    WindowObject* window = OwnWindow(hwnd);
    if (!window) {
        return 0;
    }
    WINDOWPOS pos{hwnd, insertAfter, x, y, width, height, flags};
    if (flags & SWP_NOMOVE) {
        pos.x = window->rect.left;
        pos.y = window->rect.top;
    }
    if (flags & SWP_NOSIZE) {
        pos.cx = window->rect.Width();
        pos.cy = window->rect.Height();
    }
    SendMessageW(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    if (!IsWindow(hwnd)) {
        return 0;
    }
    RECT old = window->rect;
    window->rect = RECT{pos.x, pos.y, pos.x + std::max(0, pos.cx), pos.y + std::max(0, pos.cy)};
    bool moved = old.left != window->rect.left || old.top != window->rect.top;
    bool sized = old.Width() != window->rect.Width() || old.Height() != window->rect.Height();
    if (!(flags & SWP_NOZORDER) && !window->IsChild()) {
        if (insertAfter == HWND_TOPMOST) {
            window->exStyle |= WS_EX_TOPMOST;
        } else if (insertAfter == HWND_NOTOPMOST) {
            window->exStyle &= ~WS_EX_TOPMOST;
        }
        RaiseInZOrder(hwnd);
        CurrentBackend().BringToFront(*window);
    }
    if (!window->IsChild() && (moved || sized)) {
        CurrentBackend().SyncGeometry(*window);
    }
    SendPosChanged(window, pos.flags);
    if (moved) {
        SendMessageW(hwnd, WM_MOVE, 0, MAKELPARAM(window->rect.left, window->rect.top));
    }
    if (sized) {
        SendMessageW(hwnd, WM_SIZE, window->maximized ? SIZE_MAXIMIZED : SIZE_RESTORED,
                     MAKELPARAM(window->rect.Width(), window->rect.Height()));
    }
    if (!IsWindow(hwnd)) {
        return 1;
    }
    if (window->IsChild() && (moved || sized)) {
        InvalidateRect(window->parent, &old, 1);
    }
    if (sized && !(flags & SWP_NOREDRAW)) {
        InvalidateRect(hwnd, nullptr, 1);
    }
    if (flags & SWP_SHOWWINDOW) {
        ShowWindow(hwnd, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    } else if (flags & SWP_HIDEWINDOW) {
        ShowWindow(hwnd, SW_HIDE);
    }
    return 1;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
    return SetWindowPos(hwnd, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0u : static_cast<UINT>(SWP_NOREDRAW)));
}

BOOL GetClientRect(HWND hwnd, RECT* rect) {
    WindowObject* window = FindWindowObject(hwnd);
    if (!window || !rect) {
        return 0;
    }
    *rect = window->ClientRect();
    return 1;
}

BOOL GetWindowRect(HWND hwnd, RECT* rect) {
    WindowObject* window = FindWindowObject(hwnd);
    if (!window || !rect) {
        return 0;
    }
    POINT origin = ClientOriginOnScreen(*window);
    *rect = RECT{origin.x, origin.y, origin.x + window->rect.Width(), origin.y + window->rect.Height()};
    return 1;
}

BOOL ClientToScreen(HWND hwnd, POINT* point) {
    WindowObject* window = FindWindowObject(hwnd);
    if (!window || !point) {
        return 0;
    }
    POINT origin = ClientOriginOnScreen(*window);
    point->x += origin.x;
    point->y += origin.y;
    return 1;
}

BOOL ScreenToClient(HWND hwnd, POINT* point) {
    WindowObject* window = FindWindowObject(hwnd);
    if (!window || !point) {
        return 0;
    }
    POINT origin = ClientOriginOnScreen(*window);
    point->x -= origin.x;
    point->y -= origin.y;
    return 1;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
    WindowObject* window = OwnWindow(hwnd);
    if (!window) {
        return 0;
    }
    BOOL wasDisabled = !window->enabled;
    if (window->enabled == (enable != 0)) {
        return wasDisabled;
    }
    window->enabled = enable != 0;
    if (!enable) {
        MessageQueue& queue = *window->queue;
        if (queue.capture == hwnd) {
            ReleaseCapture();
        }
        if (queue.focus == hwnd) {
            SetFocus(nullptr);
        }
    }
    SendMessageW(hwnd, WM_ENABLE, enable != 0, 0);
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd) {
    WindowObject* window = FindWindowObject(hwnd);
    return window && window->enabled;
}

BOOL IsWindowVisible(HWND hwnd) {
    WindowObject* window = FindWindowObject(hwnd);
    while (window) {
        if (!window->visible) {
            return 0;
        }
        if (!window->IsChild()) {
            return 1;
        }
        window = FindWindowObject(window->parent);
    }
    return 0;
}

BOOL IsIconic(HWND hwnd) {
    WindowObject* window = FindWindowObject(hwnd);
    return window && window->minimized;
}

BOOL IsZoomed(HWND hwnd) {
    WindowObject* window = FindWindowObject(hwnd);
    return window && window->maximized;
}

BOOL BringWindowToTop(HWND hwnd) {
    WindowObject* window = TopLevelOf(OwnWindow(hwnd));
    if (!window) {
        return 0;
    }
    RaiseInZOrder(window->hwnd);
    CurrentBackend().BringToFront(*window);
    ActivateWindow(window);
    return 1;
}

BOOL SetForegroundWindow(HWND hwnd) {
    return BringWindowToTop(hwnd);
}

RECT GetWorkArea(HWND nearWindow) {
    RECT near{};
    GetWindowRect(nearWindow, &near);
    return CurrentBackend().WorkArea(near);
}

BOOL SetWindowTextW(HWND hwnd, const std::u16string& text) {
    WindowObject* window = OwnWindow(hwnd);
    if (!window) {
        return 0;
    }
    // Windows with their own text handling (the edit window) take it through WM_SETTEXT.
    return SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())) != 0;
}

std::u16string GetWindowTextW(HWND hwnd) {
    if (!FindWindowObject(hwnd)) {
        return {};
    }
    int length = static_cast<int>(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0));
    std::u16string text(static_cast<size_t>(std::max(0, length)) + 1, u'\0');
    LRESULT copied = SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(std::clamp<LRESULT>(copied, 0, length)));
    return text;
}

int GetWindowTextLengthW(HWND hwnd) {
    if (!FindWindowObject(hwnd)) {
        return -1;
    }
    return static_cast<int>(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

LONG_PTR SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value) {
    WindowObject* window = OwnWindow(hwnd);
    if (!window) {
        return 0;
    }
    LONG_PTR old = 0;
    switch (index) {
    case GWLP_USERDATA:
        old = window->userData;
        window->userData = value;
        break;
    case GWLP_ID:
        old = static_cast<LONG_PTR>(window->id);
        window->id = static_cast<uintptr_t>(value);
        break;
    case GWLP_WNDPROC:
        old = reinterpret_cast<LONG_PTR>(window->proc);
        window->proc = reinterpret_cast<WNDPROC>(value);
        break;
    case GWL_STYLE: {
        old = static_cast<LONG_PTR>(window->style | (window->visible ? WS_VISIBLE : 0));
        DWORD style = static_cast<DWORD>(value);
        window->style = (style & ~(WS_VISIBLE | WS_CHILD)) | (window->style & WS_CHILD);
        window->enabled = !(style & WS_DISABLED);
        break;
    }
    case GWL_EXSTYLE:
        old = static_cast<LONG_PTR>(window->exStyle);
        window->exStyle = static_cast<DWORD>(value);
        if (!window->IsChild()) {
            CurrentBackend().SyncOpacity(*window);
        }
        break;
    default:
        return 0;
    }
    return old;
}

LONG_PTR GetWindowLongPtrW(HWND hwnd, int index) {
    WindowObject* window = FindWindowObject(hwnd);
    if (!window) {
        return 0;
    }
    switch (index) {
    case GWLP_USERDATA:
        return window->userData;
    case GWLP_ID:
        return static_cast<LONG_PTR>(window->id);
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(window->proc);
    case GWL_STYLE:
        return static_cast<LONG_PTR>(
            window->style | (window->visible ? WS_VISIBLE : 0) | (window->enabled ? 0 : WS_DISABLED) |
            (window->minimized ? WS_MINIMIZE : 0) | (window->maximized ? WS_MAXIMIZE : 0));
    case GWL_EXSTYLE:
        return static_cast<LONG_PTR>(window->exStyle);
    default:
        return 0;
    }
}

BOOL SetPropW(HWND hwnd, const std::u16string& name, void* data) {
    WindowObject* window = OwnWindow(hwnd);
    if (!window || name.empty()) {
        return 0;
    }
    window->properties[name] = data;
    return 1;
}

void* GetPropW(HWND hwnd, const std::u16string& name) {
    WindowObject* window = FindWindowObject(hwnd);
    if (!window) {
        return nullptr;
    }
    auto it = window->properties.find(name);
    return it == window->properties.end() ? nullptr : it->second;
}

void* RemovePropW(HWND hwnd, const std::u16string& name) {
    WindowObject* window = OwnWindow(hwnd);
    if (!window) {
        return nullptr;
    }
    auto it = window->properties.find(name);
    if (it == window->properties.end()) {
        return nullptr;
    }
    void* data = it->second;
    window->properties.erase(it);
    return data;
}

BOOL SetLayeredWindowAttributes(HWND hwnd, COLORREF colorKey, uint8_t alpha, DWORD flags) {
    WindowObject* window = OwnWindow(hwnd);
    if (!window || !(window->exStyle & WS_EX_LAYERED)) {
        return 0;
    }
    window->colorKey = colorKey;
    window->alpha = alpha;
    window->layeredFlags = flags & (LWA_ALPHA | LWA_COLORKEY);
    if (!window->IsChild()) {
        CurrentBackend().SyncOpacity(*window);
        CurrentBackend().Present(*window, window->ClientRect());
    }
    return 1;
}

} // namespace tessel
