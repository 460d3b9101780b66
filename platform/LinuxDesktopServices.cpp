#include "platform/LinuxDesktopServices.h"

#include "base/Log.h"
#include "base/Utf.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <cerrno>
#include <cstring>
#include <gdk/gdkx.h>
#include <gio/gio.h>
#include <gtk/gtk.h>
#include <memory>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace platform {

namespace {

constexpr std::string_view kLogArea = "desktop";

struct GErrorDeleter {
    void operator()(GError* error) const { g_error_free(error); }
};
using ErrorPtr = std::unique_ptr<GError, GErrorDeleter>;

struct GObjectDeleter {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <class T>
using ObjectPtr = std::unique_ptr<T, GObjectDeleter>;

struct GFreeDeleter {
    void operator()(gpointer memory) const { g_free(memory); }
};
using GStringPtr = std::unique_ptr<char, GFreeDeleter>;

struct TargetListDeleter {
    void operator()(GtkTargetList* list) const { gtk_target_list_unref(list); }
};

void OnLaunched(GObject*, GAsyncResult* result, gpointer uri) {
    GStringPtr address(static_cast<char*>(uri));
    GError* rawError = nullptr;
    if (g_app_info_launch_default_for_uri_finish(result, &rawError))
        return;
    ErrorPtr error(rawError);
    try { // nothing may escape into GLib
        base::LogWarning(kLogArea, std::string("cannot open ") + address.get() + ": " +
                                       (error ? error->message : "unknown error"));
    } catch (...) {
    }
}

// Hands the URI to the desktop's default handler without waiting for it (finding and starting
// the handler may take a while, and this runs on the UI thread); failures are logged.
bool LaunchDefaultForUri(const std::string& uri) {
    GStringPtr scheme(g_uri_parse_scheme(uri.c_str()));
    if (!scheme) {
        base::LogWarning(kLogArea, "not an address: " + uri);
        return false;
    }
    g_app_info_launch_default_for_uri_async(uri.c_str(), nullptr, nullptr, &OnLaunched,
                                            g_strdup(uri.c_str()));
    return true;
}

GtkClipboard* DefaultClipboard() {
    GdkDisplay* display = gdk_display_get_default();
    if (!display) {
        base::LogWarning(kLogArea, "no display: the clipboard cannot be used");
        return nullptr;
    }
    return gtk_clipboard_get_for_display(display, GDK_SELECTION_CLIPBOARD);
}

// The X11 display of the program's windows, or null under another windowing system.
Display* X11Display() {
    GdkDisplay* display = gdk_display_get_default();
    if (!display || !GDK_IS_X11_DISPLAY(display)) {
        base::LogWarning(kLogArea, "no X11 display: keys cannot be sent");
        return nullptr;
    }
    return gdk_x11_display_get_xdisplay(display);
}

// The X key symbol of the few virtual keys we synthesize: modifiers, letters and digits.
KeySym KeySymOf(int virtualKey) {
    if (virtualKey >= 'A' && virtualKey <= 'Z')
        return XK_a + (virtualKey - 'A');
    if (virtualKey >= '0' && virtualKey <= '9')
        return XK_0 + (virtualKey - '0');
    switch (virtualKey) {
    case 16:
    case 160:
        return XK_Shift_L;
    case 17:
    case 162:
        return XK_Control_L;
    case 18:
    case 164:
        return XK_Alt_L;
    default:
        return NoSymbol;
    }
}

} // namespace

// Our text on the clipboard. GTK owns it from gtk_clipboard_set_with_data until it calls
// OnClipboardClear (when another program takes the clipboard, or we clear it); slot points at
// the services' m_offer, which is reset then.
struct ClipboardOffer {
    ClipboardOffer** slot;
    std::string text;
};

namespace {

void OnClipboardGet(GtkClipboard*, GtkSelectionData* selection, guint, gpointer offer) {
    const auto* content = static_cast<ClipboardOffer*>(offer);
    gtk_selection_data_set_text(selection, content->text.c_str(), static_cast<gint>(content->text.size()));
}

void OnClipboardClear(GtkClipboard*, gpointer offer) {
    std::unique_ptr<ClipboardOffer> content(static_cast<ClipboardOffer*>(offer));
    if (*content->slot == content.get())
        *content->slot = nullptr;
}

} // namespace

LinuxDesktopServices::~LinuxDesktopServices() {
    if (m_clearSource != 0)
        g_source_remove(m_clearSource);
    // Our offer points back at this object: take it off the clipboard while we still exist.
    if (m_offer) {
        if (GtkClipboard* clipboard = DefaultClipboard())
            gtk_clipboard_clear(clipboard);
    }
    ReapFinishedPrograms();
}

bool LinuxDesktopServices::StartProgram(std::u16string_view path) {
    ReapFinishedPrograms();
    const std::string file = base::ToUtf8(path);
    // Only absolute paths: a relative one would depend on our working folder, and one starting
    // with '-' could be taken for an option by a handler.
    if (file.empty() || file.front() != '/') {
        base::LogWarning(kLogArea, "not starting a program without an absolute path: " + file);
        return false;
    }
    struct stat info {};
    if (stat(file.c_str(), &info) != 0) {
        base::LogWarning(kLogArea, "cannot start " + file + ": " + std::strerror(errno));
        return false;
    }
    if (!S_ISREG(info.st_mode) || access(file.c_str(), X_OK) != 0) {
        ObjectPtr<GFile> gfile(g_file_new_for_path(file.c_str()));
        GStringPtr uri(g_file_get_uri(gfile.get()));
        return LaunchDefaultForUri(uri.get());
    }

    // The program starts in a session of its own with default signal handling, so that it
    // outlives us and does not inherit what we block or ignore.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t noSignals;
    sigemptyset(&noSignals);
    sigset_t allSignals;
    sigfillset(&allSignals);
    posix_spawnattr_setsigmask(&attributes, &noSignals);
    posix_spawnattr_setsigdefault(&attributes, &allSignals);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID);

