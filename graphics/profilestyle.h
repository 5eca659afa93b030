#pragma once

#include <QColor>
#include <QFont>
#include <QPen>

// Colours and pens of the profile drawing.
namespace profilestyle {

// How alarming a piece of curve is; also the order in which the pieces are
// drawn, so that the most alarming colour lies on top.
enum Level : quint8 { Normal = 0, Warning = 1, Danger = 2 };
inline constexpr int kLevelCount = 3;

// Speeds this close to a limit already count as reaching it.
inline constexpr double kLimitTolerance = 0.01; // m/min
// Width of the warning band below each limit.
inline constexpr double kWarningBand = 2.0; // m/min
inline constexpr double kTankDanger = 50.0; // bar
inline constexpr double kTankWarning = 100.0;

// A vertical speed in m/min (negative when ascending) against the ascent and
// descent limits; inline, as every sample of a paint asks.
inline Level speedLevel(double speed, double ascentLimit, double descentLimit)
{
    if (speed < -ascentLimit - kLimitTolerance || speed > descentLimit + kLimitTolerance)
        return Danger;
    if (speed < kWarningBand - ascentLimit || speed > descentLimit - kWarningBand)
        return Warning;
    return Normal;
}
QColor speedColour(Level level);

// A tank pressure in bar.
inline Level tankLevel(double bar)
{
    if (bar < kTankDanger)
        return Danger;
    return bar < kTankWarning ? Warning : Normal;
}
QColor tankColour(Level level);

QColor yoyoColour(int level);

// A solid pen with square caps and bevel joins.
QPen pen(const QColor& colour, qreal width, Qt::PenStyle style = Qt::SolidLine);

// The font of the profile's texts.
QFont arial(int pointSize, int weight = QFont::Normal);

} // namespace profilestyle
