#include "computerkit.h"
#include "devicekit.h"
#include "device/importbluetooth.h"
#include "divedb/divedb.h"
#include "divefixtures.h"
#include "mainwindow.h"
#include "promptrecorder.h"
#include "testenvironment.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>

#include <functional>

namespace {

constexpr qint64 kFirstMorning = 1715504400; // 2024-05-12 09:00 UTC
const QString kSerial = QStringLiteral("SIM-000001");

QListWidget* rows(QDialog& dialog)
{
    return dialog.findChild<QListWidget*>("listDives");
}

QString status(QDialog& dialog)
{
    return dialog.findChild<QLabel*>("lbinfo")->text();
}

int progressMaximum(QDialog& dialog)
{
    return dialog.findChild<QProgressBar*>("progressBar")->maximum();
}

void check(QDialog& dialog, QList<int> checkedRows)
{
    for (const int row : checkedRows)
        rows(dialog)->item(row)->setCheckState(Qt::Checked);
}

void clickImport(QDialog& dialog)
{
    QTest::mouseClick(dialog.findChild<QPushButton*>("btImport"), Qt::LeftButton);
}

void clickOk(QDialog& dialog)
{
    QTest::mouseClick(dialog.findChild<QPushButton*>("pushButton"), Qt::LeftButton);
}

// The person checks the rows, presses "Import", waits for the computer and
// closes with "Ok".
testkit::DialogScript importRows(QList<int> checkedRows)
{
    return testkit::runDialog([checkedRows](QDialog& dialog) {
        check(dialog, checkedRows);
        clickImport(dialog);
        testkit::settle();
        clickOk(dialog);
    });
}

// The dives the computer holds: numbers 1 to `count`, a day apart, 20
// samples each, each deeper than the one before.
void fillComputer(SimulatedComputer& computer, int count)
{
    for (int i = 1; i <= count; ++i)
        computer.script.dives.append(SimulatedComputer::makeDive(quint16(i), kFirstMorning + i * 86400, 20, 10.0 + i));
}

// The names of the computer's stored dives, in the order they were stored.
QStringList storedNames()
{
    QList<DiveInfo> dives;
    int groups = 0;
    DiveDb::instance()->getDives(Filter(), dives, groups, SortField::Date, SortOrder::Ascending);
    QList<std::pair<int, QString>> byId;
    for (const DiveInfo& info : dives) {
        if (info.serial == kSerial)
            byId.append({info.id, info.name});
    }
    std::sort(byId.begin(), byId.end());
    QStringList names;
    for (const auto& entry : byId)
        names << entry.second;
    return names;
}

QString nameOf(const SimulatedComputer& computer, int number)
{
    return ImportBluetooth::rowText(computer.script.dives.at(number - 1).header).section(" - ", 0, 1);
}

} // namespace