    std::string argument0 = file;
    char* argv[] = {argument0.data(), nullptr};
    pid_t pid = 0;
    int result = posix_spawn(&pid, file.c_str(), nullptr, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    if (result != 0) {
        base::LogWarning(kLogArea, "cannot start " + file + ": " + std::strerror(result));
        return false;
    }
    m_children.push_back(pid);
    base::LogInfo(kLogArea, "started " + file);
    return true;
}

bool LinuxDesktopServices::OpenAddress(std::u16string_view uri) {
    if (uri.empty())
        return false;
    return LaunchDefaultForUri(base::ToUtf8(uri));
}

bool LinuxDesktopServices::SetClipboardText(std::u16string_view text) {
    GtkClipboard* clipboard = DefaultClipboard();
    if (!clipboard)
        return false;
    std::unique_ptr<GtkTargetList, TargetListDeleter> targetList(gtk_target_list_new(nullptr, 0));
    gtk_target_list_add_text_targets(targetList.get(), 0);
    gint targetCount = 0;
    GtkTargetEntry* targets = gtk_target_table_new_from_list(targetList.get(), &targetCount);

    auto offer = std::make_unique<ClipboardOffer>(ClipboardOffer{&m_offer, base::ToUtf8(text)});
    // Setting new data first drops our previous offer through OnClipboardClear.
    bool owned = gtk_clipboard_set_with_data(clipboard, targets, static_cast<guint>(targetCount),
                                             &OnClipboardGet, &OnClipboardClear, offer.get());
    gtk_target_table_free(targets, targetCount);
    if (!owned) {
        base::LogWarning(kLogArea, "cannot take the clipboard");
        return false;
    }
    m_offer = offer.release(); // GTK hands it back to OnClipboardClear
    if (m_clearSource != 0) {
        g_source_remove(m_clearSource);
        m_clearSource = 0;
    }
    return true;
}

int LinuxDesktopServices::OnClearTimeout(void* self) {
    auto* services = static_cast<LinuxDesktopServices*>(self);
    services->m_clearSource = 0;
    if (services->m_offer) {
        if (GtkClipboard* clipboard = DefaultClipboard())
            gtk_clipboard_clear(clipboard);
    }
    return G_SOURCE_REMOVE;
}

bool LinuxDesktopServices::ClearClipboard() {
    if (!DefaultClipboard())
        return false;
    if (m_offer && m_clearSource == 0)
        m_clearSource = g_timeout_add(m_clipboardGraceMs, &OnClearTimeout, this);
    return true;
}

bool LinuxDesktopServices::SendKey(int virtualKey, KeyAction action) {
    KeySym symbol = KeySymOf(virtualKey);
    if (symbol == NoSymbol)
        return false;
    Display* display = X11Display();
    if (!display)
        return false;
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor)) {
        base::LogWarning(kLogArea, "the X server has no XTest extension: keys cannot be sent");
        return false;
    }
    KeyCode code = XKeysymToKeycode(display, symbol);
    if (code == 0)
        return false;
    XTestFakeKeyEvent(display, code, action == KeyAction::Press ? True : False, CurrentTime);
    XFlush(display);
    return true;
}

void LinuxDesktopServices::ReapFinishedPrograms() {
    std::erase_if(m_children, [](pid_t pid) { return waitpid(pid, nullptr, WNOHANG) != 0; });
}

} // namespace platform
