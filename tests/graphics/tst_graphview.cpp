#include "testenvironment.h"

#include "../divemodel/diveprofiles.h"
#include "common/timetexts.h"
#include "graphics/graphview.h"
#include "viewevents.h"

#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGraphicsRectItem>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QUrl>

using testkit::diveLine;

namespace {

// A square dive of 20 minutes at 20 m, one sample a minute.
Dive squareDive()
{
    Dive dive;
    dive.lines.append(diveLine(0, 0));
    for (int minute = 1; minute < 20; ++minute)
        dive.lines.append(diveLine(minute * 60.0, 20));
    dive.lines.append(diveLine(1200, 0));
    return dive;
}

// A view of 800 x 400 showing `dive`, with time ranges allowed.
struct ViewFixture
{
    explicit ViewFixture(Dive* dive)
    {
        view.resize(800, 400);
        view.show();
        view.mSelectTimeRange = true;
        view.setDiveProfile(dive);
    }

    // The viewport point over the graph at a fraction of its width (0 left, 1 right), mid-depth.
    QPoint at(double fraction) const { return viewevents::graphPoint(view, fraction); }
    int timeAt(const QPoint& viewportPoint) const
    {
        return view.mProfile->xpositionToTime(int(view.mapToScene(viewportPoint).x()));
    }
    void mouse(QEvent::Type type, const QPoint& p, Qt::MouseButton button, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        viewevents::mouse(view, type, p, button, buttons, modifiers);
    }
    void drag(const QPoint& from, const QPoint& to, Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
    {
        viewevents::drag(view, from, to, button, modifiers);
    }
    void wheel(const QPoint& p, const QPoint& angleDelta, Qt::KeyboardModifiers modifiers)
    {
        viewevents::wheel(view, p, angleDelta, modifiers);
    }

    GraphView view;
};

QString row(const QString& label, const QString& value, bool shaded)
{
    if (shaded)
        return QStringLiteral("<tr style=\"background-color:#DFF5D8;\"><td width=\"50%\">") + label
            + QStringLiteral("</td> <td>") + value + QStringLiteral("</td></tr>");
    return QStringLiteral("<tr><td>") + label + QStringLiteral("</td> <td>") + value + QStringLiteral("</td></tr>");
}

} // namespace

class TestGraphView : public QObject
{
    Q_OBJECT

private slots:
    void wheelZoomsTimeOrDepth_data();
    void wheelZoomsTimeOrDepth();
    void horizontalWheelOnlyPans();
    void middleDragPans();
    void cursorFollowsAgainAfterAPan();
    void controlReleaseWithoutPressEmitsNoBand();
    void shiftDragSelectsRange_data();
    void shiftDragSelectsRange();
    void otherPressesLeaveTheRange_data();
    void otherPressesLeaveTheRange();
    void shiftReleaseOutsideKeepsTheRange();
    void escapeHidesTheShading();
    void controlDragEmitsItsBand();
    void readOutBetweenSamples();
    void readOutTimesAreDurations_data();
    void readOutTimesAreDurations();
    void readOutShowsTheSelection();
    void readOutFallsBackOnTheAscent();
    void dropEmitsFilesInOrder_data();
    void dropEmitsFilesInOrder();
    void contextMenuAsksTheFiller();
};

void TestGraphView::wheelZoomsTimeOrDepth_data()
{
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("depth");
    QTest::newRow("plain wheel zooms time") << int(Qt::NoModifier) << false;
    QTest::newRow("ctrl wheel zooms depth") << int(Qt::ControlModifier) << true;
}

void TestGraphView::wheelZoomsTimeOrDepth()
{
    QFETCH(int, modifiers);
    QFETCH(bool, depth);
    Dive dive = squareDive();
    ViewFixture f(&dive);
    const double pixelsPerSecond = f.view.mProfile->pixelsPerSecond();
    const double shownDepth = f.view.mProfile->shownMaxDepth();

    // One notch shows 1.2 times more depth, or 1.2 times less time.
    f.wheel(f.at(0.5), QPoint(0, 120), Qt::KeyboardModifiers(modifiers));
    if (depth) {
        QCOMPARE(f.view.mProfile->shownMaxDepth(), 24.0);
        QCOMPARE(f.view.mProfile->pixelsPerSecond(), pixelsPerSecond);
    } else {
        QCOMPARE(f.view.mProfile->shownMaxDepth(), shownDepth);
        QVERIFY(qFuzzyCompare(f.view.mProfile->pixelsPerSecond(), pixelsPerSecond * 1.2));
    }
}

void TestGraphView::horizontalWheelOnlyPans()
{
    Dive dive = squareDive();
    ViewFixture f(&dive);
    const double pixelsPerSecond = f.view.mProfile->pixelsPerSecond();
    const double shownDepth = f.view.mProfile->shownMaxDepth();

    f.wheel(f.at(0.5), QPoint(120, 240), Qt::ControlModifier);

    QVERIFY(qFuzzyCompare(f.view.mProfile->startTime(), 120 / pixelsPerSecond));
    QCOMPARE(f.view.mProfile->pixelsPerSecond(), pixelsPerSecond);
    QCOMPARE(f.view.mProfile->shownMaxDepth(), shownDepth);
}

void TestGraphView::middleDragPans()
{
    Dive dive = squareDive();
    ViewFixture f(&dive);
    const double pixelsPerSecond = f.view.mProfile->pixelsPerSecond();
    QSignalSpy moves(&f.view, &GraphView::mouseMove);
    const QPoint from = f.at(0.5);

    f.mouse(QEvent::MouseButtonPress, from, Qt::MiddleButton, Qt::MiddleButton);
    f.mouse(QEvent::MouseMove, from - QPoint(60, 0), Qt::NoButton, Qt::MiddleButton);

    // Dragging to the left brings later times into view.
    QVERIFY(qFuzzyCompare(f.view.mProfile->startTime(), 60 / pixelsPerSecond));
    QCOMPARE(moves.count(), 0);
}

void TestGraphView::cursorFollowsAgainAfterAPan()
{
    Dive dive = squareDive();
    ViewFixture f(&dive);
    f.drag(f.at(0.5), f.at(0.4), Qt::MiddleButton, Qt::NoModifier);
    QSignalSpy moves(&f.view, &GraphView::mouseMove);

    const QPoint to = f.at(0.7);
    f.mouse(QEvent::MouseMove, to, Qt::NoButton, Qt::NoButton);

    QCOMPARE(moves.count(), 1);
    QCOMPARE(moves.first().at(1).toInt(), f.timeAt(to));
}

void TestGraphView::controlReleaseWithoutPressEmitsNoBand()
{
    Dive dive = squareDive();
    ViewFixture f(&dive);
    QSignalSpy bands(&f.view, &GraphView::selectInRect);
    const QPoint outside = f.view.mapFromScene(QPointF(5, 5));

    f.drag(outside, f.at(0.5), Qt::LeftButton, Qt::ControlModifier);

    QCOMPARE(bands.count(), 0);
}

void TestGraphView::shiftDragSelectsRange_data()
{
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::newRow("to the right") << 0.25 << 0.75;
    QTest::newRow("to the left, swapped") << 0.75 << 0.25;
    QTest::newRow("in place, empty range") << 0.5 << 0.5;
}

void TestGraphView::shiftDragSelectsRange()
{
    QFETCH(double, from);
    QFETCH(double, to);
    Dive dive = squareDive();
    ViewFixture f(&dive);
    QSignalSpy releases(&f.view, &GraphView::clickRelease);
    const QPoint a = f.at(from);
    const QPoint b = f.at(to);

    f.drag(a, b, Qt::LeftButton, Qt::ShiftModifier);

    const int ta = f.timeAt(a);
    const int tb = f.timeAt(b);
    QCOMPARE(f.view.getSelection(), std::make_pair(std::min(ta, tb), std::max(ta, tb)));
    QVERIFY(f.view.mSelectionRect->isVisible());
    const QRectF shading = f.view.mSelectionRect->rect().normalized();
    const QRectF graph = f.view.mProfile->graphRect();
    const int xa = int(f.view.mapToScene(a).x());
    const int xb = int(f.view.mapToScene(b).x());
    QCOMPARE(shading.left(), double(std::min(xa, xb)));
    QCOMPARE(shading.width(), double(std::abs(xb - xa)));
    QCOMPARE(shading.top(), graph.top());
    QCOMPARE(shading.bottom(), f.view.mProfile->graphBottom());
    QCOMPARE(releases.count(), 1);
    QCOMPARE(releases.first().first().toInt(), tb);
}

void TestGraphView::otherPressesLeaveTheRange_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("plain click") << int(Qt::LeftButton) << int(Qt::NoModifier);
    QTest::newRow("middle-button pan") << int(Qt::MiddleButton) << int(Qt::NoModifier);
    QTest::newRow("shift click with the middle button") << int(Qt::MiddleButton) << int(Qt::ShiftModifier);
}

