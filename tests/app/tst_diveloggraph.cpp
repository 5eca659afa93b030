#include "../divemodel/diveprofiles.h"
#include "../graphics/viewevents.h"
#include "divemodel/diveanalysis.h"
#include "graphics/marker.h"
#include "mainwindow.h"
#include "menuclick.h"
#include "promptrecorder.h"
#include "testenvironment.h"
#include "widgetgrab.h"

#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QGraphicsRectItem>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

namespace {

// A 30-minute dive to 24 m, one sample every 30 s.
Dive sampleDive()
{
    Dive dive;
    for (int i = 0; i <= 60; ++i) {
        DiveLine line;
        line.timeSec = i * 30.0;
        line.depth = i == 0 || i == 60 ? 0.0 : 24.0 - std::abs(30 - i) * 0.4;
        line.ambientTemp = 18;
        dive.lines.append(line);
    }
    return dive;
}

// The (time, depth) rows of a CSV export, read after its sample title line.
QList<QPointF> writtenProfile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QList<QPointF> profile;
    bool samples = false;
    for (const QString& text : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList fields = text.split(QLatin1Char(','));
        if (samples && fields.size() > 2)
            profile.append(QPointF(fields.at(1).toDouble(), fields.at(2).toDouble()));
        samples = samples || text.startsWith(QStringLiteral("N° de point"));
    }
    return profile;
}

// The menu the dive-log view would show, as its filler leaves it.
QStringList menuEntries(GraphView& view, bool* shown)
{
    QMenu menu;
    *shown = view.mContextMenuFiller(menu);
    QStringList entries;
    for (const QAction* action : menu.actions())
        entries.append(action->text());
    return entries;
}

} // namespace

// The dive-log profile view inside the main window.
class DiveLogGraphTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(mFiles.isValid());
        mDiveFile = testkit::writeTestFile(mFiles.filePath("reef.csv"), testkit::csvImportText(sampleDive().lines));
    }

    void init() { mPrompts.clear(); }

    void markerImagesAreNamedBeforeTheViews()
    {
        MainWindow window;
        QCOMPARE(Marker::sInfoFilename, QString(":/TestGraphics/icons/mark_info.png"));
        QCOMPARE(Marker::sGasFilenames[7], QString(":/TestGraphics/icons/gas8.png"));
        QVERIFY(Marker::sAlertYoyoFilename.isEmpty());
        QVERIFY(Marker::sDTRFilename.isEmpty());
        // The view's item loaded them when it was built.
        QVERIFY(!Marker::mMarkInfo.isNull());
        QVERIFY(!Marker::mMarkAlertDensity.isNull());
        QVERIFY(Marker::mMarkAlertYoyo.isNull());
        QCOMPARE(window.diveLogView()->parentWidget(), window.findChild<QWidget*>("widgetGraph"));
        QVERIFY(window.diveLogView()->mSelectTimeRange);
    }

    void openedDiveIsShown()
    {
        MainWindow window;
        QVERIFY(window.loadDiveProfile(mDiveFile));
        GraphView* view = window.diveLogView();
        QCOMPARE(view->getDiveProfile(), &window.currentDive());
        QCOMPARE(testkit::profileOf(*view->getDiveProfile()), testkit::profileOf(sampleDive()));
        // A PNG for a person to look at.
        window.resize(1280, 800);
        window.show();
        QVERIFY(testkit::grabToPng(window, QDir::temp().filePath("marevane-divelog.png")));
    }

    void filesDroppedOnTheViewReachTheWindow()
    {
        MainWindow window;
        QMimeData data;
        // Only the first file counts, and a CSV file is not taken from a drop.
        data.setUrls({QUrl::fromLocalFile(mDiveFile), QUrl::fromLocalFile(mFiles.filePath("other.divebin"))});
        QWidget* viewport = window.diveLogView()->viewport();
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &enter);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &drop);

        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(mPrompts.records().first().text, QString("Invalid File"));
        QVERIFY(window.currentDive().lines.isEmpty());
    }

    void saveSelectionWritesTheChosenRange()
    {
        MainWindow window;
        GraphView* view = showDive(window);
        bool shown = true;
        QCOMPARE(menuEntries(*view, &shown), QStringList());
        QVERIFY(!shown);

        selectRange(*view);
        const auto [start, end] = view->getSelection();
        QVERIFY(start > 0 && end > start);
        const QStringList entries = menuEntries(*view, &shown);
        QVERIFY(shown);
        QCOMPARE(entries, QStringList("Save selection"));

        const QString path = mFiles.filePath("selection.csv");
        mPrompts.answer(path);
        bool clicked = false;
        testkit::clickInNextMenu("Save selection", &clicked);
        testkit::requestContextMenu(*view->viewport(), view->viewport()->rect().center());
        QVERIFY(clicked);

        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(mPrompts.records().first().title, QString("Save Dive File"));
        QCOMPARE(mPrompts.records().first().filter,
                 QString("Dive file (*.uddf *.csv);;UDDF file (*.uddf);;Csv file (*.csv)"));
        const QList<QPointF> written = writtenProfile(path);
        const QList<QPointF> expected = testkit::profileOf(DiveAnalysis::extractProfile(window.currentDive(), start, end));
        QVERIFY(expected.size() > 4);
        QCOMPARE(written.size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i) {
            QCOMPARE(written.at(i).x(), expected.at(i).x());
            QVERIFY2(std::abs(written.at(i).y() - expected.at(i).y()) < 1e-3, qPrintable(QString::number(i)));
        }
    }

    void failedSaveIsReported_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing folder") << "no/such/folder/selection.uddf";
        QTest::newRow("no writer for the suffix") << "selection.txt";
    }
    void failedSaveIsReported()
    {
        QFETCH(QString, name);
        MainWindow window;
        GraphView* view = showDive(window);
        selectRange(*view);
        const QString path = mFiles.filePath(name);
        mPrompts.answer(path);

        window.saveSelection();

        QCOMPARE(mPrompts.records().size(), 2);
        const testkit::PromptRecord& report = mPrompts.records().last();
        QCOMPARE(report.kind, QString("critical"));
        QCOMPARE(report.title, QString("Error"));
        QCOMPARE(report.text, "Impossible to write file " + QDir::toNativeSeparators(path));
        QVERIFY(!QFile::exists(path));
    }

    void cancelledSaveWritesNothing()
    {
        MainWindow window;
        GraphView* view = showDive(window);
        selectRange(*view);
        const QStringList files = QDir(mFiles.path()).entryList(QDir::Files);
        mPrompts.answer(QString());
        window.saveSelection();
        QCOMPARE(mPrompts.records().size(), 1);
        QCOMPARE(QDir(mFiles.path()).entryList(QDir::Files), files);
    }

private:
    GraphView* showDive(MainWindow& window)
    {
        window.resize(1280, 800);
        window.show();
        [&] { QVERIFY(window.loadDiveProfile(mDiveFile)); }();
        return window.diveLogView();
    }
    static void selectRange(GraphView& view)
    {
        viewevents::drag(view, viewevents::graphPoint(view, 0.3), viewevents::graphPoint(view, 0.6), Qt::LeftButton,
                         Qt::ShiftModifier);
    }

    QTemporaryDir mFiles;
    QString mDiveFile;
    testkit::PromptRecorder mPrompts;
};

MAREVANE_TEST_MAIN(DiveLogGraphTest)

#include "tst_diveloggraph.moc"
