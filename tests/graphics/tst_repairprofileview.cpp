#include "testenvironment.h"

#include "graphics/graphview.h"
#include "profilefixtures.h"
#include "viewevents.h"

#include <QGraphicsScene>

#include <cmath>

using profilefixtures::diveOf;
using profilefixtures::ShownProfile;
using testkit::diveLine;

Q_DECLARE_METATYPE(Dive)

namespace {

bool isFinite(const QRectF& rect)
{
    return std::isfinite(rect.x()) && std::isfinite(rect.y()) && std::isfinite(rect.width())
        && std::isfinite(rect.height());
}

bool isFinitePositive(double value)
{
    return std::isfinite(value) && value > 0;
}

int pixelsOf(const QImage& image, const QColor& colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) == colour;
    }
    return count;
}

ShowItemsState everything()
{
    ShowItemsState state;
    state.points = true;
    return state;
}

} // namespace

// The profile view and its painting with dives at the edges of what can be
// loaded, and the profile item's members that nothing called before.
class RepairProfileViewTest : public QObject
{
    Q_OBJECT

private:
    static void verifyFinite(const GraphView& view)
    {
        QVERIFY2(isFinite(view.scene()->sceneRect()), "scene rectangle");
        QVERIFY(isFinite(view.sceneRect()));
        QVERIFY(isFinite(view.scene()->itemsBoundingRect()));
        const DiveProfileItem& item = *view.mProfile;
        QVERIFY(isFinitePositive(item.pixelsPerSecond()));
        QVERIFY(isFinitePositive(item.pixelsPerMeter()));
        QVERIFY(isFinitePositive(item.pixelsPerDegree()));
        QVERIFY(isFinitePositive(item.pixelsPerBar()));
        QVERIFY(std::isfinite(item.startTime()) && std::isfinite(item.endTime()));
        QVERIFY(std::isfinite(item.shownMaxDepth()));
    }

private slots:
    void initTestCase() { profilefixtures::setProgramIcons(); }

    void degenerateDivesStayFinite_data()
    {
        QTest::addColumn<Dive>("dive");
        QTest::addColumn<bool>("editable");
        const QList<std::pair<const char*, Dive>> dives = {
            {"one sample", diveOf({{0, 10}})},
            {"one sample at the surface", diveOf({{0, 0}})},
            {"one late sample", diveOf({{100, 12}})},
            {"all samples at one time", diveOf({{120, 0}, {120, 10}, {120, 20}})},
            {"all samples at time 0", diveOf({{0, 0}, {0, 10}, {0, 20}})},
            {"all at 0 m", diveOf({{0, 0}, {300, 0}, {600, 0}})},
            {"one time, one depth", diveOf({{60, 0}, {60, 0}})},
            {"the ascent alone at one time", diveOf({{0, 0}, {0, 0}}, {{0, 0}, {0, 0}})},
            {"a time far beyond any dive", diveOf({{0, 0}, {60, 10}, {1e300, 0}})},
            {"a depth far beyond any dive", diveOf({{0, 0}, {60, 1e300}, {120, 0}})},
            {"depths above the surface", diveOf({{0, 0}, {60, -1e300}, {120, -5}})},
            {"times before the start", diveOf({{-1e300, 0}, {-60, 10}, {0, 0}})},
            {"largest values", diveOf({{0, 0}, {1.7e308, 1.7e308}, {-1.7e308, -1.7e308}})},
        };
        for (const auto& [name, dive] : dives) {
            QTest::addRow("%s", name) << dive << false;
            QTest::addRow("%s, editable", name) << dive << true;
        }
    }

    // Shown before the view ever had a size, then zoomed, panned and hovered.
    void degenerateDivesStayFinite()
    {
        QFETCH(Dive, dive);
        QFETCH(bool, editable);
        GraphView view;
        view.mProfile->mEditable = editable;
        view.showItems(everything());
        view.setDiveProfile(&dive);
        verifyFinite(view);
        // The view's own rectangle, never the bounds of what the dive placed.
        QCOMPARE(view.scene()->sceneRect(), QRectF(QPointF(0, 0), QSizeF(view.size())));
        view.resize(800, 400);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        verifyFinite(view);

        const QPoint middle = viewevents::graphPoint(view, 0.5);
        for (const QPoint delta : {QPoint(0, 120), QPoint(0, -120), QPoint(0, -600), QPoint(40, 0), QPoint(-40, 0)}) {
            viewevents::wheel(view, middle, delta, Qt::NoModifier);
            viewevents::wheel(view, middle, delta, Qt::ControlModifier);
            verifyFinite(view);
        }
        viewevents::mouse(view, QEvent::MouseButtonPress, middle, Qt::MiddleButton, Qt::MiddleButton);
        viewevents::mouse(view, QEvent::MouseMove, middle + QPoint(30, 0), Qt::NoButton, Qt::MiddleButton);
        viewevents::mouse(view, QEvent::MouseButtonRelease, middle, Qt::MiddleButton, Qt::NoButton);
        viewevents::mouse(view, QEvent::MouseMove, middle, Qt::NoButton, Qt::NoButton);
        view.mProfile->fitAll();
        verifyFinite(view);
        QVERIFY(!view.grab().isNull());
        view.getInfosOnPosition(QPointF(middle), 0);
    }

