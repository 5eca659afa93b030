#include "testenvironment.h"

#include "diveprofiles.h"
#include "planningtabkit.h"
#include "planningtabwidgets.h"
#include "promptrecorder.h"

#include "common/timetexts.h"
#include "graphics/graphview.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QtTest>

using namespace planningtabkit;

namespace {

DiveProfileItem* profile(MainWindow& window)
{
    return window.planningView()->mProfile;
}

// The planning tab of a window at the form's size, or maximised.
bool showPlanningTab(MainWindow& window, bool maximised)
{
    child<QTabWidget>(window, "tabMain")->setCurrentIndex(1);
    if (maximised)
        window.showMaximized();
    else
        window.show();
    return QTest::qWaitForWindowExposed(&window);
}

// A dive of the logbook taken into the plan from the dive list.
void planFromLogbook(MainWindow& window, const QString& name, const QList<QPointF>& points)
{
    const int id = storeDive(window, name, testkit::diveLines(points));
    window.addPlanificationFromExistingDBDive(diveListItem(window, id), false);
}

// The title as a person reads it.
QString titleText(const DiveProfileItem& item)
{
    QTextDocument document;
    document.setHtml(item.title());
    return document.toPlainText();
}

// The title's line as the profile's font lays it out.
QSizeF titleLine(const DiveProfileItem& item)
{
    QTextDocument document;
    document.setDefaultFont(QFont(QStringLiteral("Arial"), 12));
    document.setDocumentMargin(0);
    document.setHtml(item.title());
    return QSizeF(document.idealWidth(), document.size().height());
}

int secondsOf(const QString& clock)
{
    int seconds = 0;
    for (const QString& part : clock.trimmed().split(':'))
        seconds = 60 * seconds + part.toInt();
    return seconds;
}

// A row of the run table: the name of its icon, and its cells (depth, duration, run time, gas).
struct RunRow
{
    QString icon;
    QStringList cells;
};

QList<RunRow> runTable(MainWindow& window)
{
    QList<RunRow> rows;
    const QTextDocument* document = child<QTextEdit>(window, "runtime")->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        RunRow row;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().isImageFormat())
                row.icon = it.fragment().charFormat().toImageFormat().name().section('/', -1);
        }
        row.cells = block.text().split('|');
        if (!row.icon.isEmpty() && row.cells.size() == 4)
            rows.append(row);
    }
    return rows;
}

// The ascent time and the stops as the run table shows them: from the end of
// the planned points to the surface, and the stops one by one.
struct RunTimes
{
    int ascent = 0;
    int stops = 0;
    int stopCount = 0;
};

RunTimes runTimes(MainWindow& window)
{
    const QList<RunRow> rows = runTable(window);
    RunTimes times;
    int plannedEnd = 0;
    for (const RunRow& row : rows) {
        if (row.icon.endsWith(QLatin1String("dive.png"))) {
            plannedEnd = secondsOf(row.cells[2]);
        } else if (row.icon == QLatin1String("arrowR.png")) {
            times.stops += secondsOf(row.cells[1]);
            ++times.stopCount;
        }
    }
    times.ascent = rows.isEmpty() ? 0 : secondsOf(rows.last().cells[2]) - plannedEnd;
    return times;
}

const QList<QPointF> kSquareDive = {{0, 0}, {120, 40}, {1500, 40}};

} // namespace

