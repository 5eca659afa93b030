#include "testenvironment.h"

#include "../divemodel/diveprofiles.h"
#include "divemodel/diveanalysis.h"
#include "graphics/graphitem.h"
#include "graphics/profilenumbers.h"
#include "profilefixtures.h"

#include <QGraphicsScene>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(MarkerType)

using profilefixtures::pixelsOf;
using profilefixtures::regionHas;
using profilenumbers::isFinitePositive;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// The item size of the tests: a graph of 610 x 240 at (50, 30), a curve of 600 x 220.
const QRectF kItemRect(0, 0, 690, 320);

// A dive of (time s, depth m) samples, analysed as a reader leaves it.
Dive analysedDive(const QList<QPointF>& samples)
{
    Dive dive = profilefixtures::diveOf(samples);
    DiveAnalysis::calculateMaxTimeDepth(dive);
    DiveAnalysis::calculateSpeeds(dive, false);
    return dive;
}

// 20 minutes at 20 m: 0.5 px a second.
Dive squareDive()
{
    return analysedDive({{0, 0}, {60, 20}, {1140, 20}, {1200, 0}});
}

// 30 m, then an ascent at 20 m/min to 20 m, at 12 m/min to 10 m and at 5 m/min
// to the surface, at 0.75 px a second.
Dive ascentDive()
{
    return analysedDive({{0, 0}, {60, 30}, {600, 30}, {630, 20}, {680, 10}, {800, 0}});
}

// An item of kItemRect in a scene of its size, showing a dive.
struct ShownItem
{
    explicit ShownItem(Dive shown)
        : item(new GraphItem)
        , dive(std::move(shown))
    {
        scene.setSceneRect(kItemRect);
        scene.addItem(item);
        item->resize(kItemRect);
        item->setDiveProfile(&dive);
    }

    QImage render() { return profilefixtures::render(scene); }
    // The pixel of a time and depth.
    QPoint at(double time, double depth) const
    {
        const QRectF& graph = item->graphRect();
        return QPoint(int(graph.left() + (time - item->startTime()) * item->pixelsPerSecond()),
                      int(graph.top() + depth * item->pixelsPerMeter()));
    }

    QGraphicsScene scene;
    GraphItem* item; // the scene owns it
    Dive dive;
};

} // namespace

class TestGraphItem : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void fillShadesFromWhiteToBlue();
    void ascentsAreColouredBySpeed();
    void decoCeilingIsFilled();
    void activeMarkersOnlyWithTheFourthFlag();
    void alertMarkers_data();
    void alertMarkers();
    void gasMarkersAtSwitchesOnly();
    void panMovesByPixels_data();
    void panMovesByPixels();
    void timeZoomAroundTheCursor();
    void timeZoomFromTimeZero();
    void depthZoom();
    void titleShowsDurations_data();
    void titleShowsDurations();
    void speedTooFast_data();
    void speedTooFast();
    void markerIdsFollowTheLargest();
    void markersArePinnedWithinTheDive();
    void markerHitWithinTenPixels();
    void degenerateDivesAndSizes_data();
    void degenerateDivesAndSizes();

private:
    QTemporaryDir mIcons;
};

void TestGraphItem::initTestCase()
{
    // Marker pictures of one plain colour each, loaded by each item's constructor.
    const auto picture = [this](MarkerType type, const QColor& colour) {
        QImage image(8, 8, QImage::Format_ARGB32);
        image.fill(colour);
        const QString path = mIcons.filePath(QStringLiteral("marker%1.png").arg(int(type)));
        QVERIFY(image.save(path));
        Marker::setMarkerIconFileName(type, path);
    };
    picture(MarkerType::Info, Qt::magenta);
    picture(MarkerType::Warning, Qt::cyan);
}

void TestGraphItem::fillShadesFromWhiteToBlue()
{
    ShownItem f(ascentDive());
    const QImage image = f.render();

    const QPoint top = f.at(300, 0.5);
    const QPoint bottom = f.at(300, 29);
    const QColor light = image.pixelColor(top);
    const QColor deep = image.pixelColor(bottom);
    QVERIFY2(light.red() > 245 && light.green() > 245 && light.blue() > 245, qPrintable(light.name()));
    QVERIFY2(deep.red() < 170 && deep.green() < 170 && deep.blue() > 210, qPrintable(deep.name()));
    // Below the curve the background stays.
    QCOMPARE(image.pixelColor(f.at(300, 31.5)), QColor(242, 242, 230));
}

