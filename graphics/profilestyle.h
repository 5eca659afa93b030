#pragma once

#include <QColor>
#include <QPen>

// Colours and pens of the profile drawing.
namespace profilestyle {

// How alarming a piece of curve is; also the order in which the pieces are
// drawn, so that the most alarming colour lies on top.
enum Level : quint8 { Normal = 0, Warning = 1, Danger = 2 };
inline constexpr int kLevelCount = 3;

// A vertical speed in m/min (negative when ascending) against the ascent and
// descent limits.
Level speedLevel(double speed, double ascentLimit, double descentLimit);
QColor speedColour(Level level);

// A tank pressure in bar.
Level tankLevel(double bar);
QColor tankColour(Level level);

QColor yoyoColour(int level);

// A solid pen with square caps and bevel joins.
QPen pen(const QColor& colour, qreal width, Qt::PenStyle style = Qt::SolidLine);

} // namespace profilestyle
