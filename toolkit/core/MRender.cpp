#include "toolkit/core/MRender.h"

#include "toolkit/platform/draw/Paint.h"
#include "toolkit/platform/draw/TextFormat.h"

#include <algorithm>
#include <cmath>

namespace tessel {

namespace {

// Draws one piece of a nine-grid; pieces that come out empty (edges and centre of a destination
// smaller than its borders) are skipped.
void DrawPiece(Graphics& g, const Surface& image, int dx, int dy, int dw, int dh, int sx, int sy, int sw,
               int sh) {
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0)
        return;
    g.DrawImage(image, {sx, sy, sw, sh}, RectF(dx, dy, dw, dh));
}

int FadeAlpha(int percent) {
    return 255 * (100 - std::clamp(percent, 0, 100)) / 100;
}

// One fade along rows (vertical) or columns: `count` slices of the destination, each blended
// from the matching slice of the source with its own constant alpha.
int DrawTransition(Graphics& dst, const Surface& src, const IntRect& d, const IntRect& s, int fromPercent,
                   int toPercent, bool vertical) {
    const int start = FadeAlpha(fromPercent), end = FadeAlpha(toPercent);
    const int count = vertical ? d.height : d.width;
    const int sourceCount = vertical ? s.height : s.width;
    if (d.IsEmpty() || s.IsEmpty())
        return start;
    const double step = double(start - end) / count;
    const bool stretched = vertical ? d.width != s.width : d.height != s.height;
    const auto sampling = stretched ? Interpolation::Bilinear : Interpolation::NearestNeighbor;
    int alpha = start;
    for (int i = 0; i < count; ++i) {
        alpha = int(start - step * i);
        // Equal sizes take slice i; a stretched copy takes the source slice under slice i.
        const int from = int(int64_t(i) * sourceCount / count);
        if (vertical)
            dst.DrawImage(src, {s.x, s.y + from, s.width, 1}, RectF(d.x, d.y + i, d.width, 1), uint8_t(alpha),
                          sampling);
        else
            dst.DrawImage(src, {s.x + from, s.y, 1, s.height}, RectF(d.x + i, d.y, 1, d.height),
                          uint8_t(alpha), sampling);
    }
    return alpha;
}

std::u16string WithoutTrailingSpaces(const std::u16string& text) {
    const auto last = text.find_last_not_of(u' ');
    return last == std::u16string::npos ? std::u16string() : text.substr(0, last + 1);
}

} // namespace

std::unique_ptr<Image> MRender::LoadImageFromFile(const std::filesystem::path& path) {
    if (path.empty())
        return nullptr;
    return Image::Load(path);
}

std::unique_ptr<Image> MRender::LoadImageFromIDResource(int id, const std::u16string& type,
                                                        ResourceModule module) {
    const ResourceBytes bytes = Manager::FindResource(id, type, module);
    if (!bytes || bytes->empty())
        return nullptr;
    return Image::LoadFromMemory(bytes->data(), bytes->size());
}

std::unique_ptr<Image> MRender::LoadIconFromFile(const std::filesystem::path& path) {
    return LoadImageFromFile(path);
}

std::unique_ptr<Surface> MRender::CreateARGB32Bitmap(int width, int height, uint32_t** bits) {
    auto surface = Surface::Create(width, height);
    if (bits)
        *bits = surface ? surface->Row(0) : nullptr;
    return surface;
}

std::unique_ptr<Surface> MRender::CreateCompatibleBitmap(int width, int height) {
    return Surface::Create(width, height);
}

void MRender::BitBlt(Graphics& dst, int x, int y, int w, int h, const Surface& src, int srcX, int srcY) {
    if (w > 0 && h > 0)
        dst.CopyImage(src, {srcX, srcY, w, h}, x, y);
}

void MRender::DrawImageFrame(Graphics& g, const Surface& image, const IntRect& dst, int srcX, int srcY,
                             int srcW, int srcH, int corner) {
    DrawImageFrameMID(g, image, dst, srcX, srcY, srcW, srcH, corner, corner, corner, corner);
}