void TestGraphItem::ascentsAreColouredBySpeed()
{
    ShownItem f(ascentDive());
    const QImage image = f.render();
    const QColor warning(255, 190, 0);

    const int fast = f.at(615, 0).x();       // 20 m/min
    const int brisk = f.at(655, 0).x();      // 12 m/min
    const int slow = f.at(740, 0).x();       // 5 m/min
    const auto columnHas = [&image](int x, const QColor& colour) {
        return regionHas(image, QRect(x, 0, 1, image.height()), colour);
    };
    QVERIFY(columnHas(fast, Qt::red));
    QVERIFY(!columnHas(fast, warning));
    QVERIFY(columnHas(brisk, warning));
    QVERIFY(!columnHas(brisk, Qt::red));
    QVERIFY(columnHas(slow, Qt::green));
    QVERIFY(!columnHas(slow, warning));
}

void TestGraphItem::decoCeilingIsFilled()
{
    Dive dive = ascentDive();
    dive.lines[1].decoCeiling = 6;
    dive.lines[2].decoCeiling = 6;
    ShownItem f(std::move(dive));
    const QColor deco(242, 163, 167);

    QCOMPARE(f.render().pixelColor(f.at(300, 3)), deco);
    // Below the ceiling the depth shading shows.
    QVERIFY(f.render().pixelColor(f.at(300, 9)) != deco);
    f.item->showItems(false, true, false, true);
    QVERIFY(f.render().pixelColor(f.at(300, 3)) != deco);
}

void TestGraphItem::activeMarkersOnlyWithTheFourthFlag()
{
    ShownItem f(squareDive());
    f.item->addMarkerAt(300, true, MarkerType::Info, QStringLiteral("shown"));
    f.item->addMarkerAt(600, false, MarkerType::Warning, QStringLiteral("inactive"));

    QImage image = f.render();
    QCOMPARE(pixelsOf(image, Qt::magenta), 64);
    QCOMPARE(image.pixelColor(f.item->getMarker(0)->mPos.toPoint()), QColor(Qt::magenta));
    QCOMPARE(pixelsOf(image, Qt::cyan), 0);

    f.item->showItems(false, true, true, false);
    QCOMPARE(pixelsOf(f.render(), Qt::magenta), 0);
    f.item->showItems(false, true, true, true);
    f.item->activateMarker(1, true);
    QCOMPARE(pixelsOf(f.render(), Qt::cyan), 64);
}

void TestGraphItem::alertMarkers_data()
{
    QTest::addColumn<int>("alertByte");
    QTest::addColumn<int>("markerCount");
    QTest::addColumn<MarkerType>("type");
    QTest::addColumn<QString>("text");

    QTest::newRow("no alert") << 0x00 << 0 << MarkerType::Info << QString();
    QTest::newRow("ceiling, bit 0") << 0x01 << 1 << MarkerType::AlertCeil << "Ceil";
    QTest::newRow("ceiling, bit 1") << 0x02 << 1 << MarkerType::AlertCeil << "Ceil";
    QTest::newRow("fast ascent, bit 2") << 0x04 << 1 << MarkerType::AlertRR << "RR";
    QTest::newRow("yoyo, bit 4") << 0x10 << 1 << MarkerType::AlertYoyo << "Yoyo";
    QTest::newRow("yoyo, bit 5") << 0x20 << 1 << MarkerType::AlertYoyo << "Yoyo";
    QTest::newRow("security, bit 6") << 0x40 << 1 << MarkerType::AlertSecurity << "Security";
    QTest::newRow("24 hours, bit 7") << 0x80 << 1 << MarkerType::Alert24H << "Period 24H";
    QTest::newRow("bit 3 alone") << 0x08 << 1 << MarkerType::Error << QString();
    QTest::newRow("bit 3 and the ascent") << 0x0c << 1 << MarkerType::AlertRR << "RR";
    QTest::newRow("ascent and 24 hours: the first group") << 0x84 << 1 << MarkerType::AlertRR << "RR";
    QTest::newRow("yoyo and security: the first group") << 0x50 << 1 << MarkerType::AlertYoyo << "Yoyo";
}

void TestGraphItem::alertMarkers()
{
    QFETCH(int, alertByte);
    QFETCH(int, markerCount);
    QFETCH(MarkerType, type);
    QFETCH(QString, text);
    Dive dive = squareDive();
    dive.lines[2].alertFlag = quint8(alertByte);
    ShownItem f(std::move(dive));

    QCOMPARE(f.item->markers().size(), markerCount);
    if (markerCount == 0)
        return;
    const Marker& marker = f.item->markers().first();
    QCOMPARE(marker.mType, type);
    QCOMPARE(marker.mText, text);
    QVERIFY(marker.mActive);
    QCOMPARE(marker.mTime, 1140.0);
    QCOMPARE(marker.mDepth, 20.0);
}

