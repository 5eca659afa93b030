// The dive details of the main window: the information area's panes under
// the profile, the alert lamps, the show boxes, the position read-out (in
// its pane or, while the profile is maximised, in the floating panel) and the
// about box.
#include "mainwindow.h"

#include "common/timetexts.h"
#include "common/wholenumbers.h"
#include "common/widgethelpers.h"
#include "graphics/graphview.h"

#include "aboutbox.h"
#include "alertlamps.h"
#include "applanguagemanager.h"
#include "divetexts.h"
#include "floatinginformation.h"

#include <QDateTime>
#include <QIcon>
#include <QLocale>

namespace {

// The property of each alert lamp that keeps the path of the icon it shows.
constexpr const char* kLampIconProperty = "iconPath";

void setLamp(QPushButton& lamp, int level, bool redAtOne)
{
    const QString icon = alertLampIcon(level, redAtOne);
    lamp.setIcon(QIcon(icon));
    lamp.setProperty(kLampIconProperty, icon);
}

QString diveModeText(int mode)
{
    switch (mode) {
    case 0: return MainWindow::tr("Open Circuit");
    case 1: return MainWindow::tr("Closed Circuit");
    case 4: return MainWindow::tr("Semi Closed Circuit");
    case 5: return MainWindow::tr("Free Dive");
    default: return MainWindow::tr("Unknown");
    }
}

} // namespace

void MainWindow::updateDiveInfos()
{
    showSummary();
    showAlertLamps();
    showUserInformation();
    showComputer();
    showGases();
}

void MainWindow::showSummary()
{
    const Dive& dive = mCurrentDive;
    ui.edDiveName->setText(dive.name);
    ui.edDateTime->setText(
        QLocale::system().toString(QDateTime::fromSecsSinceEpoch(dive.beginTime), QLocale::LongFormat));
    ui.edDuration->setText(formatTimeSecondes(wholeSeconds(dive.maxTime)));
    ui.edMaxDepth->setText(depthText(dive.maxDepth));
    ui.edAverageDepth->setText(depthText(dive.avgDepth));
    ui.edDiveMode->setText(diveModeText(dive.divemode));
    ui.edWaterType->setText(dive.density != 0 ? tr("Fresh") : tr("Salt"));
    ui.edSurfacePressure->setText(QStringLiteral("%1mb").arg(dive.surfacePressure));
    ui.edGFs->setText(QStringLiteral("%1/%2").arg(dive.gfLow).arg(dive.gfHigh));
}

void MainWindow::showAlertLamps()
{
    // The air-integration word of the dive is not shown.
    const AlertLevels levels = alertLevels(mCurrentDive.alertsPelavix);
    setLamp(*ui.alertCeil, levels.ceiling, false);
    setLamp(*ui.alertHighO2, levels.highO2, false);
    setLamp(*ui.alertBattery, levels.battery, true);
    setLamp(*ui.alertDpdt, levels.ascent, false);
    setLamp(*ui.alertAI, levels.ai, true);
}

void MainWindow::showUserInformation()
{
    ui.edPlace->setText(mCurrentDive.place);
    ui.edSite->setText(mCurrentDive.site);
    ui.edBuddy->setText(mCurrentDive.buddy);
    // Filling the fields counts as edits: what they show now is stored.
    userInformationChanged(false);
}

void MainWindow::showComputer()
{
    ui.edComputerName->setText(mCurrentDive.computerName);
    ui.edSampleInterval->setText(QStringLiteral("%1sec").arg(mCurrentDive.samplePeriod));
    ui.edComputerSerial->setText(mCurrentDive.computerSerial);
}

void MainWindow::showGases()
{
    const QList<DiveGas>& gases = mCurrentDive.gases;
    // Every row is written anew: none of the previous dive is left.
    ui.tblGases->setRowCount(int(gases.size()));
    for (int row = 0; row < gases.size(); ++row) {
        const DiveGas& gas = gases.at(row);
        ui.tblGases->setItem(row, 0, new QTableWidgetItem(gas.getName()));
        ui.tblGases->setItem(row, 1, centredTableItem(QString::number(gas.o2Percent())));
        ui.tblGases->setItem(row, 2, centredTableItem(QString::number(gas.hePercent())));
        ui.tblGases->setItem(row, 3, centredTableItem(gasClassText(gas)));
    }
}

const QString& MainWindow::gasClassText(const DiveGas& gas) const
{
    // Any class byte of the older computers marks a closed-circuit gas.
    if (gas.legacyClassByte != 0)
        return mGasClassClosedCircuit;
    return gas.use == divecore::MixtureUse::Bailout ? mGasClassBailOut : mGasClassOpenCircuit;
}

void MainWindow::showItems()
{
    ShowItemsState state;
    state.points = ui.ckPoints->isChecked();
    state.temperature = ui.ckTemperature->isChecked();
    state.deco = ui.ckDeco->isChecked();
    state.alerts = ui.ckAlerts->isChecked();
    state.gases = ui.ckGases->isChecked();
    state.maxDepth = ui.ckMaxDepth->isChecked();
    state.tankPressure = ui.ckTankPressure->isChecked();
    mDiveLogView->showItems(state);
}

void MainWindow::keepInformationAreaLow()
{
    ui.wdInformations->setMaximumHeight(ui.wdInformations->minimumSizeHint().height());
}

bool MainWindow::informationAreaShown() const
{
    // isVisible would be false on a window not shown yet, and the toggle
    // would go the wrong way.
    return !ui.wdInformations->isHidden();
}

void MainWindow::maxMinProfile()
{
    const bool maximise = informationAreaShown();
    ui.wdInformations->setHidden(maximise);
    if (maximise) {
        ui.btMaxMinProfile->setIcon(QIcon(QStringLiteral(":/TestGraphics/icons/minimize.png")));
        ui.btMaxMinProfile->setToolTip(tr("Minimize profile area"));
        showFloatingInformationWhileMaximised();
    } else {
        ui.btMaxMinProfile->setIcon(QIcon(QStringLiteral(":/TestGraphics/icons/maximize.png")));
        ui.btMaxMinProfile->setToolTip(tr("Maximize profile area"));
        mFloatingInformation->hide();
    }
}

void MainWindow::showFloatingInformationWhileMaximised()
{
    // Before the first dive there is nothing to read out.
    if (informationAreaShown() || !mDiveLogView->getDiveProfile())
        return;
    FloatingInformation& panel = *mFloatingInformation;
    // Placed once; afterwards it stays where the user dragged it.
    if (!panel.testAttribute(Qt::WA_Moved))
        panel.move(mDiveLogView->mapToGlobal(QPoint(mDiveLogView->width() - panel.width(), 0)));
    panel.show();
}

void MainWindow::graphViewMouseMove(QPointF pScenePoint, int pTime)
{
    // Before the start of the time axis the pane empties; the panel keeps
    // its last read-out.
    if (pTime < 0) {
        if (informationAreaShown())
            ui.edPositionInformation->clear();
        return;
    }
    const QString html = mDiveLogView->getInfosOnPosition(pScenePoint, pTime);
    if (informationAreaShown())
        ui.edPositionInformation->setHtml(html);
    else if (!html.isEmpty())
        mFloatingInformation->setText(html);
}

void MainWindow::about()
{
    // A new box each time; it frees itself when Ok closes it.
    auto* box = new AboutBox(mServiceConfig, AppLanguageManager::instance()->currentLocale(), this);
    box->show();
}
