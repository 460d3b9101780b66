#pragma once

// Owning handles for the C objects of Cairo, Pango and gdk-pixbuf, one deleter type per handle.
// Private to the drawing layer: public headers never include it (Graphics keeps deleters of its
// own for its cairo_t and PangoLayout, since its header must not see these types).
#include "toolkit/platform/draw/FontRegistry.h"

#include <cairo.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <memory>
#include <pango/pangocairo.h>

namespace tessel::draw {

struct CairoDeleter {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};
struct CairoSurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct CairoPatternDeleter {
    void operator()(cairo_pattern_t* p) const { cairo_pattern_destroy(p); }
};
struct FontDescriptionDeleter {
    void operator()(PangoFontDescription* d) const { pango_font_description_free(d); }
};
struct AttrListDeleter {
    void operator()(PangoAttrList* l) const { pango_attr_list_unref(l); }
};
// Pango and gdk-pixbuf objects are GObjects; each handle type still gets its own deleter name so
// that the types do not mix.
struct LayoutDeleter {
    void operator()(PangoLayout* l) const { g_object_unref(l); }
};
struct PangoContextDeleter {
    void operator()(PangoContext* c) const { g_object_unref(c); }
};
struct FontMapDeleter {
    void operator()(PangoFontMap* m) const { g_object_unref(m); }
};
struct PixbufDeleter {
    void operator()(GdkPixbuf* p) const { g_object_unref(p); }
};
struct PixbufLoaderDeleter {
    void operator()(GdkPixbufLoader* l) const { g_object_unref(l); }
};
struct PixbufIterDeleter {
    void operator()(GdkPixbufAnimationIter* i) const { g_object_unref(i); }
};
struct GErrorDeleter {
    void operator()(GError* e) const { g_error_free(e); }
};

using CairoPtr = std::unique_ptr<cairo_t, CairoDeleter>;
using CairoSurfacePtr = std::unique_ptr<cairo_surface_t, CairoSurfaceDeleter>;
using CairoPatternPtr = std::unique_ptr<cairo_pattern_t, CairoPatternDeleter>;
using FontDescriptionPtr = std::unique_ptr<PangoFontDescription, FontDescriptionDeleter>;
using AttrListPtr = std::unique_ptr<PangoAttrList, AttrListDeleter>;
using LayoutPtr = std::unique_ptr<PangoLayout, LayoutDeleter>;
using PangoContextPtr = std::unique_ptr<PangoContext, PangoContextDeleter>;
using FontMapPtr = std::unique_ptr<PangoFontMap, FontMapDeleter>;
using PixbufPtr = std::unique_ptr<GdkPixbuf, PixbufDeleter>;
using PixbufLoaderPtr = std::unique_ptr<GdkPixbufLoader, PixbufLoaderDeleter>;
using PixbufIterPtr = std::unique_ptr<GdkPixbufAnimationIter, PixbufIterDeleter>;
using GErrorPtr = std::unique_ptr<GError, GErrorDeleter>;

/// A layout for drawing on cr that finds faces through the toolkit's font map, as Graphics does:
/// Pango's default map would miss the process fonts, or see them only depending on call order.
inline LayoutPtr CreateLayout(cairo_t* cr) {
    FontRegistry::RegisterToolkitFonts();
    PangoContextPtr context(pango_font_map_create_context(FontRegistry::FontMap()));
    pango_cairo_update_context(cr, context.get());
    return LayoutPtr(pango_layout_new(context.get())); // the layout keeps its own reference
}

} // namespace tessel::draw
