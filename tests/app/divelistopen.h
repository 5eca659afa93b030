#pragma once

#include "divelistrows.h"
#include "mainwindow.h"

#include <QTableWidget>
#include <QtTest>

namespace testkit {

// Double-clicks the cell with the mouse, as the system delivers a double
// click: a click, then a press that comes as a double click.
inline void doubleClickCell(QTableWidgetItem& cell)
{
    QTableWidget& table = *cell.tableWidget();
    table.scrollToItem(&cell);
    const QPoint centre = table.visualItemRect(&cell).center();
    QTest::mouseClick(table.viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    QTest::mouseDClick(table.viewport(), Qt::LeftButton, Qt::NoModifier, centre);
}

// Lists the stored dives again and double-clicks the date cell of the dive
// `id`, as the user opens a dive from the list.
inline void openFromList(MainWindow& window, int id)
{
    window.updateDiveList();
    QTableWidget* dives = list(window);
    for (int row = 0; row < dives->rowCount(); ++row) {
        if (dives->item(row, 0)->data(Qt::UserRole).toInt() == id) {
            doubleClickCell(*dives->item(row, 1));
            QCOMPARE(window.shownDatabaseId(), id);
            return;
        }
    }
    QFAIL("the dive is not listed");
}

} // namespace testkit