void TestGraphItem::gasMarkersAtSwitchesOnly()
{
    Dive dive = analysedDive({{0, 0}, {60, 20}, {120, 20}, {180, 20}, {240, 20}, {300, 20}, {360, 20}, {420, 0}});
    dive.gases = {profilefixtures::gas(32), profilefixtures::gas(50)};
    const QList<int> gasIndexes = {-1, 0, 0, -1, 0, 1, 1, 5};
    for (int i = 0; i < gasIndexes.size(); ++i)
        dive.lines[i].gasIndex = gasIndexes[i];
    ShownItem f(std::move(dive));

    // The undefined gas between two samples of the first gas is no switch; a
    // gas past the list is air.
    QList<std::pair<double, QString>> markers;
    for (const Marker& marker : f.item->markers()) {
        QCOMPARE(marker.mType, MarkerType::Gas);
        markers.append({marker.mTime, marker.mText});
    }
    QCOMPARE(markers, (QList<std::pair<double, QString>>{{60, "Nx32"}, {300, "Nx50"}, {420, "Air"}}));
}

void TestGraphItem::panMovesByPixels_data()
{
    QTest::addColumn<double>("dx");
    QTest::addColumn<double>("start");
    // The window is 450 s to 750 s at 2 px a second.
    QTest::newRow("50 px later") << 50.0 << 475.0;
    QTest::newRow("to the start") << -900.0 << 0.0;
    QTest::newRow("before the start") << -902.0 << 450.0;
    QTest::newRow("to the end") << 900.0 << 900.0;
    QTest::newRow("past the end") << 902.0 << 450.0;
    QTest::newRow("not a number") << kNaN << 450.0;
    QTest::newRow("infinite") << kInfinity << 450.0;
}

void TestGraphItem::panMovesByPixels()
{
    QFETCH(double, dx);
    QFETCH(double, start);
    ShownItem f(squareDive());
    f.item->zoom(GraphItem::Axis::Time, 4, f.item->timeToXposition(600));
    QCOMPARE(f.item->startTime(), 450.0);
    QCOMPARE(f.item->pixelsPerSecond(), 2.0);

    f.item->pan(dx);
    QCOMPARE(f.item->startTime(), start);
    QCOMPARE(f.item->endTime(), start + 300);
    QCOMPARE(f.item->pixelsPerSecond(), 2.0);
}

void TestGraphItem::timeZoomAroundTheCursor()
{
    ShownItem f(squareDive());
    GraphItem& item = *f.item;
    item.zoom(GraphItem::Axis::Time, 4, item.timeToXposition(400));
    QCOMPARE(item.startTime(), 300.0);
    QCOMPARE(item.endTime(), 600.0);

    // Zooming out around 500 s would start the window at -71 s: it starts at 0, as long.
    item.zoom(GraphItem::Axis::Time, 0.35, item.timeToXposition(500));
    QCOMPARE(item.startTime(), 0.0);
    QCOMPARE(item.endTime(), 300 / 0.35);

    // Beyond the dive's length the window shows the whole dive.
    item.zoom(GraphItem::Axis::Time, 0.5, item.timeToXposition(500));
    QCOMPARE(item.startTime(), 0.0);
    QCOMPARE(item.endTime(), 1200.0);
    QCOMPARE(item.pixelsPerSecond(), 0.5);
}

void TestGraphItem::timeZoomFromTimeZero()
{
    ShownItem f(squareDive());
    f.item->setZoomMode(2);
    f.item->zoom(GraphItem::Axis::Time, 2, f.item->timeToXposition(900));
    QCOMPARE(f.item->startTime(), 0.0);
    QCOMPARE(f.item->endTime(), 600.0);
    QCOMPARE(f.item->pixelsPerSecond(), 1.0);
}

void TestGraphItem::depthZoom()
{
    ShownItem f(squareDive());
    GraphItem& item = *f.item;
    QCOMPARE(item.pixelsPerMeter(), 220 / 20.0);
    // A factor below 1 never shrinks the reserve below 20 px.
    item.zoom(GraphItem::Axis::Depth, 0.5, 0);
    QCOMPARE(item.pixelsPerMeter(), 220 / 20.0);
    item.zoom(GraphItem::Axis::Depth, 4, 0);
    QCOMPARE(item.pixelsPerMeter(), 160 / 20.0);
    item.zoom(GraphItem::Axis::Depth, 2, 0);
    QCOMPARE(item.pixelsPerMeter(), 80 / 20.0);
    // A reserve of 320 px would leave the 240 px graph no curve, upside down.
    item.zoom(GraphItem::Axis::Depth, 2, 0);
    QCOMPARE(item.pixelsPerMeter(), 80 / 20.0);
    QCOMPARE(item.pixelsPerSecond(), 0.5);
}

