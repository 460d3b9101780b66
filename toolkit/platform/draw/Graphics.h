#pragma once

#include "toolkit/TesselExport.h"
#include "toolkit/platform/draw/Color.h"
#include "toolkit/platform/draw/Font.h"
#include "toolkit/platform/draw/Geometry.h"
#include "toolkit/platform/draw/Paint.h"
#include "toolkit/platform/draw/Path.h"
#include "toolkit/platform/draw/Surface.h"
#include "toolkit/platform/draw/TextFormat.h"

#include <memory>
#include <string>

typedef struct _cairo cairo_t;
typedef struct _PangoContext PangoContext;
typedef struct _PangoLayout PangoLayout;

namespace tessel {

/// Whether shape edges are smoothed. Text is always smoothed.
enum class Antialias { On, Off };

/// How stretched or shrunk images are sampled.
enum class Interpolation { NearestNeighbor, Bilinear, HighQuality };

/// A drawing context over a Surface. All coordinates are logical units: a device scale of 2
/// makes every unit two pixels wide, so controls draw the same at any screen scale. Drawing is
/// clipped to the clip region and blends over what is there (premultiplied "over"), except for
/// Clear and ClearRect, which replace pixels. Not thread-safe: one Graphics per thread.
class TESSEL_EXPORT Graphics {
public:
    /// Draws into `target`, which must outlive this object; `deviceScale` pixels per unit
    /// (clamped to 0.01..100; 1 when not a number).
    explicit Graphics(Surface& target, double deviceScale = 1.0);
    ~Graphics();
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    /// The surface drawn into.
    Surface& Target() const { return m_target; }
    /// Pixels per logical unit.
    double DeviceScale() const { return m_scale; }

    /// Saves clip, translation and antialias setting; Restore brings back the last saved state
    /// (a Restore without a Save does nothing).
    void Save();
    void Restore();

    /// Saves the state for the life of a scope.
    class StateSaver {
    public:
        explicit StateSaver(Graphics& g) : m_graphics(g) { g.Save(); }
        ~StateSaver() { m_graphics.Restore(); }
        StateSaver(const StateSaver&) = delete;
        StateSaver& operator=(const StateSaver&) = delete;

    private:
        Graphics& m_graphics;
    };

    /// Moves the origin by (dx, dy) units; ignored when either is not a finite number.
    void Translate(double dx, double dy);
    /// Narrows the clip region to its intersection with `r`.
    void ClipRect(const RectF& r);
    /// Narrows the clip region to the inside of `path`.
    void ClipPath(const Path& path);
    /// The bounding box of the clip region in current units (rounded outwards).
    IntRect ClipBounds() const;

    /// Smooths (On, the default) or hard-edges (Off) the shapes drawn after this call.
    void SetAntialias(Antialias mode);
    /// The current antialias setting.
    Antialias GetAntialias() const;

    /// Replaces every pixel inside the clip region with `color` (0 = transparent).
    void Clear(Argb color = 0);
    /// Replaces the pixels of `r` with `color`, alpha included, without blending.
    void ClearRect(const IntRect& r, Argb color = 0);
    /// Blends `color` over `r`; nothing for a colour with alpha 0.
    void FillRect(const IntRect& r, Argb color);
    /// Fills `r` opaquely with a COLORREF colour.
    void FillSolidRect(const IntRect& r, ColorRef color);

    // Shapes: outlines are drawn with a pen, centred on the outline; fills with a brush.

