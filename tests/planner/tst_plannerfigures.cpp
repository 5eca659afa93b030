#include "testenvironment.h"

#include "diveprofiles.h"
#include "planningtabkit.h"
#include "planningtabwidgets.h"
#include "promptrecorder.h"

#include "graphics/graphview.h"
#include "planner/planlimits.h"
#include "planner/planneddive.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGraphicsPixmapItem>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimeEdit>
#include <QtTest>

using namespace planningtabkit;

namespace {

DiveProfileItem* profile(MainWindow& window)
{
    return window.planningView()->mProfile;
}

const PlannedDive* currentDive(MainWindow& window)
{
    return window.plan().currentPlannedDive();
}

// The window with the planning tab shown, as a person sees it.
// The size the tab's tests lay the window out at.
const QSize kWindowSize(1400, 800);

// Hands a dive of these points to the plan from the dive list.
void planStoredDive(MainWindow& window, const QString& name, const QList<DiveLine>& points)
{
    const int id = storeDive(window, name, points);
    window.addPlanificationFromExistingDBDive(diveListItem(window, id), false);
}

// The depth text of each row of the run table the tab shows, in order.
QStringList runTableDepths(MainWindow& window)
{
    static const QRegularExpression depth(QStringLiteral("(\\S+)m \\|"));
    QStringList depths;
    for (const QString& line : child<QTextEdit>(window, "runtime")->toPlainText().split('\n')) {
        const QRegularExpressionMatch match = depth.match(line);
        if (match.hasMatch())
            depths.append(match.captured(1));
    }
    return depths;
}

// The depth of a profile at a time, between the points around it.
double depthAt(const QList<QPointF>& points, double time)
{
    for (qsizetype i = 1; i < points.size(); ++i) {
        const QPointF& a = points.at(i - 1);
        const QPointF& b = points.at(i);
        if (a.x() <= time && time <= b.x())
            return a.y() + (time - a.x()) / (b.x() - a.x()) * (b.y() - a.y());
    }
    return points.constLast().y();
}

// The number after the label of a read-out line ("Depth: 12.5m" gives 12.5).
double readOutValue(const QString& line)
{
    static const QRegularExpression number(QStringLiteral(": (-?[0-9.]+)"));
    return number.match(line).captured(1).toDouble();
}

// The read-out under the planning graph with the cursor over a time and
// depth of the profile: its lines.
QStringList readOutAt(MainWindow& window, double time, double depth)
{
    GraphView* view = window.planningView();
    const QPoint at = view->mapFromScene(profile(window)->timeDepthToGraphCoordinates(time, depth));
    // From beside it: a cursor already there moves nowhere.
    QTest::mouseMove(view->viewport(), at + QPoint(3, 0));
    QTest::mouseMove(view->viewport(), at);
    return child<QTextEdit>(window, "edInfoPlanif")->toPlainText().split('\n');
}

// Seconds of an "mm:ss" time.
int secondsOf(const QString& clock)
{
    const QStringList parts = clock.split(':');
    return parts.value(0).toInt() * 60 + parts.value(1).toInt();
}

// The oxygen partial pressure of air at a depth of salt water.
double airPpO2(double surfaceBar, double depth)
{
    return 0.21 * (surfaceBar + 1.03 * 9.80665 * depth / 100.0);
}

// The gas icons over the planning graph.
int gasIcons(MainWindow& window)
{
    int count = 0;
    for (const QGraphicsPixmapItem* icon : profile(window)->icons())
        if (icon->isVisible() && icon->toolTip().contains(QStringLiteral("Circuit")))
            ++count;
    return count;
}

// Pixels of the blue the temperature curve is drawn in.
int bluePixels(QWidget& widget)
{
    const QImage image = widget.grab().toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.blue() > 200 && c.red() < 80 && c.green() < 80)
                ++count;
        }
    return count;
}

const char* const kAirUddf = R"(<?xml version="1.0" encoding="UTF-8"?>
<uddf version="3.0.0">
<gasdefinitions>
<mix id="air"><name>Air</name><o2>0.21</o2><n2>0.79</n2><he>0.0</he></mix>
</gasdefinitions>
<profiledata><repetitiongroup id="rg1"><dive id="wreck">
<informationbeforedive><datetime>2024-05-12T10:20:00</datetime></informationbeforedive>
<samples>
<waypoint><depth>0.0</depth><divetime>0</divetime><switchmix ref="air"/></waypoint>
<waypoint><depth>40.0</depth><divetime>120</divetime></waypoint>
<waypoint><depth>40.0</depth><divetime>1500</divetime></waypoint>
<waypoint><depth>0.0</depth><divetime>2700</divetime></waypoint>
</samples>
</dive></repetitiongroup></profiledata>
</uddf>
)";

} // namespace

