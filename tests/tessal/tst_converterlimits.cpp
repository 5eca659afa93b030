// The dive computer's converter refuses a dive holding values no dive can
// have, with the same limits and messages as the dive file readers.

#include "computerkit.h"
#include "testenvironment.h"
#include "tessal/pelavixdiveconverter.h"

#include <QApplication>

class ConverterLimitsTest : public QObject
{
    Q_OBJECT

private slots:
    void refusesValuesNoDiveHas_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("reason");
        QTest::newRow("sample time beyond 2^31 s")
            << "time" << 4294967295.0 << "Sample 3: the time 4294967295 is out of range.";
        QTest::newRow("boiling water") << "temperature" << 32767.0
                                       << "Sample 3: the temperature 3276.7 is out of range.";
        QTest::newRow("header depth") << "maxDepth" << 1e300
                                      << "The dive's header: the maximum depth 1e+300 is out of range.";
        QTest::newRow("begin beyond any calendar")
            << "beginTime" << 1e14 << "The dive's header: the begin time 100000000000000 is out of range.";
    }
    void refusesValuesNoDiveHas()
    {
        QFETCH(QString, field);
        QFETCH(double, value);
        QFETCH(QString, reason);
        QuelmSession session;
        SimulatedComputer::StoredDive stored = SimulatedComputer::makeDive(7, 1715509200, 5, 18.0);
        if (field == "time")
            stored.samples[2].time = quint32(value);
        else if (field == "temperature")
            stored.samples[2].temperature = qint16(value);
        else if (field == "maxDepth")
            stored.header.maxDepth = value;
        else
            stored.header.beginTime = qint64(value);

        QString refusal;
        const Dive dive = PelavixDiveConverter::toDive(stored.header, stored.samples, session, &refusal);
        QCOMPARE(refusal, reason);
        QVERIFY(dive.lines.isEmpty());
        QVERIFY(dive.name.isEmpty());
    }

    void acceptsADiveWithinTheLimits()
    {
        QuelmSession session;
        const SimulatedComputer::StoredDive stored = SimulatedComputer::makeDive(7, 1715509200, 5, 18.0);
        QString refusal;
        const Dive dive = PelavixDiveConverter::toDive(stored.header, stored.samples, session, &refusal);
        QVERIFY2(refusal.isEmpty(), qPrintable(refusal));
        QCOMPARE(dive.lines.size(), 5);
    }
};

MAREVANE_TEST_MAIN(ConverterLimitsTest)
#include "tst_converterlimits.moc"
