#include "toolkit/platform/draw/Graphics.h"

#include "base/Utf.h"
#include "toolkit/platform/draw/CairoHandles.h"
#include "toolkit/platform/draw/FontRegistry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tessel {

namespace {

constexpr double kDegrees = std::numbers::pi / 180.0;
constexpr const char* kEllipsis = "\u2026";
// Pango measures in 1/1024 pixel in an int; wider boxes than this are taken as unlimited.
constexpr int kMaxTextExtent = 1 << 20;
// Cairo gives up on a context for good once it meets a transformation it cannot invert, so
// scales and sizes smaller than this are treated as empty instead of being passed on.
constexpr double kTinyScale = 1e-6;

bool Finite(double a, double b) {
    return std::isfinite(a) && std::isfinite(b);
}

void SetSourceArgb(cairo_t* cr, Argb c) {
    cairo_set_source_rgba(cr, RedOf(c) / 255.0, GreenOf(c) / 255.0, BlueOf(c) / 255.0, AlphaOf(c) / 255.0);
}

void AddRect(cairo_t* cr, const RectF& r) {
    cairo_rectangle(cr, r.x, r.y, r.width, r.height);
}

cairo_filter_t FilterFor(Interpolation interpolation) {
    switch (interpolation) {
    case Interpolation::NearestNeighbor:
        return CAIRO_FILTER_NEAREST;
    case Interpolation::Bilinear:
        return CAIRO_FILTER_BILINEAR;
    case Interpolation::HighQuality:
        return CAIRO_FILTER_GOOD;
    }
    return CAIRO_FILTER_BILINEAR;
}

} // namespace

void Graphics::CairoDeleter::operator()(cairo_t* cr) const {
    cairo_destroy(cr);
}
void Graphics::PangoContextDeleter::operator()(PangoContext* context) const {
    g_object_unref(context);
}
void Graphics::LayoutDeleter::operator()(PangoLayout* layout) const {
    g_object_unref(layout);
}

Graphics::Graphics(Surface& target, double deviceScale)
    : m_target(target), m_scale(std::isfinite(deviceScale) ? std::clamp(deviceScale, 0.01, 100.0) : 1.0),
      m_cr(cairo_create(target.CairoSurface())) {
    cairo_scale(m_cr.get(), m_scale, m_scale);
}

Graphics::~Graphics() {
    // Pixels written through Cairo must be visible to readers of Surface::Row.
    m_cr.reset();
    cairo_surface_flush(m_target.CairoSurface());
}

void Graphics::Save() {
    cairo_save(m_cr.get());
    ++m_saveDepth;
}

void Graphics::Restore() {
    // An unbalanced restore would put the Cairo context in an error state that ends all drawing.
    if (m_saveDepth == 0)
        return;
    cairo_restore(m_cr.get());
    --m_saveDepth;
}

void Graphics::Translate(double dx, double dy) {
    if (Finite(dx, dy))
        cairo_translate(m_cr.get(), dx, dy);
}

void Graphics::ClipRect(const RectF& r) {
    AddRect(m_cr.get(), r.IsEmpty() ? RectF{} : r);
    cairo_clip(m_cr.get());
}

void Graphics::ClipPath(const Path& path) {
    ApplyPath(path);
    cairo_clip(m_cr.get());
}

IntRect Graphics::ClipBounds() const {
    double x1, y1, x2, y2;
    cairo_clip_extents(m_cr.get(), &x1, &y1, &x2, &y2);
    const int l = int(std::floor(x1)), t = int(std::floor(y1));
    return {l, t, int(std::ceil(x2)) - l, int(std::ceil(y2)) - t};
}

