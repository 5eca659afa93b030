#include "aboutbox.h"
#include "applanguagemanager.h"
#include "divedb/divedb.h"
#include "divefixtures.h"
#include "divelistopen.h"
#include "divelisttable.h"
#include "mainwindow.h"
#include "menuclick.h"
#include "promptrecorder.h"
#include "testenvironment.h"

#include <QDir>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>
#include <QTextDocumentFragment>
#include <QTimeZone>

namespace {

// The least room the about box keeps right of a link.
constexpr int kLinkMargin = 10;

bool loadLanguage(const QString& code)
{
    return AppLanguageManager::instance()->loadLanguage(
        "Marevane", AppLanguageManager::translationsFolder(QCoreApplication::applicationDirPath()), code);
}

enum class WindowSize { Form, Maximised, MaximisedLater };

// The window at the size of its form or maximised on the screen, at once or
// after it was shown at the form's size; true once it is shown at that size.
bool showAt(MainWindow& window, WindowSize size)
{
    if (size == WindowSize::Maximised)
        window.showMaximized();
    else
        window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    QCoreApplication::processEvents();
    if (size == WindowSize::MaximisedLater) {
        window.showMaximized();
        QCoreApplication::processEvents();
    }
    if (size == WindowSize::Form)
        return window.size() == QSize(1274, 763);
    return window.isMaximized() && window.size() == window.screen()->availableGeometry().size();
}

// The width a cell's text takes, in the font the cell shows it; the text
// wraps when it exceeds its room by a fraction of a pixel.
qreal textWidth(const QTableWidget& table, const QTableWidgetItem& cell)
{
    const QFont font = cell.data(Qt::FontRole).isValid() ? cell.font() : table.font();
    return QFontMetricsF(font).horizontalAdvance(cell.text());
}

// The width a cell leaves its text: the item view keeps a margin on each
// side of it.
int textRoom(const QTableWidget& table, const QTableWidgetItem& cell)
{
    const int margin = table.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &table) + 1;
    return table.visualItemRect(&cell).width() - 2 * margin;
}

// Every cell whose text is wider than its room, as "row,column: text".
QStringList cutCells(const QTableWidget& table)
{
    QStringList cut;
    for (int row = 0; row < table.rowCount(); ++row) {
        for (int column = 0; column < table.columnCount(); ++column) {
            const QTableWidgetItem* cell = table.item(row, column);
            if (cell && textWidth(table, *cell) > textRoom(table, *cell))
                cut.append(QStringLiteral("%1,%2: %3 (%4 > %5)")
                               .arg(row)
                               .arg(column)
                               .arg(cell->text())
                               .arg(textWidth(table, *cell))
                               .arg(textRoom(table, *cell)));
        }
    }
    return cut;
}

// Every header section narrower than its title needs.
QStringList cutHeaders(const QTableWidget& table)
{
    QStringList cut;
    const QHeaderView& header = *table.horizontalHeader();
    for (int column = 0; column < table.columnCount(); ++column) {
        if (header.sectionSize(column) < header.sectionSizeHint(column))
            cut.append(table.horizontalHeaderItem(column)->text());
    }
    return cut;
}

// Dives of two computers as a download names them: their number and their
// start. One lasts over an hour, one goes below 100 m.
void storeDownloadedDives()
{
    const QDateTime start(QDate(2026, 6, 1), QTime(10, 0), QTimeZone::utc());
    for (int number = 1; number <= 6; ++number) {
        const QDateTime begin = start.addDays(number * 3);
        const QString name = QStringLiteral("%1 - %2").arg(number, 3, 10, QLatin1Char('0'))
                                 .arg(begin.toString("dd/MM/yyyy HH:mm"));
        const QString serial = number % 2 ? QStringLiteral("PX-20417") : QStringLiteral("PX-30988");
        Dive dive = testkit::makeDive(name, serial, number == 4 ? 2000 : 600, number == 5 ? 104.6 : 28.4,
                                      begin.toSecsSinceEpoch());
        dive.computerName = QStringLiteral("Pelavix");
        QCOMPARE(DiveDb::instance()->storeDive(dive), int(DiveDb::Success));
    }
}

QLabel* link(AboutBox& box, const char* name)
{
    return box.findChild<QLabel*>(name);
}

} // namespace

