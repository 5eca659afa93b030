#include "testenvironment.h"

#include "graphics/diveprofileitem.h"
#include "graphics/profilenumbers.h"
#include "profilefixtures.h"

#include <QGraphicsScene>

#include <cmath>
#include <limits>

using testkit::diveLine;

Q_DECLARE_METATYPE(Dive)
Q_DECLARE_METATYPE(DiveProfileItem::Axis)

using profilefixtures::diveOf;
using profilenumbers::isFinitePositive;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// An item whose graph area is 600 x 240 (the margins take 90 x 80).
const QRectF kItemRect(0, 0, 690, 320);

Dive withTemperaturesAndTanks(Dive dive, double warm, double cold, int fullTank, int lowTank)
{
    dive.lines.first().ambientTemp = warm;
    dive.lines.last().ambientTemp = cold;
    dive.lines.first().tankPressure = quint16(fullTank);
    dive.lines.last().tankPressure = quint16(lowTank);
    return dive;
}

QString titlePiece(const QString& label, const QString& value)
{
    return QStringLiteral("<span style=\" font-size:12pt; color:#5a5a5a;\">") + label
        + QStringLiteral("</span><span style=\" font-size:12pt; font-weight:700;\">") + value
        + QStringLiteral("</span>");
}

QString titleOf(const QStringList& pieces)
{
    return QStringLiteral("<html><head/><body><p>") + pieces.join(QString()) + QStringLiteral("</p></body></html>");
}

} // namespace

class ProfileItemTest : public QObject
{
    Q_OBJECT

private:
    static void verifyScalesUsable(const DiveProfileItem& item)
    {
        QVERIFY(isFinitePositive(item.pixelsPerSecond()));
        QVERIFY(isFinitePositive(item.pixelsPerMeter()));
        QVERIFY(isFinitePositive(item.pixelsPerDegree()));
        QVERIFY(isFinitePositive(item.pixelsPerBar()));
    }

private slots:
    void graphArea()
    {
        DiveProfileItem item;
        QCOMPARE(item.boundingRect(), QRectF(0, 0, 200, 100));
        item.resize(QRectF(10, 20, 690, 320));
        QCOMPARE(item.boundingRect(), QRectF(10, 20, 690, 320));
        QCOMPARE(item.graphRect(), QRectF(60, 50, 600, 240));
        QCOMPARE(item.graphBottom(), 290.0);
    }

    void fit_data()
    {
        QTest::addColumn<Dive>("dive");
        QTest::addColumn<QRectF>("rect"); // null: never resized
        QTest::addColumn<double>("pixelsPerSecond");
        QTest::addColumn<double>("pixelsPerMeter");
        QTest::addColumn<double>("pixelsPerDegree");
        QTest::addColumn<double>("pixelsPerBar");
        QTest::addColumn<double>("shownDepth");

        const QList<QPointF> samples = {{0, 0}, {600, 29.2}, {1200, 0}};
        const double curveShare = 240 / 3.2;
        QTest::newRow("two deco lines: the whole width")
            << diveOf(samples, {{1250, 3}, {1300, 0}}) << kItemRect << 600.0 / 1300 << 200.0 / 30
            << curveShare / 5 << curveShare / 5 << 30.0;
        QTest::newRow("three deco lines: 55 px kept free")
            << diveOf(samples, {{1250, 3}, {1280, 3}, {1300, 0}}) << kItemRect << 545.0 / 1300 << 200.0 / 30
            << curveShare / 5 << curveShare / 5 << 30.0;
        QTest::newRow("narrow temperature and tank ranges")
            << withTemperaturesAndTanks(diveOf(samples), 20, 18, 200, 197) << kItemRect << 0.5 << 200.0 / 30
            << curveShare / 5 << curveShare / 5 << 30.0;
        QTest::newRow("wide temperature and tank ranges")
            << withTemperaturesAndTanks(diveOf(samples), 25, 15, 200, 100) << kItemRect << 0.5 << 200.0 / 30
            << curveShare / 10 << curveShare / 100 << 30.0;
        QTest::newRow("all depths 0") << diveOf({{0, 0}, {600, 0}}) << kItemRect << 1.0 << 1.0 << curveShare / 5
                                      << curveShare / 5 << 0.0;
        QTest::newRow("one sample at time 0") << diveOf({{0, 10}}) << kItemRect << 1.0 << 20.0 << curveShare / 5
                                              << curveShare / 5 << 10.0;
        QTest::newRow("smaller than its margins")
            << diveOf(samples) << QRectF(0, 0, 60, 60) << 1.0 << 1.0 << 1.0 << 1.0 << 30.0;
        QTest::newRow("zero size") << diveOf(samples) << QRectF(0, 0, 0, 0) << 1.0 << 1.0 << 1.0 << 1.0 << 30.0;
        QTest::newRow("never resized") << diveOf(samples) << QRectF() << 1.0 << 1.0 << 1.0 << 1.0 << 30.0;
    }

