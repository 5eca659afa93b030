#pragma once

#include "divedb/diveinfo.h"

#include <QList>
#include <QString>
#include <QVariant>

// The statement of the dive list for a filter and a sort: the filter becomes a
// condition whose values (serials, date bounds) are bound, never written into
// the text.
struct DiveListQuery
{
    // Where the largest time and depth of each dive come from: the table of
    // figures that writes keep, or, in a file of an older version that could
    // not be brought up to date, the samples themselves.
    enum class Figures { Kept, FromSamples };

    QString text;
    QList<QVariant> values; // in the order of the placeholders

    static DiveListQuery forFilter(const Filter& filter, SortField field, SortOrder order,
                                   Figures figures = Figures::Kept);
    // The statement of one dive's row, with its id to bind as ":diveid".
    static QString forOneDive(Figures figures = Figures::Kept);
};

// The date bounds of a filter, seconds since the epoch, both included: from
// the start date (plus the start time) to the end date, or the start date,
// plus one day (or plus the end time).
struct DateRange
{
    qint64 from = 0;
    qint64 to = 0;

    static DateRange ofFilter(const Filter& filter);
};
