#pragma once

#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QRectF>
#include <QTransform>

#include <functional>

// A small drawing kept on the device pixels it was made for, the fraction of
// a pixel of its place included: painted again through the same transform
// and in the same look, it copies those pixels instead of drawing again, and
// gives the same picture. Any other transform, look or paint hint draws it
// again; a transform that rotates or shears, a device that is not an image,
// and a painter that is not opaque or not blending over get the drawing
// itself. All the pictures together keep within a memory budget; past it, a
// drawing is not kept but drawn each time. For the GUI thread only: the
// pictures share one painter and one budget.
class DevicePicture
{
public:
    using Drawing = std::function<void(QPainter&)>;

    DevicePicture() = default;
    ~DevicePicture();
    Q_DISABLE_COPY_MOVE(DevicePicture)

    // `draw` paints in item coordinates within `bounds`, a thin pen reaching
    // at most a unit beyond; `look` tells apart the drawings that `draw` can make.
    void paint(QPainter& painter, const QRectF& bounds, int look, const Drawing& draw);

private:
    bool holds(const QTransform& device, const QRectF& bounds, int look, QPainter::RenderHints hints) const;
    // False when the picture would take the budget past its limit.
    bool render(const QTransform& device, const QRectF& bounds, int look, QPainter::RenderHints hints,
                const Drawing& draw);
    void drop();

    QImage mImage;
    QPoint mTopLeft; // on the device
    QTransform mDevice;
    QRectF mBounds;
    int mLook = 0;
    QPainter::RenderHints mHints;
};
