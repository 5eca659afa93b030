#pragma once

#include <QAbstractTableModel>
#include <QPixmap>

class PlanificationPlan;
class QTableView;

// The points of the plan's current dive as a table: a delete icon, the
// depth (m), the time (shown as text) and a gas column with a header only.
// Row 0 is the first point. The model keeps no state of its own: the
// planning tab resets it whenever the current dive or its points change.
class TblDivePointsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { DeleteColumn = 0, DepthColumn = 1, TimeColumn = 2, GasColumn = 3, ColumnCount = 4 };

    explicit TblDivePointsModel(QObject* parent = nullptr);

    // The plan and the view that shows the model (for the size of the delete icon).
    void setPlan(PlanificationPlan* plan) { mPlan = plan; }
    void setView(QTableView* view) { mView = view; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // A negative row resets the whole model; else that row's texts changed.
    void updateView(int row);

private:
    const QPixmap& deleteIcon(int row) const;

    PlanificationPlan* mPlan = nullptr;
    QTableView* mView = nullptr;
    mutable QPixmap mDeleteIcon;
};
