#include "testenvironment.h"

#include "graphics/gesturerecognizers.h"
#include "graphics/gestures.h"
#include "touchscreen.h"

#include <QTest>
#include <QWidget>

#include <cmath>
#include <memory>

using namespace touchscreen;

namespace {

QChar letterOf(QGestureRecognizer::Result result)
{
    switch (int(result & QGestureRecognizer::ResultState_Mask)) {
    case QGestureRecognizer::MayBeGesture:
        return QLatin1Char('M');
    case QGestureRecognizer::TriggerGesture:
        return QLatin1Char('T');
    case QGestureRecognizer::FinishGesture:
        return QLatin1Char('F');
    case QGestureRecognizer::CancelGesture:
        return QLatin1Char('C');
    default:
        return QLatin1Char('I');
    }
}

// A shown widget that hands each touch event it gets to the three
// recognizers, as Qt does for a widget that grabbed their gestures, and
// writes down their results, one letter per event: M may be, T trigger,
// F finish, C cancel, I ignore.
class RecognizerBench : public QWidget
{
public:
    RecognizerBench()
    {
        setAttribute(Qt::WA_AcceptTouchEvents);
        resize(400, 400);
        show();
    }

    TwoFingersPanRecognizer panRecognizer;
    TwoFingersPinchRecognizer pinchRecognizer;
    TwoFingersRecognizer twoFingersRecognizer;
    std::unique_ptr<QGesture> pan{panRecognizer.create(this)};
    std::unique_ptr<QGesture> pinch{pinchRecognizer.create(this)};
    std::unique_ptr<QGesture> twoFingers{twoFingersRecognizer.create(this)};
    QString panResults;
    QString pinchResults;
    QString twoFingersResults;

    TwoFingersPanGesture& panGesture() { return *static_cast<TwoFingersPanGesture*>(pan.get()); }
    TwoFingersPinchGesture& pinchGesture() { return *static_cast<TwoFingersPinchGesture*>(pinch.get()); }

protected:
    bool event(QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TouchCancel:
            panResults += letterOf(panRecognizer.recognize(pan.get(), this, event));
            pinchResults += letterOf(pinchRecognizer.recognize(pinch.get(), this, event));
            twoFingersResults += letterOf(twoFingersRecognizer.recognize(twoFingers.get(), this, event));
            event->accept();
            return true;
        default:
            return QWidget::event(event);
        }
    }
};

QString repeated(char letter, int count)
{
    return QString(count, QLatin1Char(letter));
}

// Both fingers moving left by 3 px an update, 100 px apart.
QList<QPoint> steadyPan(int k)
{
    return {QPoint(200 - 3 * k, 150), QPoint(300 - 3 * k, 150)};
}

// Fingers moving apart by 4 px an update along x.
QList<QPoint> apartInX(int k)
{
    return {QPoint(100 - 2 * k, 150), QPoint(200 + 2 * k, 150)};
}

// Fingers moving apart along a diagonal of equal x and y extent.
QList<QPoint> apartOnDiagonal(int k)
{
    return {QPoint(100 - k, 100 - k), QPoint(200 + k, 200 + k)};
}

} // namespace

class TestGestureRecognizers : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void resultsOfTouches_data();
    void resultsOfTouches();
    void panTriggersWithFingerOneOffset();
    void pinchTriggersWithTheRatioOfDistances_data();
    void pinchTriggersWithTheRatioOfDistances();
};

void TestGestureRecognizers::init()
{
    TwoFingersRecognizer::active = false;
}

