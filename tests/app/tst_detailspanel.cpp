#include "../divemodel/diveprofiles.h"
#include "../graphics/viewevents.h"
#include "divedb/divedb.h"
#include "divefixtures.h"
#include "divelistopen.h"
#include "floatinginformation.h"
#include "mainwindow.h"
#include "promptrecorder.h"
#include "testenvironment.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>

namespace {

DiveDb* db()
{
    return DiveDb::instance();
}

template<typename T>
T* child(const MainWindow& window, const char* name)
{
    return window.findChild<T*>(name);
}

// Whether the button shows the image of the resource `path`.
bool showsIcon(const QPushButton& button, const QString& path)
{
    const QSize size(16, 16);
    return button.icon().pixmap(size).toImage() == QIcon(path).pixmap(size).toImage();
}

// Presses the left button at `local` on `widget`, moves by `delta` with it
// held and releases it there, as the window system reports a drag.
void drag(QWidget& widget, const QPoint& local, const QPoint& delta)
{
    const QPointF global = widget.mapToGlobal(QPointF(local));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(local), global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &press);
    QMouseEvent move(QEvent::MouseMove, QPointF(local + delta), global + delta, Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(local + delta), global + delta, Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &release);
}

} // namespace

// The floating information panel, and the profile maximised: the panel takes
// over the position read-out while the information area is hidden.
class DetailsPanelTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(mFiles.isValid());
        mDiveFile = testkit::writeTestFile(mFiles.filePath("reef.csv"),
                                           testkit::csvImportText(testkit::diveLines({{0, 0}, {300, 18}, {900, 0}})));
    }

    void init()
    {
        QDir(testkit::appDataFolder()).removeRecursively();
        mPrompts.clear();
    }

    void cleanup() { QCOMPARE(MainWindow::instance, nullptr); }

    void panelFitsItsText_data()
    {
        QTest::addColumn<int>("paragraphs");
        QTest::newRow("short") << 1;
        QTest::newRow("three") << 3;
        QTest::newRow("too long: scrolls") << 200;
    }
    void panelFitsItsText()
    {
        QFETCH(int, paragraphs);
        FloatingInformation panel;
        QCOMPARE(panel.size(), QSize(260, 290));
        // The window shows the panel before it hands it a read-out.
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QString html;
        for (int i = 0; i < paragraphs; ++i)
            html += QStringLiteral("<p>Depth %1m</p>").arg(i);
        panel.setText(html);

        const int document = int(panel.textEdit()->document()->size().height());
        QCOMPARE(panel.width(), 260);
        QCOMPARE(panel.height(), document < 580 ? document + 20 : 600);
        if (paragraphs == 200)
            QVERIFY(document >= 580);
        else
            QVERIFY(panel.height() < 290);
        QCOMPARE(panel.textEdit()->toPlainText(), QTextDocumentFragment::fromHtml(html).toPlainText());
        // The same read-out again leaves the document as it is.
        QSignalSpy changed(panel.textEdit()->document(), &QTextDocument::contentsChanged);
        panel.setText(html);
        QCOMPARE(changed.count(), 0);
    }

    void escapeLeavesThePanelOpen()
    {
        FloatingInformation panel;
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        for (QWidget* target : {static_cast<QWidget*>(&panel), static_cast<QWidget*>(panel.textEdit())}) {
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QCoreApplication::sendEvent(target, &escape);
            QVERIFY(!escape.isAccepted());
            QVERIFY(panel.isVisible());
        }
    }

    void draggingMovesThePanel_data()
    {
        QTest::addColumn<bool>("onText");
        QTest::newRow("on the text") << true;
        QTest::newRow("on the margin") << false;
    }
    void draggingMovesThePanel()
    {
        QFETCH(bool, onText);
        FloatingInformation panel;
        panel.setText("<p>Depth 12.0m</p><p>Time 03:00</p>");
        panel.move(200, 150);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        const QPoint start = panel.pos();
        QWidget& target = onText ? *panel.textEdit()->viewport() : static_cast<QWidget&>(panel);
        const QPoint pressed = onText ? target.rect().center() : QPoint(4, panel.height() / 2);

        drag(target, pressed, QPoint(35, -20));
        QCOMPARE(panel.pos(), start + QPoint(35, -20));
        // Released: moving on without the button leaves it where it is.
        const QPoint over = target.mapToGlobal(pressed);
        QMouseEvent hover(QEvent::MouseMove, QPointF(pressed), QPointF(over + QPoint(50, 50)), Qt::NoButton,
                          Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&target, &hover);
        QCOMPARE(panel.pos(), start + QPoint(35, -20));
    }

    void maximiseButtonShowsTheWayBack()
    {
        MainWindow window;
        auto* button = child<QPushButton>(window, "btMaxMinProfile");
        auto* information = child<QWidget>(window, "wdInformations");
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(information->isHidden());
        QVERIFY(showsIcon(*button, ":/TestGraphics/icons/minimize.png"));
        QCOMPARE(button->toolTip(), QString("Minimize profile area"));
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(!information->isHidden());
        QVERIFY(showsIcon(*button, ":/TestGraphics/icons/maximize.png"));
        QCOMPARE(button->toolTip(), QString("Maximize profile area"));
    }

    void panelWaitsForADive()
    {
        MainWindow window;
        window.show();
        auto* button = child<QPushButton>(window, "btMaxMinProfile");
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(!window.floatingInformation()->isVisible());
        QTest::mouseClick(button, Qt::LeftButton);
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(!window.floatingInformation()->isVisible());
    }

    void panelTakesOverWhileMaximised_data()
    {
        QTest::addColumn<bool>("fromList");
        QTest::newRow("dive of the list") << true;
        QTest::newRow("dive of a file") << false;
    }
    void panelTakesOverWhileMaximised()
    {
        QFETCH(bool, fromList);
        MainWindow window;
        window.resize(1280, 800);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        if (fromList)
            testkit::openFromList(window, storeDive("A"));
        else
            QVERIFY(window.loadDiveProfile(mDiveFile));
        FloatingInformation& panel = *window.floatingInformation();
        QVERIFY(!panel.isVisible());

        window.maxMinProfile();
        QVERIFY(panel.isVisible());
        // First at the top-right corner of the profile.
        GraphView& view = *window.diveLogView();
        QCOMPARE(panel.frameGeometry().topRight(), view.mapToGlobal(QPoint(view.width() - 1, 0)));
        window.maxMinProfile();
        QVERIFY(!panel.isVisible());
    }

    void listDiveOpenedWhileMaximisedShowsThePanel()
    {
        MainWindow window;
        window.show();
        const int id = storeDive("A");
        window.updateDiveList();
        window.maxMinProfile();
        QVERIFY(!window.floatingInformation()->isVisible());

        // A dive that cannot be read changes nothing.
        auto* list = child<QTableWidget>(window, "diveList");
        QVERIFY(db()->deleteDive(id));
        testkit::doubleClickCell(*list->item(1, 0));
        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(mPrompts.records().first().text.section('\n', 0, 0), QString("Impossible to read profile"));
        QVERIFY(!window.floatingInformation()->isVisible());

        testkit::openFromList(window, storeDive("B"));
        QVERIFY(window.floatingInformation()->isVisible());
        // The panel stays where the user put it.
        window.floatingInformation()->move(40, 50);
        window.maxMinProfile();
        window.maxMinProfile();
        QCOMPARE(window.floatingInformation()->pos(), QPoint(40, 50));
    }

    void fileLoadedWhileMaximisedShowsThePanel()
    {
        MainWindow window;
        window.show();
        window.maxMinProfile();
        QVERIFY(!window.loadDiveProfile(mFiles.filePath("missing.csv")));
        QVERIFY(!window.floatingInformation()->isVisible());
        QVERIFY(window.loadDiveProfile(mDiveFile));
        QVERIFY(window.floatingInformation()->isVisible());
    }

    void readOutGoesToThePaneOrThePanel()
    {
        MainWindow window;
        window.resize(1280, 800);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        testkit::openFromList(window, storeDive("A"));
        GraphView& view = *window.diveLogView();
        auto* pane = child<QTextEdit>(window, "edPositionInformation");
        QTextEdit& panelText = *window.floatingInformation()->textEdit();

        hover(view, viewevents::graphPoint(view, 0.5));
        const QString readOut = pane->toPlainText();
        QVERIFY2(readOut.contains("Position information"), qPrintable(readOut));
        QVERIFY(panelText.toPlainText().isEmpty());
        // Before the start of the time axis, and past the last sample, the
        // pane empties.
        hover(view, beforeTheAxis(view));
        QVERIFY(pane->toPlainText().isEmpty());
        hover(view, viewevents::graphPoint(view, 0.5));
        hover(view, pastTheEnd(view));
        QVERIFY(pane->toPlainText().isEmpty());

        window.maxMinProfile();
        hover(view, viewevents::graphPoint(view, 0.5));
        QCOMPARE(panelText.toPlainText(), readOut);
        QVERIFY(pane->toPlainText().isEmpty());
        // The panel keeps its last read-out.
        hover(view, beforeTheAxis(view));
        QCOMPARE(panelText.toPlainText(), readOut);
        hover(view, pastTheEnd(view));
        QCOMPARE(panelText.toPlainText(), readOut);
    }

    // Maximised with its button, the profile takes the information area's
    // room and the panel floats over it with the whole read-out.
    void maximisedProfileShowsTheReadOutOverIt()
    {
        MainWindow window;
        window.resize(1280, 800);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        testkit::openFromList(window, storeDive("Reef"));
        GraphView& view = *window.diveLogView();
        const int height = view.height();
        QTest::mouseClick(child<QPushButton>(window, "btMaxMinProfile"), Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY(!child<QWidget>(window, "wdInformations")->isVisible());
        QVERIFY2(view.height() > height, qPrintable(QStringLiteral("%1 <= %2").arg(view.height()).arg(height)));

        hover(view, viewevents::graphPoint(view, 0.4));
        FloatingInformation& panel = *window.floatingInformation();
        QVERIFY(panel.isVisible());
        const QTextEdit& text = *panel.textEdit();
        QVERIFY2(text.toPlainText().contains("Position information"), qPrintable(text.toPlainText()));
        QCOMPARE(text.verticalScrollBar()->maximum(), 0);
        const QRect profile(view.mapToGlobal(QPoint(0, 0)), view.size());
        QVERIFY(profile.contains(panel.frameGeometry()));
    }

private:
    // A 40-minute dive to 24 m of computer A1, stored; its id. The window
    // opens the database, so one must exist.
    static int storeDive(const QString& name)
    {
        Dive dive = testkit::makeDive(name, "A1", 120, 24.0);
        for (DiveLine& line : dive.lines)
            line.timeSec *= 10;
        if (db()->storeDive(dive) != DiveDb::Success)
            return -1;
        return db()->getDiveByName(name, "A1");
    }

    static void hover(GraphView& view, const QPoint& point)
    {
        viewevents::mouse(view, QEvent::MouseMove, point, Qt::NoButton, Qt::NoButton);
    }

    // A point of the view left of the time axis.
    static QPoint beforeTheAxis(const GraphView& view)
    {
        const QPoint start = viewevents::graphPoint(view, 0.0);
        return QPoint(start.x() - 15, start.y());
    }

    // A point of the view right of the dive's last sample.
    static QPoint pastTheEnd(const GraphView& view)
    {
        return QPoint(view.viewport()->width() - 2, viewevents::graphPoint(view, 1.0).y());
    }

    QTemporaryDir mFiles;
    QString mDiveFile;
    testkit::PromptRecorder mPrompts;
};

MAREVANE_TEST_MAIN(DetailsPanelTest)

#include "tst_detailspanel.moc"