void Graphics::SetAntialias(Antialias mode) {
    cairo_set_antialias(m_cr.get(), mode == Antialias::On ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
}

Antialias Graphics::GetAntialias() const {
    return cairo_get_antialias(m_cr.get()) == CAIRO_ANTIALIAS_NONE ? Antialias::Off : Antialias::On;
}

void Graphics::Clear(Argb color) {
    cairo_t* cr = m_cr.get();
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    SetSourceArgb(cr, color);
    cairo_paint(cr);
    cairo_restore(cr);
}

void Graphics::ClearRect(const IntRect& r, Argb color) {
    if (r.IsEmpty())
        return;
    cairo_t* cr = m_cr.get();
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    SetSourceArgb(cr, color);
    AddRect(cr, r);
    cairo_fill(cr);
    cairo_restore(cr);
}

void Graphics::FillRect(const IntRect& r, Argb color) {
    if (r.IsEmpty() || AlphaOf(color) == 0)
        return;
    SetSourceArgb(m_cr.get(), color);
    AddRect(m_cr.get(), r);
    cairo_fill(m_cr.get());
}

void Graphics::FillSolidRect(const IntRect& r, ColorRef color) {
    FillRect(r, ColorRefToArgb(color, 0xFF));
}

void Graphics::ApplyPath(const Path& path) {
    cairo_t* cr = m_cr.get();
    cairo_new_path(cr);
    for (const Path::Segment& s : path.Segments()) {
        const double* v = s.v;
        switch (s.op) {
        case Path::Op::MoveTo:
            cairo_move_to(cr, v[0], v[1]);
            break;
        case Path::Op::LineTo:
            cairo_line_to(cr, v[0], v[1]);
            break;
        case Path::Op::CurveTo:
            cairo_curve_to(cr, v[0], v[1], v[2], v[3], v[4], v[5]);
            break;
        case Path::Op::Arc: {
            // An elliptic arc is a circular arc of radius 1 in a scaled space. The angles given are
            // measured on the ellipse itself, so they are turned into the circle's angles first.
            const double w = v[2], h = v[3];
            if (!(w > kTinyScale) || !(h > kTinyScale) || !Finite(v[0], v[1]) || !Finite(v[4], v[5]))
                break;
            auto onCircle = [w, h](double degrees) {
                const double r = degrees * kDegrees;
                const double t = std::atan2(w * std::sin(r), h * std::cos(r));
                return t + 2 * std::numbers::pi * std::round((r - t) / (2 * std::numbers::pi));
            };
            const double start = onCircle(v[4]), end = onCircle(v[4] + v[5]);
            cairo_save(cr);
            cairo_translate(cr, v[0] + w / 2, v[1] + h / 2);
            cairo_scale(cr, w / 2, h / 2);
            if (v[5] >= 0)
                cairo_arc(cr, 0, 0, 1, start, end);
            else
                cairo_arc_negative(cr, 0, 0, 1, start, end);
            cairo_restore(cr);
            break;
        }
        case Path::Op::Close:
            cairo_close_path(cr);
            break;
        }
    }
}

void Graphics::ApplyPen(const Pen& pen) {
    cairo_t* cr = m_cr.get();
    SetSourceArgb(cr, pen.color);
    const double w = pen.width > 0 ? pen.width : 1.0;
    cairo_set_line_width(cr, w);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    if (pen.dash == DashStyle::Solid) {
        cairo_set_dash(cr, nullptr, 0, 0);
    } else {
        const double dashes[2] = {pen.dash == DashStyle::Dot ? w : 3 * w, w};
        cairo_set_dash(cr, dashes, 2, 0);
    }
}

void Graphics::ApplyBrush(const Brush& brush) {
    cairo_t* cr = m_cr.get();
    if (!brush.IsGradient() || brush.Stops().size() < 2) {
        SetSourceArgb(cr, brush.Color());
        return;
    }
    draw::CairoPatternPtr pattern(
        cairo_pattern_create_linear(brush.X1(), brush.Y1(), brush.X2(), brush.Y2()));
    for (const GradientStop& stop : brush.Stops()) {
        const Argb c = stop.color;
        cairo_pattern_add_color_stop_rgba(pattern.get(), std::clamp(stop.offset, 0.0, 1.0), RedOf(c) / 255.0,
                                          GreenOf(c) / 255.0, BlueOf(c) / 255.0, AlphaOf(c) / 255.0);
    }
    cairo_pattern_set_extend(pattern.get(), CAIRO_EXTEND_PAD);
    cairo_set_source(cr, pattern.get());
}

void Graphics::StrokePath(const Pen& pen, const Path& path) {
    if (AlphaOf(pen.color) == 0 || path.IsEmpty())
        return;
    cairo_save(m_cr.get());
    ApplyPath(path);
    ApplyPen(pen);
    cairo_stroke(m_cr.get());
    cairo_restore(m_cr.get());
}

void Graphics::FillWith(const Brush& brush, const Path& path) {
    if (path.IsEmpty())
        return;
    cairo_save(m_cr.get());
    ApplyPath(path);
    ApplyBrush(brush);
    cairo_fill(m_cr.get());
    cairo_restore(m_cr.get());
}

void Graphics::DrawLine(const Pen& pen, double x1, double y1, double x2, double y2) {
    StrokePath(pen, Path().MoveTo(x1, y1).LineTo(x2, y2));
}

void Graphics::DrawRectangle(const Pen& pen, const RectF& r) {
    if (!r.IsEmpty())
        StrokePath(pen, Path().AddRectangle(r));
}

void Graphics::FillRectangle(const Brush& brush, const RectF& r) {
    if (!r.IsEmpty())
        FillWith(brush, Path().AddRectangle(r));
}

void Graphics::DrawEllipse(const Pen& pen, const RectF& r) {
    if (!r.IsEmpty())
        StrokePath(pen, Path().AddEllipse(r));
}

void Graphics::FillEllipse(const Brush& brush, const RectF& r) {
    if (!r.IsEmpty())
        FillWith(brush, Path().AddEllipse(r));
}

void Graphics::DrawArc(const Pen& pen, const RectF& box, double startDeg, double sweepDeg) {
    if (!box.IsEmpty() && sweepDeg != 0)
        StrokePath(pen, Path().ArcTo(box, startDeg, sweepDeg));
}

void Graphics::DrawRoundedRectangle(const Pen& pen, const RectF& r, double rx, double ry) {
    if (!r.IsEmpty())
        StrokePath(pen, Path().AddRoundedRectangle(r, rx, ry));
}

void Graphics::FillRoundedRectangle(const Brush& brush, const RectF& r, double rx, double ry) {
    if (!r.IsEmpty())
        FillWith(brush, Path().AddRoundedRectangle(r, rx, ry));
}

void Graphics::DrawPath(const Pen& pen, const Path& path) {
    StrokePath(pen, path);
}

void Graphics::FillPath(const Brush& brush, const Path& path) {
    FillWith(brush, path);
}

void Graphics::DrawImage(const Surface& image, const IntRect& src, const RectF& dst, uint8_t alpha,
                         Interpolation interpolation) {
    const IntRect cut = src.Intersect({0, 0, image.Width(), image.Height()});
    if (cut.IsEmpty() || dst.IsEmpty() || alpha == 0)
        return;
    // A source rectangle reaching past the image keeps its scale: the destination shrinks with it.
    const double sx = dst.width / src.width, sy = dst.height / src.height;
    if (!(sx > kTinyScale) || !(sy > kTinyScale) || !Finite(sx, sy) || !Finite(dst.x, dst.y))
        return;
    const RectF target(dst.x + (cut.x - src.x) * sx, dst.y + (cut.y - src.y) * sy, cut.width * sx,
                       cut.height * sy);

    const bool whole = cut == IntRect{0, 0, image.Width(), image.Height()};
    draw::CairoSurfacePtr source(whole ? cairo_surface_reference(image.CairoSurface())
                                       : cairo_surface_create_for_rectangle(image.CairoSurface(), cut.x,
                                                                            cut.y, cut.width, cut.height));
    draw::CairoPatternPtr pattern(cairo_pattern_create_for_surface(source.get()));
    cairo_pattern_set_filter(pattern.get(), FilterFor(interpolation));
    // Padding repeats the edge pixels, so scaled edges stay sharp instead of fading out.
    const bool scaled = sx != 1.0 || sy != 1.0;
    cairo_pattern_set_extend(pattern.get(), scaled ? CAIRO_EXTEND_PAD : CAIRO_EXTEND_NONE);

    cairo_t* cr = m_cr.get();
    cairo_save(cr);
    cairo_translate(cr, target.x, target.y);
    cairo_scale(cr, sx, sy);
    cairo_set_source(cr, pattern.get());
    cairo_rectangle(cr, 0, 0, cut.width, cut.height);
    if (alpha == 255) {
        cairo_fill(cr);
    } else {
        cairo_clip(cr);
        cairo_paint_with_alpha(cr, alpha / 255.0);
    }
    cairo_restore(cr);
}

void Graphics::DrawImage(const Surface& image, double x, double y, uint8_t alpha) {
    DrawImage(image, {0, 0, image.Width(), image.Height()}, RectF(x, y, image.Width(), image.Height()),
              alpha);
}

void Graphics::CopyImage(const Surface& image, const IntRect& src, int x, int y) {
    const IntRect cut = src.Intersect({0, 0, image.Width(), image.Height()});
    if (cut.IsEmpty())
        return;
    cairo_t* cr = m_cr.get();
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    const double dx = x + cut.x - src.x, dy = y + cut.y - src.y;
    cairo_set_source_surface(cr, image.CairoSurface(), dx - cut.x, dy - cut.y);
    cairo_rectangle(cr, dx, dy, cut.width, cut.height);
    cairo_fill(cr);
    cairo_restore(cr);
}

PangoLayout* Graphics::PrepareLayout(const std::u16string& text, const Font& font, uint32_t format, int width,
                                     int height) {
    if (!m_pango) {
        // Text in the toolkit's faces must not depend on someone having registered them first.
        FontRegistry::RegisterToolkitFonts();
        m_pango.reset(pango_font_map_create_context(FontRegistry::FontMap()));
        // Unhinted metrics keep measured sizes independent of the device scale.
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
        pango_cairo_context_set_font_options(m_pango.get(), options);
        cairo_font_options_destroy(options);
        m_layout.reset(pango_layout_new(m_pango.get()));
    }
    FontRegistry::FontMap(); // picks up fonts registered since the last call
    width = std::min(width, kMaxTextExtent);
    height = std::min(height, kMaxTextExtent);
    pango_cairo_update_context(m_cr.get(), m_pango.get());
    PangoLayout* layout = m_layout.get();
    pango_layout_context_changed(layout);
    pango_layout_set_font_description(layout, font.Description());

    const bool noWrap = (format & DT_SINGLELINE) || !(format & DT_WORDBREAK);
    std::string utf8 = base::ToUtf8(text);
    if (format & DT_SINGLELINE)
        std::replace_if(
            utf8.begin(), utf8.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');

    draw::AttrListPtr attributes(pango_attr_list_new());
    if (font.IsUnderline())
        pango_attr_list_insert(attributes.get(), pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
    pango_layout_set_attributes(layout, attributes.get());

    const bool ellipsis = (format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS)) && width > 0;
    pango_layout_set_width(layout, -1);
    pango_layout_set_height(layout, -1);
    pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_NONE);
    pango_layout_set_alignment(layout, (format & DT_RIGHT)    ? PANGO_ALIGN_RIGHT
                                       : (format & DT_CENTER) ? PANGO_ALIGN_CENTER
                                                              : PANGO_ALIGN_LEFT);
    if (noWrap && (format & DT_WORD_ELLIPSIS) && width > 0)
        utf8 = WordEllipsized(utf8, width);
    pango_layout_set_text(layout, utf8.data(), int(utf8.size()));

    if (!noWrap && width > 0) {
        pango_layout_set_width(layout, width * PANGO_SCALE);
        pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
        if (ellipsis && height > 0) {
            // Lines that do not fit the height are dropped and the last one ends in "…".
            pango_layout_set_height(layout, height * PANGO_SCALE);
            pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
        }
    } else if (ellipsis) {
        pango_layout_set_width(layout, width * PANGO_SCALE);
        pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
    }
    return layout;
}

std::string Graphics::WordEllipsized(const std::string& utf8, int width) {
    PangoLayout* layout = m_layout.get();
    auto fits = [&](const std::string& candidate) {
        pango_layout_set_text(layout, candidate.data(), int(candidate.size()));
        PangoRectangle logical;
        pango_layout_get_pixel_extents(layout, nullptr, &logical);
        return logical.width <= width;
    };
    if (fits(utf8))
        return utf8;
    // Try the text cut after each whole word, longest first.
    for (size_t end = utf8.rfind(' '); end != std::string::npos && end > 0; end = utf8.rfind(' ', end - 1)) {
        size_t keep = end;
        while (keep > 0 && utf8[keep - 1] == ' ')
            --keep;
        if (keep == 0)
            break;
        std::string candidate = utf8.substr(0, keep) + kEllipsis;
        if (fits(candidate))
            return candidate;
        end = keep;
    }
    // Not even the first word fits: the caller's end ellipsis cuts it between characters.
    return utf8;
}

void Graphics::DrawText(const std::u16string& text, const IntRect& rect, const Font& font, Argb color,
                        uint32_t format) {
    if (text.empty() || rect.IsEmpty() || (format & DT_CALCRECT) || AlphaOf(color) == 0)
        return;
    PangoLayout* layout = PrepareLayout(text, font, format, rect.width, rect.height);
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout, nullptr, &logical);

    double x = rect.x;
    // A layout without a width is aligned here; one with a width aligns its own lines.
    if (pango_layout_get_width(layout) < 0) {
        const int free = rect.width - logical.width;
        x += ((format & DT_RIGHT) ? free : (format & DT_CENTER) ? free / 2 : 0) - logical.x;
    }
    const int freeHeight = rect.height - logical.height;
    const double y = rect.y +
                     ((format & DT_BOTTOM)    ? freeHeight
                      : (format & DT_VCENTER) ? freeHeight / 2
                                              : 0) -
                     logical.y;

    cairo_t* cr = m_cr.get();
    cairo_save(cr);
    if (!(format & DT_NOCLIP)) {
        AddRect(cr, rect);
        cairo_clip(cr);
    }
    SetSourceArgb(cr, color);
    cairo_move_to(cr, x, y);
    pango_cairo_show_layout(cr, layout);
    cairo_restore(cr);
}

IntSize Graphics::MeasureText(const std::u16string& text, const Font& font, uint32_t format, int width) {
    PangoLayout* layout = PrepareLayout(text, font, format, width, 0);
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout, nullptr, &logical);
    return {text.empty() ? 0 : logical.width, logical.height};
}

IntSize Graphics::Measure(const std::u16string& text, const Font& font, uint32_t format, int width) {
    // One tiny surface per thread serves every measurement; text metrics do not depend on it.
    thread_local std::unique_ptr<Surface> surface = Surface::Create(1, 1);
    thread_local Graphics graphics(*surface);
    return graphics.MeasureText(text, font, format, width);
}

} // namespace tessel