// Downloading dives from the computer and storing them.
class DownloadTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QDir(testkit::appDataFolder()).removeRecursively();
        mPrompts.clear();
    }

    void rowText_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<double>("depth");
        QTest::addColumn<QString>("text");
        QTest::newRow("dive 7 at 5 m") << 7 << 5.0 << "007 - 12/05/2024 09:00 -  5.0m - 45:00";
        QTest::newRow("dive 1234") << 1234 << 42.24 << "1234 - 12/05/2024 09:00 - 42.2m - 45:00";
        QTest::newRow("dive 65535") << 65535 << 105.0 << "65535 - 12/05/2024 09:00 - 105.0m - 45:00";
        QTest::newRow("damaged depth") << 3 << qQNaN() << "003 - 12/05/2024 09:00 -  0.0m - 45:00";
    }
    void rowText()
    {
        QFETCH(int, number);
        QFETCH(double, depth);
        QFETCH(QString, text);
        PelavixDiveHeader header;
        header.diveNumber = quint16(number);
        header.beginTime = kFirstMorning;
        header.endTime = kFirstMorning + 45 * 60;
        header.maxDepth = depth;
        QCOMPARE(ImportBluetooth::rowText(header), text);
    }

    void logbookLeavesOutStoredDives()
    {
        SimulatedComputer computer;
        fillComputer(computer, 4);
        MainWindow window;
        QVERIFY(testkit::connectWindow(window, mPrompts));
        for (const quint16 number : {2, 300}) {
            Dive stored = testkit::makeDive(QStringLiteral("stored %1").arg(number), kSerial, 10);
            stored.diveNumber = number;
            QCOMPARE(DiveDb::instance()->storeDive(stored), int(DiveDb::Success));
        }
        Dive other = testkit::makeDive("other computer", "OTHER", 10);
        other.diveNumber = 3;
        QCOMPARE(DiveDb::instance()->storeDive(other), int(DiveDb::Success));

        QStringList listed;
        QList<Dive> dives;
        ImportBluetooth dialog;
        dialog.session = window.findChild<QuelmSession*>();
        mPrompts.answerDialog(testkit::runDialog([&listed](QDialog& shown) {
            for (int i = 0; i < rows(shown)->count(); ++i)
                listed << rows(shown)->item(i)->text().left(3);
            QCOMPARE(progressMaximum(shown), 1);
            QCOMPARE(status(shown), QStringLiteral("Select dives to import"));
            QCOMPARE(shown.findChild<QLabel*>("lbSerialNum")->text(), "Pelavix n°: " + kSerial);
            QCOMPARE(shown.findChild<QLabel*>("lbName")->text(), QStringLiteral("Owner: Simulated diver"));
        }));
        QVERIFY(!dialog.execute(&dives));
        QCOMPARE(computer.requests().logbooks, (QList<QList<quint16>>{{2, 300}}));
        QCOMPARE(listed, (QStringList{"001", "003", "004"}));
        QVERIFY(dives.isEmpty());
    }

    void checkedDivesAreStoredInOrder()
    {
        SimulatedComputer computer;
        fillComputer(computer, 3);
        MainWindow window;
        mPrompts.answerDialog(testkit::runDialog());
        mPrompts.answerDialog(testkit::runDialog([](QDialog& dialog) {
            check(dialog, {0, 2});
            clickImport(dialog);
            testkit::settle();
            QCOMPARE(status(dialog), QStringLiteral("Dive imported"));
            QCOMPARE(progressMaximum(dialog), 1);
            clickOk(dialog);
        }));
        QVERIFY(testkit::chooseComputerMenu(window, "Download dives"));

        QCOMPARE(computer.requests().diveSamples, (QList<quint16>{1, 3}));
        QCOMPARE(storedNames(), (QStringList{nameOf(computer, 1), nameOf(computer, 3)}));
        Dive third;
        QVERIFY(DiveDb::instance()->readDive(DiveDb::instance()->getDiveByName(nameOf(computer, 3), kSerial), third));
        QCOMPARE(third.maxDepth, 13.0);
        QCOMPARE(third.diveNumber, quint16(3));
        QCOMPARE(third.computerName, QStringLiteral("Simulated diver"));
        QCOMPARE(third.firmwareVersion, QStringLiteral("2.0.11"));
        // Nothing that only the shown dive concerns changes.
        QVERIFY(mPrompts.records().size() == 2);
    }

    void convertedDivesHaveTheirFigures()
    {
        SimulatedComputer computer;
        fillComputer(computer, 2);
        MainWindow window;
        QVERIFY(testkit::connectWindow(window, mPrompts));
        ImportBluetooth dialog;
        dialog.session = window.findChild<QuelmSession*>();
        QList<Dive> dives;
        mPrompts.answerDialog(testkit::runDialog([](QDialog& shown) {
            check(shown, {0, 1});
            clickImport(shown);
        }));
        QVERIFY(dialog.execute(&dives));
        QCOMPARE(dives.size(), 2);
        const Dive& second = dives.at(1);
        QCOMPARE(second.diveNumber, quint16(2));
        QCOMPARE(second.maxDepth, 12.0);
        QCOMPARE(second.maxTime, 95.0);
        QCOMPARE(second.computerSerial, kSerial);
        // Speeds from the samples: descending first, ascending at the end.
        QVERIFY(second.lines.at(1).speed > 0.0);
        QVERIFY(second.lines.last().speed < 0.0);
    }

    void missingDiveStopsTheDownload()
    {
        SimulatedComputer computer;
        fillComputer(computer, 3);
        computer.loseDive(2);
        MainWindow window;
        mPrompts.answerDialog(testkit::runDialog());
        mPrompts.answerDialog(testkit::runDialog([](QDialog& dialog) {
            check(dialog, {0, 1, 2});
            clickImport(dialog);
            testkit::settle();
            QCOMPARE(status(dialog), QStringLiteral("Dive not found"));
            QCOMPARE(progressMaximum(dialog), 0);
            clickOk(dialog);
        }));
        QVERIFY(testkit::chooseComputerMenu(window, "Download dives"));
        QCOMPARE(computer.requests().diveSamples, (QList<quint16>{1, 2}));
        QCOMPARE(storedNames(), QStringList{nameOf(computer, 1)});
    }

    void importPressedTwiceAsksEachDiveOnce()
    {
        SimulatedComputer computer;
        fillComputer(computer, 3);
        MainWindow window;
        QVERIFY(testkit::connectWindow(window, mPrompts));
        ImportBluetooth dialog;
        dialog.session = window.findChild<QuelmSession*>();
        QList<Dive> dives;
        mPrompts.answerDialog(testkit::runDialog([](QDialog& shown) {
            check(shown, {0, 1, 2});
            clickImport(shown);
            clickImport(shown);
            testkit::settle();
            // Once all are in, a new press asks for none of them again.
            clickImport(shown);
        }));
        QVERIFY(dialog.execute(&dives));
        QCOMPARE(computer.requests().diveSamples, (QList<quint16>{1, 2, 3}));
        QCOMPARE(dives.size(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(dives.at(i).diveNumber, quint16(i + 1));
            QCOMPARE(dives.at(i).lines.size(), computer.script.dives.at(i).samples.size());
        }
    }

    void closingKeepsWhatWasDownloaded()
    {
        SimulatedComputer computer;
        fillComputer(computer, 5);
        MainWindow window;
        mPrompts.answerDialog(testkit::runDialog());
        mPrompts.answerDialog(testkit::runDialog([&computer](QDialog& dialog) {
            check(dialog, {0, 1});
            clickImport(dialog);
            testkit::settle();
            // The third never comes: the person closes the dialog.
            computer.stallNext(PelavixCommand::DiveSamples);
            check(dialog, {2, 3, 4});
            clickImport(dialog);
            testkit::settle();
            QCOMPARE(status(dialog), QStringLiteral("Get dive 3"));
            clickOk(dialog);
        }));
        QVERIFY(testkit::chooseComputerMenu(window, "Download dives"));
        QCOMPARE(computer.requests().diveSamples, (QList<quint16>{1, 2, 3}));
        QCOMPARE(storedNames(), (QStringList{nameOf(computer, 1), nameOf(computer, 2)}));
    }

    void listIsRebuiltOncePerDownload()
    {
        SimulatedComputer computer;
        fillComputer(computer, 3);
        MainWindow window;
        int rebuilds = 0;
        connect(window.findChild<QTableWidget*>("diveList")->model(), &QAbstractItemModel::rowsInserted, this,
                [&rebuilds] { ++rebuilds; });
        mPrompts.answerDialog(testkit::runDialog());
        mPrompts.answerDialog(importRows({0, 1, 2}));
        QVERIFY(testkit::chooseComputerMenu(window, "Download dives"));
        QCOMPARE(storedNames().size(), 3);
        QCOMPARE(rebuilds, 1);
        QCOMPARE(window.findChild<QTableWidget*>("diveList")->rowCount(), 4);
    }

    void failedStoreIsReportedAndTheRestStored()
    {
        SimulatedComputer computer;
        fillComputer(computer, 3);
        MainWindow window;
        // A dive from a file with the second one's name (dive number 0, so
        // the computer still lists it).
        Dive clash = testkit::makeDive(nameOf(computer, 2), kSerial, 10);
        QCOMPARE(DiveDb::instance()->storeDive(clash), int(DiveDb::Success));
        auto* storeButton = window.findChild<QPushButton*>("btStoreDive");
        storeButton->setEnabled(true);
        mPrompts.answerDialog(testkit::runDialog());
        mPrompts.answerDialog(importRows({0, 1, 2}));
        QVERIFY(testkit::chooseComputerMenu(window, "Download dives"));
        QCOMPARE(mPrompts.records().size(), 3);
        QCOMPARE(mPrompts.records().at(2).kind, QStringLiteral("critical"));
        QCOMPARE(mPrompts.records().at(2).title, QStringLiteral("Write Database Error"));
        QCOMPARE(mPrompts.records().at(2).text,
                 "Impossible to write profile " + nameOf(computer, 2) + "\nDive Id already exists");
        QCOMPARE(storedNames(), (QStringList{nameOf(computer, 2), nameOf(computer, 1), nameOf(computer, 3)}));
        // "Store dive" belongs to the shown dive.
        QVERIFY(storeButton->isEnabled());
    }

    void damagedDiveIsNotImported_data()
    {
        QTest::addColumn<QList<int>>("damaged");
        QTest::addColumn<int>("keptSamples");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("stored");
        QTest::newRow("cut short") << QList<int>{2} << 12 << "Dive 2 is damaged: it was not imported"
                                   << QList<int>{1, 3, 4};
        QTest::newRow("no samples") << QList<int>{2} << 0 << "Dive 2 is damaged: it was not imported"
                                    << QList<int>{1, 3, 4};
        QTest::newRow("first and last") << QList<int>{1, 4} << 12
                                        << "Dives 1, 4 are damaged: they were not imported" << QList<int>{2, 3};
    }
    void damagedDiveIsNotImported()
    {
        QFETCH(QList<int>, damaged);
        QFETCH(int, keptSamples);
        QFETCH(QString, text);
        QFETCH(QList<int>, stored);
        SimulatedComputer computer;
        fillComputer(computer, 4);
        for (const int number : damaged)
            computer.script.dives[number - 1].samples.resize(keptSamples);
        MainWindow window;
        int rebuilds = 0;
        connect(window.findChild<QTableWidget*>("diveList")->model(), &QAbstractItemModel::rowsInserted, this,
                [&rebuilds] { ++rebuilds; });
        mPrompts.answerDialog(testkit::runDialog());
        mPrompts.answerDialog(testkit::runDialog([text](QDialog& dialog) {
            check(dialog, {0, 1, 2, 3});
            clickImport(dialog);
            testkit::settle();
            QCOMPARE(status(dialog), text);
            QCOMPARE(progressMaximum(dialog), 1);
            clickOk(dialog);
        }));
        QVERIFY(testkit::chooseComputerMenu(window, "Download dives"));
        QCOMPARE(computer.requests().diveSamples, (QList<quint16>{1, 2, 3, 4}));
        QStringList names;
        for (const int number : stored)
            names << nameOf(computer, number);
        QCOMPARE(storedNames(), names);
        QCOMPARE(rebuilds, 1);
    }

    // A dive holding values no dive can have (a sample at 4.29e9 s) is left
    // out with the reason in words; the others are stored.
    void diveBeyondTheLimitsIsNotImported()
    {
        SimulatedComputer computer;
        fillComputer(computer, 3);
        computer.script.dives[1].samples[4].time = 4294967295u;
        MainWindow window;
        mPrompts.answerDialog(testkit::runDialog());
        mPrompts.answerDialog(testkit::runDialog([](QDialog& dialog) {
            check(dialog, {0, 1, 2});
            clickImport(dialog);
            testkit::settle();
            QCOMPARE(status(dialog), QStringLiteral("Dive 2 is damaged: it was not imported\n"
                                                    "Dive 2: Sample 5: the time 4294967295 is out of range."));
            clickOk(dialog);
        }));
        QVERIFY(testkit::chooseComputerMenu(window, "Download dives"));
        QCOMPARE(storedNames(), (QStringList{nameOf(computer, 1), nameOf(computer, 3)}));
    }

    void failedExchangeLetsImportAgain()
    {
        SimulatedComputer computer;
        fillComputer(computer, 2);
        computer.failNext(PelavixCommand::DiveSamples, QuelmLink::AnswerTimeout);
        MainWindow window;
        mPrompts.answerDialog(testkit::runDialog());
        mPrompts.answerDialog(testkit::runDialog([](QDialog& dialog) {
            check(dialog, {0, 1});
            clickImport(dialog);
            testkit::settle();
            QCOMPARE(status(dialog), QStringLiteral("Exchange Error: The dive computer did not answer in time"));
            QCOMPARE(progressMaximum(dialog), 1);
            clickImport(dialog);
            testkit::settle();
            clickOk(dialog);
        }));
        QVERIFY(testkit::chooseComputerMenu(window, "Download dives"));
        QCOMPARE(computer.requests().diveSamples, (QList<quint16>{1, 1, 2}));
        QCOMPARE(storedNames().size(), 2);
    }

    void emptyLogbook()
    {
        SimulatedComputer computer;
        MainWindow window;
        mPrompts.answerDialog(testkit::runDialog());
        mPrompts.answerDialog(testkit::runDialog([](QDialog& dialog) {
            QCOMPARE(rows(dialog)->count(), 0);
            QCOMPARE(progressMaximum(dialog), 1);
            // Nothing checked: nothing asked, the bar stays busy.
            clickImport(dialog);
            testkit::settle();
            QCOMPARE(progressMaximum(dialog), 0);
        }));
        QVERIFY(testkit::chooseComputerMenu(window, "Download dives"));
        QVERIFY(computer.requests().diveSamples.isEmpty());
    }

    void computerNamesFollowTheComputer()
    {
        SimulatedComputer computer;
        computer.script.ownerName = "Nouveau nom";
        MainWindow window;
        Dive older = testkit::makeDive("older", kSerial, 10);
        older.computerName = "Ancien nom";
        QCOMPARE(DiveDb::instance()->storeDive(older), int(DiveDb::Success));
        window.updateDiveList();
        mPrompts.answerDialog(testkit::runDialog());
        mPrompts.answerDialog(testkit::runDialog());
        QVERIFY(testkit::chooseComputerMenu(window, "Download dives"));
        Dive stored;
        QVERIFY(DiveDb::instance()->readDive(DiveDb::instance()->getDiveByName("older", kSerial), stored));
        QCOMPARE(stored.computerName, QStringLiteral("Nouveau nom"));
        // The list shows the new name at once.
        const QTableWidget* list = window.findChild<QTableWidget*>("diveList");
        QVERIFY(list->item(0, 0)->text().contains("Nouveau nom"));
    }

private:
    testkit::PromptRecorder mPrompts;
};

MAREVANE_TEST_MAIN(DownloadTest)
#include "tst_download.moc"
