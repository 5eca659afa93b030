#pragma once

#include "graphics/profilemapping.h"
#include "graphics/showitemsstate.h"

#include <QList>
#include <QPixmap>
#include <QPointF>
#include <QRectF>
#include <QString>

class QGraphicsItem;
class QGraphicsPixmapItem;
class QImage;
struct Dive;

// The gas and alert icons over a profile, as pixmap items that are children
// of the profile item, so that each shows its tool tip. Which icons a dive
// has depends on its samples and on the items shown, not on the scales: they
// are collected once per dive, and zooming, panning and resizing only place
// them again, which costs icons, not samples.
class ProfileIcons
{
public:
    explicit ProfileIcons(QGraphicsItem* parent);

    // Collects the icons of the dive (null: none) for the items shown. The
    // dive's samples are read now; call it again after they change.
    void collect(const Dive* dive, const ShowItemsState& shown);
    // Places the collected icons: an icon that a later one of the same
    // picture covers on the same pixel can neither be seen nor hovered, so it
    // gets no item, nor does one far off any screen; icons outside the graph
    // area are hidden like the clipped curves.
    void place(const ProfileMapping& map, const QRectF& graph);

    // The items, in stacking order. The parent owns them.
    const QList<QGraphicsPixmapItem*>& items() const { return mItems; }

private:
    struct Icon
    {
        const QImage* image; // identifies the picture; null for none
        QPixmap pixmap;      // shared by every icon of the picture
        QPointF sample;      // time (s) and depth (m) of the sample it marks
        QPointF offset;      // from the sample's point, in pixels
        QString toolTip;
    };

    QGraphicsPixmapItem* itemAt(qsizetype k);

    QGraphicsItem* mParent;
    QList<Icon> mIcons;
    QList<QGraphicsPixmapItem*> mItems;
};
