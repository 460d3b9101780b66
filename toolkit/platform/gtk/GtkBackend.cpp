#include "toolkit/platform/gtk/GtkBackend.h"

#include "base/Clock.h"
#include "base/Log.h"
#include "base/Utf.h"
#include "toolkit/platform/Input.h"
#include "toolkit/platform/Messages.h"
#include "toolkit/platform/Window.h"
#include "toolkit/platform/WindowObject.h"

#include <atomic>
#include <exception>
#include <gtk/gtk.h>
#include <thread>

namespace tessel {

namespace {

/// What the GTK backend keeps for one top-level window.
struct NativeWindow {
    GtkWidget* widget = nullptr;
    GtkIMContext* inputMethod = nullptr;
    HWND hwnd = nullptr;
    bool rgba = false;
};

NativeWindow* NativeOf(WindowObject& window) {
    return static_cast<NativeWindow*>(window.native);
}

/// Runs a signal handler body; exceptions never cross into GTK.
template <typename Body>
auto Guarded(const char* what, Body body) -> decltype(body()) {
    try {
        return body();
    } catch (const std::exception& e) {
        base::LogError("gtk", std::string(what) + ": " + e.what());
    } catch (...) {
        base::LogError("gtk", std::string(what) + ": unknown exception");
    }
    return decltype(body())();
}

// The pointer position as of the last pointer event, so that stamping each message with the cursor
// position costs no round trip to the display server. Written on the UI thread; read from any
// thread (PostMessageW), hence one atomic word: x in the high half, y in the low, 0 until known.
std::atomic<uint64_t> g_pointer{0};
constexpr uint64_t kPointerKnown = 1ull << 63;

void NotePointer(double rootX, double rootY) {
    auto x = static_cast<uint32_t>(static_cast<int32_t>(rootX)) & 0x7FFFFFFF;
    auto y = static_cast<uint32_t>(static_cast<int32_t>(rootY));
    g_pointer.store(kPointerKnown | (uint64_t{x} << 32) | y, std::memory_order_relaxed);
}

/// The last noted position; false when no pointer event came yet.
bool NotedPointer(POINT& point) {
    uint64_t packed = g_pointer.load(std::memory_order_relaxed);
    if (!(packed & kPointerKnown)) {
        return false;
    }
    // Bit 30 of x is its sign; shifting it up to bit 31 and back restores negative coordinates.
    point.x = static_cast<int32_t>(static_cast<uint32_t>(packed >> 32) << 1) >> 1;
    point.y = static_cast<int32_t>(static_cast<uint32_t>(packed));
    return true;
}

WindowObject* ObjectOf(gpointer data) {
    return FindWindowObject(static_cast<NativeWindow*>(data)->hwnd);
}

gboolean OnDraw(GtkWidget*, cairo_t* cr, gpointer data) {
    return Guarded("draw", [&]() -> gboolean {
        WindowObject* window = ObjectOf(data);
        if (!window) {
            return TRUE;
        }
        if (static_cast<NativeWindow*>(data)->rgba) {
            // Per-pixel alpha: the window shows exactly the surface, transparent parts included.
            cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
            cairo_set_source_rgba(cr, 0, 0, 0, 0);
            cairo_paint(cr);
            cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
        }
        if ((window->layeredFlags & LWA_COLORKEY) && static_cast<NativeWindow*>(data)->rgba) {
            // Keyed pixels become transparent where a compositor shows transparency.
            if (std::unique_ptr<Surface> keyed = CaptureWindow(window->hwnd)) {
                cairo_set_source_surface(cr, keyed->CairoSurface(), 0, 0);
                cairo_paint(cr);
                return TRUE;
            }
        }
        PaintWindowTree(cr, *window);
        return TRUE;
    });
}

gboolean OnButton(GtkWidget*, GdkEventButton* event, gpointer data) {
    return Guarded("button", [&]() -> gboolean {
        WindowObject* window = ObjectOf(data);
        if (!window || (event->type != GDK_BUTTON_PRESS && event->type != GDK_BUTTON_RELEASE)) {
            return TRUE; // GDK's own double clicks are ignored; the layer makes its own
        }
        bool down = event->type == GDK_BUTTON_PRESS;
        MouseAction action;
        switch (event->button) {
        case 1:
            action = down ? MouseAction::LeftDown : MouseAction::LeftUp;
            break;
        case 2:
            action = down ? MouseAction::MiddleDown : MouseAction::MiddleUp;
            break;
        case 3:
            action = down ? MouseAction::RightDown : MouseAction::RightUp;
            break;
        default:
            return TRUE;
        }
        NotePointer(event->x_root, event->y_root);
        DeliverMouse(*window, action, POINT{static_cast<int>(event->x), static_cast<int>(event->y)});
        return TRUE;
    });
}

gboolean OnMotion(GtkWidget*, GdkEventMotion* event, gpointer data) {
    return Guarded("motion", [&]() -> gboolean {
        NotePointer(event->x_root, event->y_root);
        if (WindowObject* window = ObjectOf(data)) {
            DeliverMouse(*window, MouseAction::Move,
                         POINT{static_cast<int>(event->x), static_cast<int>(event->y)});
        }
        return TRUE;
    });
}

gboolean OnScroll(GtkWidget*, GdkEventScroll* event, gpointer data) {
    return Guarded("scroll", [&]() -> gboolean {
        WindowObject* window = ObjectOf(data);
        if (!window) {
            return TRUE;
        }
        int delta = 0;
        if (event->direction == GDK_SCROLL_UP) {
            delta = WHEEL_DELTA;
        } else if (event->direction == GDK_SCROLL_DOWN) {
            delta = -WHEEL_DELTA;
        } else if (event->direction == GDK_SCROLL_SMOOTH) {
            delta = static_cast<int>(-event->delta_y * WHEEL_DELTA);
        }
        if (delta != 0) {
            DeliverMouse(*window, MouseAction::Wheel,
                         POINT{static_cast<int>(event->x), static_cast<int>(event->y)}, delta);
        }
        return TRUE;
    });
}

gboolean OnLeave(GtkWidget*, GdkEventCrossing* event, gpointer data) {
    return Guarded("leave", [&]() -> gboolean {
        WindowObject* window = ObjectOf(data);
        if (window && event->mode == GDK_CROSSING_NORMAL) {
            DeliverMouse(*window, MouseAction::Leave, POINT{});
        }
        return FALSE;
    });
}

gboolean OnKey(GtkWidget*, GdkEventKey* event, gpointer data) {
    return Guarded("key", [&]() -> gboolean {
        auto* native = static_cast<NativeWindow*>(data);
        WindowObject* window = ObjectOf(data);
        if (!window) {
            return TRUE;
        }
        WindowObject* focus = FindWindowObject(GetFocus());
        if (focus && focus->inputMethodEnabled && TopLevelOf(focus) == window &&
            gtk_im_context_filter_keypress(native->inputMethod, event)) {
            return TRUE;
        }
        bool down = event->type == GDK_KEY_PRESS;
        char32_t character = gdk_keyval_to_unicode(event->keyval);
        DeliverKey(*window, down,
                   KeyFromEvdev(event->hardware_keycode >= 8 ? event->hardware_keycode - 8u : 0u), character);
        return TRUE;
    });
}

void OnCommit(GtkIMContext*, const gchar* text, gpointer data) {
    Guarded("commit", [&]() -> int {
        if (WindowObject* window = ObjectOf(data)) {
            DeliverText(*window, base::ToUtf16(text));
        }
        return 0;
    });
}

void OnPreeditChanged(GtkIMContext* context, gpointer data) {
    Guarded("preedit", [&]() -> int {
        if (WindowObject* window = ObjectOf(data)) {
            gchar* text = nullptr;
            gtk_im_context_get_preedit_string(context, &text, nullptr, nullptr);
            DeliverComposition(*window, base::ToUtf16(text ? text : ""));
            g_free(text);
        }
        return 0;
    });
}

gboolean OnFocus(GtkWidget*, GdkEventFocus* event, gpointer data) {
    return Guarded("focus", [&]() -> gboolean {
        auto* native = static_cast<NativeWindow*>(data);
        if (WindowObject* window = ObjectOf(data)) {
            if (event->in) {
                gtk_im_context_focus_in(native->inputMethod);
            } else {
                gtk_im_context_focus_out(native->inputMethod);
            }
            DeliverActivation(*window, event->in != 0);
        }
        return FALSE;
    });
}

gboolean OnConfigure(GtkWidget* widget, GdkEventConfigure* event, gpointer data) {
    return Guarded("configure", [&]() -> gboolean {
        if (WindowObject* window = ObjectOf(data)) {
            int x = event->x;
            int y = event->y;
            gtk_window_get_position(GTK_WINDOW(widget), &x, &y);
            DeliverGeometry(*window, RECT{x, y, x + event->width, y + event->height});
        }
        return FALSE;
    });
}

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
    return Guarded("delete", [&]() -> gboolean {
        if (WindowObject* window = ObjectOf(data)) {
            DeliverClose(*window);
        }
        return TRUE;
    });
}

gboolean OnWindowState(GtkWidget*, GdkEventWindowState* event, gpointer data) {
    return Guarded("window-state", [&]() -> gboolean {
        WindowObject* window = ObjectOf(data);
        if (!window) {
            return FALSE;
        }
        // The user minimised, maximised or restored the window through the window manager.
        bool minimized = event->new_window_state & GDK_WINDOW_STATE_ICONIFIED;
        bool maximized = event->new_window_state & GDK_WINDOW_STATE_MAXIMIZED;
        if (minimized != window->minimized || maximized != window->maximized) {
            window->minimized = minimized;
            window->maximized = maximized;
            WPARAM kind = minimized ? SIZE_MINIMIZED : maximized ? SIZE_MAXIMIZED : SIZE_RESTORED;
            SendMessageW(window->hwnd, WM_SIZE, kind,
                         minimized ? 0 : MAKELPARAM(window->rect.Width(), window->rect.Height()));
            InvalidateRect(window->hwnd, nullptr, 0);
        }
        return FALSE;
    });
}

void OnScaleChanged(GObject*, GParamSpec*, gpointer data) {
    Guarded("scale", [&]() -> int {
        // A new scale needs a new surface: repaint everything at the new resolution.
        if (WindowObject* window = ObjectOf(data)) {
            InvalidateRect(window->hwnd, nullptr, 0);
            for (HWND child : window->children) {
                InvalidateRect(child, nullptr, 0);
            }
        }
        return 0;
    });
}

gboolean OnWakeTimeout(gpointer) {
    return G_SOURCE_REMOVE;
}

class GtkBackend : public Backend {
public:
    const char* Name() const override { return "gtk"; }
    uint64_t NowMs() const override { return base::Clock::System().NowMs(); }

