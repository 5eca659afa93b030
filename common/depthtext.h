#pragma once

#include <QString>

#include <cmath>

// A depth as the planner prints it, in the run table and beside the stops on
// the graph: to the nearest tenth of a metre, without a trailing ".0" ("6",
// "18.5"). A depth worked back from a pressure (5.999999 m) reads as the
// depth it stands for, and the table and the graph always print the same.
inline QString planDepthText(double metres)
{
    if (!std::isfinite(metres))
        return QStringLiteral("0");
    // + 0.0 turns a rounded -0 into 0.
    const double tenths = std::round(metres * 10.0) / 10.0 + 0.0;
    QString text = QString::number(tenths, 'f', 1);
    if (text.endsWith(QLatin1String(".0")))
        text.chop(2);
    return text;
}
