#include "divelisttable.h"

#include "common/timetexts.h"
#include "common/wholenumbers.h"
#include "divedb/divedb.h"
#include "common/widgethelpers.h"

#include "divetexts.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>

#include <algorithm>
#include <cmath>
#include <set>

namespace {

constexpr int kGroupRowId = -1;

bool sameComputer(const DiveInfo& a, const DiveInfo& b)
{
    return a.serial == b.serial && a.computer == b.computer;
}

void setWeight(QTableWidgetItem& item, QFont::Weight weight)
{
    QFont font = item.font();
    font.setWeight(weight);
    item.setFont(font);
}

} // namespace

QList<DiveListTable::Group> DiveListTable::groupsOf(const QList<DiveInfo>& dives)
{
    QList<Group> groups;
    for (int i = 0; i < dives.size(); ++i) {
        if (groups.isEmpty() || !sameComputer(dives.at(i), dives.at(groups.last().first)))
            groups.append(Group{i, 0});
        ++groups.last().count;
    }
    return groups;
}

int DiveListTable::fill(const QList<DiveInfo>& dives, int shownId)
{
    // The rows come from this walk over the groups, so that no dive row
    // ever falls outside the table.
    const QList<Group> groups = groupsOf(dives);
    const bool updates = mTable.updatesEnabled();
    mTable.setUpdatesEnabled(false);
    mTable.clearSpans();
    mTable.setRowCount(0);
    mTable.setColumnCount(ColumnCount);
    setHeader();
    mTable.setRowCount(int(groups.size() + dives.size()));

    int row = 0;
    for (const Group& group : groups) {
        putGroupRow(row++, dives.at(group.first), group.count);
        for (int i = group.first; i < group.first + group.count; ++i) {
            putDiveRow(row, dives.at(i));
            if (dives.at(i).id == shownId)
                emphasiseRow(row, true);
            ++row;
        }
    }
    fitColumns();
    mTable.setUpdatesEnabled(updates);
    return int(groups.size());
}

void DiveListTable::setHeader()
{
    mTable.setHorizontalHeaderLabels({tr("Dive Id"), tr("Date/Time"), tr("Duration"), tr("Depth")});
}

void DiveListTable::putGroupRow(int row, const DiveInfo& first, int diveCount)
{
    auto* item = new QTableWidgetItem(groupText(first, diveCount));
    item->setData(Qt::UserRole, kGroupRowId);
    item->setBackground(QBrush(QColor(155, 201, 255)));
    setWeight(*item, QFont::Bold);
    mTable.setItem(row, NameColumn, item);
    mTable.setSpan(row, NameColumn, 1, ColumnCount);
}

void DiveListTable::putDiveRow(int row, const DiveInfo& dive)
{
    QTableWidgetItem* name = centredTableItem(dive.name);
    name->setData(Qt::UserRole, dive.id);
    mTable.setItem(row, NameColumn, name);
    mTable.setItem(row, DateColumn, centredTableItem(dive.dateTime.toString("dd/MM/yyyy hh:mm:ss")));
    mTable.setItem(row, DurationColumn, centredTableItem(formatTimeSecondes(wholeSeconds(dive.maxTime))));
    mTable.setItem(row, DepthColumn, centredTableItem(depthText(dive.maxDepth)));
}

QTableWidgetItem* DiveListTable::nameItem(QTableWidgetItem* item) const
{
    return item ? mTable.item(item->row(), NameColumn) : nullptr;
}

int DiveListTable::diveIdOf(QTableWidgetItem* item) const
{
    const QTableWidgetItem* name = nameItem(item);
    return name ? name->data(Qt::UserRole).toInt() : kGroupRowId;
}

QTableWidgetItem* DiveListTable::itemOfDive(int id) const
{
    if (id < 0)
        return nullptr;
    for (int row = 0; row < mTable.rowCount(); ++row) {
        QTableWidgetItem* name = mTable.item(row, NameColumn);
        if (name && name->data(Qt::UserRole).toInt() == id)
            return name;
    }
    return nullptr;
}

