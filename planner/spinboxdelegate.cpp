#include "planner/spinboxdelegate.h"

#include "common/timetexts.h"
#include "common/wholenumbers.h"
#include "planner/planlimits.h"
#include "planner/tbldivepointsmodel.h"

#include <QDoubleSpinBox>
#include <QSignalBlocker>
#include <QTimeEdit>

namespace {

// The dynamic property of an editor that holds its row.
constexpr const char* kRowProperty = "id";

int rowOf(const QWidget* editor)
{
    return editor->property(kRowProperty).toInt();
}

// Minutes and seconds, with the hours of a point past the first hour.
QString timeFormatOf(int seconds)
{
    return seconds >= 3600 ? QStringLiteral("hh:mm:ss") : QStringLiteral("mm:ss");
}

} // namespace

SpinBoxDelegate::SpinBoxDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
{
}

QWidget* SpinBoxDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const
{
    if (index.row() == 0)
        return nullptr;
    // Connected once here: the view may fill an open editor again.
    if (index.column() == TblDivePointsModel::DepthColumn) {
        auto* editor = new QDoubleSpinBox(parent);
        editor->setFrame(false);
        editor->setRange(0.0, planlimits::deepestDepth());
        connect(editor, &QDoubleSpinBox::valueChanged, this,
                [this, editor](double depth) { depthEdited(editor, depth); });
        return editor;
    }
    if (index.column() == TblDivePointsModel::TimeColumn) {
        auto* editor = new QTimeEdit(parent);
        connect(editor, &QTimeEdit::timeChanged, this, [this, editor](QTime time) { timeEdited(editor, time); });
        return editor;
    }
    return nullptr;
}

void SpinBoxDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    const QSignalBlocker blocker(editor);
    const double value = index.data(Qt::EditRole).toDouble();
    if (auto* timeEditor = qobject_cast<QTimeEdit*>(editor)) {
        const int seconds = truncatedInt(value);
        timeEditor->setDisplayFormat(timeFormatOf(seconds));
        timeEditor->setTime(qtimeFromSecondes(seconds));
    } else if (auto* depthEditor = qobject_cast<QDoubleSpinBox*>(editor)) {
        depthEditor->setValue(value);
    }
    editor->setProperty(kRowProperty, index.row());
}

void SpinBoxDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                           const QModelIndex&) const
{
    editor->setGeometry(option.rect);
}

void SpinBoxDelegate::depthEdited(QWidget* editor, double depth) const
{
    if (depthCallback)
        depthCallback(rowOf(editor), depth);
}

void SpinBoxDelegate::timeEdited(QWidget* editor, QTime time) const
{
    if (!timeCallback)
        return;
    double seconds = QTime(0, 0).secsTo(time);
    if (timeCallback(rowOf(editor), seconds)) {
        // Shows the time the point kept.
        auto* timeEditor = static_cast<QTimeEdit*>(editor);
        const QSignalBlocker blocker(timeEditor);
        timeEditor->setTime(qtimeFromSecondes(truncatedInt(seconds)));
    }
}