    void fit()
    {
        QFETCH(Dive, dive);
        QFETCH(QRectF, rect);
        DiveProfileItem item;
        if (!rect.isNull())
            item.resize(rect);
        item.setDiveProfile(&dive);
        QTEST(item.pixelsPerSecond(), "pixelsPerSecond");
        QTEST(item.pixelsPerMeter(), "pixelsPerMeter");
        QTEST(item.pixelsPerDegree(), "pixelsPerDegree");
        QTEST(item.pixelsPerBar(), "pixelsPerBar");
        QTEST(item.shownMaxDepth(), "shownDepth");
        QCOMPARE(item.startTime(), 0.0);
        QCOMPARE(item.endTime(), dive.maxTime);
    }

    void zoom_data()
    {
        QTest::addColumn<Dive>("dive");
        QTest::addColumn<DiveProfileItem::Axis>("axis");
        QTest::addColumn<double>("factor");
        QTest::addColumn<double>("cursorTime");
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("end");
        QTest::addColumn<double>("shownDepth");
        QTest::addColumn<double>("pixelsPerSecond");
        QTest::addColumn<double>("pixelsPerMeter");

        using A = DiveProfileItem::Axis;
        const Dive dive = diveOf({{0, 0}, {600, 42.3}, {1200, 0}});
        const double fitted = 200.0 / 43;
        QTest::newRow("depth x0.5 keeps the dive's depth") << dive << A::Depth << 0.5 << 0.0 << 0.0 << 1200.0 << 43.0
                                                           << 0.5 << fitted;
        QTest::newRow("depth x2 shows more") << dive << A::Depth << 2.0 << 0.0 << 0.0 << 1200.0 << 86.0 << 0.5
                                             << 200.0 / 86;
        QTest::newRow("depth x4 stops at 120 m") << diveOf({{0, 0}, {600, 40}, {1200, 0}}) << A::Depth << 4.0 << 0.0
                                                 << 0.0 << 1200.0 << 120.0 << 0.5 << 200.0 / 120;
        const Dive deep = diveOf({{0, 0}, {600, 150}, {1200, 0}});
        QTest::newRow("a 150 m dive is never cut, zooming out") << deep << A::Depth << 1.5 << 0.0 << 0.0 << 1200.0
                                                                << 150.0 << 0.5 << 200.0 / 150;
        QTest::newRow("a 150 m dive is never cut, zooming in") << deep << A::Depth << 0.5 << 0.0 << 0.0 << 1200.0
                                                               << 150.0 << 0.5 << 200.0 / 150;
        QTest::newRow("time x2 around second 600") << dive << A::Time << 2.0 << 600.0 << 300.0 << 900.0 << 43.0
                                                   << 1.0 << fitted;
        QTest::newRow("time x2 around second 100") << dive << A::Time << 2.0 << 100.0 << 50.0 << 650.0 << 43.0
                                                   << 1.0 << fitted;
        QTest::newRow("time out past twice the dive") << dive << A::Time << 0.25 << 600.0 << 0.0 << 2400.0 << 43.0
                                                      << 0.25 << fitted;
        const QList<std::pair<const char*, double>> refused = {
            {"wheel -600 (factor 0)", 0.0}, {"wheel -1200 (factor -1)", -1.0}, {"NaN", kNaN}, {"infinity", kInfinity}};
        for (const auto& [name, factor] : refused) {
            for (A axis : {A::Time, A::Depth}) {
                QTest::addRow("%s refused on the %s axis", name, axis == A::Time ? "time" : "depth")
                    << dive << axis << factor << 600.0 << 0.0 << 1200.0 << 43.0 << 0.5 << fitted;
            }
        }
        const Dive flat = diveOf({{0, 0}, {600, 0}});
        QTest::newRow("all depths 0, depth zoom") << flat << A::Depth << 2.0 << 0.0 << 0.0 << 600.0 << 0.0 << 1.0
                                                  << 1.0;
        const Dive single = diveOf({{0, 10}});
        QTest::newRow("one sample, time zoom in") << single << A::Time << 2.0 << 0.0 << 0.0 << 0.0 << 10.0 << 1.0
                                                  << 20.0;
        QTest::newRow("one sample, time zoom out") << single << A::Time << 0.5 << 0.0 << 0.0 << 0.0 << 10.0 << 1.0
                                                   << 20.0;
    }