QList<int> DiveListTable::selectedDiveIds() const
{
    std::set<int> rows;
    for (const QModelIndex& index : mTable.selectionModel()->selectedIndexes())
        rows.insert(index.row());
    QList<int> ids;
    for (const int row : rows) {
        const int id = diveIdOf(mTable.item(row, NameColumn));
        if (id >= 0)
            ids.append(id);
    }
    return ids;
}

void DiveListTable::highlight(QTableWidgetItem* item)
{
    for (int row = 0; row < mTable.rowCount(); ++row) {
        const QTableWidgetItem* name = mTable.item(row, NameColumn);
        if (name && name->data(Qt::UserRole).toInt() >= 0 && name->font().weight() > QFont::Medium)
            emphasiseRow(row, false);
    }
    if (item)
        emphasiseRow(item->row(), true);
}

void DiveListTable::fitColumns()
{
    for (int column = NameColumn; column < ColumnCount; ++column)
        mTable.horizontalHeader()->resizeSection(column, fittingColumnWidth(column));
}

int DiveListTable::fittingColumnWidth(int column) const
{
    return std::max(mTable.horizontalHeader()->sectionSizeHint(column), columnTextWidth(column));
}

int DiveListTable::columnTextWidth(int column) const
{
    // Measured in bold, as the opened dive shows its row: opening a dive
    // never cuts it. Group rows span the table and are no column's text.
    QFont bold = mTable.font();
    bold.setWeight(QFont::Bold);
    // A text wider than its room by a fraction of a pixel wraps.
    const QFontMetricsF metrics(bold);
    qreal widest = 0;
    for (int row = 0; row < mTable.rowCount(); ++row) {
        const QTableWidgetItem* cell = mTable.item(row, column);
        if (cell && mTable.columnSpan(row, column) == 1)
            widest = std::max(widest, metrics.horizontalAdvance(cell->text()));
    }
    // The view keeps a margin on each side of a text and a line between
    // columns.
    const int margin = mTable.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &mTable) + 1;
    return int(std::ceil(widest)) + 2 * margin + (mTable.showGrid() ? 1 : 0);
}

int DiveListTable::fittingWidth() const
{
    int columns = 0;
    for (int column = NameColumn; column < ColumnCount; ++column)
        columns += fittingColumnWidth(column);
    return columns + 2 * mTable.frameWidth() + mTable.verticalScrollBar()->sizeHint().width();
}

void DiveListTable::emphasiseRow(int row, bool highlighted)
{
    for (int column = 0; column < ColumnCount; ++column) {
        QTableWidgetItem* cell = mTable.item(row, column);
        if (!cell)
            continue;
        setWeight(*cell, highlighted ? QFont::Bold : QFont::Normal);
        cell->setForeground(highlighted ? Qt::blue : Qt::black);
    }
}

QString DiveListTable::counterText(int groupCount, int diveCount)
{
    return QStringLiteral("%1 %2 / %3 %4")
        .arg(QString::number(groupCount), groupCount > 1 ? tr("Computers") : tr("Computer"),
             QString::number(diveCount), tr("Dives"));
}

QString DiveListTable::groupText(const DiveInfo& dive, int diveCount)
{
    // The stand-ins are stored in English and shown in the chosen language.
    const QString computer = dive.computer.isEmpty() || dive.computer == DiveDb::storedComputerName({})
                                 ? tr("No name")
                                 : dive.computer;
    const QString serial = dive.serial == DiveDb::storedSerial({}) ? tr("No serial number") : dive.serial;
    return computer + " - " + serial + " - " + tr("%n dives", nullptr, diveCount);
}

SortField DiveListTable::sortFieldOf(int column)
{
    switch (column) {
    case DepthColumn: return SortField::MaxDepth;
    case DurationColumn: return SortField::Duration;
    default: return SortField::Date;
    }
}

const char* DiveListTable::sortOrderProperty(int column)
{
    switch (column) {
    case DepthColumn: return "sortOrderDepth";
    case DurationColumn: return "sortOrderDuration";
    default: return "sortOrderDate";
    }
}
