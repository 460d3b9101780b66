#pragma once

#include "toolkit/TesselExport.h"

#include <cstdint>
#include <filesystem>
#include <memory>

typedef struct _cairo_surface cairo_surface_t;

namespace tessel {

/// An in-memory ARGB32 picture (premultiplied alpha, native-endian 32-bit pixels, as Cairo keeps
/// them). Windows paint into one, caches keep theirs, and tests read pixels back from them.
class TESSEL_EXPORT Surface {
public:
    /// Creates a transparent surface; returns null for a size of 0 or less or when memory runs out.
    static std::unique_ptr<Surface> Create(int width, int height);

    /// Takes over a Cairo image surface of format ARGB32 (one reference is adopted); null if it is
    /// not one or is in an error state.
    static std::unique_ptr<Surface> Adopt(cairo_surface_t* surface);

    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    /// Bytes from one row to the next.
    int Stride() const;

    /// The first pixel of row y. Call MarkDirty() after writing pixels directly.
    uint32_t* Row(int y);
    const uint32_t* Row(int y) const;
    void MarkDirty();

    /// The premultiplied pixel at (x, y); 0 outside the surface.
    uint32_t PixelAt(int x, int y) const;

    /// Fills every pixel with one premultiplied value (0 = transparent).
    void Fill(uint32_t premultipliedArgb);

    /// Writes the surface as a PNG file; false when the file cannot be written.
    bool SavePng(const std::filesystem::path& path) const;

    /// The Cairo surface, still owned by this object; valid while it lives.
    cairo_surface_t* CairoSurface() const { return m_surface; }

private:
    Surface(cairo_surface_t* surface, int width, int height);

    cairo_surface_t* m_surface;
    int m_width;
    int m_height;
};

} // namespace tessel