void TestGraphItem::titleShowsDurations_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("maxTime");
    QTest::addColumn<QString>("title");
    QTest::newRow("75 minutes") << "Epave" << 4500.0 << "Dive: Epave - Depth: 20.0m - Duration:75mn 00s - File: Epave";
    QTest::newRow("half an hour, unnamed") << "" << 1800.0 << "Dive:  - Depth: 20.0m - Duration:30mn 00s";
    QTest::newRow("under a minute") << "%2" << 59.9 << "Dive: %2 - Depth: 20.0m - Duration:00mn 59s - File: %2";
}

void TestGraphItem::titleShowsDurations()
{
    QFETCH(QString, name);
    QFETCH(double, maxTime);
    QFETCH(QString, title);
    // Half an hour off a whole hour, so that a clock time cannot pass for a duration.
    testkit::TestEnvironment::setTimeZone("Asia/Kolkata");
    Dive dive = analysedDive({{0, 0}, {maxTime / 2, 20}, {maxTime, 0}});
    dive.name = name;
    ShownItem f(std::move(dive));
    testkit::TestEnvironment::setTimeZone("UTC");

    QCOMPARE(f.item->title(), title);
}

void TestGraphItem::speedTooFast_data()
{
    QTest::addColumn<double>("speed");
    QTest::addColumn<double>("kept");
    QTest::newRow("12 m/min") << 12.0 << 12.0;
    QTest::newRow("9 m/min") << 9.0 << 15.9;
    QTest::newRow("the warning speed") << 10.0 << 15.9;
    QTest::newRow("not a number") << kNaN << 15.9;
}

void TestGraphItem::speedTooFast()
{
    QFETCH(double, speed);
    QFETCH(double, kept);
    QCOMPARE(GraphItem::getSpeedTooFast(), 15.9);
    GraphItem::setSpeedTooFast(speed);
    const double stored = GraphItem::getSpeedTooFast();
    GraphItem::sSpeedTooFast = 15.9;
    QCOMPARE(stored, kept);
}

void TestGraphItem::markerIdsFollowTheLargest()
{
    ShownItem f(squareDive());
    GraphItem& item = *f.item;
    QCOMPARE(item.addMarkerAt(10, true, MarkerType::Info, "a"), 0);
    QCOMPARE(item.addMarkerAt(20, true, MarkerType::Info, "b"), 1);
    QCOMPARE(item.addMarkerAt(30, true, MarkerType::Info, "c"), 2);
    item.removeMarker(1);
    QCOMPARE(item.getMarker(1), nullptr);
    QCOMPARE(item.addMarkerAt(40, true, MarkerType::Info, "d"), 3);
    item.removeMarker(3);
    QCOMPARE(item.addMarkerAt(40, true, MarkerType::Info, "e"), 3);
    // Unknown ids change nothing.
    item.removeMarker(9);
    item.activateMarker(9, false);
    item.setMarkerAt(9, 100, 5);
    QCOMPARE(item.markers().size(), 3);
}

void TestGraphItem::markersArePinnedWithinTheDive()
{
    ShownItem f(squareDive());
    GraphItem& item = *f.item;
    const int before = item.addMarkerAt(-50, true, MarkerType::Info, "before");
    const int after = item.addMarkerAt(5000, true, MarkerType::Info, "after");
    const int descent = item.addMarkerAt(30, true, MarkerType::Info, "descent");
    QCOMPARE(item.getMarker(before)->mTime, 0.0);
    QCOMPARE(item.getMarker(after)->mTime, 1200.0);
    // A negative depth is the profile's depth there, half-way down the descent.
    QCOMPARE(item.getMarker(descent)->mDepth, 10.0);
    QCOMPARE(item.getMarker(descent)->mPos, QPointF(50 + 30 * 0.5, 30 + 10 * 11.0));

    item.setMarkerAt(descent, 600, 5);
    QCOMPARE(item.getMarker(descent)->mDepth, 5.0);
    item.setMarkerAt(descent, kNaN, 7);
    QCOMPARE(item.getMarker(descent)->mTime, 600.0);
    QCOMPARE(item.getMarker(descent)->mDepth, 5.0);
    item.setMarkerAt(descent, 600, kNaN);
    QCOMPARE(item.getMarker(descent)->mDepth, 20.0);
}

