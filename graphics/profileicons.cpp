#include "graphics/profileicons.h"

#include "divemodel/dive.h"
#include "graphics/curvereduction.h"
#include "graphics/marker.h"
#include "graphics/profilemarks.h"
#include "graphics/profilenumbers.h"

#include <QGraphicsPixmapItem>
#include <QHash>

#include <cmath>

namespace {

constexpr int kFirstFamily = 1; // its alerts are painted, not icons
const QPointF kFirstGasOffset(10, 0);
const QPointF kAlertOffset(5, 5);

} // namespace

ProfileIcons::ProfileIcons(QGraphicsItem* parent)
    : mParent(parent)
{
}

void ProfileIcons::collect(const Dive* dive, const ShowItemsState& shown)
{
    mIcons.clear();
    if (!dive || dive->lines.size() < 2)
        return;
    const QList<DiveLine>& lines = dive->lines;
    // Icons of one picture share its pixmap: a long dive may have thousands.
    QHash<const QImage*, QPixmap> pixmaps;
    const auto add = [&](const QImage* image, int sample, const QPointF& offset, const QString& toolTip) {
        auto pixmap = pixmaps.find(image);
        if (pixmap == pixmaps.end())
            pixmap = pixmaps.insert(image, image && !image->isNull() ? QPixmap::fromImage(*image) : QPixmap());
        mIcons.append({image, *pixmap, QPointF(lines.at(sample).timeSec, lines.at(sample).depth), offset, toolTip});
    };
    const auto addGas = [&](int gasIndex, int sample, const QPointF& offset) {
        add(Marker::gasImage(gasIndex), sample, offset, profilemarks::gasToolTip(*dive, gasIndex));
    };

    if (shown.gases && lines.at(1).gasIndex >= 0)
        addGas(lines.at(1).gasIndex, 0, kFirstGasOffset);
    const QList<profilemarks::AlertMark> alerts = shown.alerts && dive->computerModel != kFirstFamily
        ? profilemarks::pelavixAlerts(*dive)
        : QList<profilemarks::AlertMark>();
    const QList<int> gasChanges = shown.gases ? profilemarks::gasChanges(*dive) : QList<int>();
    // Sample by sample, a sample's alerts below its gas change, as the painting stacks them.
    auto alert = alerts.cbegin();
    auto change = gasChanges.cbegin();
    while (alert != alerts.cend() || change != gasChanges.cend()) {
        if (alert != alerts.cend() && (change == gasChanges.cend() || alert->sample <= *change)) {
            add(&profilemarks::alertImage(alert->type), alert->sample, kAlertOffset,
                profilemarks::alertText(alert->type, lines.at(alert->sample)));
            ++alert;
        } else {
            addGas(lines.at(*change).gasIndex, *change - 1, QPointF());
            ++change;
        }
    }
}

void ProfileIcons::place(const ProfileMapping& map, const QRectF& graph)
{
    QList<QPointF> at(mIcons.size());
    QList<bool> covered(mIcons.size(), false);
    PixelSet taken;
    for (qsizetype k = mIcons.size() - 1; k >= 0; --k) {
        const Icon& icon = mIcons[k];
        at[k] = map.point(icon.sample.x(), icon.sample.y()) + icon.offset;
        covered[k] = !taken.insert(at[k], quintptr(icon.image));
    }
    qsizetype used = 0;
    for (qsizetype k = 0; k < mIcons.size(); ++k) {
        if (covered[k])
            continue;
        QGraphicsPixmapItem* item = itemAt(used++);
        const Icon& icon = mIcons[k];
        if (item->pixmap().cacheKey() != icon.pixmap.cacheKey())
            item->setPixmap(icon.pixmap);
        // On whole pixels, where the picture is drawn: an item's bounds are
        // then the pixels it covers, which is what a partial repaint asks.
        item->setPos(QPointF(std::round(profilenumbers::withinFarOff(at[k].x())),
                             std::round(profilenumbers::withinFarOff(at[k].y()))));
        item->setToolTip(icon.toolTip);
        item->setVisible(graph.contains(at[k]));
    }
    while (mItems.size() > used)
        delete mItems.takeLast();
}

QGraphicsPixmapItem* ProfileIcons::itemAt(qsizetype k)
{
    // Items are reused in order, so that their stacking follows the icons'.
    if (k == mItems.size())
        mItems.append(new QGraphicsPixmapItem(mParent));
    return mItems[k];
}
