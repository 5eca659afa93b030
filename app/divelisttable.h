#pragma once

#include "divedb/diveinfo.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

class QTableWidget;
class QTableWidgetItem;

// The rows of the dive list: a group row ahead of the dives of each computer,
// then one row per dive whose first cell carries the dive's database id
// (Qt::UserRole; -1 on group rows). Item pointers do not survive a fill.
class DiveListTable
{
    Q_DECLARE_TR_FUNCTIONS(DiveListTable)

public:
    enum Column : int { NameColumn = 0, DateColumn, DurationColumn, DepthColumn, ColumnCount };

    explicit DiveListTable(QTableWidget& table)
        : mTable(table)
    {
    }

    // Rebuilds the header and every row from dives listed computer by
    // computer, the dive `shownId` highlighted; returns the number of groups.
    int fill(const QList<DiveInfo>& dives, int shownId);

    // The first cell of the item's row; null for null.
    QTableWidgetItem* nameItem(QTableWidgetItem* item) const;
    // The database id of the item's row; -1 for a group row or no item.
    int diveIdOf(QTableWidgetItem* item) const;
    // The first cell of the dive's row, or null.
    QTableWidgetItem* itemOfDive(int id) const;
    // The ids of the selected dive rows, each once, in row order.
    QList<int> selectedDiveIds() const;
    // Shows the item's row in bold blue and every other dive row plainly;
    // null leaves no row highlighted.
    void highlight(QTableWidgetItem* item);
    // Each column as wide as its title and its widest text, in bold as the
    // opened dive shows it; the name column comes first, in view whole.
    void fitColumns();
    // The width of the table whose every column shows its widest text whole.
    int fittingWidth() const;

    // "2 Computers / 14 Dives".
    static QString counterText(int groupCount, int diveCount);

    // The sort that a header column stands for (the date for any other
    // column), and the list's property that keeps its direction.
    static SortField sortFieldOf(int column);
    static const char* sortOrderProperty(int column);
    // The list's property that keeps the column sorted by.
    static constexpr const char* kSortColumnProperty = "sortColumn";

private:
    // A run of consecutive dives of one computer (same serial and name).
    struct Group
    {
        int first = 0; // index of its first dive
        int count = 0;
    };

    // Every dive is in one group.
    static QList<Group> groupsOf(const QList<DiveInfo>& dives);
    // The computer's name ("No name" when empty), its serial and its number
    // of dives.
    static QString groupText(const DiveInfo& dive, int diveCount);
    void setHeader();
    void putGroupRow(int row, const DiveInfo& first, int diveCount);
    void putDiveRow(int row, const DiveInfo& dive);
    void emphasiseRow(int row, bool highlighted);
    // The width of the column's title or of its widest text, whichever is
    // wider.
    int fittingColumnWidth(int column) const;
    int columnTextWidth(int column) const;

    QTableWidget& mTable;
};
