#pragma once

#include "divemodel/dive.h"

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
QList<AlertMark> pelavixAlerts(const Dive& dive);

// The tool tip of an alert: its translated text with the sample's value.
QString alertText(PelavixAlertType type, const DiveLine& line);
const QImage& alertImage(PelavixAlertType type);

// Samples i (from 1) whose gas index is defined and differs from sample i - 1's.
QList<int> gasChanges(const Dive& dive);

// The gas's name and its use, " (Diluent)", " (Bailout)" or " (Open Circuit)".
QString gasToolTip(const Dive& dive, int gasIndex);

} // namespace profilemarks
