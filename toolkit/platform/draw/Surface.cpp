#include "toolkit/platform/draw/Surface.h"

#include <cairo.h>

namespace tessel {

Surface::Surface(cairo_surface_t* surface, int width, int height)
    : m_surface(surface), m_width(width), m_height(height) {}

Surface::~Surface() {
    cairo_surface_destroy(m_surface);
}

std::unique_ptr<Surface> Surface::Create(int width, int height) {
    if (width <= 0 || height <= 0)
        return nullptr;
    return Adopt(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
}

std::unique_ptr<Surface> Surface::Adopt(cairo_surface_t* surface) {
    if (!surface)
        return nullptr;
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS ||
        cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE ||
        cairo_image_surface_get_format(surface) != CAIRO_FORMAT_ARGB32) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    return std::unique_ptr<Surface>(new Surface(surface, cairo_image_surface_get_width(surface),
                                                cairo_image_surface_get_height(surface)));
}

int Surface::Stride() const {
    return cairo_image_surface_get_stride(m_surface);
}

uint32_t* Surface::Row(int y) {
    cairo_surface_flush(m_surface);
    return reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(m_surface) +
                                       static_cast<size_t>(y) * Stride());
}

const uint32_t* Surface::Row(int y) const {
    cairo_surface_flush(m_surface);
    return reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(m_surface) +
                                             static_cast<size_t>(y) * Stride());
}

void Surface::MarkDirty() {
    cairo_surface_mark_dirty(m_surface);
}

uint32_t Surface::PixelAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return 0;
    return Row(y)[x];
}

void Surface::Fill(uint32_t premultipliedArgb) {
    for (int y = 0; y < m_height; ++y) {
        uint32_t* row = Row(y);
        for (int x = 0; x < m_width; ++x)
            row[x] = premultipliedArgb;
    }
    MarkDirty();
}

bool Surface::SavePng(const std::filesystem::path& path) const {
    return cairo_surface_write_to_png(m_surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

} // namespace tessel
