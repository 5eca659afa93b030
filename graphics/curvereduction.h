#pragma once

#include <QLineF>
#include <QList>
#include <QPolygonF>
#include <QSet>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

// A long dive puts hundreds of samples into one pixel column of the profile.
// Inside a column every sample lies within one pixel's width, so what the
// raster shows of a curve there is its vertical extent: these reducers keep,
// per column, what the pixels show and drop the rest, so that drawing costs
// pixels, not samples. They take the points one by one, in curve order, so
// that one walk over the samples feeds them all. Points with a coordinate
// that is not finite are left out.

// Pixel columns of `width` (one device pixel in item coordinates) between
// `left` and `right`; everything left of `left` is one column, and everything
// right of `right` another, since nothing there is seen.
class PixelColumns
{
public:
    PixelColumns(double width, double left, double right);

    qint64 columnOf(double x) const;
    static bool isVisible(qint64 column) { return column != kLeftOfView && column != kRightOfView; }
    double width() const { return mWidth; }

private:
    static constexpr qint64 kLeftOfView = -1;
    static constexpr qint64 kRightOfView = std::numeric_limits<qint64>::max();

    double mWidth;
    double mPerWidth;
    double mLeft;
    double mRight;
};

// A polyline to stroke: per column the first, the highest, the lowest and
// the last point, in their order of arrival.
class OutlineReducer
{
public:
    explicit OutlineReducer(const PixelColumns& columns);

    void add(const QPointF& p) { add(p, mColumns.columnOf(p.x())); }
    void add(const QPointF& p, qint64 column);
    QPolygonF take();

private:
    void flush();

    PixelColumns mColumns;
    QPolygonF mOut;
    qint64 mColumn = 0;
    int mCount = 0; // points of the current column
    QPointF mFirst;
    QPointF mTop;
    QPointF mBottom;
    QPointF mLast;
    bool mTopFirst = true; // whether the top arrived before the bottom
};

// The outline of an area to fill: per column the first and the last point,
// so that the edge at the column's pixels follows the curve and a noisy curve
// does not break the fill into countless tiny spans. When the edge is
// stroked over by a curve at least two pixels wide (`strokedEdge`), every
// pixel of a column holding two or more points lies under that stroke between
// the column's highest and lowest point: inside runs of such columns the edge
// keeps one level as long as it stays within them, and meets the exact points
// where the run begins and ends.
class AreaReducer
{
public:
    AreaReducer(const PixelColumns& columns, bool strokedEdge);

    // `strokedFromPrevious` false: no stroke covers the edge from the previous point to `p`.
    void add(const QPointF& p, bool strokedFromPrevious = true)
    {
        add(p, mColumns.columnOf(p.x()), strokedFromPrevious);
    }
    void add(const QPointF& p, qint64 column, bool strokedFromPrevious = true);
    QPolygonF take();

private:
    struct Column
    {
        qint64 index = 0;
        int count = 0;
        bool unstrokedEdge = false; // an edge that no stroke covers begins or ends in it
        QPointF first;
        QPointF last;
        double top = 0;
        double bottom = 0;
    };

    bool isCovered(const Column& column) const;
    void closeColumn();
    void emitPending(const Column* next);

    PixelColumns mColumns;
    bool mStrokedEdge;
    QPolygonF mOut;
    Column mCurrent;
    Column mPending;  // closed, waiting for the column after it
    bool mHasPending = false;
    bool mPreviousCovered = false; // the column emitted before the pending one
    qint64 mPreviousIndex = 0;
    double mLevel = 0;
};

// The segments of a polyline, each with the colour level of the point that
// ends it, sorted by level. A segment that crosses a column boundary is kept
// as it is; the segments inside one column become one line per level from
// that level's highest to its lowest point. Segments wholly outside the view
// are dropped; levels at or above the level count count as the highest.
class SegmentReducer
{
public:
    SegmentReducer(const PixelColumns& columns, int levelCount);

    void add(const QPointF& p, quint8 level) { add(p, mColumns.columnOf(p.x()), level); }
    // `level` is the colour of the segment from the previous point to `p`.
    void add(const QPointF& p, qint64 column, quint8 level);
    QList<QList<QLineF>> take();

private:
    struct Extent
    {
        bool present = false;
        QPointF top;
        QPointF bottom;
    };

    static void widen(Extent& extent, const QPointF& p);
    void flush();

    PixelColumns mColumns;
    QList<QList<QLineF>> mOut;
    std::vector<Extent> mExtents;
    bool mHasPrevious = false;
    QPointF mPrevious;
    qint64 mPreviousColumn = 0;
    bool mCollecting = false;
    qint64 mColumn = 0;
};

// Square dots `size` wide, per visible column between `top` and `bottom`:
// dots that overlap or touch merge into one vertical line, which the same
// square-capped pen covers alike.
class DotReducer
{
public:
    DotReducer(const PixelColumns& columns, double top, double bottom, double size);

