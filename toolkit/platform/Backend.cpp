#include "toolkit/platform/Backend.h"

#include "base/Log.h"
#include "toolkit/platform/EditWindow.h"
#include "toolkit/platform/Tooltip.h"
#include "toolkit/platform/gtk/GtkBackend.h"
#include "toolkit/platform/headless/HeadlessBackend.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>

namespace tessel {

namespace {

std::mutex g_mutex;
// Lives until the process ends: windows and queues of every thread refer to it.
std::atomic<Backend*> g_backend{nullptr};

bool StartLocked(BackendKind kind) {
    if (Backend* running = g_backend) {
        // The first start decides for the whole process.
        return kind == BackendKind::Automatic ||
               std::strcmp(running->Name(), kind == BackendKind::Headless ? "headless" : "gtk") == 0;
    }
    RegisterEditWindowClass();
    RegisterTooltipClass();
    if (kind == BackendKind::Automatic) {
        const char* asked = std::getenv("TESSEL_BACKEND");
        kind = asked && std::strcmp(asked, "headless") == 0 ? BackendKind::Headless : BackendKind::Gtk;
    }
    if (kind == BackendKind::Gtk) {
        if (std::unique_ptr<Backend> gtk = CreateGtkBackend()) {
            g_backend = gtk.release();
            return true;
        }
        base::LogWarning("platform", "no display could be opened; running without windows on screen");
    }
    g_backend = new HeadlessBackend;
    return true;
}

} // namespace

bool InitPlatform(BackendKind kind) {
    std::lock_guard lock(g_mutex);
    return StartLocked(kind);
}

Backend& CurrentBackend() {
    Backend* backend = g_backend;
    if (!backend) {
        std::lock_guard lock(g_mutex);
        StartLocked(BackendKind::Automatic);
        backend = g_backend;
    }
    return *backend;
}

} // namespace tessel
