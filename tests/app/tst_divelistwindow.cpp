#include "appsettings.h"
#include "divedb/divedb.h"
#include "divefixtures.h"
#include "divelistopen.h"
#include "divelistrows.h"
#include "diveprofiles.h"
#include "mainwindow.h"
#include "menuclick.h"
#include "promptrecorder.h"
#include "rawsqlite.h"
#include "testenvironment.h"
#include "widgetgrab.h"

#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QMenu>
#include <QPointer>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>

using testkit::boldDives;
using testkit::itemOf;
using testkit::list;
using testkit::rowNames;

namespace {

constexpr qint64 kDay = 86400;
// 14/11/2023 22:13:20 UTC.
constexpr qint64 kFirstDive = 1700000000;

DiveDb* db()
{
    return DiveDb::instance();
}

Dive storedDive(const QString& name, const QString& serial = QStringLiteral("A1"))
{
    Dive dive;
    db()->readDive(db()->getDiveByName(name, serial), dive);
    return dive;
}

// Types the text into the one line edit of the program's dialog and accepts.
testkit::DialogScript typing(const QString& text)
{
    return [text](QDialog& dialog) {
        dialog.findChild<QLineEdit*>()->setText(text);
        return int(QDialog::Accepted);
    };
}

QStringList actionTexts(const QMenu& menu)
{
    QStringList texts;
    for (const QAction* action : menu.actions())
        texts.append(action->text());
    return texts;
}

// Right-clicks the row of `item` and returns the menu popped up.
QMenu* popUpRowMenu(QTableWidget& dives, QTableWidgetItem* item)
{
    testkit::requestContextMenu(*dives.viewport(), dives.visualItemRect(item).center());
    return testkit::shownMenu();
}

// Chooses `path` in the menu of the row of `item` with the mouse, and lets
// the event loop run the chosen action.
void chooseInRowMenu(QTableWidget& dives, QTableWidgetItem* item, const QString& path)
{
    QVERIFY(popUpRowMenu(dives, item));
    QVERIFY(testkit::clickMenuAction(path));
    QCoreApplication::processEvents();
}

} // namespace