void TestGraphItem::markerHitWithinTenPixels()
{
    ShownItem f(squareDive());
    GraphItem& item = *f.item;
    const int id = item.addMarkerAt(600, true, MarkerType::Info, "a");
    const QPointF at = item.getMarker(id)->mPos;

    QCOMPARE(item.getMarkerAtPosition(at + QPointF(9.9, -9.9)), item.getMarker(id));
    QCOMPARE(item.getMarkerAtPosition(at + QPointF(10, 0)), nullptr);
    QCOMPARE(item.getMarkerAtPosition(at + QPointF(0, -10)), nullptr);
}

void TestGraphItem::degenerateDivesAndSizes_data()
{
    QTest::addColumn<bool>("withDive");
    QTest::addColumn<QList<QPointF>>("samples");
    QTest::addColumn<bool>("analysed");
    QTest::addColumn<QSizeF>("size");

    const QSizeF normal = kItemRect.size();
    const QSizeF tiny(10, 10);
    const QList<QPointF> square = {{0, 0}, {60, 20}, {1140, 20}, {1200, 0}};
    for (const QSizeF& size : {normal, tiny}) {
        const QByteArray suffix = size == tiny ? " in a 10 x 10 item" : "";
        QTest::newRow("no dive" + suffix) << false << QList<QPointF>() << true << size;
        QTest::newRow("no samples" + suffix) << true << QList<QPointF>() << true << size;
        QTest::newRow("one sample" + suffix) << true << QList<QPointF>{{0, 0}} << true << size;
        QTest::newRow("all depths 0" + suffix) << true << QList<QPointF>{{0, 0}, {60, 0}, {120, 0}} << true << size;
        QTest::newRow("not analysed" + suffix) << true << square << false << size;
        QTest::newRow("samples from 100 s" + suffix)
            << true << QList<QPointF>{{100, 0}, {160, 20}, {200, 0}} << true << size;
        QTest::newRow("a square dive" + suffix) << true << square << true << size;
    }
}

void TestGraphItem::degenerateDivesAndSizes()
{
    QFETCH(bool, withDive);
    QFETCH(QList<QPointF>, samples);
    QFETCH(bool, analysed);
    QFETCH(QSizeF, size);
    Dive dive = analysed ? analysedDive(samples) : profilefixtures::diveOf(samples);
    GraphItem item;
    item.resize(QRectF(QPointF(0, 0), size));
    item.setDiveProfile(withDive ? &dive : nullptr);
    const auto usable = [&item] {
        return isFinitePositive(item.pixelsPerSecond()) && isFinitePositive(item.pixelsPerMeter())
            && isFinitePositive(item.pixelsPerDegree()) && std::isfinite(item.startTime())
            && std::isfinite(item.endTime());
    };
    QVERIFY2(usable(), "shown");

    for (const double factor : {0.0, -1.0, kNaN, kInfinity, 1e300, 4.0, 0.25}) {
        for (const auto axis : {GraphItem::Axis::Time, GraphItem::Axis::Depth}) {
            item.zoom(axis, factor, item.timeToXposition(0));
            QVERIFY2(usable(), qPrintable(QStringLiteral("zoomed by %1").arg(factor)));
        }
    }
    item.setZoomMode(2);
    item.zoom(GraphItem::Axis::Time, 4, 0);
    QVERIFY2(usable(), "zoomed from 0");
    for (const double dx : {10.0, -10.0, kNaN, kInfinity})
        item.pan(dx);
    QVERIFY2(usable(), "panned");
    const int id = item.addMarkerAt(30, true, MarkerType::Info, "a");
    item.setMarkerAt(id, 60, -1);
    item.activateMarker(id, true);
    item.getMarkerAtPosition(QPointF(0, 0));
    DiveLine deco;
    deco.timeSec = 1300;
    item.addDecoLine(deco);
    item.UpdateDiveProfile();
    item.UpdateMarkers();
    QVERIFY2(usable(), "after the markers");
    QVERIFY(std::isfinite(item.timeToXposition(100)));
    QVERIFY(std::isfinite(item.ypositionToDepth(100)));
    item.xpositionToTime(kNaN);
    item.pointInRect(QPointF(5, 5));

    QImage image(QSize(200, 200), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    item.paint(&painter, nullptr, nullptr);
    painter.end();
    item.setDiveProfile(nullptr);
    QCOMPARE(item.dive(), nullptr);
    QVERIFY(item.title().isEmpty());
}

MAREVANE_TEST_MAIN(TestGraphItem)
#include "tst_graphitem.moc"