    void timeToXposition_data()
    {
        QTest::addColumn<double>("zoom");
        QTest::addColumn<int>("time");
        QTest::newRow("fitted, start") << 1.0 << 0;
        QTest::newRow("fitted, middle") << 1.0 << 600;
        QTest::newRow("fitted, end") << 1.0 << 1200;
        QTest::newRow("zoomed in, inside") << 3.0 << 650;
        QTest::newRow("zoomed in, left of the window") << 3.0 << 20;
        QTest::newRow("zoomed out") << 0.5 << 1800;
    }
    // Where the profile draws a time, and the time read back there.
    void timeToXposition()
    {
        QFETCH(double, zoom);
        QFETCH(int, time);
        ShownProfile profile(diveOf({{0, 0}, {600, 30}, {1200, 0}}));
        DiveProfileItem& item = *profile.item;
        item.zoom(DiveProfileItem::Axis::Time, zoom, item.timeDepthToGraphCoordinates(600, 0).x());
        const double x = item.timeToXposition(time);
        QCOMPARE(x, item.timeDepthToGraphCoordinates(time, 0).x());
        // Half a second on, so that truncating lands on the time itself.
        QCOMPARE(item.xpositionToTime(item.timeToXposition(time) + 0.5 * item.pixelsPerSecond()), time);
    }

    // An appended ascent line is drawn, ends the shown window and is counted
    // in the dive's times, also after the profile has been painted once.
    void addDecoLine()
    {
        ShownProfile profile(diveOf({{0, 0}, {300, 30}, {900, 30}}), ShowItemsState(), false, QSizeF(690, 320));
        DiveProfileItem& item = *profile.item;
        const int cyanBefore = pixelsOf(profile.render(), Qt::cyan);
        QCOMPARE(cyanBefore, 0);
        DiveLine first = diveLine(900, 30);
        DiveLine last = diveLine(1100, 0);
        last.speed = -9;
        item.addDecoLine(first);
        item.addDecoLine(last);
        QCOMPARE(profile.dive.decoLines.size(), 2);
        QCOMPARE(profile.dive.maxTime, 1100.0);
        QCOMPARE(item.endTime(), 1100.0);
        QCOMPARE(profile.dive.ascentTime, 200.0);
        item.fitAll();
        QVERIFY(pixelsOf(profile.render(), Qt::cyan) > 50);
    }

    void addCeilTrackingLine()
    {
        ShowItemsState state;
        state.temperature = state.tankPressure = false;
        ShownProfile profile(diveOf({{0, 0}, {300, 30}, {900, 30}, {1200, 0}}), state);
        QCOMPARE(pixelsOf(profile.render(), Qt::cyan), 0);
        profile.item->addCeilTrackingLine(diveLine(300, 6));
        profile.item->addCeilTrackingLine(diveLine(900, 6));
        QCOMPARE(profile.dive.ceilTrackingLines.size(), 2);
        // A path from 300 s to 900 s at 6 m, in the pen the ascent left (cyan, 2 px).
        const QImage after = profile.render();
        const double length = profile.item->timeToXposition(900) - profile.item->timeToXposition(300);
        QVERIFY(pixelsOf(after, Qt::cyan) >= 2 * int(length) - 2);
        const QPointF middle = profile.item->timeDepthToGraphCoordinates(600, 6);
        QCOMPARE(after.pixelColor(middle.toPoint()), QColor(Qt::cyan));
    }

    void addLinesWithoutDiveDoNothing()
    {
        DiveProfileItem item;
        item.addDecoLine(diveLine(10, 10));
        item.addCeilTrackingLine(diveLine(10, 10));
        QCOMPARE(item.endTime(), 0.0);
        QCOMPARE(item.dive(), nullptr);
    }
};

MAREVANE_TEST_MAIN(RepairProfileViewTest)
#include "tst_repairprofileview.moc"
