#include "divemodel/divelinesio.h"

#include "divemodel/binaryfile.h"
#include "divemodel/csvfile.h"
#include "divemodel/dive.h"
#include "divemodel/planificator.h"
#include "divemodel/uddffile.h"

#include <QFileInfo>

bool DiveLinesIO::read(QDataStream&, Dive&)
{
    return false;
}

bool DiveLinesIO::write(QDataStream&, Dive&)
{
    return false;
}

bool DiveLinesIO::withinLimits(const QString& limitError)
{
    if (limitError.isEmpty())
        return true;
    setErrorString(limitError);
    return false;
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
