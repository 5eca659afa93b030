#include "testenvironment.h"

#include "graphics/curvereduction.h"
#include "graphics/diveprofileitem.h"
#include "graphics/profilegrid.h"
#include "graphics/profilemarks.h"
#include "profilefixtures.h"

#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QGraphicsView>

#include <cmath>
#include <limits>
#include <memory>

using testkit::diveLine;

Q_DECLARE_METATYPE(Dive)

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

const QColor kGreen(Qt::green);
const QColor kAmber(255, 190, 0);
const QColor kRed(Qt::red);

ShowItemsState curveOnly()
{
    ShowItemsState state;
    state.temperature = state.deco = state.alerts = state.gases = state.maxDepth = state.tankPressure = false;
    return state;
}

using profilefixtures::pixelsOf;
using profilefixtures::regionHas;
using profilefixtures::ShownProfile;

QImage square(const QColor& colour)
{
    QImage image(4, 4, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return image;
}

// Icons stand on whole pixels, where their pictures are drawn.
QPointF onPixels(const QPointF& p)
{
    return QPointF(std::round(p.x()), std::round(p.y()));
}

Dive withSpeeds(Dive dive)
{
    DiveAnalysis::calculateSpeeds(dive, false);
    return dive;
}

Dive sampledDive(const QList<QPointF>& samples)
{
    return withSpeeds(profilefixtures::diveOf(samples));
}

// A Pelavix dive of 20 samples 10 s apart: hyperoxic on samples 3 to 5, an
// ascent of 18 m/min flagged on samples 7 to 9, gas 9 (Nx40 bailout) from
// sample 10 and gas 2 (Nx50 diluent) from sample 15.
Dive alertedDive()
{
    Dive dive;
    dive.computerModel = 2;
    for (int gas = 0; gas < 10; ++gas)
        dive.gases.append(profilefixtures::gas(21));
    dive.gases[9] = profilefixtures::gas(40, 2);
    dive.gases[2] = profilefixtures::gas(50, 1);
    const double depths[] = {0, 10, 20, 30, 30, 30, 30, 27, 24, 21, 21, 21, 21, 21, 21, 18, 12, 6, 3, 0};
    for (int i = 0; i < 20; ++i) {
        DiveLine line = diveLine(10.0 * i, depths[i]);
        line.gasIndex = i < 10 ? 0 : (i < 15 ? 9 : 2);
        line.ppO2 = i >= 3 && i <= 5 ? 1.62 : 0.8;
        if (i >= 3 && i <= 5)
            line.pelavixAlerts |= 1u << 2;
        if (i >= 7 && i <= 9)
            line.pelavixAlerts |= 1u << 10;
        dive.lines.append(line);
    }
    return withSpeeds(dive);
}

// A 20 m dive whose computed ascent stops at 3 m from 1000 s to `stopEnd`.
Dive diveWithAStop(double stopEnd, double surfacing)
{
    Dive dive = sampledDive({{0, 0}, {300, 20}, {900, 20}, {960, 6}});
    dive.decoLines = testkit::diveLines({{960, 6}, {1000, 3}, {stopEnd, 3}, {surfacing, 0}});
    DiveAnalysis::calculateSpeeds(dive, true);
    dive.maxTime = surfacing;
    return dive;
}

// Where a stop's label lies: the text's height, beside the stop on one side.
QRect stopLabelBox(const QPointF& stop, bool right)
{
    const int x = int(stop.x());
    return QRect(QPoint(right ? x + 4 : x - 90, int(stop.y()) - 14), QPoint(right ? x + 90 : x - 4, int(stop.y()) + 2));
}

// The pixels of the stop labels' blue text.
int bluePixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += c.blue() > 150 && c.red() < 100 && c.green() < 100;
        }
    }
    return count;
}

class CountingProfileItem : public DiveProfileItem
{
public:
    int paints = 0;

    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override
    {
        ++paints;
        DiveProfileItem::paint(painter, option, widget);
    }
};

} // namespace

class ProfilePaintingTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { profilefixtures::setProgramIcons(); }

    void speedColourAtSegmentMidpoint_data()
    {
        QTest::addColumn<double>("speed");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("ascent -15.02 m/min") << -15.02 << kRed;
        QTest::newRow("ascent -15.0 m/min") << -15.0 << kAmber;
        QTest::newRow("ascent -13.5 m/min") << -13.5 << kAmber;
        QTest::newRow("ascent -13.0 m/min") << -13.0 << kGreen;
        QTest::newRow("level") << 0.0 << kGreen;
        QTest::newRow("descent 27.9 m/min") << 27.9 << kGreen;
        QTest::newRow("descent 28.5 m/min") << 28.5 << kAmber;
        QTest::newRow("descent 30.0 m/min") << 30.0 << kAmber;
        QTest::newRow("descent 30.02 m/min") << 30.02 << kRed;
    }

    void speedColourAtSegmentMidpoint()
    {
        QFETCH(double, speed);
        QFETCH(QColor, colour);
        ShownProfile profile(sampledDive({{0, 20}, {600, 20}, {660, 20 + speed}}),
                             curveOnly());
        const QImage image = profile.render();
        const QPointF middle = profile.item->timeDepthToGraphCoordinates(630, 20 + speed / 2);
        const QRect around(middle.toPoint() - QPoint(1, 1), QSize(3, 3));
        QVERIFY(regionHas(image, around, colour));
        for (const QColor& other : {kGreen, kAmber, kRed}) {
            if (other != colour)
                QVERIFY(!regionHas(image, around, other));
        }
    }

    // A three-second fast ascent among 20,000 samples falls inside one pixel
    // column, yet stays red.
    void briefFastAscentAmongManySamplesStaysRed()
    {
        Dive dive;
        for (int i = 0; i <= 20000; ++i) {
            const double t = i * 0.1;
            double depth = std::min(30.0, t / 30.0);
            if (t > 1000)
                depth = 30 - std::min(1.0, (t - 1000) / 3.0);
            dive.lines.append(diveLine(t, depth));
        }
        ShownProfile profile(withSpeeds(dive), curveOnly());
        const QImage image = profile.render();
        const QPointF start = profile.item->timeDepthToGraphCoordinates(1000, 30);
        const QPointF end = profile.item->timeDepthToGraphCoordinates(1003, 29);
        const QRect fastPart = QRectF(start, end).normalized().toAlignedRect().adjusted(-2, -2, 2, 2);
        QVERIFY(regionHas(image, fastPart, kRed));
        QVERIFY(regionHas(image, image.rect(), kGreen));
    }

    void depthGridStep_data()
    {
        QTest::addColumn<double>("shownDepth");
        QTest::addColumn<double>("step");
        QTest::newRow("4 m: a tenth rounds to 0") << 4.0 << 1.0;
        QTest::newRow("0 m") << 0.0 << 1.0;
        QTest::newRow("43 m") << 43.0 << 4.0;
        QTest::newRow("45 m: halves away from zero") << 45.0 << 5.0;
        QTest::newRow("120 m") << 120.0 << 12.0;
        QTest::newRow("-30 m") << -30.0 << -3.0;
    }

    void depthGridStep()
    {
        QFETCH(double, shownDepth);
        QTEST(profilegrid::depthStep(shownDepth), "step");
    }

    void timeGridStep_data()
    {
        QTest::addColumn<double>("span");
        QTest::addColumn<double>("step");
        QTest::newRow("25 minutes: 3 minutes") << 1500.0 << 180.0;
        QTest::newRow("4 minutes: 24 s") << 240.0 << 24.0;
        QTest::newRow("40 minutes: 4 minutes") << 2400.0 << 240.0;
        QTest::newRow("3 s: 1 s") << 3.0 << 1.0;
        QTest::newRow("empty window: 1 s") << 0.0 << 1.0;
        QTest::newRow("negative window: 1 s") << -600.0 << 1.0;
        QTest::newRow("NaN: 1 s") << kNaN << 1.0;
    }

    void timeGridStep()
    {
        QFETCH(double, span);
        QTEST(profilegrid::timeStep(span), "step");
    }

    // The step takes the next round step where its labels would not fit.
    void fittingTimeGridStep_data()
    {
        QTest::addColumn<double>("span");
        QTest::addColumn<double>("pixelsPerSecond");
        QTest::addColumn<double>("labelWidth");
        QTest::addColumn<double>("step");
        QTest::newRow("labels fit: the window's step") << 1500.0 << 0.5 << 50.0 << 180.0;
        QTest::newRow("14 minutes in 300 px: 2 minutes") << 840.0 << 300.0 / 840 << 40.0 << 120.0;
        QTest::newRow("70 minutes in 400 px: 15 minutes") << 4200.0 << 400.0 / 4200 << 75.0 << 900.0;
        QTest::newRow("4 minutes in 100 px: 2 minutes") << 240.0 << 100.0 / 240 << 45.0 << 120.0;
        QTest::newRow("beyond a day: whole days") << 1e6 << 1e-4 << 50.0 << 6 * 86400.0;
        QTest::newRow("no scale: the window's step") << 1500.0 << kNaN << 50.0 << 180.0;
    }

    void fittingTimeGridStep()
    {
        QFETCH(double, span);
        QFETCH(double, pixelsPerSecond);
        QFETCH(double, labelWidth);
        QTEST(profilegrid::fittingTimeStep(span, pixelsPerSecond, labelWidth), "step");
    }

    void firstGridTime()
    {
        QCOMPARE(profilegrid::firstTime(0), 0.0);
        QCOMPARE(profilegrid::firstTime(61), 120.0);
        QCOMPARE(profilegrid::firstTime(300), 300.0);
    }

    // The loop runs at least once and never for ever; a paint walks only
    // the lines between `from` and `to`.
    void gridLinePositions_data()
    {
        QTest::addColumn<double>("first");
        QTest::addColumn<double>("step");
        QTest::addColumn<double>("edge");
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("to");
        QTest::addColumn<qint64>("begin");
        QTest::addColumn<int>("count");
        const double all = std::numeric_limits<double>::infinity();
        QTest::newRow("lines up to the edge") << 10.0 << 10.0 << 50.0 << -all << all << qint64(0) << 5;
        QTest::newRow("the first line past the edge") << 10.0 << 10.0 << 5.0 << -all << all << qint64(0) << 1;
        QTest::newRow("zero step") << 10.0 << 0.0 << 50.0 << -all << all << qint64(0) << 0;
        QTest::newRow("negative step") << 10.0 << -1.0 << 50.0 << -all << all << qint64(0) << 0;
        QTest::newRow("NaN step") << 10.0 << kNaN << 50.0 << -all << all << qint64(0) << 0;
        QTest::newRow("NaN first line") << kNaN << 10.0 << 50.0 << -all << all << qint64(0) << 0;
        QTest::newRow("NaN edge") << 10.0 << 10.0 << kNaN << -all << all << qint64(0) << 1;
        QTest::newRow("a step far below a pixel") << 0.0 << 1e-9 << 900.0 << -all << all << qint64(0) << 4096;
        QTest::newRow("a strip of the grid") << 10.0 << 10.0 << 500.0 << 95.0 << 125.0 << qint64(9) << 3;
        QTest::newRow("a strip past the edge") << 10.0 << 10.0 << 50.0 << 95.0 << 125.0 << qint64(9) << 0;
        QTest::newRow("a strip before the first line") << 10.0 << 10.0 << 50.0 << -30.0 << 5.0 << qint64(0) << 0;
        QTest::newRow("a strip far along a tiny step") << 0.0 << 1e-9 << 900.0 << 100.0 << 100.5
                                                       << qint64(100000000000) << 4096;
        QTest::newRow("a strip of an endless grid") << 0.0 << 1.0 << all << 1e300 << 1e300 + 5 << qint64(0) << 0;
        // Adding a step no longer moves a line: the few lines at the same place.
        QTest::newRow("a step lost in the first line") << 1e300 << 1.0 << 1e300 << 0.0 << 2e300 << qint64(0) << 3;
    }

    void gridLinePositions()
    {
        QFETCH(double, first);
        QFETCH(double, step);
        QFETCH(double, edge);
        QFETCH(double, from);
        QFETCH(double, to);
        const profilegrid::GridLines lines = profilegrid::visibleLines(first, step, edge, from, to);
        QTEST(int(lines.count()), "count");
        if (lines.count() > 0) {
            QTEST(lines.begin, "begin");
            // Within the strip; past the first line, within the edge too.
            QVERIFY(lines.at(lines.begin) >= from && lines.at(lines.end - 1) <= to);
            QVERIFY(lines.end == 1 || lines.at(lines.end - 1) <= edge);
        }
    }

    // Tiny, empty and never-resized items with a deco dive: every paint returns.
    void degenerateItemPaintsAndReturns_data()
    {
        QTest::addColumn<QRectF>("rect"); // null: never resized
        QTest::newRow("zero size") << QRectF(0, 0, 0, 0);
        QTest::newRow("5 x 5") << QRectF(0, 0, 5, 5);
        QTest::newRow("smaller than the margins") << QRectF(0, 0, 60, 60);
        QTest::newRow("the bottom reserve only") << QRectF(0, 0, 690, 120.001);
        QTest::newRow("one pixel wide") << QRectF(0, 0, 1, 900);
        QTest::newRow("never resized") << QRectF();
    }

    void degenerateItemPaintsAndReturns()
    {
        QFETCH(QRectF, rect);
        QGraphicsScene scene(0, 0, 200, 100);
        auto* item = new DiveProfileItem;
        scene.addItem(item);
        if (!rect.isNull())
            item->resize(rect);
        Dive dive = profilefixtures::decoDive();
        ShowItemsState all;
        all.points = true;
        item->showItems(all);
        item->setDiveProfile(&dive);
        item->zoom(DiveProfileItem::Axis::Time, 3.0, 100);
        item->zoom(DiveProfileItem::Axis::Depth, 2.0, 100);
        profilefixtures::render(scene);
        for (double scale : {item->pixelsPerSecond(), item->pixelsPerMeter(), item->pixelsPerDegree(),
                             item->pixelsPerBar()})
            QVERIFY(std::isfinite(scale) && scale > 0);
    }

    void iconChildren_data()
    {
        QTest::addColumn<int>("computerModel");
        QTest::addColumn<bool>("alerts");
        QTest::addColumn<bool>("gases");
        QTest::addColumn<QStringList>("toolTips");
        const QString air = QStringLiteral("Air (Open Circuit)");
        const QString bailout = QStringLiteral("Nx40 (Bailout)");
        const QString diluent = QStringLiteral("Nx50 (Diluent)");
        const QString hyperoxic = QStringLiteral("Hyperoxic: 1.62bar");
        const QString fast = QStringLiteral("Fast ascent: 18m/mn");
        QTest::newRow("Pelavix, all shown") << 2 << true << true
                                            << QStringList{air, hyperoxic, fast, fast, fast, bailout, diluent};
        QTest::newRow("alerts hidden") << 2 << false << true << QStringList{air, bailout, diluent};
        QTest::newRow("gases hidden") << 2 << true << false << QStringList{hyperoxic, fast, fast, fast};
        QTest::newRow("first family: alerts are painted") << 1 << true << true << QStringList{air, bailout, diluent};
    }

    void iconChildren()
    {
        QFETCH(int, computerModel);
        QFETCH(bool, alerts);
        QFETCH(bool, gases);
        QFETCH(QStringList, toolTips);
        Dive dive = alertedDive();
        dive.computerModel = computerModel;
        ShowItemsState state;
        state.alerts = alerts;
        state.gases = gases;
        ShownProfile profile(dive, state);
        profile.render();

        const QList<QGraphicsPixmapItem*> icons = profile.item->icons();
        QStringList shown;
        for (QGraphicsPixmapItem* icon : icons) {
            QCOMPARE(icon->parentItem(), profile.item);
            QVERIFY(icon->isVisible());
            shown << icon->toolTip();
            // Gas 9 has no icon among the eight; every other icon has its picture.
            QCOMPARE(icon->pixmap().isNull(), icon->toolTip() == QStringLiteral("Nx40 (Bailout)"));
        }
        QCOMPARE(shown, toolTips);
        QCOMPARE(profile.item->childItems().size(), icons.size());

        // Painting again neither deletes nor adds icons.
        profile.render();
        QCOMPARE(profile.item->icons(), icons);
    }

    void iconsFollowTheScales()
    {
        ShownProfile profile(alertedDive(), ShowItemsState());
        DiveProfileItem& item = *profile.item;
        // The hyperoxic icon of sample 3 (30 s, 30 m).
        const auto hyperoxic = [&item] { return item.icons().at(1); };
        const QPointF before = hyperoxic()->pos();
        item.zoom(DiveProfileItem::Axis::Depth, 2.0, 0);
        QCOMPARE(hyperoxic()->pos(), onPixels(item.timeDepthToGraphCoordinates(30, 30) + QPointF(5, 5)));
        QVERIFY(hyperoxic()->pos() != before);

        item.zoom(DiveProfileItem::Axis::Time, 2.0, item.timeDepthToGraphCoordinates(190.5, 0).x());
        QCOMPARE(item.startTime(), 95.0);
        QCOMPARE(hyperoxic()->pos(), onPixels(item.timeDepthToGraphCoordinates(30, 30) + QPointF(5, 5)));
        QVERIFY(!hyperoxic()->isVisible()); // left of the shown window
        QVERIFY(item.icons().last()->isVisible());
    }

    // Alerts that share a pixel show one icon; zooming in parts them, and
    // zooming out merges them again.
    void zoomPartsAndMergesIcons()
    {
        QList<QPointF> samples;
        for (int t = 0; t <= 2000; ++t)
            samples.append({double(t), t < 1000 ? 30.0 : 30.0 - (t - 1000) * 0.03});
        Dive dive = profilefixtures::diveOf(samples);
        dive.computerModel = 2;
        for (int i = 1200; i < 1240; ++i)
            dive.lines[i].pelavixAlerts |= 1u << 10; // fast ascent
        ShowItemsState state;
        state.gases = false;
        ShownProfile profile(withSpeeds(dive), state);
        DiveProfileItem& item = *profile.item;
        const qsizetype fitted = item.icons().size();
        QVERIFY2(fitted > 0 && fitted < 40, qPrintable(QString::number(fitted)));

        item.zoom(DiveProfileItem::Axis::Time, 20.0, item.timeDepthToGraphCoordinates(1220, 0).x());
        QCOMPARE(item.icons().size(), 40);
        for (qsizetype k = 0; k < 40; ++k) {
            QVERIFY(item.icons()[k]->isVisible());
            QCOMPARE(item.icons()[k]->pos(),
                     onPixels(item.timeDepthToGraphCoordinates(1200 + k, dive.lines[1200 + k].depth) + QPointF(5, 5)));
        }

        item.fitAll();
        QCOMPARE(item.icons().size(), fitted);
        QCOMPARE(item.childItems().size(), fitted);
    }

    // A gas written into a sample in place: the next paint circles the new
    // changes and their icons stand there.
    void gasEditShowsOnTheNextPaint()
    {
        ShowItemsState state = curveOnly();
        state.gases = true;
        ShownProfile profile(alertedDive(), state, true);
        const auto toolTips = [&profile] {
            QStringList shown;
            for (const QGraphicsPixmapItem* icon : profile.item->icons())
                shown << icon->toolTip();
            return shown;
        };
        const QString air = QStringLiteral("Air (Open Circuit)");
        const QString bailout = QStringLiteral("Nx40 (Bailout)");
        const QString diluent = QStringLiteral("Nx50 (Diluent)");
        // Sample 11 (110 s, 21 m) comes before the new change to the diluent.
        const QPointF before = profile.item->timeDepthToGraphCoordinates(110, 21);
        const QRect circle = QRectF(before - QPointF(5, 5), QSizeF(10, 10)).toAlignedRect();
        const QColor gasCircle(Qt::darkGreen);
        QVERIFY(!regionHas(profile.render(), circle, gasCircle));
        QCOMPARE(toolTips(), (QStringList{air, bailout, diluent}));

        profile.item->modifyGasOfDivePoint(12, 2);
        QVERIFY(regionHas(profile.render(), circle, gasCircle));
        QCOMPARE(toolTips(), (QStringList{air, bailout, diluent, bailout, diluent}));
    }

    // Nothing that a paint does asks for another paint.
    void idleViewDoesNotRepaint()
    {
        auto* item = new CountingProfileItem;
        ShownProfile profile(alertedDive(), ShowItemsState(), false, QSizeF(690, 320), item);
        QGraphicsView view(&profile.scene);
        view.resize(700, 330);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QTRY_VERIFY(item->paints >= 1);
        item->paints = 0;
        QTest::qWait(200);
        QVERIFY2(item->paints <= 2, qPrintable(QString::number(item->paints)));
    }

    void tankCurveNeedsTheLastPressure_data()
    {
        QTest::addColumn<int>("lastPressure");
        QTest::addColumn<bool>("drawn");
        QTest::newRow("last sample at 150 bar") << 150 << true;
        QTest::newRow("last sample at 0 bar") << 0 << false;
    }

    void tankCurveNeedsTheLastPressure()
    {
        QFETCH(int, lastPressure);
        QFETCH(bool, drawn);
        Dive dive = sampledDive({{0, 0}, {300, 20}, {900, 20}, {1200, 0}});
        for (DiveLine& line : dive.lines)
            line.tankPressure = 180;
        dive.lines.last().tankPressure = quint16(lastPressure);
        ShowItemsState state = curveOnly();
        state.tankPressure = true;
        ShownProfile profile(dive, state);
        QCOMPARE(regionHas(profile.render(), profile.item->graphRect().toRect(), QColor(Qt::darkGreen)), drawn);
    }

    void invalidDiveBanner_data()
    {
        QTest::addColumn<int>("reason");
        QTest::addColumn<bool>("banner");
        QTest::newRow("valid") << 0 << false;
        QTest::newRow("too many yoyos") << 3 << true;
        QTest::newRow("surface interval") << 4 << true;
        QTest::newRow("reason 5: red background only") << 5 << false;
    }

    void invalidDiveBanner()
    {
        QFETCH(int, reason);
        QFETCH(bool, banner);
        Dive dive = sampledDive({{0, 0}, {300, 20}, {900, 20}, {1200, 0}});
        dive.invalidReason = reason;
        ShownProfile profile(dive, curveOnly());
        const QImage image = profile.render();
        QCOMPARE(regionHas(image, QRect(0, image.height() - 25, 400, 25), kRed), banner);
    }

    // A stop label reads right of its stop, unless it would run past the
    // graph's right edge: a planned dive's last stop ends there.
    void stopLabelStaysInsideTheGraph_data()
    {
        QTest::addColumn<double>("surfacing");
        QTest::addColumn<bool>("leftOfTheStop");
        QTest::newRow("stop ends mid-graph") << 9000.0 << false;
        QTest::newRow("stop ends at the right edge") << 4630.0 << true;
    }

    void stopLabelStaysInsideTheGraph()
    {
        QFETCH(double, surfacing);
        QFETCH(bool, leftOfTheStop);
        ShownProfile profile(diveWithAStop(4600, surfacing), curveOnly());
        const QImage image = profile.render();
        const QPointF stop = profile.item->mapping().point(4600, 3);
        QCOMPARE(bluePixels(image.copy(stopLabelBox(stop, false))) > 0, leftOfTheStop);
        QCOMPARE(bluePixels(image.copy(stopLabelBox(stop, true))) > 0, !leftOfTheStop);
    }

    // The engine's stop times carry float noise: a stop ending a hair before
    // a whole second reads that second, as the run table gives it.
    void stopLabelRoundsToTheNearestSecond()
    {
        ShownProfile noisy(diveWithAStop(1603.9999, 3000), curveOnly());
        ShownProfile exact(diveWithAStop(1604, 3000), curveOnly());
        const QRect box = stopLabelBox(exact.item->mapping().point(1604, 3), true);
        QVERIFY(bluePixels(exact.render().copy(box)) > 0);
        QCOMPARE(noisy.render().copy(box), exact.render().copy(box));
    }

    void fewSamplesDrawOnlyAxesAndTitle_data()
    {
        QTest::addColumn<QList<QPointF>>("samples");
        QTest::addColumn<bool>("curve");
        QTest::newRow("one sample") << QList<QPointF>{{0, 10}} << false;
        QTest::newRow("two samples: one segment") << QList<QPointF>{{0, 0}, {600, 10}} << true;
    }

    void fewSamplesDrawOnlyAxesAndTitle()
    {
        QFETCH(QList<QPointF>, samples);
        QFETCH(bool, curve);
        ShownProfile profile(sampledDive(samples), ShowItemsState());
        const QImage image = profile.render();
        QCOMPARE(regionHas(image, image.rect(), kGreen), curve);
        QVERIFY(regionHas(image, image.rect(), QColor(Qt::lightGray))); // the axes
    }

    // The first family's alert icons are painted, not made into items: each
    // gets a square of its own colour here, and the squares are counted.
    void quelmAlertIcons_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<bool>("alerts");
        QTest::addColumn<QList<int>>("maxDepthFlags");
        QTest::addColumn<QList<int>>("fastAscentFlags");
        QTest::addColumn<int>("maxDepthIcons");
        QTest::addColumn<int>("fastAscentIcons");
        QTest::addColumn<int>("ceilingIcons");
        // One alert per sample: a second one on a sample draws its circle over the first icon.
        const QList<int> runs = {0, 1, 1, 1, 0, 1, 1, 0, 0, 0, 0};
        const QList<int> fast = {0, 0, 0, 0, 1, 0, 0, 1, 1, 0, 0};
        QTest::newRow("log dive: one icon per run of maximum-depth flags") << 2 << true << runs << fast << 2 << 3 << 1;
        QTest::newRow("plan: every flagged sample") << 3 << true << runs << fast << 5 << 3 << 1;
        QTest::newRow("alerts hidden") << 2 << false << runs << fast << 0 << 0 << 0;
    }

    void quelmAlertIcons()
    {
        QFETCH(int, format);
        QFETCH(bool, alerts);
        QFETCH(QList<int>, maxDepthFlags);
        QFETCH(QList<int>, fastAscentFlags);
        QFETCH(int, maxDepthIcons);
        QFETCH(int, fastAscentIcons);
        QFETCH(int, ceilingIcons);
        // Samples a minute apart; sample 9 stays above the ceiling that sample 8 had.
        Dive dive = sampledDive({{0, 20}, {60, 20}, {120, 20}, {180, 20}, {240, 20}, {300, 20}, {360, 20}, {420, 20},
                                 {480, 5}, {540, 4}, {600, 0}});
        dive.computerModel = 1;
        dive.format = format;
        dive.lines[8].decoCeiling = 6;
        for (int i = 0; i < dive.lines.size(); ++i) {
            dive.lines[i].setAlertFlag(QuelmAlertType::Pmax, quint8(maxDepthFlags[i]));
            dive.lines[i].setAlertFlag(QuelmAlertType::RR, quint8(fastAscentFlags[i]));
        }
        ShowItemsState state = curveOnly();
        state.alerts = alerts;
        ShownProfile profile(dive, state);
        const QColor fastColour(255, 0, 255), maxDepthColour(0, 255, 255), ceilingColour(128, 0, 128);
        Marker::mMarkAlertRR = square(fastColour);
        Marker::mMarkAlertPmax = square(maxDepthColour);
        Marker::mMarkAlertCeil = square(ceilingColour);
        const QImage image = profile.render();
        Marker::loadPictures();
        QCOMPARE(pixelsOf(image, maxDepthColour) / 16, maxDepthIcons);
        QCOMPARE(pixelsOf(image, fastColour) / 16, fastAscentIcons);
        QCOMPARE(pixelsOf(image, ceilingColour) / 16, ceilingIcons);
        QVERIFY(profile.item->icons().isEmpty());
    }

    void curveLabels_data()
    {
        QTest::addColumn<QList<double>>("xs");
        QTest::addColumn<QList<double>>("temperatures"); // empty: the curve is hidden
        QTest::addColumn<QList<double>>("tanks");        // empty: the curve is hidden
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("changes 30 px apart: the first only")
            << QList<double>{100, 130, 200} << QList<double>{20, 18, 18} << QList<double>{} << QStringList{"20°C", "18°C"};
        QTest::newRow("the same whole degree is not labelled again")
            << QList<double>{100, 200, 300} << QList<double>{20, 20.4, 20.5} << QList<double>{}
            << QStringList{"20°C", "21°C"};
        QTest::newRow("a tank label right after a temperature label waits")
            << QList<double>{100, 160} << QList<double>{20, 20} << QList<double>{200, 200}
            << QStringList{"20°C", "200b"};
        QTest::newRow("the tank alone") << QList<double>{100, 120, 140, 300} << QList<double>{}
                                        << QList<double>{200, 199, 199, 198} << QStringList{"200b", "198b"};
        QTest::newRow("out of sight: counted, not kept")
            << QList<double>{-100, -40, 20} << QList<double>{20, 18, 16} << QList<double>{} << QStringList{"16°C"};
    }

    void curveLabels()
    {
        QFETCH(QList<double>, xs);
        QFETCH(QList<double>, temperatures);
        QFETCH(QList<double>, tanks);
        profilemarks::CurveLabels labels(QRectF(0, 0, 1000, 500));
        for (qsizetype k = 0; k < xs.size(); ++k) {
            DiveLine start;
            start.ambientTemp = temperatures.isEmpty() ? 0 : temperatures[k];
            start.tankPressure = tanks.isEmpty() ? 0 : quint16(tanks[k]);
            const QPointF temperatureAt(xs[k], 300);
            const QPointF tankAt(xs[k], 100);
            labels.add(start, temperatures.isEmpty() ? nullptr : &temperatureAt, tanks.isEmpty() ? nullptr : &tankAt);
        }
        QStringList texts;
        for (const profilemarks::CurveLabel& label : labels.labels())
            texts << label.text;
        QTEST(texts, "labels");
    }

    // A stroked polyline keeps per pixel column the first, the highest, the
    // lowest and the last point; everything left or right of the view is one column.
    void outlineReduction()
    {
        OutlineReducer outline(PixelColumns(1.0, 0.0, 10.0));
        for (const QPointF& p : QPolygonF{{0.1, 5}, {0.15, 6}, {0.2, 1}, {0.3, 9}, {0.35, 7}, {0.4, 4}, {1.5, 3},
                                          {12, 2}, {13, 8}, {14, 1}, {15, 5}, {16, 4}, {17, kNaN}})
            outline.add(p);
        // The highest and the lowest keep their order of arrival.
        QCOMPARE(outline.take(), (QPolygonF{{0.1, 5}, {0.2, 1}, {0.3, 9}, {0.4, 4}, {1.5, 3},
                                            {12, 2}, {13, 8}, {14, 1}, {16, 4}}));
    }

    void areaReduction_data()
    {
        QTest::addColumn<bool>("strokedEdge");
        QTest::addColumn<QPolygonF>("points");
        QTest::addColumn<int>("unstrokedStep"); // the point that no stroke reaches from the one before
        QTest::addColumn<QPolygonF>("outline");
        const QPolygonF threeColumns = {{0.1, 5}, {0.5, 1}, {0.9, 9}, {1.1, 4}, {1.5, 8},
                                        {1.9, 2}, {2.1, 6}, {2.5, 3}, {2.9, 7}, {4.5, 5}};
        QTest::newRow("first and last per column") << false << threeColumns << -1
                                                   << QPolygonF{{0.1, 5}, {0.9, 9}, {1.1, 4}, {1.9, 2}, {2.1, 6},
                                                                {2.9, 7}, {4.5, 5}};
        QTest::newRow("under a stroke: one level through the run")
            << true << threeColumns << -1
            << QPolygonF{{0.1, 5}, {0.9, 5}, {1.1, 5}, {1.9, 5}, {2.1, 5}, {2.9, 7}, {4.5, 5}};
        QTest::newRow("under a stroke: the level stays within each column")
            << true << QPolygonF{{0.1, 1}, {0.9, 2}, {1.1, 6}, {1.9, 8}} << -1
            << QPolygonF{{0.1, 1}, {0.9, 1}, {1.1, 6}, {1.9, 8}};
        QTest::newRow("under a stroke: an unstroked step keeps both ends")
            << true << QPolygonF{{0.1, 5}, {0.5, 1}, {0.9, 9}, {1.1, 4}, {1.9, 2}, {2.1, 6}, {2.9, 7}} << 3
            << QPolygonF{{0.1, 5}, {0.9, 9}, {1.1, 4}, {1.9, 2}, {2.1, 6}, {2.9, 7}};
        QTest::newRow("single points stay exact") << true << QPolygonF{{0.5, 1}, {2.5, 9}, {3.5, 4}} << -1
                                                  << QPolygonF{{0.5, 1}, {2.5, 9}, {3.5, 4}};
    }

    void areaReduction()
    {
        QFETCH(bool, strokedEdge);
        QFETCH(QPolygonF, points);
        QFETCH(int, unstrokedStep);
        AreaReducer area(PixelColumns(1.0, 0.0, 10.0), strokedEdge);
        for (qsizetype k = 0; k < points.size(); ++k)
            area.add(points[k], k != unstrokedStep);
        QTEST(area.take(), "outline");
    }

    void segmentReduction()
    {
        // Three segments inside column 0 (levels 0, 2, 0), one crossing to
        // column 3 (level 1), one crossing out of the view (level 0) and one
        // wholly right of it.
        SegmentReducer segments(PixelColumns(1.0, 0.0, 10.0), 3);
        const QPolygonF points = {{0.1, 5}, {0.2, 1}, {0.3, 9}, {0.4, 4}, {3.5, 4}, {12, 4}, {13, 6}};
        const QList<quint8> levels = {0, 0, 2, 0, 1, 0, 2};
        for (qsizetype k = 0; k < points.size(); ++k)
            segments.add(points[k], levels[k]);
        const QList<QList<QLineF>> lines = segments.take();
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], (QList<QLineF>{QLineF(QPointF(3.5, 4), QPointF(12, 4)),
                                          QLineF(QPointF(0.2, 1), QPointF(0.3, 9))}));
        QCOMPARE(lines[1], (QList<QLineF>{QLineF(QPointF(0.4, 4), QPointF(3.5, 4))}));
        QCOMPARE(lines[2], (QList<QLineF>{QLineF(QPointF(0.2, 1), QPointF(0.3, 9))}));
    }

    void dotReduction_data()
    {
        QTest::addColumn<QPolygonF>("dots");
        QTest::addColumn<QList<QLineF>>("lines");
        QTest::newRow("touching dots: one run") << QPolygonF{{0.1, 5}, {0.2, 8}, {0.3, 6}, {0.4, 11}}
                                                << QList<QLineF>{QLineF(0.1, 5, 0.1, 11)};
        QTest::newRow("dots apart: one run each")
            << QPolygonF{{0.1, 5}, {0.2, 15}, {0.3, 7}, {1.5, 3}}
            << QList<QLineF>{QLineF(0.1, 5, 0.1, 7), QLineF(0.1, 15, 0.1, 15), QLineF(1.5, 3, 1.5, 3)};
        QTest::newRow("out of sight: none") << QPolygonF{{12, 5}, {2, 40}, {3, -9}, {kNaN, 5}} << QList<QLineF>{};
    }

    void dotReduction()
    {
        QFETCH(QPolygonF, dots);
        DotReducer reducer(PixelColumns(1.0, 0.0, 10.0), 0, 20, 4);
        for (const QPointF& p : dots)
            reducer.add(p);
        QTEST(reducer.take(), "lines");
    }

    void markedPixels()
    {
        PixelSet marked;
        QVERIFY(marked.insert(QPointF(10.2, 5.1)));
        QVERIFY(!marked.insert(QPointF(9.8, 4.9)));   // the same pixel
        QVERIFY(marked.insert(QPointF(9.8, 4.9), 1)); // another layer
        QVERIFY(marked.insert(QPointF(11.2, 5.1)));
        QVERIFY(!marked.insert(QPointF(1e12, 5)));    // far off any screen
    }
};

MAREVANE_TEST_MAIN(ProfilePaintingTest)
#include "tst_profilepainting.moc"
