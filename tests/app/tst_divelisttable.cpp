#include "divelisttable.h"
#include "testenvironment.h"

#include <QApplication>
#include <QBrush>
#include <QHeaderView>
#include <QTableWidget>

namespace {

using Computer = QPair<QString, QString>; // serial, name

DiveInfo diveInfo(int id, const QString& serial, const QString& computer)
{
    DiveInfo dive;
    dive.id = id;
    dive.name = QStringLiteral("Dive %1").arg(id);
    dive.serial = serial;
    dive.computer = computer;
    dive.dateTime = QDateTime(QDate(2024, 3, 9), QTime(7, 5, 3));
    dive.maxTime = 125.9;
    dive.maxDepth = 18.26;
    return dive;
}

// Three dives of one computer, then two of another.
QList<DiveInfo> twoComputers()
{
    return {diveInfo(1, "A1", "Reef"), diveInfo(2, "A1", "Reef"), diveInfo(3, "A1", "Reef"),
            diveInfo(4, "B2", "Wreck"), diveInfo(5, "B2", "Wreck")};
}

bool isBold(const QTableWidgetItem* item)
{
    return item->font().weight() == QFont::Bold;
}

} // namespace

// The rows, texts and highlight of the dive list table.
class DiveListTableTest : public QObject
{
    Q_OBJECT

private slots:
    void counterText_data()
    {
        QTest::addColumn<int>("groups");
        QTest::addColumn<int>("dives");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << 0 << 0 << "0 Computer / 0 Dives";
        QTest::newRow("one computer") << 1 << 3 << "1 Computer / 3 Dives";
        QTest::newRow("two computers") << 2 << 5 << "2 Computers / 5 Dives";
    }
    void counterText()
    {
        QFETCH(int, groups);
        QFETCH(int, dives);
        QFETCH(QString, text);
        QCOMPARE(DiveListTable::counterText(groups, dives), text);
    }

    void groups_data()
    {
        QTest::addColumn<QList<Computer>>("computers");
        QTest::addColumn<QList<int>>("sizes");
        QTest::newRow("none") << QList<Computer>{} << QList<int>{};
        QTest::newRow("one computer")
            << QList<Computer>{{"A1", "Reef"}, {"A1", "Reef"}} << QList<int>{2};
        QTest::newRow("same serial, renamed owner")
            << QList<Computer>{{"A1", "Reef"}, {"A1", "Wreck"}, {"A1", "Wreck"}} << QList<int>{1, 2};
        QTest::newRow("serial and name empty")
            << QList<Computer>{{"", ""}, {"B2", "Wreck"}} << QList<int>{1, 1};
        QTest::newRow("no serial, odd name")
            << QList<Computer>{{"", "XXXXXXXXXX"}, {"", "XXXXXXXXXX"}} << QList<int>{2};
    }
    void groups()
    {
        QFETCH(QList<Computer>, computers);
        QFETCH(QList<int>, sizes);
        QList<DiveInfo> dives;
        for (const Computer& computer : computers)
            dives.append(diveInfo(int(dives.size()), computer.first, computer.second));
        QTableWidget widget;
        QCOMPARE(DiveListTable(widget).fill(dives, -1), int(sizes.size()));
        // Every dive has its row, behind a group row.
        QCOMPARE(widget.rowCount(), int(sizes.size() + dives.size()));
        int row = 0;
        int dive = 0;
        for (const int size : sizes) {
            QCOMPARE(widget.item(row, 0)->data(Qt::UserRole).toInt(), -1);
            QVERIFY(widget.item(row, 0)->text().endsWith(QStringLiteral(" - %1 dives").arg(size)));
            for (int i = 1; i <= size; ++i)
                QCOMPARE(widget.item(row + i, 0)->data(Qt::UserRole).toInt(), dive++);
            row += size + 1;
        }
    }

    void groupAndDiveRows()
    {
        QTableWidget widget;
        DiveListTable(widget).fill(twoComputers(), -1);

        QCOMPARE(widget.rowCount(), 7);
        QCOMPARE(widget.columnCount(), 4);
        QStringList header;
        for (int column = 0; column < widget.columnCount(); ++column)
            header.append(widget.horizontalHeaderItem(column)->text());
        QCOMPARE(header, (QStringList{"Dive Id", "Date/Time", "Duration", "Depth"}));

        for (const int row : {0, 4}) {
            const QTableWidgetItem* group = widget.item(row, 0);
            QCOMPARE(group->data(Qt::UserRole).toInt(), -1);
            QVERIFY(isBold(group));
            QCOMPARE(group->background().color(), QColor(155, 201, 255));
            QCOMPARE(group->background().style(), Qt::SolidPattern);
            QCOMPARE(widget.columnSpan(row, 0), widget.columnCount());
            QVERIFY(!widget.item(row, 1));
        }
        QCOMPARE(widget.item(0, 0)->text(), QString("Reef - A1 - 3 dives"));
        QCOMPARE(widget.item(4, 0)->text(), QString("Wreck - B2 - 2 dives"));

        QStringList diveRow;
        for (int column = 0; column < 4; ++column) {
            diveRow.append(widget.item(5, column)->text());
            QCOMPARE(widget.item(5, column)->textAlignment(), int(Qt::AlignCenter));
        }
        QCOMPARE(diveRow, (QStringList{"Dive 4", "09/03/2024 07:05:03", "02:05", "18.3m"}));
        QCOMPARE(widget.item(5, 0)->data(Qt::UserRole).toInt(), 4);
        QCOMPARE(widget.columnSpan(5, 0), 1);
    }

