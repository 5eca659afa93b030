#pragma once

#include "mainwindow.h"

#include <QTableWidget>
#include <QtTest>

namespace testkit {

// Lists the stored dives again and double-clicks the date cell of the dive
// `id`, as the user opens a dive from the list.
inline void openFromList(MainWindow& window, int id)
{
    window.updateDiveList();
    auto* list = window.findChild<QTableWidget*>("diveList");
    for (int row = 0; row < list->rowCount(); ++row) {
        if (list->item(row, 0)->data(Qt::UserRole).toInt() == id) {
            emit list->itemDoubleClicked(list->item(row, 1));
            QCOMPARE(window.shownDatabaseId(), id);
            return;
        }
    }
    QFAIL("the dive is not listed");
}

} // namespace testkit
