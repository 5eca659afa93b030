#include "divedb/divedb.h"
#include "divefixtures.h"
#include "divelistrows.h"
#include "mainwindow.h"
#include "menuclick.h"
#include "promptrecorder.h"
#include "testenvironment.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QTableWidget>

using testkit::list;

// Menus chosen with the mouse, as a user does: the action runs a modal
// dialog while the menu is still handling its mouse release, so the menu must
// outlive the whole click.
class RepairMenusTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QDir(testkit::appDataFolder()).removeRecursively();
        mPrompts.clear();
    }

    void diveListActionsSurviveTheirDialog_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("dialog");
        QTest::newRow("rename") << "Rename" << "dialog";
        QTest::newRow("export") << "Export" << "saveFile";
        QTest::newRow("delete") << "Delete" << "question";
        QTest::newRow("open") << "Open" << "";
        QTest::newRow("separator") << "csv separator/Comma ," << "";
    }
    void diveListActionsSurviveTheirDialog()
    {
        QFETCH(QString, action);
        QFETCH(QString, dialog);
        MainWindow window;
        QVERIFY(DiveDb::instance()->storeDive(testkit::makeDive("A", "A1", 20)) == DiveDb::Success);
        window.updateDiveList();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QTableWidget* dives = list(window);
        const QRect row = dives->visualItemRect(dives->item(1, 0));
        dives->selectRow(1);
        testkit::requestContextMenu(*dives->viewport(), row.center());
        QPointer<QMenu> menu = testkit::shownMenu();
        QVERIFY(menu);

        QVERIFY(testkit::clickMenuAction(action));
        // The menu outlives the whole click.
        QVERIFY(!menu.isNull());
        // Once the event loop has run, the menu is gone and the action has
        // run, its dialog with the nested event loop included.
        QCoreApplication::processEvents();
        QVERIFY(menu.isNull());
        QVERIFY(!testkit::shownMenu());
        QStringList dialogs;
        for (const testkit::PromptRecord& record : mPrompts.records())
            dialogs.append(record.kind);
        QCOMPARE(dialogs, dialog.isEmpty() ? QStringList() : QStringList{dialog});
    }

    void dismissedMenuIsFreed()
    {
        MainWindow window;
        QVERIFY(DiveDb::instance()->storeDive(testkit::makeDive("A", "A1", 20)) == DiveDb::Success);
        window.updateDiveList();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTableWidget* dives = list(window);
        testkit::requestContextMenu(*dives->viewport(), dives->visualItemRect(dives->item(1, 0)).center());
        QPointer<QMenu> menu = testkit::shownMenu();
        QVERIFY(menu);
        menu->close();
        QCoreApplication::processEvents();
        QVERIFY(menu.isNull());
    }

private:
    testkit::PromptRecorder mPrompts;
};

MAREVANE_TEST_MAIN(RepairMenusTest)
#include "tst_repairmenus.moc"
