#pragma once

#include "toolkit/TesselExport.h"
#include "toolkit/core/Manager.h"
#include "toolkit/platform/draw/Color.h"
#include "toolkit/platform/draw/Font.h"
#include "toolkit/platform/draw/Geometry.h"
#include "toolkit/platform/draw/Graphics.h"
#include "toolkit/platform/draw/Image.h"
#include "toolkit/platform/draw/Path.h"
#include "toolkit/platform/draw/Surface.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace tessel {

/// A point in whole pixels.
struct IntPoint {
    int x = 0;
    int y = 0;
    bool operator==(const IntPoint&) const = default;
};

/// The two corner radii of a rounded rectangle.
struct CornerRadii {
    double rx = 0;
    double ry = 0;
};

/// The drawing routines every control shares: image loading, nine-grid frames, fades, text,
/// fills and rounded rectangles. All static; nothing is kept between calls.
class TESSEL_EXPORT MRender {
public:
    // Loading. Every loader hands the caller a new image it owns; null on failure.

    /// Decodes an image file; null when it is missing or not a picture.
    static std::unique_ptr<Image> LoadImageFromFile(const std::filesystem::path& path);
    /// Decodes a resource of the program or the library; null when it is missing or undecodable.
    static std::unique_ptr<Image> LoadImageFromIDResource(int id, const std::u16string& type,
                                                          ResourceModule module);
    /// The icon shown for a file: picture files are their own icon; null for anything else.
    static std::unique_ptr<Image> LoadIconFromFile(const std::filesystem::path& path);

    // Bitmaps.

    /// A transparent ARGB32 picture, owned by the caller; `bits` (if given) receives its first
    /// row (rows run top-down, Surface::Stride() bytes apart). Null for sizes below 1.
    static std::unique_ptr<Surface> CreateARGB32Bitmap(int width, int height, uint32_t** bits = nullptr);
    /// A transparent picture of the given size, owned by the caller; null for sizes below 1.
    static std::unique_ptr<Surface> CreateCompatibleBitmap(int width, int height);
    /// Copies the w x h block at (srcX, srcY) of `src` to (x, y), replacing what is there.
    static void BitBlt(Graphics& dst, int x, int y, int w, int h, const Surface& src, int srcX, int srcY);

    // Nine-grid frames.

    /// Draws the source rectangle of `image` into `dst` as a nine-grid: corners of size `corner`
    /// unscaled, edges stretched along their length, the centre both ways. A destination smaller
    /// than two corners gives overlapping corners and no centre; a negative corner counts as 0.
    static void DrawImageFrame(Graphics& g, const Surface& image, const IntRect& dst, int srcX, int srcY,
                               int srcW, int srcH, int corner);
    /// The same with separate border sizes for each side.
    static void DrawImageFrameMID(Graphics& g, const Surface& image, const IntRect& dst, int srcX, int srcY,
                                  int srcW, int srcH, int left, int top, int right, int bottom);

    // Fades.

    /// Blends `src` rectangle into `dst` row by row with an alpha going linearly from
    /// 255 x (100 - fromPercent) / 100 at the top to 255 x (100 - toPercent) / 100 after the
    /// bottom (percentages are clamped to 0..100). Returns the alpha of the last row drawn.
    static int DrawVerticalTransition(Graphics& dst, const Surface& src, const IntRect& dstRect,
                                      const IntRect& srcRect, int fromPercent, int toPercent);
    /// The same column by column, from left to right.
    static int DrawHorizontalTransition(Graphics& dst, const Surface& src, const IntRect& dstRect,
                                        const IntRect& srcRect, int fromPercent, int toPercent);
    /// Blends the size x size square of `src` at (srcX, srcY) to (x, y), opaque at its top-left
    /// corner and fading with the distance from it to transparent at `size` pixels away.
    static void DrawRightBottomTransition(Graphics& dst, const Surface& src, int x, int y, int size, int srcX,
                                          int srcY);

    // Text.

    /// Draws `text` in `rect` in an opaque COLORREF colour with the DT_ flags of `format`;
    /// nothing for empty text. The Graphics keeps its state.
    static void DrawTextW(Graphics& g, const IntRect& rect, const std::u16string& text, ColorRef color,
                          const Font& font, uint32_t format);
    /// The size `text` takes with `format` (trailing spaces not counted): the measured width and
    /// the font's line height plus 1.
    static IntSize GetTextBounds(const Font& font, uint32_t format, const std::u16string& text);
    /// The size of one left-aligned unbroken line of `text`, trailing spaces counted.
    static IntSize GetTextBounds(const Font& font, const std::u16string& text);

    /// The offset that aligns content in a box: x is 0, half the free width (hAlign DT_CENTER)
    /// or all of it (DT_RIGHT); y is 0, half the free height (vAlign DT_VCENTER) or all of it
    /// (DT_BOTTOM).
    static IntPoint GetOriginPoint(int width, int height, int contentWidth, int contentHeight, int hAlign,
                                   int vAlign);
    /// The same inside `box`: adds the box's left and top, and 2 to y.
    static IntPoint GetOriginPoint(const IntRect& box, int contentWidth, int contentHeight, int hAlign,
                                   int vAlign);

    // Fills and shapes.

    /// Fills `rect` opaquely with a COLORREF colour; nothing for a null rectangle.
    static void FillSolidRect(Graphics& g, const IntRect* rect, ColorRef color);
    /// Fills (x, y, w, h) opaquely with a COLORREF colour.
    static void FillSolidRect(Graphics& g, int x, int y, int w, int h, ColorRef color);
    /// Blends an ARGB colour over `rect`; nothing when its alpha is 0.
    static void DrawColor(Graphics& g, const IntRect& rect, Argb color);
    /// Fills `rect` with a smooth gradient from `from` to `to` (top to bottom when `vertical`,
    /// else left to right), blended with the average of the two alphas. `steps` is accepted for
    /// callers that name a band count; the gradient is always smooth.
    static void DrawGradient(Graphics& g, const IntRect& rect, Argb from, Argb to, bool vertical, int steps);

    /// The corner radii of a rounded rectangle: w / roundness / 2 and h / roundness / 2, both the
    /// smaller one when they differ by more than 10, at most half the size; (0, 0) for a
    /// roundness of 0 or less.
    static CornerRadii RoundRectRadii(double w, double h, double roundness);
    /// The closed outline of a rounded rectangle with the radii above.
    static Path RoundRectPath(double x, double y, double w, double h, double roundness);
    /// Fills the rounded rectangle with `fillColor` when `fill` is set, then outlines it with a
    /// pen of `pen` colour and `penWidth` (no outline for a width of 0 or less).
    static void DrawRoundRectange(Graphics& g, double x, double y, double w, double h, double roundness,
                                  Argb pen, float penWidth, bool fill, Argb fillColor);

    /// Turns pure black into 0x000001 in the low bits (alpha kept), so it is not taken for "none".
    static void CheckAlphaColor(uint32_t& color);
    /// Writes a picture as a BMP file; false when it cannot be written.
    static bool SaveBitmapToFile(const Surface& bitmap, const std::filesystem::path& path);
};

} // namespace tessel
