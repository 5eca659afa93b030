#include "testenvironment.h"

#include "graphics/graphview.h"
#include "profilefixtures.h"
#include "viewchecks.h"
#include "viewevents.h"

#include <QGraphicsScene>
#include <QRandomGenerator>
#include <QStyleOptionGraphicsItem>

#include <cmath>
#include <limits>

using profilenumbers::isFinitePositive;
using viewchecks::verifyFinite;

namespace {

constexpr quint32 kSeed = 20240611;
constexpr int kDives = 60;

// Numbers as a broken file, a computer's glitch or a far zoom give them:
// mostly ordinary, sometimes at the ends of what a double holds.
class Values
{
public:
    explicit Values(QRandomGenerator& random)
        : mRandom(random)
    {
    }

    double ordinary(double low, double high) { return low + (high - low) * mRandom.generateDouble(); }

    double any(double low, double high)
    {
        constexpr double kInfinity = std::numeric_limits<double>::infinity();
        static const double extremes[] = {0.0,     -0.0,     1e-300,   -1e-300, 1e300,     -1e300,
                                          1.7e308, -1.7e308, kInfinity, -kInfinity, std::nan(""), 2147483648.0};
        if (mRandom.bounded(100) < 85)
            return ordinary(low, high);
        return extremes[mRandom.bounded(int(std::size(extremes)))];
    }

    int count(int most) { return int(mRandom.bounded(most + 1)); }
    bool chance(int percent) { return int(mRandom.bounded(100)) < percent; }
    quint32 bits() { return mRandom.generate(); }

private:
    QRandomGenerator& mRandom;
};

DiveLine randomLine(Values& values, double time)
{
    DiveLine line;
    line.timeSec = time;
    line.depth = values.any(0, 80);
    line.speed = values.any(-40, 40);
    line.ambientTemp = values.any(-2, 35);
    line.decoCeiling = values.any(-20, 30);
    line.tankPressure = quint16(values.bits());
    line.gasIndex = values.count(12) - 1;
    line.ppO2 = values.any(0, 2);
    line.cns = values.any(0, 200);
    line.battery = quint16(values.bits());
    line.alertFlag = quint8(values.bits());
    line.pelavixAlerts = quint16(values.chance(10) ? values.bits() : 0);
    line.isMaxDepth = values.chance(2);
    return line;
}

QList<DiveLine> randomLines(Values& values, int most)
{
    QList<DiveLine> lines;
    const int count = values.count(most);
    double time = values.any(0, 100);
    const int order = values.count(3); // rising, all at one time, anyhow, rising with extremes
    for (int i = 0; i < count; ++i) {
        if (order == 0)
            time += values.ordinary(0, 30);
        else if (order == 2)
            time = values.any(-100, 5000);
        else if (order == 3)
            time = values.chance(3) ? values.any(0, 1) : time + values.ordinary(0, 30);
        lines.append(randomLine(values, time));
    }
    return lines;
}

QList<CeilPoint> randomPoints(Values& values, int most)
{
    QList<CeilPoint> points;
    const int count = values.count(most);
    for (int i = 0; i < count; ++i)
        points.append({float(values.any(0, 5000)), float(values.any(0, 40)), qint16(values.count(4))});
    return points;
}

Dive randomDive(Values& values)
{
    Dive dive;
    dive.name = QStringLiteral("Random");
    dive.computerModel = values.chance(50) ? 1 : 2;
    dive.format = values.count(4);
    for (int gas = values.count(4); gas > 0; --gas)
        dive.gases.append(profilefixtures::gas(values.count(100)));
    dive.lines = randomLines(values, values.chance(10) ? 20000 : 600);
    dive.decoLines = randomLines(values, 30);
    dive.stopLines = randomLines(values, 30);
    dive.ceilTrackingLines = randomLines(values, 30);
    dive.ceilingPoints = randomPoints(values, 200);
    dive.yoyoMarks = randomPoints(values, 10);
    dive.dtrStartIndex = values.count(int(dive.lines.size()) + 1) - 1;
    dive.invalidReason = values.count(5);
    dive.decoNotTerminated = values.chance(50);
    return dive;
}

ShowItemsState randomShownItems(Values& values)
{
    ShowItemsState shown;
    for (bool ShowItemsState::*flag : {&ShowItemsState::points, &ShowItemsState::temperature, &ShowItemsState::deco,
                                       &ShowItemsState::alerts, &ShowItemsState::gases, &ShowItemsState::maxDepth,
                                       &ShowItemsState::tankPressure})
        shown.*flag = values.chance(70);
    return shown;
}

// Paints a part of the item into a small image, as a view repaints it.
void paintPart(DiveProfileItem& item, const QRectF& exposed, const QTransform& transform)
{
    QImage image(160, 100, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setTransform(transform);
    QStyleOptionGraphicsItem option;
    option.exposedRect = exposed;
    item.paint(&painter, &option, nullptr);
}

} // namespace

// Random and extreme dives painted and navigated: every paint returns, its
// loops bounded by what it can show, and the view stays finite.
class RepairProfileFuzzTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { profilefixtures::setProgramIcons(); }

