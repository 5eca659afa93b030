#pragma once

#include <QStyledItemDelegate>

#include <functional>

// The editors of the point table: a depth spin box and a time editor. Every
// change of an editor goes at once to a callback with the editor's row;
// nothing is written back when the editor closes. Row 0, the first point,
// gets no editor. The depth editor reaches as deep as the planner computes.
class SpinBoxDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    // (row, value): the new depth in metres or time in seconds. The time
    // callback may change the value to the time it kept and then returns true.
    using Callback = std::function<bool(int row, double& value)>;

    explicit SpinBoxDelegate(QObject* parent = nullptr);

    Callback depthCallback;
    Callback timeCallback;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    // Fills the editor with signals blocked: filling is no edit.
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

private:
    void depthEdited(QWidget* editor, double depth) const;
    void timeEdited(QWidget* editor, QTime time) const;
};
