#include "testenvironment.h"

#include "planningtabkit.h"
#include "planningtabwidgets.h"

#include <QFile>
#include <QTextEdit>
#include <QtTest>

using namespace planningtabkit;

namespace {

// Drags the point of sample `index` a few seconds and metres either way, one
// mouse move after the other, and lets it go.
void drag(MainWindow& window, int index, int moves)
{
    QWidget* viewport = window.planningView()->viewport();
    const DiveLine start = window.plan().currentDiveProfile()->lines.at(index);
    QPoint to = viewPointOf(window, index);
    QTest::mousePress(viewport, Qt::LeftButton, {}, to);
    for (int move = 0; move < moves; ++move) {
        to = viewPointAt(window, start.timeSec + double(move % 7 - 3), start.depth + 1.5 * double(move % 9 - 4));
        sendToGraph(window, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
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
        QVERIFY(showPlanningTab(window, QSize(1400, 800)));
        if (logged) {
            const int id = storeDive(window, QStringLiteral("Logged"), loggedDivePoints(240, 10.0, 180, 228));
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
