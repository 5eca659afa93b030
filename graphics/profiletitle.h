#pragma once

#include <QList>
#include <QRect>
#include <QSizeF>
#include <QString>

// The one-line title above a profile: the dive's name, then its figures
// ("Profondeur", "DTP" and, on the planning graph, "DTR" and "DTPal"), as
// rich text laid out in the title's font.
namespace profiletitle {

struct Figure
{
    const char* label; // " - DTP : "
    QString value;

    bool operator==(const Figure& other) const
    {
        return QLatin1String(label) == QLatin1String(other.label) && value == other.value;
    }
};

struct Fitted
{
    QString html;
    QSizeF size; // of the line as it is laid out
};

// Where the title is drawn, centred in the item's width.
inline constexpr double kTop = 2.0;

// The title on one line within `room` pixels: the name is elided as far as
// that needs, never the figures.
Fitted fitted(const QString& name, const QList<Figure>& figures, double room);

// Where the effort icon goes: at the top left, or just below the title where
// the centred title line would run under it.
QRect effortIconRect(double itemWidth, const QSizeF& title);

} // namespace profiletitle
