#include "testenvironment.h"

#include "../divemodel/diveprofiles.h"
#include "graphics/graphview.h"
#include "profilefixtures.h"

Q_DECLARE_METATYPE(MarkerType)

namespace {

// A 10-minute dive to 30 m in an item whose graph area is 600 x 240.
struct MarkerFixture
{
    MarkerFixture()
    {
        dive = testkit::diveOfDepths({0, 30, 30, 30, 30, 0}, 120.0);
        item.resize(QRectF(0, 0, 690, 320));
        item.setDiveProfile(&dive);
    }
    const Marker* find(int id) const
    {
        for (const Marker& marker : item.markers())
            if (marker.mId == id)
                return &marker;
        return nullptr;
    }

    Dive dive;
    DiveProfileItem item;
};

QList<int> idsOf(const DiveProfileItem& item)
{
    QList<int> ids;
    for (const Marker& marker : item.markers())
        ids.append(marker.mId);
    return ids;
}

} // namespace

class TestProfileMarkers : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { profilefixtures::setProgramIcons(); }

    void newIdsFollowTheLargest()
    {
        MarkerFixture f;
        QCOMPARE(f.item.addMarkerAt(10, true, MarkerType::Info, "a"), 0);
        for (int i = 1; i <= 3; ++i)
            f.item.addMarkerAt(10, true, MarkerType::Info, "b");
        f.item.removeMarker(1);
        f.item.removeMarker(2);
        QCOMPARE(idsOf(f.item), (QList<int>{0, 3}));
        QCOMPARE(f.item.addMarkerAt(10, true, MarkerType::Warning, "c"), 4);
        // An unknown id removes nothing.
        f.item.removeMarker(9);
        QCOMPARE(idsOf(f.item), (QList<int>{0, 3, 4}));
    }

    void markerIsPinnedInsideTheDive_data()
    {
        QTest::addColumn<double>("time");
        QTest::addColumn<double>("depth");
        QTest::addColumn<double>("pinnedTime");
        QTest::addColumn<double>("pinnedDepth");
        QTest::newRow("inside") << 300.0 << 12.5 << 300.0 << 12.5;
        QTest::newRow("before the start") << -12.0 << 5.0 << 0.0 << 5.0;
        QTest::newRow("after the end") << 5000.0 << 3.0 << 600.0 << 3.0;
        QTest::newRow("above the surface") << 60.0 << -1.0 << 60.0 << 0.0;
    }
    void markerIsPinnedInsideTheDive()
    {
        QFETCH(double, time);
        QFETCH(double, depth);
        QFETCH(double, pinnedTime);
        QFETCH(double, pinnedDepth);
        MarkerFixture f;
        const int id = f.item.addMarkerAt(0, true, MarkerType::Diver, "diver");

        f.item.setMarkerAt(id, time, depth);

        const Marker* marker = f.find(id);
        QCOMPARE(marker->mTime, pinnedTime);
        QCOMPARE(marker->mDepth, pinnedDepth);
        QCOMPARE(marker->mPos, f.item.timeDepthToGraphCoordinates(pinnedTime, pinnedDepth));
    }

    void unknownIdOrNoDiveChangesNothing()
    {
        MarkerFixture f;
        const int id = f.item.addMarkerAt(120, true, MarkerType::Info, "a");
        const QPointF before = f.find(id)->mPos;
        f.item.setMarkerAt(id + 1, 300, 10);
        QCOMPARE(f.find(id)->mTime, 120.0);
        QCOMPARE(f.find(id)->mPos, before);

        DiveProfileItem empty;
        QCOMPARE(empty.addMarkerAt(120, true, MarkerType::Info, "a"), 0);
        QCOMPARE(empty.markers().first().mTime, 0.0);
    }

    void positionsFollowTheZoom()
    {
        MarkerFixture f;
        const int id = f.item.addMarkerAt(300, true, MarkerType::Info, "a");
        const QPointF before = f.find(id)->mPos;
        f.item.zoom(DiveProfileItem::Axis::Time, 0.5, 100);
        QCOMPARE(f.find(id)->mPos, f.item.timeDepthToGraphCoordinates(300, 0));
        QVERIFY(f.find(id)->mPos != before);
    }

    void anotherDiveDropsTheMarkers()
    {
        MarkerFixture f;
        const int id = f.item.addMarkerAt(300, true, MarkerType::Info, "a");
        Dive other = testkit::diveOfDepths({0, 10, 0});
        f.item.setDiveProfile(&other);
        QVERIFY(f.item.markers().isEmpty());
        f.item.setMarkerAt(id, 10, 1);
        QVERIFY(f.item.markers().isEmpty());
    }

    void markerIsFoundUnderItsImage()
    {
        MarkerFixture f;
        const int first = f.item.addMarkerAt(300, true, MarkerType::Info, "first");
        const int second = f.item.addMarkerAt(300, true, MarkerType::Warning, "second");
        const int hidden = f.item.addMarkerAt(500, false, MarkerType::Error, "hidden");
        f.item.setMarkerAt(first, 300, 10);
        f.item.setMarkerAt(second, 300, 10);

        QCOMPARE(f.item.getMarkerAtPosition(f.find(first)->mPos)->mId, second);
        QCOMPARE(f.item.getMarkerAtPosition(f.find(hidden)->mPos), nullptr);
        QCOMPARE(f.item.getMarkerAtPosition(f.item.timeDepthToGraphCoordinates(100, 25)), nullptr);
    }

    void readOutNamesTheMarkerUnderThePoint_data()
    {
        QTest::addColumn<MarkerType>("type");
        QTest::addColumn<QString>("label");
        QTest::newRow("ceiling alert") << MarkerType::AlertCeil << "Alert";
        QTest::newRow("fast-ascent alert") << MarkerType::AlertRR << "Alert";
        QTest::newRow("gas switch") << MarkerType::Gas << "Switch gas";
        QTest::newRow("information") << MarkerType::Info << QString();
    }
    void readOutNamesTheMarkerUnderThePoint()
    {
        QFETCH(MarkerType, type);
        QFETCH(QString, label);
        Dive dive = testkit::diveOfDepths({0, 30, 30, 30, 30, 0}, 120.0);
        GraphView view;
        view.resize(800, 400);
        view.setDiveProfile(&dive);
        const int id = view.mProfile->addMarkerAt(0, true, type, "Nx50 at 21 m");
        view.mProfile->setMarkerAt(id, 240, 30);
        const QPointF at = view.mProfile->markers().first().mPos;

        const QString html = view.getInfosOnPosition(at, 240);

        if (label.isEmpty()) {
            QVERIFY(!html.contains("Nx50"));
        } else {
            QVERIFY2(html.contains("    <tr><td>" + label + "</td> <td>Nx50 at 21 m</td></tr>"), qPrintable(html));
        }
        QVERIFY(!view.getInfosOnPosition(QPointF(1, 1), 240).contains("Nx50"));
    }
};

MAREVANE_TEST_MAIN(TestProfileMarkers)

#include "tst_profilemarkers.moc"
