#include "testenvironment.h"

#include "diveprofiles.h"
#include "planningtabkit.h"
#include "planningtabwidgets.h"
#include "promptrecorder.h"

#include "graphics/graphview.h"
#include "planner/planneddive.h"

#include <QComboBox>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTextEdit>
#include <QtTest>

using namespace planningtabkit;

namespace {

const PlannedDive* currentDive(MainWindow& window)
{
    return window.plan().currentPlannedDive();
}

// The window with the planning tab shown, as a person sees it.
bool showPlanningTab(MainWindow& window)
{
    window.resize(1400, 800);
    child<QTabWidget>(window, "tabMain")->setCurrentIndex(1);
    window.show();
    return QTest::qWaitForWindowExposed(&window);
}

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
        QVERIFY(showPlanningTab(window));
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

private:
    testkit::PromptRecorder mPrompts;
};

MAREVANE_TEST_MAIN(PlannerFiguresTest)
#include "tst_plannerfigures.moc"