void MRender::DrawImageFrameMID(Graphics& g, const Surface& image, const IntRect& dst, int srcX, int srcY,
                                int srcW, int srcH, int left, int top, int right, int bottom) {
    // A negative border would widen the centre past the source rectangle and pull in pixels of
    // the neighbouring frames of a strip; it counts as no border instead.
    const int l = std::max(left, 0), t = std::max(top, 0), r = std::max(right, 0), b = std::max(bottom, 0);
    const int L = dst.x, T = dst.y, R = dst.Right(), B = dst.Bottom();
    const int midW = R - L - l - r, midH = B - T - t - b;
    const int srcMidW = srcW - l - r, srcMidH = srcH - t - b;
    const int srcRight = srcX + srcW - r, srcBottom = srcY + srcH - b;

    DrawPiece(g, image, L, T, l, t, srcX, srcY, l, t);
    DrawPiece(g, image, L, T + t, l, midH, srcX, srcY + t, l, srcMidH);
    DrawPiece(g, image, L, B - b, l, b, srcX, srcBottom, l, b);
    DrawPiece(g, image, L + l, T, midW, t, srcX + l, srcY, srcMidW, t);
    DrawPiece(g, image, R - r, T, r, t, srcRight, srcY, r, t);
    DrawPiece(g, image, R - r, T + t, r, midH, srcRight, srcY + t, r, srcMidH);
    DrawPiece(g, image, R - r, B - b, r, b, srcRight, srcBottom, r, b);
    DrawPiece(g, image, L + l, B - b, midW, b, srcX + l, srcBottom, srcMidW, b);
    DrawPiece(g, image, L + l, T + t, midW, midH, srcX + l, srcY + t, srcMidW, srcMidH);
}

int MRender::DrawVerticalTransition(Graphics& dst, const Surface& src, const IntRect& dstRect,
                                    const IntRect& srcRect, int fromPercent, int toPercent) {
    return DrawTransition(dst, src, dstRect, srcRect, fromPercent, toPercent, true);
}

int MRender::DrawHorizontalTransition(Graphics& dst, const Surface& src, const IntRect& dstRect,
                                      const IntRect& srcRect, int fromPercent, int toPercent) {
    return DrawTransition(dst, src, dstRect, srcRect, fromPercent, toPercent, false);
}

void MRender::DrawRightBottomTransition(Graphics& dst, const Surface& src, int x, int y, int size, int srcX,
                                        int srcY) {
    auto faded = Surface::Create(size, size);
    if (!faded)
        return;
    for (int j = 0; j < size; ++j) {
        uint32_t* row = faded->Row(j);
        for (int i = 0; i < size; ++i) {
            const double keep = std::max(0.0, 1.0 - std::hypot(i, j) / size);
            // Pixels are premultiplied, so fading scales every channel alike.
            const uint32_t p = src.PixelAt(srcX + i, srcY + j);
            uint32_t out = 0;
            for (int shift = 0; shift < 32; shift += 8)
                out |= uint32_t(((p >> shift) & 0xFF) * keep + 0.5) << shift;
            row[i] = out;
        }
    }
    faded->MarkDirty();
    dst.DrawImage(*faded, x, y);
}

void MRender::DrawTextW(Graphics& g, const IntRect& rect, const std::u16string& text, ColorRef color,
                        const Font& font, uint32_t format) {
    if (!text.empty())
        g.DrawText(text, rect, font, ColorRefToArgb(color, 0xFF), format);
}

IntSize MRender::GetTextBounds(const Font& font, uint32_t format, const std::u16string& text) {
    // The text's own extent, unbounded: no wrapping and no ellipsis, as an outline of the text
    // would have it.
    const uint32_t layout = format & ~(DT_WORDBREAK | DT_END_ELLIPSIS | DT_WORD_ELLIPSIS);
    const int width = Graphics::Measure(WithoutTrailingSpaces(text), font, layout).width;
    // Our line heights are whole pixels, so the height is always the line height plus 1.
    const int lineHeight = Graphics::Measure(std::u16string(), font).height;
    return {width, lineHeight + 1};
}

IntSize MRender::GetTextBounds(const Font& font, const std::u16string& text) {
    const int width = Graphics::Measure(text, font, DT_SINGLELINE | DT_LEFT).width;
    const int lineHeight = Graphics::Measure(std::u16string(), font).height;
    return {width, lineHeight + 1};
}

