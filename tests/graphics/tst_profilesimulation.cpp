#include "testenvironment.h"

#include "../divemodel/diveprofiles.h"
#include "graphics/profilesimulationhelper.h"

#include <cmath>
#include <limits>

namespace {

using testkit::diveLine;

Dive diveOf(const QList<DiveLine>& lines)
{
    Dive dive;
    dive.lines = lines;
    return dive;
}

QString text(const StepSimulation& step)
{
    return QStringLiteral("%1s %2dm %3bar %4C %5")
        .arg(step.time)
        .arg(step.depth)
        .arg(step.pressure, 0, 'g', 6)
        .arg(step.temperature)
        .arg(step.ceiling);
}

QString text(double time, int depth, double pressure, double temperature, double ceiling)
{
    return text({time, std::int16_t(depth), pressure, temperature, ceiling});
}

constexpr float kSurface = 1.013f;
constexpr double kInfinity = std::numeric_limits<double>::infinity();

} // namespace

Q_DECLARE_METATYPE(DiveLine)

// The steps a dive is played as: one a step apart, the depth interpolated
// between the samples, then the last sample and the surface.
class ProfileSimulationTest : public QObject
{
    Q_OBJECT

private slots:
    void steps_data()
    {
        QTest::addColumn<QList<DiveLine>>("samples");
        QTest::addColumn<int>("stepMs");
        // Depths from this one down get a pressure of 0.
        QTest::addColumn<double>("zeroFrom");
        QTest::addColumn<QStringList>("expected");

        const QList<DiveLine> tenMetres = {diveLine(0, 0, 18, -9), diveLine(10, 10, 16, 3)};
        QStringList descent;
        for (int i = 0; i < 10; ++i)
            descent << text(i, 10 * i, 1.0f + float(i) / 10.0f, 18, -9);
        QTest::newRow("two samples")
            << tenMetres << 1000 << kInfinity
            << descent + QStringList{text(10, 100, 2.0, 16, -250), text(10, 0, kSurface, 18, -250)};
        QTest::newRow("one sample") << QList<DiveLine>{diveLine(30, 4, 12, -5)} << 1000 << kInfinity
                                    << QStringList{text(0, 40, 1.4f, 12, -250), text(0, 0, kSurface, 20, -250)};
        QTest::newRow("depth truncated to decimetres")
            << QList<DiveLine>{diveLine(0, 1.29, 20, 0), diveLine(2, 1.29, 20, 0)} << 1000 << kInfinity
            << QStringList{text(0, 12, 1.129f, 20, 0), text(1, 12, 1.129f, 20, 0), text(2, 12, 1.129f, 20, -250),
                           text(2, 0, kSurface, 20, -250)};
        QTest::newRow("first sample after the start")
            << QList<DiveLine>{diveLine(3, 6, 20, 0), diveLine(5, 8, 20, 0)} << 1000 << kInfinity
            << QStringList{text(0, 60, 1.6f, 20, 0), text(1, 60, 1.6f, 20, 0), text(2, 60, 1.6f, 20, 0),
                           text(3, 60, 1.6f, 20, 0), text(4, 70, 1.7f, 20, 0), text(5, 80, 1.8f, 20, -250),
                           text(5, 0, kSurface, 20, -250)};
        QTest::newRow("no pressure at the last depth")
            << QList<DiveLine>{diveLine(0, 0, 20, 0), diveLine(2, 20, 20, 0)} << 1000 << 20.0
            << QStringList{text(0, 0, 1.0, 20, 0), text(1, 100, 2.0, 20, 0), text(2, 200, 0.0, 20, -250)};
        // The time reached has passed the segment from 1.5 to 1.8 s.
        QTest::newRow("segment shorter than the time left")
            << QList<DiveLine>{diveLine(0, 0, 20, 0), diveLine(1.5, 3, 20, 0), diveLine(1.8, 3, 20, 0),
                               diveLine(4, 3, 20, 0)}
            << 1000 << kInfinity
            << QStringList{text(0, 0, 1.0, 20, 0),   text(1, 20, 1.2f, 20, 0),   text(2, 30, 1.3f, 20, 0),
                           text(3, 30, 1.3f, 20, 0), text(4, 30, 1.3f, 20, -250), text(4, 0, kSurface, 20, -250)};
        QTest::newRow("half-second steps")
            << QList<DiveLine>{diveLine(0, 0, 20, 0), diveLine(1, 1, 20, 0)} << 500 << kInfinity
            << QStringList{text(0, 0, 1.0, 20, 0), text(0.5, 5, 1.05f, 20, 0), text(1, 10, 1.1f, 20, -250),
                           text(1, 0, kSurface, 20, -250)};
        QTest::newRow("step of 0 ms") << tenMetres << 0 << kInfinity << QStringList{};
        QTest::newRow("step of -1000 ms") << tenMetres << -1000 << kInfinity << QStringList{};
        QTest::newRow("no samples") << QList<DiveLine>{} << 1000 << kInfinity << QStringList{};
        QTest::newRow("depth beyond the field")
            << QList<DiveLine>{diveLine(0, 5000, 20, 0)} << 1000 << kInfinity
            << QStringList{text(0, 32767, 501.0, 20, -250), text(0, 0, kSurface, 20, -250)};
        QTest::newRow("depth below the field")
            << QList<DiveLine>{diveLine(0, -5000, 20, 0)} << 1000 << kInfinity
            << QStringList{text(0, -32768, -499.0, 20, -250)};
        // A billion steps would not fit in memory.
        QTest::newRow("time far beyond any dive")
            << QList<DiveLine>{diveLine(0, 0, 20, 0), diveLine(1e9, 10, 20, 0)} << 1000 << kInfinity
            << QStringList{};
        QTest::newRow("endless time")
            << QList<DiveLine>{diveLine(0, 0, 20, 0), diveLine(kInfinity, 10, 20, 0)} << 1000 << kInfinity
            << QStringList{};
        QTest::newRow("depth not a number")
            << QList<DiveLine>{diveLine(0, std::nan(""), 20, 0), diveLine(10, 10, 20, 0)} << 1000 << kInfinity
            << QStringList{};
    }
    void steps()
    {
        QFETCH(QList<DiveLine>, samples);
        QFETCH(int, stepMs);
        QFETCH(double, zeroFrom);
        QFETCH(QStringList, expected);
        ProfileSimulationHelper helper;
        helper.mDepthToPressure = [zeroFrom](const float& depth) {
            return depth >= zeroFrom ? 0.0f : 1.0f + depth / 10.0f;
        };
        // What the list held before is replaced.
        std::vector<StepSimulation> steps(3);
        helper.prepareSimulation(diveOf(samples), stepMs, steps, kSurface);
        QStringList texts;
        for (const StepSimulation& step : steps)
            texts << text(step);
        QCOMPARE(texts, expected);
    }
};

MAREVANE_TEST_MAIN(ProfileSimulationTest)
#include "tst_profilesimulation.moc"
