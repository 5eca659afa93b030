#include "testenvironment.h"

#include "divefixtures.h"
#include "diveprofiles.h"
#include "menuclick.h"
#include "planningtabkit.h"
#include "planningtabwidgets.h"
#include "promptrecorder.h"
#include "widgetgrab.h"

#include "graphics/divepoint.h"
#include "graphics/graphview.h"
#include "graphics/tissuesgraph.h"
#include "planner/planneddive.h"

#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimeEdit>
#include <QtTest>

using namespace planningtabkit;

namespace {

QColor rowColour(MainWindow& window, int row)
{
    return child<QTableWidget>(window, "tblDives")->item(row, 1)->background().color();
}

DiveProfileItem* profile(MainWindow& window)
{
    return window.planningView()->mProfile;
}

const PlannedDive* currentDive(MainWindow& window)
{
    return window.plan().currentPlannedDive();
}

QList<QPointF> pointsOf(const Dive& dive)
{
    return testkit::profileOf(dive);
}

// A right click on the point of sample `index`, which opens the point menu.
void rightClickPoint(MainWindow& window, int index)
{
    QWidget* viewport = window.planningView()->viewport();
    const QPoint at = viewPointOf(window, index);
    QTest::mousePress(viewport, Qt::RightButton, {}, at);
    QTest::mouseRelease(viewport, Qt::RightButton, {}, at);
}

// A message on its first line and, on a second one, why.
bool isMessageWithReason(const QString& text, const char* message)
{
    const QStringList lines = text.split('\n');
    return lines.size() == 2 && lines[0] == QLatin1String(message) && !lines[1].isEmpty();
}

// The window with the planning tab shown, as a person sees it; false when
// it does not show.
// The size the tab's tests lay the window out at.
const QSize kWindowSize(1400, 800);

// The default dive with two more points: (0, 0), (60, 20), (263, 20),
// (310, 18.5), (600, 20).
void addMeasuredDive(MainWindow& window)
{
    click(window, "btAddDive");
    profile(window)->addDivePoint(263, 20);
    profile(window)->addDivePoint(310, 18.5);
}

// What the tab shows of a computation: the run table, the tissues and the
// computed ascent the graph draws.
struct ShownComputation
{
    QString runTable;
    std::array<float, TissuesGraph::valueCount> tissues{};
    QList<QPointF> ascent;
};

// What differs between two shown computations; empty when nothing does.
QString difference(const ShownComputation& shown, const ShownComputation& expected)
{
    QStringList differ;
    if (shown.runTable != expected.runTable)
        differ.append(QStringLiteral("the run table"));
    if (shown.tissues != expected.tissues)
        differ.append(QStringLiteral("the tissues"));
    if (shown.ascent != expected.ascent)
        differ.append(QStringLiteral("the computed ascent"));
    return differ.join(QStringLiteral(", "));
}

ShownComputation shownComputation(MainWindow& window)
{
    ShownComputation shown{child<QTextEdit>(window, "runtime")->toHtml(), window.tissuesGraph()->values(), {}};
    for (const DiveLine& line : currentDive(window)->decoLines)
        shown.ascent.append(QPointF(line.timeSec, line.depth));
    return shown;
}

// The three-dive plan with point `index` of the third dive at (time, depth),
// computed from scratch in a window of its own: what that window shows.
ShownComputation computedFromScratch(int index, const QPointF& timeDepth)
{
    MainWindow window;
    window.resize(1400, 800);
    QList<DiveLine> moved = threediveplan::multilevelPoints();
    moved[index].timeSec = timeDepth.x();
    moved[index].depth = timeDepth.y();
    const int id = storeDive(window, QStringLiteral("Multilevel"), threediveplan::multilevelPoints());
    const int movedId = storeDive(window, QStringLiteral("Moved"), moved);
    for (const int dive : {id, id, movedId})
        window.addPlanificationFromExistingDBDive(diveListItem(window, dive), false);
    return shownComputation(window);
}

// The point of the three-dive plan's third dive that the coalescing tests
// drag, apart from its neighbours on the graph, and the positions of a burst
// of moves up and later.
constexpr int kDragged = 2;

QList<QPointF> burstOfMoves()
{
    const DiveLine start = threediveplan::multilevelPoints().at(kDragged);
    QList<QPointF> moves;
    for (int step = 1; step <= 6; ++step)
        moves.append(QPointF(start.timeSec + 15.0 * step, start.depth - 0.5 * step));
    return moves;
}

// The burst of moves as a drag of the point, sent one after the other with
// nothing in between; the viewport point of the last move.
QPoint dragThroughBurst(MainWindow& window)
{
    pressOnPoint(window, kDragged);
    QPoint at;
    for (const QPointF& move : burstOfMoves()) {
        at = viewPointAt(window, move.x(), move.y());
        sendToGraph(window, QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
    }
    return at;
}

} // namespace

class PlanningTabTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(mFiles.isValid());
        mReadable = testkit::writeTestFile(mFiles.filePath("lake.csv"),
                                           testkit::csvImportText(testkit::diveLines({{0, 0}, {90, 12}, {900, 12}})));
        mUnreadable = testkit::writeTestFile(mFiles.filePath("broken.csv"), QByteArray("12\tabc\n\x01\x02"));
    }

    void init()
    {
        freshDataFolder();
        mPrompts.clear();
    }

    void cleanup() { testkit::closeShownMenus(); }

    // The tab with the three-dive plan, for a person to look at.
    void threeDivePlanPicture()
    {
        MainWindow window;
        window.resize(1600, 900);
        child<QTabWidget>(window, "tabMain")->setCurrentIndex(1);
        fillThreeDivePlan(window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.plan().current, 2);
        QVERIFY(child<QTextEdit>(window, "runtime")->toPlainText().contains(QStringLiteral("CNS")));
        QVERIFY(testkit::grabToPng(window, QDir::current().absoluteFilePath("planningtab.png")));
    }

    void fourAdds()
    {
        MainWindow window;
        window.show();
        for (int i = 0; i < 4; ++i)
            click(window, "btAddDive");
        QCOMPARE(diveName(window, 0), QStringLiteral("Dive 1"));
        QCOMPARE(diveName(window, 1), QStringLiteral("Dive 2"));
        QCOMPARE(diveName(window, 2), QStringLiteral("Dive 3"));
        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(mPrompts.records().first().kind, QStringLiteral("critical"));
        QCOMPARE(mPrompts.records().first().title, QStringLiteral("Error"));
        QCOMPARE(mPrompts.records().first().text, QStringLiteral("No free location fro a new dive"));
        QCOMPARE(window.plan().current, 2);
        for (const char* control : {"spSurfPressure", "cbWaterType", "cbGases", "edSurfaceInterval", "btNewReplace"})
            QVERIFY2(child<QWidget>(window, control)->isEnabled(), control);
        QCOMPARE(child<QTimeEdit>(window, "edSurfaceInterval")->time(), QTime(2, 0));
        QCOMPARE(window.planningView()->getDiveProfile(), window.plan().currentDiveProfile());
        QVERIFY(child<QTextEdit>(window, "runtime")->toPlainText().contains(QStringLiteral("OTU")));
        QCOMPARE(child<QTableView>(window, "tblViewlDivePoints")->model()->rowCount(), 3);
    }

    // Row colours and effort buttons follow the dive of each row, through
    // switches and removals.
    void effortAndColoursAfterRemovals()
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        for (int i = 0; i < 3; ++i)
            click(window, "btAddDive");
        chooseDive(window, 1);
        QCOMPARE(window.plan().current, 1);
        QVERIFY(effortButton(window, 1)->isEnabled());
        QVERIFY(!effortButton(window, 2)->isEnabled());
        QTest::mouseClick(effortButton(window, 1), Qt::LeftButton);
        QCOMPARE(currentDive(window)->effortMode, 1);
        QVERIFY(profile(window)->mEffortMode);
        QVERIFY(showsIcon(effortButton(window, 1), ":/TestGraphics/icons/effortOn.png"));

        chooseDive(window, 0);
        QVERIFY(!profile(window)->mEffortMode);
        QVERIFY(effortButton(window, 1)->isChecked());
        QCOMPARE(rowColour(window, 0), QColor(0, 255, 0));
        QCOMPARE(rowColour(window, 1), QColor(Qt::white));

        // The second dive goes: the third takes its row, without effort.
        chooseDive(window, 1);
        QVERIFY(profile(window)->mEffortMode);
        click(window, "btRemoveDive");
        QCOMPARE(window.plan().current, 1);
        QCOMPARE(diveName(window, 1), QStringLiteral("Dive 3"));
        QVERIFY(!effortButton(window, 1)->isChecked());
        QVERIFY(showsIcon(effortButton(window, 1), ":/TestGraphics/icons/effort.png"));
        QVERIFY(effortButton(window, 1)->isEnabled());
        QVERIFY(!effortButton(window, 2));
        QCOMPARE(diveName(window, 2), QString());
        QCOMPARE(rowColour(window, 0), QColor(Qt::white));
        QCOMPARE(rowColour(window, 1), QColor(0, 255, 0));
        QCOMPARE(rowColour(window, 2), QColor(Qt::white));
        QVERIFY(!profile(window)->mEffortMode);

        // Double-clicking an empty row changes nothing.
        chooseDive(window, 2);
        QCOMPARE(window.plan().current, 1);

        click(window, "btRemoveDive");
        click(window, "btRemoveDive");
        QCOMPARE(window.plan().current, -1);
        QVERIFY(!effortButton(window, 0));
        QCOMPARE(window.planningView()->getDiveProfile(), nullptr);
        QVERIFY(!child<QWidget>(window, "spSurfPressure")->isEnabled());
        QVERIFY(child<QTextEdit>(window, "runtime")->toPlainText().isEmpty());
    }

    void newThenRemove()
    {
        MainWindow window;
        window.show();
        click(window, "btAddDive");
        click(window, "btAddDive");
        mPrompts.answer(QMessageBox::No);
        click(window, "btNewSimulation");
        QVERIFY(window.plan().currentDiveProfile());

        mPrompts.answer(QMessageBox::Yes);
        click(window, "btNewSimulation");
        QCOMPARE(mPrompts.records().last().title, QStringLiteral("New planification"));
        QCOMPARE(mPrompts.records().last().text, QStringLiteral("Are you sure to create new planification?"));
        QCOMPARE(window.plan().currentDiveProfile(), nullptr);
        QCOMPARE(startStateProblem(window), QString());

        // Nothing is current: removing, the settings and a New do nothing.
        mPrompts.clear();
        click(window, "btRemoveDive");
        child<QSpinBox>(window, "spSurfPressure")->setValue(900);
        click(window, "btNewSimulation");
        QVERIFY(mPrompts.records().isEmpty());
        QCOMPARE(window.plan().findFirstFreeIndex(), 0);

        click(window, "btAddDive");
        QCOMPARE(window.plan().current, 0);
        QCOMPARE(diveName(window, 0), QStringLiteral("Dive 1"));
        QCOMPARE(currentDive(window)->surfacePressureBar, 1.013f);
    }

    void replaceByDefaultDive()
    {
        MainWindow window;
        window.show();
        addMeasuredDive(window);
        QCOMPARE(currentDive(window)->lines.size(), 5);
        mPrompts.answer(QMessageBox::Yes);
        click(window, "btNewReplace");
        QCOMPARE(mPrompts.records().last().title, QStringLiteral("Replace dive"));
        QCOMPARE(pointsOf(*currentDive(window)), (QList<QPointF>{{0, 0}, {60, 20}, {600, 20}}));
        QCOMPARE(child<QTableView>(window, "tblViewlDivePoints")->model()->rowCount(), 3);
    }

    // A switch shows each dive's own settings, 1012 mbar included.
    void settingsFollowTheDive()
    {
        MainWindow window;
        window.show();
        click(window, "btAddDive");
        click(window, "btAddDive");
        auto* pressure = child<QSpinBox>(window, "spSurfPressure");
        pressure->setValue(1012);
        child<QComboBox>(window, "cbWaterType")->setCurrentIndex(1);
        QCOMPARE(currentDive(window)->waterType, 1);
        child<QTimeEdit>(window, "edSurfaceInterval")->setTime(QTime(3, 30));
        QCOMPARE(currentDive(window)->surfaceInterval, 12600);

        chooseDive(window, 0);
        QCOMPARE(pressure->value(), 1013);
        QCOMPARE(child<QComboBox>(window, "cbWaterType")->currentIndex(), 0);
        QVERIFY(!child<QWidget>(window, "edSurfaceInterval")->isEnabled());
        chooseDive(window, 1);
        QCOMPARE(pressure->value(), 1012);
        QCOMPARE(currentDive(window)->surfacePressureBar, 1.012f);
        QCOMPARE(child<QComboBox>(window, "cbWaterType")->currentIndex(), 1);
        QCOMPARE(child<QTimeEdit>(window, "edSurfaceInterval")->time(), QTime(3, 30));

        // A new dive shows its own values, not the ones shown before it.
        click(window, "btAddDive");
        QCOMPARE(pressure->value(), 1013);
        QCOMPARE(child<QComboBox>(window, "cbWaterType")->currentIndex(), 0);
    }

    void diverTypeEntries()
    {
        MainWindow window;
        auto* gases = child<QComboBox>(window, "cbGases");
        const auto entries = [gases] {
            QStringList texts;
            for (int i = 0; i < gases->count(); ++i)
                texts.append(gases->itemText(i));
            return texts;
        };
        const QStringList all = {"Air", "Nx40", "Air + OxyAR", "Air + OxySR", "CF Oxy"};
        QCOMPARE(entries(), all);
        child<QComboBox>(window, "cbDiverType")->setCurrentIndex(1);
        QCOMPARE(entries(), (QStringList{"Air", "Nx40"}));
        child<QComboBox>(window, "cbDiverType")->setCurrentIndex(0);
        QCOMPARE(entries(), all);
    }

    // The point menu for one, two and three selected points.
    void pointMenu_data()
    {
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<QString>("deleteText");
        QTest::addColumn<bool>("dtr");
        QTest::addColumn<bool>("measure");
        QTest::addColumn<QList<QPointF>>("left");
        QTest::newRow("one") << QList<int>{2} << "Delete this point" << true << false
                             << QList<QPointF>{{0, 0}, {60, 20}, {310, 18.5}, {600, 20}};
        QTest::newRow("two") << QList<int>{2, 3} << "Delete selected points" << false << true
                             << QList<QPointF>{{0, 0}, {60, 20}, {600, 20}};
        QTest::newRow("three") << QList<int>{1, 2, 3} << "Delete selected points" << false << false
                               << QList<QPointF>{{0, 0}, {600, 20}};
    }

    void pointMenu()
    {
        QFETCH(QList<int>, selected);
        QFETCH(QString, deleteText);
        QFETCH(bool, dtr);
        QFETCH(bool, measure);
        QFETCH(QList<QPointF>, left);
        MainWindow window;
        QVERIFY(showPlanningTab(window, kWindowSize));
        addMeasuredDive(window);
        for (const int index : selected)
            profile(window)->getDivePointAtIndex(index)->setSelected(true);
        QCOMPARE(profile(window)->nbSelectedPoints(), selected.size());

        rightClickPoint(window, 2);
        QMenu* menu = testkit::shownMenu();
        QVERIFY(menu);
        const QList<QAction*> actions = menu->actions();
        QCOMPARE(actions.size(), 3);
        QCOMPARE(actions[0]->text(), deleteText);
        QCOMPARE(actions[1]->text(), QStringLiteral("Set start of DTR"));
        QCOMPARE(actions[1]->isEnabled(), dtr);
        QCOMPARE(actions[2]->text(), QStringLiteral("Measure between 2 points"));
        QCOMPARE(actions[2]->isEnabled(), measure);

        QVERIFY(testkit::clickMenuAction(deleteText));
        QCoreApplication::processEvents();
        QCOMPARE(pointsOf(*currentDive(window)), left);
        QCOMPARE(child<QTableView>(window, "tblViewlDivePoints")->model()->rowCount(), left.size());
        QVERIFY(mPrompts.records().isEmpty());
    }

    // A rebuild of the points between opening the menu and choosing from it
    // leaves no point for the menu's delete nor any record for the undo.
    void menuDeleteAfterARebuild_data()
    {
        QTest::addColumn<QString>("rebuild");
        QTest::newRow("a setting changed") << "setting";
        QTest::newRow("another dive shown") << "switch";
        QTest::newRow("the dive removed") << "remove";
        QTest::newRow("the selected points deleted") << "selection";
        QTest::newRow("a new plan") << "new";
    }

    void menuDeleteAfterARebuild()
    {
        QFETCH(QString, rebuild);
        MainWindow window;
        QVERIFY(showPlanningTab(window, kWindowSize));
        click(window, "btAddDive");
        addMeasuredDive(window);
        QVERIFY(!profile(window)->undoList().isEmpty());
        rightClickPoint(window, 3);
        QVERIFY(testkit::shownMenu());
        QCOMPARE(DivePoint::currentPoint, profile(window)->getDivePointAtIndex(3));
        if (rebuild == "setting") {
            child<QSpinBox>(window, "spSurfPressure")->setValue(1000);
        } else if (rebuild == "switch") {
            chooseDive(window, 0);
        } else if (rebuild == "remove") {
            click(window, "btRemoveDive");
        } else if (rebuild == "selection") {
            profile(window)->getDivePointAtIndex(1)->setSelected(true);
            profile(window)->deleteSelectedPoints();
        } else {
            mPrompts.answer(QMessageBox::Yes);
            click(window, "btNewSimulation");
        }
        QCOMPARE(DivePoint::currentPoint, nullptr);
        QVERIFY(profile(window)->undoList().isEmpty());
        const QList<QPointF> before = window.plan().currentDiveProfile()
                                          ? pointsOf(*window.plan().currentDiveProfile())
                                          : QList<QPointF>();
        QVERIFY(testkit::clickMenuAction("Delete this point"));
        QCoreApplication::processEvents();
        if (window.plan().currentDiveProfile())
            QCOMPARE(pointsOf(*window.plan().currentDiveProfile()), before);
        QVERIFY(profile(window)->undoLastPointChange());
    }

    void startOfDtr()
    {
        MainWindow window;
        QVERIFY(showPlanningTab(window, kWindowSize));
        addMeasuredDive(window);
        rightClickPoint(window, 2);
        QVERIFY(testkit::clickMenuAction("Set start of DTR"));
        QCoreApplication::processEvents();
        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(mPrompts.records().first().text, QStringLiteral("Impossible to set start of DTR on planified profile"));
        QCOMPARE(currentDive(window)->dtrStartIndex, -1);

        // A dive from the log is no plan: its DTR start can be set.
        const int id = storeDive(window, QStringLiteral("Logged"), testkit::diveLines({{0, 0}, {60, 20}, {600, 20}}));
        window.addPlanificationFromExistingDBDive(diveListItem(window, id), true);
        QCOMPARE(currentDive(window)->format, qint32(DiveFormat::Plan));
        click(window, "btRemoveDive");
        window.addPlanificationFromExistingDBDive(diveListItem(window, id), false);
        QVERIFY(currentDive(window)->format != qint32(DiveFormat::Plan));
        rightClickPoint(window, 1);
        QVERIFY(testkit::clickMenuAction("Set start of DTR"));
        QCoreApplication::processEvents();
        QCOMPARE(currentDive(window)->dtrStartIndex, 1);
    }

    // Points from the point table: insert after the selected row, remove the
    // selected row's point, delete by icon.
    void pointTableButtons()
    {
        MainWindow window;
        QVERIFY(showPlanningTab(window, kWindowSize));
        click(window, "btAddDive");
        click(window, "btAddDivePoint");
        click(window, "btRemoveDivePoint");
        QCOMPARE(mPrompts.records().size(), 2);
        QCOMPARE(mPrompts.records().at(0).text, QStringLiteral("Select a line after which insert a point"));
        QCOMPARE(mPrompts.records().at(1).text, QStringLiteral("Select the dive point to remove"));

        auto* table = child<QTableView>(window, "tblViewlDivePoints");
        table->selectRow(2);
        click(window, "btAddDivePoint");
        QCOMPARE(pointsOf(*currentDive(window)), (QList<QPointF>{{0, 0}, {60, 20}, {600, 20}, {630, 20}}));
        QCOMPARE(table->model()->rowCount(), 4);
        table->selectRow(1);
        click(window, "btRemoveDivePoint");
        QCOMPARE(pointsOf(*currentDive(window)), (QList<QPointF>{{0, 0}, {600, 20}, {630, 20}}));
        table->selectRow(0);
        click(window, "btRemoveDivePoint");
        QCOMPARE(mPrompts.records().last().text, QStringLiteral("Select the dive point to remove"));
        QCOMPARE(currentDive(window)->lines.size(), 3);
    }

    // The delete icon removes its row's point, the first one too, and never
    // the dive's only point.
    void deleteByIcon()
    {
        MainWindow window;
        QVERIFY(showPlanningTab(window, kWindowSize));
        click(window, "btAddDive");
        auto* table = child<QTableView>(window, "tblViewlDivePoints");
        const auto clickIcon = [table](int row) {
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                              table->visualRect(table->model()->index(row, 0)).center());
        };
        clickIcon(0);
        QCOMPARE(pointsOf(*currentDive(window)), (QList<QPointF>{{60, 20}, {600, 20}}));
        QCOMPARE(table->model()->rowCount(), 2);
        QVERIFY(!(profile(window)->getDivePointAtIndex(0)->flags() & QGraphicsItem::ItemIsMovable));
        // A click beside the icon deletes nothing.
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(table->model()->index(1, 1)).center());
        QCOMPARE(currentDive(window)->lines.size(), 2);
        clickIcon(1);
        QCOMPARE(pointsOf(*currentDive(window)), (QList<QPointF>{{60, 20}}));
        QVERIFY(mPrompts.records().isEmpty());
        clickIcon(0);
        QCOMPARE(pointsOf(*currentDive(window)), (QList<QPointF>{{60, 20}}));
        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(mPrompts.records().first().text, QStringLiteral("A dive keeps at least one point"));
        QVERIFY(child<QTextEdit>(window, "runtime")->toPlainText().contains(QStringLiteral("CNS")));
    }

    // Editing in the point table moves the point and recomputes the dive.
    void tableEdits()
    {
        MainWindow window;
        click(window, "btAddDive");
        auto* table = child<QTableView>(window, "tblViewlDivePoints");
        const QModelIndex time = table->model()->index(2, 2);
        auto* delegate = qobject_cast<SpinBoxDelegate*>(table->itemDelegateForColumn(2));
        QVERIFY(delegate);
        double asked = 30; // before the previous point
        QVERIFY(delegate->timeCallback(2, asked));
        QCOMPARE(asked, 60.0);
        QCOMPARE(currentDive(window)->lines.at(2).timeSec, 60.0);
        QCOMPARE(table->model()->data(time).toString(), QStringLiteral("01:00"));
        double depth = 35;
        delegate->depthCallback(2, depth);
        QCOMPARE(currentDive(window)->lines.at(2).depth, 35.0);
        QCOMPARE(profile(window)->getDivePointAtIndex(2)->mLineInfo.depth, 35.0);
        QVERIFY(child<QTextEdit>(window, "runtime")->toPlainText().contains(QStringLiteral("35m")));
    }

    // A dive edited beyond what the planner computes shows why, once, under
    // its empty run table; edited back, the reason goes.
    void editedBeyondTheLimitsShowsWhy()
    {
        MainWindow window;
        click(window, "btAddDive");
        auto* delegate = qobject_cast<SpinBoxDelegate*>(
            child<QTableView>(window, "tblViewlDivePoints")->itemDelegateForColumn(2));
        QVERIFY(delegate);
        const auto* runtime = child<QTextEdit>(window, "runtime");
        const QString reason = QStringLiteral("The dive is not computed: Point 3 lies deeper than 300 m");

        double depth = 1000;
        delegate->depthCallback(2, depth);
        const QStringList lines = runtime->toPlainText().split('\n');
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QStringLiteral("CNS 0%"));
        QCOMPARE(lines[1].trimmed(), QStringLiteral("OTU 0"));
        QVERIFY2(lines[2].startsWith(reason), qPrintable(lines[2]));

        depth = 20;
        delegate->depthCallback(2, depth);
        QVERIFY(runtime->toPlainText().contains(QStringLiteral("20m")));
        QVERIFY(!runtime->toPlainText().contains(QStringLiteral("not computed")));
    }

    // Dragging a point on the graph refreshes its table row and the run table.
    void dragOnTheGraph()
    {
        MainWindow window;
        QVERIFY(showPlanningTab(window, kWindowSize));
        click(window, "btAddDive");
        const QString before = child<QTextEdit>(window, "runtime")->toHtml();
        GraphView* view = window.planningView();
        const QPoint from = viewPointOf(window, 2);
        const QPoint to = view->mapFromScene(profile(window)->timeDepthToGraphCoordinates(300, 21));
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, to, view->viewport()->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(view->viewport(), &move);
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, to);
        const DiveLine& moved = currentDive(window)->lines.at(2);
        QVERIFY(std::abs(moved.timeSec - 300) < 5);
        QVERIFY(std::abs(moved.depth - 21) < 1);
        QCOMPARE(child<QTableView>(window, "tblViewlDivePoints")->model()->data(
                     child<QTableView>(window, "tblViewlDivePoints")->model()->index(2, 1)),
                 QVariant(moved.depth));
        QVERIFY(child<QTextEdit>(window, "runtime")->toHtml() != before);
        QCOMPARE(profile(window)->undoList().size(), 1);
    }

    // Through a drag, the run table holds what the whole table parsed anew
    // gives: the last position of the drag shown again in an emptied pane.
    void dragKeepsTheRunTableText()
    {
        MainWindow window;
        QVERIFY(showPlanningTab(window, kWindowSize));
        fillThreeDivePlan(window);
        auto* runtime = child<QTextEdit>(window, "runtime");
        const QString before = runtime->toHtml();
        GraphView* view = window.planningView();
        const DiveLine start = currentDive(window)->lines.at(9);
        const QPoint from = viewPointOf(window, 9);
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, from);
        QPoint to;
        for (int step = 0; step < 12; ++step) {
            to = viewPointAt(window, start.timeSec + double(step % 7 - 3), start.depth + 1.5 * double(step % 9 - 4));
            dragMove(window, to);
        }
        const QString dragged = runtime->toHtml();
        QVERIFY(dragged != before);
        runtime->clear();
        dragMove(window, to);
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, to);
        QCOMPARE(dragged, runtime->toHtml());
    }

    // A burst of moves that comes before the event loop: the point follows
    // each at once, the dive is computed once, when the loop comes round, on
    // the last position, and the tab shows what computing that position from
    // scratch shows; the graph draws that computation, though it was painted
    // between the moves and the loop.
    void burstOfMovesComputesTheLastPosition()
    {
        MainWindow window;
        QVERIFY(showPlanningTab(window, kWindowSize));
        fillThreeDivePlan(window);
        QCoreApplication::processEvents();
        const ShownComputation before = shownComputation(window);
        // The run table is written once per computation.
        QSignalSpy computations(child<QTextEdit>(window, "runtime"), &QTextEdit::textChanged);

        pressOnPoint(window, kDragged);
        QPointF reached;
        for (const QPointF& move : burstOfMoves()) {
            sendToGraph(window, QEvent::MouseMove, viewPointAt(window, move.x(), move.y()), Qt::NoButton,
                        Qt::LeftButton);
            const DiveLine& point = currentDive(window)->lines.at(kDragged);
            QVERIFY(QPointF(point.timeSec, point.depth) != reached);
            reached = QPointF(point.timeSec, point.depth);
            QVERIFY2(std::abs(reached.x() - move.x()) < 20 && std::abs(reached.y() - move.y()) < 0.6,
                     qPrintable(QStringLiteral("%1 s %2 m for %3 s %4 m").arg(reached.x()).arg(reached.y()).arg(move.x()).arg(move.y())));
        }
        QCOMPARE(computations.size(), 0);
        QCOMPARE(difference(shownComputation(window), before), QString()); // nothing computed yet
        window.planningView()->viewport()->repaint();
        QCoreApplication::processEvents();
        QCOMPARE(computations.size(), 1);
        const ShownComputation expected = computedFromScratch(kDragged, reached);
        QVERIFY(!difference(before, expected).isEmpty());
        QCOMPARE(difference(shownComputation(window), expected), QString());
        const QImage shown = window.planningView()->viewport()->grab().toImage();
        profile(window)->showItems(profile(window)->shownItems()); // drawn anew from the dive
        QCOMPARE(window.planningView()->viewport()->grab().toImage(), shown);

        sendToGraph(window, QEvent::MouseButtonRelease, viewPointAt(window, reached.x(), reached.y()),
                    Qt::LeftButton, Qt::NoButton);
        QCoreApplication::processEvents();
        QCOMPARE(computations.size(), 1);
    }

    // A release straight after the moves, before the event loop comes round,
    // finds the last position computed.
    void releaseAfterMovesFindsTheLastPositionComputed()
    {
        MainWindow window;
        QVERIFY(showPlanningTab(window, kWindowSize));
        fillThreeDivePlan(window);
        QCoreApplication::processEvents();
        // The run table is written once per computation.
        QSignalSpy computations(child<QTextEdit>(window, "runtime"), &QTextEdit::textChanged);

        const QPoint at = dragThroughBurst(window);
        sendToGraph(window, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(computations.size(), 1);
        const DiveLine& point = currentDive(window)->lines.at(kDragged);
        QCOMPARE(difference(shownComputation(window), computedFromScratch(kDragged, QPointF(point.timeSec, point.depth))),
                 QString());
        QCoreApplication::processEvents();
        QCOMPARE(computations.size(), 1);
    }

    // Another dive chosen before the event loop comes round: the dragged
    // dive keeps the computation of its last position.
    void choosingAnotherDiveAfterMovesKeepsTheLastPositionComputed()
    {
        MainWindow window;
        QVERIFY(showPlanningTab(window, kWindowSize));
        fillThreeDivePlan(window);
        QCoreApplication::processEvents();
        dragThroughBurst(window);
        const DiveLine point = currentDive(window)->lines.at(kDragged);
        chooseDive(window, 0);
        QCOMPARE(window.plan().current, 0);
        QList<QPointF> ascent;
        for (const DiveLine& line : window.plan().plannedDive(2)->decoLines)
            ascent.append(QPointF(line.timeSec, line.depth));
        QCOMPARE(ascent, computedFromScratch(kDragged, QPointF(point.timeSec, point.depth)).ascent);
    }

    void measurement()
    {
        MainWindow window;
        window.show();
        addMeasuredDive(window);
        window.measureBetweenTwoPoints();
        QVERIFY(!window.findChild<QTableWidget*>(QStringLiteral("tblPoints")));
        profile(window)->getDivePointAtIndex(3)->setSelected(true);
        window.measureBetweenTwoPoints();
        QVERIFY(!window.findChild<QTableWidget*>(QStringLiteral("tblPoints")));

        profile(window)->getDivePointAtIndex(2)->setSelected(true);
        window.measureBetweenTwoPoints();
        auto* points = window.findChild<QTableWidget*>(QStringLiteral("tblPoints"));
        auto* values = window.findChild<QTableWidget*>(QStringLiteral("tblValues"));
        QVERIFY(points && values);
        QWidget* measureWindow = points->window();
        QVERIFY(measureWindow->isVisible());
        QCOMPARE(measureWindow->windowTitle(), QStringLiteral("Measure between two points"));
        QCOMPARE(points->item(0, 0)->text(), QStringLiteral("20m"));
        QCOMPARE(points->item(0, 1)->text(), QStringLiteral("04:23"));
        QCOMPARE(points->item(1, 0)->text(), QStringLiteral("18.5m"));
        QCOMPARE(points->item(1, 1)->text(), QStringLiteral("05:10"));
        QCOMPARE(values->item(0, 0)->text(), QStringLiteral("1.5m"));
        QCOMPARE(values->item(1, 0)->text(), QStringLiteral("00:47"));
        QCOMPARE(values->item(2, 0)->text(),
                 QStringLiteral("%1m/mn").arg(DiveAnalysis::averageSpeedOnSegment(*currentDive(window), 2, 3), 0, 'F', 1));

        // The Ok button closes it; the next measurement reuses it.
        QTest::mouseClick(measureWindow->findChild<QPushButton*>(QStringLiteral("pushButton")), Qt::LeftButton);
        QVERIFY(!measureWindow->isVisible());
        profile(window)->getDivePointAtIndex(2)->setSelected(false);
        profile(window)->getDivePointAtIndex(1)->setSelected(true);
        window.measureBetweenTwoPoints();
        QCOMPARE(window.findChildren<QTableWidget*>(QStringLiteral("tblPoints")).size(), 1);
        QVERIFY(measureWindow->isVisible());
        QCOMPARE(points->item(0, 1)->text(), QStringLiteral("01:00"));
        QCOMPARE(values->item(0, 0)->text(), QStringLiteral("1.5m"));
        QCOMPARE(values->item(1, 0)->text(), QStringLiteral("04:10"));
    }

    void positionReadOut()
    {
        MainWindow window;
        QVERIFY(showPlanningTab(window, kWindowSize));
        click(window, "btAddDive");
        GraphView* view = window.planningView();
        const QPoint at = view->mapFromScene(profile(window)->timeDepthToGraphCoordinates(330, 20));
        QTest::mouseMove(view->viewport(), at);
        const QStringList lines = child<QTextEdit>(window, "edInfoPlanif")->toPlainText().split('\n');
        QCOMPARE(lines.size(), 5);
        QVERIFY(lines[0].startsWith(QStringLiteral("Time: 05:")));
        QCOMPARE(lines[1], QStringLiteral("Depth: 20.0m"));
        QCOMPARE(lines[2], QStringLiteral("Speed: 0.0m/mn"));
        QVERIFY(lines[3].startsWith(QStringLiteral("PpO2: ")));
        QVERIFY(lines[4].startsWith(QStringLiteral("Ceil: ")));
        window.graphViewPlanificationMouseMove(QPointF(), -1);
        QVERIFY(child<QTextEdit>(window, "edInfoPlanif")->toPlainText().isEmpty());
    }

    void tissueLoads()
    {
        MainWindow window;
        window.show();
        click(window, "btAddDive");
        click(window, "btAddDive");
        const auto shown = [&window] { return window.tissuesGraph()->values(); };
        QCOMPARE(shown(), std::to_array(currentDive(window)->tissues.N2));
        QTest::mouseClick(child<QRadioButton>(window, "rbStartOfDive"), Qt::LeftButton);
        QCOMPARE(shown(), window.plan().startN2);
        // The second dive starts from the first one's end.
        QCOMPARE(shown(), std::to_array(window.plan().plannedDive(0)->tissues.N2));
        QTest::mouseClick(child<QRadioButton>(window, "rbEndOfDive"), Qt::LeftButton);
        QCOMPARE(shown(), std::to_array(currentDive(window)->tissues.N2));
    }

    // Dives from a file: added, in place of the current one, refused.
    void diveFromFile()
    {
        MainWindow window;
        QSettings(dataFolder() + QStringLiteral("/settings.cfg"), QSettings::IniFormat)
            .setValue(QStringLiteral("directories/lastDiveFile"), mFiles.path());
        window.show();
        const auto fromFile = [&window](bool replace) { window.addPlanificationFromExistingDive(replace); };

        mPrompts.answer(mReadable);
        fromFile(false);
        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(mPrompts.records().first().kind, QStringLiteral("openFile"));
        QCOMPARE(mPrompts.records().first().title, QStringLiteral("Open Dive File"));
        QCOMPARE(mPrompts.records().first().folder, mFiles.path());
        QCOMPARE(pointsOf(*currentDive(window)), (QList<QPointF>{{0, 0}, {90, 12}, {900, 12}}));
        QCOMPARE(currentDive(window)->name, QStringLiteral("lake"));
        QCOMPARE(child<QTableView>(window, "tblViewlDivePoints")->model()->rowCount(), 3);
        QVERIFY(child<QTextEdit>(window, "runtime")->toPlainText().contains(QStringLiteral("12m")));

        // In place of the current dive: its planner settings stay.
        click(window, "btAddDive");
        child<QSpinBox>(window, "spSurfPressure")->setValue(950);
        mPrompts.answer(mReadable);
        fromFile(true);
        QCOMPARE(window.plan().current, 1);
        QCOMPARE(pointsOf(*currentDive(window)), (QList<QPointF>{{0, 0}, {90, 12}, {900, 12}}));
        QCOMPARE(currentDive(window)->surfacePressureBar, 0.95f);
        QCOMPARE(currentDive(window)->surfaceInterval, 7200);

        // Unreadable files change nothing.
        mPrompts.clear();
        mPrompts.answer(mUnreadable);
        fromFile(true);
        QCOMPARE(mPrompts.records().last().kind, QStringLiteral("critical"));
        QCOMPARE(mPrompts.records().last().title, QStringLiteral("Database Error"));
        QVERIFY(isMessageWithReason(mPrompts.records().last().text, "Impossible to read profile"));
        mPrompts.answer(mUnreadable);
        fromFile(false);
        QCOMPARE(mPrompts.records().last().title, QStringLiteral("Error"));
        QVERIFY(isMessageWithReason(mPrompts.records().last().text, "Impossible to load dive file"));
        QCOMPARE(window.plan().current, 1);
        QCOMPARE(window.plan().findFirstFreeIndex(), 2);
        QCOMPARE(pointsOf(*currentDive(window)), (QList<QPointF>{{0, 0}, {90, 12}, {900, 12}}));

        // A full plan.
        click(window, "btAddDive");
        mPrompts.answer(mReadable);
        fromFile(false);
        QCOMPARE(mPrompts.records().last().text, QStringLiteral("No free location for a new dive"));

        // A cancelled dialog changes nothing.
        mPrompts.clear();
        fromFile(false);
        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(QSettings(dataFolder() + QStringLiteral("/settings.cfg"), QSettings::IniFormat)
                     .value(QStringLiteral("directories/lastDiveFile"))
                     .toString(),
                 mFiles.path());
    }

    // The existing-dive button's menu offers the replacement only with a current dive.
    void existingDiveMenu()
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* button = child<QPushButton>(window, "btAddExistingDive");
        bool clicked = false;
        testkit::clickInNextMenu(QStringLiteral("Replace current dive"), &clicked);
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(!clicked);

        mPrompts.answer(mReadable);
        testkit::clickInNextMenu(QStringLiteral("Add dive"), &clicked);
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(clicked);
        QCoreApplication::processEvents();
        QCOMPARE(window.plan().current, 0);

        mPrompts.answer(mReadable);
        testkit::clickInNextMenu(QStringLiteral("Replace current dive"), &clicked);
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(clicked);
        QCoreApplication::processEvents();
        QCOMPARE(mPrompts.records().size(), 2);
        QCOMPARE(window.plan().findFirstFreeIndex(), 1);
    }

    // Dives from the dive list's menu: added, in place of the current one,
    // refused; only while the planning tab is shown.
    void diveFromTheList()
    {
        MainWindow window;
        window.resize(1400, 800);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const int id = storeDive(window, QStringLiteral("Reef"), testkit::diveLines({{0, 0}, {120, 25}, {1500, 25}}));
        auto* list = child<QTableWidget>(window, "diveList");
        const auto menuOnDive = [&window, list, id] {
            child<QTabWidget>(window, "tabMain")->setCurrentIndex(0);
            const QRect row = list->visualItemRect(diveListItem(window, id));
            testkit::requestContextMenu(*list->viewport(), row.center());
            QMenu* menu = testkit::shownMenu();
            QStringList texts;
            for (const QAction* action : menu->actions())
                texts.append(action->text());
            return texts;
        };

        QStringList texts = menuOnDive();
        QVERIFY(texts.contains(QStringLiteral("Add to planification")));
        QVERIFY(!texts.contains(QStringLiteral("Replace current in planification")));
        QVERIFY(testkit::clickMenuAction(QStringLiteral("Add to planification")));
        QCoreApplication::processEvents();
        QCOMPARE(child<QTabWidget>(window, "tabMain")->currentIndex(), 1);
        QCOMPARE(window.plan().current, 0);
        QCOMPARE(currentDive(window)->name, QStringLiteral("Reef"));
        QCOMPARE(pointsOf(*currentDive(window)), (QList<QPointF>{{0, 0}, {120, 25}, {1500, 25}}));
        QVERIFY(child<QTextEdit>(window, "runtime")->toPlainText().contains(QStringLiteral("CNS")));

        click(window, "btAddDive");
        texts = menuOnDive();
        QVERIFY(texts.contains(QStringLiteral("Replace current in planification")));
        QVERIFY(testkit::clickMenuAction(QStringLiteral("Replace current in planification")));
        QCoreApplication::processEvents();
        QCOMPARE(window.plan().current, 1);
        QCOMPARE(currentDive(window)->name, QStringLiteral("Reef"));
        QCOMPARE(currentDive(window)->format, qint32(DiveFormat::Plan));
        QCOMPARE(currentDive(window)->surfaceInterval, 7200);

        click(window, "btAddDive");
        menuOnDive();
        QVERIFY(testkit::clickMenuAction(QStringLiteral("Add to planification")));
        QCoreApplication::processEvents();
        QCOMPARE(mPrompts.records().last().title, QStringLiteral("Error"));
        QCOMPARE(mPrompts.records().last().text, QStringLiteral("No free location for a new dive"));

        // A dive deleted from the database while the list still shows it.
        QTableWidgetItem* item = diveListItem(window, id);
        QVERIFY(DiveDb::instance()->deleteDive(id));
        window.addPlanificationFromExistingDBDive(item, true);
        QCOMPARE(mPrompts.records().last().title, QStringLiteral("Database Error"));
        QVERIFY(isMessageWithReason(mPrompts.records().last().text, "Impossible to read profile"));
        click(window, "btRemoveDive");
        window.addPlanificationFromExistingDBDive(item, false);
        QVERIFY(isMessageWithReason(mPrompts.records().last().text, "Impossible to read profile"));
        QCOMPARE(window.plan().findFirstFreeIndex(), 2);
    }

    // Dives beyond what the plan computes are refused at every entry point,
    // with the reason, and change nothing.
    void divesBeyondThePlan()
    {
        MainWindow window;
        window.show();
        const QString tooDeep = testkit::writeTestFile(
            mFiles.filePath("abyss.csv"), testkit::csvImportText(testkit::diveLines({{0, 0}, {60, 400}, {600, 400}})));
        // The message, and the start of the reason on its second line.
        const auto refusal = [this] {
            const testkit::PromptRecord& record = mPrompts.records().last();
            const QString reason = record.text.section('\n', 1, 1);
            return record.kind + '/' + record.title + '/' + record.text.section('\n', 0, 0) + '/'
                   + reason.left(reason.indexOf(QLatin1String(" than")));
        };
        const QString deep = QStringLiteral("critical/Error/This dive cannot be planned/Point 2 lies deeper");
        const QString late = QStringLiteral("critical/Error/This dive cannot be planned/Point 3 lies more");

        mPrompts.answer(tooDeep);
        window.addPlanificationFromExistingDive(false);
        QCOMPARE(refusal(), deep);
        QCOMPARE(window.plan().findFirstFreeIndex(), 0);

        click(window, "btAddDive");
        mPrompts.answer(tooDeep);
        window.addPlanificationFromExistingDive(true);
        QCOMPARE(refusal(), deep);
        QCOMPARE(pointsOf(*currentDive(window)), (QList<QPointF>{{0, 0}, {60, 20}, {600, 20}}));

        const int id = storeDive(window, QStringLiteral("Endless"), testkit::diveLines({{0, 0}, {60, 10}, {90000, 10}}));
        window.addPlanificationFromExistingDBDive(diveListItem(window, id), false);
        QCOMPARE(refusal(), late);
        QCOMPARE(window.plan().findFirstFreeIndex(), 1);
        window.addPlanificationFromExistingDBDive(diveListItem(window, id), true);
        QCOMPARE(refusal(), late);
        QCOMPARE(pointsOf(*currentDive(window)), (QList<QPointF>{{0, 0}, {60, 20}, {600, 20}}));

        // A point placed beyond it leaves the dive uncomputed, and the run
        // table pane says why.
        mPrompts.clear();
        profile(window)->addDivePoint(90000, 10);
        QVERIFY(mPrompts.records().isEmpty());
        QVERIFY(child<QTextEdit>(window, "runtime")->toPlainText().contains(
            QStringLiteral("Point 4 lies more than 24 hours after the start of the dive")));
    }

    // A dive handed over from the list while another is being written is
    // read once the write has ended.
    void diveFromTheListWaitsForAWrite()
    {
        MainWindow window;
        const int id = storeDive(window, QStringLiteral("Reef"), testkit::diveLines({{0, 0}, {120, 25}, {1500, 25}}));
        bool arrived = false;
        bool plannedMeanwhile = false;
        QMetaObject::invokeMethod(
            &window,
            [&] {
                arrived = true;
                window.addPlanificationFromExistingDBDive(diveListItem(window, id), false);
                plannedMeanwhile = window.plan().currentDiveProfile() != nullptr;
            },
            Qt::QueuedConnection);
        // Long enough for the write to let the event loop run.
        window.storeDive(testkit::makeDive(QStringLiteral("Long"), QStringLiteral("A1"), 5000));
        QVERIFY(arrived);
        QVERIFY(!plannedMeanwhile);
        QCoreApplication::processEvents();
        QCOMPARE(currentDive(window)->name, QStringLiteral("Reef"));
    }

    void noPlanningEntriesWhileTheTabIsHidden()
    {
        freshDataFolder(false);
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const int id = storeDive(window, QStringLiteral("Reef"), testkit::diveLines({{0, 0}, {120, 25}, {1500, 25}}));
        auto* list = child<QTableWidget>(window, "diveList");
        testkit::requestContextMenu(*list->viewport(), list->visualItemRect(diveListItem(window, id)).center());
        QMenu* menu = testkit::shownMenu();
        QVERIFY(menu);
        for (const QAction* action : menu->actions())
            QVERIFY(!action->text().contains(QStringLiteral("planification")));
    }

    // The gradient-factor row, when shown, sets the factors of the computation.
    void gradientFactorRow()
    {
        freshDataFolder(true, true);
        MainWindow window;
        window.show();
        fillThreeDivePlan(window);
        // The second dive has a stop deep enough for the low factor to count.
        chooseDive(window, 1);
        const QString atDefault = child<QTextEdit>(window, "runtime")->toPlainText();
        child<QSpinBox>(window, "spGfLow")->setValue(30);
        QVERIFY(child<QTextEdit>(window, "runtime")->toPlainText() != atDefault);
        child<QSpinBox>(window, "spGfLow")->setValue(80);
        QCOMPARE(child<QTextEdit>(window, "runtime")->toPlainText(), atDefault);
    }

    // What the window handed to the graphics library goes with it.
    void hooksGoWithTheWindow()
    {
        {
            MainWindow window;
            QVERIFY(DivePoint::contextMenu);
            QVERIFY(DiveProfileItem::mLogCallback);
            click(window, "btAddDive");
        }
        QCOMPARE(DivePoint::contextMenu, nullptr);
        QVERIFY(!DiveProfileItem::mLogCallback);
    }

private:
    testkit::PromptRecorder mPrompts;
    QTemporaryDir mFiles;
    QString mReadable;
    QString mUnreadable;
};

MAREVANE_TEST_MAIN(PlanningTabTest)
#include "tst_planningtab.moc"
