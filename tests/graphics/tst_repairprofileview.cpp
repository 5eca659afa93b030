#include "testenvironment.h"

#include "graphics/graphview.h"
#include "profilefixtures.h"
#include "viewchecks.h"
#include "viewevents.h"

#include <QGraphicsScene>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QRandomGenerator>
#include <QScreen>
#include <QStyleOptionGraphicsItem>

#include <cmath>

using profilefixtures::diveOf;
using profilefixtures::pixelsOf;
using profilefixtures::ShownProfile;
using testkit::diveLine;
using viewchecks::verifyFinite;

Q_DECLARE_METATYPE(Dive)

namespace {

ShowItemsState everything()
{
    ShowItemsState state;
    state.points = true;
    return state;
}

// The deco dive with everything a profile draws: stop lines, a computed
// ascent with a gas switch, a ceiling tracking curve and yoyo marks.
Dive decoratedDive()
{
    Dive dive = profilefixtures::decoDive();
    dive.decoLines = testkit::diveLines({{2915, 0}, {2975, 3}, {3035, 3}, {3060, 0}});
    dive.decoLines[1].gasIndex = 2;
    DiveAnalysis::calculateSpeeds(dive, true);
    dive.stopLines = testkit::diveLines({{1640, 21}, {1760, 21}, {1840, 9}, {2000, 9}, {2020, 6}, {2300, 6}});
    dive.ceilTrackingLines = testkit::diveLines({{1500, 15}, {1700, 12}, {2100, 6}, {2800, 3}});
    dive.yoyoMarks = {{600, 30, 1}, {1200, 40, 2}, {1800, 21, 3}};
    dive.decoNotTerminated = true;
    dive.invalidReason = 3;
    DiveAnalysis::calculateMaxTimeDepth(dive);
    return dive;
}

// Paints the part `area` of the profile again, as a view repaints part of
// its viewport: the paint is told what is exposed, and clipped to it.
void paintInto(QImage& image, DiveProfileItem& item, const QRect& area)
{
    QPainter painter(&image);
    painter.setClipRect(area);
    painter.fillRect(area, QColor(242, 242, 230));
    QStyleOptionGraphicsItem option;
    option.exposedRect = area;
    item.paint(&painter, &option, nullptr);
}

// What the view shows: its window's pixels as they were last painted.
QImage shownPixels(const QWidget& widget)
{
    const QPoint at = widget.mapTo(widget.window(), QPoint(0, 0));
    return widget.window()->screen()->grabWindow(widget.window()->winId(), at.x(), at.y(), widget.width(),
                                                 widget.height()).toImage();
}

// A device that draws nothing and counts the points it is handed: what a
// paint walks, whatever it ends up covering.
class CountingEngine : public QPaintEngine
{
public:
    qint64 points = 0;

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    Type type() const override { return User; }
    void drawLines(const QLineF*, int count) override { points += 2 * count; }
    void drawRects(const QRectF*, int count) override { points += 4 * count; }
    void drawEllipse(const QRectF&) override { points += 4; }
    void drawPath(const QPainterPath& path) override { points += path.elementCount(); }
    void drawPoints(const QPointF*, int count) override { points += count; }
    void drawPolygon(const QPointF*, int count, PolygonDrawMode) override { points += count; }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override { points += 4; }
    void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override { points += 4; }
    void drawTextItem(const QPointF&, const QTextItem&) override { points += 4; }
};

class CountingDevice : public QPaintDevice
{
public:
    explicit CountingDevice(const QSize& size)
        : mSize(size)
    {
    }
    QPaintEngine* paintEngine() const override { return &mEngine; }
    qint64 points() const { return mEngine.points; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
            return mSize.width();
        case PdmHeight:
            return mSize.height();
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(QPaintDevice::devicePixelRatioFScale());
        default:
            return QPaintDevice::metric(metric);
        }
    }

private:
    QSize mSize;
    mutable CountingEngine mEngine;
};

// The points a paint of `exposed` hands a device of `deviceSize` whose
// origin lies at `origin` of the item.
qint64 pointsPainted(DiveProfileItem& item, const QSize& deviceSize, const QPointF& origin, const QRectF& exposed)
{
    CountingDevice device(deviceSize);
    QPainter painter(&device);
    painter.translate(-origin);
    QStyleOptionGraphicsItem option;
    option.exposedRect = exposed;
    item.paint(&painter, &option, nullptr);
    painter.end();
    return device.points();
}

// The regions of the paint events of a widget.
class PaintRegions : public QObject
{
public:
    QRegion region;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            region += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};

} // namespace

// The profile view and its painting with dives at the edges of what can be
// loaded, and the profile item's members that nothing called before.
class RepairProfileViewTest : public QObject
{
    Q_OBJECT

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

