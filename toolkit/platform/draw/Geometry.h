#pragma once

#include <algorithm>

// Plain geometry for the drawing layer. Coordinates address pixel edges: the pixel (x, y) covers
// the square from (x, y) to (x + 1, y + 1), so a 1-pixel line through the middle of row 5 runs at
// y = 5.5.
namespace tessel {

/// A rectangle in whole pixels; empty when width or height is 0 or less.
struct IntRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    int Right() const { return x + width; }
    int Bottom() const { return y + height; }
    bool IsEmpty() const { return width <= 0 || height <= 0; }
    bool Contains(int px, int py) const { return px >= x && py >= y && px < Right() && py < Bottom(); }
    /// The common part of two rectangles; an empty rectangle when they do not meet.
    IntRect Intersect(const IntRect& o) const {
        const int l = std::max(x, o.x), t = std::max(y, o.y);
        const int r = std::min(Right(), o.Right()), b = std::min(Bottom(), o.Bottom());
        if (r <= l || b <= t)
            return {};
        return {l, t, r - l, b - t};
    }
    bool operator==(const IntRect&) const = default;
};

/// A rectangle in logical units for shapes and stretched images.
struct RectF {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    RectF() = default;
    RectF(double x_, double y_, double w, double h) : x(x_), y(y_), width(w), height(h) {}
    RectF(const IntRect& r) : x(r.x), y(r.y), width(r.width), height(r.height) {}
    bool IsEmpty() const { return !(width > 0) || !(height > 0); }
};

/// A size in whole pixels, as text measuring gives it.
struct IntSize {
    int width = 0;
    int height = 0;
    bool operator==(const IntSize&) const = default;
};

} // namespace tessel
