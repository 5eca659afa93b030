#include "testenvironment.h"

#include "planningtabkit.h"
#include "planningtabwidgets.h"

#include "graphics/divepoint.h"
#include "graphics/graphview.h"

#include <QFile>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTextEdit>
#include <QtTest>

#include <cmath>

using namespace planningtabkit;

namespace {

// A dive logged every 10 s, down to 30 m with a wavy bottom, on air and then
// on Nx40 from `switchAt` on, whose log ends at `end` samples, in the ascent,
// so that the computation adds its ascent and stops.
QList<DiveLine> loggedDivePoints(int count, int switchAt, int end)
{
    QList<DiveLine> points;
    for (int i = 0; i < end; ++i) {
        DiveLine line;
        line.timeSec = 10.0 * i;
        const double along = double(i) / (count - 1);
        const double envelope = std::min({1.0, along * 20.0, (1.0 - along) * 8.0});
        line.depth = std::round(2.0 * envelope * (27.0 + 3.0 * std::sin(along * 40.0))) / 2.0;
        line.gasIndex = i < switchAt ? 0 : 1;
        points.append(line);
    }
    return points;
}

QPoint viewPointAt(GraphView& view, double timeSec, double depth)
{
    return view.mapFromScene(view.mProfile->timeDepthToGraphCoordinates(timeSec, depth));
}

// Drags the point of sample `index` a few seconds and metres either way, one
// mouse move after the other, and lets it go.
void drag(MainWindow& window, int index, int moves)
{
    GraphView& view = *window.planningView();
    QWidget* viewport = view.viewport();
    const DiveLine start = window.plan().currentDiveProfile()->lines.at(index);
    const QPoint from = view.mapFromScene(view.mProfile->getDivePointAtIndex(index)->scenePos());
    QTest::mousePress(viewport, Qt::LeftButton, {}, from);
    QPoint to = from;
    for (int move = 0; move < moves; ++move) {
        to = viewPointAt(view, start.timeSec + double(move % 7 - 3), start.depth + 1.5 * double(move % 9 - 4));
        QMouseEvent event(QEvent::MouseMove, to, viewport->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &event);
    }
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, to);
    QCoreApplication::processEvents();
}

QString golden(const QString& name)
{
    QFile file(QFINDTESTDATA(QStringLiteral("data/%1").arg(name)));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("no golden file %1").arg(name);
    return QString::fromUtf8(file.readAll());
}

} // namespace

// The run table pane of the real planning tab reads, and looks, as it always
// did after drags: its document is compared with what the tab showed before
// the pane learned to update only what changed.
class RunTablePaneTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { freshDataFolder(); }

    void afterDrags_data()
    {
        QTest::addColumn<bool>("logged");
        QTest::addColumn<QList<int>>("dragged");
        QTest::addColumn<QString>("golden");

        // The three-dive plan: a point of the bottom, then the last point,
        // whose depth moves the stops.
        QTest::newRow("three-dive plan") << false << QList<int>{9, 19} << QStringLiteral("runtable-threedive.html");
        // A logged dive: a point of the bottom, one just before the gas
        // switch, then one of the end.
        QTest::newRow("logged dive") << true << QList<int>{60, 179, 226} << QStringLiteral("runtable-logged.html");
    }

    void afterDrags()
    {
        QFETCH(bool, logged);
        QFETCH(QList<int>, dragged);
        QFETCH(QString, golden);
        MainWindow window;
        window.resize(1400, 800);
        child<QTabWidget>(window, "tabMain")->setCurrentIndex(1);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        if (logged) {
            const int id = storeDive(window, QStringLiteral("Logged"), loggedDivePoints(240, 180, 228));
            window.addPlanificationFromExistingDBDive(diveListItem(window, id), false);
        } else {
            fillThreeDivePlan(window);
        }
        for (int index : dragged)
            drag(window, index, 12);
        QCOMPARE(child<QTextEdit>(window, "runtime")->toHtml(), ::golden(golden));
    }
};

MAREVANE_TEST_MAIN(RunTablePaneTest)
#include "tst_runtablepane.moc"