    bool PumpsOnThisThread() const override { return std::this_thread::get_id() == m_thread; }

    void Pump() override {
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
    }

    void Wait(int64_t timeoutMs) override {
        guint source = 0;
        if (timeoutMs >= 0) {
            source = g_timeout_add(static_cast<guint>(timeoutMs), OnWakeTimeout, nullptr);
        }
        g_main_context_iteration(nullptr, TRUE);
        if (source) {
            if (GSource* pending = g_main_context_find_source_by_id(nullptr, source)) {
                g_source_destroy(pending);
            }
        }
    }

    void Wake() override { g_main_context_wakeup(nullptr); }

    bool CreateNative(WindowObject& window) override {
        if (!PumpsOnThisThread()) {
            // GTK is not thread-safe: its windows live on the thread that runs its loop.
            base::LogWarning("gtk", "a top-level window can only be made on the UI thread");
            return false;
        }
        // Small undecorated helpers (tooltips, drop-downs) are override-redirect popups: the window
        // manager neither places nor focuses them.
        bool popup = (window.style & WS_POPUP) && (window.exStyle & WS_EX_TOOLWINDOW) &&
                     (window.exStyle & WS_EX_NOACTIVATE);
        auto* native = new NativeWindow;
        native->hwnd = window.hwnd;
        GtkWidget* widget = gtk_window_new(popup ? GTK_WINDOW_POPUP : GTK_WINDOW_TOPLEVEL);
        native->widget = widget;
        g_object_ref_sink(widget);
        GtkWindow* gtkWindow = GTK_WINDOW(widget);
        gtk_window_set_decorated(gtkWindow, (window.style & WS_CAPTION) == WS_CAPTION);
        gtk_window_set_title(gtkWindow, base::ToUtf8(window.text).c_str());
        gtk_widget_set_app_paintable(widget, TRUE);
        if (window.exStyle & WS_EX_TOOLWINDOW) {
            gtk_window_set_type_hint(gtkWindow, GDK_WINDOW_TYPE_HINT_UTILITY);
            gtk_window_set_skip_taskbar_hint(gtkWindow, TRUE);
        }
        if (WindowObject* owner = FindWindowObject(window.parent); owner && owner->native) {
            gtk_window_set_transient_for(gtkWindow, GTK_WINDOW(NativeOf(*owner)->widget));
        }
        gtk_widget_add_events(widget, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                          GDK_POINTER_MOTION_MASK | GDK_SCROLL_MASK | GDK_SMOOTH_SCROLL_MASK |
                                          GDK_LEAVE_NOTIFY_MASK | GDK_ENTER_NOTIFY_MASK | GDK_KEY_PRESS_MASK |
                                          GDK_KEY_RELEASE_MASK | GDK_FOCUS_CHANGE_MASK | GDK_STRUCTURE_MASK);
        g_signal_connect(widget, "draw", G_CALLBACK(OnDraw), native);
        g_signal_connect(widget, "button-press-event", G_CALLBACK(OnButton), native);
        g_signal_connect(widget, "button-release-event", G_CALLBACK(OnButton), native);
        g_signal_connect(widget, "motion-notify-event", G_CALLBACK(OnMotion), native);
        g_signal_connect(widget, "scroll-event", G_CALLBACK(OnScroll), native);
        g_signal_connect(widget, "leave-notify-event", G_CALLBACK(OnLeave), native);
        g_signal_connect(widget, "key-press-event", G_CALLBACK(OnKey), native);
        g_signal_connect(widget, "key-release-event", G_CALLBACK(OnKey), native);
        g_signal_connect(widget, "focus-in-event", G_CALLBACK(OnFocus), native);
        g_signal_connect(widget, "focus-out-event", G_CALLBACK(OnFocus), native);
        g_signal_connect(widget, "configure-event", G_CALLBACK(OnConfigure), native);
        g_signal_connect(widget, "delete-event", G_CALLBACK(OnDelete), native);
        g_signal_connect(widget, "window-state-event", G_CALLBACK(OnWindowState), native);
        g_signal_connect(widget, "notify::scale-factor", G_CALLBACK(OnScaleChanged), native);
        native->inputMethod = gtk_im_multicontext_new();
        g_signal_connect(native->inputMethod, "commit", G_CALLBACK(OnCommit), native);
        g_signal_connect(native->inputMethod, "preedit-changed", G_CALLBACK(OnPreeditChanged), native);
        window.native = native;
        SyncGeometry(window);
        SyncOpacity(window); // before realizing, so a layered window gets its RGBA visual at once
        gtk_widget_realize(widget);
        gtk_im_context_set_client_window(native->inputMethod, gtk_widget_get_window(widget));
        ApplyCursor(*native);
        if (window.exStyle & WS_EX_TOPMOST) {
            gtk_window_set_keep_above(gtkWindow, TRUE);
        }
        return true;
    }

