#include "divedb/divedb.h"
#include "divefixtures.h"
#include "divelistopen.h"
#include "divelistrows.h"
#include "mainwindow.h"
#include "promptrecorder.h"
#include "rawsqlite.h"
#include "testenvironment.h"

#include <QDir>
#include <QLineEdit>
#include <QTableWidget>

using testkit::itemOf;
using testkit::list;
using testkit::rowNames;

namespace {

DiveDb* db()
{
    return DiveDb::instance();
}

QString logbookPath()
{
    return testkit::appDataFolder() + "/diveDB.db";
}

// The logbook of the data folder, written before the window opens it.
void storeBeforeStart(const QList<Dive>& dives)
{
    QVERIFY(QDir().mkpath(testkit::appDataFolder()));
    QCOMPARE(db()->setDatabase(logbookPath()), int(DiveDb::Success));
    for (const Dive& dive : dives)
        QCOMPARE(db()->storeDive(dive), int(DiveDb::Success));
}

QString cellOf(MainWindow& window, const QString& name, int column)
{
    QTableWidgetItem* item = itemOf(window, name);
    return item ? list(window)->item(item->row(), column)->text() : QString();
}

} // namespace

// The dive list as a person sees it when the logbook is older, locked or
// damaged, and in French.
class LogbookWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QDir(testkit::appDataFolder()).removeRecursively();
        mPrompts.clear();
    }

    // A dive left recording for 5e12 s is listed and opened with its whole
    // hours.
    void hugeDurationIsListedAndOpened()
    {
        storeBeforeStart({testkit::makeDive("Left running", "A1", 3)});
        testkit::RawSqlite raw(logbookPath());
        QVERIFY(raw.exec("UPDATE profiles SET time = 5e12 WHERE pointid = 2; "
                         "UPDATE divefigures SET maxtime = 5e12"));
        MainWindow window;
        QCOMPARE(rowNames(window), QStringList{"Left running"});
        const QString duration = QStringLiteral("1388888888:53:20");
        QCOMPARE(cellOf(window, "Left running", 2), duration);

        testkit::openFromList(window, db()->getDiveByName("Left running", "A1"));
        QCOMPARE(window.findChild<QLineEdit*>("edDuration")->text(), duration);
        QVERIFY(mPrompts.records().isEmpty());
    }

private:
    testkit::PromptRecorder mPrompts;
};

MAREVANE_TEST_MAIN(LogbookWindowTest)
#include "tst_logbookwindow.moc"