// The planning graph of the real window: its title, its time grid and its points.
class PlanningGraphTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        freshDataFolder();
        mPrompts.clear();
    }

    // The title keeps one line within its room, clear of the effort icon: the
    // name is elided, never the figures.
    void titleKeepsOneLine_data()
    {
        QTest::addColumn<bool>("maximised");
        QTest::addColumn<bool>("effort");
        QTest::addColumn<QString>("name");
        const QString logbook = QStringLiteral("007 - 12/05/2024 10:20");
        const QString longName = QStringLiteral("007 - 12/05/2024 10:20 - Epave du Donator, Porquerolles, par le nord");
        for (const bool maximised : {false, true}) {
            const char* size = maximised ? "maximised" : "default size";
            QTest::addRow("%s, a logbook name", size) << maximised << false << logbook;
            QTest::addRow("%s, a long name", size) << maximised << false << longName;
            QTest::addRow("%s, a long name and effort", size) << maximised << true << longName;
        }
    }

    void titleKeepsOneLine()
    {
        QFETCH(bool, maximised);
        QFETCH(bool, effort);
        QFETCH(QString, name);
        MainWindow window;
        planFromLogbook(window, name, kSquareDive);
        QVERIFY(showPlanningTab(window, maximised));
        if (effort)
            QTest::mouseClick(effortButton(window, 0), Qt::LeftButton);
        QCoreApplication::processEvents();
        DiveProfileItem* item = profile(window);
        QVERIFY(item->mEffortMode == effort);

        const QString text = titleText(*item);
        const RunTimes table = runTimes(window);
        QCOMPARE(table.stopCount, effort ? 4 : 3);
        const QString figures = QStringLiteral(" - Profondeur : 40.0m - DTP : %1 - DTR : %2 - DTPal : ")
                                    .arg(formatTimeSecondes(qint64(item->dive()->maxTime)),
                                         formatTimeSecondes(table.ascent));
        const qsizetype at = text.lastIndexOf(figures);
        QVERIFY2(at > 0, qPrintable(text + QLatin1String(" | expected") + figures));
        QVERIFY(std::abs(secondsOf(text.mid(at + figures.size())) - table.stops) <= table.stopCount / 2);
        const QString shownName = text.mid(10, at - 10);
        QVERIFY2(text.startsWith(QLatin1String("Plongee : ")), qPrintable(text));
        QVERIFY2(shownName == name || (shownName.endsWith(QChar(0x2026)) && name.startsWith(shownName.chopped(1))),
                 qPrintable(shownName));

        // The centred line fits the view; what does not fit is the name alone.
        const QSizeF line = titleLine(*item);
        const double room = item->boundingRect().width();
        QVERIFY2(line.width() <= room, qPrintable(QStringLiteral("%1 px in %2").arg(line.width()).arg(room)));
        if (shownName != name)
            QVERIFY(line.width() > room - 40);

        // The effort icon leaves every pixel of the line as it is without it.
        const QRect lineRect = window.planningView()
                                   ->mapFromScene(QRectF((room - line.width()) / 2, 2, line.width(), line.height()))
                                   .boundingRect();
        const QImage withIcon = window.planningView()->viewport()->grab().toImage();
        item->mEffortMode = !item->mEffortMode;
        window.planningView()->viewport()->repaint();
        const QImage withoutIcon = window.planningView()->viewport()->grab().toImage();
        item->mEffortMode = !item->mEffortMode;
        if (effort) {
            QVERIFY(withIcon != withoutIcon);
            QCOMPARE(withIcon.copy(lineRect), withoutIcon.copy(lineRect));
        }
    }

    // The title's ascent and stop times are the computed ones to the nearest
    // second, as the run table shows them: the ascent to the second, the
    // stops within the rounding of each stop the table lists.
    void titleTimesAgreeWithTheRunTable_data()
    {
        QTest::addColumn<QList<QPointF>>("points");
        QTest::addColumn<int>("water");
        QTest::addColumn<QString>("stopTime"); // where the stops are known
        // Stops of 29:43.99 s in all.
        QTest::newRow("40 m for 25 min, salt") << kSquareDive << 0 << QStringLiteral("29:44");
        QTest::newRow("40 m for 25 min, fresh") << kSquareDive << 1 << QString();
        QTest::newRow("60 m for 20 min, salt") << QList<QPointF>{{0, 0}, {180, 60}, {1200, 60}} << 0 << QString();
        QTest::newRow("30 m for 40 min, fresh") << QList<QPointF>{{0, 0}, {90, 30}, {2400, 30}} << 1 << QString();
        QTest::newRow("multilevel") << QList<QPointF>{{0, 0}, {120, 32}, {720, 32}, {840, 27}, {1200, 27},
                                                      {1320, 21}, {1800, 21}, {2100, 12}, {2700, 12}}
                                    << 0 << QString();
    }

    void titleTimesAgreeWithTheRunTable()
    {
        QFETCH(QList<QPointF>, points);
        QFETCH(int, water);
        QFETCH(QString, stopTime);
        MainWindow window;
        planFromLogbook(window, QStringLiteral("Plan"), points);
        QVERIFY(showPlanningTab(window, false));
        child<QComboBox>(window, "cbWaterType")->setCurrentIndex(water);
        QCoreApplication::processEvents();

        const RunTimes table = runTimes(window);
        const QString text = titleText(*profile(window));
        const QString ascentText = QStringLiteral(" - DTR : %1 - DTPal : ").arg(formatTimeSecondes(table.ascent));
        const qsizetype at = text.indexOf(ascentText);
        QVERIFY2(at > 0, qPrintable(text + QLatin1String(" | expected") + ascentText));
        const int stops = secondsOf(text.mid(at + ascentText.size()));
        QVERIFY2(std::abs(stops - table.stops) <= table.stopCount / 2,
                 qPrintable(QStringLiteral("%1 s of stops, the table's %2 s").arg(stops).arg(table.stops)));
        if (!stopTime.isEmpty())
            QVERIFY2(text.endsWith(QLatin1String(" - DTPal : ") + stopTime), qPrintable(text));
    }

private:
    testkit::PromptRecorder mPrompts;
};

MAREVANE_TEST_MAIN(PlanningGraphTest)
#include "tst_planninggraph.moc"