// The figures the planning tab shows a diver, looked at as a person sees them.
class PlannerFiguresTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        freshDataFolder();
        mPrompts.clear();
    }

    // Every stop of the run table reads as its depth of whole metres, in
    // either water and under any surface pressure the tab offers.
    void stopDepthsReadExactly_data()
    {
        QTest::addColumn<QList<QPointF>>("points");
        QTest::addColumn<int>("water");
        QTest::addColumn<int>("millibar");
        const QList<QPointF> forty = {{0, 0}, {120, 40}, {1500, 40}};
        const QList<QPointF> sixty = {{0, 0}, {180, 60}, {1200, 60}};
        for (const int water : {0, 1}) {
            const char* waterName = water == 0 ? "salt" : "fresh";
            for (const int millibar : {600, 700, 850, 950, 1000, 1013, 1040}) {
                QTest::addRow("40 m, %s, %d mbar", waterName, millibar) << forty << water << millibar;
                QTest::addRow("60 m, %s, %d mbar", waterName, millibar) << sixty << water << millibar;
            }
        }
    }

    void stopDepthsReadExactly()
    {
        QFETCH(QList<QPointF>, points);
        QFETCH(int, water);
        QFETCH(int, millibar);
        MainWindow window;
        QVERIFY(showPlanningTab(window, kWindowSize));
        planStoredDive(window, QStringLiteral("Deep"), testkit::diveLines(points));
        child<QComboBox>(window, "cbWaterType")->setCurrentIndex(water);
        child<QSpinBox>(window, "spSurfPressure")->setValue(millibar);
        QCOMPARE(currentDive(window)->waterType, water);

        const QStringList depths = runTableDepths(window);
        const qsizetype planned = points.size() - 1;
        // The planned rows, then the ascent to the first stop, the stops and
        // the travels between them, then the final ascent to the surface.
        QVERIFY2(depths.size() > planned + 2, qPrintable(depths.join(' ')));
        for (qsizetype i = 0; i < planned; ++i)
            QCOMPARE(depths.at(i), QString::number(points.at(i + 1).y()));
        for (qsizetype i = planned; i + 1 < depths.size(); ++i) {
            const QString& text = depths.at(i);
            bool whole = false;
            const int metres = text.toInt(&whole);
            QVERIFY2(whole && metres > 0 && metres % 3 == 0, qPrintable(depths.join(' ')));
        }
        QCOMPARE(depths.constLast(), QStringLiteral("0"));
    }

    // The read-out gives the depth at the cursor's time on the plan's
    // segments, sloped ones too, and the oxygen pressure of the air the
    // computation breathes there.
    void readOutFollowsTheSegments_data()
    {
        QTest::addColumn<double>("time");
        QTest::newRow("half-way down") << 60.0;
        QTest::newRow("on the bottom") << 500.0;
        QTest::newRow("a third of the way up") << 940.0;
        QTest::newRow("on the shallow level") << 1200.0;
    }

    void readOutFollowsTheSegments()
    {
        QFETCH(double, time);
        const QList<QPointF> points = {{0, 0}, {120, 35}, {900, 35}, {1020, 18.5}, {1500, 18.5}};
        MainWindow window;
        QVERIFY(showPlanningTab(window, kWindowSize));
        planStoredDive(window, QStringLiteral("Steps"), testkit::diveLines(points));
        const QStringList lines = readOutAt(window, time, depthAt(points, time));
        QCOMPARE(lines.size(), 5);
        QVERIFY2(lines[0].startsWith(QStringLiteral("Time: ")), qPrintable(lines[0]));
        const int shown = secondsOf(lines[0].mid(6));
        QVERIFY2(std::abs(shown - time) < 10, qPrintable(lines[0]));
        const double depth = depthAt(points, shown);
        QVERIFY2(std::abs(readOutValue(lines[1]) - depth) <= 0.051, qPrintable(lines[1]));
        QVERIFY2(std::abs(readOutValue(lines[3]) - airPpO2(1.013, depth)) <= 0.0051, qPrintable(lines[3]));
    }

    // A point inserted where the diver changed nothing breathes the gas of
    // the point before it: no gas switch shows.
    void insertedPointsKeepTheGas_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("double-click on the graph") << "double-click";
        QTest::newRow("the table's + button") << "button";
        QTest::newRow("after the last point") << "after";
    }

    void insertedPointsKeepTheGas()
    {
        QFETCH(QString, how);
        MainWindow window;
        QVERIFY(showPlanningTab(window, kWindowSize));
        click(window, "btAddDive");
        QCoreApplication::processEvents();
        QCOMPARE(gasIcons(window), 1);
        if (how == "double-click") {
            GraphView* view = window.planningView();
            const QPoint at = view->mapFromScene(profile(window)->timeDepthToGraphCoordinates(300, 20));
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
        } else if (how == "button") {
            child<QTableView>(window, "tblViewlDivePoints")->selectRow(1);
            click(window, "btAddDivePoint");
        } else {
            profile(window)->addDivePointAfter(2);
        }
        QCOMPARE(currentDive(window)->lines.size(), 4);
        for (const DiveLine& point : currentDive(window)->lines)
            QCOMPARE(point.gasIndex, 0);
        QCoreApplication::processEvents();
        QCOMPARE(gasIcons(window), 1);
    }

    // A dive taken from a file points at the file's own gases, as the same
    // dive from the logbook does.
    void diveFromAFileKeepsItsGases()
    {
        QTemporaryDir files;
        const QString path = testkit::writeTestFile(files.filePath("wreck.uddf"), QByteArray(kAirUddf));
        MainWindow window;
        QVERIFY(showPlanningTab(window, kWindowSize));
        mPrompts.answer(path);
        window.addPlanificationFromExistingDive(false);
        const PlannedDive* dive = currentDive(window);
        QVERIFY(dive);
        QCOMPARE(dive->lines.size(), 4);
        for (const DiveLine& point : dive->lines) {
            QVERIFY2(point.gasIndex >= 0 && point.gasIndex < dive->gases.size(), qPrintable(QString::number(point.gasIndex)));
            QCOMPARE(dive->gasAt(point.gasIndex).getName(), QStringLiteral("Air"));
        }
        const QStringList rows = child<QTextEdit>(window, "runtime")->toPlainText().split('\n');
        QVERIFY2(rows.first().trimmed().endsWith(QStringLiteral("| Air")), qPrintable(rows.first()));
        QCoreApplication::processEvents();
        QCOMPARE(gasIcons(window), 1);
    }

    // Planned points carry no temperature: the graph draws no temperature curve.
    void noTemperatureCurveOnAPlan()
    {
        MainWindow window;
        QVERIFY(showPlanningTab(window, kWindowSize));
        click(window, "btAddDive");
        QCOMPARE(bluePixels(*window.planningView()->viewport()), 0);
    }

    // Typed in the point table, a time or a depth keeps the order of the
    // points and the speed limits, as a drag does.
    void tableEditsKeepTheLimits_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<double>("typed");
        QTest::addColumn<QPointF>("kept"); // time, depth
        // The default dive and a point at 15 m ten minutes later.
        QTest::newRow("an ascent typed in no time") << 3 << 2 << 600.0 << QPointF(660, 5);
        QTest::newRow("an ascent typed too fast") << 3 << 2 << 630.0 << QPointF(660, 5);
        QTest::newRow("a time before the previous point") << 2 << 2 << 30.0 << QPointF(60, 20);
        QTest::newRow("a descent typed too deep") << 1 << 1 << 45.0 << QPointF(90, 45);
        QTest::newRow("within the limits") << 3 << 2 << 900.0 << QPointF(900, 5);
    }

    void tableEditsKeepTheLimits()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(double, typed);
        QFETCH(QPointF, kept);
        MainWindow window;
        QVERIFY(showPlanningTab(window, kWindowSize));
        planStoredDive(window, QStringLiteral("Reef"), testkit::diveLines({{0, 0}, {60, 20}, {600, 20}, {1200, 5}}));
        if (column == 2) {
            auto* editor = openEditor<QTimeEdit>(window, row, column);
            QVERIFY(editor);
            editor->setTime(QTime(0, 0).addSecs(int(typed)));
            QCOMPARE(QTime(0, 0).secsTo(editor->time()), int(kept.x()));
        } else {
            auto* editor = openEditor<QDoubleSpinBox>(window, row, column);
            QVERIFY(editor);
            editor->setValue(typed);
        }
        const DiveLine& point = currentDive(window)->lines.at(row);
        QCOMPARE(QPointF(point.timeSec, point.depth), kept);
        auto* table = child<QTableView>(window, "tblViewlDivePoints");
        QCOMPARE(table->model()->data(table->model()->index(row, 2), Qt::EditRole).toDouble(), kept.x());
    }

    // The depth editor reaches as deep as the plan goes, and opening it on
    // a deep point leaves the point where it is.
    void depthEditorReachesThePlanLimit()
    {
        MainWindow window;
        QVERIFY(showPlanningTab(window, kWindowSize));
        planStoredDive(window, QStringLiteral("Abyss"), testkit::diveLines({{0, 0}, {600, 150}, {900, 150}}));
        auto* editor = openEditor<QDoubleSpinBox>(window, 2, 1);
        QVERIFY(editor);
        QCOMPARE(editor->maximum(), planlimits::deepestDepth());
        QCOMPARE(editor->minimum(), 0.0);
        QCOMPARE(editor->value(), 150.0);
        QCOMPARE(currentDive(window)->lines.at(2).depth, 150.0);
    }

    // A depth typed in the table beyond the shown range refits the graph, so
    // that the point stays on it.
    void graphFollowsTheTable()
    {
        MainWindow window;
        QVERIFY(showPlanningTab(window, kWindowSize));
        planStoredDive(window, QStringLiteral("Reef"), testkit::diveLines({{0, 0}, {60, 20}, {600, 20}, {1200, 5}}));
        auto* editor = openEditor<QDoubleSpinBox>(window, 3, 1);
        QVERIFY(editor);
        editor->setValue(45);
        DiveProfileItem* item = profile(window);
        QVERIFY(item->shownMaxDepth() >= 45);
        const QPointF point = item->getDivePointAtIndex(3)->pos();
        QVERIFY2(item->graphRect().contains(point), qPrintable(QStringLiteral("%1 %2").arg(point.x()).arg(point.y())));
    }

    // Every surface pressure the tab offers is the one it computes with.
    void surfacePressureAsShown_data()
    {
        QTest::addColumn<int>("millibar");
        for (const int millibar : {600, 1013, 1049, 1050, 1100, 1200})
            QTest::addRow("%d mbar", millibar) << millibar;
    }

    void surfacePressureAsShown()
    {
        QFETCH(int, millibar);
        MainWindow window;
        QVERIFY(showPlanningTab(window, kWindowSize));
        click(window, "btAddDive");
        auto* pressure = child<QSpinBox>(window, "spSurfPressure");
        pressure->setValue(millibar);
        QCOMPARE(pressure->value(), millibar);
        const QStringList lines = readOutAt(window, 300, 20);
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines[3], QStringLiteral("PpO2: %1").arg(airPpO2(millibar / 1000.0, 20), 0, 'f', 2));
    }

    // A plan of one point under water ascends from it like any other plan.
    void onePointUnderWaterAscends()
    {
        QTemporaryDir files;
        const QString path = testkit::writeTestFile(files.filePath("one.csv"),
                                                    testkit::csvImportText(testkit::diveLines({{60, 30}})));
        MainWindow window;
        QVERIFY(showPlanningTab(window, kWindowSize));
        mPrompts.answer(path);
        window.addPlanificationFromExistingDive(false);
        QVERIFY(currentDive(window));
        QCOMPARE(currentDive(window)->lines.size(), 1);
        const QStringList rows = child<QTextEdit>(window, "runtime")->toPlainText().split('\n');
        QVERIFY2(rows.size() >= 3, qPrintable(rows.join('|')));
        static const QRegularExpression duration(QStringLiteral("m \\|\\s+(\\S+) \\|"));
        const QString first = duration.match(rows.first()).captured(1);
        QVERIFY2(!first.isEmpty() && first != QStringLiteral("00:00"), qPrintable(rows.first()));
        QVERIFY(!currentDive(window)->decoLines.isEmpty());
    }

private:
    testkit::PromptRecorder mPrompts;
};

MAREVANE_TEST_MAIN(PlannerFiguresTest)
#include "tst_plannerfigures.moc"
