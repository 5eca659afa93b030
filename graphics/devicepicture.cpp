#include "graphics/devicepicture.h"

#include <QPaintEngine>

namespace {

// Pixels around the bounds that a pen or a rounding may still touch.
constexpr int kMargin = 2;
// What all the pictures may take: a day-long plan has tens of thousands of
// points, each with its picture of a few hundred bytes.
constexpr qsizetype kBudgetBytes = qsizetype(64) << 20;
qsizetype sKeptBytes = 0;

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
    const bool kept = invertible && device.type() <= QTransform::TxScale && engine
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
    const QRect area = device.mapRect(bounds).toAlignedRect().adjusted(-kMargin, -kMargin, kMargin, kMargin);
    drop();
    const qsizetype bytes = qsizetype(area.width()) * area.height() * 4;
    if (sKeptBytes + bytes > kBudgetBytes)
        return false;
    mImage = QImage(area.size(), QImage::Format_ARGB32_Premultiplied);
    if (mImage.isNull())
        return false;
    sKeptBytes += mImage.sizeInBytes();
    mImage.fill(Qt::transparent);
    QPainter painter(&mImage);
    painter.setRenderHints(hints);
    painter.setTransform(device * QTransform::fromTranslate(-area.left(), -area.top()));
    draw(painter);
    mTopLeft = area.topLeft();
    mDevice = device;
    mBounds = bounds;
    mLook = look;
    mHints = hints;
    return true;
}
