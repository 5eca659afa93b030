#include "divedb/divelistquery.h"

namespace {

constexpr qint64 kSecondsPerDay = 86400;

// The columns of a dive list row, in the order DiveDb reads them.
QString selectRows(DiveListQuery::Figures figures)
{
    const QString source = figures == DiveListQuery::Figures::Kept
                               ? QStringLiteral("divefigures")
                               : QStringLiteral("(SELECT diveid, MAX(time) AS maxtime, "
                                                "MAX(depth) AS maxdepth FROM profiles "
                                                "GROUP BY diveid)");
    return QStringLiteral("SELECT d.diveid, d.name, d.serial, d.datetime, d.computer, d.gfslow, "
                          "d.gfshigh, f.maxtime, f.maxdepth FROM dives d LEFT JOIN %1 f "
                          "ON f.diveid = d.diveid")
        .arg(source);
}

QString sortKey(SortField field)
{
    switch (field) {
    case SortField::Date: return QStringLiteral("d.datetime");
    case SortField::Duration: return QStringLiteral("COALESCE(f.maxtime, 0)");
    case SortField::MaxDepth: return QStringLiteral("COALESCE(f.maxdepth, 0)");
    }
    return {};
}

} // namespace

DateRange DateRange::ofFilter(const Filter& filter)
{
    DateRange range;
    range.from = filter.startDate.toSecsSinceEpoch();
    const qint64 base = filter.byEndDate ? filter.endDate.toSecsSinceEpoch() : range.from;
    qint64 span = kSecondsPerDay;
    if (filter.byTime) {
        range.from += filter.startTime.msecsSinceStartOfDay() / 1000;
        span = filter.endTime.msecsSinceStartOfDay() / 1000;
    }
    range.to = base + span;
    return range;
}

DiveListQuery DiveListQuery::forFilter(const Filter& filter, SortField field, SortOrder order,
                                       Figures figures)
{
    DiveListQuery query;
    QString condition;
    if (filter.byComputer && !filter.serials.isEmpty()) {
        QString alternatives;
        for (const QString& serial : filter.serials) {
            if (!alternatives.isEmpty())
                alternatives += QStringLiteral(" OR ");
            alternatives += QStringLiteral("d.serial = ?");
            query.values.append(serial);
        }
        condition = '(' + alternatives + ')';
    }
    if (filter.byDate) {
        const DateRange range = DateRange::ofFilter(filter);
        if (!condition.isEmpty())
            condition += QStringLiteral(" AND ");
        condition += QStringLiteral("d.datetime >= ? AND d.datetime <= ?");
        query.values.append(range.from);
        query.values.append(range.to);
    }

    query.text = selectRows(figures);
    if (!condition.isEmpty())
        query.text += QStringLiteral(" WHERE ") + condition;
    // The rows of one computer stay together: serial, then name, then the key.
    query.text += QStringLiteral(" ORDER BY d.serial, d.computer");
    const QString key = sortKey(field);
    if (!key.isEmpty())
        query.text += ", " + key + (order == SortOrder::Ascending ? " ASC" : " DESC");
    query.text += QStringLiteral(", d.diveid");
    return query;
}

QString DiveListQuery::forOneDive(Figures figures)
{
    return selectRows(figures) + QStringLiteral(" WHERE d.diveid = :diveid");
}
