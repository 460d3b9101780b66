#pragma once

#include "toolkit/platform/draw/Color.h"

#include <vector>

namespace tessel {

/// How a pen's stroke is broken up.
enum class DashStyle { Solid, Dot, Dash };

/// An outline: colour, width in logical units, and dash style. Strokes are centred on the path.
struct Pen {
    Argb color = 0xFF000000;
    double width = 1.0;
    DashStyle dash = DashStyle::Solid;
};

/// One colour stop of a gradient: offset 0..1 along the gradient line.
struct GradientStop {
    double offset = 0;
    Argb color = 0;
};

/// A fill: a solid colour, or a linear gradient between two points with two or more stops.
/// Points outside the gradient line take the colour of the nearest end.
class Brush {
public:
    /// A solid brush of the given ARGB colour.
    static Brush Solid(Argb color) {
        Brush b;
        b.m_stops = {{0, color}};
        return b;
    }
    /// A linear gradient from (x1, y1) in colour `from` to (x2, y2) in colour `to`.
    static Brush LinearGradient(double x1, double y1, double x2, double y2, Argb from, Argb to) {
        return LinearGradient(x1, y1, x2, y2, {{0, from}, {1, to}});
    }
    /// A linear gradient with several stops (offsets in increasing order).
    static Brush LinearGradient(double x1, double y1, double x2, double y2, std::vector<GradientStop> stops) {
        Brush b;
        b.m_gradient = true;
        b.m_x1 = x1;
        b.m_y1 = y1;
        b.m_x2 = x2;
        b.m_y2 = y2;
        b.m_stops = std::move(stops);
        return b;
    }

    /// True for a linear gradient, false for a solid colour.
    bool IsGradient() const { return m_gradient; }
    /// The colour of a solid brush (the first stop of a gradient).
    Argb Color() const { return m_stops.empty() ? 0 : m_stops.front().color; }
    /// The colour stops (one for a solid brush).
    const std::vector<GradientStop>& Stops() const { return m_stops; }
    /// The gradient line's start (X1, Y1) and end (X2, Y2).
    double X1() const { return m_x1; }
    double Y1() const { return m_y1; }
    double X2() const { return m_x2; }
    double Y2() const { return m_y2; }

private:
    Brush() = default;

    bool m_gradient = false;
    double m_x1 = 0, m_y1 = 0, m_x2 = 0, m_y2 = 0;
    std::vector<GradientStop> m_stops;
};

} // namespace tessel
