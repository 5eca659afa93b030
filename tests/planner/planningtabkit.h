#pragma once

#include "appoptions.h"
#include "divedb/divedb.h"
#include "divelisttable.h"
#include "divemodel/diveanalysis.h"
#include "mainwindow.h"
#include "threediveplan.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QTableWidget>

#include <algorithm>
#include <cmath>
#include <limits>

// The planning tab of a real main window, as its tests and its benchmark set
// it up: a data folder of their own and the three-dive plan handed over from
// the dive list.
namespace planningtabkit {

inline QString dataFolder()
{
    return QStandardPaths::standardLocations(QStandardPaths::AppLocalDataLocation).value(0);
}

// An empty data folder whose "options.ini" shows the planning tab, and the
// gradient-factor row with `addOn`.
inline void freshDataFolder(bool planning = true, bool addOn = false)
{
    QDir(dataFolder()).removeRecursively();
    QDir().mkpath(dataFolder());
    QSettings options(dataFolder() + '/' + QLatin1String(AppOptions::kFileName), QSettings::IniFormat);
    options.setValue(QLatin1String(AppOptions::kPlanification), planning ? 1 : 0);
    options.setValue(QLatin1String(AppOptions::kPlanificationAddOn), addOn ? 1 : 0);
    options.sync();
}

// The dive list's row of a stored dive, or null.
inline QTableWidgetItem* diveListItem(MainWindow& window, int id)
{
    return DiveListTable(*window.findChild<QTableWidget*>(QStringLiteral("diveList"))).itemOfDive(id);
}

// Stores a dive of these points in the window's database and lists it; its id.
inline int storeDive(MainWindow& window, const QString& name, const QList<DiveLine>& points)
{
    Dive dive;
    dive.name = name;
    dive.computerSerial = QStringLiteral("P1");
    dive.lines = points;
    DiveAnalysis::calculateMaxTimeDepth(dive);
    DiveDb::instance()->storeDive(dive);
    window.updateDiveList();
    return DiveDb::instance()->getDiveByName(name, DiveDb::storedSerial(dive.computerSerial));
}

// A dive logged every `interval` seconds, down to 30 m with a wavy bottom
// and up again over `count` samples, on air and on Nx40 from sample
// `switchAt` on: the first `end` samples (all of them by default), a log that
// ends in the ascent when `end` is short of `count`.
inline QList<DiveLine> loggedDivePoints(int count, double interval, int switchAt = std::numeric_limits<int>::max(),
                                        int end = -1)
{
    QList<DiveLine> points;
    for (int i = 0; i < (end < 0 ? count : end); ++i) {
        DiveLine line;
        line.timeSec = interval * i;
        const double along = double(i) / (count - 1);
        const double envelope = std::min({1.0, along * 20.0, (1.0 - along) * 8.0});
        line.depth = std::round(2.0 * envelope * (27.0 + 3.0 * std::sin(along * 40.0))) / 2.0;
        line.gasIndex = i < switchAt ? 0 : 1;
        points.append(line);
    }
    return points;
}

// The three-dive plan, each dive handed to the tab from the dive list; the
// third dive is current.
inline void fillThreeDivePlan(MainWindow& window)
{
    const int id = storeDive(window, QStringLiteral("Multilevel"), threediveplan::multilevelPoints());
    for (int slot = 0; slot < PlanificationPlan::slotCount; ++slot)
        window.addPlanificationFromExistingDBDive(diveListItem(window, id), false);
}

} // namespace planningtabkit
