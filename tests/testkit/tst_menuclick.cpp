#include "menuclick.h"
#include "testenvironment.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

// The menu kit finds the action a path names: a submenu first, an action's
// own "/" kept whole.
class MenuClickTest : public QObject
{
    Q_OBJECT

private slots:
    void clicksTheActionThePathNames_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("triggered"); // empty: none
        QTest::newRow("plain") << "Open"
                               << "Open";
        QTest::newRow("slash in the text") << "Install firmware/bootloader"
                                           << "Install firmware/bootloader";
        QTest::newRow("submenu") << "csv separator/Comma ,"
                                 << "Comma ,";
        QTest::newRow("slash inside a submenu") << "Tools/Erase/restore"
                                                << "Erase/restore";
        QTest::newRow("missing") << "Close" << "";
        QTest::newRow("no such submenu") << "Open/Comma ," << "";
    }
    void clicksTheActionThePathNames()
    {
        QFETCH(QString, path);
        QFETCH(QString, triggered);
        QMainWindow window;
        QMenu* file = window.menuBar()->addMenu("File");
        for (const char* text : {"Open", "Install firmware/bootloader", "Install firmware"})
            file->addAction(text);
        file->addMenu("csv separator")->addAction("Comma ,");
        QMenu* tools = file->addMenu("Tools");
        tools->addAction("Erase");
        tools->addAction("Erase/restore");
        QStringList seen;
        connect(file, &QMenu::triggered, this, [&seen](QAction* action) { seen.append(action->text()); });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QCOMPARE(testkit::clickMenuBar(*window.menuBar(), "File", path), !triggered.isEmpty());
        QCOMPARE(seen, triggered.isEmpty() ? QStringList() : QStringList{triggered});
        testkit::closeShownMenus();
    }

    void menuBarWithoutTheMenu()
    {
        QMainWindow window;
        window.menuBar()->addMenu("File")->addAction("Open");
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(!testkit::clickMenuBar(*window.menuBar(), "Help", "Open"));
        QVERIFY(!testkit::shownMenu());
    }
};

MAREVANE_TEST_MAIN(MenuClickTest)
#include "tst_menuclick.moc"