    void zoom()
    {
        QFETCH(Dive, dive);
        QFETCH(DiveProfileItem::Axis, axis);
        QFETCH(double, factor);
        QFETCH(double, cursorTime);
        DiveProfileItem item;
        item.resize(kItemRect);
        item.setDiveProfile(&dive);
        const double x = item.timeDepthToGraphCoordinates(cursorTime + 0.5, 0).x();
        item.zoom(axis, factor, x);
        QTEST(item.startTime(), "start");
        QTEST(item.endTime(), "end");
        QTEST(item.shownMaxDepth(), "shownDepth");
        QTEST(item.pixelsPerSecond(), "pixelsPerSecond");
        QTEST(item.pixelsPerMeter(), "pixelsPerMeter");
        verifyScalesUsable(item);
    }

    void zoomWithoutDiveDoesNothing()
    {
        DiveProfileItem item;
        item.resize(kItemRect);
        item.zoom(DiveProfileItem::Axis::Time, 2.0, 300);
        item.zoom(DiveProfileItem::Axis::Depth, 2.0, 300);
        QCOMPARE(item.endTime(), 0.0);
        QCOMPARE(item.pixelsPerSecond(), 1.0);
        QCOMPARE(item.pixelsPerMeter(), 1.0);
    }

    void pan_data()
    {
        QTest::addColumn<double>("dx");
        QTest::addColumn<double>("start");
        QTest::newRow("left from 0 does nothing") << -10.0 << 0.0;
        QTest::newRow("right by 100 px") << 100.0 << 200.0;
        QTest::newRow("NaN does nothing") << kNaN << 0.0;
        QTest::newRow("infinity does nothing") << kInfinity << 0.0;
    }

    void pan()
    {
        QFETCH(double, dx);
        QFETCH(double, start);
        Dive dive = diveOf({{0, 0}, {600, 42.3}, {1200, 0}});
        DiveProfileItem item;
        item.resize(kItemRect);
        item.setDiveProfile(&dive);
        item.pan(dx);
        QCOMPARE(item.startTime(), start);
        QCOMPARE(item.endTime(), start + 1200);
    }

    void coordinateMapping()
    {
        Dive dive = withTemperaturesAndTanks(diveOf({{0, 0}, {600, 30}, {1200, 0}}), 25, 15, 200, 100);
        DiveProfileItem item;
        item.resize(kItemRect);
        item.setDiveProfile(&dive);
        QCOMPARE(item.timeDepthToGraphCoordinates(600, 30), QPointF(350, 230));
        QCOMPARE(item.xpositionToTime(50 + 12.9 * 0.5), 12); // truncated
        QCOMPARE(item.xpositionToTime(1e300), std::numeric_limits<int>::max());
        QCOMPARE(item.ypositionToDepth(230), 30.0);

        DiveLine line = diveLine(600, 30);
        line.ambientTemp = 20;
        line.tankPressure = 150;
        QPointF temperature;
        QPointF tank;
        QCOMPARE(item.diveLineToGraphCoordinates(line, &temperature, &tank), QPointF(350, 230));
        QCOMPARE(temperature, QPointF(350, 30 + 160 + 5 * 7.5));
        QCOMPARE(tank, QPointF(350, 30 + 80 + 50 * 0.75));
    }

    void sensitiveRectangle_data()
    {
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<bool>("inside");
        QTest::newRow("in the graph") << QPointF(300, 100) << true;
        QTest::newRow("one top margin below the graph") << QPointF(300, 299) << true;
        QTest::newRow("further below") << QPointF(300, 301) << false;
        QTest::newRow("in the left margin") << QPointF(49, 100) << false;
        QTest::newRow("above the graph") << QPointF(300, 29) << false;
    }

