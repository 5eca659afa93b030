#include "divemodel/divelinesio.h"

#include "divemodel/binaryfile.h"
#include "divemodel/csvfile.h"
#include "divemodel/dive.h"
#include "divemodel/planificator.h"
#include "divemodel/uddffile.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cmath>
#include <limits>
#include <tuple>

bool DiveLinesIO::read(QDataStream&, Dive&)
{
    return false;
}

bool DiveLinesIO::write(QDataStream&, Dive&)
{
    return false;
}

bool DiveLinesIO::samplesWithinLimits(const QList<DiveLine>& lines)
{
    constexpr double longestTime = std::numeric_limits<int>::max(); // s
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const DiveLine& line = lines.at(i);
        for (const auto& [name, value, largest] : {std::tuple("timeSec", line.timeSec, longestTime),
                                                   std::tuple("depth", line.depth, kDeepestSea),
                                                   std::tuple("decoCeiling", line.decoCeiling, kDeepestSea)}) {
            if (!(std::abs(value) <= largest)) {
                setErrorString(QCoreApplication::translate("DiveLinesIO", "Sample %1: the %2 %3 is out of range.")
                                   .arg(i + 1)
                                   .arg(QLatin1String(name))
                                   .arg(value));
                return false;
            }
        }
    }
    return true;
}

DiveFormat DiveLinesIO::getDiveFormatOfFile(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("csv"))
        return DiveFormat::Csv;
    if (suffix == QLatin1String("uddf"))
        return DiveFormat::Uddf;
    if (suffix == QLatin1String("divebin"))
        return DiveFormat::Binary;
    if (suffix == QLatin1String("diveplan"))
        return DiveFormat::Plan;
    return DiveFormat::Unknown;
}

std::unique_ptr<DiveLinesIO> DiveLinesIO::getReader(const QString& path)
{
    switch (getDiveFormatOfFile(path)) {
    case DiveFormat::Csv:
        return std::make_unique<CsvFile>();
    case DiveFormat::Uddf:
        return std::make_unique<UddfFile>();
    case DiveFormat::Binary:
        return std::make_unique<BinaryFile>();
    case DiveFormat::Plan:
        return std::make_unique<Planificator>();
    case DiveFormat::Unknown:
        break;
    }
    return nullptr;
}

std::unique_ptr<DiveLinesIO> DiveLinesIO::getWriter(DiveFormat format)
{
    switch (format) {
    case DiveFormat::Csv:
        return std::make_unique<CsvFile>();
    case DiveFormat::Uddf:
        return std::make_unique<UddfFile>();
    case DiveFormat::Plan:
        return std::make_unique<Planificator>();
    case DiveFormat::Binary:
    case DiveFormat::Unknown:
        break;
    }
    return nullptr;
}

std::unique_ptr<DiveLinesIO> DiveLinesIO::getWriter(const QString& path)
{
    return getWriter(getDiveFormatOfFile(path));
}
