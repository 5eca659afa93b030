#include "testenvironment.h"

#include "divelistopen.h"
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

// The time labels under a view's graph as a person sees them: the runs of
// inked columns, a label's own gaps between its characters closed.
QList<std::pair<int, int>> timeLabelRuns(GraphView& view)
{
    constexpr int kGapWithinALabel = 3; // px
    const QImage image = view.viewport()->grab().toImage();
    const QRect digit = QFontMetrics(QFont(QStringLiteral("Arial"), 10)).boundingRect(QLatin1Char('0'));
    const double bottom = view.mProfile->graphBottom();
    const int top = view.mapFromScene(QPointF(0, bottom + 3)).y();
    const int end = std::min(image.height(), view.mapFromScene(QPointF(0, bottom + 3 * digit.height())).y());
    const QColor background(242, 242, 230);
    QList<std::pair<int, int>> runs;
    for (int x = 0; x < image.width(); ++x) {
        bool inked = false;
        for (int y = top; y < end && !inked; ++y)
            inked = std::abs(qGray(image.pixel(x, y)) - qGray(background.rgb())) > 40;
        if (!inked)
            continue;
        if (!runs.isEmpty() && x - runs.last().second <= kGapWithinALabel)
            runs.last().second = x;
        else
            runs.append({x, x});
    }
    return runs;
}

// Whether the time labels under the graph each stand apart: no run of ink
// wider than the widest label. Empty when they do.
QString timeLabelsProblem(GraphView& view)
{
    const QList<std::pair<int, int>> runs = timeLabelRuns(view);
    const QFontMetrics metrics(QFont(QStringLiteral("Arial"), 10));
    const QString widest = view.mProfile->endTime() >= 3600 ? QStringLiteral("00:00:00") : QStringLiteral("00:00");
    const int room = metrics.horizontalAdvance(widest) + 2;
    for (const auto& [first, last] : runs) {
        if (last - first + 1 > room)
            return QStringLiteral("labels run together over %1 px from x %2, one takes %3 px")
                .arg(last - first + 1)
                .arg(first)
                .arg(room);
    }
    return runs.size() < 3 ? QStringLiteral("%1 labels").arg(runs.size()) : QString();
}

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
        QVERIFY(showPlanningTab(window, QSize(), maximised));
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
        QVERIFY(showPlanningTab(window));
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

    // The time labels stand apart in both views, whatever the dive's length
    // and the window's size.
    void timeLabelsStandApart_data()
    {
        QTest::addColumn<bool>("planning");
        QTest::addColumn<QSize>("size"); // empty: maximised
        QTest::addColumn<QList<QPointF>>("points");
        const QList<std::pair<const char*, QList<QPointF>>> dives = {
            {"a dive of 14 min", {{0, 0}, {60, 12}, {780, 12}, {840, 0}}},
            {"a dive of 4 min 50", {{0, 0}, {30, 6}, {270, 6}, {290, 0}}},
            {"a dive of 70 min", {{0, 0}, {120, 40}, {1500, 40}, {4200, 0}}},
        };
        const QList<std::pair<const char*, QSize>> sizes = {
            {"default size", QSize(1274, 763)}, {"maximised", QSize()}, {"a small window", QSize(1024, 640)}};
        for (const bool planning : {false, true}) {
            for (const auto& [sizeName, size] : sizes) {
                for (const auto& [dive, points] : dives)
                    QTest::addRow("%s view, %s, %s", planning ? "planning" : "log", sizeName, dive)
                        << planning << size << points;
            }
        }
    }

    void timeLabelsStandApart()
    {
        QFETCH(bool, planning);
        QFETCH(QSize, size);
        QFETCH(QList<QPointF>, points);
        MainWindow window;
        GraphView* view = planning ? window.planningView() : window.diveLogView();
        child<QTabWidget>(window, "tabMain")->setCurrentIndex(planning ? 1 : 0);
        if (size.isEmpty()) {
            window.showMaximized();
        } else {
            window.resize(size);
            window.show();
        }
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        if (planning)
            planFromLogbook(window, QStringLiteral("Plan"), points);
        else
            testkit::openFromList(window, storeDive(window, QStringLiteral("Log"), testkit::diveLines(points)));
        QCoreApplication::processEvents();
        QVERIFY(view->getDiveProfile());
        const QString problem = timeLabelsProblem(*view);

        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

private:
    testkit::PromptRecorder mPrompts;
};

MAREVANE_TEST_MAIN(PlanningGraphTest)
#include "tst_planninggraph.moc"
