#include "testenvironment.h"

#include "../divemodel/diveprofiles.h"
#include "graphics/graphview.h"
#include "profilefixtures.h"
#include "viewchecks.h"
#include "viewevents.h"

#include <QGraphicsScene>
#include <QTextDocument>

#include <limits>

namespace {

// A profile view as the window shows it, with a 20-minute dive to 30 m.
struct ShownView
{
    Dive dive = testkit::diveOfDepths({0, 30, 30, 28, 20, 12, 6, 5, 3, 0}, 120.0);
    GraphView view;

    explicit ShownView(const QSize& size = QSize(700, 360))
    {
        dive.name = QStringLiteral("Epave du Donator");
        view.resize(size);
        view.setDiveProfile(&dive);
        view.show();
    }

    const Marker& marker(int id) const
    {
        for (const Marker& marker : view.mProfile->markers())
            if (marker.mId == id)
                return marker;
        qFatal("no marker %d", id);
    }

    QImage grab() { return view.viewport()->grab().toImage(); }

    // The viewport rectangle of the title's line, centred at the top.
    QRect titleLine() const
    {
        const DiveProfileItem& item = *view.mProfile;
        const QSizeF line = item.titleSize();
        const double width = item.boundingRect().width();
        return view.mapFromScene(QRectF((width - line.width()) / 2, 2, line.width(), line.height())).boundingRect();
    }
};

} // namespace

