#include "graphics/profilemarks.h"

#include "graphics/marker.h"
#include "graphics/profilestyle.h"

#include <QCoreApplication>

#include <cmath>
#include <iterator>

namespace profilemarks {

namespace {

struct AlertRow
{
    PelavixAlertType type;
    bool once;
};

// In the order the profile stacks them.
constexpr AlertRow kAlertRows[] = {
    {PelavixAlertType::FastAscent, false}, {PelavixAlertType::Ceiling, false},
    {PelavixAlertType::Hyperoxic, true},   {PelavixAlertType::Hypoxic, true},
    {PelavixAlertType::Narcotic, true},    {PelavixAlertType::Battery, true},
    {PelavixAlertType::Cns, true},         {PelavixAlertType::Density, true},
};

// The texts are marked for translation where they stand.
QString translated(const char* text)
{
    return QCoreApplication::translate("DiveProfileItem", text);
}

static_assert(std::size(kAlertRows) == PelavixAlertScan::kRowCount);

QString number(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

} // namespace

void PelavixAlertScan::scan(int sample, const DiveLine& line, QList<AlertMark>& marks)
{
    if (line.pelavixAlerts == 0)
        return;
    for (size_t row = 0; row < std::size(kAlertRows); ++row) {
        const AlertRow& alert = kAlertRows[row];
        if (line.flagPelavix(alert.type) == 0 || (alert.once && mShown[row]))
            continue;
        mShown[row] = true;
        marks.append({sample, alert.type});
    }
}

QList<AlertMark> pelavixAlerts(const Dive& dive)
{
    QList<AlertMark> marks;
    PelavixAlertScan scan;
    for (int i = 1; i < dive.lines.size(); ++i)
        scan.scan(i, dive.lines.at(i), marks);
    return marks;
}

QString alertText(PelavixAlertType type, const DiveLine& line)
{
    switch (type) {
    case PelavixAlertType::FastAscent:
        return translated(QT_TRANSLATE_NOOP("DiveProfileItem", "Fast ascent: %1m/mn")).arg(number(std::abs(line.speed)));
    case PelavixAlertType::Ceiling:
        return translated(QT_TRANSLATE_NOOP("DiveProfileItem", "Ceiling violation: %1m")).arg(number(line.depth));
    case PelavixAlertType::Hyperoxic:
        return translated(QT_TRANSLATE_NOOP("DiveProfileItem", "Hyperoxic: %1bar")).arg(number(line.ppO2));
    case PelavixAlertType::Hypoxic:
        return translated(QT_TRANSLATE_NOOP("DiveProfileItem", "Hypoxic: %1bar")).arg(number(line.ppO2));
    case PelavixAlertType::Narcotic:
        return translated(QT_TRANSLATE_NOOP("DiveProfileItem", "Narcotic: %1m")).arg(number(line.depth));
    case PelavixAlertType::Battery:
        return translated(QT_TRANSLATE_NOOP("DiveProfileItem", "Battery warning: %1mV")).arg(QString::number(line.battery));
    case PelavixAlertType::Cns:
        return translated(QT_TRANSLATE_NOOP("DiveProfileItem", "CNS warning: %1")).arg(number(line.cns));
    case PelavixAlertType::Density:
        return translated(QT_TRANSLATE_NOOP("DiveProfileItem", "Density warning"));
    }
    return QString();
}

const QImage& alertImage(PelavixAlertType type)
{
    switch (type) {
    case PelavixAlertType::FastAscent:
        return Marker::mMarkAlertRR;
    case PelavixAlertType::Ceiling:
        return Marker::mMarkAlertCeil;
    case PelavixAlertType::Hyperoxic:
        return Marker::mMarkAlertO2Hyperoxic;
    case PelavixAlertType::Hypoxic:
        return Marker::mMarkAlertO2Hypoxic;
    case PelavixAlertType::Narcotic:
        return Marker::mMarkAlertN2;
    case PelavixAlertType::Battery:
        return Marker::mMarkAlertBattery;
    case PelavixAlertType::Cns:
        return Marker::mMarkAlertCNS;
    case PelavixAlertType::Density:
        return Marker::mMarkAlertDensity;
    }
    return Marker::mMarkAlertDensity;
}

QList<int> gasChanges(const Dive& dive)
{
    QList<int> samples;
    for (int i = 1; i < dive.lines.size(); ++i) {
        if (isGasChange(dive.lines.at(i), dive.lines.at(i - 1)))
            samples.append(i);
    }
    return samples;
}

QString gasToolTip(const Dive& dive, int gasIndex)
{
    const DiveGas& gas = dive.gasAt(gasIndex);
    switch (gas.legacyGasClass()) {
    case 1:
        return gas.getName() + translated(QT_TRANSLATE_NOOP("DiveProfileItem", " (Diluent)"));
    case 2:
        return gas.getName() + translated(QT_TRANSLATE_NOOP("DiveProfileItem", " (Bailout)"));
    default:
        return gas.getName() + translated(QT_TRANSLATE_NOOP("DiveProfileItem", " (Open Circuit)"));
    }
}

CurveLabels::CurveLabels(const QRectF& visible)
    : mVisible(visible)
{
}

void CurveLabels::keep(const QPointF& at, const QString& text, const QColor& colour)
{
    if (mVisible.contains(at))
        mLabels.append({at, text, colour});
    mLastX = at.x();
}

void CurveLabels::add(const DiveLine& start, const QPointF* temperatureAt, const QPointF* tankAt)
{
    constexpr double kSpacing = 50.0; // px
    if (temperatureAt && temperatureAt->x() > mLastX + kSpacing) {
        const double rounded = std::round(start.ambientTemp);
        if (rounded != mLastTemperature) {
            keep(*temperatureAt, QStringLiteral("%1°C").arg(rounded), Qt::blue);
            mLastTemperature = rounded;
        }
    }
    if (tankAt && tankAt->x() > mLastX + kSpacing && start.tankPressure != mLastTank) {
        keep(*tankAt, QStringLiteral("%1b").arg(start.tankPressure),
             profilestyle::tankColour(profilestyle::tankLevel(start.tankPressure)));
        mLastTank = start.tankPressure;
    }
}

} // namespace profilemarks