void TestGraphView::otherPressesLeaveTheRange()
{
    QFETCH(int, button);
    QFETCH(int, modifiers);
    Dive dive = squareDive();
    ViewFixture f(&dive);
    f.drag(f.at(0.2), f.at(0.4), Qt::LeftButton, Qt::ShiftModifier);
    const auto chosen = f.view.getSelection();
    const QRectF shading = f.view.mSelectionRect->rect();

    f.drag(f.at(0.8), f.at(0.7), Qt::MouseButton(button), Qt::KeyboardModifiers(modifiers));
    // A later Shift release without a Shift press does not complete a range either.
    f.mouse(QEvent::MouseButtonPress, f.at(0.9), Qt::LeftButton, Qt::LeftButton);
    f.mouse(QEvent::MouseButtonRelease, f.at(0.9), Qt::LeftButton, Qt::NoButton, Qt::ShiftModifier);

    QCOMPARE(f.view.getSelection(), chosen);
    QVERIFY(f.view.mSelectionRect->isVisible());
    QCOMPARE(f.view.mSelectionRect->rect(), shading);
}

void TestGraphView::shiftReleaseOutsideKeepsTheRange()
{
    Dive dive = squareDive();
    ViewFixture f(&dive);
    f.drag(f.at(0.2), f.at(0.4), Qt::LeftButton, Qt::ShiftModifier);
    const auto chosen = f.view.getSelection();
    QSignalSpy releases(&f.view, &GraphView::clickRelease);

    const QPoint outside = f.view.mapFromScene(QPointF(5, 5));
    f.mouse(QEvent::MouseButtonPress, outside, Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
    f.mouse(QEvent::MouseButtonRelease, outside, Qt::LeftButton, Qt::NoButton, Qt::ShiftModifier);

    QCOMPARE(f.view.getSelection(), chosen);
    QCOMPARE(releases.count(), 1);
    QCOMPARE(releases.first().first().toInt(), -1);
}

void TestGraphView::escapeHidesTheShading()
{
    Dive dive = squareDive();
    ViewFixture f(&dive);
    f.drag(f.at(0.2), f.at(0.4), Qt::LeftButton, Qt::ShiftModifier);
    const auto chosen = f.view.getSelection();

    QTest::keyClick(f.view.viewport(), Qt::Key_Escape);

    QVERIFY(!f.view.mSelectionRect->isVisible());
    QCOMPARE(f.view.getSelection(), chosen);
}

void TestGraphView::controlDragEmitsItsBand()
{
    Dive dive = squareDive();
    ViewFixture f(&dive);
    QSignalSpy bands(&f.view, &GraphView::selectInRect);
    const QPoint a = f.at(0.6);
    const QPoint b = f.at(0.3) + QPoint(0, 30);

    f.drag(a, b, Qt::LeftButton, Qt::ControlModifier);

    QCOMPARE(bands.count(), 1);
    QCOMPARE(bands.first().first().toRectF(), QRectF(f.view.mapToScene(a), f.view.mapToScene(b)).normalized());
    QVERIFY(!f.view.mSelectionRect->isVisible());
    QCOMPARE(f.view.getSelection(), std::make_pair(-1, -1));
}

void TestGraphView::readOutBetweenSamples()
{
    Dive dive;
    dive.lines = {diveLine(0, 0), diveLine(10, 3.0), diveLine(20, 6.0)};
    dive.lines[1].speed = -18.04;
    dive.lines[2].speed = 18.04;
    dive.lines[2].ambientTemp = 21.46;
    dive.lines[1].tankPressure = 200;
    dive.lines[2].tankPressure = 190;
    dive.lines[1].decoCeiling = -12.0;
    GraphView view;
    view.setDiveProfile(&dive);

    const QString html = view.getInfosOnPosition(QPointF(), 15);

    QVERIFY(html.startsWith("<html>  <head>    <style>"));
    QVERIFY(html.endsWith("    </table>  </body></html>"));
    const QString rows = row("Time", "00:15", true) + "    " + row("Depth", "3.0m", false) + "    "
        + row("Speed", "18.0m/mn", true) + "    " + row("Temperature", "21.5&deg;C", false) + "    "
        + row("Tank Pressure", "195b", false) + "    " + row("NDL", "12.0mn", true);
    QVERIFY2(html.contains(rows), qPrintable(html));
    QVERIFY(!html.contains("Selection"));
    QCOMPARE(view.getInfosOnPosition(QPointF(), 21), QString());
}

void TestGraphView::readOutTimesAreDurations_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::newRow("whole-hour zone") << QByteArray("Europe/Paris");
    QTest::newRow("half-hour zone") << QByteArray("Asia/Kolkata");
    QTest::newRow("quarter-hour zone") << QByteArray("Asia/Kathmandu");
}