// The profile view as a person sees it in the window: markers where they
// belong after every navigation, clear of the title, and a view of any size
// that stays finite.
class WindowProfileTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { profilefixtures::setProgramIcons(); }

    // After a zoom, a pan or a resize, each marker stands at its time and depth.
    void markersFollowTheView_data()
    {
        QTest::addColumn<QString>("navigation");
        for (const char* navigation : {"zoom in", "zoom out", "depth zoom", "pan", "resize", "fit"})
            QTest::newRow(navigation) << QString::fromLatin1(navigation);
    }

    void markersFollowTheView()
    {
        QFETCH(QString, navigation);
        ShownView shown;
        QVERIFY(QTest::qWaitForWindowExposed(&shown.view));
        DiveProfileItem& item = *shown.view.mProfile;
        const int info = item.addMarkerAt(600, true, MarkerType::Info, QStringLiteral("a"));
        const int diver = item.addMarkerAt(0, true, MarkerType::Diver, QStringLiteral("b"));
        item.setMarkerAt(diver, 900, 12);
        const QPointF infoBefore = shown.marker(info).mPos;
        const QPointF diverBefore = shown.marker(diver).mPos;

        GraphView& view = shown.view;
        const QPoint middle = viewevents::graphPoint(view, 0.5);
        if (navigation == QLatin1String("zoom in")) {
            viewevents::wheel(view, viewevents::graphPoint(view, 0.2), QPoint(0, 240), Qt::NoModifier);
        } else if (navigation == QLatin1String("zoom out")) {
            viewevents::wheel(view, middle, QPoint(0, 240), Qt::NoModifier);
            viewevents::wheel(view, middle, QPoint(0, -120), Qt::NoModifier);
        } else if (navigation == QLatin1String("depth zoom")) {
            viewevents::wheel(view, middle, QPoint(0, 240), Qt::ControlModifier);
        } else if (navigation == QLatin1String("pan")) {
            viewevents::wheel(view, middle, QPoint(0, 240), Qt::NoModifier);
            viewevents::wheel(view, middle, QPoint(-120, 0), Qt::NoModifier);
        } else if (navigation == QLatin1String("resize")) {
            view.resize(980, 500);
            QCoreApplication::processEvents();
        } else {
            viewevents::wheel(view, middle, QPoint(0, 240), Qt::NoModifier);
            item.fitAll();
        }

        // The navigation moved the graph under them.
        QVERIFY(shown.marker(info).mPos != infoBefore || shown.marker(diver).mPos != diverBefore
                || navigation == QLatin1String("fit"));
        QCOMPARE(shown.marker(info).mPos, item.timeDepthToGraphCoordinates(600, 0));
        QCOMPARE(shown.marker(diver).mPos, item.timeDepthToGraphCoordinates(900, 12));
        // And the marker is found where it is drawn.
        QCOMPARE(item.getMarkerAtPosition(shown.marker(info).mPos), &shown.marker(info));
    }

    // The simulation's diver walks the surface below the title, never through it.
    void diverStandsBelowTheTitle_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<double>("time");
        QTest::newRow("at the start") << QSize(700, 360) << 0.0;
        QTest::newRow("in the middle") << QSize(700, 360) << 600.0;
        QTest::newRow("at the end") << QSize(700, 360) << 1080.0;
        QTest::newRow("a narrow view, the title across it") << QSize(420, 300) << 500.0;
    }

    void diverStandsBelowTheTitle()
    {
        QFETCH(QSize, size);
        QFETCH(double, time);
        ShownView shown(size);
        QVERIFY(QTest::qWaitForWindowExposed(&shown.view));
        DiveProfileItem& item = *shown.view.mProfile;
        const QImage without = shown.grab();
        // As the simulation moves it: each step at the surface.
        const int diver = item.addMarkerAt(0, true, MarkerType::Diver, QString());
        item.setMarkerAt(diver, time, -1.0);
        shown.view.viewport()->repaint();
        const QImage with = shown.grab();

        QVERIFY(with != without);
        const QRect title = shown.titleLine();
        QVERIFY(!title.isEmpty());
        QCOMPARE(with.copy(title), without.copy(title));
        // Its image lies below the title's line.
        const Marker& marker = shown.marker(diver);
        QVERIFY(!item.getMarkerAtPosition(QPointF(marker.mPos.x(), title.center().y())));
    }

    // However small the view, its scene stays a finite rectangle of the
    // view's own size, whatever the dive holds.
    void tinyViewsStayFinite_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("1 x 1") << QSize(1, 1);
        QTest::newRow("2 x 2") << QSize(2, 2);
        QTest::newRow("1 x 300") << QSize(1, 300);
        QTest::newRow("300 x 1") << QSize(300, 1);
    }

    void tinyViewsStayFinite()
    {
        QFETCH(QSize, size);
        // Gas changes, one at a sample no reader lets in.
        Dive dive = testkit::diveOfDepths({0, 20, 20, 10, 0}, 120.0);
        for (int i = 0; i < dive.lines.size(); ++i)
            dive.lines[i].gasIndex = i % 2;
        dive.lines[2].depth = std::numeric_limits<double>::infinity();
        dive.gases = {profilefixtures::gas(21), profilefixtures::gas(50)};
        ShownView shown(size);
        ShowItemsState all;
        all.points = true;
        shown.view.showItems(all);
        shown.view.mProfile->mEditable = true;
        shown.view.setDiveProfile(&dive);
        shown.view.mProfile->addMarkerAt(300, true, MarkerType::Diver, QString());
        QVERIFY(QTest::qWaitForWindowExposed(&shown.view));
        QCoreApplication::processEvents();

        viewchecks::verifyFinite(shown.view);
        QVERIFY(!shown.view.scene()->sceneRect().isEmpty());
        QVERIFY(shown.view.scene()->sceneRect().width() <= size.width());
        QVERIFY(shown.view.scene()->sceneRect().height() <= size.height());
        viewevents::wheel(shown.view, QPoint(0, 0), QPoint(0, 120), Qt::NoModifier);
        viewevents::mouse(shown.view, QEvent::MouseMove, QPoint(0, 0), Qt::NoButton, Qt::NoButton);
        shown.view.viewport()->repaint();
        viewchecks::verifyFinite(shown.view);
    }
};

MAREVANE_TEST_MAIN(WindowProfileTest)
#include "tst_windowprofile.moc"