    void diveRowTexts_data()
    {
        QTest::addColumn<double>("maxTime");
        QTest::addColumn<double>("maxDepth");
        QTest::addColumn<QString>("duration");
        QTest::addColumn<QString>("depth");
        QTest::newRow("no samples") << 0.0 << 0.0 << "00:00" << "0.0m";
        QTest::newRow("last second of the hour") << 3599.99 << 9.96 << "59:59" << "10.0m";
        QTest::newRow("over an hour") << 3725.0 << 102.04 << "01:02:05" << "102.0m";
    }
    void diveRowTexts()
    {
        QFETCH(double, maxTime);
        QFETCH(double, maxDepth);
        QFETCH(QString, duration);
        QFETCH(QString, depth);
        DiveInfo dive = diveInfo(1, "A1", "Reef");
        dive.maxTime = maxTime;
        dive.maxDepth = maxDepth;
        QTableWidget widget;
        DiveListTable(widget).fill({dive}, -1);
        QCOMPARE(widget.item(1, DiveListTable::DurationColumn)->text(), duration);
        QCOMPARE(widget.item(1, DiveListTable::DepthColumn)->text(), depth);
    }

    void computerWithoutName()
    {
        QTableWidget widget;
        DiveListTable(widget).fill({diveInfo(1, "C3", "")}, -1);
        QCOMPARE(widget.item(0, 0)->text(), QString("No name - C3 - 1 dives"));
    }

    void refillLeavesNoStaleSpan()
    {
        QTableWidget widget;
        DiveListTable table(widget);
        table.fill(twoComputers(), -1);
        QList<DiveInfo> oneComputer = twoComputers();
        for (DiveInfo& dive : oneComputer) {
            dive.serial = "A1";
            dive.computer = "Reef";
        }
        table.fill(oneComputer, -1);
        QCOMPARE(widget.rowCount(), 6);
        QCOMPARE(widget.columnSpan(4, 0), 1);
        QCOMPARE(widget.item(4, 1)->text(), QString("09/03/2024 07:05:03"));
    }

    void shownDiveIsHighlighted()
    {
        QTableWidget widget;
        DiveListTable table(widget);
        table.fill(twoComputers(), 4);
        QCOMPARE(boldRows(widget), QList<int>({0, 4, 5}));
        QCOMPARE(widget.item(5, 3)->foreground().color(), QColor(Qt::blue));

        table.highlight(widget.item(2, 2));
        QCOMPARE(boldRows(widget), QList<int>({0, 2, 4}));
        QCOMPARE(widget.item(5, 3)->foreground().color(), QColor(Qt::black));
        QCOMPARE(widget.item(2, 0)->foreground().color(), QColor(Qt::blue));

        table.highlight(nullptr);
        QCOMPARE(boldRows(widget), QList<int>({0, 4}));
        table.fill(twoComputers(), 99);
        QCOMPARE(boldRows(widget), QList<int>({0, 4}));
    }

    void rowsOfItems()
    {
        QTableWidget widget;
        DiveListTable table(widget);
        table.fill(twoComputers(), -1);
        QCOMPARE(table.nameItem(widget.item(6, 3)), widget.item(6, 0));
        QCOMPARE(table.diveIdOf(widget.item(6, 3)), 5);
        QCOMPARE(table.diveIdOf(widget.item(4, 0)), -1);
        QCOMPARE(table.diveIdOf(nullptr), -1);
        QCOMPARE(table.itemOfDive(2), widget.item(2, 0));
        QVERIFY(!table.itemOfDive(-1));
        QVERIFY(!table.itemOfDive(42));
    }

    void selectedDives()
    {
        QTableWidget widget;
        widget.setSelectionBehavior(QAbstractItemView::SelectRows);
        widget.setSelectionMode(QAbstractItemView::MultiSelection);
        DiveListTable table(widget);
        table.fill(twoComputers(), -1);
        for (const int row : {6, 0, 2, 4})
            widget.selectRow(row);
        // Group rows don't count, each dive counts once.
        QCOMPARE(table.selectedDiveIds(), QList<int>({2, 5}));
    }

private:
    static QList<int> boldRows(const QTableWidget& widget)
    {
        QList<int> rows;
        for (int row = 0; row < widget.rowCount(); ++row) {
            bool bold = true;
            for (int column = 0; column < widget.columnCount(); ++column) {
                if (const QTableWidgetItem* item = widget.item(row, column))
                    bold = bold && isBold(item);
            }
            if (bold)
                rows.append(row);
        }
        return rows;
    }
};

MAREVANE_TEST_MAIN(DiveListTableTest)
#include "tst_divelisttable.moc"
