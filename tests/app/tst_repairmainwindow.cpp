#include "divefixtures.h"
#include "divelistrows.h"
#include "graphics/graphview.h"
#include "mainwindow.h"
#include "promptrecorder.h"
#include "testenvironment.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

using testkit::boldDives;
using testkit::itemOf;
using testkit::list;

// The main window's members that nothing called before.
class RepairMainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QDir(testkit::appDataFolder()).removeRecursively();
    }

    void cleanup() { QCOMPARE(MainWindow::instance, nullptr); }

    // updateData shows the current dive again: the view, the details (after
    // offering unsaved edits), the highlight; a dive not from the list can be
    // stored.
    void updateDataShowsTheCurrentDiveAgain()
    {
        testkit::PromptRecorder prompts;
        MainWindow window;
        Dive a = testkit::makeDive("A", "A1", 20);
        a.place = "Cassis";
        window.storeDive(a);
        window.storeDive(testkit::makeDive("B", "A1", 20));
        window.openDiveProfileItem(itemOf(window, "A"));
        auto* place = window.findChild<QLineEdit*>("edPlace");
        auto* store = window.findChild<QPushButton*>("btStoreDive");
        GraphView* view = window.diveLogView();

        view->setDiveProfile(nullptr);
        place->setText("typed");
        window.updateData(nullptr); // the edit is not saved
        QCOMPARE(prompts.records().size(), 1);
        QCOMPARE(prompts.records().first().title, QString("Unsaved changes"));
        QCOMPARE(view->getDiveProfile(), &window.currentDive());
        QCOMPARE(place->text(), QString("Cassis"));
        QVERIFY(!window.findChild<QPushButton*>("btSaveUserInformation")->isEnabled());
        QVERIFY(store->isEnabled());
        QVERIFY(boldDives(window).isEmpty());

        window.updateData(list(window)->item(itemOf(window, "B")->row(), 2));
        QVERIFY(!store->isEnabled());
        QCOMPARE(boldDives(window), QStringList{"B"});
        QCOMPARE(prompts.records().size(), 1);
    }
};

MAREVANE_TEST_MAIN(RepairMainWindowTest)
#include "tst_repairmainwindow.moc"
