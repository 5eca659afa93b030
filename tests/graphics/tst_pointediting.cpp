#include "testenvironment.h"

#include "graphics/diveprofileitem.h"
#include "graphics/divepoint.h"
#include "graphics/graphview.h"
#include "profilefixtures.h"
#include "viewevents.h"

#include <QGraphicsSceneMouseEvent>
#include <QSignalSpy>

namespace {

using profilefixtures::diveOf;

// An editable profile item of a 600 x 240 graph area in a scene of its size.
struct EditedProfile : profilefixtures::ShownProfile
{
    explicit EditedProfile(const QList<QPointF>& samples)
        : ShownProfile(diveOf(samples), ShowItemsState(), true)
    {
        // Hidden points cannot be selected.
        item->setShowDivePoints(true);
    }

    QList<QPointF> samples() const
    {
        QList<QPointF> timeDepth;
        for (const DiveLine& line : dive.lines)
            timeDepth.append({line.timeSec, line.depth});
        return timeDepth;
    }

    // The indices the points stand for, in sample order, and whether each may move.
    QList<int> pointIndices() const
    {
        QList<int> indices;
        for (int k = 0; k < dive.lines.size(); ++k)
            indices.append(point(k) ? k : -1);
        return indices;
    }

    int pointCount() const
    {
        int count = 0;
        for (QGraphicsItem* child : item->childItems())
            count += child->type() == DivePoint::Type;
        return count;
    }

    // A double-click of `button` on the item at the item point `at`, as the scene delivers it.
    void doubleClick(const QPointF& at, Qt::MouseButton button = Qt::LeftButton)
    {
        QGraphicsSceneMouseEvent event(QEvent::GraphicsSceneMouseDoubleClick);
        event.setButton(button);
        event.setButtons(button);
        event.setPos(at);
        event.setScenePos(item->mapToScene(at));
        scene.sendEvent(item, &event);
    }
};

bool isReadOnly(const DivePoint* point)
{
    return !(point->flags() & (QGraphicsItem::ItemIsMovable | QGraphicsItem::ItemIsSelectable));
}

// A planning view of a given size showing a planned dive, as the planning tab builds it.
struct PlanningView
{
    Dive dive;
    GraphView view;

    explicit PlanningView(const QList<QPointF>& samples)
        : dive(diveOf(samples))
    {
        view.mProfile->mEditable = true;
        view.mProfile->setShowDivePoints(true);
        view.resize(700, 360);
        view.setDiveProfile(&dive);
        view.show();
    }

