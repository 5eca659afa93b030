#include "planner/pointtablecolumns.h"

#include <QHeaderView>
#include <QTableView>

namespace {

// Beyond this many changed rows the column is measured again as a whole,
// which measures at most the header's precision in rows.
constexpr int kRowsMeasuredOneByOne = 8;

} // namespace

PointTableColumns::PointTableColumns(QTableView& table, const QList<int>& columns)
    : QObject(&table)
    , mTable(table)
    , mColumns(columns)
{
    QHeaderView* header = table.horizontalHeader();
    for (const int column : std::as_const(mColumns))
        header->setSectionResizeMode(column, QHeaderView::Fixed);
    QAbstractItemModel* model = table.model();
    connect(model, &QAbstractItemModel::modelReset, this, &PointTableColumns::fitWhole);
    connect(model, &QAbstractItemModel::headerDataChanged, this, &PointTableColumns::fitWhole);
    connect(model, &QAbstractItemModel::dataChanged, this, &PointTableColumns::fitRows);
    fitWhole();
}

void PointTableColumns::fitWhole()
{
    for (const int column : std::as_const(mColumns))
        mTable.resizeColumnToContents(column);
}

void PointTableColumns::fitRows(const QModelIndex& topLeft, const QModelIndex& bottomRight)
{
    if (bottomRight.row() - topLeft.row() >= kRowsMeasuredOneByOne) {
        fitWhole();
        return;
    }
    QHeaderView* header = mTable.horizontalHeader();
    // As the view measures a column: its cells and the grid line beside them.
    const int grid = mTable.showGrid() ? 1 : 0;
    for (const int column : std::as_const(mColumns)) {
        if (column < topLeft.column() || column > bottomRight.column())
            continue;
        int needed = header->sectionSize(column);
        for (int row = topLeft.row(); row <= bottomRight.row(); ++row)
            needed = std::max(needed, mTable.sizeHintForIndex(topLeft.sibling(row, column)).width() + grid);
        if (needed > header->sectionSize(column))
            header->resizeSection(column, needed);
    }
}
