#pragma once

#include "divelistrows.h"
#include "mainwindow.h"

#include <QTableWidget>
#include <QtTest>

namespace testkit {

// Lists the stored dives again and double-clicks the date cell of the dive
// `id` with the mouse, as the user opens a dive from the list.
inline void openFromList(MainWindow& window, int id)
{
    window.updateDiveList();
    QTableWidget* dives = list(window);
    for (int row = 0; row < dives->rowCount(); ++row) {
        if (dives->item(row, 0)->data(Qt::UserRole).toInt() == id) {
            QTableWidgetItem* date = dives->item(row, 1);
            dives->scrollToItem(date);
            // As the system delivers a double click: a click, then a press
            // that comes as a double click.
            const QPoint centre = dives->visualItemRect(date).center();
            QTest::mouseClick(dives->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
            QTest::mouseDClick(dives->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
            QCOMPARE(window.shownDatabaseId(), id);
            return;
        }
    }
    QFAIL("the dive is not listed");
}

} // namespace testkit
