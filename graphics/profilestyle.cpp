#include "graphics/profilestyle.h"

namespace profilestyle {

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

QFont arial(int pointSize, int weight)
{
    QFont font(QStringLiteral("Arial"), pointSize);
    font.setWeight(QFont::Weight(weight));
    return font;
}

} // namespace profilestyle