Q_DECLARE_METATYPE(WindowSize)

// What the window shows fits where it shows it, at the size of the form and
// maximised, in English and in French.
class WindowLayoutTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QDir(testkit::appDataFolder()).removeRecursively();
        mPrompts.clear();
    }

    void cleanup()
    {
        loadLanguage("en");
        QCOMPARE(MainWindow::instance, nullptr);
    }

    void windowSizes_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<WindowSize>("size");
        for (const char* language : {"en", "fr"}) {
            QTest::addRow("%s, form size", language) << language << WindowSize::Form;
            QTest::addRow("%s, maximised", language) << language << WindowSize::Maximised;
            QTest::addRow("%s, maximised later", language) << language << WindowSize::MaximisedLater;
        }
    }

    void diveListShowsWholeTexts_data() { windowSizes_data(); }
    void diveListShowsWholeTexts()
    {
        QFETCH(QString, language);
        QFETCH(WindowSize, size);
        QCOMPARE(loadLanguage(language), language == "fr");
        {
            // The dives were there when the program started.
            MainWindow opener;
            storeDownloadedDives();
        }
        MainWindow window;
        QVERIFY(showAt(window, size));
        QTableWidget& table = *testkit::list(window);
        QCOMPARE(table.rowCount(), 8);
        // The opened dive is shown in bold.
        testkit::openFromList(window, DiveDb::instance()->getDiveByName("004 - 13/06/2026 10:00", "PX-30988"));
        QCOMPARE(testkit::boldDives(window), QStringList{"004 - 13/06/2026 10:00"});

        QCOMPARE(cutCells(table), QStringList());
        QCOMPARE(cutHeaders(table), QStringList());
        // The names come first: they are in view whole.
        QVERIFY(table.columnWidth(DiveListTable::NameColumn) <= table.viewport()->width());
        QCOMPARE(table.columnViewportPosition(DiveListTable::NameColumn), 0);
        // Maximised, the list has the room for every column.
        if (size != WindowSize::Form)
            QCOMPARE(table.horizontalScrollBar()->maximum(), 0);
    }

    void aboutLinksShowTheirWholeText_data() { windowSizes_data(); }
    void aboutLinksShowTheirWholeText()
    {
        QFETCH(QString, language);
        QFETCH(WindowSize, size);
        QCOMPARE(loadLanguage(language), language == "fr");
        testkit::writeDataFile("services.ini", "[site]\nroot=https://maker.example\n");
        MainWindow window;
        QVERIFY(showAt(window, size));
        QVERIFY(testkit::clickMenuBar(*window.menuBar(), QCoreApplication::translate("MainWindowClass", "Help"),
                                      QCoreApplication::translate("MainWindowClass", "About")));
        QCOMPARE(window.findChildren<AboutBox*>().size(), 1);
        AboutBox& box = *window.findChildren<AboutBox*>().first();
        const QSize image = box.size();
        QCOMPARE(image, QSize(640, 420));

        const std::pair<const char*, QPoint> places[] = {{"lbWebsite", {480, 250}}, {"lbLicense", {480, 280}}};
        for (const auto& [name, place] : places) {
            const QLabel& label = *link(box, name);
            const QString text = QTextDocumentFragment::fromHtml(label.text()).toPlainText();
            const int needed = QFontMetrics(label.font()).horizontalAdvance(text);
            QVERIFY2(needed <= label.contentsRect().width(),
                     qPrintable(QStringLiteral("%1: %2 > %3").arg(text).arg(needed).arg(label.width())));
            QVERIFY2(box.rect().contains(label.geometry()), qPrintable(text));
            // The link keeps its place, or grows leftwards from it.
            QCOMPARE(label.y(), place.y());
            QVERIFY(label.x() <= place.x());
            if (place.x() + label.width() <= image.width() - kLinkMargin)
                QCOMPARE(label.x(), place.x());
            else
                QCOMPARE(label.x() + label.width(), image.width() - kLinkMargin);
        }
        QTest::mouseClick(box.findChild<QPushButton*>("btOk"), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

private:
    testkit::PromptRecorder mPrompts;
};

MAREVANE_TEST_MAIN(WindowLayoutTest)
#include "tst_windowlayout.moc"
