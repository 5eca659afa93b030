#include "testenvironment.h"

#include "graphics/devicepicture.h"

#include <QImage>
#include <QPainter>

#include <array>

namespace {

constexpr int kPlaces = 24;
const QRectF kBounds(-5, -5, 10, 10);

void drawPoint(QPainter& painter, bool selected)
{
    painter.setPen(QPen());
    painter.setBrush(selected ? QColor(240, 155, 89) : QColor(Qt::white));
    painter.drawEllipse(kBounds);
}

// Places at every fraction of a pixel, shifted by `shift`.
QPointF place(int k, double shift)
{
    return QPointF(8 + k * 13.37 + shift, 9 + (k % 5) * 3.21 + 0.7 * shift);
}

// One paint of the points at their places on a fresh image, each through its
// picture or drawn directly.
QImage paintPoints(const QTransform& view, qreal pixelRatio, QPainter::RenderHints hints, double shift,
                   bool selected, std::array<DevicePicture, kPlaces>* pictures, qreal opacity)
{
    QImage image(QSize(360, 40) * pixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(pixelRatio);
    image.fill(QColor(242, 242, 230));
    QPainter painter(&image);
    painter.setRenderHints(hints);
    painter.setOpacity(opacity);
    for (int k = 0; k < kPlaces; ++k) {
        painter.setWorldTransform(QTransform::fromTranslate(place(k, shift).x(), place(k, shift).y()) * view);
        const auto draw = [selected](QPainter& p) { drawPoint(p, selected); };
        if (pictures)
            (*pictures)[size_t(k)].paint(painter, kBounds, selected ? 1 : 0, draw);
        else
            draw(painter);
    }
    return image;
}

int largestDifference(const QImage& a, const QImage& b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return largest;
}

} // namespace

class DevicePictureTest : public QObject
{
    Q_OBJECT

private slots:
    // A kept picture gives the pixels of the drawing itself, at its first
    // paint and after the place, the look or the paint hints change.
    void samePixelsAsTheDrawing_data()
    {
        QTest::addColumn<QTransform>("view");
        QTest::addColumn<qreal>("pixelRatio");
        QTest::addColumn<bool>("antialiased");
        QTest::addColumn<qreal>("opacity");
        QTest::newRow("screen pixels") << QTransform() << 1.0 << false << 1.0;
        QTest::newRow("offset by a fraction") << QTransform::fromTranslate(0.3, 0.55) << 1.0 << false << 1.0;
        QTest::newRow("scaled view") << QTransform::fromScale(1.3, 0.8) << 1.0 << false << 1.0;
        QTest::newRow("two device pixels a pixel") << QTransform() << 2.0 << false << 1.0;
        QTest::newRow("one and a half device pixels") << QTransform::fromTranslate(0.25, 0) << 1.5 << false << 1.0;
        QTest::newRow("antialiased") << QTransform() << 1.0 << true << 1.0;
        QTest::newRow("pictures larger than the shared painter's")
            << QTransform::fromScale(7, 7) << 1.0 << false << 1.0;
        QTest::newRow("rotated: drawn directly") << QTransform().rotate(7) << 1.0 << false << 1.0;
        // The pen blends over the brush, not over the picture's own blend.
        QTest::newRow("translucent: drawn directly") << QTransform() << 1.0 << false << 0.5;
    }

    void samePixelsAsTheDrawing()
    {
        QFETCH(QTransform, view);
        QFETCH(qreal, pixelRatio);
        QFETCH(bool, antialiased);
        QFETCH(qreal, opacity);
        const QPainter::RenderHints hints = antialiased ? QPainter::Antialiasing : QPainter::RenderHints();
        std::array<DevicePicture, kPlaces> pictures;
        struct Paint
        {
            double shift;
            bool selected;
            QPainter::RenderHints hints;
        };
        // Painted again unchanged, moved, selected, moved again, then with the other hints.
        const Paint paints[] = {{0.0, false, hints}, {0.0, false, hints}, {0.43, false, hints},
                                {0.43, true, hints}, {-2.0, true, hints}, {-2.0, true, hints ^ QPainter::Antialiasing}};
        for (const Paint& paint : paints) {
            const auto paintAll = [&](std::array<DevicePicture, kPlaces>* through) {
                return paintPoints(view, pixelRatio, paint.hints, paint.shift, paint.selected, through, opacity);
            };
            const QImage kept = paintAll(&pictures);
            const QImage drawn = paintAll(nullptr);
            // Aliased edges are the same pixels; an antialiased edge pixel
            // blended in two steps may round a level or two otherwise.
            const int allowed = paint.hints.testFlag(QPainter::Antialiasing) ? 2 : 0;
            QVERIFY2(largestDifference(kept, drawn) <= allowed,
                     qPrintable(QStringLiteral("shift %1, selected %2, antialiased %3")
                                    .arg(paint.shift)
                                    .arg(paint.selected)
                                    .arg(paint.hints.testFlag(QPainter::Antialiasing))));
        }
    }
};

MAREVANE_TEST_MAIN(DevicePictureTest)
#include "tst_devicepicture.moc"
