#include "graphics/devicepicture.h"

#include <QPaintEngine>

namespace {

// Around the bounds, what a thin pen may still touch, in item coordinates,
// and then what a rounding may, in device pixels.
constexpr qreal kPenReach = 1.0;
constexpr int kRoundingMargin = 1;
// What all the pictures may take: a day-long plan has tens of thousands of
// points, each with its picture of a few hundred bytes.
constexpr qsizetype kBudgetBytes = qsizetype(64) << 20;
qsizetype sKeptBytes = 0;
// The largest picture drawn through the shared painter, in device pixels.
constexpr int kScratchSide = 64;

// One painter for every picture that fits: beginning a painter on an image
// costs more than drawing a point, and a zoom draws every point again.
struct Scratch
{
    QImage image{kScratchSide, kScratchSide, QImage::Format_ARGB32_Premultiplied};
    QPainter painter{&image};
};

QImage drawnAlone(const QSize& size, const QTransform& transform, QPainter::RenderHints hints,
                  const DevicePicture::Drawing& draw)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(hints);
    painter.setTransform(transform);
    draw(painter);
    return image;
}

QImage drawnOnScratch(const QSize& size, const QTransform& transform, QPainter::RenderHints hints,
                      const DevicePicture::Drawing& draw)
{
    static Scratch scratch;
    QPainter& painter = scratch.painter;
    const QRect area(QPoint(0, 0), size);
    painter.resetTransform();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(area, Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.save();
    painter.setRenderHints(~hints, false);
    painter.setRenderHints(hints, true);
    painter.setTransform(transform);
    draw(painter);
    painter.restore();
    return scratch.image.copy(area);
}

} // namespace

DevicePicture::~DevicePicture()
{
    drop();
}

void DevicePicture::drop()
{
    sKeptBytes -= mImage.sizeInBytes();
    mImage = QImage();
}

void DevicePicture::paint(QPainter& painter, const QRectF& bounds, int look, const Drawing& draw)
{
    const QTransform device = painter.deviceTransform();
    bool invertible = false;
    const QTransform toItem = device.inverted(&invertible);
    const QPaintEngine* engine = painter.paintEngine();
    const QPainter::RenderHints hints = painter.renderHints();
    // A copy blends the picture as a whole: only plain opaque painting gives
    // the pixels of the drawing's own strokes and fills.
    const bool plain = painter.opacity() == 1.0 && painter.compositionMode() == QPainter::CompositionMode_SourceOver;
    const bool kept = plain && invertible && device.type() <= QTransform::TxScale && engine
        && engine->type() == QPaintEngine::Raster
        && (holds(device, bounds, look, hints) || render(device, bounds, look, hints, draw));
    if (!kept) {
        drop();
        draw(painter);
        return;
    }
    // Copied on the device's own pixels: the world transform that makes the
    // device transform the identity.
    const QTransform world = painter.worldTransform();
    painter.setWorldTransform(toItem * world);
    painter.drawImage(mTopLeft, mImage);
    painter.setWorldTransform(world);
}

bool DevicePicture::holds(const QTransform& device, const QRectF& bounds, int look, QPainter::RenderHints hints) const
{
    return !mImage.isNull() && device == mDevice && bounds == mBounds && look == mLook && hints == mHints;
}

bool DevicePicture::render(const QTransform& device, const QRectF& bounds, int look, QPainter::RenderHints hints,
                           const Drawing& draw)
{
    const QRect area = device.mapRect(bounds.adjusted(-kPenReach, -kPenReach, kPenReach, kPenReach))
                           .toAlignedRect()
                           .adjusted(-kRoundingMargin, -kRoundingMargin, kRoundingMargin, kRoundingMargin);
    drop();
    const qsizetype bytes = qsizetype(area.width()) * area.height() * 4;
    if (sKeptBytes + bytes > kBudgetBytes)
        return false;
    const QTransform toPicture = device * QTransform::fromTranslate(-area.left(), -area.top());
    const bool fits = area.width() <= kScratchSide && area.height() <= kScratchSide;
    mImage = fits ? drawnOnScratch(area.size(), toPicture, hints, draw)
                  : drawnAlone(area.size(), toPicture, hints, draw);
    if (mImage.isNull())
        return false;
    sKeptBytes += mImage.sizeInBytes();
    mTopLeft = area.topLeft();
    mDevice = device;
    mBounds = bounds;
    mLook = look;
    mHints = hints;
    return true;
}
