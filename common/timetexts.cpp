#include "common/timetexts.h"

#include "common/wholenumbers.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

QString twoDigits(qint64 value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

} // namespace

QString formatTimeSecondes(qint64 seconds)
{
    // Whole hours, not a time of day: a 55-hour recording is no 7-hour one.
    const qint64 s = std::max<qint64>(seconds, 0);
    const QString minutesSeconds = twoDigits(s % 3600 / 60) + QLatin1Char(':') + twoDigits(s % 60);
    return s < 3600 ? minutesSeconds : twoDigits(s / 3600) + QLatin1Char(':') + minutesSeconds;
}

QString formatTimeMinutes(int minutes)
{
    if (minutes < 60)
        return QStringLiteral("%1'").arg(minutes);
    const int hours = minutes / 60 % 24;
    if (minutes < 1440)
        return QStringLiteral("%1:%2").arg(twoDigits(hours), twoDigits(minutes % 60));
    return QStringLiteral("%1j %2:%3").arg(minutes / 1440).arg(twoDigits(hours), twoDigits(minutes % 60));
}

QTime qtimeFromSecondes(int seconds)
{
    return QTime(0, 0).addSecs(seconds);
}

std::pair<int, int> minutesDecimalsToMinutesSecondes(float minutes)
{
    const int whole = truncatedInt(minutes);
    return {whole, truncatedInt((minutes - float(whole)) * 60.0f)};
}

int minutesDecimalsToSecondes(float minutes)
{
    const auto [whole, seconds] = minutesDecimalsToMinutesSecondes(minutes);
    return truncatedInt(double(whole) * 60.0 + seconds);
}

QString formatMinutesDecimals(float minutes)
{
    return formatTimeSecondes(minutesDecimalsToSecondes(minutes));
}

QString formatChrono(std::chrono::microseconds duration, const QString& prefix, bool compact)
{
    // Whole hours, however many, as formatTimeSecondes gives them.
    const qint64 seconds = std::max<qint64>(duration.count() / 1'000'000, 0);
    QString text;
    if (!compact || seconds >= 3600)
        text = twoDigits(seconds / 3600) + QLatin1Char(':');
    if (!compact || seconds >= 60)
        text += twoDigits(seconds % 3600 / 60) + QLatin1Char(':') + twoDigits(seconds % 60);
    else
        text = twoDigits(seconds) + QLatin1Char('s');
    return prefix + text;
}
