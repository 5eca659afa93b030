// Every reader of outside dive data refuses values no dive can hold: samples
// going back in time, depths, temperatures and pressures beyond any dive,
// header figures likewise and gases that are no mixture. The refusal names
// the sample and the field in words, and leaves the dive as it was.

#include "diveprofiles.h"
#include "jsondives.h"
#include "legacyrecord.h"
#include "testenvironment.h"

#include "divemodel/binaryfile.h"
#include "divemodel/csvfile.h"
#include "divemodel/dive.h"
#include "divemodel/planificator.h"
#include "divemodel/uddffile.h"

#include <QBuffer>
#include <QDataStream>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTranslator>

namespace {

// A dive a refused read must leave as it was.
Dive untouchable()
{
    Dive dive;
    dive.name = QStringLiteral("kept");
    dive.maxDepth = 12.0;
    dive.lines = {testkit::diveLine(0, 0), testkit::diveLine(10, 12)};
    return dive;
}

QByteArray formOf(const Dive& dive)
{
    return QJsonDocument(dive.toJson()).toJson(QJsonDocument::Compact);
}

// Puts the value into one field of the valid dive: a sample's when `sample`
// is 0 or more, else the header's.
Dive damaged(const QString& field, int sample, double value)
{
    Dive dive = testkit::everyFieldDive();
    if (sample >= 0) {
        DiveLine& line = dive.lines[sample];
        if (field == "timeSec")
            line.timeSec = value;
        else if (field == "depth")
            line.depth = value;
        else if (field == "ambientTemp")
            line.ambientTemp = value;
        else if (field == "tankPressure")
            line.tankPressure = quint16(value);
        else
            qFatal("no such sample field");
        return dive;
    }
    if (field == "maxDepth")
        dive.maxDepth = value;
    else if (field == "maxTemperature")
        dive.maxTemperature = value;
    else if (field == "beginTime")
        dive.beginTime = qint64(value);
    else if (field == "oxygen")
        dive.gases[0].fO2 = float(value);
    else
        qFatal("no such header field");
    return dive;
}

// The damaged values both binary layouts carry, with the reason they are
// refused.
void addStreamRows()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("sample");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("reason");
    QTest::newRow("back in time") << "timeSec" << 3 << 5.0 << "Sample 4 goes back in time: 5 s after 20.5 s.";
    QTest::newRow("depth far above the surface")
        << "depth" << 2 << -10000.0 << "Sample 3: the depth -10000 is out of range.";
    QTest::newRow("burning water") << "ambientTemp" << 1 << 999726.0
                                   << "Sample 2: the temperature 999726 is out of range.";
    QTest::newRow("largest float temperature")
        << "ambientTemp" << 1 << 3.4e38 << "Sample 2: the temperature 3.4e+38 is out of range.";
    QTest::newRow("tank pressure") << "tankPressure" << 0 << 65535.0
                                   << "Sample 1: the tank pressure 65535 is out of range.";
    QTest::newRow("header depth") << "maxDepth" << -1 << 1e300
                                  << "The dive's header: the maximum depth 1e+300 is out of range.";
}

// A damaged dive of the row, written in the layout of Format, is refused on
// reading with the row's reason and leaves the dive read into as it was.
template <class Format>
void refusesWhatItWrote()
{
    QFETCH(QString, field);
    QFETCH(int, sample);
    QFETCH(double, value);
    QFETCH(QString, reason);
    Dive written = damaged(field, sample, value);
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    QVERIFY(Format().write(out, written));

    Dive dive = untouchable();
    QDataStream in(bytes);
    Format reader;
    QVERIFY(!reader.read(in, dive));
    QCOMPARE(reader.errorString(), reason);
    QCOMPARE(formOf(dive), formOf(untouchable()));
}

} // namespace

class DiveLimitsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(mDir.isValid()); }

    void divebinRefuses_data() { addStreamRows(); }
    void divebinRefuses() { refusesWhatItWrote<BinaryFile>(); }

    void fieldListRefuses_data()
    {
        addStreamRows();
        QTest::newRow("oxygen beyond the whole")
            << "oxygen" << -1 << 2.0 << "Gas \"Fond\": the oxygen fraction 2 is out of range.";
    }
    void fieldListRefuses() { refusesWhatItWrote<Planificator>(); }

    void uddfRefuses_data()
    {
        QTest::addColumn<QByteArray>("mixes");
        QTest::addColumn<QByteArray>("children");
        QTest::addColumn<QString>("reason");
        const QByteArray mix = "<mix id=\"OC1\"><o2>0.32</o2><he>0</he></mix>";
        QTest::newRow("back in time") << mix << waypoints({at(0, "1"), at(60, "10"), at(30, "10")})
                                      << "Sample 3 goes back in time: 30 s after 60 s.";
        QTest::newRow("depth far above the surface")
            << mix << waypoints({at(0, "1"), at(60, "-10000")}) << "Sample 2: the depth -10000 is out of range.";
        QTest::newRow("burning water")
            << mix << waypoints({at(0, "1"), at(60, "10", "999999")})
            << "Sample 2: the temperature 999725.85 is out of range.";
        QTest::newRow("oxygen 5") << QByteArray("<mix id=\"OC1\"><o2>5</o2><he>0</he></mix>")
                                  << waypoints({at(0, "1"), at(60, "10")})
                                  << "Gas \"OC1\": the oxygen fraction 5 is out of range.";
        QTest::newRow("oxygen and helium beyond the whole")
            << QByteArray("<mix id=\"TX\"><o2>0.5</o2><he>0.6</he></mix>") << waypoints({at(0, "1"), at(60, "10")})
            << "Gas \"TX\": oxygen and helium add up to 1.1, more than the whole.";
        QTest::newRow("begin before 1970")
            << mix
            << "<informationbeforedive><datetime>1960-01-01T00:00:00</datetime></informationbeforedive>"
                   + waypoints({at(0, "1"), at(60, "10")})
            << "The dive's header: the begin time -315619200 is out of range.";
    }
    void uddfRefuses()
    {
        QFETCH(QByteArray, mixes);
        QFETCH(QByteArray, children);
        QFETCH(QString, reason);
        const QString path = testkit::writeTestFile(
            mDir.filePath("damaged.uddf"),
            "<uddf version=\"3.2.3\"><gasdefinitions>" + mixes
                + "</gasdefinitions><profiledata><repetitiongroup><dive id=\"d\">" + children
                + "</dive></repetitiongroup></profiledata></uddf>");
        Dive dive = untouchable();
        UddfFile reader;
        QVERIFY(!reader.read(path, dive));
        QCOMPARE(reader.errorString(), reason);
        QCOMPARE(formOf(dive), formOf(untouchable()));
    }

    void csvRefuses_data()
    {
        QTest::addColumn<QList<DiveLine>>("lines");
        QTest::addColumn<QString>("reason");
        using testkit::diveLine;
        QTest::newRow("back in time") << QList<DiveLine>{diveLine(0, 1), diveLine(60, 10), diveLine(30, 10)}
                                      << "Sample 3 goes back in time: 30 s after 60 s.";
        QTest::newRow("depth far above the surface")
            << QList<DiveLine>{diveLine(0, 1), diveLine(60, -10000)} << "Sample 2: the depth -10000 is out of range.";
        QTest::newRow("burning water") << QList<DiveLine>{diveLine(0, 1), diveLine(60, 10, 999726, 0)}
                                       << "Sample 2: the temperature 999726 is out of range.";
    }
    void csvRefuses()
    {
        QFETCH(QList<DiveLine>, lines);
        QFETCH(QString, reason);
        const QString path = testkit::writeTestFile(mDir.filePath("damaged.csv"), testkit::csvImportText(lines));
        Dive dive = untouchable();
        CsvFile reader;
        QVERIFY(!reader.read(path, dive));
        QCOMPARE(reader.errorString(), reason);
        QCOMPARE(formOf(dive), formOf(untouchable()));
    }

    void legacyHeaderRefuses_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("reason");
        QTest::newRow("maximum depth") << 137 << 1e300
                                       << "The dive's header: the maximum depth 1e+300 is out of range.";
        QTest::newRow("minimum temperature") << 153 << 999726.0
                                             << "The dive's header: the minimum temperature 999726 is out of range.";
        QTest::newRow("ascent time") << 183 << -60.0 << "The dive's header: the ascent time -60 is out of range.";
    }
    void legacyHeaderRefuses()
    {
        QFETCH(int, offset);
        QFETCH(double, value);
        QFETCH(QString, reason);
        testkit::LegacyRecord record;
        record.put<double>(offset, value);
        const DiveHeader before = untouchable();
        DiveHeader header = before;
        QDataStream stream(record.bytes());
        QString why;
        QVERIFY(!header.readFromFile(stream, &why));
        QCOMPARE(why, reason);
        QCOMPARE(header.toJson(), before.toJson());
    }

    // The field is named in the user's language, as the rest of the message.
    void frenchNamesTheField()
    {
        QTranslator french;
        QVERIFY(french.load(QStringLiteral(MAREVANE_TRANSLATIONS "/Marevane_fr.qm")));
        QCoreApplication::installTranslator(&french);
        const QString path = testkit::writeTestFile(
            mDir.filePath("french.uddf"),
            "<uddf><profiledata><repetitiongroup><dive id=\"d\">" + waypoints({at(0, "1"), at(60, "-10000")})
                + "</dive></repetitiongroup></profiledata></uddf>");
        Dive dive;
        UddfFile reader;
        const bool read = reader.read(path, dive);
        QCoreApplication::removeTranslator(&french);
        QVERIFY(!read);
        QCOMPARE(reader.errorString(), QString::fromUtf8("Point 2 : la profondeur -10000 est hors limites."));
    }

private:
    static QByteArray at(int seconds, const char* depth, const char* kelvin = "283.15")
    {
        return "<waypoint><depth>" + QByteArray(depth) + "</depth><divetime>" + QByteArray::number(seconds)
               + "</divetime><temperature>" + kelvin + "</temperature></waypoint>";
    }
    static QByteArray waypoints(const QList<QByteArray>& list) { return "<samples>" + list.join() + "</samples>"; }

    QTemporaryDir mDir;
};

MAREVANE_TEST_MAIN(DiveLimitsTest)
#include "tst_divelimits.moc"
