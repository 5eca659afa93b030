#include "divemodel/diveheader.h"

namespace {

QDateTime utcDateTime(qint64 seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
}

QString headerDateText(qint64 seconds)
{
    return utcDateTime(seconds).toString(QStringLiteral("dd/MM/yyyy HH:mm"));
}

QString twoDigits(qint64 value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
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
    return diveDurationText(duration);
}

QString diveDurationText(qint64 seconds)
{
    const qint64 s = qMax<qint64>(seconds, 0);
    const QString minutesSeconds = twoDigits(s % 3600 / 60) + QLatin1Char(':') + twoDigits(s % 60);
    return s < 3600 ? minutesSeconds : twoDigits(s / 3600) + QLatin1Char(':') + minutesSeconds;
}