void TestGraphView::readOutTimesAreDurations()
{
    QFETCH(QByteArray, zone);
    testkit::TestEnvironment::setTimeZone(zone.constData());
    Dive dive;
    dive.lines = {diveLine(0, 0), diveLine(3600, 10), diveLine(3800, 0)};
    GraphView view;
    view.setDiveProfile(&dive);

    const QString html = view.getInfosOnPosition(QPointF(), 3700);
    testkit::TestEnvironment::setTimeZone("UTC");

    QVERIFY2(html.contains(row("Time", "01:01:40", true)), qPrintable(html));
}

void TestGraphView::readOutShowsTheSelection()
{
    Dive dive = squareDive();
    ViewFixture f(&dive);
    f.drag(f.at(0.25), f.at(0.75), Qt::LeftButton, Qt::ShiftModifier);
    const auto [start, end] = f.view.getSelection();
    QVERIFY(end > start);

    const QString html = f.view.getInfosOnPosition(QPointF(), 100);

    QVERIFY(html.contains("Selection"));
    QVERIFY(html.contains(row("Start Time", formatTimeSecondes(start), true)));
    QVERIFY(html.contains(row("End Time", formatTimeSecondes(end), false)));
    QVERIFY(html.contains(row("Elapsed Time", formatTimeSecondes(end - start), true)));
}

