#include "graphics/curvereduction.h"

#include <algorithm>

PixelColumns::PixelColumns(double width, double left, double right)
    : mWidth(std::isfinite(width) && width > 0.0 ? width : 1.0)
    , mPerWidth(1.0 / mWidth)
    , mLeft(left)
    , mRight(right)
{
}

OutlineReducer::OutlineReducer(const PixelColumns& columns)
    : mColumns(columns)
{
}

void OutlineReducer::flush()
{
    if (mCount == 0)
        return;
    const QPointF kept[] = {mFirst, mTopFirst ? mTop : mBottom, mTopFirst ? mBottom : mTop, mLast};
    mOut.append(kept[0]);
    for (int k = 1; k < 4; ++k) {
        if (kept[k] != mOut.last())
            mOut.append(kept[k]);
    }
    mCount = 0;
}

QPolygonF OutlineReducer::take()
{
    flush();
    return std::move(mOut);
}

AreaReducer::AreaReducer(const PixelColumns& columns, bool strokedEdge)
    : mColumns(columns)
    , mStrokedEdge(strokedEdge)
{
}

bool AreaReducer::isCovered(const Column& column) const
{
    return mStrokedEdge && column.count >= 2 && !column.unstrokedEdge && PixelColumns::isVisible(column.index);
}

void AreaReducer::closeColumn()
{
    if (mHasPending)
        emitPending(&mCurrent);
    mPending = mCurrent;
    mHasPending = true;
    mCurrent = Column();
}

void AreaReducer::emitPending(const Column* next)
{
    const Column& column = mPending;
    const bool covered = isCovered(column);
    if (!covered) {
        mOut.append(column.first);
        if (column.count >= 2)
            mOut.append(column.last);
        mLevel = column.last.y();
    } else {
        const bool afterCovered = mPreviousCovered && mPreviousIndex + 1 == column.index;
        const bool beforeCovered = next && isCovered(*next) && column.index + 1 == next->index;
        mLevel = afterCovered ? std::clamp(mLevel, column.top, column.bottom) : column.first.y();
        mOut.append(afterCovered ? QPointF(column.first.x(), mLevel) : column.first);
        mOut.append(beforeCovered ? QPointF(column.last.x(), mLevel) : column.last);
    }
    mPreviousCovered = covered;
    mPreviousIndex = column.index;
}

QPolygonF AreaReducer::take()
{
    if (mCurrent.count > 0)
        closeColumn();
    if (mHasPending)
        emitPending(nullptr);
    mHasPending = false;
    return std::move(mOut);
}

SegmentReducer::SegmentReducer(const PixelColumns& columns, int levelCount)
    : mColumns(columns)
    , mOut(std::max(levelCount, 1))
    , mExtents(size_t(std::max(levelCount, 1)))
{
}

void SegmentReducer::flush()
{
    for (size_t level = 0; level < mExtents.size(); ++level) {
        Extent& extent = mExtents[level];
        if (extent.present)
            mOut[qsizetype(level)].append(QLineF(extent.top, extent.bottom));
        extent = Extent();
    }
    mCollecting = false;
}

QList<QList<QLineF>> SegmentReducer::take()
{
    flush();
    return std::move(mOut);
}

DotReducer::DotReducer(const PixelColumns& columns, double top, double bottom, double size)
    : mColumns(columns)
    , mTop(top)
    , mBottom(bottom)
    , mSize(size)
{
}

void DotReducer::flush()
{
    if (mYs.empty())
        return;
    if (!mGap) {
        // Each dot touches the one before it: one run from the highest to the lowest.
        mOut.append(QLineF(mX, mHighest, mX, mLowest));
    } else {
        std::sort(mYs.begin(), mYs.end());
        double runTop = mYs.front();
        for (size_t k = 1; k <= mYs.size(); ++k) {
            if (k == mYs.size() || mYs[k] - mYs[k - 1] > mSize) {
                mOut.append(QLineF(mX, runTop, mX, mYs[k - 1]));
                if (k < mYs.size())
                    runTop = mYs[k];
            }
        }
    }
    mYs.clear();
    mGap = false;
}

QList<QLineF> DotReducer::take()
{
    flush();
    return std::move(mOut);
}

bool PixelSet::insert(const QPointF& p, quintptr layer)
{
    constexpr double kReach = 1 << 30; // far beyond any screen, well within int
    if (!(std::abs(p.x()) < kReach && std::abs(p.y()) < kReach))
        return false;
    const QPoint pixel = p.toPoint();
    const std::pair<quintptr, quint64> key(layer, (quint64(quint32(pixel.x())) << 32) | quint32(pixel.y()));
    const qsizetype before = mTaken.size();
    mTaken.insert(key);
    return mTaken.size() != before;
}
