#pragma once

#include <QLineF>
#include <QList>
#include <QPolygonF>
#include <QRectF>

#include <algorithm>
#include <optional>

// Geometry cut to a rectangle before it is drawn, so that what the painter
// walks (a dash pattern, the edges of a fill) is bounded by what can be seen,
// however far a dive's values put its points. Points that are not finite are
// left out; whatever is returned is finite.
namespace profileclip {

// The part of `line` inside `area`, or none.
std::optional<QLineF> clippedLine(const QLineF& line, const QRectF& area);

// A piece of a polyline inside an area, with how far along the whole
// polyline it starts, so that a dash pattern can go on where it left off.
struct PolylinePiece
{
    QPolygonF points;
    double startsAt = 0; // length of the polyline before the piece
};

// The pieces of `polyline` inside `area`, in order.
QList<PolylinePiece> clippedPolyline(const QPolygonF& polyline, const QRectF& area);

// `polygon` cut to `area`: inside the area it fills the same pixels, with
// either fill rule.
QPolygonF clippedPolygon(const QPolygonF& polygon, const QRectF& area);

// Lines drawn with one opaque pen, ordered by their left ends, so that a
// paint finds the few that reach a strip by bisection instead of looking at
// them all (their order does not change the pixels of one opaque pen).
class LinesByLeft
{
public:
    LinesByLeft() = default;
    explicit LinesByLeft(QList<QLineF> lines);

    bool isEmpty() const { return mLines.isEmpty(); }

    // Calls `draw` with each line that reaches from `left` to `right`,
    // widened by `reach`, and from `top` to `bottom`.
    template<typename Draw>
    void forEachReaching(const QRectF& area, double reach, Draw&& draw) const;

private:
    QList<QLineF> mLines;
    QList<double> mRightmost; // the rightmost end of the lines up to each
};

template<typename Draw>
void LinesByLeft::forEachReaching(const QRectF& area, double reach, Draw&& draw) const
{
    const double left = area.left() - reach;
    const double right = area.right() + reach;
    const double top = area.top() - reach;
    const double bottom = area.bottom() + reach;
    // The first line that reaches as far right as the area's left side.
    qsizetype k = std::lower_bound(mRightmost.cbegin(), mRightmost.cend(), left) - mRightmost.cbegin();
    for (; k < mLines.size(); ++k) {
        const QLineF& line = mLines[k];
        if (std::min(line.x1(), line.x2()) > right)
            break;
        if (std::max(line.x1(), line.x2()) >= left && std::max(line.y1(), line.y2()) >= top
            && std::min(line.y1(), line.y2()) <= bottom)
            draw(line);
    }
}

} // namespace profileclip