    void DestroyNative(WindowObject& window) override {
        NativeWindow* native = NativeOf(window);
        window.native = nullptr;
        if (!native) {
            return;
        }
        if (m_keyboardGrab == native || m_pointerCapture == native) {
            m_keyboardGrab = m_keyboardGrab == native ? nullptr : m_keyboardGrab;
            m_pointerCapture = m_pointerCapture == native ? nullptr : m_pointerCapture;
            RegrabSeat();
        }
        g_signal_handlers_disconnect_by_data(native->widget, native);
        g_signal_handlers_disconnect_by_data(native->inputMethod, native);
        gtk_im_context_set_client_window(native->inputMethod, nullptr);
        g_object_unref(native->inputMethod);
        gtk_widget_destroy(native->widget);
        g_object_unref(native->widget);
        delete native;
    }

    void SyncState(WindowObject& window) override {
        NativeWindow* native = NativeOf(window);
        if (!native) {
            return;
        }
        GtkWindow* gtkWindow = GTK_WINDOW(native->widget);
        if (!window.visible) {
            gtk_widget_hide(native->widget);
            return;
        }
        gtk_widget_show(native->widget);
        if (window.minimized) {
            gtk_window_iconify(gtkWindow);
        } else {
            gtk_window_deiconify(gtkWindow);
        }
        if (window.maximized) {
            gtk_window_maximize(gtkWindow);
        } else {
            gtk_window_unmaximize(gtkWindow);
        }
    }