// The dive list of the main window: filling, sorting, opening, the context
// menu's actions, storing dives and the user information of the shown dive.
class DiveListWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(mFiles.isValid());
        mDiveFile = testkit::writeTestFile(mFiles.filePath("evening.csv"),
                                           testkit::csvImportText(testkit::diveLines({{0, 0}, {60, 12}, {120, 0}})));
    }

    void init()
    {
        QDir(testkit::appDataFolder()).removeRecursively();
        mPrompts.clear();
    }

    void cleanup() { QCOMPARE(MainWindow::instance, nullptr); }

    void emptyDatabase()
    {
        MainWindow window;
        QCOMPARE(list(window)->rowCount(), 0);
        QCOMPARE(label(window), QString("0 Computer / 0 Dives"));
        QStringList header;
        for (int column = 0; column < list(window)->columnCount(); ++column)
            header.append(list(window)->horizontalHeaderItem(column)->text());
        QCOMPARE(header, (QStringList{"Dive Id", "Date/Time", "Duration", "Depth"}));
    }

    void divesGroupedByComputer()
    {
        MainWindow window;
        storeTwoComputers();
        window.updateDiveList();
        QTableWidget* dives = list(window);
        QCOMPARE(dives->rowCount(), 7);
        QCOMPARE(label(window), QString("2 Computers / 5 Dives"));
        QCOMPARE(dives->item(0, 0)->text(), QString("Computer of A1 - A1 - 3 dives"));
        QCOMPARE(dives->item(4, 0)->text(), QString("Computer of B2 - B2 - 2 dives"));
        // The first dive: 31 samples 2 s apart down to 30 m.
        QStringList first;
        for (int column = 0; column < 4; ++column)
            first.append(dives->item(1, column)->text());
        QCOMPARE(first, (QStringList{"A", "14/11/2023 22:13:20", "01:00", "30.0m"}));
        QCOMPARE(rowNames(window), (QStringList{"A", "B", "C", "D", "E"}));
    }

    void sorting_data()
    {
        // a: first day, 18 s, 20 m; b: second day, 58 s, 30 m; c: third day,
        // 38 s, 10 m. At start the list is by date, ascending.
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<int>("indicator");
        QTest::addColumn<int>("indicatorOrder");
        QTest::newRow("duration once") << QList<int>{2} << QStringList{"b", "c", "a"} << 2 << 0;
        QTest::newRow("duration twice") << QList<int>{2, 2} << QStringList{"a", "c", "b"} << 2 << 1;
        QTest::newRow("depth once") << QList<int>{3} << QStringList{"b", "a", "c"} << 3 << 0;
        QTest::newRow("depth twice") << QList<int>{3, 3} << QStringList{"c", "a", "b"} << 3 << 1;
        QTest::newRow("date once") << QList<int>{1} << QStringList{"c", "b", "a"} << 1 << 0;
        QTest::newRow("date keeps its own direction")
            << QList<int>{1, 2, 1} << QStringList{"a", "b", "c"} << 1 << 1;
        QTest::newRow("first column only clears the indicator")
            << QList<int>{2, 0} << QStringList{"b", "c", "a"} << -1 << 0;
    }
    void sorting()
    {
        QFETCH(QList<int>, clicks);
        QFETCH(QStringList, order);
        QFETCH(int, indicator);
        QFETCH(int, indicatorOrder);
        MainWindow window;
        store(testkit::makeDive("a", "A1", 10, 20.0, kFirstDive));
        store(testkit::makeDive("b", "A1", 30, 30.0, kFirstDive + kDay));
        store(testkit::makeDive("c", "A1", 20, 10.0, kFirstDive + 2 * kDay));
        window.updateDiveList();
        QCOMPARE(rowNames(window), (QStringList{"a", "b", "c"}));

        QHeaderView* header = list(window)->horizontalHeader();
        for (const int section : clicks)
            emit header->sectionClicked(section);
        QCOMPARE(rowNames(window), order);
        QCOMPARE(header->sortIndicatorSection(), indicator);
        QCOMPARE(int(header->sortIndicatorOrder()), indicatorOrder);
    }

    void unsavedUserInformationIsOfferedFirst_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("save");
        for (const char* action : {"open another dive", "load a file", "close the window"}) {
            QTest::addRow("%s, yes", action) << action << true;
            QTest::addRow("%s, no", action) << action << false;
        }
    }
    void unsavedUserInformationIsOfferedFirst()
    {
        QFETCH(QString, action);
        QFETCH(bool, save);
        MainWindow window;
        Dive a = testkit::makeDive("A", "A1", 20);
        a.place = "Reef";
        Dive b = testkit::makeDive("B", "A1", 20, 30.0, kFirstDive + kDay);
        b.place = "Lagoon";
        store(a);
        store(b);
        window.updateDiveList();
        open(window, "A");
        QVERIFY(window.findChild<QTabWidget*>("tabProfile")->isTabEnabled(1));
        QCOMPARE(lineEdit(window, "edPlace")->text(), QString("Reef"));
        QVERIFY(!saveButton(window)->isEnabled());
        lineEdit(window, "edPlace")->setText("Arch");
        QVERIFY(saveButton(window)->isEnabled());

        mPrompts.answer(save ? QMessageBox::Yes : QMessageBox::No);
        if (action == "open another dive")
            open(window, "B");
        else if (action == "load a file")
            QVERIFY(window.loadDiveProfile(mDiveFile));
        else
            window.close();

        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(mPrompts.records().first().kind, QString("question"));
        QCOMPARE(mPrompts.records().first().title, QString("Unsaved changes"));
        QCOMPARE(mPrompts.records().first().text, QString("You have unsaved changes. Do you want to save them?"));
        QCOMPARE(storedDive("A").place, QString(save ? "Arch" : "Reef"));
        QCOMPARE(storedDive("B").place, QString("Lagoon"));
        QVERIFY(!saveButton(window)->isEnabled());
        if (action == "open another dive") {
            QCOMPARE(window.currentDive().name, QString("B"));
            QCOMPARE(lineEdit(window, "edPlace")->text(), QString("Lagoon"));
        }
    }

    // The database's reason follows on a line of its own.
    void failedReadChangesNothing_data()
    {
        QTest::addColumn<QString>("breakage");
        QTest::addColumn<QString>("reason");
        QTest::newRow("dive gone") << "DELETE FROM dives WHERE name = 'B'" << "Dive 2 is not in the database";
        QTest::newRow("depth not a finite number")
            << "UPDATE profiles SET depth = 1e999 WHERE diveid = 2 AND pointid = 4"
            << "Sample 5 of dive 2 holds a value that is not a finite number";
    }

    void failedReadChangesNothing()
    {
        QFETCH(QString, breakage);
        QFETCH(QString, reason);
        MainWindow window;
        store(testkit::makeDive("A", "A1", 20));
        store(testkit::makeDive("B", "A1", 20, 30.0, kFirstDive + kDay));
        window.updateDiveList();
        open(window, "A");
        const int a = window.shownDatabaseId();
        {
            // Behind the list's back.
            testkit::RawSqlite raw(testkit::appDataFolder() + "/diveDB.db");
            QVERIFY(raw.exec(breakage));
        }
        open(window, "B");

        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(mPrompts.records().first().kind, QString("critical"));
        QCOMPARE(mPrompts.records().first().title, QString("Database Error"));
        QCOMPARE(mPrompts.records().first().text, "Impossible to read profile\n" + reason);
        QCOMPARE(window.shownDatabaseId(), a);
        QCOMPARE(window.currentDive().name, QString("A"));
        QCOMPARE(boldDives(window), QStringList{"A"});
    }

    void groupRowOffersNoDiveAction()
    {
        MainWindow window;
        store(testkit::makeDive("A", "A1", 20));
        window.updateDiveList();
        open(window, "A");
        const int a = window.shownDatabaseId();
        QTableWidgetItem* group = list(window)->item(0, 0);

        QMenu* groupMenu = popUpRowMenu(*list(window), group);
        QVERIFY(groupMenu);
        QCOMPARE(actionTexts(*groupMenu), QStringList{"csv separator"});
        testkit::closeShownMenus();
        QMenu* diveMenu = popUpRowMenu(*list(window), list(window)->item(1, 2));
        QVERIFY(diveMenu);
        QCOMPARE(actionTexts(*diveMenu), (QStringList{"Open", "Delete", "", "Rename", "Export", "csv separator"}));
        testkit::closeShownMenus();

        testkit::doubleClickCell(*group);
        QCOMPARE(window.shownDatabaseId(), a);
        QCOMPARE(window.currentDive().name, QString("A"));
        window.updateDiveList();
        QCOMPARE(boldDives(window), QStringList{"A"});
        QVERIFY(mPrompts.records().isEmpty());
    }

    void menuActionFindsItsDiveAfterARebuild()
    {
        MainWindow window;
        store(testkit::makeDive("A", "A1", 20));
        store(testkit::makeDive("B", "A1", 20, 30.0, kFirstDive + kDay));
        window.updateDiveList();
        QVERIFY(popUpRowMenu(*list(window), itemOf(window, "B")));
        window.updateDiveList();
        QVERIFY(testkit::clickMenuAction("Open"));
        QCoreApplication::processEvents();
        QCOMPARE(window.currentDive().name, QString("B"));
        QCOMPARE(window.shownDatabaseId(), db()->getDiveByName("B", "A1"));
    }

    void contextMenuIsShownWithoutWaiting()
    {
        MainWindow window;
        store(testkit::makeDive("A", "A1", 20));
        window.updateDiveList();
        QTableWidget* dives = list(window);
        const auto menus = [&window] { return window.findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly); };
        const qsizetype before = menus().size();
        emit dives->customContextMenuRequested(dives->visualItemRect(dives->item(1, 0)).center());
        QCOMPARE(menus().size(), before + 1);
        QPointer<QMenu> menu = menus().last();
        QVERIFY(menu->isVisible());
        QCOMPARE(actionTexts(*menu).first(), QString("Open"));
        menu->hide();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!menu);
        // Nothing under the mouse: no menu.
        const QRect last = dives->visualItemRect(dives->item(1, 0));
        emit dives->customContextMenuRequested(QPoint(last.left() + 2, last.bottom() + 10));
        QCOMPARE(menus().size(), before);
    }

    void deletingTheShownDiveForgetsItsId()
    {
        MainWindow window;
        store(testkit::makeDive("B", "A1", 20, 30.0, kFirstDive + kDay));
        store(testkit::makeDive("A", "A1", 20));
        window.updateDiveList();
        open(window, "A");
        const int a = window.shownDatabaseId();
        selectRows(window, {rowOf(window, "A")});
        mPrompts.answer(QMessageBox::Yes);
        window.deleteSelectedDiveProfiles();
        QCOMPARE(window.shownDatabaseId(), -1);

        // The next dive stored takes the deleted dive's id.
        store(testkit::makeDive("C", "A1", 20, 30.0, kFirstDive + 2 * kDay));
        QCOMPARE(db()->getDiveByName("C", "A1"), a);
        lineEdit(window, "edPlace")->setText("Arch");
        saveButton(window)->click();
        QVERIFY(storedDive("C").place.isEmpty());
        QCOMPARE(window.currentDive().place, QString("Arch"));
    }

    void deleteAsksFirst_data()
    {
        // One computer: its group row, then A, B and C.
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("one dive") << QList<int>{1} << true << "Are you sure to delete this dive?"
                                  << QStringList{"B", "C"};
        QTest::newRow("two dives") << QList<int>{1, 3} << true << "Are you sure to delete these dives?"
                                   << QStringList{"B"};
        QTest::newRow("group row and a dive") << QList<int>{0, 2} << true << "Are you sure to delete this dive?"
                                              << QStringList{"A", "C"};
        QTest::newRow("answered no") << QList<int>{1, 2} << false << "Are you sure to delete these dives?"
                                     << QStringList{"A", "B", "C"};
        QTest::newRow("group row only") << QList<int>{0} << true << "" << QStringList{"A", "B", "C"};
    }
    void deleteAsksFirst()
    {
        QFETCH(QList<int>, rows);
        QFETCH(bool, yes);
        QFETCH(QString, question);
        QFETCH(QStringList, left);
        MainWindow window;
        storeThreeDives();
        window.updateDiveList();
        selectRows(window, rows);
        mPrompts.answer(yes ? QMessageBox::Yes : QMessageBox::No);
        window.deleteSelectedDiveProfiles();

        if (question.isEmpty()) {
            QVERIFY(mPrompts.records().isEmpty());
        } else {
            QCOMPARE(mPrompts.records().size(), 1);
            QCOMPARE(mPrompts.records().first().kind, QString("question"));
            QCOMPARE(mPrompts.records().first().title, QString("Delete dive"));
            QCOMPARE(mPrompts.records().first().text, question);
        }
        QCOMPARE(rowNames(window), left);
        QCOMPARE(db()->getNbDives(), left.size());
    }

    void failedDeletionsAreReported_data()
    {
        // B cannot be deleted.
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("some fail") << QList<int>{1, 2} << "1 of the 2 selected dives could not be deleted"
                                   << QStringList{"B", "C"};
        QTest::newRow("all fail") << QList<int>{2} << "Impossible to delete profile(" << QStringList{"A", "B", "C"};
    }
    void failedDeletionsAreReported()
    {
        QFETCH(QList<int>, rows);
        QFETCH(QString, message);
        QFETCH(QStringList, left);
        MainWindow window;
        storeThreeDives();
        window.updateDiveList();
        {
            testkit::RawSqlite raw(testkit::appDataFolder() + "/diveDB.db");
            QVERIFY(raw.exec("CREATE TRIGGER keepB BEFORE DELETE ON dives WHEN old.name = 'B' "
                             "BEGIN SELECT RAISE(ABORT, 'kept'); END"));
        }
        selectRows(window, rows);
        mPrompts.answer(QMessageBox::Yes);
        window.deleteSelectedDiveProfiles();

        QCOMPARE(mPrompts.records().size(), 2);
        QCOMPARE(mPrompts.records().at(1).kind, QString("critical"));
        QCOMPARE(mPrompts.records().at(1).title, QString("Database Error"));
        QCOMPARE(mPrompts.records().at(1).text, message);
        QCOMPARE(rowNames(window), left);
        QCOMPARE(db()->getNbDives(), left.size());
    }

    void renameRules_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("error");
        QTest::newRow("same name") << "A" << "Invalid name";
        QTest::newRow("empty") << "" << "Invalid name";
        QTest::newRow("blank") << "   " << "Invalid name";
        QTest::newRow("name of another dive") << "B" << "Name already exists";
        QTest::newRow("new name") << "Arch" << "";
    }
    void renameRules()
    {
        QFETCH(QString, typed);
        QFETCH(QString, error);
        MainWindow window;
        storeThreeDives();
        window.updateDiveList();
        open(window, "A");
        const int a = window.shownDatabaseId();
        mPrompts.answerDialog(typing(typed));
        window.renameDiveProfileItem(list(window)->item(rowOf(window, "A"), 3));

        QCOMPARE(mPrompts.records().first().kind, QString("dialog"));
        QCOMPARE(mPrompts.records().first().title, QString("Rename"));
        const QString name = error.isEmpty() ? typed : QString("A");
        if (error.isEmpty()) {
            QCOMPARE(mPrompts.records().size(), 1);
        } else {
            QCOMPARE(mPrompts.records().size(), 2);
            QCOMPARE(mPrompts.records().at(1).kind, QString("critical"));
            QCOMPARE(mPrompts.records().at(1).title, QString("Error"));
            QCOMPARE(mPrompts.records().at(1).text, error);
        }
        QCOMPARE(list(window)->item(1, 0)->text(), name);
        QCOMPARE(db()->getDiveByName(name, "A1"), a);
        QCOMPARE(window.currentDive().name, name);
        QCOMPARE(db()->getNbDives(), 3);
    }

    void exportWithEachSeparator_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QString>("separator");
        QTest::newRow("dot") << int(CsvSeparator::Semicolon) << "Dot ." << ".";
        QTest::newRow("comma") << int(CsvSeparator::Dot) << "Comma ," << ",";
        QTest::newRow("semicolon") << int(CsvSeparator::Comma) << "Semicolon ;" << ";";
    }
    void exportWithEachSeparator()
    {
        QFETCH(int, before);
        QFETCH(QString, choice);
        QFETCH(QString, separator);
        QVERIFY(QDir(mFiles.path()).mkpath(QTest::currentDataTag()));
        const QString path = mFiles.filePath(QString(QTest::currentDataTag()) + "/a.csv");
        MainWindow window;
        window.setCsvSeparator(CsvSeparator(before));
        storeThreeDives();
        window.updateDiveList();
        chooseInRowMenu(*list(window), itemOf(window, "A"), "csv separator/" + choice);
        mPrompts.answer(path);
        chooseInRowMenu(*list(window), itemOf(window, "A"), "Export");

        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(mPrompts.records().first().kind, QString("saveFile"));
        QCOMPARE(mPrompts.records().first().title, QString("Export Profile"));
        QCOMPARE(mPrompts.records().first().filter,
                 QString("Dive file (*.uddf *.csv);;UDDF file (*.uddf);;Csv file (*.csv)"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString titles = QString::fromUtf8(file.readLine());
        QVERIFY(titles.startsWith(QString::fromUtf8("Nom de l'ordinateur") + separator + QString::fromUtf8("N° de")));

        // The choice is kept and ticked, and the next export starts in the
        // same folder.
        QVERIFY(popUpRowMenu(*list(window), itemOf(window, "A")));
        QVERIFY(testkit::clickMenuAction("csv separator"));
        for (const QAction* action : testkit::shownMenu()->actions())
            QCOMPARE(action->isChecked(), action->text() == choice);
        testkit::closeShownMenus();
        QCOMPARE(csvSeparatorCharacter(AppSettings(testkit::appDataFolder()).csvSeparator()), separator.at(0).toLatin1());
        window.exportDiveProfileItem(itemOf(window, "B"));
        QCOMPARE(mPrompts.records().last().folder, QFileInfo(path).absolutePath());
    }

    void exportFailuresAreReported_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("diveGone");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("folderKept");
        QTest::newRow("no writer") << "a.txt" << false << "Error" << "Invalid File Name" << false;
        QTest::newRow("no binary writer") << "a.divebin" << false << "Error" << "Invalid File Name" << false;
        QTest::newRow("writer refuses") << "missing/a.uddf" << false << "Error" << "Impossible to write file %1" << true;
        QTest::newRow("dive gone") << "a.csv" << true << "Database Error"
                                   << "Impossible to read profile\nDive 1 is not in the database" << true;
    }
    void exportFailuresAreReported()
    {
        QFETCH(QString, fileName);
        QFETCH(bool, diveGone);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(bool, folderKept);
        QVERIFY(QDir(mFiles.path()).mkpath("failed"));
        const QString path = mFiles.filePath("failed/" + fileName);
        MainWindow window;
        storeThreeDives();
        window.updateDiveList();
        if (diveGone)
            QVERIFY(db()->deleteDive(db()->getDiveByName("A", "A1")));
        mPrompts.answer(path);
        window.exportDiveProfileItem(itemOf(window, "A"));

        QCOMPARE(mPrompts.records().size(), 2);
        QCOMPARE(mPrompts.records().at(1).kind, QString("critical"));
        QCOMPARE(mPrompts.records().at(1).title, title);
        QCOMPARE(mPrompts.records().at(1).text, QString(text).replace("%1", path));
        QVERIFY(!QFile::exists(path));
        QCOMPARE(window.settings().lastExportDir(), folderKept ? QFileInfo(path).absolutePath() : QString());
    }

    void storeFailures_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("detail");
        QTest::newRow("database not open") << int(DiveDb::NotOpen) << "\nDatabase not open";
        QTest::newRow("already stored") << int(DiveDb::AlreadyStored) << "\nDive Id already exists";
        QTest::newRow("statement fails") << int(DiveDb::SqlFailed) << "\n";
    }
    void storeFailures()
    {
        QFETCH(int, code);
        QFETCH(QString, detail);
        MainWindow window;
        store(testkit::makeDive("A", "A1", 20));
        window.updateDiveList();
        if (code == DiveDb::NotOpen) {
            db()->setDatabase(QString());
        } else if (code == DiveDb::SqlFailed) {
            testkit::RawSqlite raw(testkit::appDataFolder() + "/diveDB.db");
            QVERIFY(raw.exec("CREATE TRIGGER full BEFORE INSERT ON dives BEGIN SELECT RAISE(ABORT, 'no room'); END"));
        }
        window.storeDive(testkit::makeDive(code == DiveDb::AlreadyStored ? "A" : "B", "A1", 20));

        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(mPrompts.records().first().kind, QString("critical"));
        QCOMPARE(mPrompts.records().first().title, QString("Write Database Error"));
        QString expected = "Impossible to write profile " + QString(code == DiveDb::AlreadyStored ? "A" : "B") + detail;
        if (code == DiveDb::SqlFailed) {
            QVERIFY(db()->lastError().contains("no room"));
            expected += db()->lastError();
        }
        QCOMPARE(mPrompts.records().first().text, expected);
        QCOMPARE(rowNames(window), QStringList{"A"});
    }

    // The window keeps painting while a long dive is written, under a wait
    // cursor that goes when the dive is stored.
    void longStoreLetsTheWindowPaint()
    {
        MainWindow window;
        bool storing = true;
        bool ranWhileStoring = false;
        Qt::CursorShape cursor = Qt::ArrowCursor;
        QMetaObject::invokeMethod(
            &window,
            [&] {
                ranWhileStoring = storing;
                if (const QCursor* shown = QGuiApplication::overrideCursor())
                    cursor = shown->shape();
            },
            Qt::QueuedConnection);
        window.storeDive(testkit::makeDive("Long", "A1", 5000));
        storing = false;

        QVERIFY(ranWhileStoring);
        QCOMPARE(cursor, Qt::WaitCursor);
        QVERIFY(!QGuiApplication::overrideCursor());
        QVERIFY(mPrompts.records().isEmpty());
        QCOMPARE(rowNames(window), QStringList{"Long"});
    }

    void storeShownDive_data()
    {
        QTest::addColumn<QVariant>("typed"); // null: cancelled
        QTest::addColumn<QString>("message");
        QTest::newRow("named") << QVariant("Night") << "";
        QTest::newRow("cancelled") << QVariant() << "";
        QTest::newRow("blank name") << QVariant("  ") << "Invalid name";
        QTest::newRow("name taken") << QVariant("Night") << "Impossible to write profile Night\nDive Id already exists";
    }
    void storeShownDive()
    {
        QFETCH(QVariant, typed);
        QFETCH(QString, message);
        MainWindow window;
        const bool taken = message.startsWith("Impossible");
        if (taken)
            store(testkit::makeDive("Night", QString(), 20));
        window.updateDiveList();
        QVERIFY(window.loadDiveProfile(mDiveFile));
        QPushButton* storeButton = window.findChild<QPushButton*>("btStoreDive");
        QVERIFY(storeButton->isEnabled());
        if (!typed.isNull())
            mPrompts.answerDialog(typing(typed.toString()));
        storeButton->click();

        QCOMPARE(mPrompts.records().first().kind, QString("dialog"));
        QCOMPARE(mPrompts.records().first().title, QString("Rename"));
        const bool stored = !typed.isNull() && message.isEmpty();
        if (message.isEmpty()) {
            QCOMPARE(mPrompts.records().size(), 1);
        } else {
            QCOMPARE(mPrompts.records().size(), 2);
            QCOMPARE(mPrompts.records().at(1).kind, QString("critical"));
            QCOMPARE(mPrompts.records().at(1).text, message);
        }
        QCOMPARE(storeButton->isEnabled(), !stored);
        QCOMPARE(db()->getNbDives(), int(stored || taken));
        QCOMPARE(rowNames(window), (stored || taken) ? QStringList{"Night"} : QStringList{});
        if (stored) {
            QCOMPARE(window.currentDive().name, QString("Night"));
            QCOMPARE(testkit::profileOf(storedDive("Night", QString())), testkit::profileOf(window.currentDive()));
        }
    }

    void fileDiveKeepsItsUserInformationUntilStored()
    {
        MainWindow window;
        store(testkit::makeDive("A", "A1", 20));
        window.updateDiveList();
        open(window, "A");
        QVERIFY(window.loadDiveProfile(mDiveFile));
        QCOMPARE(window.shownDatabaseId(), -1);
        lineEdit(window, "edPlace")->setText("Cove");
        saveButton(window)->click();
        QVERIFY(storedDive("A").place.isEmpty());
        QVERIFY(!saveButton(window)->isEnabled());

        mPrompts.answerDialog(typing("Night"));
        window.storeCurrentDive();
        QCOMPARE(storedDive("Night", QString()).place, QString("Cove"));
        QCOMPARE(mPrompts.records().size(), 1);
    }

    // Once stored, the file's dive is the stored one: what is saved of its
    // user information afterwards is there when it is opened again.
    void storedFileDiveKeepsLaterEdits()
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // A dive opened from the list first opens the user information.
        store(testkit::makeDive("A", "A1", 20));
        testkit::openFromList(window, db()->getDiveByName("A", "A1"));
        auto* panes = window.findChild<QTabWidget*>("tabProfile");
        panes->setCurrentWidget(window.findChild<QWidget*>("tabUserInformation"));
        QVERIFY(window.loadDiveProfile(mDiveFile));
        mPrompts.answerDialog(typing("Night"));
        QTest::mouseClick(window.findChild<QPushButton*>("btStoreDive"), Qt::LeftButton);
        const int id = db()->getDiveByName("Night", QString());
        QVERIFY(id >= 0);
        QCOMPARE(boldDives(window), QStringList{"Night"});

        QLineEdit* place = lineEdit(window, "edPlace");
        QVERIFY(place->isVisible());
        place->clear();
        QTest::keyClicks(place, "Cove");
        QVERIFY(saveButton(window)->isEnabled());
        QTest::mouseClick(saveButton(window), Qt::LeftButton);
        QVERIFY(!saveButton(window)->isEnabled());
        QCOMPARE(storedDive("Night", QString()).place, QString("Cove"));

        testkit::openFromList(window, id);
        QCOMPARE(place->text(), QString("Cove"));
        QCOMPARE(mPrompts.records().size(), 1);
    }

    void failedUserInformationSaveIsReported()
    {
        MainWindow window;
        store(testkit::makeDive("A", "A1", 20));
        window.updateDiveList();
        open(window, "A");
        lineEdit(window, "edPlace")->setText("Cove");
        db()->setDatabase(QString());
        saveButton(window)->click();

        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(mPrompts.records().first().kind, QString("critical"));
        QCOMPARE(mPrompts.records().first().title, QString("Database Error"));
        QCOMPARE(mPrompts.records().first().text, QString("Impossible to save the user information"));
        // Still unsaved: the diver can try again.
        QVERIFY(saveButton(window)->isEnabled());
    }

    void highlightFollowsTheShownDive()
    {
        MainWindow window;
        storeTwoComputers();
        window.updateDiveList();
        open(window, "B");
        QCOMPARE(boldDives(window), QStringList{"B"});
        emit list(window)->horizontalHeader()->sectionClicked(2);
        QCOMPARE(boldDives(window), QStringList{"B"});
        QCOMPARE(list(window)->item(rowOf(window, "B"), 1)->foreground().color(), QColor(Qt::blue));

        open(window, "D");
        QCOMPARE(boldDives(window), QStringList{"D"});
        QCOMPARE(list(window)->item(rowOf(window, "B"), 1)->foreground().color(), QColor(Qt::black));

        // A PNG for a person to look at.
        window.resize(1280, 800);
        window.show();
        QVERIFY(testkit::grabToPng(window, QDir::temp().filePath("divelist.png")));

        QVERIFY(window.loadDiveProfile(mDiveFile));
        QVERIFY(boldDives(window).isEmpty());
        window.updateDiveList();
        QVERIFY(boldDives(window).isEmpty());
    }

    void filterDialogIsKeptAndApplied()
    {
        MainWindow window;
        storeTwoComputers();
        window.updateDiveList();
        QDialog* first = nullptr;
        mPrompts.answerDialog([&first](QDialog& dialog) {
            first = &dialog;
            dialog.findChild<QGroupBox*>("grComputer")->setChecked(true);
            auto* computers = dialog.findChild<QTableWidget*>("tblComputers");
            for (int row = 0; row < computers->rowCount(); ++row) {
                QTableWidgetItem* serial = computers->item(row, 0);
                serial->setCheckState(serial->text() == "B2" ? Qt::Checked : Qt::Unchecked);
            }
            return int(QDialog::Accepted);
        });
        window.findChild<QPushButton*>("btFilter")->click();
        QCOMPARE(rowNames(window), (QStringList{"D", "E"}));
        QCOMPARE(label(window), QString("1 Computer / 2 Dives"));

        QDialog* second = nullptr;
        mPrompts.answerDialog([&second](QDialog& dialog) {
            second = &dialog;
            dialog.findChild<QGroupBox*>("grComputer")->setChecked(false);
            return int(QDialog::Rejected);
        });
        window.setFilter();
        QVERIFY(first);
        QCOMPARE(second, first);
        QCOMPARE(rowNames(window), (QStringList{"D", "E"}));
    }

