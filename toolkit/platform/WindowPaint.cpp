#include "base/Log.h"
#include "toolkit/platform/Backend.h"
#include "toolkit/platform/Window.h"
#include "toolkit/platform/WindowObject.h"

#include <algorithm>
#include <cairo.h>

// Painting: update regions, BeginPaint / EndPaint, window surfaces and their composition.
namespace tessel {

namespace {

int ScaleOf(WindowObject* window) {
    WindowObject* top = TopLevelOf(window);
    return top && top->native ? std::max(1, CurrentBackend().ScaleFactor(*top)) : 1;
}

/// Keeps the window's surface at its client size in device pixels. The surface carries the scale
/// as its device scale, so drawing on it and presenting it both use client coordinates while the
/// pixels stay sharp on scaled screens.
void EnsureSurface(WindowObject* window) {
    int scale = ScaleOf(window);
    int width = std::max(1, window->rect.Width()) * scale;
    int height = std::max(1, window->rect.Height()) * scale;
    if (!window->surface || window->surface->Width() != width || window->surface->Height() != height) {
        window->surface = Surface::Create(width, height);
        if (window->surface) {
            cairo_surface_set_device_scale(window->surface->CairoSurface(), scale, scale);
        }
    }
}

} // namespace

void PaintWindowTree(cairo_t* cr, WindowObject& window) {
    if (window.surface) {
        cairo_set_source_surface(cr, window.surface->CairoSurface(), 0, 0);
        cairo_paint(cr);
    }
    for (HWND hwnd : window.children) {
        WindowObject* child = FindWindowObject(hwnd);
        if (!child || !child->visible) {
            continue;
        }
        cairo_save(cr);
        cairo_rectangle(cr, child->rect.left, child->rect.top, child->rect.Width(), child->rect.Height());
        cairo_clip(cr);
        cairo_translate(cr, child->rect.left, child->rect.top);
        PaintWindowTree(cr, *child);
        cairo_restore(cr);
    }
}

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
    WindowObject* window = OwnWindow(hwnd);
    if (!window) {
        return 0;
    }
    RECT client = window->ClientRect();
    RECT area = rect ? *rect : client;
    cairo_rectangle_int_t box{area.left, area.top, area.Width(), area.Height()};
    cairo_rectangle_int_t bounds{0, 0, client.Width(), client.Height()};
    if (!window->update) {
        window->update.reset(cairo_region_create());
    }
    if (box.width > 0 && box.height > 0) {
        RegionPtr piece(cairo_region_create_rectangle(&box));
        cairo_region_intersect_rectangle(piece.get(), &bounds);
        cairo_region_union(window->update.get(), piece.get());
    }
    window->eraseOnPaint = window->eraseOnPaint || erase;
    CurrentBackend().Wake();
    return 1;
}

BOOL ValidateRect(HWND hwnd, const RECT* rect) {
    WindowObject* window = OwnWindow(hwnd);
    if (!window) {
        return 0;
    }
    if (!window->update) {
        return 1;
    }
    if (!rect) {
        window->update.reset(cairo_region_create());
        window->eraseOnPaint = false;
        return 1;
    }
    cairo_rectangle_int_t box{rect->left, rect->top, rect->Width(), rect->Height()};
    cairo_region_subtract_rectangle(window->update.get(), &box);
    return 1;
}

BOOL GetUpdateRect(HWND hwnd, RECT* rect) {
    WindowObject* window = FindWindowObject(hwnd);
    if (!window || !window->update || cairo_region_is_empty(window->update.get())) {
        if (rect) {
            *rect = RECT{};
        }
        return 0;
    }
    cairo_rectangle_int_t box;
    cairo_region_get_extents(window->update.get(), &box);
    if (rect) {
        *rect = RECT{box.x, box.y, box.x + box.width, box.y + box.height};
    }
    return 1;
}

BOOL UpdateWindow(HWND hwnd) {
    if (!OwnWindow(hwnd)) {
        return 0;
    }
    if (GetUpdateRect(hwnd, nullptr) && IsWindowVisible(hwnd)) {
        SendMessageW(hwnd, WM_PAINT, 0, 0);
    }
    return 1;
}

Surface* BeginPaint(HWND hwnd, PAINTSTRUCT* paint) {
    WindowObject* window = OwnWindow(hwnd);
    if (!window || !paint) {
        return nullptr;
    }
    GetUpdateRect(hwnd, &paint->rcPaint);
    bool erase = window->eraseOnPaint;
    ValidateRect(hwnd, nullptr);
    EnsureSurface(window);
    if (erase) {
        SendMessageW(hwnd, WM_ERASEBKGND, 0, 0);
    }
    window = FindWindowObject(hwnd);
    paint->surface = window ? window->surface.get() : nullptr;
    return paint->surface;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint) {
    WindowObject* window = OwnWindow(hwnd);
    if (!window || !paint) {
        return 0;
    }
    if (window->surface) {
        window->surface->MarkDirty();
    }
    // Children live inside their top-level window's picture: present that part of it.
    RECT area = paint->rcPaint;
    WindowObject* top = window;
    while (top->IsChild()) {
        WindowObject* parent = FindWindowObject(top->parent);
        if (!parent) {
            return 1;
        }
        area.left += top->rect.left;
        area.right += top->rect.left;
        area.top += top->rect.top;
        area.bottom += top->rect.top;
        top = parent;
    }
    if (top->native) {
        CurrentBackend().Present(*top, area);
    }
    return 1;
}

int GetWindowScale(HWND hwnd) {
    WindowObject* window = FindWindowObject(hwnd);
    return window ? ScaleOf(window) : 1;
}

Surface* GetWindowSurface(HWND hwnd) {
    WindowObject* window = OwnWindow(hwnd);
    if (!window) {
        return nullptr;
    }
    EnsureSurface(window);
    return window->surface.get();
}

std::unique_ptr<Surface> CaptureWindow(HWND hwnd) {
    WindowObject* window = OwnWindow(hwnd);
    if (!window) {
        return nullptr;
    }
    std::unique_ptr<Surface> result =
        Surface::Create(std::max(1, window->rect.Width()), std::max(1, window->rect.Height()));
    if (!result) {
        return nullptr;
    }
    cairo_t* cr = cairo_create(result->CairoSurface());
    PaintWindowTree(cr, *window);
    cairo_destroy(cr);
    cairo_surface_flush(result->CairoSurface());
    if (window->layeredFlags & LWA_COLORKEY) {
        // Keyed pixels are opaque and of exactly the key colour; they become fully transparent.
        COLORREF key = window->colorKey;
        uint32_t keyed = 0xFF000000u | ((key & 0xFF) << 16) | (key & 0xFF00) | ((key >> 16) & 0xFF);
        for (int y = 0; y < result->Height(); ++y) {
            uint32_t* row = result->Row(y);
            for (int x = 0; x < result->Width(); ++x) {
                if (row[x] == keyed) {
                    row[x] = 0;
                }
            }
        }
        result->MarkDirty();
    }
    return result;
}

} // namespace tessel