    /// Draws a straight line.
    void DrawLine(const Pen& pen, double x1, double y1, double x2, double y2);
    /// Outlines a rectangle.
    void DrawRectangle(const Pen& pen, const RectF& r);
    /// Fills a rectangle with a brush (for gradients; FillRect is the quick solid fill).
    void FillRectangle(const Brush& brush, const RectF& r);
    /// Outlines the ellipse inscribed in `r`.
    void DrawEllipse(const Pen& pen, const RectF& r);
    /// Fills the ellipse inscribed in `r`.
    void FillEllipse(const Brush& brush, const RectF& r);
    /// Draws an arc of the ellipse inscribed in `box`, in degrees clockwise from three o'clock.
    void DrawArc(const Pen& pen, const RectF& box, double startDeg, double sweepDeg);
    /// Outlines a rounded rectangle; radii rx, ry are clamped to half the rectangle's size.
    void DrawRoundedRectangle(const Pen& pen, const RectF& r, double rx, double ry);
    /// Fills a rounded rectangle; radii as for DrawRoundedRectangle.
    void FillRoundedRectangle(const Brush& brush, const RectF& r, double rx, double ry);
    /// Outlines every figure of a path.
    void DrawPath(const Pen& pen, const Path& path);
    /// Fills the inside of a path (non-zero winding rule).
    void FillPath(const Brush& brush, const Path& path);

    /// Draws the `src` part of `image` stretched into `dst`, with a constant `alpha` on top of
    /// the image's own per-pixel alpha. Edges sample only inside `src`, so a frame cut from a
    /// strip never bleeds in its neighbour. `src` is cut to the image; empty rectangles draw
    /// nothing.
    void DrawImage(const Surface& image, const IntRect& src, const RectF& dst, uint8_t alpha = 255,
                   Interpolation interpolation = Interpolation::Bilinear);
    /// Draws the whole image at its own size with its top-left corner at (x, y).
    void DrawImage(const Surface& image, double x, double y, uint8_t alpha = 255);
    /// Copies the `src` part of `image` unscaled to (x, y), replacing the pixels there alpha
    /// included (no blending), as a block copy between bitmaps does.
    void CopyImage(const Surface& image, const IntRect& src, int x, int y);

    /// Draws `text` in `rect` with the DT_ flags of `format` (alignment, single line, word break,
    /// ellipsis); clipped to `rect` unless DT_NOCLIP. Nothing for empty text or DT_CALCRECT.
    void DrawText(const std::u16string& text, const IntRect& rect, const Font& font, Argb color,
                  uint32_t format);

    /// The size `text` takes when drawn with `format`: with DT_WORDBREAK (and no DT_SINGLELINE)
    /// lines are broken at `width`; with an ellipsis flag the result is at most `width` wide.
    /// Empty text measures 0 wide and one line high.
    IntSize MeasureText(const std::u16string& text, const Font& font, uint32_t format = DT_SINGLELINE,
                        int width = 0);

    /// The same measurement without a target surface, for layout code.
    static IntSize Measure(const std::u16string& text, const Font& font, uint32_t format = DT_SINGLELINE,
                           int width = 0);

    /// The underlying Cairo context, owned by this object, for drawing the layer does not offer.
    cairo_t* CairoContext() const { return m_cr.get(); }

private:
    void ApplyPath(const Path& path);
    void ApplyPen(const Pen& pen);
    void ApplyBrush(const Brush& brush);
    void StrokePath(const Pen& pen, const Path& path);
    void FillWith(const Brush& brush, const Path& path);
    PangoLayout* PrepareLayout(const std::u16string& text, const Font& font, uint32_t format, int width,
                               int height);
    std::string WordEllipsized(const std::string& utf8, int width);

    // Deleters are defined where the C libraries are included, keeping them out of this header.
    struct CairoDeleter {
        void operator()(cairo_t* cr) const;
    };
    struct PangoContextDeleter {
        void operator()(PangoContext* context) const;
    };
    struct LayoutDeleter {
        void operator()(PangoLayout* layout) const;
    };

    Surface& m_target;
    double m_scale;
    int m_saveDepth = 0;
    std::unique_ptr<cairo_t, CairoDeleter> m_cr;
    // Made on the first text call and reused by every later one.
    std::unique_ptr<PangoContext, PangoContextDeleter> m_pango;
    std::unique_ptr<PangoLayout, LayoutDeleter> m_layout;
};

} // namespace tessel
