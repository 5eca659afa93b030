#pragma once

#include <QList>
#include <QObject>

class QModelIndex;
class QTableView;

// Keeps columns of a table as wide as their header and their cells' texts
// without measuring every row whenever one changes: the whole column is
// measured when the model is reset, a changed row alone when it changes,
// and the column only widens for it. A drag changes one row a step: asking
// the header to fit its contents would measure up to a thousand rows each time.
class PointTableColumns : public QObject
{
    Q_OBJECT

public:
    // Fits `columns` of `table`'s model now and then as it changes; the
    // columns keep the width given. Parented to the table.
    PointTableColumns(QTableView& table, const QList<int>& columns);

private:
    void fitWhole();
    void fitRows(const QModelIndex& topLeft, const QModelIndex& bottomRight);

    QTableView& mTable;
    QList<int> mColumns;
};
