// The point table of the planning tab as a person sees it, in English and
// in French, in the window at its default size and maximised.
#include "applanguagemanager.h"
#include "testenvironment.h"

#include "planningtabkit.h"
#include "planningtabwidgets.h"

#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QScrollBar>
#include <QSet>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimeEdit>
#include <QtTest>

using namespace planningtabkit;

namespace {

bool loadLanguage(const QString& code)
{
    return AppLanguageManager::instance()->loadLanguage(
        "Marevane", AppLanguageManager::translationsFolder(QCoreApplication::applicationDirPath()), code);
}

// What of the table's header is cut: the texts wider than their section,
// and a horizontal scroll bar; empty when everything shows.
QString cutHeaders(QTableView& table)
{
    QStringList cut;
    const QHeaderView* header = table.horizontalHeader();
    const QFontMetrics metrics(header->font());
    const int margins = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    for (int section = 0; section < header->count(); ++section) {
        const QString text = table.model()->headerData(section, Qt::Horizontal).toString();
        const int needed = metrics.horizontalAdvance(text) + margins;
        if (header->sectionSize(section) < needed)
            cut.append(QStringLiteral("\"%1\" needs %2 px, has %3").arg(text).arg(needed).arg(header->sectionSize(section)));
    }
    if (table.horizontalScrollBar()->isVisible())
        cut.append(QStringLiteral("a horizontal scroll bar (table %1 px, header %2 px)")
                       .arg(table.viewport()->width())
                       .arg(header->length()));
    return cut.join(QStringLiteral("; "));
}

// What of the depth and time columns is narrower than the view measures
// their header and all their cells; empty when everything shows.
QString narrowColumns(QTableView& table)
{
    QStringList narrow;
    const QHeaderView* header = table.horizontalHeader();
    for (const int column : {int(TblDivePointsModel::DepthColumn), int(TblDivePointsModel::TimeColumn)}) {
        const int needed = std::max(static_cast<QAbstractItemView&>(table).sizeHintForColumn(column),
                                    header->sectionSizeHint(column));
        if (header->sectionSize(column) < needed)
            narrow.append(QStringLiteral("column %1 needs %2 px, has %3")
                              .arg(column)
                              .arg(needed)
                              .arg(header->sectionSize(column)));
    }
    return narrow.join(QStringLiteral("; "));
}

// A delegate that notes the rows whose size it is asked for.
class MeasuringDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        measured.insert(index.row());
        return QStyledItemDelegate::sizeHint(option, index);
    }

    mutable QSet<int> measured;
};

} // namespace

class PointTableWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { freshDataFolder(); }
    void cleanup() { loadLanguage(QStringLiteral("en")); }

    void headersShowWhole_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("maximised");
        QTest::addColumn<bool>("withPoints");
        for (const char* language : {"en", "fr"})
            for (const bool maximised : {false, true})
                for (const bool withPoints : {false, true})
                    QTest::addRow("%s, %s, %s", language, maximised ? "maximised" : "default size",
                                  withPoints ? "a dive" : "no point")
                        << QString::fromLatin1(language) << maximised << withPoints;
    }

    void headersShowWhole()
    {
        QFETCH(QString, language);
        QFETCH(bool, maximised);
        QFETCH(bool, withPoints);
        QCOMPARE(loadLanguage(language), language == QLatin1String("fr"));
        MainWindow window;
        QVERIFY(showPlanningTab(window, QSize(), maximised));
        if (withPoints)
            click(window, "btAddDive");
        QCoreApplication::processEvents();
        auto* table = child<QTableView>(window, "tblViewlDivePoints");
        QCOMPARE(table->model()->headerData(3, Qt::Horizontal).toString(),
                 language == QLatin1String("fr") ? QStringLiteral("Gaz") : QStringLiteral("Gas"));
        QCOMPARE(cutHeaders(*table), QString());
    }

    // A text typed in the table that is wider than the column's others
    // widens the column: it shows whole.
    void editedTextsShowWhole_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<double>("typed");
        // The default dive: (0, 0), (60, 20), (600, 20).
        QTest::newRow("a deeper point") << 2 << 1 << 299.5;
        QTest::newRow("a time past an hour") << 2 << 2 << 3725.0;
        QTest::newRow("a time past ten hours") << 2 << 2 << 36125.0;
    }

    void editedTextsShowWhole()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(double, typed);
        MainWindow window;
        QVERIFY(showPlanningTab(window));
        click(window, "btAddDive");
        auto* table = child<QTableView>(window, "tblViewlDivePoints");
        const int before = table->columnWidth(column);
        if (column == TblDivePointsModel::TimeColumn) {
            auto* editor = openEditor<QTimeEdit>(window, row, column);
            QVERIFY(editor);
            editor->setTime(QTime(0, 0).addSecs(int(typed)));
        } else {
            auto* editor = openEditor<QDoubleSpinBox>(window, row, column);
            QVERIFY(editor);
            editor->setValue(typed);
        }
        const DiveLine& point = window.plan().currentDiveProfile()->lines.at(row);
        QCOMPARE(column == TblDivePointsModel::TimeColumn ? point.timeSec : point.depth, typed);
        QCOMPARE(narrowColumns(*table), QString());
        if (column == TblDivePointsModel::TimeColumn)
            QVERIFY(table->columnWidth(column) > before);
    }

    // A drag changes one row a step: the columns measure that row alone,
    // not the others of a long plan.
    void aDragStepMeasuresItsRowAlone()
    {
        MainWindow window;
        QVERIFY(showPlanningTab(window));
        QList<DiveLine> points;
        for (int i = 0; i < 80; ++i) {
            DiveLine line;
            // Points apart on the graph: 5 m between neighbours.
            line.timeSec = 60.0 * i;
            line.depth = i == 0 || i == 79 ? 0.0 : 15.0 + 5.0 * (i % 2);
            line.gasIndex = 0;
            points.append(line);
        }
        const int id = storeDive(window, QStringLiteral("Long"), points);
        window.addPlanificationFromExistingDBDive(diveListItem(window, id), false);
        auto* table = child<QTableView>(window, "tblViewlDivePoints");
        QCOMPARE(table->model()->rowCount(), 80);
        MeasuringDelegate measuring;
        table->setItemDelegateForColumn(TblDivePointsModel::DepthColumn, &measuring);
        table->setItemDelegateForColumn(TblDivePointsModel::TimeColumn, &measuring);

        const int row = 40;
        pressOnPoint(window, row);
        const QPoint to = viewPointAt(window, 60.0 * row + 10, 17.5);
        dragMove(window, to);
        sendToGraph(window, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(window.plan().currentDiveProfile()->lines.at(row).depth, 17.5);
        QCOMPARE(measuring.measured, QSet<int>{row});
        QCOMPARE(narrowColumns(*table), QString());
    }
};

MAREVANE_TEST_MAIN(PointTableWindowTest)
#include "tst_pointtablewindow.moc"
