#include "testenvironment.h"

#include "../divemodel/diveprofiles.h"
#include "graphics/gesturerecognizers.h"
#include "graphics/graphview.h"
#include "touchscreen.h"
#include "viewevents.h"

#include <QSignalSpy>

using namespace touchscreen;

namespace {

// A shown view of 800 x 400 with a dive of 20 minutes at 20 m, one sample a minute.
struct TouchView
{
    TouchView()
        : dive(testkit::diveOfDepths(QList<double>{0} + QList<double>(19, 20.0) + QList<double>{0}, 60))
    {
        view.resize(800, 400);
        view.show();
        view.setDiveProfile(&dive);
    }

    double pixelsPerSecond() const { return view.mProfile->pixelsPerSecond(); }
    double shownDepth() const { return view.mProfile->shownMaxDepth(); }
    double startTime() const { return view.mProfile->startTime(); }

    Dive dive;
    GraphView view;
};

// Two fingers in the middle of the graph, 120 px apart at first.
QList<QPoint> apartInX(int k)
{
    return {QPoint(340 - 2 * k, 190), QPoint(460 + 2 * k, 190)};
}

QList<QPoint> togetherInY(int k)
{
    return {QPoint(400, 90 + 2 * k), QPoint(400, 290 - 2 * k)};
}

// Both fingers moving left by 5 px an update.
QList<QPoint> panningLeft(int k)
{
    return {QPoint(300 - 5 * k, 190), QPoint(450 - 5 * k, 190)};
}

QList<Step> touch(int updateCount, const std::function<QList<QPoint>(int)>& fingersAt)
{
    return QList<Step>{begin(fingersAt(0))} + updates(updateCount, fingersAt);
}

double distanceApartInX(int k)
{
    return 120 + 4 * k;
}

} // namespace

class TestGestureView : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void horizontalPinchZoomsTime();
    void verticalPinchInwardsShowsMoreDepth();
    void twoFingerPanFollowsTheFingers();
    void firstZoomComesAtTheTwelfthUpdate();
    void mouseMovesReportAgainAfterACancel();
    void pinchChangesNothing_data();
    void pinchChangesNothing();
};

void TestGestureView::init()
{
    TwoFingersRecognizer::active = false;
}

void TestGestureView::horizontalPinchZoomsTime()
{
    TouchView f;
    f.view.enableTouchScreen(true);
    const double before = f.pixelsPerSecond();
    Screen(f.view.viewport()).send(touch(14, apartInX));

    // The first trigger, at update 11, starts the pinch; updates 12 to 14 zoom.
    QCOMPARE(f.pixelsPerSecond(), before * distanceApartInX(14) / distanceApartInX(11));
}

void TestGestureView::verticalPinchInwardsShowsMoreDepth()
{
    TouchView f;
    f.view.enableTouchScreen(true);
    const double depth = f.shownDepth();
    const double pixelsPerSecond = f.pixelsPerSecond();
    Screen(f.view.viewport()).send(touch(14, togetherInY));

    QVERIFY2(f.shownDepth() > depth, qPrintable(QString::number(f.shownDepth())));
    QCOMPARE(f.pixelsPerSecond(), pixelsPerSecond);
}

void TestGestureView::twoFingerPanFollowsTheFingers()
{
    TouchView f;
    f.view.enableTouchScreen(true);
    const double pixelsPerSecond = f.pixelsPerSecond();
    Screen(f.view.viewport()).send(touch(14, panningLeft));

    // Updates 12 to 14 pan: the fingers moved 15 px left, and the dive with them.
    QCOMPARE(f.startTime(), 15 / pixelsPerSecond);
    QCOMPARE(f.pixelsPerSecond(), pixelsPerSecond);
}

void TestGestureView::firstZoomComesAtTheTwelfthUpdate()
{
    TouchView f;
    f.view.enableTouchScreen(true);
    const double before = f.pixelsPerSecond();
    Screen screen(f.view.viewport());
    screen.send(touch(11, apartInX));
    QCOMPARE(f.pixelsPerSecond(), before);

    screen.send(update(apartInX(12)));
    QCOMPARE(f.pixelsPerSecond(), before * distanceApartInX(12) / distanceApartInX(11));
}

void TestGestureView::mouseMovesReportAgainAfterACancel()
{
    TouchView f;
    f.view.enableTouchScreen(true);
    QSignalSpy moves(&f.view, &GraphView::mouseMove);
    const QPoint over = viewevents::graphPoint(f.view, 0.5);
    Screen screen(f.view.viewport());

    // Qt turns the first finger into a mouse press, and a platform cancel
    // into its release, which the cancel sent here lacks: the fingers stay
    // above the graph, where a press leaves the view idle.
    screen.send(begin({QPoint(340, 10), QPoint(460, 10)}));
    viewevents::mouse(f.view, QEvent::MouseMove, over, Qt::NoButton, Qt::NoButton);
    QCOMPARE(moves.count(), 0);

    screen.send(cancel());
    viewevents::mouse(f.view, QEvent::MouseMove, over, Qt::NoButton, Qt::NoButton);
    QCOMPARE(moves.count(), 1);
}

void TestGestureView::pinchChangesNothing_data()
{
    QTest::addColumn<bool>("turnedOn");
    QTest::addColumn<bool>("turnedOff");
    QTest::addColumn<bool>("withDive");
    QTest::newRow("touch turned off again") << true << true << true;
    QTest::newRow("touch never turned on") << false << false << true;
    QTest::newRow("no dive shown") << true << false << false;
}

void TestGestureView::pinchChangesNothing()
{
    QFETCH(bool, turnedOn);
    QFETCH(bool, turnedOff);
    QFETCH(bool, withDive);
    TouchView f;
    if (turnedOn)
        f.view.enableTouchScreen(true);
    if (turnedOff)
        f.view.enableTouchScreen(false);
    if (!withDive)
        f.view.setDiveProfile(nullptr);
    const double pixelsPerSecond = f.pixelsPerSecond();
    const double depth = f.shownDepth();
    Screen screen(f.view.viewport());
    screen.send(touch(14, apartInX));
    screen.send(end(apartInX(14)));
    screen.send(touch(14, togetherInY));

    QCOMPARE(f.pixelsPerSecond(), pixelsPerSecond);
    QCOMPARE(f.shownDepth(), depth);
    QCOMPARE(f.startTime(), 0.0);
}

MAREVANE_TEST_MAIN(TestGestureView)
#include "tst_gestureview.moc"