void TestGraphView::readOutFallsBackOnTheAscent()
{
    Dive dive;
    dive.lines = {diveLine(0, 0), diveLine(60, 30)};
    dive.decoLines = {diveLine(60, 30), diveLine(180, 9)};
    GraphView view;
    DivePosition position;
    QVERIFY(!view.getInfosOnPosition(QPointF(), 30, position));
    view.setDiveProfile(&dive);

    QVERIFY(view.getInfosOnPosition(QPointF(), 30, position));
    QCOMPARE(position.prevLine, &dive.lines[0]);
    QVERIFY(view.getInfosOnPosition(QPointF(), 120, position));
    QCOMPARE(position.prevLine, &dive.decoLines[0]);
    QCOMPARE(position.nextLine, &dive.decoLines[1]);
    position = DivePosition();
    QVERIFY(!view.getInfosOnPosition(QPointF(), 181, position));
    QCOMPARE(position.prevLine, nullptr);
    // The read-out itself shows samples only.
    QCOMPARE(view.getInfosOnPosition(QPointF(), 120), QString());
}

void TestGraphView::dropEmitsFilesInOrder_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("emitted");
    QTest::newRow("two files") << 2 << 2;
    QTest::newRow("forty files, the first 32") << 40 << 32;
    QTest::newRow("text without files") << 0 << 0;
}

void TestGraphView::dropEmitsFilesInOrder()
{
    QFETCH(int, count);
    QFETCH(int, emitted);
    GraphView view;
    view.resize(400, 300);
    QSignalSpy drops(&view, &GraphView::dragDropFiles);
    QMimeData data;
    QList<QUrl> urls;
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        paths.append(QStringLiteral("/dives/dive%1.uddf").arg(i));
        urls.append(QUrl::fromLocalFile(paths.last()));
    }
    if (count > 0)
        data.setUrls(urls);
    else
        data.setText("not a file");

    // As a real drag does, enter first: the drop then goes to the widget entered.
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view.viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view.viewport(), &drop);

    QCOMPARE(drops.count(), emitted > 0 ? 1 : 0);
    QCOMPARE(drop.isAccepted(), emitted > 0);
    if (emitted > 0)
        QCOMPARE(drops.first().first().toStringList(), paths.mid(0, emitted));
}

void TestGraphView::contextMenuAsksTheFiller()
{
    GraphView view;
    view.resize(400, 300);
    QContextMenuEvent withoutFiller(QContextMenuEvent::Mouse, QPoint(50, 50), view.viewport()->mapToGlobal(QPoint(50, 50)));
    QCoreApplication::sendEvent(view.viewport(), &withoutFiller);

    QWidget* menuParent = nullptr;
    int calls = 0;
    // The filler adds nothing and declines, so no menu opens.
    view.mContextMenuFiller = [&](QMenu& menu) {
        ++calls;
        menuParent = menu.parentWidget();
        return false;
    };
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(50, 50), view.viewport()->mapToGlobal(QPoint(50, 50)));
    QCoreApplication::sendEvent(view.viewport(), &event);

    QCOMPARE(calls, 1);
    QCOMPARE(menuParent, &view);
}

MAREVANE_TEST_MAIN(TestGraphView)

#include "tst_graphview.moc"