void TestGestureRecognizers::resultsOfTouches_data()
{
    QTest::addColumn<QList<Step>>("steps");
    QTest::addColumn<QString>("pan");
    QTest::addColumn<QString>("pinch");
    QTest::addColumn<QString>("twoFingers");
    QTest::addColumn<bool>("activeAfter");

    const QList<QPoint> two = {QPoint(100, 150), QPoint(200, 150)};
    const QString sampling = repeated('I', 10);       // ten sampled updates
    const QString cancelledAtTenth = repeated('I', 9) + "C";

    QTest::newRow("steady pan, which cancels the pinch")
        << (QList<Step>{begin(steadyPan(0))} + updates(12, steadyPan)) << "M" + sampling + "TT"
        << "M" + cancelledAtTenth + "II" << repeated('T', 13) << true;

    // Finger 2 drifts away by (k - 1) * drift / 9 px, 5 px or 6 px at the tenth update.
    const auto drifting = [](int drift) {
        return [drift](int k) { return QList<QPoint>{QPoint(100, 150), QPoint(200 + (k - 1) * drift / 9, 150)}; };
    };
    QTest::newRow("a 5 px drift keeps the pan")
        << (QList<Step>{begin(two)} + updates(11, drifting(5))) << "M" + sampling + "T" << "M" + sampling + "T"
        << repeated('T', 12) << true;
    QTest::newRow("a 6 px drift cancels the pan at the tenth")
        << (QList<Step>{begin(two)} + updates(11, drifting(6))) << "M" + cancelledAtTenth + "I"
        << "M" + sampling + "T" << repeated('T', 12) << true;

    QTest::newRow("fingers moving apart pinch")
        << (QList<Step>{begin(apartInX(0))} + updates(12, apartInX)) << "M" + cancelledAtTenth + "II"
        << "M" + sampling + "TT" << repeated('T', 13) << true;
    const auto togetherInY = [](int k) { return QList<QPoint>{QPoint(150, 50 + 2 * k), QPoint(150, 250 - 2 * k)}; };
    QTest::newRow("fingers moving together pinch")
        << (QList<Step>{begin(togetherInY(0))} + updates(12, togetherInY)) << "M" + cancelledAtTenth + "II"
        << "M" + sampling + "TT" << repeated('T', 13) << true;

    QTest::newRow("a third finger is ignored")
        << (QList<Step>{begin(steadyPan(0))} + updates(10, steadyPan)
            + QList<Step>{with(update(steadyPan(11)), Action::Press, QPoint(300, 300)),
                          with(update(steadyPan(12)), Action::Release, QPoint(300, 300)), update(steadyPan(13))})
        << "M" + sampling + "IIT" << "M" + cancelledAtTenth + "III" << repeated('T', 14) << true;

    QTest::newRow("an end before recognition ends nothing")
        << (QList<Step>{begin(two)} + updates(5, apartInX) + QList<Step>{end(apartInX(5))}) << "M" + repeated('I', 6)
        << "M" + repeated('I', 6) << repeated('T', 6) + "F" << false;

    // The fingers meet at the tenth update: the pinch is recognised at a distance of 0.
    const auto meeting = [](int k) { return QList<QPoint>{QPoint(100 + 5 * k, 150), QPoint(200 - 5 * k, 150)}; };
    QTest::newRow("a start distance of 0 never triggers")
        << (QList<Step>{begin(meeting(0))} + updates(12, meeting)) << "M" + cancelledAtTenth + "II"
        << "M" + sampling + "II" << repeated('T', 13) << true;
    QTest::newRow("fingers on one spot after recognition do not trigger")
        << (QList<Step>{begin(apartInX(0))} + updates(10, apartInX)
            + QList<Step>{update({QPoint(150, 150), QPoint(150, 150)}), update(apartInX(15))})
        << "M" + cancelledAtTenth + "II" << "M" + sampling + "IT" << repeated('T', 13) << true;

    QTest::newRow("a cancel clears the two fingers")
        << (QList<Step>{begin(two)} + updates(3, steadyPan) + QList<Step>{cancel()}) << "MIIIC" << "MIIIC"
        << "TTTTC" << false;

    // The next touch begins with one finger and puts the second down at its
    // first update, at the distance the sampling of the last touch ended with.
    const QList<Step> oneThenTwoFingers = {
        begin({steadyPan(11).first()}),
        with(update({steadyPan(12).first()}), Action::Press, steadyPan(12).last()),
        update(steadyPan(13)),
    };
    QTest::newRow("after a cancelled touch the next one samples afresh")
        << (QList<Step>{begin(steadyPan(0))} + updates(10, steadyPan) + QList<Step>{cancel()} + oneThenTwoFingers)
        << "M" + sampling + "C" + "III" << "M" + cancelledAtTenth + "C" + "III" << repeated('T', 11) + "C" + "ITT"
        << false;
    QTest::newRow("after an early end the next touch samples afresh")
        << (QList<Step>{begin(steadyPan(0))} + updates(10, steadyPan) + QList<Step>{end(steadyPan(10))}
            + oneThenTwoFingers)
        << "M" + sampling + "I" + "III" << "M" + cancelledAtTenth + "I" + "III" << repeated('T', 11) + "F" + "ITT"
        << false;
}

