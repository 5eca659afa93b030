#include "graphics/profilestyle.h"

namespace profilestyle {

namespace {

// Speeds this close to a limit already count as reaching it.
constexpr double kLimitTolerance = 0.01; // m/min
// Width of the warning band below each limit.
constexpr double kWarningBand = 2.0;     // m/min

constexpr double kTankDanger = 50.0;  // bar
constexpr double kTankWarning = 100.0;

} // namespace

Level speedLevel(double speed, double ascentLimit, double descentLimit)
{
    if (speed < -ascentLimit - kLimitTolerance || speed > descentLimit + kLimitTolerance)
        return Danger;
    if (speed < kWarningBand - ascentLimit || speed > descentLimit - kWarningBand)
        return Warning;
    return Normal;
}

QColor speedColour(Level level)
{
    switch (level) {
    case Danger:
        return Qt::red;
    case Warning:
        return QColor(255, 190, 0);
    default:
        return Qt::green;
    }
}

Level tankLevel(double bar)
{
    if (bar < kTankDanger)
        return Danger;
    return bar < kTankWarning ? Warning : Normal;
}

QColor tankColour(Level level)
{
    switch (level) {
    case Danger:
        return Qt::red;
    case Warning:
        return QColor(255, 170, 0);
    default:
        return Qt::darkGreen;
    }
}

QColor yoyoColour(int level)
{
    switch (level) {
    case 0:
        return QColor(0, 160, 0);
    case 1:
        return Qt::blue;
    case 2:
        return QColor(255, 170, 0);
    default:
        return Qt::red;
    }
}

QPen pen(const QColor& colour, qreal width, Qt::PenStyle style)
{
    return QPen(colour, width, style, Qt::SquareCap, Qt::BevelJoin);
}

} // namespace profilestyle
