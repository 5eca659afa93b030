#pragma once

#include <QDateTime>
#include <QTimeZone>

#include <utility>
#include <vector>

// Local date-times of many instants with one reading of the time zone: the
// zone's offsets from UTC over the instants' range are read once, so that
// each conversion is a search in memory rather than a look-up of the zone
// (which the C library may even re-read from disk each time).
class LocalDateTimes
{
public:
    // For instants from `first` to `last`, seconds since the epoch.
    LocalDateTimes(qint64 first, qint64 last);

    // The local date and time of the instant, as its offset from UTC.
    QDateTime at(qint64 secs) const;

private:
    QTimeZone mZone;
    qint64 mFirst = 0;
    qint64 mLast = -1;
    // From each instant on, the offset in seconds; the first entry is `mFirst`.
    std::vector<std::pair<qint64, int>> mOffsets;
};
