#pragma once

#include "toolkit/TesselExport.h"
#include "toolkit/platform/draw/Geometry.h"

#include <vector>

namespace tessel {

/// A figure of lines, arcs and curves, built once and filled or outlined by a Graphics.
/// Angles are in degrees, measured clockwise from the positive x axis (y grows downwards); on an
/// ellipse, an angle names the point of the ellipse in that direction from its centre.
class TESSEL_EXPORT Path {
public:
    /// One recorded step; `v` holds its coordinates (for Arc: box x, y, w, h, start, sweep).
    enum class Op { MoveTo, LineTo, CurveTo, Arc, Close };
    struct Segment {
        Op op;
        double v[6];
    };

    /// Starts a new figure at (x, y).
    Path& MoveTo(double x, double y);
    /// A straight line from the current point.
    Path& LineTo(double x, double y);
    /// A cubic Bézier curve from the current point through two control points.
    Path& CurveTo(double x1, double y1, double x2, double y2, double x3, double y3);
    /// An elliptic arc of the ellipse inscribed in `box`, from `startDeg` through `sweepDeg`
    /// (negative sweeps run anticlockwise); joined to the current point by a line, if any.
    Path& ArcTo(const RectF& box, double startDeg, double sweepDeg);
    /// Closes the current figure with a line back to its start.
    Path& Close();

    /// Adds a closed rectangle.
    Path& AddRectangle(const RectF& r);
    /// Adds a closed ellipse inscribed in `r`.
    Path& AddEllipse(const RectF& r);
    /// Adds a closed rectangle with elliptic corners of radii rx and ry (clamped to half the size).
    Path& AddRoundedRectangle(const RectF& r, double rx, double ry);

    /// True when nothing has been added.
    bool IsEmpty() const { return m_segments.empty(); }
    /// The recorded segments, in order.
    const std::vector<Segment>& Segments() const { return m_segments; }

private:
    std::vector<Segment> m_segments;
};

} // namespace tessel