    void add(const QPointF& p) { add(p, mColumns.columnOf(p.x())); }
    void add(const QPointF& p, qint64 column);
    QList<QLineF> take();

private:
    void flush();

    PixelColumns mColumns;
    double mTop;
    double mBottom;
    double mSize;
    QList<QLineF> mOut;
    qint64 mColumn = 0;
    std::vector<double> mYs; // of the current column
    double mX = 0;
    double mHighest = 0;
    double mLowest = 0;
    bool mGap = false; // two successive dots of the column lie apart
};

// Pixels already marked, so that a mark drawn again on the same pixel in the
// same way is left out. Each kind of mark has a layer of its own.
class PixelSet
{
public:
    // False when `p` falls on a pixel already taken in the layer, or lies far off any screen.
    bool insert(const QPointF& p, quintptr layer = 0);

private:
    QSet<std::pair<quintptr, quint64>> mTaken;
};

// The per-point steps, inline: every sample of a dive goes through them on each paint.

namespace curvereduction {

inline bool isFinite(const QPointF& p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

} // namespace curvereduction

inline qint64 PixelColumns::columnOf(double x) const
{
    if (!(x >= mLeft))
        return kLeftOfView;
    if (!(x <= mRight))
        return kRightOfView;
    // Within the view, so truncating is flooring and stays in range.
    return qint64((x - mLeft) * mPerWidth);
}

inline void OutlineReducer::add(const QPointF& p, qint64 column)
{
    if (!curvereduction::isFinite(p))
        return;
    if (mCount > 0 && column != mColumn)
        flush();
    mColumn = column;
    if (mCount++ == 0) {
        mFirst = mTop = mBottom = mLast = p;
        mTopFirst = true;
        return;
    }
    mLast = p;
    if (p.y() < mTop.y()) {
        mTop = p;
        mTopFirst = false;
    }
    if (p.y() > mBottom.y()) {
        mBottom = p;
        mTopFirst = true;
    }
}

inline void AreaReducer::add(const QPointF& p, qint64 column, bool strokedFromPrevious)
{
    if (!curvereduction::isFinite(p))
        return;
    // Both ends of an edge that no stroke covers stay exact.
    const bool unstroked = !strokedFromPrevious && mCurrent.count > 0;
    if (mCurrent.count > 0 && column != mCurrent.index) {
        mCurrent.unstrokedEdge = mCurrent.unstrokedEdge || unstroked;
        closeColumn();
    }
    mCurrent.unstrokedEdge = mCurrent.unstrokedEdge || unstroked;
    if (mCurrent.count++ == 0) {
        mCurrent.index = column;
        mCurrent.first = mCurrent.last = p;
        mCurrent.top = mCurrent.bottom = p.y();
        return;
    }
    mCurrent.last = p;
    mCurrent.top = std::min(mCurrent.top, p.y());
    mCurrent.bottom = std::max(mCurrent.bottom, p.y());
}

inline void SegmentReducer::widen(Extent& extent, const QPointF& p)
{
    if (!extent.present) {
        extent.present = true;
        extent.top = extent.bottom = p;
        return;
    }
    if (p.y() < extent.top.y())
        extent.top = p;
    if (p.y() > extent.bottom.y())
        extent.bottom = p;
}

inline void SegmentReducer::add(const QPointF& p, qint64 column, quint8 level)
{
    if (!curvereduction::isFinite(p)) {
        mHasPrevious = false;
        return;
    }
    const QPointF a = mPrevious;
    const qint64 columnA = mPreviousColumn;
    const bool hasSegment = mHasPrevious;
    mPrevious = p;
    mPreviousColumn = column;
    mHasPrevious = true;
    if (!hasSegment || (columnA == column && !PixelColumns::isVisible(column)))
        return;
    const size_t index = std::min<size_t>(level, mExtents.size() - 1);
    if (columnA != column) {
        mOut[qsizetype(index)].append(QLineF(a, p));
        return;
    }
    if (mCollecting && column != mColumn)
        flush();
    mColumn = column;
    mCollecting = true;
    widen(mExtents[index], a);
    widen(mExtents[index], p);
}

inline void DotReducer::add(const QPointF& p, qint64 column)
{
    if (!curvereduction::isFinite(p) || !(p.y() >= mTop && p.y() <= mBottom) || !PixelColumns::isVisible(column))
        return;
    if (!mYs.empty() && column != mColumn)
        flush();
    if (mYs.empty()) {
        mColumn = column;
        mX = p.x();
        mHighest = mLowest = p.y();
    } else {
        mGap = mGap || std::abs(p.y() - mYs.back()) > mSize;
        mHighest = std::min(mHighest, p.y());
        mLowest = std::max(mLowest, p.y());
    }
    mYs.push_back(p.y());
}
