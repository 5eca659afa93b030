#include "divedb/localdatetimes.h"

#include <algorithm>

namespace {

// The offsets are read for instants in this range (1900 to 2200); any other
// instant, which only a damaged file holds, is converted on its own.
constexpr qint64 kEarliest = -2208988800;
constexpr qint64 kLatest = 7258118400;

QDateTime utc(qint64 secs)
{
    return QDateTime::fromSecsSinceEpoch(secs, Qt::UTC);
}

} // namespace

LocalDateTimes::LocalDateTimes(qint64 first, qint64 last)
    : mZone(QTimeZone::systemTimeZone())
    , mFirst(std::max(first, kEarliest))
    , mLast(std::min(last, kLatest))
{
    if (!mZone.isValid() || mFirst > mLast)
        return;
    mOffsets.emplace_back(mFirst, mZone.offsetFromUtc(utc(mFirst)));
    if (mFirst == mLast)
        return;
    for (const QTimeZone::OffsetData& change : mZone.transitions(utc(mFirst + 1), utc(mLast)))
        mOffsets.emplace_back(change.atUtc.toSecsSinceEpoch(), change.offsetFromUtc);
}

QDateTime LocalDateTimes::at(qint64 secs) const
{
    if (mOffsets.empty() || secs < mFirst || secs > mLast)
        return QDateTime::fromSecsSinceEpoch(secs);
    const auto after = std::upper_bound(mOffsets.begin(), mOffsets.end(), secs,
                                        [](qint64 value, const auto& offset) { return value < offset.first; });
    return QDateTime::fromSecsSinceEpoch(secs, Qt::OffsetFromUTC, std::prev(after)->second);
}
