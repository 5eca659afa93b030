#include "planner/tbldivepointsmodel.h"

#include "common/timetexts.h"
#include "common/wholenumbers.h"
#include "divemodel/dive.h"
#include "planner/planificationplan.h"

#include <QBrush>
#include <QHeaderView>
#include <QPainter>
#include <QPixmap>
#include <QTableView>

#include <cmath>
#include <limits>

namespace {

constexpr int kIconSize = 18;

} // namespace

TblDivePointsModel::TblDivePointsModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

int TblDivePointsModel::rowCount(const QModelIndex& parent) const
{
    const Dive* dive = mPlan ? mPlan->currentDiveProfile() : nullptr;
    return parent.isValid() || !dive ? 0 : int(dive->lines.size());
}

int TblDivePointsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TblDivePointsModel::data(const QModelIndex& index, int role) const
{
    const Dive* dive = mPlan ? mPlan->currentDiveProfile() : nullptr;
    if (!dive || !index.isValid() || index.row() >= dive->lines.size())
        return {};
    const DiveLine& point = dive->lines.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        if (index.column() == TimeColumn)
            return formatTimeSecondes(wholeSeconds(point.timeSec));
        if (index.column() == DepthColumn)
            return point.depth;
        return {};
    case Qt::EditRole:
        if (index.column() == TimeColumn)
            return point.timeSec;
        if (index.column() == DepthColumn)
            return point.depth;
        return {};
    case Qt::DecorationRole:
        return index.column() == DeleteColumn ? QVariant(deleteIcon(index.row())) : QVariant();
    case Qt::BackgroundRole:
        return index.row() % 2 == 0 ? QVariant(QBrush(Qt::lightGray)) : QVariant();
    default:
        return {};
    }
}

QVariant TblDivePointsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return QString::number(section);
    if (section == DepthColumn)
        return tr("Depth");
    if (section == TimeColumn)
        return tr("Time");
    if (section == GasColumn)
        return tr("Gas");
    return {};
}

Qt::ItemFlags TblDivePointsModel::flags(const QModelIndex& index) const
{
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

void TblDivePointsModel::updateView(int row)
{
    if (row < 0) {
        beginResetModel();
        endResetModel();
        return;
    }
    emit dataChanged(this->index(row, DeleteColumn), this->index(row, TimeColumn), {Qt::DisplayRole});
}

const QPixmap& TblDivePointsModel::deleteIcon(int row) const
{
    // Made once, to the size of the first cell that shows it; a row not laid
    // out yet has the header's default height.
    if (mDeleteIcon.isNull()) {
        const int width = mView ? mView->columnWidth(DeleteColumn) : kIconSize;
        int height = mView ? mView->rowHeight(row) : kIconSize;
        if (height <= 0 && mView)
            height = mView->verticalHeader()->defaultSectionSize();
        mDeleteIcon = QPixmap(std::max(width, kIconSize), std::max(height, kIconSize));
        mDeleteIcon.fill(Qt::transparent);
        QPainter painter(&mDeleteIcon);
        painter.drawPixmap(QRect((mDeleteIcon.width() - kIconSize) / 3, (mDeleteIcon.height() - kIconSize) / 2,
                                 kIconSize, kIconSize),
                           QPixmap(QStringLiteral(":/TestGraphics/icons/cancel.png")));
    }
    return mDeleteIcon;
}