    void sensitiveRectangle()
    {
        QFETCH(QPointF, point);
        QFETCH(bool, inside);
        DiveProfileItem item;
        item.resize(kItemRect);
        QCOMPARE(item.pointInRect(point), inside);
    }

    void showItemsLeavesPointsHidden()
    {
        profilefixtures::ShownProfile profile(diveOf({{0, 0}, {600, 20}, {1200, 0}}), ShowItemsState(), true);
        DiveProfileItem* item = profile.item;
        const auto visiblePoints = [item] {
            int count = 0;
            for (QGraphicsItem* child : item->childItems())
                count += child->type() == DivePoint::Type && child->isVisible();
            return count;
        };
        QCOMPARE(visiblePoints(), 0);
        ShowItemsState state;
        state.points = true;
        item->showItems(state);
        QVERIFY(item->shownItems().points);
        QCOMPARE(visiblePoints(), 0);
        item->setShowDivePoints(true);
        QCOMPARE(visiblePoints(), 3);
        item->setItemFlag(&ShowItemsState::temperature, false);
        QVERIFY(!item->shownItems().temperature);
    }

    void undoListAcrossRefits()
    {
        profilefixtures::ShownProfile profile(diveOf({{0, 0}, {600, 20}, {1200, 0}}), ShowItemsState(), true);
        DiveProfileItem* item = profile.item;
        const auto recordMove = [&profile] { DivePoint::sPointHasMoved(profile.point(1), QPointF(1, 2)); };
        recordMove();
        item->fitAll();
        QCOMPARE(item->undoList().size(), 1);
        item->update();
        QVERIFY(item->undoList().isEmpty());
        // Showing the dive again rebuilds the points: no record may outlive its point.
        recordMove();
        item->setDiveProfile(&profile.dive);
        QVERIFY(item->undoList().isEmpty());
    }

    void title_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("planningTitle");
        QTest::addColumn<QString>("title");
        const QString log = titleOf({titlePiece("Plongee : ", "Dive 1"), titlePiece(" - Profondeur : ", "18.0m"),
                                     titlePiece(" - DTP : ", "05:00")});
        QTest::newRow("log view") << "Dive 1" << 0 << log;
        QTest::newRow("planning title 2 reads as the log view") << "Dive 1" << 2 << log;
        QTest::newRow("planning view")
            << "Dive 1" << 1
            << titleOf({titlePiece("Plongee : ", "Dive 1"), titlePiece(" - Profondeur : ", "18.0m"),
                        titlePiece(" - DTP : ", "05:00"), titlePiece(" - DTR : ", "03:24"),
                        titlePiece(" - DTPal : ", "02:00")});
        QTest::newRow("the name as typed")
            << "Wreck <A&B> %2" << 0
            << titleOf({titlePiece("Plongee : ", "Wreck &lt;A&amp;B&gt; %2"), titlePiece(" - Profondeur : ", "18.0m"),
                        titlePiece(" - DTP : ", "05:00")});
    }

    void title()
    {
        QFETCH(QString, name);
        QFETCH(int, planningTitle);
        // 18.04 m; the ascent from 95.6 s to 300.5 s stops 120 s at 6 m.
        Dive dive = diveOf({{0, 0}, {60, 18.04}, {95.6, 18}}, {{96.5, 18}, {160, 6}, {280, 6}, {300.5, 0}});
        dive.name = name;
        DiveProfileItem item;
        // Wide enough for the whole title on its line.
        item.resize(QRectF(0, 0, 1000, 400));
        item.mPlanningTitle = planningTitle;
        item.setDiveProfile(&dive);
        QTEST(item.title(), "title");
    }

    void titleTruncatesTheDiveTime()
    {
        Dive dive = diveOf({{0, 0}, {60, 18.04}, {95.6, 0}});
        dive.name = QStringLiteral("Dive 1");
        DiveProfileItem item;
        item.setDiveProfile(&dive);
        QVERIFY(item.title().contains(titlePiece(" - DTP : ", "01:35")));
    }

    void titleStaysWithoutDive()
    {
        Dive dive = diveOf({{0, 0}, {60, 10}});
        dive.name = QStringLiteral("Kept");
        DiveProfileItem item;
        item.setDiveProfile(&dive);
        const QString title = item.title();
        item.setDiveProfile(nullptr);
        item.updateTitle();
        QCOMPARE(item.title(), title);
    }
};

MAREVANE_TEST_MAIN(ProfileItemTest)
#include "tst_profileitem.moc"