    // What a paint of a strip of the profile gives is what a whole paint
    // gives there: the painting may skip what lies outside the strip, never
    // change what lies in it.
    void partialPaintMatchesTheWholePaint_data()
    {
        QTest::addColumn<bool>("zoomed");
        QTest::newRow("fitted") << false;
        QTest::newRow("zoomed in") << true;
    }
    void partialPaintMatchesTheWholePaint()
    {
        QFETCH(bool, zoomed);
        ShownProfile profile(decoratedDive(), everything(), false, QSizeF(900, 420));
        DiveProfileItem& item = *profile.item;
        item.addMarkerAt(1700, true, MarkerType::Diver, QStringLiteral("diver"));
        item.mEffortMode = true;
        if (zoomed)
            item.zoom(DiveProfileItem::Axis::Time, 3.0, item.timeToXposition(1700));
        QImage whole(profile.scene.sceneRect().size().toSize(), QImage::Format_ARGB32_Premultiplied);
        paintInto(whole, item, whole.rect());

        QRandomGenerator random(20240611);
        QList<QRect> strips = {QRect(0, 0, 900, 40),    QRect(0, 380, 900, 40), QRect(40, 0, 20, 420),
                               QRect(300, 0, 5, 420),   QRect(0, 200, 900, 3),  QRect(880, 0, 20, 420),
                               QRect(455, 120, 7, 7)};
        // Every column alone, so that no mark, line or label that reaches a
        // pixel is left out of the strip that holds it; and wider strips.
        for (int x = 0; x < 900; ++x)
            strips.append(QRect(x, 0, 1, 420));
        for (int k = 0; k < 20; ++k)
            strips.append(QRect(int(random.bounded(900)), 0, 2 + int(random.bounded(200)), 420));
        QImage part = whole;
        for (const QRect& strip : std::as_const(strips)) {
            paintInto(part, item, strip);
            const QRect inside = strip & part.rect();
            for (int y = inside.top(); y <= inside.bottom(); ++y) {
                const QRgb* painted = reinterpret_cast<const QRgb*>(part.constScanLine(y)) + inside.left();
                const QRgb* expected = reinterpret_cast<const QRgb*>(whole.constScanLine(y)) + inside.left();
                for (int k = 0; k < inside.width(); ++k) {
                    if (painted[k] != expected[k])
                        QFAIL(qPrintable(QStringLiteral("strip %1,%2 %3x%4 differs at %5,%6")
                                             .arg(strip.x()).arg(strip.y()).arg(strip.width()).arg(strip.height())
                                             .arg(inside.left() + k).arg(y)));
                }
            }
        }
    }

    // A paint walks only what reaches the part it paints: a strip of the
    // view costs a strip's worth of drawing, and an item as wide as a scene
    // can be costs what its device shows, whatever the scene.
    void paintWalksWhatItShows_data()
    {
        QTest::addColumn<QSizeF>("itemSize");
        QTest::addColumn<QSize>("deviceSize");
        QTest::addColumn<QRectF>("exposed");
        QTest::newRow("a strip of the view") << QSizeF(1280, 500) << QSize(1280, 500) << QRectF(600, 0, 5, 500);
        QTest::newRow("the view of an endless item") << QSizeF(1e12, 1e12) << QSize(1280, 500) << QRectF(0, 0, 1e12, 1e12);
    }
    void paintWalksWhatItShows()
    {
        QFETCH(QSizeF, itemSize);
        QFETCH(QSize, deviceSize);
        QFETCH(QRectF, exposed);
        // A dive of 20,000 samples: every pixel column holds many.
        ShownProfile profile(profilefixtures::decoDive(20000, 2.0), everything(), false, itemSize);
        const qint64 whole = pointsPainted(*profile.item, QSize(1280, 500), QPointF(), QRectF(0, 0, 1280, 500));
        const qint64 part = pointsPainted(*profile.item, deviceSize, QPointF(), exposed);
        QVERIFY2(part < 400, qPrintable(QStringLiteral("%1 points, %2 for the whole view").arg(part).arg(whole)));
    }

    // A mouse move repaints the strips of the cursor line's old and new
    // places, and leaves the view as a whole repaint would.
    void mouseMoveRepaintsOnlyTheCursor()
    {
        Dive dive = decoratedDive();
        GraphView view;
        view.showItems(everything());
        view.resize(900, 420);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.setDiveProfile(&dive);
        const QPoint from = viewevents::graphPoint(view, 0.3);
        const QPoint to = from + QPoint(3, 0);
        // The first moves follow the whole paint of the dive just shown.
        for (const QPoint& at : {from - QPoint(20, 0), from}) {
            viewevents::mouse(view, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
            QCoreApplication::processEvents();
        }

        PaintRegions painted;
        view.viewport()->installEventFilter(&painted);
        viewevents::mouse(view, QEvent::MouseMove, to, Qt::NoButton, Qt::NoButton);
        QCoreApplication::processEvents();
        view.viewport()->removeEventFilter(&painted);
        const QRect repainted = painted.region.boundingRect();
        QVERIFY2(repainted.left() <= from.x() && repainted.right() >= to.x() && repainted.width() <= 16,
                 qPrintable(QStringLiteral("%1 wide from %2").arg(repainted.width()).arg(repainted.left())));
        const QImage moved = shownPixels(*view.viewport());

        view.viewport()->repaint();
        QCOMPARE(shownPixels(*view.viewport()), moved);
        // The cursor line stands at its new place only.
        QCOMPARE(moved.pixelColor(to.x(), to.y()), QColor(Qt::black));
        QVERIFY(moved.pixelColor(from.x(), from.y()) != QColor(Qt::black));
    }

    // Inside a window the view paints through the window's backing store, at
    // an offset: what it shows is what a view on its own shows.
    void viewInAWindowPaintsAsAlone()
    {
        Dive dive = decoratedDive();
        const QSize size(700, 380);
        GraphView alone;
        alone.resize(size);
        alone.show();
        QWidget window;
        window.resize(1200, 800);
        auto* inWindow = new GraphView(&window);
        inWindow->setGeometry(QRect(QPoint(380, 260), size));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&alone));
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        for (GraphView* view : {&alone, inWindow}) {
            view->showItems(everything());
            view->setDiveProfile(&dive);
            view->viewport()->repaint();
        }
        const QImage expected = shownPixels(*alone.viewport());
        QCOMPARE(shownPixels(*inWindow->viewport()), expected);
        // The dive drawn across the whole graph: its points from the start to the end.
        QVERIFY(pixelsOf(expected.copy(0, 0, 200, 380), Qt::blue) > 100);
        QVERIFY(pixelsOf(expected.copy(500, 0, 200, 380), Qt::blue) > 100);
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
