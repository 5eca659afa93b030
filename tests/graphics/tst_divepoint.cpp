#include "testenvironment.h"

#include "graphics/diveprofileitem.h"
#include "graphics/divepoint.h"
#include "profilefixtures.h"

#include <QGraphicsScene>
#include <QGraphicsView>
#include <QMenu>

#include <memory>


namespace {

// An editable profile item of a 600 x 240 graph area in a scene of its size.
struct EditedProfile : profilefixtures::ShownProfile
{
    explicit EditedProfile(const QList<QPointF>& samples)
        : ShownProfile(profilefixtures::diveOf(samples), ShowItemsState(), true)
    {
    }
};

} // namespace

class DivePointTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { DivePoint::setDivePointSize(10.0f); }

    void pointShape()
    {
        DivePoint point(nullptr, QPointF(3, 4), {2, 60, 10}, {}, true);
        QCOMPARE(point.type(), 0x10001);
        QCOMPARE(point.pos(), QPointF(3, 4));
        QCOMPARE(point.boundingRect(), QRectF(-5, -5, 10, 10));
        DivePoint::setDivePointSize(16.0f);
        QCOMPARE(point.boundingRect(), QRectF(-8, -8, 16, 16));
        QVERIFY(point.shape().contains(QPointF(0, 0)));
        QVERIFY(!point.shape().contains(QPointF(7.5, 7.5))); // a circle, not the square
        QVERIFY(!(point.flags() & QGraphicsItem::ItemIsMovable));
        DivePoint movable(nullptr, QPointF(), {}, {}, false);
        QVERIFY(movable.flags() & QGraphicsItem::ItemIsMovable);
        QVERIFY(movable.flags() & QGraphicsItem::ItemIsSelectable);
        QVERIFY(movable.acceptHoverEvents());
    }

    // What a move of a point does, with and without a constraint, in a scene or not.
    void constraint_data()
    {
        QTest::addColumn<bool>("inScene");
        QTest::addColumn<bool>("constrained");
        QTest::addColumn<QPointF>("position");
        QTest::addColumn<double>("infoTime");
        QTest::addColumn<bool>("toolTipRefreshed");
        QTest::newRow("constrained in a scene") << true << true << QPointF(30, 50) << 30.0 << true;
        QTest::newRow("no constraint: moves freely") << true << false << QPointF(30, 80) << 60.0 << false;
        QTest::newRow("outside a scene: not constrained") << false << true << QPointF(30, 80) << 60.0 << false;
    }

    void constraint()
    {
        QFETCH(bool, inScene);
        QFETCH(bool, constrained);
        QFETCH(QPointF, position);
        QFETCH(double, infoTime);
        QFETCH(bool, toolTipRefreshed);

        QGraphicsScene scene;
        auto* parent = new DiveProfileItem;
        Dive dive;
        dive.lines = testkit::diveLines({{0, 0}, {60, 10}, {120, 0}});
        parent->setDiveProfile(&dive);
        if (inScene)
            scene.addItem(parent);
        // Keeps the point on y 50 and writes the time into the info.
        DivePoint::Constraint clampToLine = [](DiveLineInfo& info, const QPointF& p) {
            info.time = p.x();
            return QPointF(p.x(), 50);
        };
        auto* point = new DivePoint(parent, QPointF(5, 5), {1, 60, 10}, constrained ? clampToLine : nullptr, false);
        point->setPos(30, 80);
        QCOMPARE(point->pos(), position);
        QCOMPARE(point->mLineInfo.time, infoTime);
        QCOMPARE(point->toolTip(),
                 toolTipRefreshed ? DiveProfileItem::divePointToolTip(1, dive.lines.at(1)) : QString());
        if (!inScene)
            delete parent;
    }

    void pointOutsideTheClipIsNotPaintedButSelectable_data()
    {
        QTest::addColumn<QPointF>("position");
        QTest::addColumn<bool>("painted");
        QTest::newRow("in the graph area") << QPointF(400, 60) << true;
        QTest::newRow("in the left margin") << QPointF(20, 60) << false;
    }

    void pointOutsideTheClipIsNotPaintedButSelectable()
    {
        QFETCH(QPointF, position);
        QFETCH(bool, painted);
        EditedProfile profile({{0, 0}, {600, 20}, {1200, 0}});
        DivePoint::setDivePointSize(20.0f);
        auto* point = new DivePoint(profile.item, position, {1, 600, 20}, {}, false);
        QPainterPath area;
        area.addRect(QRectF(position - QPointF(3, 3), QSizeF(6, 6)));
        profile.scene.setSelectionArea(area);
        QVERIFY(point->isSelected());

        const QImage image = profilefixtures::render(profile.scene);
        QCOMPARE(image.pixelColor(position.toPoint()) == QColor(240, 155, 89), painted);
    }

    // The release hook, fed through a view as the user's mouse does.
    void releaseCallsTheHook_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<bool>("withMenu");
        QTest::addColumn<bool>("hookCalled");
        QTest::newRow("left release") << Qt::LeftButton << false << true;
        QTest::newRow("right release without a menu") << Qt::RightButton << false << true;
        QTest::newRow("right release with a menu") << Qt::RightButton << true << false;
        QTest::newRow("left release with a menu") << Qt::LeftButton << true << true;
    }

    void releaseCallsTheHook()
    {
        QFETCH(Qt::MouseButton, button);
        QFETCH(bool, withMenu);
        QFETCH(bool, hookCalled);
        EditedProfile profile({{0, 0}, {600, 20}, {1200, 0}});
        profile.item->setShowDivePoints(true);
        QGraphicsView view(&profile.scene);
        view.setFrameShape(QFrame::NoFrame);
        view.resize(690, 320);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));

        QMenu menu;
        menu.addAction(QStringLiteral("Delete"));
        DivePoint::contextMenu = withMenu ? &menu : nullptr;
        DivePoint::currentPoint = nullptr;
        QList<std::pair<DivePoint*, QPointF>> calls;
        DivePoint::sPointHasMoved = [&calls](DivePoint* p, const QPointF& old) { calls.append({p, old}); };

        DivePoint* point = profile.point(1);
        QVERIFY(point);
        const QPointF before = point->pos();
        const QPoint at = view.mapFromScene(point->mapToScene(QPointF(0, 0)));
        QTest::mousePress(view.viewport(), button, {}, at);
        QTest::mouseRelease(view.viewport(), button, {}, at);

        QCOMPARE(calls.size(), hookCalled ? 1 : 0);
        if (hookCalled) {
            QCOMPARE(calls.first().first, point);
            QCOMPARE(calls.first().second, before); // no move: the unchanged position
        }
        QCOMPARE(DivePoint::currentPoint, withMenu && button == Qt::RightButton ? point : nullptr);
        menu.hide();
        DivePoint::contextMenu = nullptr;
        DivePoint::sPointHasMoved = nullptr;
    }

    void deletedPointIsNoLongerTheMenuPoint()
    {
        auto* point = new DivePoint(nullptr, QPointF(), {}, {}, false);
        DivePoint::currentPoint = point;
        delete point;
        QCOMPARE(DivePoint::currentPoint, nullptr);
    }

    // The hook goes to the item built last, and to nobody once that item is gone.
    void hookFollowsTheLastItem()
    {
        auto older = std::make_unique<DiveProfileItem>();
        auto last = std::make_unique<DiveProfileItem>();
        QVERIFY(DivePoint::sPointHasMoved);

        auto* ownPoint = new DivePoint(last.get(), QPointF(1, 1), {}, {}, false);
        ownPoint->mPressInfo = {3, 90, 12}; // as a press on it noted
        auto* otherPoint = new DivePoint(older.get(), QPointF(1, 1), {}, {}, false);
        DivePoint::sPointHasMoved(ownPoint, QPointF(7, 8));
        DivePoint::sPointHasMoved(otherPoint, QPointF(7, 8));
        QCOMPARE(last->undoList().size(), 1); // the other item's point is not recorded
        QCOMPARE(last->undoList().first().point, ownPoint);
        QCOMPARE(last->undoList().first().kind, 1);
        QCOMPARE(last->undoList().first().time, 90.0);
        QCOMPARE(last->undoList().first().depth, 12.0);
        QVERIFY(older->undoList().isEmpty());

        older.reset();
        QVERIFY(DivePoint::sPointHasMoved); // still the last item's
        last.reset();
        QVERIFY(!DivePoint::sPointHasMoved);
    }

    // Dragging through the view runs the constraint and refreshes the tool tip.
    void draggedPointFollowsTheConstraint()
    {
        EditedProfile profile({{0, 0}, {60, 10}, {120, 20}, {180, 20}});
        DivePoint* point = profile.point(2);
        point->setPos(profile.item->timeDepthToGraphCoordinates(125.7, 12.3));
        QCOMPARE(point->pos(), profile.item->timeDepthToGraphCoordinates(125, 12.5));
        QCOMPARE(point->toolTip(), QStringLiteral("Point <b>2</b><br>Depth <b>12.5m</b><br>Time <b>02:05</b>"));
        QVERIFY(!profile.point(0)->flags().testFlag(QGraphicsItem::ItemIsMovable));
    }

    void pointToolTip_data()
    {
        QTest::addColumn<double>("ceiling");
        QTest::addColumn<QString>("toolTip");
        QTest::newRow("no ceiling") << 0.0 << QStringLiteral("Point <b>4</b><br>Depth <b>21.5m</b><br>Time <b>10:05</b>");
        QTest::newRow("a ceiling") << 6.2
                                   << QStringLiteral("Point <b>4</b><br>Depth <b>21.5m</b><br>Time <b>10:05</b>"
                                                     "<br>Ceil <b>6.2m</b>");
    }

    void pointToolTip()
    {
        QFETCH(double, ceiling);
        QFETCH(QString, toolTip);
        DiveLine line = testkit::diveLine(605.9, 21.5);
        line.decoCeiling = ceiling;
        QCOMPARE(DiveProfileItem::divePointToolTip(4, line), toolTip);
    }
};

MAREVANE_TEST_MAIN(DivePointTest)
#include "tst_divepoint.moc"
