#include "divemodel/planificator.h"

#include "divemodel/dive.h"
#include "divemodel/divelimits.h"
#include "divemodel/narrowedfloat.h"

#include <QCoreApplication>
#include <QDataStream>

#include <cmath>
#include <initializer_list>
#include <utility>

namespace {

constexpr quint32 kHeadWord = 0xff000002;
// The low 24 bits of the head word: the layout's version; the top byte is
// not looked at.
constexpr quint32 kVersionMask = 0x00ffffff;
constexpr quint32 kLatestVersion = 2;

bool allFinite(std::initializer_list<double> values)
{
    for (const double value : values) {
        if (!std::isfinite(value))
            return false;
    }
    return true;
}

void writeGas(QDataStream& stream, const DiveGas& gas)
{
    stream << gas.mId << gas.mName << qint8(gas.o2Percent()) << qint8(gas.hePercent()) << double(gas.pO2Max);
}

void writeLine(QDataStream& stream, const DiveLine& line)
{
    stream << line.timeSec << line.depth << line.pressure << line.ambientTemp << line.decoCeiling << line.speed
           << line.otu << line.cns << line.ppO2 << line.gradientFactor << qint16(line.ndl) << qint32(line.gasIndex)
           << qint8(line.alertFlag) << qint8(line.alertFlagTransmitter) << qint8(line.setpointIndex)
           << qint8(line.ccr ? 1 : 0) << qint16(line.battery) << qint16(line.tankPressure) << qint8(line.gfLow)
           << qint8(line.gfHigh);
}

// Reads the field list into a dive of its own; the caller's dive takes it
// only once the whole list has been read.
class FieldListReader
{
public:
    FieldListReader(QDataStream& stream, const Dive& dive)
        : mStream(stream)
        , mDive(dive)
    {
    }

    bool read()
    {
        quint32 head = 0;
        mStream >> head;
        if (!streamOk())
            return false;
        if ((head & kVersionMask) > kLatestVersion) {
            const char* text = QT_TRANSLATE_NOOP(
                "Planificator", "The stream holds a field list of layout %1, which this program does not read.");
            return refuse(QCoreApplication::translate("Planificator", text).arg(head & kVersionMask));
        }
        return readIdentity() && readList(mDive.gases, [this](DiveGas& gas) { return readGas(gas); }) && readSettings()
            && readList(mDive.lines, [this](DiveLine& line) { return readLine(line); });
    }

    Dive& dive() { return mDive; }
    const QString& error() const { return mError; }

private:
    bool refuse(const QString& reason)
    {
        mError = reason;
        return false;
    }

    bool streamOk()
    {
        return mStream.status() == QDataStream::Ok
            || refuse(QCoreApplication::translate("Planificator", "The stream is cut short."));
    }

    bool finite(std::initializer_list<double> values) { return allFinite(values) || refuseNotFinite(); }

    bool refuseNotFinite()
    {
        return refuse(QCoreApplication::translate("Planificator", "The stream holds a number that is not finite."));
    }

    // Replaces the list with the count that the stream gives of elements,
    // each read by `readElement`. The list is never sized from the count:
    // the stream must hold every element.
    template<typename T, typename ReadElement>
    bool readList(QList<T>& list, ReadElement readElement)
    {
        qint32 count = 0;
        mStream >> count;
        if (!streamOk())
            return false;
        if (count < 0)
            return refuse(
                QCoreApplication::translate("Planificator", "The stream holds a negative count (%1).").arg(count));
        list.clear();
        for (qint32 i = 0; i < count; ++i) {
            T element;
            if (!readElement(element))
                return false;
            list.append(element);
        }
        return true;
    }

    bool readIdentity()
    {
        qint64 beginTime = 0;
        qint32 format = 0;
        mStream >> mDive.name >> mDive.computerName >> mDive.computerManufacturer >> mDive.computerSerial >> beginTime
            >> format >> mDive.maxTime >> mDive.maxDepth >> mDive.avgDepth >> mDive.maxTemperature;
        mDive.beginTime = beginTime;
        mDive.format = format;
        return streamOk() && finite({mDive.maxTime, mDive.maxDepth, mDive.avgDepth, mDive.maxTemperature});
    }

    // A new gas (air) takes the maximum oxygen pressure first, then the
    // fractions, within the setters' bounds.
    bool readGas(DiveGas& gas)
    {
        quint8 o2Percent = 0;
        quint8 hePercent = 0;
        double pO2Max = 0.0;
        mStream >> gas.mId >> gas.mName >> o2Percent >> hePercent >> pO2Max;
        if (!streamOk() || !finite({pO2Max}))
            return false;
        const QString mixture = divelimits::mixtureError(gas.mName.isEmpty() ? gas.mId : gas.mName,
                                                         o2Percent / 100.0, hePercent / 100.0);
        if (!mixture.isEmpty())
            return refuse(mixture);
        gas.setPO2Max(narrowedToFloat(pO2Max));
        gas.setFractionO2(o2Percent / 100.0);
        gas.setFractionHe(hePercent / 100.0);
        return true;
    }

    bool readSettings()
    {
        qint32 divemode = 0;
        quint32 alertsQuelm = 0;
        mStream >> divemode >> mDive.samplePeriod >> alertsQuelm >> mDive.gfLow >> mDive.gfHigh;
        mDive.divemode = quint8(divemode & 0xff);
        mDive.alertsQuelm = alertsQuelm;
        return streamOk();
    }

    bool readLine(DiveLine& line)
    {
        qint16 ndl = 0;
        qint32 gasIndex = 0;
        quint8 ccr = 0;
        mStream >> line.timeSec >> line.depth >> line.pressure >> line.ambientTemp >> line.decoCeiling >> line.speed
            >> line.otu >> line.cns >> line.ppO2 >> line.gradientFactor >> ndl >> gasIndex >> line.alertFlag
            >> line.alertFlagTransmitter >> line.setpointIndex >> ccr >> line.battery >> line.tankPressure >> line.gfLow
            >> line.gfHigh;
        line.ndl = ndl;
        line.gasIndex = gasIndex;
        line.ccr = ccr != 0;
        return streamOk() && (line.hasFiniteValues() || refuseNotFinite());
    }

    QDataStream& mStream;
    Dive mDive;
    QString mError;
};

} // namespace

bool Planificator::read(const QString&, Dive&)
{
    return false;
}

bool Planificator::write(const QString&, Dive&)
{
    return false;
}

bool Planificator::read(QDataStream& stream, Dive& dive)
{
    setErrorString(QString());
    FieldListReader reader(stream, dive);
    if (!reader.read()) {
        setErrorString(reader.error());
        return false;
    }
    if (!withinLimits(divelimits::diveError(reader.dive())))
        return false;
    dive = std::move(reader.dive());
    return true;
}

bool Planificator::write(QDataStream& stream, Dive& dive)
{
    stream << kHeadWord << dive.name << dive.computerName << dive.computerManufacturer << dive.computerSerial
           << qint64(dive.beginTime) << qint32(dive.format) << dive.maxTime << dive.maxDepth << dive.avgDepth
           << dive.maxTemperature << qint32(dive.gases.size());
    for (const DiveGas& gas : std::as_const(dive.gases))
        writeGas(stream, gas);
    stream << qint32(dive.divemode) << qint8(dive.samplePeriod) << qint32(dive.alertsQuelm) << qint8(dive.gfLow)
           << qint8(dive.gfHigh) << qint32(dive.lines.size());
    for (const DiveLine& line : std::as_const(dive.lines))
        writeLine(stream, line);
    return stream.status() == QDataStream::Ok;
}
