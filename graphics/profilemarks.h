#pragma once

#include "divemodel/dive.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QString>

// The alert and gas marks of a profile, as the painting draws their circles
// and the profile item builds their icons from them.
namespace profilemarks {

// An alert of the Pelavix family's sample `sample`.
struct AlertMark
{
    int sample = 0;
    PelavixAlertType type = PelavixAlertType::FastAscent;
};

// The Pelavix alerts of a dive, sample by sample and, within a sample, in
// the order the profile shows them. Fast ascents and ceiling violations are
// marked on every flagged sample, the other alerts on the first one only.
class PelavixAlertScan
{
public:
    static constexpr int kRowCount = 8;

    // Appends the alerts of sample `sample`; samples come in order from 1.
    void scan(int sample, const DiveLine& line, QList<AlertMark>& marks);

private:
    bool mShown[kRowCount] = {}; // the once-only alerts already marked
};

QList<AlertMark> pelavixAlerts(const Dive& dive);

// The tool tip of an alert: its translated text with the sample's value.
QString alertText(PelavixAlertType type, const DiveLine& line);
const QImage& alertImage(PelavixAlertType type);

// Whether a sample switches to a gas: its gas index is defined and differs from the previous sample's.
inline bool isGasChange(const DiveLine& line, const DiveLine& previous)
{
    return line.gasIndex >= 0 && line.gasIndex != previous.gasIndex;
}

// Samples i (from 1) that switch gas.
QList<int> gasChanges(const Dive& dive);

// The gas's name and its use, " (Diluent)", " (Bailout)" or " (Open Circuit)".
QString gasToolTip(const Dive& dive, int gasIndex);

// A label of the temperature or the tank curve.
struct CurveLabel
{
    QPointF at; // the curve's point it labels
    QString text;
    QColor colour;
};

// Where a curve label reads from its point, up and to the right.
inline constexpr QPointF kCurveLabelOffset(5, -5);

// The labels of the temperature and the tank curve, segment by segment. A
// segment's start gets a label when it lies more than 50 px right of the last
// label of either curve, so that their labels never crowd, and its value
// (the temperature rounded to whole degrees, the tank pressure) differs from
// that curve's last label. Labels that fall outside `visible` are counted but
// not kept.
class CurveLabels
{
public:
    explicit CurveLabels(const QRectF& visible);

    // The start of a segment: its sample and its points on the curves shown
    // (null for a curve not shown).
    void add(const DiveLine& start, const QPointF* temperatureAt, const QPointF* tankAt);
    const QList<CurveLabel>& labels() const { return mLabels; }

private:
    void keep(const QPointF& at, const QString& text, const QColor& colour);

    QRectF mVisible;
    QList<CurveLabel> mLabels;
    double mLastX = -9999;
    double mLastTemperature = -100;
    double mLastTank = -1;
};

} // namespace profilemarks
