#pragma once

#include "divemodel/dive.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QPointF>
#include <QStringList>

namespace testkit {

// A sample at a time (s) and a depth (m), every other field at its default.
inline DiveLine diveLine(double time, double depth)
{
    DiveLine line;
    line.timeSec = time;
    line.depth = depth;
    return line;
}

// A sample with its temperature (°C) and deco ceiling (m, or when negative
// the no-decompression time in minutes) too.
inline DiveLine diveLine(double time, double depth, double temperature, double ceiling)
{
    DiveLine line = diveLine(time, depth);
    line.ambientTemp = temperature;
    line.decoCeiling = ceiling;
    return line;
}

// The samples of a profile given as points of x = time (s), y = depth (m).
inline QList<DiveLine> diveLines(const QList<QPointF>& points)
{
    QList<DiveLine> lines;
    for (const QPointF& point : points)
        lines.append(diveLine(point.x(), point.y()));
    return lines;
}

// The (time, depth) points of a dive's samples: the inverse of diveLines.
inline QList<QPointF> profileOf(const Dive& dive)
{
    QList<QPointF> profile;
    for (const DiveLine& line : dive.lines)
        profile.append(QPointF(line.timeSec, line.depth));
    return profile;
}

// A dive of samples at `period` seconds apart with the given depths.
inline Dive diveOfDepths(const QList<double>& depths, double period = 10.0)
{
    Dive dive;
    for (qsizetype i = 0; i < depths.size(); ++i)
        dive.lines.append(diveLine(double(i) * period, depths.at(i)));
    return dive;
}

// The samples as the TAB-separated CSV import reads them: 20 fields a line,
// of which time, depth and temperature are given.
inline QByteArray csvImportText(const QList<DiveLine>& lines)
{
    QByteArray text;
    for (const DiveLine& line : lines) {
        QStringList fields(20, QStringLiteral("0"));
        fields[0] = QString::number(line.timeSec);
        fields[1] = QString::number(line.depth);
        fields[3] = QString::number(line.ambientTemp);
        text += fields.join(QLatin1Char('\t')).toUtf8() + '\n';
    }
    return text;
}

// Writes a test's file; a test that cannot write its files cannot go on.
inline QString writeTestFile(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

} // namespace testkit
