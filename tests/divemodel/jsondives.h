#pragma once

#include "divemodel/dive.h"

#include <QString>

#include <type_traits>

namespace testkit {

// A gas with whole percentages, as the JSON form keeps it.
inline DiveGas jsonGas(const QString& id, const QString& name, int o2Percent, int hePercent, float pO2Max,
                       quint32 color, int gasClass)
{
    DiveGas gas;
    gas.mId = id;
    gas.mName = name;
    gas.setFractionO2(o2Percent / 100.0);
    gas.setFractionHe(hePercent / 100.0);
    gas.setPO2Max(pO2Max);
    gas.color = color;
    gas.setLegacyGasClass(gasClass);
    return gas;
}

// A sample with every field away from its default and from the other
// samples' values.
inline DiveLine everyFieldLine(int i)
{
    DiveLine line;
    line.timeSec = 10.0 * i + 0.5;
    line.depth = 1.25 + 3.0 * i;
    line.pressure = 1013.25 + i;
    line.speed = -4.5 + i;
    line.ambientTemp = 18.75 - 0.125 * i;
    line.decoCeiling = i % 2 == 1 ? 3.0 + i : 0.0;
    line.ndl = qint16(-5 + 7 * i);
    line.gradientFactor = 0.625 + i;
    line.otu = 0.03125 * (i + 1);
    line.cns = 1.5 + i;
    line.ppO2 = 0.21 + 0.1 * i;
    line.gasIndex = i % 3;
    line.setpointIndex = quint8(1 + i % 2);
    line.ccr = i % 2 == 0;
    line.alertFlag = quint8(0x91 + i);
    line.alertFlagTransmitter = quint8(0x0a + i);
    line.pelavixAlerts = 0x1c00;
    line.pelavixAlerts2 = 0x0203;
    line.battery = quint16(65535 - i);
    line.tankPressure = quint16(198 - i);
    line.tankPressureTxIndex = 2;
    line.gfLow = quint8(30 + i);
    line.gfHigh = quint8(85 - i);
    line.tag = -7 * (i + 1);
    line.isMaxDepth = i == 3;
    return line;
}

// A dive with every field away from its default and each of its kind
// distinct: a 2040 begin time, unsigned words above 2^31, three gases of the
// three classes, a colour with its top bit set, computed lists and marks.
inline Dive everyFieldDive(int samples = 6)
{
    Dive dive;
    dive.diveNumber = 40001;
    dive.computerModel = 2;
    dive.beginTime = 2208988800; // 2040-01-01
    dive.endTime = 2208994205;
    dive.maxDepth = 41.25;
    dive.avgDepth = 18.5;
    dive.samplePeriod = 2;
    dive.sampleCount = 3000000000u;
    dive.divemode = 4;
    dive.ocdivemode = 0;
    dive.surfacePressure = 1021;
    dive.density = 1;
    dive.gfLow = 35;
    dive.gfHigh = 75;
    dive.deepestStop = 12;
    dive.cnsBegin = 7;
    dive.cnsMax = 33;
    dive.ndl = 4000000000u;
    dive.totalDecoTime = 720.5;
    dive.ascentTime = 605.25;
    dive.desatTime = 4100000000u;
    for (int k = 0; k < 16; ++k) {
        dive.diverN2[k] = quint16(1000 + k);
        dive.diverHe[k] = quint16(2000 + k);
    }
    dive.gasEnabled = 0x0fff;
    for (int k = 0; k < 12; ++k) {
        dive.gasPO2[k] = quint8(10 + k);
        dive.gasPHe[k] = quint8(50 + k);
    }
    dive.reservedBlock[0] = 0x42;
    dive.activeGas = 3;
    dive.activeGasSetPoint = 2;
    dive.setpointEnabled = 1;
    dive.setpoint[0] = 70;
    dive.setpoint[1] = 120;
    dive.setpoint[2] = 130;
    dive.alertFlags = 0xfedcba98u;
    dive.alertFlags16 = 0xbeef;
    dive.minTemperature = 11.5;
    dive.maxTemperature = 23.75;
    dive.minTankPressure = 50;
    dive.maxTankPressure = 200;
    dive.pO2Min = 21;
    dive.pO2Max = 160;
    dive.otu = 12.5f;
    dive.iss = 3.25f;
    dive.place = QStringLiteral("Port-Cros");
    dive.buddy = QStringLiteral("Ana");
    dive.site = QStringLiteral("La Gabinière");
    dive.notes = QStringLiteral("Courant fort, \"visi\" 20 m");
    dive.name = QStringLiteral("Épave du Donator");
    dive.computerName = QStringLiteral("Owner");
    dive.computerManufacturer = QStringLiteral("Maker");
    dive.computerSerial = QStringLiteral("SN-0042");
    dive.firmwareVersion = QStringLiteral("2.1.4");
    dive.format = 1;
    for (int i = 0; i < samples; ++i)
        dive.lines.append(everyFieldLine(i));
    dive.decoLines = {everyFieldLine(9)};
    dive.ceilTrackingLines = {everyFieldLine(8)};
    dive.stopLines = {everyFieldLine(7)};
    dive.gases = {jsonGas(QStringLiteral("OC1"), QStringLiteral("Fond"), 32, 0, 1.4f, 0x80ff2010u, 0),
                  jsonGas(QStringLiteral("DIL2"), QString(), 18, 45, 1.3f, 0x00123456u, 1),
                  jsonGas(QStringLiteral("BO3"), QStringLiteral("Secours"), 50, 0, 1.6f, 0u, 2)};
    dive.alertsQuelm = 0xc0000004u;
    dive.alertsPelavix = 0xabcdef;
    dive.alertsAI = 0x5a;
    dive.uploaded = 1;
    dive.maxTime = 5400.5;
    dive.invalidReason = 3;
    dive.dtrStartIndex = 2;
    dive.ceilingPoints = {{10.0f, 3.0f, 0}};
    dive.decoNotTerminated = true;
    dive.yoyoMarks = {{20.0f, 12.0f, 2}};
    dive.diverMode = 1;
    dive.gasSet = 1280;
    return dive;
}

template<typename T>
QString shownValue(const T& value)
{
    if constexpr (std::is_same_v<T, QString>)
        return '"' + value + '"';
    else if constexpr (std::is_floating_point_v<T>)
        return QString::number(value, 'g', 17);
    else
        return QString::number(qint64(value));
}

// Collects the first of the fields it is shown that differ.
class FirstDifference
{
public:
    template<typename T>
    FirstDifference& check(const QString& name, const T& read, const T& expected)
    {
        if (mText.isEmpty() && !(read == expected))
            mText = QStringLiteral("%1: %2 instead of %3").arg(name, shownValue(read), shownValue(expected));
        return *this;
    }