IntPoint MRender::GetOriginPoint(int width, int height, int contentWidth, int contentHeight, int hAlign,
                                 int vAlign) {
    IntPoint origin;
    if (hAlign == int(DT_CENTER))
        origin.x = (width - contentWidth) / 2;
    else if (hAlign == int(DT_RIGHT))
        origin.x = width - contentWidth;
    if (vAlign == int(DT_VCENTER))
        origin.y = (height - contentHeight) / 2;
    else if (vAlign == int(DT_BOTTOM))
        origin.y = height - contentHeight;
    return origin;
}

IntPoint MRender::GetOriginPoint(const IntRect& box, int contentWidth, int contentHeight, int hAlign,
                                 int vAlign) {
    const IntPoint inner = GetOriginPoint(box.width, box.height, contentWidth, contentHeight, hAlign, vAlign);
    return {box.x + inner.x, box.y + inner.y + 2};
}

void MRender::FillSolidRect(Graphics& g, const IntRect* rect, ColorRef color) {
    if (rect)
        g.FillSolidRect(*rect, color);
}

void MRender::FillSolidRect(Graphics& g, int x, int y, int w, int h, ColorRef color) {
    g.FillSolidRect({x, y, w, h}, color);
}

void MRender::DrawColor(Graphics& g, const IntRect& rect, Argb color) {
    if (AlphaOf(color) != 0)
        g.FillRect(rect, color);
}

void MRender::DrawGradient(Graphics& g, const IntRect& rect, Argb from, Argb to, bool vertical,
                           int /*steps*/) {
    if (rect.IsEmpty())
        return;
    const uint8_t alpha = uint8_t((AlphaOf(from) + AlphaOf(to)) / 2);
    const Argb a = (from & 0x00FFFFFF) | (Argb(alpha) << 24), b = (to & 0x00FFFFFF) | (Argb(alpha) << 24);
    const double x2 = vertical ? rect.x : rect.Right(), y2 = vertical ? rect.Bottom() : rect.y;
    g.FillRectangle(Brush::LinearGradient(rect.x, rect.y, x2, y2, a, b), RectF(rect));
}

CornerRadii MRender::RoundRectRadii(double w, double h, double roundness) {
    if (!(roundness > 0) || !(w > 0) || !(h > 0))
        return {};
    double rx = w / roundness * 0.5, ry = h / roundness * 0.5;
    if (std::abs(rx - ry) > 10)
        rx = ry = std::min(rx, ry);
    // A roundness below 1 would ask for corners wider than the shape; they meet in the middle.
    return {std::min(rx, w / 2), std::min(ry, h / 2)};
}

Path MRender::RoundRectPath(double x, double y, double w, double h, double roundness) {
    const auto [rx, ry] = RoundRectRadii(w, h, roundness);
    const double r = x + w, b = y + h;
    Path path;
    path.MoveTo(x + rx, y).LineTo(r - rx, y);
    path.ArcTo(RectF(r - 2 * rx, y, 2 * rx, 2 * ry), 270, 90).LineTo(r, b - ry);
    path.ArcTo(RectF(r - 2 * rx, b - 2 * ry, 2 * rx, 2 * ry), 0, 90).LineTo(x + rx, b);
    path.ArcTo(RectF(x, b - 2 * ry, 2 * rx, 2 * ry), 90, 90).LineTo(x, y + ry);
    path.ArcTo(RectF(x, y, 2 * rx, 2 * ry), 180, 90).Close();
    return path;
}

void MRender::DrawRoundRectange(Graphics& g, double x, double y, double w, double h, double roundness,
                                Argb pen, float penWidth, bool fill, Argb fillColor) {
    if (!(w > 0) || !(h > 0))
        return;
    const Path path = RoundRectPath(x, y, w, h, roundness);
    if (fill)
        g.FillPath(Brush::Solid(fillColor), path);
    if (penWidth > 0)
        g.DrawPath(Pen{pen, penWidth}, path);
}

void MRender::CheckAlphaColor(uint32_t& color) {
    tessel::CheckAlphaColor(color);
}

bool MRender::SaveBitmapToFile(const Surface& bitmap, const std::filesystem::path& path) {
    return Image::Save(bitmap, path, ImageFormat::Bmp);
}

} // namespace tessel
