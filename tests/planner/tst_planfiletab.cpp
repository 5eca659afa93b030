// Saving and loading plans through the planning tab's buttons, the file
// dialogs answered from a script.

#include "testenvironment.h"

#include "diveprofiles.h"
#include "planfilekit.h"
#include "planningtabkit.h"
#include "planningtabwidgets.h"
#include "promptrecorder.h"
#include "widgetgrab.h"

#include "graphics/graphview.h"
#include "graphics/tissuesgraph.h"

#include <QComboBox>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimeEdit>
#include <QtTest>

using namespace planningtabkit;

namespace {

// A file dialog as a text: its kind, title, start folder and filter.
QString fileDialog(const char* kind, const char* title, const QString& folder)
{
    return QStringList{QLatin1String(kind), QLatin1String(title), folder, QStringLiteral("Dive plan file (*.diveplan)")}
        .join('|');
}

QString fileDialog(const testkit::PromptRecord& record)
{
    return QStringList{record.kind, record.title, record.folder, record.filter}.join('|');
}

QString lastPlanFileSetting()
{
    QSettings settings(dataFolder() + QStringLiteral("/settings.cfg"), QSettings::IniFormat);
    return settings.value(QStringLiteral("directories/lastPlanFile")).toString();
}

// What the tab shows, as a text: the dive table, the settings, the points,
// the run table and the shown dive, with the plan behind them.
QString tabState(MainWindow& window)
{
    QStringList parts{planfilekit::fingerprint(window.plan())};
    for (int row = 0; row < PlanificationPlan::slotCount; ++row) {
        const QPushButton* effort = effortButton(window, row);
        parts.append(QStringLiteral("row %1: %2 effort %3").arg(row).arg(diveName(window, row)).arg(
            effort ? QString::number(effort->isChecked()) : QStringLiteral("-")));
    }
    const auto* interval = child<QTimeEdit>(window, "edSurfaceInterval");
    parts.append(QStringLiteral("pressure %1 water %2 interval %3 %4")
                     .arg(child<QSpinBox>(window, "spSurfPressure")->value())
                     .arg(child<QComboBox>(window, "cbWaterType")->currentIndex())
                     .arg(interval->time().toString())
                     .arg(interval->isEnabled()));
    parts.append(QStringLiteral("points %1").arg(child<QTableView>(window, "tblViewlDivePoints")->model()->rowCount()));
    parts.append(child<QTextEdit>(window, "runtime")->toHtml());
    parts.append(QStringLiteral("shown %1").arg(window.planningView()->getDiveProfile() ==
                                                window.plan().currentDiveProfile()));
    return parts.join('\n');
}

} // namespace

class PlanFileTabTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(mFiles.isValid()); }

    void init()
    {
        freshDataFolder();
        mPrompts.clear();
    }

    void saveRemembersTheFolder()
    {
        MainWindow window;
        window.show();
        window.settings().setLastPlanFile(mFiles.path());
        click(window, "btAddDive");
        click(window, "btAddDive");
        QVERIFY(QDir(mFiles.path()).mkpath(QStringLiteral("plans")));
        const QString path = mFiles.filePath(QStringLiteral("plans/two.diveplan"));
        mPrompts.answer(path);
        click(window, "btSaveSimulation");

        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(fileDialog(mPrompts.records().first()), fileDialog("saveFile", "Save Plan", mFiles.path()));
        QCOMPARE(lastPlanFileSetting(), mFiles.filePath(QStringLiteral("plans")));
        QCOMPARE(QFileInfo(path).size(), qint64(304));
    }

    void failedSave()
    {
        MainWindow window;
        window.show();
        click(window, "btAddDive");
        QVERIFY(QDir(mFiles.path()).mkpath(QStringLiteral("taken.diveplan")));
        mPrompts.answer(mFiles.filePath(QStringLiteral("taken.diveplan")));
        click(window, "btSaveSimulation");
        QCOMPARE(mPrompts.records().size(), 2);
        QCOMPARE(mPrompts.records().last().kind, QStringLiteral("critical"));
        QCOMPARE(mPrompts.records().last().title, QStringLiteral("Error"));
        QCOMPARE(mPrompts.records().last().text, QStringLiteral("Impossible to save plan\nIt is a folder, not a file"));
        QVERIFY(QFileInfo(mFiles.filePath(QStringLiteral("taken.diveplan"))).isDir());
    }

    // The first dive of the file is shown and computed with the file's
    // effort flag and surface pressure, over the three dives there were.
    void loadShowsTheFirstDive()
    {
        const QString path = mFiles.filePath(QStringLiteral("effort.diveplan"));
        {
            plantest::RecordedPlan plan;
            plantest::addDive(plan, plantest::decoPoints());
            plantest::addDive(plan, plantest::decoPoints());
            plan.plannedDive(0)->effortMode = 1;
            plan.plannedDive(0)->surfacePressureBar = 0.9f;
            plan.plannedDive(0)->waterType = 1;
            plan.plannedDive(1)->surfaceInterval = 5400;
            QVERIFY(plan.savePlan(path));
        }
        MainWindow window;
        QVERIFY(showPlanningTab(window, QSize(1400, 800)));
        window.settings().setLastPlanFile(mFiles.path());
        for (int i = 0; i < 3; ++i)
            click(window, "btAddDive");

        mPrompts.answer(path);
        click(window, "btLoadSimulation");
        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(fileDialog(mPrompts.records().first()), fileDialog("openFile", "Load plan", mFiles.path()));

        QCOMPARE(window.plan().current, 0);
        QCOMPARE(diveName(window, 0), QStringLiteral("Dive 1"));
        QCOMPARE(diveName(window, 1), QStringLiteral("Dive 2"));
        QCOMPARE(diveName(window, 2), QString());
        QVERIFY(effortButton(window, 0)->isChecked());
        QVERIFY(effortButton(window, 0)->isEnabled());
        QVERIFY(showsIcon(effortButton(window, 0), QStringLiteral(":/TestGraphics/icons/effortOn.png")));
        QVERIFY(!effortButton(window, 1)->isChecked());
        QVERIFY(!effortButton(window, 2));
        QVERIFY(window.planningView()->mProfile->mEffortMode);
        QCOMPARE(child<QSpinBox>(window, "spSurfPressure")->value(), 900);
        QCOMPARE(child<QComboBox>(window, "cbWaterType")->currentIndex(), 1);
        QVERIFY(!child<QWidget>(window, "edSurfaceInterval")->isEnabled());
        for (const char* control : {"spSurfPressure", "cbWaterType", "cbGases", "btNewReplace"})
            QVERIFY2(child<QWidget>(window, control)->isEnabled(), control);
        QCOMPARE(window.planningView()->getDiveProfile(), window.plan().currentDiveProfile());
        QCOMPARE(child<QTableView>(window, "tblViewlDivePoints")->model()->rowCount(), 3);
        QVERIFY(child<QTextEdit>(window, "runtime")->toPlainText().contains(QStringLiteral("CNS")));
        QCOMPARE(window.tissuesGraph()->values()[0], window.plan().currentPlannedDive()->tissues.N2[0]);
        // Loading does not move the start folder.
        QCOMPARE(lastPlanFileSetting(), mFiles.path());
        // The button of the third row, gone, is deleted once the loop runs.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(testkit::grabToPng(window, QDir::current().absoluteFilePath("planfileloaded.png")));

        chooseDive(window, 1);
        QCOMPARE(child<QTimeEdit>(window, "edSurfaceInterval")->time(), QTime(1, 30));
        QCOMPARE(child<QSpinBox>(window, "spSurfPressure")->value(), 1013);
    }

    // A plan of no dives leaves the tab as New does.
    void loadAnEmptyPlan()
    {
        const QString path = mFiles.filePath(QStringLiteral("empty.diveplan"));
        testkit::writeTestFile(path, QByteArray(4, '\0'));
        MainWindow window;
        window.show();
        click(window, "btAddDive");
        mPrompts.answer(path);
        click(window, "btLoadSimulation");
        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(window.plan().current, -1);
        QCOMPARE(startStateProblem(window), QString());
        click(window, "btAddDive");
        QCOMPARE(diveName(window, 0), QStringLiteral("Dive 1"));
    }

    void cancelledDialogs()
    {
        MainWindow window;
        window.show();
        click(window, "btAddDive");
        click(window, "btAddDive");
        const QString before = tabState(window);
        click(window, "btSaveSimulation");
        click(window, "btLoadSimulation");
        QCOMPARE(mPrompts.records().size(), 2);
        QCOMPARE(mPrompts.records().at(0).kind, QStringLiteral("saveFile"));
        QCOMPARE(mPrompts.records().at(1).kind, QStringLiteral("openFile"));
        QCOMPARE(tabState(window), before);
        QCOMPARE(lastPlanFileSetting(), QString());
    }

    void refusedLoad()
    {
        const QString path = mFiles.filePath(QStringLiteral("four.diveplan"));
        QByteArray four(454, '\0');
        four[0] = 4;
        testkit::writeTestFile(path, four);
        MainWindow window;
        window.show();
        click(window, "btAddDive");
        click(window, "btAddDive");
        effortButton(window, 1)->click();
        child<QSpinBox>(window, "spSurfPressure")->setValue(950);
        const QString before = tabState(window);

        mPrompts.answer(path);
        click(window, "btLoadSimulation");
        QCOMPARE(mPrompts.records().size(), 2);
        QCOMPARE(mPrompts.records().last().kind, QStringLiteral("critical"));
        QCOMPARE(mPrompts.records().last().title, QStringLiteral("Error"));
        QCOMPARE(mPrompts.records().last().text,
                 QStringLiteral("Impossible to load plan\nThe file counts 4 dives; a plan holds 0 to 3"));
        QCOMPARE(tabState(window), before);
    }

private:
    QTemporaryDir mFiles;
    testkit::PromptRecorder mPrompts;
};

MAREVANE_TEST_MAIN(PlanFileTabTest)
#include "tst_planfiletab.moc"