void TestGestureRecognizers::resultsOfTouches()
{
    QFETCH(QList<Step>, steps);
    QFETCH(QString, pan);
    QFETCH(QString, pinch);
    QFETCH(QString, twoFingers);
    QFETCH(bool, activeAfter);
    RecognizerBench bench;
    Screen(&bench).send(steps);

    QCOMPARE(bench.panResults, pan);
    QCOMPARE(bench.pinchResults, pinch);
    QCOMPARE(bench.twoFingersResults, twoFingers);
    QCOMPARE(TwoFingersRecognizer::active, activeAfter);
    // Whatever the fingers did, the view is never handed a factor it cannot zoom by.
    const TwoFingersPinchGesture& gesture = bench.pinchGesture();
    QVERIFY(std::isfinite(gesture.mScaleFactor) && gesture.mScaleFactor > 0);
    QVERIFY(std::isfinite(gesture.mTotalScaleFactor) && gesture.mTotalScaleFactor > 0);
}

void TestGestureRecognizers::panTriggersWithFingerOneOffset()
{
    RecognizerBench bench;
    Screen screen(&bench);
    screen.send(QList<Step>{begin(steadyPan(0))} + updates(11, steadyPan));

    QCOMPARE(bench.panResults.back(), QLatin1Char('T'));
    // Since the last update, and since the first sampled one.
    QCOMPARE(bench.panGesture().mOffset, QPointF(-3, 0));
    QCOMPARE(bench.panGesture().mTotalOffset, QPointF(-30, 0));
}

void TestGestureRecognizers::pinchTriggersWithTheRatioOfDistances_data()
{
    QTest::addColumn<bool>("diagonal");
    QTest::addColumn<double>("distanceScale"); // of the finger distances along x
    QTest::addColumn<int>("vertical");
    // Along x the distance at update k is 100 + 4k; along the diagonal (100 + 2k) * sqrt 2.
    QTest::newRow("along x") << false << 4.0 << 0;
    QTest::newRow("along an equal diagonal") << true << 2.0 << 1;
}

void TestGestureRecognizers::pinchTriggersWithTheRatioOfDistances()
{
    QFETCH(bool, diagonal);
    QFETCH(double, distanceScale);
    QFETCH(int, vertical);
    const auto fingersAt = diagonal ? apartOnDiagonal : apartInX;
    RecognizerBench bench;
    Screen(&bench).send(QList<Step>{begin(fingersAt(0))} + updates(12, fingersAt));

    const auto distance = [distanceScale](int k) { return 100 + distanceScale * k; };
    const TwoFingersPinchGesture& pinch = bench.pinchGesture();
    QCOMPARE(bench.pinchResults.right(2), QStringLiteral("TT"));
    // Recognised at the tenth update: the start distance and the centre are taken there.
    QCOMPARE(pinch.mScaleFactor, distance(12) / distance(11));
    QCOMPARE(pinch.mTotalScaleFactor, distance(12) / distance(10));
    QCOMPARE(pinch.mCenterPoint, QPointF(150, 150));
    QCOMPARE(pinch.mVertical, vertical);
}

MAREVANE_TEST_MAIN(TestGestureRecognizers)
#include "tst_gesturerecognizers.moc"
