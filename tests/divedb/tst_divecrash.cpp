#include "divedb/divedb.h"
#include "divefixtures.h"
#include "rawsqlite.h"
#include "testenvironment.h"

#include <QFileInfo>
#include <QProcess>

// A program killed while it stores a dive leaves a database that opens,
// is sound, and holds none of that dive.
class DiveCrashTest : public QObject
{
    Q_OBJECT

private slots:
    void killedWhileStoringLeavesNoPartOfTheDive()
    {
        testkit::DatabaseFolder folder;
        const QString path = folder.path();
        QProcess writer;
        writer.start(QStringLiteral(MAREVANE_CRASH_WRITER), {path});
        QVERIFY2(writer.waitForStarted(), qPrintable(writer.errorString()));
        QByteArray said;
        while (!said.contains("paused") && writer.waitForReadyRead(120000))
            said += writer.readAllStandardOutput();
        QVERIFY2(said.contains("paused"), said.constData());

        // Half the dive is in the file and its journal when the writer dies.
        QVERIFY(QFileInfo::exists(path + "-journal"));
        writer.kill();
        QVERIFY(writer.waitForFinished());
        QCOMPARE(writer.exitStatus(), QProcess::CrashExit);

        DiveDb* db = DiveDb::instance();
        QCOMPARE(db->setDatabase(path), int(DiveDb::Success));
        testkit::RawSqlite raw(path);
        QCOMPARE(raw.value("PRAGMA integrity_check").toString(), QString("ok"));
        QCOMPARE(raw.value("SELECT COUNT(*) FROM dives").toInt(), 1);
        for (const char* table : {"dives", "gases", "profiles", "divefigures"})
            QCOMPARE(
                raw.value(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE diveid = 2").arg(table))
                    .toInt(),
                0);

        // The dive stored before is whole, and storing goes on.
        Dive whole;
        QVERIFY(db->readDive(1, whole));
        QCOMPARE(whole.name, QString("Whole"));
        QCOMPARE(whole.lines.size(), 2000);
        QCOMPARE(db->storeDive(testkit::makeDive("Big", "S1", 100)), int(DiveDb::Success));
        QCOMPARE(db->getDiveByName("Big", "S1"), 2);
    }
};

MAREVANE_TEST_MAIN(DiveCrashTest)
#include "tst_divecrash.moc"