    DivePoint* point(int index) const { return view.mProfile->getDivePointAtIndex(index); }
    QPoint viewPointOf(double time, double depth) const
    {
        return view.mapFromScene(view.mProfile->timeDepthToGraphCoordinates(time, depth));
    }
    // A left drag by hand: press on the point of sample `index`, one move, release.
    void dragPoint(int index, const QPoint& to)
    {
        const QPoint from = view.mapFromScene(point(index)->scenePos());
        viewevents::mouse(view, QEvent::MouseMove, from, Qt::NoButton, Qt::NoButton);
        viewevents::mouse(view, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        viewevents::mouse(view, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        viewevents::mouse(view, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    }
};

const QList<QPointF> kPlan = {{0, 0}, {60, 20}, {300, 20}, {400, 15}, {600, 15}, {700, 5}, {900, 5}};

} // namespace

// Editing the points of a planned dive on the profile item: the drag
// constraint, insertions, deletions, the modify operations, the selection
// and the undo list.
class PointEditingTest : public QObject
{
    Q_OBJECT

private slots:
    // The drag constraint: whole seconds, half metres, between the
    // neighbours, within 15 m/min up and 30 m/min down; the neighbours' times
    // win over the speed limits.
    void dragConstraint_data()
    {
        QTest::addColumn<QList<QPointF>>("samples");
        QTest::addColumn<int>("index");
        QTest::addColumn<QPointF>("target"); // time, depth
        QTest::addColumn<QPointF>("stored");
        const QList<QPointF> plan = {{0, 0}, {60, 10}, {120, 20}, {180, 20}};
        QTest::newRow("whole seconds and half metres") << plan << 2 << QPointF(125.7, 12.3) << QPointF(125, 12.5);
        QTest::newRow("below the graph: the bottom depth") << plan << 2 << QPointF(125.5, 30) << QPointF(125, 24);
        QTest::newRow("above the surface: 0 m") << plan << 2 << QPointF(125.5, -3) << QPointF(125, 0);
        QTest::newRow("before the previous sample") << plan << 2 << QPointF(40.5, 10) << QPointF(60, 10);
        QTest::newRow("after the next sample") << plan << 1 << QPointF(150.5, 20) << QPointF(120, 20);
        QTest::newRow("the last sample has no upper limit") << plan << 3 << QPointF(1000.5, 20) << QPointF(1000, 20);
        QTest::newRow("ascent too fast") << QList<QPointF>{{0, 0}, {300, 30}, {600, 30}, {700, 30}} << 3
                                         << QPointF(640.5, 10) << QPointF(680, 10);
        QTest::newRow("descent too fast") << QList<QPointF>{{0, 0}, {100, 5}, {200, 50}} << 2 << QPointF(160.5, 50)
                                          << QPointF(190, 50);
        QTest::newRow("too fast towards the next sample")
            << QList<QPointF>{{0, 0}, {50, 0}, {100, 30}, {200, 30}} << 1 << QPointF(50.5, 0) << QPointF(40, 0);
        // The next sample, 20 s later at the surface, would need 120 s of
        // ascent: the time stays at the previous sample's, not 500 s.
        QTest::newRow("the previous sample's time wins over the ascent limit")
            << QList<QPointF>{{0, 0}, {600, 30}, {610, 30}, {620, 0}} << 2 << QPointF(610.5, 30) << QPointF(600, 30);
        QTest::newRow("the next sample's time wins over the descent limit")
            << QList<QPointF>{{0, 0}, {600, 0}, {610, 30}, {620, 60}} << 2 << QPointF(610.5, 30) << QPointF(600, 30);
    }

    void dragConstraint()
    {
        QFETCH(QList<QPointF>, samples);
        QFETCH(int, index);
        QFETCH(QPointF, target);
        QFETCH(QPointF, stored);
        EditedProfile profile(samples);
        QSignalSpy updated(profile.item, &DiveProfileItem::onUpdateDivePoint);

        DiveLineInfo info{index, samples[index].x(), samples[index].y()};
        const QPointF p = profile.item->timeDepthToGraphCoordinates(target.x(), target.y());
        const QPointF allowed = profile.item->updateDivePoint(info, p);

        const DiveLine& line = profile.dive.lines.at(index);
        QCOMPARE(line.timeSec, stored.x());
        QCOMPARE(line.depth, stored.y());
        QCOMPARE(info.time, stored.x());
        QCOMPARE(info.depth, stored.y());
        QCOMPARE(allowed, profile.item->timeDepthToGraphCoordinates(stored.x(), stored.y()));
        QCOMPARE(updated.size(), 1);
        QCOMPARE(updated.first().first().toInt(), index);
        const DiveLine& previous = profile.dive.lines.at(index - 1);
        const double dt = line.timeSec - previous.timeSec;
        QCOMPARE(line.speed, dt > 0 ? 60 * (line.depth - previous.depth) / dt : 0.0);
    }

    // A left double-click inserts a sample at the whole second and half
    // metre under it, in time order, never before the first sample nor
    // above the surface.
    void doubleClickInserts_data()
    {
        QTest::addColumn<QPointF>("at"); // time, depth
        QTest::addColumn<int>("index");
        QTest::addColumn<QPointF>("inserted");
        QTest::newRow("inside the graph") << QPointF(300.4, 17.26) << 3 << QPointF(300, 17.5);
        QTest::newRow("left of the first sample") << QPointF(-30, 10) << 1 << QPointF(0, 10);
        QTest::newRow("above the graph") << QPointF(450, -4) << 4 << QPointF(450, 0);
    }

    void doubleClickInserts()
    {
        QFETCH(QPointF, at);
        QFETCH(int, index);
        QFETCH(QPointF, inserted);
        EditedProfile profile(kPlan);
        QSignalSpy added(profile.item, &DiveProfileItem::onAddDivePoint);
        QStringList logged;
        DiveProfileItem::setLog([&logged](const QString& line) { logged.append(line); });

        profile.doubleClick(profile.item->timeDepthToGraphCoordinates(at.x(), at.y()));
        DiveProfileItem::setLog(nullptr);

        QList<QPointF> expected = kPlan;
        expected.insert(index, inserted);
        QCOMPARE(profile.samples(), expected);
        QCOMPARE(added.size(), 1);
        QCOMPARE(logged.size(), 1);
        // Every sample has its point, renumbered; only the first is read-only.
        QCOMPARE(profile.pointCount(), expected.size());
        for (int k = 0; k < expected.size(); ++k) {
            QVERIFY(profile.point(k));
            QCOMPARE(isReadOnly(profile.point(k)), k == 0);
            QCOMPARE(profile.point(k)->pos(), profile.item->timeDepthToGraphCoordinates(expected[k].x(), expected[k].y()));
        }
        // Speeds follow the new sample.
        const DiveLine& next = profile.dive.lines.at(index + 1);
        QCOMPARE(next.speed, 60 * (next.depth - inserted.y()) / (next.timeSec - inserted.x()));
    }

    void doubleClickWithOtherButtons()
    {
        EditedProfile profile(kPlan);
        profile.item->zoom(DiveProfileItem::Axis::Time, 2.0, 300);
        const double zoomedEnd = profile.item->endTime();
        profile.doubleClick(profile.item->timeDepthToGraphCoordinates(300, 10), Qt::RightButton);
        QCOMPARE(profile.samples(), kPlan);
        QCOMPARE(profile.item->endTime(), zoomedEnd);
        // The middle button fits the whole dive again.
        profile.doubleClick(profile.item->timeDepthToGraphCoordinates(300, 10), Qt::MiddleButton);
        QCOMPARE(profile.samples(), kPlan);
        QCOMPARE(profile.item->endTime(), 900.0);
    }

    // Through the view, as the user's mouse does: the double-click reaches
    // the item even after a point was dragged.
    void doubleClickThroughTheView()
    {
        PlanningView planning(kPlan);
        QVERIFY(QTest::qWaitForWindowExposed(&planning.view));
        planning.dragPoint(3, planning.viewPointOf(420, 15));
        QCOMPARE(planning.dive.lines.at(3).timeSec, 420.0);
        const QPoint at = planning.viewPointOf(800, 10);
        // The window system's sequence: a click, then a press that comes as a double-click too.
        viewevents::mouse(planning.view, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        viewevents::mouse(planning.view, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
        viewevents::mouse(planning.view, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        viewevents::mouse(planning.view, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
        viewevents::mouse(planning.view, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(planning.dive.lines.size(), kPlan.size() + 1);
        QCOMPARE(planning.dive.lines.at(6).depth, 10.0);
        QVERIFY(std::abs(planning.dive.lines.at(6).timeSec - 800) < 3);
    }

    // A point dragged straight up or down by hand keeps its time to the
    // second, whatever the view's width makes of the time's pixel.
    void verticalDragKeepsTheTime_data()
    {
        QTest::addColumn<int>("width");
        for (int width = 640; width <= 1248; width += 32)
            QTest::addRow("%d px wide", width) << width;
    }

    void verticalDragKeepsTheTime()
    {
        QFETCH(int, width);
        // Stops far enough apart that a drag of a metre or two stays within the speed limits.
        const QList<QPointF> plan = {{0, 0},     {617, 30},  {1333, 30}, {1949, 21},
                                     {2411, 12}, {3001, 6},  {3373, 3},  {3847, 0}};
        PlanningView planning(plan);
        planning.view.resize(width, 360);
        QVERIFY(QTest::qWaitForWindowExposed(&planning.view));
        for (int index = 1; index < plan.size(); ++index) {
            for (const int dy : {-13, 7}) {
                const DiveLine before = planning.dive.lines.at(index);
                const QPoint from = planning.view.mapFromScene(planning.point(index)->scenePos());
                planning.dragPoint(index, from + QPoint(0, dy));
                const DiveLine& after = planning.dive.lines.at(index);
                QVERIFY2(after.depth != before.depth || (before.depth == 0 && dy < 0), "the drag moved the point");
                QCOMPARE(after.timeSec, before.timeSec);
            }
        }
    }

    void insertAfter_data()
    {
        QTest::addColumn<int>("after");
        QTest::addColumn<QPointF>("inserted");
        QTest::newRow("between two samples") << 2 << QPointF(350, 17.5);
        QTest::newRow("after the last sample") << 6 << QPointF(930, 5);
        QTest::newRow("after the first sample") << 0 << QPointF(30, 10);
    }

    void insertAfter()
    {
        QFETCH(int, after);
        QFETCH(QPointF, inserted);
        EditedProfile profile(kPlan);
        QSignalSpy added(profile.item, &DiveProfileItem::onAddDivePoint);
        profile.item->addDivePointAfter(after);
        QList<QPointF> expected = kPlan;
        expected.insert(after + 1, inserted);
        QCOMPARE(profile.samples(), expected);
        QCOMPARE(added.size(), 1);
        QVERIFY(!isReadOnly(profile.point(after + 1)));
    }

    void nonFiniteInsertionChangesNothing()
    {
        EditedProfile profile(kPlan);
        QSignalSpy added(profile.item, &DiveProfileItem::onAddDivePoint);
        profile.item->addDivePoint(qQNaN(), 10);
        profile.item->addDivePoint(100, qInf());
        QCOMPARE(profile.samples(), kPlan);
        QCOMPARE(added.size(), 0);
    }

    // Deleting the selected points removes their samples, highest first,
    // never the first sample; the points are rebuilt.
    void deleteSelected_data()
    {
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<QList<int>>("kept");
        QTest::newRow("3 and 5") << QList<int>{3, 5} << QList<int>{0, 1, 2, 4, 6};
        QTest::newRow("a selection holding 0") << QList<int>{0, 1, 2} << QList<int>{0, 3, 4, 5, 6};
        QTest::newRow("all of them") << QList<int>{0, 1, 2, 3, 4, 5, 6} << QList<int>{0};
    }

    void deleteSelected()
    {
        QFETCH(QList<int>, selected);
        QFETCH(QList<int>, kept);
        EditedProfile profile(kPlan);
        for (const int index : selected)
            profile.point(index)->setSelected(true);
        profile.item->deleteSelectedPoints();
        QList<QPointF> expected;
        for (const int index : kept)
            expected.append(kPlan[index]);
        QCOMPARE(profile.samples(), expected);
        QCOMPARE(profile.pointCount(), expected.size());
        QCOMPARE(profile.item->nbSelectedPoints(), 0);
        QVERIFY(isReadOnly(profile.point(0)));
        QVERIFY(profile.item->undoList().isEmpty());
    }

    void deleteOnePoint()
    {
        EditedProfile profile({{0, 0}, {60, 20}, {600, 20}});
        // The first point: the next one becomes the first, read-only.
        DivePoint::currentPoint = profile.point(0);
        QVERIFY(profile.item->deleteDivePoint(profile.point(0)));
        QCOMPARE(DivePoint::currentPoint, nullptr);
        QCOMPARE(profile.samples(), (QList<QPointF>{{60, 20}, {600, 20}}));
        QVERIFY(isReadOnly(profile.point(0)));
        QVERIFY(!isReadOnly(profile.point(1)));
        QCOMPARE(profile.dive.lines.at(1).speed, 0.0);
        // The last sample of the dive.
        QVERIFY(profile.item->deleteDivePoint(profile.point(1)));
        QCOMPARE(profile.samples(), (QList<QPointF>{{60, 20}}));
        // A dive keeps its only point.
        QVERIFY(!profile.item->deleteDivePoint(profile.point(0)));
        QCOMPARE(profile.samples(), (QList<QPointF>{{60, 20}}));
        QCOMPARE(profile.pointCount(), 1);
        // A point of another item is not this item's to delete.
        EditedProfile other(kPlan);
        QVERIFY(!profile.item->deleteDivePoint(other.point(2)));
        QCOMPARE(other.samples(), kPlan);
    }

    void modifyTime_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<double>("time");
        QTest::addColumn<double>("kept");
        QTest::addColumn<bool>("clamped");
        QTest::newRow("before the previous sample") << 2 << 50.0 << 60.0 << true;
        QTest::newRow("after the next sample") << 2 << 500.0 << 400.0 << true;
        QTest::newRow("between them") << 2 << 250.5 << 250.5 << false;
        QTest::newRow("the last sample, later") << 6 << 5000.0 << 5000.0 << false;
    }

    void modifyTime()
    {
        QFETCH(int, index);
        QFETCH(double, time);
        QFETCH(double, kept);
        QFETCH(bool, clamped);
        EditedProfile profile(kPlan);
        QSignalSpy updated(profile.item, &DiveProfileItem::onUpdateDivePoint);
        QCOMPARE(profile.item->modifyTimeOfDivePoint(index, time), clamped);
        QCOMPARE(time, kept);
        QCOMPARE(profile.dive.lines.at(index).timeSec, kept);
        QCOMPARE(profile.point(index)->mLineInfo.time, kept);
        QCOMPARE(profile.point(index)->pos(), profile.item->timeDepthToGraphCoordinates(kept, kPlan[index].y()));
        QCOMPARE(updated.size(), 0);
    }

    void modifyOperationsByIndex()
    {
        EditedProfile profile(kPlan);
        profile.item->modifyDepthOfDivePoint(3, 18.25);
        QCOMPARE(profile.dive.lines.at(3).depth, 18.25);
        QCOMPARE(profile.point(3)->mLineInfo.depth, 18.25);
        QCOMPARE(profile.point(3)->pos(), profile.item->timeDepthToGraphCoordinates(400, 18.25));
        QCOMPARE(profile.dive.lines.at(3).speed, 60 * (18.25 - 20) / 100);
        profile.item->modifyGasOfDivePoint(3, 2);
        QCOMPARE(profile.dive.lines.at(3).gasIndex, 2);

        // The first sample's time and indices without a point change nothing.
        double time = 30;
        QVERIFY(!profile.item->modifyTimeOfDivePoint(0, time));
        QVERIFY(!profile.item->modifyTimeOfDivePoint(7, time));
        profile.item->modifyDepthOfDivePoint(-1, 3);
        profile.item->modifyDepthOfDivePoint(7, 3);
        profile.item->modifyGasOfDivePoint(9, 1);
        QCOMPARE(profile.dive.lines.at(0).timeSec, 0.0);
        QCOMPARE(profile.dive.lines.size(), kPlan.size());
        QCOMPARE(profile.item->getDivePointAtIndex(7), nullptr);

        // Not editable: no points, so nothing by index.
        profilefixtures::ShownProfile logView(diveOf(kPlan));
        logView.item->modifyDepthOfDivePoint(3, 30);
        QCOMPARE(logView.dive.lines.at(3).depth, 15.0);
    }

    void selection()
    {
        EditedProfile profile(kPlan);
        const auto pair = [&profile] { return profile.item->getSelectedPair(); };
        QCOMPARE(pair(), std::make_pair(-1, -1));
        profile.point(5)->setSelected(true);
        QCOMPARE(pair(), std::make_pair(5, -1));
        profile.point(2)->setSelected(true);
        QCOMPARE(pair(), std::make_pair(2, 5));
        QCOMPARE(profile.item->nbSelectedPoints(), 2);

        // A rectangle over samples 0 to 3: the first point is never selected.
        profile.scene.clearSelection();
        const QPointF from = profile.item->timeDepthToGraphCoordinates(-10, 0) - QPointF(0, 5);
        const QPointF to = profile.item->timeDepthToGraphCoordinates(450, 21);
        profile.item->selectPointsInRect(QRectF(from, to));
        QCOMPARE(profile.item->nbSelectedPoints(), 3);
        QVERIFY(!profile.point(0)->isSelected());
        QVERIFY(profile.point(3)->isSelected());
        QVERIFY(!profile.point(4)->isSelected());
    }

    // Undo of an insertion removes it; undo of a drag gives the sample its
    // values back through the constraint, whatever the zoom did meanwhile.
    void undo_data()
    {
        QTest::addColumn<bool>("zoomed");
        QTest::newRow("at the same scale") << false;
        QTest::newRow("after a zoom and a pan") << true;
    }

    void undo()
    {
        QFETCH(bool, zoomed);
        PlanningView planning(kPlan);
        QVERIFY(QTest::qWaitForWindowExposed(&planning.view));
        DiveProfileItem* item = planning.view.mProfile;
        QSignalSpy updated(item, &DiveProfileItem::onUpdateDivePoint);

        item->addDivePoint(800, 10);
        planning.dragPoint(3, planning.viewPointOf(431, 12));
        QVERIFY(planning.dive.lines.at(3).timeSec != 400.0);
        QCOMPARE(item->undoList().size(), 2);
        if (zoomed) {
            item->zoom(DiveProfileItem::Axis::Time, 0.7, 200);
            item->zoom(DiveProfileItem::Axis::Depth, 1.6, 200);
            item->pan(37);
        }
        updated.clear();

        QVERIFY(!item->undoLastPointChange());
        QCOMPARE(planning.dive.lines.at(3).timeSec, 400.0);
        QCOMPARE(planning.dive.lines.at(3).depth, 15.0);
        QCOMPARE(planning.point(3)->pos(), item->timeDepthToGraphCoordinates(400, 15));
        QCOMPARE(updated.size(), 1);
        QCOMPARE(updated.first().first().toInt(), 3);

        QVERIFY(item->undoLastPointChange());
        QCOMPARE(planning.dive.lines.size(), kPlan.size());
        QCOMPARE(planning.point(kPlan.size()), nullptr);
        QVERIFY(item->undoLastPointChange()); // nothing left
    }

    // Every rebuild of the points drops the records, so that neither the
    // undo nor the point menu reaches a freed point.
    void rebuildsDropTheRecords_data()
    {
        QTest::addColumn<int>("rebuild");
        QTest::newRow("the dive shown again") << 0;
        QTest::newRow("update after an outside change") << 1;
        QTest::newRow("deleting the selected points") << 2;
    }

    void rebuildsDropTheRecords()
    {
        QFETCH(int, rebuild);
        EditedProfile profile(kPlan);
        DiveProfileItem* item = profile.item;
        item->addDivePoint(800, 10);
        profile.point(2)->mPressInfo = profile.point(2)->mLineInfo;
        DivePoint::sPointHasMoved(profile.point(2), QPointF());
        DivePoint::currentPoint = profile.point(4);
        profile.point(5)->setSelected(true);
        if (rebuild == 0)
            item->setDiveProfile(&profile.dive);
        else if (rebuild == 1)
            item->update();
        else
            item->deleteSelectedPoints();

        QVERIFY(item->undoList().isEmpty());
        QCOMPARE(DivePoint::currentPoint, nullptr);
        QVERIFY(item->undoLastPointChange());
        QCOMPARE(profile.pointCount(), profile.dive.lines.size());
    }

    // The points keep their pictures between paints: whatever moved, zoomed,
    // resized or changed selection since the last paint, the view shows the
    // pixels of a view that paints it all for the first time.
    void keptPicturesMatchAFirstPaint_data()
    {
        QTest::addColumn<int>("step");
        QTest::newRow("nothing changed") << 0;
        QTest::newRow("time zoom") << 1;
        QTest::newRow("depth zoom") << 2;
        QTest::newRow("pan") << 3;
        QTest::newRow("drag of a point") << 4;
        QTest::newRow("selection moves to another point") << 5;
        QTest::newRow("view resized") << 6;
    }

    void keptPicturesMatchAFirstPaint()
    {
        QFETCH(int, step);
        // Samples at odd times and half metres put the points at every
        // fraction of a pixel.
        QList<QPointF> samples{{0, 0}};
        for (int k = 1; k < 120; ++k)
            samples.append({k * 23.7, 0.5 * ((k * 7) % 41) + 3});
        const int dragged = 60;
        // A drag is painted once the button is down on the point, as a person
        // sees it before moving the mouse.
        const auto press = [step](PlanningView& shown) {
            if (step != 4)
                return;
            const QPoint at = shown.view.mapFromScene(shown.point(dragged)->scenePos());
            viewevents::mouse(shown.view, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
            viewevents::mouse(shown.view, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        };
        const auto act = [step](PlanningView& shown) {
            GraphView& view = shown.view;
            switch (step) {
            case 1:
                viewevents::wheel(view, viewevents::graphPoint(view, 0.37), QPoint(0, -70), Qt::NoModifier);
                break;
            case 2:
                viewevents::wheel(view, viewevents::graphPoint(view, 0.5), QPoint(0, 50), Qt::ControlModifier);
                break;
            case 3:
                viewevents::wheel(view, viewevents::graphPoint(view, 0.5), QPoint(-13, 0), Qt::NoModifier);
                break;
            case 4: {
                const QPoint target = shown.viewPointOf(dragged * 23.7 + 5, 12.5);
                viewevents::mouse(view, QEvent::MouseMove, target, Qt::NoButton, Qt::LeftButton);
                viewevents::mouse(view, QEvent::MouseButtonRelease, target, Qt::LeftButton, Qt::NoButton);
                break;
            }
            case 5:
                shown.dragPoint(30, view.mapFromScene(shown.point(30)->scenePos()));
                shown.dragPoint(31, view.mapFromScene(shown.point(31)->scenePos()));
                break;
            case 6:
                view.resize(903, 431);
                break;
            default:
                break;
            }
        };
        const auto grabOf = [](PlanningView& shown) { return shown.view.viewport()->grab().toImage(); };

        PlanningView kept(samples);
        QVERIFY(QTest::qWaitForWindowExposed(&kept.view));
        press(kept);
        grabOf(kept);
        act(kept);
        if (step == 4)
            QCOMPARE(kept.dive.lines.at(dragged).depth, 12.5);
        if (step == 5)
            QVERIFY(kept.point(31)->isSelected() && !kept.point(30)->isSelected());
        // The same changes on a view that has not painted yet.
        PlanningView fresh(samples);
        press(fresh);
        act(fresh);
        QCOMPARE(grabOf(kept), grabOf(fresh));
    }

    // A planner computes the ascent again in place, its points as many as
    // before: told so, the item draws the new ascent, as a view that shows
    // it for the first time does.
    void computedAscentChangedInPlaceIsDrawnAnew()
    {
        const auto ascentAt = [](double stopDepth) {
            QList<DiveLine> ascent;
            const std::pair<double, double> timesAndDepths[] = {
                {900.0, 5.0}, {960.0, stopDepth}, {1200.0, stopDepth}, {1260.0, 0.0}};
            for (const auto& [time, depth] : timesAndDepths) {
                DiveLine line;
                line.timeSec = time;
                line.depth = depth;
                ascent.append(line);
            }
            return ascent;
        };
        const auto computed = [](PlanningView& shown, const QList<DiveLine>& ascent) {
            shown.dive.decoLines = ascent;
            shown.view.mProfile->computedLinesChanged();
            return shown.view.viewport()->grab().toImage();
        };

        PlanningView kept(kPlan);
        QVERIFY(QTest::qWaitForWindowExposed(&kept.view));
        const QImage before = computed(kept, ascentAt(3.0));
        const QImage after = computed(kept, ascentAt(4.0));
        QVERIFY(after != before);

        PlanningView fresh(kPlan);
        QVERIFY(QTest::qWaitForWindowExposed(&fresh.view));
        QCOMPARE(computed(fresh, ascentAt(4.0)), after);
    }

    // Deleting a point drops its records; the records of the others stay usable.
    void deletionDropsThePointsRecords()
    {
        EditedProfile profile(kPlan);
        DiveProfileItem* item = profile.item;
        profile.point(4)->mPressInfo = profile.point(4)->mLineInfo;
        DivePoint::sPointHasMoved(profile.point(4), QPointF());
        item->addDivePoint(800, 10);
        profile.point(2)->mPressInfo = profile.point(2)->mLineInfo;
        DivePoint::sPointHasMoved(profile.point(2), QPointF());
        QVERIFY(item->deleteDivePoint(profile.point(2)));
        QCOMPARE(item->undoList().size(), 2);
        // Undoing the insertion finds the renumbered point of 800 s.
        QVERIFY(!item->undoLastPointChange());
        QCOMPARE(profile.dive.lines.size(), kPlan.size() - 1);
        QCOMPARE(profile.dive.lines.constLast().timeSec, 900.0);
        QVERIFY(item->undoLastPointChange());
        QCOMPARE(profile.dive.lines.at(3).timeSec, 600.0); // the moved point, renumbered
    }
};

MAREVANE_TEST_MAIN(PointEditingTest)
#include "tst_pointediting.moc"
