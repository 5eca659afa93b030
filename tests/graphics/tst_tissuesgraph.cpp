#include "testenvironment.h"

#include "graphics/tissuesgraph.h"

#include <QImage>

#include <array>
#include <cmath>

namespace {

// The chart of a 400 x 150 widget: margins and spacing of 5, so the baseline
// lies at y 135, the bar area is 120 high and the bars are 19 wide, 24 apart
// from x 10.
constexpr int kWidth = 400;
constexpr int kHeight = 150;
constexpr int kBaseline = 135;
constexpr int kBarArea = 120;
constexpr int kBarWidth = 19;

int barLeft(int compartment)
{
    return 10 + compartment * (kBarWidth + 5);
}

QImage grab(TissuesGraph& graph)
{
    return graph.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The green rows of the middle column of a bar.
int greenRows(const QImage& image, int compartment)
{
    const int x = barLeft(compartment) + kBarWidth / 2;
    int rows = 0;
    for (int y = 0; y < kBaseline; ++y)
        rows += image.pixelColor(x, y) == QColor(Qt::green);
    return rows;
}

std::array<float, 16> filled(float value)
{
    std::array<float, 16> values;
    values.fill(value);
    return values;
}

} // namespace

class TissuesGraphTest : public QObject
{
    Q_OBJECT

private slots:
    // The height of each bar, by its green rows: inside the outline, which
    // takes the first row of a bar.
    void bars_data()
    {
        QTest::addColumn<QList<float>>("values");
        QTest::addColumn<QList<int>>("heights");
        QList<float> equal(16, 1.25f);
        QTest::newRow("all equal: half the area") << equal << QList<int>(16, kBarArea / 2);
        QList<float> rising;
        QList<int> risingHeights;
        for (int i = 1; i <= 16; ++i) {
            rising.append(float(i));
            risingHeights.append((i - 1) * kBarArea / 15); // 1 on the baseline, 16 fills the area
        }
        QTest::newRow("1 to 16") << rising << risingHeights;
        QList<float> aboveBaseline(16, 100.0f);
        aboveBaseline[3] = 120.0f;
        QList<int> distanceTo99(16, kBarArea / 21);
        distanceTo99[3] = kBarArea;
        QTest::newRow("values above 99 show their distance to 99") << aboveBaseline << distanceTo99;
    }

    void bars()
    {
        QFETCH(QList<float>, values);
        QFETCH(QList<int>, heights);
        TissuesGraph graph;
        graph.resize(kWidth, kHeight);
        graph.setValues(values.constData());
        const QImage image = grab(graph);
        for (int i = 0; i < 16; ++i) {
            QCOMPARE(greenRows(image, i), std::max(0, heights[i] - 1));
            if (heights[i] > 0) // the outline's top row, in the front colour
                QCOMPARE(image.pixelColor(barLeft(i) + kBarWidth / 2, kBaseline - heights[i]), QColor(Qt::black));
        }
        QCOMPARE(image.pixelColor(200, kBaseline), QColor(Qt::black));
        QCOMPARE(image.pixelColor(2, 2), QColor(0xF0, 0xF0, 0xF0));
    }

    void allZeroDrawsOnlyTheBaseline()
    {
        TissuesGraph graph;
        graph.resize(kWidth, kHeight);
        graph.setValues(filled(1.0f));
        graph.reset();
        const QImage image = grab(graph);
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const bool onBaseline = y == kBaseline && x >= 5 && x <= kWidth - 5;
                QCOMPARE(image.pixelColor(x, y), onBaseline ? QColor(Qt::black) : QColor(0xF0, 0xF0, 0xF0));
            }
        }
    }

    // Outlines and texts take the front colour, the background its own.
    void colours()
    {
        TissuesGraph graph;
        graph.resize(kWidth, kHeight);
        graph.setFrontColor(QColor(200, 0, 0));
        graph.setBackgroundColor(QColor(10, 20, 30));
        graph.setValues(filled(2.0f));
        const QImage image = grab(graph);
        QCOMPARE(image.pixelColor(200, kBaseline), QColor(200, 0, 0));
        QCOMPARE(image.pixelColor(barLeft(5) + 3, kBaseline - kBarArea / 2), QColor(200, 0, 0));
        QCOMPARE(image.pixelColor(2, 2), QColor(10, 20, 30));
        // The labels: some pixels near the front colour above a bar and under it.
        const auto reddish = [&image](int top, int bottom) {
            for (int y = top; y < bottom; ++y)
                for (int x = barLeft(5); x < barLeft(5) + kBarWidth; ++x)
                    if (image.pixelColor(x, y).red() > 120 && image.pixelColor(x, y).blue() < 60)
                        return true;
            return false;
        };
        QVERIFY(reddish(kBaseline - kBarArea / 2 - 15, kBaseline - kBarArea / 2 - 1));
        QVERIFY(reddish(kBaseline + 1, kHeight));
    }

    void nonFiniteValuesShowAsZero()
    {
        TissuesGraph graph;
        std::array<float, 16> values = filled(1.0f);
        values[2] = std::nanf("");
        values[7] = INFINITY;
        graph.setValues(values);
        QCOMPARE(graph.values()[2], 0.0f);
        QCOMPARE(graph.values()[7], 0.0f);
        QCOMPARE(graph.values()[0], 1.0f);
    }
};

MAREVANE_TEST_MAIN(TissuesGraphTest)
#include "tst_tissuesgraph.moc"
