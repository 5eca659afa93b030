#pragma once

#include "mainwindow.h"

#include <QFont>
#include <QStringList>
#include <QTableWidget>

// The main window's dive list as the tests read it.
namespace testkit {

inline QTableWidget* list(MainWindow& window)
{
    return window.findChild<QTableWidget*>("diveList");
}

// The names of the dive rows, in row order.
inline QStringList rowNames(MainWindow& window)
{
    QStringList names;
    QTableWidget* dives = list(window);
    for (int row = 0; row < dives->rowCount(); ++row) {
        if (dives->item(row, 0)->data(Qt::UserRole).toInt() >= 0)
            names.append(dives->item(row, 0)->text());
    }
    return names;
}

// The dive rows whose every cell is bold.
inline QStringList boldDives(MainWindow& window)
{
    QStringList names;
    QTableWidget* dives = list(window);
    for (int row = 0; row < dives->rowCount(); ++row) {
        bool bold = dives->item(row, 0)->data(Qt::UserRole).toInt() >= 0;
        for (int column = 0; column < dives->columnCount() && bold; ++column)
            bold = dives->item(row, column)->font().weight() == QFont::Bold;
        if (bold)
            names.append(dives->item(row, 0)->text());
    }
    return names;
}

// The first cell that shows `name`, or null.
inline QTableWidgetItem* itemOf(MainWindow& window, const QString& name)
{
    const QList<QTableWidgetItem*> found = list(window)->findItems(name, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

} // namespace testkit