    void SyncGeometry(WindowObject& window) override {
        if (NativeWindow* native = NativeOf(window)) {
            GtkWindow* gtkWindow = GTK_WINDOW(native->widget);
            gtk_window_move(gtkWindow, window.rect.left, window.rect.top);
            int width = std::max(1, window.rect.Width());
            int height = std::max(1, window.rect.Height());
            gtk_widget_set_size_request(native->widget, width, height);
            gtk_window_resize(gtkWindow, width, height);
        }
    }

    void SyncTitle(WindowObject& window) override {
        if (NativeWindow* native = NativeOf(window)) {
            gtk_window_set_title(GTK_WINDOW(native->widget), base::ToUtf8(window.text).c_str());
        }
    }

    void SyncOpacity(WindowObject& window) override {
        NativeWindow* native = NativeOf(window);
        if (!native) {
            return;
        }
        if ((window.exStyle & WS_EX_LAYERED) && !native->rgba) {
            UseRgbaVisual(window, *native);
        }
        double opacity = (window.layeredFlags & LWA_ALPHA) ? window.alpha / 255.0 : 1.0;
        gtk_widget_set_opacity(native->widget, opacity);
        gtk_window_set_keep_above(GTK_WINDOW(native->widget), (window.exStyle & WS_EX_TOPMOST) != 0);
    }