    template<typename T, std::size_t n>
    FirstDifference& checkArray(const QString& name, const T (&read)[n], const T (&expected)[n])
    {
        for (std::size_t k = 0; k < n; ++k)
            check(QStringLiteral("%1[%2]").arg(name).arg(k), read[k], expected[k]);
        return *this;
    }

    const QString& text() const { return mText; }

private:
    QString mText;
};

// The first field of the header object that differs, as a text; empty when
// they agree.
inline QString headerDifference(const DiveHeader& read, const DiveHeader& expected)
{
    FirstDifference d;
    d.check("diveNumber", read.diveNumber, expected.diveNumber)
        .check("computerModel", read.computerModel, expected.computerModel)
        .check("beginTime", read.beginTime, expected.beginTime)
        .check("endTime", read.endTime, expected.endTime)
        .check("maxDepth", read.maxDepth, expected.maxDepth)
        .check("avgDepth", read.avgDepth, expected.avgDepth)
        .check("samplePeriod", read.samplePeriod, expected.samplePeriod)
        .check("sampleCount", read.sampleCount, expected.sampleCount)
        .check("divemode", read.divemode, expected.divemode)
        .check("surfacePressure", read.surfacePressure, expected.surfacePressure)
        .check("density", read.density, expected.density)
        .check("gfLow", read.gfLow, expected.gfLow)
        .check("gfHigh", read.gfHigh, expected.gfHigh)
        .check("deepestStop", read.deepestStop, expected.deepestStop)
        .check("cnsBegin", read.cnsBegin, expected.cnsBegin)
        .check("cnsMax", read.cnsMax, expected.cnsMax)
        .check("ndl", read.ndl, expected.ndl)
        .check("totalDecoTime", read.totalDecoTime, expected.totalDecoTime)
        .check("ascentTime", read.ascentTime, expected.ascentTime)
        .check("desatTime", read.desatTime, expected.desatTime)
        .checkArray("diverN2", read.diverN2, expected.diverN2)
        .checkArray("diverHe", read.diverHe, expected.diverHe)
        .check("gasEnabled", read.gasEnabled, expected.gasEnabled)
        .checkArray("gasPO2", read.gasPO2, expected.gasPO2)
        .checkArray("gasPHe", read.gasPHe, expected.gasPHe)
        .check("activeGas", read.activeGas, expected.activeGas)
        .check("activeGasSetPoint", read.activeGasSetPoint, expected.activeGasSetPoint)
        .check("setpointEnabled", read.setpointEnabled, expected.setpointEnabled)
        .checkArray("setpoint", read.setpoint, expected.setpoint)
        .check("alertFlags", read.alertFlags, expected.alertFlags)
        .check("alertFlags16", read.alertFlags16, expected.alertFlags16)
        .check("minTemperature", read.minTemperature, expected.minTemperature)
        .check("maxTemperature", read.maxTemperature, expected.maxTemperature)
        .check("pO2Min", read.pO2Min, expected.pO2Min)
        .check("pO2Max", read.pO2Max, expected.pO2Max)
        .check("otu", read.otu, expected.otu)
        .check("iss", read.iss, expected.iss)
        .check("buddy", read.buddy, expected.buddy)
        .check("site", read.site, expected.site)
        .check("notes", read.notes, expected.notes);
    return d.text();
}

inline QString lineDifference(const DiveLine& read, const DiveLine& expected)
{
    FirstDifference d;
    d.check("timeSec", read.timeSec, expected.timeSec)
        .check("depth", read.depth, expected.depth)
        .check("pressure", read.pressure, expected.pressure)
        .check("speed", read.speed, expected.speed)
        .check("ambientTemp", read.ambientTemp, expected.ambientTemp)
        .check("decoCeiling", read.decoCeiling, expected.decoCeiling)
        .check("ndl", read.ndl, expected.ndl)
        .check("gradientFactor", read.gradientFactor, expected.gradientFactor)
        .check("otu", read.otu, expected.otu)
        .check("cns", read.cns, expected.cns)
        .check("ppO2", read.ppO2, expected.ppO2)
        .check("gasIndex", read.gasIndex, expected.gasIndex)
        .check("setpointIndex", read.setpointIndex, expected.setpointIndex)
        .check("ccr", read.ccr, expected.ccr)
        .check("alertFlag", read.alertFlag, expected.alertFlag)
        .check("alertFlagTransmitter", read.alertFlagTransmitter, expected.alertFlagTransmitter)
        .check("battery", read.battery, expected.battery)
        .check("tankPressure", read.tankPressure, expected.tankPressure)
        .check("gfLow", read.gfLow, expected.gfLow)
        .check("gfHigh", read.gfHigh, expected.gfHigh)
        .check("tag", read.tag, expected.tag);
    return d.text();
}

// What the gas object keeps: identifier, name, whole percentages, maximum
// oxygen pressure, colour and class.
inline QString gasDifference(const DiveGas& read, const DiveGas& expected)
{
    FirstDifference d;
    d.check("mId", read.mId, expected.mId)
        .check("mName", read.mName, expected.mName)
        .check("o2", read.o2Percent(), expected.o2Percent())
        .check("he", read.hePercent(), expected.hePercent())
        .check("maxPpO2", read.pO2Max, expected.pO2Max)
        .check("color", read.color, expected.color)
        .check("gasClass", read.legacyGasClass(), expected.legacyGasClass());
    return d.text();
}

// The first value the dive's JSON form keeps that differs between the two
// dives, as a text; empty when none does.
inline QString jsonFormDifference(const Dive& read, const Dive& expected)
{
    FirstDifference d;
    d.check("header", headerDifference(read, expected), QString())
        .check("place", read.place, expected.place)
        .check("name", read.name, expected.name)
        .check("computerName", read.computerName, expected.computerName)
        .check("computerManufacturer", read.computerManufacturer, expected.computerManufacturer)
        .check("computerSerial", read.computerSerial, expected.computerSerial)
        .check("firmwareVersion", read.firmwareVersion, expected.firmwareVersion)
        .check("format", read.format, expected.format)
        .check("alertsQuelm", read.alertsQuelm, expected.alertsQuelm)
        .check("alertsPelavix", quint32(read.alertsPelavix), quint32(expected.alertsPelavix))
        .check("alertsAI", read.alertsAI, expected.alertsAI)
        .check("maxTime", read.maxTime, expected.maxTime)
        .check("diverMode", read.diverMode, expected.diverMode)
        .check("gasSet", read.gasSet, expected.gasSet)
        .check("samples", read.lines.size(), expected.lines.size())
        .check("gases", read.gases.size(), expected.gases.size());
    for (qsizetype i = 0; i < read.lines.size() && i < expected.lines.size(); ++i)
        d.check(QStringLiteral("sample %1").arg(i), lineDifference(read.lines.at(i), expected.lines.at(i)), QString());
    for (qsizetype i = 0; i < read.gases.size() && i < expected.gases.size(); ++i)
        d.check(QStringLiteral("gas %1").arg(i), gasDifference(read.gases.at(i), expected.gases.at(i)), QString());
    return d.text();
}

} // namespace testkit