    void randomDivesInTheView()
    {
        QRandomGenerator random(kSeed);
        Values values(random);
        GraphView view;
        view.show();
        for (int n = 0; n < kDives; ++n) {
            Dive dive = randomDive(values);
            view.resize(int(values.ordinary(1, 1000)), int(values.ordinary(1, 600)));
            view.mProfile->mEditable = values.chance(20);
            view.mProfile->mEffortMode = values.chance(20);
            view.showItems(randomShownItems(values));
            view.setDiveProfile(&dive);
            view.mProfile->addMarkerAt(values.any(0, 3000), true, MarkerType(values.count(9)), QString());
            verifyFinite(view);
            view.viewport()->repaint();

            for (int step = values.count(6); step > 0; --step) {
                const QPoint at(int(values.ordinary(0, view.width())), int(values.ordinary(0, view.height())));
                const int delta = int(values.ordinary(-1200, 1200));
                switch (values.count(3)) {
                case 0:
                    viewevents::wheel(view, at, QPoint(0, delta), Qt::NoModifier);
                    break;
                case 1:
                    viewevents::wheel(view, at, QPoint(0, delta), Qt::ControlModifier);
                    break;
                case 2:
                    viewevents::wheel(view, at, QPoint(delta, 0), Qt::NoModifier);
                    break;
                default:
                    viewevents::mouse(view, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
                    view.getInfosOnPosition(QPointF(at), view.mProfile->xpositionToTime(at.x()));
                    break;
                }
                verifyFinite(view);
                view.viewport()->repaint();
                const QRectF exposed(values.ordinary(-50, 1000), values.ordinary(-50, 600), values.ordinary(0, 80),
                                     values.ordinary(0, 600));
                paintPart(*view.mProfile, exposed, QTransform());
            }
            view.setDiveProfile(nullptr);
        }
    }

    // An item as large as a scene can be, painted through a small device:
    // what a paint walks is bounded by what it can show.
    void endlessScenes()
    {
        QRandomGenerator random(kSeed + 1);
        Values values(random);
        for (int n = 0; n < kDives / 4; ++n) {
            Dive dive = randomDive(values);
            QGraphicsScene scene;
            auto* item = new DiveProfileItem;
            scene.addItem(item);
            const double size = values.chance(50) ? 1e300 : values.any(0, 1e9);
            scene.setSceneRect(0, 0, std::isnan(size) ? 1.0 : size, std::isnan(size) ? 1.0 : size);
            item->resize(scene.sceneRect());
            item->showItems(randomShownItems(values));
            item->setDiveProfile(&dive);
            item->zoom(DiveProfileItem::Axis::Time, values.any(0, 50), values.any(0, 1000));
            item->zoom(DiveProfileItem::Axis::Depth, values.any(0, 5), 0);
            // Seen from anywhere, at any scale, a view of an endless scene among them.
            const QPointF corner(values.any(0, 2000), values.any(0, 2000));
            const double scale = values.chance(50) ? 1.0 : values.any(0.001, 20);
            const QTransform transform = QTransform::fromTranslate(-corner.x() * scale, -corner.y() * scale)
                                             .scale(scale, scale);
            paintPart(*item, scene.sceneRect(), transform);
            QVERIFY(isFinitePositive(item->pixelsPerSecond()));
            QVERIFY(isFinitePositive(item->pixelsPerMeter()));
        }
    }
};

MAREVANE_TEST_MAIN(RepairProfileFuzzTest)
#include "tst_repairprofilefuzz.moc"