    /// Per-pixel alpha needs an RGBA visual, which GTK takes only before the window is realized; a
    /// window made layered later is unrealized and realized again (hidden meanwhile).
    void UseRgbaVisual(WindowObject& window, NativeWindow& native) {
        GdkScreen* screen = gtk_widget_get_screen(native.widget);
        GdkVisual* visual = gdk_screen_get_rgba_visual(screen);
        if (!visual || !gdk_screen_is_composited(screen)) {
            return;
        }
        bool realized = gtk_widget_get_realized(native.widget);
        bool shown = gtk_widget_get_visible(native.widget);
        if (realized) {
            if (shown) {
                gtk_widget_hide(native.widget);
            }
            gtk_im_context_set_client_window(native.inputMethod, nullptr);
            gtk_widget_unrealize(native.widget);
        }
        gtk_widget_set_visual(native.widget, visual);
        native.rgba = true;
        if (realized) {
            gtk_widget_realize(native.widget);
            gtk_im_context_set_client_window(native.inputMethod, gtk_widget_get_window(native.widget));
            SyncGeometry(window);
            if (shown) {
                gtk_widget_show(native.widget);
            }
        }
    }

    void Present(WindowObject& window, const RECT& area) override {
        if (NativeWindow* native = NativeOf(window)) {
            gtk_widget_queue_draw_area(native->widget, area.left, area.top, area.Width(), area.Height());
        }
    }

    void BringToFront(WindowObject& window) override {
        if (NativeWindow* native = NativeOf(window); native && window.visible) {
            gtk_window_present(GTK_WINDOW(native->widget));
        }
    }

    void BeginMoveDrag(WindowObject& window, POINT screenPoint) override {
        if (NativeWindow* native = NativeOf(window)) {
            gtk_window_begin_move_drag(GTK_WINDOW(native->widget), 1, screenPoint.x, screenPoint.y,
                                       gtk_get_current_event_time());
        }
    }

