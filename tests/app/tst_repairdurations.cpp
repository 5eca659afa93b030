#include "common/timetexts.h"
#include "divedb/divedb.h"
#include "divefixtures.h"
#include "diveprofiles.h"
#include "graphics/graphview.h"
#include "mainwindow.h"
#include "promptrecorder.h"
#include "testenvironment.h"

#include <QDir>
#include <QGraphicsScene>
#include <QTableWidget>

namespace {

constexpr qint64 kHour = 3600;
// A recording left running: 55 hours, which a time of day shows as 7.
constexpr qint64 kLongRecording = 55 * kHour;

} // namespace

// Durations of a day or more keep their whole hours wherever they are shown.
class RepairDurationsTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { QDir(testkit::appDataFolder()).removeRecursively(); }

    void secondsTexts_data()
    {
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("a second short of a day") << qint64(86399) << "23:59:59";
        QTest::newRow("a day") << qint64(86400) << "24:00:00";
        QTest::newRow("55 hours") << kLongRecording << "55:00:00";
        QTest::newRow("100 hours and a bit") << qint64(100 * kHour + 61) << "100:01:01";
        QTest::newRow("largest int") << qint64(std::numeric_limits<int>::max()) << "596523:14:07";
        QTest::newRow("negative") << qint64(-5) << "00:00";
    }
    void secondsTexts()
    {
        QFETCH(qint64, seconds);
        QTEST(formatTimeSecondes(seconds), "text");
    }

    void otherTimeTexts()
    {
        QCOMPARE(formatMinutesDecimals(55 * 60.0f), QStringLiteral("55:00:00"));
        QCOMPARE(formatChrono(std::chrono::hours(55), QString(), false), QStringLiteral("55:00:00"));
        QCOMPARE(formatChrono(std::chrono::hours(55) + std::chrono::seconds(5), QString(), true),
                 QStringLiteral("55:00:05"));
        DiveHeader header;
        header.beginTime = 1700000000;
        header.endTime = header.beginTime + kLongRecording;
        QCOMPARE(header.getDurationString(), QStringLiteral("55:00:00"));
    }

    // The profile library formats with its own copy of the helpers.
    void profileTitleAndReadOut()
    {
        Dive dive = testkit::diveOfDepths({0, 10, 10, 0}, double(kLongRecording) / 3);
        dive.name = QStringLiteral("Left running");
        GraphView view;
        view.setDiveProfile(&dive);
        QVERIFY2(view.mProfile->title().contains(QStringLiteral("55:00:00")), qPrintable(view.mProfile->title()));
        QVERIFY(view.getInfosOnPosition(QPointF(), int(kLongRecording - 1)).contains(QStringLiteral("54:59:59")));
    }

    void diveListColumn()
    {
        testkit::PromptRecorder prompts;
        MainWindow window;
        Dive dive = testkit::diveOfDepths({0, 10, 10, 0}, double(kLongRecording) / 3);
        dive.name = QStringLiteral("Left running");
        window.storeDive(dive);
        const auto* list = window.findChild<QTableWidget*>(QStringLiteral("diveList"));
        QCOMPARE(list->rowCount(), 2);
        QCOMPARE(list->item(1, 2)->text(), QStringLiteral("55:00:00"));
        QVERIFY(prompts.records().isEmpty());
    }
};

MAREVANE_TEST_MAIN(RepairDurationsTest)
#include "tst_repairdurations.moc"