private:
    static void store(const Dive& dive) { QCOMPARE(db()->storeDive(dive), int(DiveDb::Success)); }

    // A, B and C on computer A1, in date order.
    static void storeThreeDives()
    {
        store(testkit::makeDive("A", "A1", 31, 30.0, kFirstDive));
        store(testkit::makeDive("B", "A1", 20, 25.0, kFirstDive + kDay));
        store(testkit::makeDive("C", "A1", 20, 20.0, kFirstDive + 2 * kDay));
    }

    // A, B, C on computer A1, D and E on computer B2.
    static void storeTwoComputers()
    {
        storeThreeDives();
        store(testkit::makeDive("D", "B2", 20, 12.0, kFirstDive + 3 * kDay));
        store(testkit::makeDive("E", "B2", 20, 15.0, kFirstDive + 4 * kDay));
    }

    static QLineEdit* lineEdit(MainWindow& window, const char* name) { return window.findChild<QLineEdit*>(name); }
    static QPushButton* saveButton(MainWindow& window)
    {
        return window.findChild<QPushButton*>("btSaveUserInformation");
    }
    static QString label(MainWindow& window) { return window.findChild<QLabel*>("lbFilter")->text(); }

    static int rowOf(MainWindow& window, const QString& name) { return itemOf(window, name)->row(); }

    // A double-click on the dive's date cell.
    static void open(MainWindow& window, const QString& name)
    {
        testkit::doubleClickCell(*list(window)->item(rowOf(window, name), 1));
    }

    static void selectRows(MainWindow& window, const QList<int>& rows)
    {
        QTableWidget* dives = list(window);
        dives->clearSelection();
        for (const int row : rows)
            dives->selectionModel()->select(dives->model()->index(row, 0),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    QTemporaryDir mFiles;
    QString mDiveFile;
    testkit::PromptRecorder mPrompts;
};

MAREVANE_TEST_MAIN(DiveListWindowTest)
#include "tst_divelistwindow.moc"
