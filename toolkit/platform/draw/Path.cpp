#include "toolkit/platform/draw/Path.h"

#include <algorithm>

namespace tessel {

Path& Path::MoveTo(double x, double y) {
    m_segments.push_back({Op::MoveTo, {x, y}});
    return *this;
}

Path& Path::LineTo(double x, double y) {
    m_segments.push_back({Op::LineTo, {x, y}});
    return *this;
}

Path& Path::CurveTo(double x1, double y1, double x2, double y2, double x3, double y3) {
    m_segments.push_back({Op::CurveTo, {x1, y1, x2, y2, x3, y3}});
    return *this;
}

Path& Path::ArcTo(const RectF& box, double startDeg, double sweepDeg) {
    m_segments.push_back({Op::Arc, {box.x, box.y, box.width, box.height, startDeg, sweepDeg}});
    return *this;
}

Path& Path::Close() {
    m_segments.push_back({Op::Close, {}});
    return *this;
}

Path& Path::AddRectangle(const RectF& r) {
    return MoveTo(r.x, r.y)
        .LineTo(r.x + r.width, r.y)
        .LineTo(r.x + r.width, r.y + r.height)
        .LineTo(r.x, r.y + r.height)
        .Close();
}

Path& Path::AddEllipse(const RectF& r) {
    m_segments.push_back({Op::MoveTo, {r.x + r.width, r.y + r.height / 2}});
    return ArcTo(r, 0, 360).Close();
}

Path& Path::AddRoundedRectangle(const RectF& r, double rx, double ry) {
    rx = std::clamp(rx, 0.0, r.width / 2);
    ry = std::clamp(ry, 0.0, r.height / 2);
    if (rx <= 0 || ry <= 0)
        return AddRectangle(r);
    const double right = r.x + r.width, bottom = r.y + r.height;
    MoveTo(r.x + rx, r.y);
    LineTo(right - rx, r.y);
    ArcTo({right - 2 * rx, r.y, 2 * rx, 2 * ry}, 270, 90);
    LineTo(right, bottom - ry);
    ArcTo({right - 2 * rx, bottom - 2 * ry, 2 * rx, 2 * ry}, 0, 90);
    LineTo(r.x + rx, bottom);
    ArcTo({r.x, bottom - 2 * ry, 2 * rx, 2 * ry}, 90, 90);
    LineTo(r.x, r.y + ry);
    ArcTo({r.x, r.y, 2 * rx, 2 * ry}, 180, 90);
    return Close();
}

} // namespace tessel
