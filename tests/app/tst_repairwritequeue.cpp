#include "divedb/divedb.h"
#include "divefixtures.h"
#include "divelistrows.h"
#include "mainwindow.h"
#include "promptrecorder.h"
#include "testenvironment.h"
#include "writequeue.h"

#include <QDir>
#include <QJsonObject>
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

// Long enough for the write to let the event loop run: the database calls
// its progress hook every 2,048 samples.
Dive longDive()
{
    return testkit::makeDive("Long", "A1", 5000);
}

} // namespace

// What arrives while a dive is being written (timers, queued calls, a close
// of the window) waits until the write has ended, then runs in order.
class RepairWriteQueueTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QDir(testkit::appDataFolder()).removeRecursively();
    }

    void cleanup() { QCOMPARE(MainWindow::instance, nullptr); }

    void workRunsAtOnceOutsideAWrite()
    {
        QObject context;
        WriteQueue queue(&context);
        bool ran = false;
        queue.run([&] { ran = true; });
        QVERIFY(ran);
    }

    void workWaitsForTheOutermostWrite()
    {
        QObject context;
        WriteQueue queue(&context);
        QStringList log;
        {
            const WriteQueue::Writing outer(queue);
            queue.run([&] { log << "first"; });
            {
                const WriteQueue::Writing inner(queue);
                queue.run([&] { log << "second"; });
            }
            QCoreApplication::processEvents();
            QVERIFY(log.isEmpty());
        }
        // The work that wrote finishes before the held-back work starts.
        QVERIFY(log.isEmpty());
        QCoreApplication::processEvents();
        QCOMPARE(log, (QStringList{"first", "second"}));
    }

    // Held-back work that writes holds back what arrives meanwhile behind the
    // work that was already waiting.
    void workArrivingDuringQueuedWorkKeepsItsTurn()
    {
        QObject context;
        WriteQueue queue(&context);
        QStringList log;
        {
            const WriteQueue::Writing writing(queue);
            queue.run([&] {
                log << "a";
                const WriteQueue::Writing again(queue);
                queue.run([&] { log << "c"; });
                // A dialog's event loop inside the work starts nothing else.
                QCoreApplication::processEvents();
                log << "a done";
            });
            queue.run([&] { log << "b"; });
        }
        QCoreApplication::processEvents();
        QCOMPARE(log, (QStringList{"a", "a done", "b", "c"}));
    }

    void storeOpenAndDeleteWaitForALongWrite()
    {
        testkit::PromptRecorder prompts;
        MainWindow window;
        window.storeDive(testkit::makeDive("Reef", "A1", 20));
        QTableWidgetItem* reefRow = itemOf(window, "Reef");
        QVERIFY(reefRow);
        prompts.answer(QMessageBox::Yes); // deleting Reef

        bool arrived = false;
        QMetaObject::invokeMethod(
            &window,
            [&] {
                arrived = true;
                window.storeDive(testkit::makeDive("Wreck", "A1", 20));
                window.openDiveProfileItem(reefRow);
                list(window)->selectRow(reefRow->row());
                window.deleteSelectedDiveProfiles();
            },
            Qt::QueuedConnection);
        window.storeDive(longDive());

        // They arrived in the middle of the write, and nothing of them has
        // reached the database, the list or the shown dive yet.
        QVERIFY(arrived);
        QCOMPARE(rowNames(window), (QStringList{"Reef", "Long"}));
        QCOMPARE(db()->getNbDives(), 2);
        QCOMPARE(window.shownDatabaseId(), -1);
        QVERIFY(prompts.records().isEmpty());

        QCoreApplication::processEvents();
        // Then all of them, in order: Reef was opened before it was deleted.
        QCOMPARE(prompts.records().size(), 1);
        QCOMPARE(prompts.records().first().text, QString("Are you sure to delete this dive?"));
        QCOMPARE(window.currentDive().name, QString("Reef"));
        QCOMPARE(window.shownDatabaseId(), -1);
        QCOMPARE(rowNames(window), (QStringList{"Long", "Wreck"}));
        QCOMPARE(db()->getNbDives(), 2);
        QVERIFY(db()->getDiveByName("Long", "A1") >= 0);
        QVERIFY(db()->getDiveByName("Wreck", "A1") >= 0);
        QCOMPARE(db()->getDiveByName("Reef", "A1"), -1);
    }

    // The update question that a listing brings waits for the dive being
    // written: its modal run would hold the write up.
    void updateOfferWaitsForTheWrite()
    {
        QCoreApplication::setApplicationVersion("1.0.0.0");
        testkit::PromptRecorder prompts;
        prompts.answer(QMessageBox::No);
        MainWindow window;
        const QList<QJsonObject> listing{QJsonObject{{"title", QJsonObject{{"rendered", "MarevaneDmg_9.0.0"}}},
                                                     {"source_url", "https://example.com/MarevaneDmg_9.0.0.zip"}}};
        bool arrived = false;
        QMetaObject::invokeMethod(
            &window,
            [&] {
                arrived = true;
                window.mediaListReady(listing);
            },
            Qt::QueuedConnection);
        window.storeDive(longDive());
        QVERIFY(arrived);
        QVERIFY(prompts.records().isEmpty());

        QCoreApplication::processEvents();
        QCOMPARE(prompts.records().size(), 1);
        QCOMPARE(prompts.records().first().title, QString("Application update"));
    }

    // Closing the window in the middle of a write waits for the dive, then
    // offers the unsaved user information as any close does.
    void closeWaitsForTheWrite()
    {
        testkit::PromptRecorder prompts;
        MainWindow window;
        window.storeDive(testkit::makeDive("Reef", "A1", 20));
        window.openDiveProfileItem(itemOf(window, "Reef"));
        window.findChild<QLineEdit*>("edPlace")->setText("Marseille");
        window.show();
        prompts.answer(QMessageBox::Yes); // save the place

        QMetaObject::invokeMethod(&window, [&] { window.close(); }, Qt::QueuedConnection);
        window.storeDive(longDive());
        QVERIFY(window.isVisible());
        QVERIFY(prompts.records().isEmpty());
        QCOMPARE(rowNames(window), (QStringList{"Reef", "Long"}));

        QCoreApplication::processEvents();
        QVERIFY(!window.isVisible());
        QCOMPARE(prompts.records().size(), 1);
        QCOMPARE(prompts.records().first().title, QString("Unsaved changes"));
        Dive reef;
        QVERIFY(db()->readDive(db()->getDiveByName("Reef", "A1"), reef));
        QCOMPARE(reef.place, QString("Marseille"));
    }
};

MAREVANE_TEST_MAIN(RepairWriteQueueTest)
#include "tst_repairwritequeue.moc"
