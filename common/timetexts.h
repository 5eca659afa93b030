#pragma once

#include <QString>
#include <QTime>

#include <chrono>
#include <utility>

// A duration: "mm:ss" below one hour, "hh:mm:ss" from one hour on with the
// whole hours, however many ("55:00:00" for 55 hours); a negative one reads "00:00".
QString formatTimeSecondes(qint64 seconds);
// "45'" below one hour, "01:30" below one day, "2j 03:15" from one day on.
QString formatTimeMinutes(int minutes);
QTime qtimeFromSecondes(int seconds);
// Decimal minutes as (whole minutes, seconds of the fraction, truncated).
std::pair<int, int> minutesDecimalsToMinutesSecondes(float minutes);
int minutesDecimalsToSecondes(float minutes);
QString formatMinutesDecimals(float minutes);
// A measured duration as "hh:mm:ss" with the whole hours; `compact` drops the
// empty leading fields ("01:05", "05s"); a non-empty `prefix` is written
// before it as is.
QString formatChrono(std::chrono::microseconds duration, const QString& prefix, bool compact);
