#pragma once

#include <QLineF>
#include <QList>
#include <QPolygonF>

#include <limits>

// A long dive puts hundreds of samples into one pixel column of the profile.
// Inside a column every sample lies within one pixel's width, so what the
// raster shows of a curve there is its vertical extent: these reductions keep,
// per column, the extremes (and for coloured curves the extremes of each
// colour) and drop the rest, so that drawing costs pixels, not samples.
// Points with a coordinate that is not finite are left out.

// Pixel columns of `width` (one device pixel in item coordinates) between
// `left` and `right`; everything left of `left` is one column, and everything
// right of `right` another, since nothing there is seen.
class PixelColumns
{
public:
    PixelColumns(double width, double left, double right);

    qint64 columnOf(double x) const;
    bool isVisible(qint64 column) const { return column != kLeftOfView && column != kRightOfView; }
    double width() const { return mWidth; }

private:
    static constexpr qint64 kLeftOfView = -1;
    static constexpr qint64 kRightOfView = std::numeric_limits<qint64>::max();

    double mWidth;
    double mLeft;
    double mRight;
};

// The points of a polyline or polygon outline, keeping per column the first,
// the highest, the lowest and the last point, in their order.
QPolygonF reducedOutline(const QPolygonF& points, const PixelColumns& columns);

// The segments of a polyline whose segment i (from point i - 1 to point i)
// has the colour level levels[i], sorted by level. A segment that crosses a
// column boundary is kept as it is; the segments inside one column become one
// line per level from that level's highest to its lowest point. Segments
// wholly outside the view are dropped.
// Levels at or above `levelCount` count as the highest.
QList<QList<QLineF>> reducedSegments(const QPolygonF& points, const QList<quint8>& levels,
                                     const PixelColumns& columns, int levelCount);

// The dots of `points` that fall into distinct pixels of the visible columns
// between `top` and `bottom`.
QPolygonF distinctDots(const QPolygonF& points, const PixelColumns& columns, double top, double bottom);