    void CapturePointer(WindowObject* window) override {
        NativeWindow* native = window ? NativeOf(*window) : nullptr;
        if (native == m_pointerCapture) {
            return;
        }
        m_pointerCapture = native;
        RegrabSeat();
    }

    bool GrabKeyboard(WindowObject* window) override {
        NativeWindow* native = window ? NativeOf(*window) : nullptr;
        if (window && !native) {
            return false;
        }
        m_keyboardGrab = native;
        if (!RegrabSeat() && native) {
            m_keyboardGrab = nullptr;
            RegrabSeat();
            base::LogWarning("gtk", "the keyboard grab was refused");
            return false;
        }
        return true;
    }

    /// Ungrabbing a seat ends all its grabs, so the pointer capture and the keyboard grab are
    /// always set up again together. Pointer events of our own windows still arrive as usual
    /// (owner events); the rest of the screen's go to the capturing window.
    bool RegrabSeat() {
        GdkSeat* seat = gdk_display_get_default_seat(gdk_display_get_default());
        gdk_seat_ungrab(seat);
        bool ok = true;
        if (m_keyboardGrab) {
            ok = gdk_seat_grab(seat, gtk_widget_get_window(m_keyboardGrab->widget),
                               GDK_SEAT_CAPABILITY_KEYBOARD, FALSE, nullptr, nullptr, nullptr,
                               nullptr) == GDK_GRAB_SUCCESS;
        }
        if (m_pointerCapture && gtk_widget_get_window(m_pointerCapture->widget)) {
            gdk_seat_grab(seat, gtk_widget_get_window(m_pointerCapture->widget),
                          GDK_SEAT_CAPABILITY_ALL_POINTING, TRUE, nullptr, nullptr, nullptr, nullptr);
        }
        return ok;
    }

    void SetInputMethodEnabled(WindowObject& window, bool enabled) override {
        WindowObject* top = TopLevelOf(&window);
        if (NativeWindow* native = top ? NativeOf(*top) : nullptr; native && !enabled) {
            gtk_im_context_reset(native->inputMethod);
        }
    }

    void SetInputMethodCaret(WindowObject& window, const RECT& caret) override {
        if (NativeWindow* native = NativeOf(window)) {
            GdkRectangle area{caret.left, caret.top, caret.Width(), caret.Height()};
            gtk_im_context_set_cursor_location(native->inputMethod, &area);
        }
    }

    void SetCursorShape(int cursorId) override {
        m_cursorName = CursorName(cursorId);
        for (HWND hwnd : TopLevelWindowsFrontFirst()) {
            WindowObject* window = FindWindowObject(hwnd);
            if (NativeWindow* native = window ? NativeOf(*window) : nullptr) {
                ApplyCursor(*native);
            }
        }
    }

    static const char* CursorName(int cursorId) {
        switch (cursorId) {
        case IDC_IBEAM:
            return "text";
        case IDC_WAIT:
            return "wait";
        case IDC_CROSS:
            return "crosshair";
        case IDC_SIZEWE:
            return "ew-resize";
        case IDC_SIZENS:
            return "ns-resize";
        case IDC_SIZEALL:
            return "move";
        case IDC_HAND:
            return "pointer";
        case IDC_HELP:
            return "help";
        default:
            return "default";
        }
    }

    void ApplyCursor(NativeWindow& native) const {
        GdkWindow* gdkWindow = gtk_widget_get_window(native.widget);
        if (!gdkWindow) {
            return;
        }
        GdkCursor* cursor = gdk_cursor_new_from_name(gdk_window_get_display(gdkWindow), m_cursorName);
        gdk_window_set_cursor(gdkWindow, cursor);
        if (cursor) {
            g_object_unref(cursor);
        }
    }

    POINT CursorPos() const override {
        POINT noted{0, 0};
        // GDK may only be asked on its own thread; other threads get the last noted position.
        if (NotedPointer(noted) || !PumpsOnThisThread()) {
            return noted;
        }
        GdkDisplay* display = gdk_display_get_default();
        GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(display));
        int x = 0;
        int y = 0;
        gdk_device_get_position(pointer, nullptr, &x, &y);
        return POINT{x, y};
    }

