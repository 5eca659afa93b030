#include "graphics/curvereduction.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

bool isFinite(const QPointF& p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

// The extremes of the points of one column, in order of arrival.
struct ColumnExtremes
{
    int first = -1;
    int top = -1;
    int bottom = -1;
    int last = -1;

    void add(const QPolygonF& points, int i)
    {
        if (first < 0) {
            first = top = bottom = last = i;
            return;
        }
        last = i;
        if (points[i].y() < points[top].y())
            top = i;
        if (points[i].y() > points[bottom].y())
            bottom = i;
    }

    void appendTo(const QPolygonF& points, QPolygonF& out) const
    {
        if (first < 0)
            return;
        int kept[] = {first, std::min(top, bottom), std::max(top, bottom), last};
        int previous = -1;
        for (int index : kept) {
            if (index != previous)
                out.append(points[index]);
            previous = index;
        }
    }
};

// The vertical extent of one colour inside one column.
struct LevelExtent
{
    bool present = false;
    QPointF top;
    QPointF bottom;

    void add(const QPointF& p)
    {
        if (!present) {
            present = true;
            top = bottom = p;
            return;
        }
        if (p.y() < top.y())
            top = p;
        if (p.y() > bottom.y())
            bottom = p;
    }
};

} // namespace

PixelColumns::PixelColumns(double width, double left, double right)
    : mWidth(std::isfinite(width) && width > 0.0 ? width : 1.0)
    , mLeft(left)
    , mRight(right)
{
}

qint64 PixelColumns::columnOf(double x) const
{
    if (!(x >= mLeft))
        return kLeftOfView;
    if (x > mRight)
        return kRightOfView;
    return qint64(std::floor((x - mLeft) / mWidth));
}

QPolygonF reducedOutline(const QPolygonF& points, const PixelColumns& columns)
{
    QPolygonF out;
    ColumnExtremes extremes;
    qint64 current = 0;
    for (int i = 0; i < points.size(); ++i) {
        if (!isFinite(points[i]))
            continue;
        const qint64 column = columns.columnOf(points[i].x());
        if (extremes.first >= 0 && column != current) {
            extremes.appendTo(points, out);
            extremes = ColumnExtremes();
        }
        current = column;
        extremes.add(points, i);
    }
    extremes.appendTo(points, out);
    return out;
}

QList<QList<QLineF>> reducedSegments(const QPolygonF& points, const QList<quint8>& levels,
                                     const PixelColumns& columns, int levelCount)
{
    levelCount = std::max(levelCount, 1);
    QList<QList<QLineF>> out(levelCount);
    auto extents = std::vector<LevelExtent>(size_t(levelCount));
    qint64 current = 0;
    bool collecting = false;
    const auto flush = [&] {
        for (int level = 0; level < levelCount; ++level) {
            if (extents[level].present)
                out[level].append(QLineF(extents[level].top, extents[level].bottom));
            extents[level] = LevelExtent();
        }
        collecting = false;
    };
    const qsizetype count = std::min(points.size(), levels.size());
    for (qsizetype i = 1; i < count; ++i) {
        const QPointF& a = points[i - 1];
        const QPointF& b = points[i];
        if (!isFinite(a) || !isFinite(b))
            continue;
        const int level = std::min<int>(levels[i], levelCount - 1);
        const qint64 columnA = columns.columnOf(a.x());
        const qint64 columnB = columns.columnOf(b.x());
        if (columnA == columnB && !columns.isVisible(columnA))
            continue;
        if (columnA != columnB) {
            out[level].append(QLineF(a, b));
            continue;
        }
        if (collecting && columnA != current)
            flush();
        current = columnA;
        collecting = true;
        extents[level].add(a);
        extents[level].add(b);
    }
    flush();
    return out;
}

QPolygonF distinctDots(const QPolygonF& points, const PixelColumns& columns, double top, double bottom)
{
    QPolygonF out;
    if (!(bottom >= top))
        return out;
    const double rowHeight = columns.width();
    std::vector<bool> taken(size_t(std::ceil((bottom - top) / rowHeight)) + 1, false);
    std::vector<size_t> takenRows;
    qint64 current = 0;
    for (const QPointF& p : points) {
        if (!isFinite(p) || p.y() < top || p.y() > bottom)
            continue;
        const qint64 column = columns.columnOf(p.x());
        if (!columns.isVisible(column))
            continue;
        if (column != current) {
            for (size_t row : takenRows)
                taken[row] = false;
            takenRows.clear();
            current = column;
        }
        const auto row = size_t((p.y() - top) / rowHeight);
        if (taken[row])
            continue;
        taken[row] = true;
        takenRows.push_back(row);
        out.append(p);
    }
    return out;
}
