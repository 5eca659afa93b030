#include "testenvironment.h"

#include "plantestsupport.h"
#include "threediveplan.h"

#include <QFile>
#include <QStringList>
#include <QTextStream>
#include <QtTest>

#include <array>

using namespace plantest;

namespace {

// Numbers written so that reading them back gives the same bits: any change
// of a computed value changes the text.
QString exact(float value)
{
    return QString::number(value, 'g', 9);
}

QString exact(double value)
{
    return QString::number(value, 'g', 17);
}

template <typename Values>
QString exactList(const Values& values)
{
    QStringList texts;
    for (const float value : values)
        texts.append(exact(value));
    return texts.join(' ');
}

// Everything a computation hands out and writes back, one fact per line.
QStringList describeRun(const QString& title, const PlanificationPlan& plan, const RunRecorder& recorder)
{
    const PlannedDive& dive = *plan.currentPlannedDive();
    QStringList lines{QStringLiteral("[%1]").arg(title)};
    for (const LinePlan& row : recorder.rows)
        lines.append(QStringLiteral("row %1 %2 %3 %4 %5 %6 %7 %8 %9")
                         .arg(row.kind)
                         .arg(row.direction)
                         .arg(row.computed)
                         .arg(exact(row.depth), exact(row.duration), exact(row.runTime))
                         .arg(row.gasIndex)
                         .arg(exact(row.cns), exact(row.otu)));
    for (const DiveLine& point : dive.decoLines)
        lines.append(QStringLiteral("ascent %1 %2 %3").arg(exact(point.timeSec), exact(point.depth)).arg(point.gasIndex));
    for (const CeilPoint& point : dive.ceilingPoints)
        lines.append(QStringLiteral("ceiling %1 %2 %3").arg(exact(point.time), exact(point.depth)).arg(point.value));
    for (const DiveLine& point : dive.lines)
        lines.append(QStringLiteral("point ceiling %1 speed %2").arg(exact(point.decoCeiling), exact(point.speed)));
    lines.append(QStringLiteral("start N2 %1").arg(exactList(plan.startN2)));
    lines.append(QStringLiteral("end N2 %1").arg(exactList(dive.tissues.N2)));
    lines.append(QStringLiteral("end He %1").arg(exactList(dive.tissues.He)));
    lines.append(QStringLiteral("end CNS %1").arg(exact(dive.tissues.CNS)));
    lines.append(QStringLiteral("OTU total %1").arg(exact(dive.otuTotal)));
    lines.append(QStringLiteral("invalid %1 deco not terminated %2 max time %3 max depth %4")
                     .arg(dive.invalidReason)
                     .arg(dive.decoNotTerminated)
                     .arg(exact(dive.maxTime), exact(dive.maxDepth)));
    return lines;
}

QStringList readFixture(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

void writeActual(const QStringList& lines, const QString& path)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Text))
        file.write((lines.join('\n') + '\n').toUtf8());
}

} // namespace

// The results of the planner's computations, compared bit for bit with what
// they were when the fixture was recorded: a faster computation must give
// the same rows, ascent, ceiling, tissues and oxygen figures.
class PlanResultsTest : public QObject
{
    Q_OBJECT

private slots:
    void resultsUnchanged()
    {
        QStringList actual;

        // The benchmarks' plan: every dive computed as it was added, on the
        // default gradient factors; the third is computed more conservatively.
        RecordedPlan plan;
        for (int slot = 0; slot < PlanificationPlan::slotCount; ++slot) {
            plan.recorder.reset();
            addDive(plan, threediveplan::multilevelPoints());
            actual += describeRun(QStringLiteral("dive %1").arg(slot + 1), plan, plan.recorder);
        }

        // The second dive again on unequal gradient factors.
        plan.current = 1;
        gfs_t unequal(30, 85);
        plan.recompute(&unequal);
        actual += describeRun(QStringLiteral("dive 2 at 30/85"), plan, plan.recorder);

        // A first dive on unequal factors with a yoyo half-way, which turns
        // the rest of the computation to the effort factors.
        RecordedPlan yoyo;
        QList<DiveLine> points = threediveplan::multilevelPoints();
        points[8].setAlertFlag(QuelmAlertType::Yoyo, 3);
        addDive(yoyo, points);
        yoyo.recompute(&unequal);
        actual += describeRun(QStringLiteral("yoyo dive at 30/85"), yoyo, yoyo.recorder);

        const QString fixture = QFINDTESTDATA("data/threediveplan.results");
        const QStringList expected = readFixture(fixture);
        if (actual != expected) {
            const QString written = QDir::current().absoluteFilePath("threediveplan.results.actual");
            writeActual(actual, written);
            QVERIFY2(!expected.isEmpty(), qPrintable("the results fixture is missing; these results are in " + written));
            for (qsizetype i = 0; i < std::min(actual.size(), expected.size()); ++i)
                QVERIFY2(actual.at(i) == expected.at(i),
                         qPrintable(QStringLiteral("line %1: %2 instead of %3 (all in %4)")
                                        .arg(i + 1)
                                        .arg(actual.at(i), expected.at(i), written)));
            QCOMPARE(actual.size(), expected.size());
        }
    }
};

MAREVANE_TEST_MAIN(PlanResultsTest)
#include "tst_planresults.moc"
