#include "graphics/profileclip.h"

#include "graphics/curvereduction.h"

#include <cmath>
#include <limits>
#include <utility>

namespace profileclip {

using curvereduction::isFinite;

namespace {

// Wide enough that the difference of two finite doubles never overflows.
using Wide = long double;

struct WidePoint
{
    Wide x;
    Wide y;
};

QPointF narrowed(const WidePoint& p)
{
    return QPointF(double(p.x), double(p.y));
}

// The point at `t` of the segment from a to b, measured from the nearer end
// so that a short visible piece of a very long segment stays precise.
WidePoint pointAt(const WidePoint& a, const WidePoint& b, Wide t)
{
    if (t <= 0.5L)
        return {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)};
    const Wide s = 1.0L - t;
    return {b.x - s * (b.x - a.x), b.y - s * (b.y - a.y)};
}

// Liang and Barsky: the parameters [t0, t1] of the segment's part inside the area.
bool clipParameters(const WidePoint& a, const WidePoint& b, const QRectF& area, Wide& t0, Wide& t1)
{
    const Wide dx = b.x - a.x;
    const Wide dy = b.y - a.y;
    const Wide p[4] = {-dx, dx, -dy, dy};
    const Wide q[4] = {a.x - Wide(area.left()), Wide(area.right()) - a.x, a.y - Wide(area.top()),
                       Wide(area.bottom()) - a.y};
    t0 = 0.0L;
    t1 = 1.0L;
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0.0L) {
            if (q[k] < 0.0L)
                return false;
            continue;
        }
        const Wide t = q[k] / p[k];
        if (p[k] < 0.0L)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    return t0 <= t1;
}

// One edge of the area for Sutherland and Hodgman: which side is inside and
// where a segment crosses it.
struct Edge
{
    bool vertical; // x = value, else y = value
    bool keepsAbove; // inside is x (or y) >= value, else <= value
    Wide value;

    bool inside(const WidePoint& p) const
    {
        const Wide v = vertical ? p.x : p.y;
        return keepsAbove ? v >= value : v <= value;
    }

    WidePoint crossing(const WidePoint& in, const WidePoint& out) const
    {
        const Wide from = vertical ? in.x : in.y;
        const Wide to = vertical ? out.x : out.y;
        const Wide t = (value - from) / (to - from);
        WidePoint p = {in.x + t * (out.x - in.x), in.y + t * (out.y - in.y)};
        (vertical ? p.x : p.y) = value;
        return p;
    }
};

QList<WidePoint> clippedTo(const QList<WidePoint>& polygon, const Edge& edge)
{
    QList<WidePoint> out;
    if (polygon.isEmpty())
        return out;
    out.reserve(polygon.size() + 4);
    WidePoint previous = polygon.last();
    bool previousInside = edge.inside(previous);
    for (const WidePoint& point : polygon) {
        const bool inside = edge.inside(point);
        if (inside != previousInside)
            out.append(inside ? edge.crossing(point, previous) : edge.crossing(previous, point));
        if (inside)
            out.append(point);
        previous = point;
        previousInside = inside;
    }
    return out;
}

} // namespace

std::optional<QLineF> clippedLine(const QLineF& line, const QRectF& area)
{
    if (!isFinite(line.p1()) || !isFinite(line.p2()))
        return std::nullopt;
    const WidePoint a{line.x1(), line.y1()};
    const WidePoint b{line.x2(), line.y2()};
    Wide t0 = 0;
    Wide t1 = 1;
    if (!clipParameters(a, b, area, t0, t1))
        return std::nullopt;
    if (t0 == 0.0L && t1 == 1.0L)
        return line;
    return QLineF(narrowed(pointAt(a, b, t0)), narrowed(pointAt(a, b, t1)));
}

QList<PolylinePiece> clippedPolyline(const QPolygonF& polyline, const QRectF& area)
{
    QList<PolylinePiece> pieces;
    Wide travelled = 0;
    bool open = false; // the last piece reaches the current point
    for (qsizetype k = 1; k < polyline.size(); ++k) {
        const QPointF& from = polyline[k - 1];
        const QPointF& to = polyline[k];
        if (!isFinite(from) || !isFinite(to)) {
            open = false;
            continue;
        }
        const WidePoint a{from.x(), from.y()};
        const WidePoint b{to.x(), to.y()};
        const Wide length = std::hypot(b.x - a.x, b.y - a.y);
        Wide t0 = 0;
        Wide t1 = 1;
        if (clipParameters(a, b, area, t0, t1)) {
            if (!open || t0 > 0.0L)
                pieces.append({QPolygonF{narrowed(pointAt(a, b, t0))}, double(travelled + t0 * length)});
            pieces.last().points.append(t1 == 1.0L ? to : narrowed(pointAt(a, b, t1)));
            open = t1 == 1.0L;
        } else {
            open = false;
        }
        travelled += length;
    }
    return pieces;
}

QPolygonF clippedPolygon(const QPolygonF& polygon, const QRectF& area)
{
    QList<WidePoint> points;
    points.reserve(polygon.size());
    bool within = true;
    for (const QPointF& p : polygon) {
        if (!isFinite(p))
            continue;
        within = within && area.contains(p);
        points.append({p.x(), p.y()});
    }
    if (within && points.size() == polygon.size())
        return polygon;
    const Edge edges[] = {{true, true, area.left()},
                          {true, false, area.right()},
                          {false, true, area.top()},
                          {false, false, area.bottom()}};
    for (const Edge& edge : edges)
        points = clippedTo(points, edge);
    QPolygonF out;
    out.reserve(points.size());
    for (const WidePoint& p : std::as_const(points))
        out.append(narrowed(p));
    return out;
}

LinesByLeft::LinesByLeft(QList<QLineF> lines)
    : mLines(std::move(lines))
{
    const auto leftOf = [](const QLineF& line) { return std::min(line.x1(), line.x2()); };
    std::sort(mLines.begin(), mLines.end(),
              [&](const QLineF& a, const QLineF& b) { return leftOf(a) < leftOf(b); });
    mRightmost.reserve(mLines.size());
    double rightmost = -std::numeric_limits<double>::infinity();
    for (const QLineF& line : std::as_const(mLines)) {
        rightmost = std::max(rightmost, std::max(line.x1(), line.x2()));
        mRightmost.append(rightmost);
    }
}

} // namespace profileclip
