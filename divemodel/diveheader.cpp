#include "divemodel/diveheader.h"

#include "common/timetexts.h"

namespace {

QDateTime utcDateTime(qint64 seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
}

QString headerDateText(qint64 seconds)
{
    return utcDateTime(seconds).toString(QStringLiteral("dd/MM/yyyy HH:mm"));
}

} // namespace

QDateTime DiveHeader::getBeginDateTime() const
{
    return utcDateTime(beginTime);
}

QDateTime DiveHeader::getEndDateTime() const
{
    return utcDateTime(endTime);
}

QString DiveHeader::getBeginString() const
{
    return headerDateText(beginTime);
}

QString DiveHeader::getEndString() const
{
    return headerDateText(endTime);
}

QString DiveHeader::getDurationString() const
{
    // Subtracted in unsigned arithmetic so that no pair of times can overflow.
    const qint64 duration = endTime > beginTime ? qint64(quint64(endTime) - quint64(beginTime)) : 0;
    return formatTimeSecondes(duration);
}
