#include "common/timetexts.h"

#include <cmath>
#include <limits>

namespace {

constexpr qint64 kMillisecondsPerDay = 24 * 3600 * 1000;

// Truncates toward zero, saturating at the bounds of int (0 for not a number).
int truncatedInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (value <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return int(value);
}

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

} // namespace

QString formatTimeSecondes(int seconds)
{
    return qtimeFromSecondes(seconds).toString(seconds > 3599 ? QStringLiteral("hh:mm:ss") : QStringLiteral("mm:ss"));
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
    const qint64 milliseconds = duration.count() / 1000;
    const QTime t = QTime(0, 0).addMSecs(int(milliseconds % kMillisecondsPerDay));
    QString format = QStringLiteral("hh:mm:ss");
    if (compact && t.hour() == 0)
        format = t.minute() > 0 ? QStringLiteral("mm:ss") : QStringLiteral("ss's'");
    if (!prefix.isEmpty()) {
        // Inside the quoted literal a quote of the prefix is written doubled.
        QString literal = prefix;
        literal.replace(QLatin1Char('\''), QLatin1String("''"));
        format.prepend(QLatin1Char('\'') + literal + QLatin1Char('\''));
    }
    return t.toString(format);
}