    RECT WorkArea(const RECT& near) const override {
        GdkDisplay* display = gdk_display_get_default();
        GdkMonitor* monitor = gdk_display_get_monitor_at_point(display, near.left + near.Width() / 2,
                                                               near.top + near.Height() / 2);
        if (!monitor) {
            monitor = gdk_display_get_primary_monitor(display);
        }
        GdkRectangle area{0, 0, 1024, 768};
        if (monitor) {
            gdk_monitor_get_workarea(monitor, &area);
        }
        return RECT{area.x, area.y, area.x + area.width, area.y + area.height};
    }

    int ScaleFactor(const WindowObject& window) const override {
        auto* native = static_cast<NativeWindow*>(window.native);
        return native ? gtk_widget_get_scale_factor(native->widget) : 1;
    }

    bool SetClipboardText(const std::u16string& text) override {
        std::string utf8 = base::ToUtf8(text);
        gtk_clipboard_set_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), utf8.c_str(),
                               static_cast<gint>(utf8.size()));
        return true;
    }

    std::u16string GetClipboardText() override {
        gchar* text = gtk_clipboard_wait_for_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD));
        if (!text) {
            return {};
        }
        std::u16string result = base::ToUtf16(text);
        g_free(text);
        return result;
    }

    bool RunFileDialog(const FileDialogRequest& request, std::u16string& result) override {
        GtkWindow* parent = nullptr;
        if (WindowObject* owner = TopLevelOf(FindWindowObject(request.owner)); owner && owner->native) {
            parent = GTK_WINDOW(NativeOf(*owner)->widget);
        }
        GtkFileChooserAction action =
            request.kind == FileDialogRequest::Kind::ChooseFolder ? GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER
            : request.kind == FileDialogRequest::Kind::SaveFile   ? GTK_FILE_CHOOSER_ACTION_SAVE
                                                                  : GTK_FILE_CHOOSER_ACTION_OPEN;
        GtkFileChooserNative* dialog = gtk_file_chooser_native_new(base::ToUtf8(request.title).c_str(),
                                                                   parent, action, nullptr, nullptr);
        GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
        gtk_native_dialog_set_modal(GTK_NATIVE_DIALOG(dialog), TRUE);
        if (request.kind == FileDialogRequest::Kind::SaveFile) {
            gtk_file_chooser_set_do_overwrite_confirmation(chooser, TRUE);
            if (!request.initialName.empty()) {
                gtk_file_chooser_set_current_name(chooser, base::ToUtf8(request.initialName).c_str());
            }
        }
        if (!request.initialFolder.empty()) {
            gtk_file_chooser_set_current_folder(chooser, base::ToUtf8(request.initialFolder).c_str());
        }
        for (const FileFilter& filter : request.filters) {
            GtkFileFilter* gtkFilter = gtk_file_filter_new();
            gtk_file_filter_set_name(gtkFilter, base::ToUtf8(filter.name).c_str());
            for (const std::u16string& pattern : filter.patterns) {
                gtk_file_filter_add_pattern(gtkFilter, base::ToUtf8(pattern).c_str());
            }
            gtk_file_chooser_add_filter(chooser, gtkFilter); // the chooser takes the floating reference
        }
        bool chosen = false;
        if (gtk_native_dialog_run(GTK_NATIVE_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT) {
            if (gchar* path = gtk_file_chooser_get_filename(chooser)) {
                result = base::ToUtf16(path);
                g_free(path);
                chosen = true;
            }
        }
        g_object_unref(dialog);
        return chosen;
    }

private:
    std::thread::id m_thread = std::this_thread::get_id();
    NativeWindow* m_keyboardGrab = nullptr;
    const char* m_cursorName = "default";
    NativeWindow* m_pointerCapture = nullptr;
};

} // namespace

std::unique_ptr<Backend> CreateGtkBackend() {
    // Window placement, pointer and keyboard grabs and the global pointer position need X11; on a
    // Wayland session GTK reaches it through XWayland.
    gdk_set_allowed_backends("x11");
    if (!gtk_init_check(nullptr, nullptr)) {
        return nullptr;
    }
    return std::make_unique<GtkBackend>();
}

} // namespace tessel
