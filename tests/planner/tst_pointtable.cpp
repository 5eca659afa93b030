#include "testenvironment.h"

#include "plantestsupport.h"
#include "planner/spinboxdelegate.h"
#include "planner/tbldivepointsmodel.h"

#include <QDoubleSpinBox>
#include <QSignalSpy>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QTimeEdit>

#include <memory>

using namespace plantest;

namespace {

// A plan whose current dive has four points, shown in a table view.
struct PointTable
{
    RecordedPlan plan;
    TblDivePointsModel model;
    QTableView view;

    PointTable()
    {
        addDive(plan, points({{0, 0}, {60, 20}, {125.5, 18.25}, {4500, 6}}));
        model.setPlan(&plan);
        model.setView(&view);
        view.setModel(&model);
    }

    QModelIndex index(int row, int column) const { return model.index(row, column); }
};

} // namespace

// The point table: the model over the plan's current dive and its editors.
class PointTableTest : public QObject
{
    Q_OBJECT

private slots:
    void values_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("role");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("depth shown") << 2 << 1 << int(Qt::DisplayRole) << QVariant(18.25);
        QTest::newRow("time shown as text") << 2 << 2 << int(Qt::DisplayRole) << QVariant(QStringLiteral("02:05"));
        QTest::newRow("time past an hour") << 3 << 2 << int(Qt::DisplayRole) << QVariant(QStringLiteral("01:15:00"));
        QTest::newRow("depth to edit") << 2 << 1 << int(Qt::EditRole) << QVariant(18.25);
        QTest::newRow("time to edit, in seconds") << 2 << 2 << int(Qt::EditRole) << QVariant(125.5);
        QTest::newRow("no text for the icon") << 1 << 0 << int(Qt::DisplayRole) << QVariant();
        QTest::newRow("no gas") << 1 << 3 << int(Qt::DisplayRole) << QVariant();
        QTest::newRow("even rows are grey") << 2 << 3 << int(Qt::BackgroundRole) << QVariant(QBrush(Qt::lightGray));
        QTest::newRow("odd rows are not") << 1 << 3 << int(Qt::BackgroundRole) << QVariant();
        QTest::newRow("no icon beside the delete column") << 1 << 1 << int(Qt::DecorationRole) << QVariant();
        QTest::newRow("past the last row") << 4 << 1 << int(Qt::DisplayRole) << QVariant();
    }

    void values()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(int, role);
        QFETCH(QVariant, value);
        PointTable table;
        QCOMPARE(table.model.rowCount(), 4);
        QCOMPARE(table.model.columnCount(), 4);
        QCOMPARE(table.model.data(table.model.index(row, column), role), value);
    }

    void deleteIconOnEveryRow()
    {
        PointTable table;
        for (int row = 0; row < 4; ++row) {
            const QPixmap icon = table.model.data(table.index(row, 0), Qt::DecorationRole).value<QPixmap>();
            QVERIFY(!icon.isNull());
            QVERIFY(icon.width() >= 18 && icon.height() >= 18);
        }
        QVERIFY(table.model.flags(table.index(0, 0)).testFlag(Qt::ItemIsEditable));
    }

    void headersWithoutDive()
    {
        TblDivePointsModel model;
        QCOMPARE(model.rowCount(), 0);
        PlanificationPlan plan;
        model.setPlan(&plan);
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QString());
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Depth"));
        QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("Time"));
        QCOMPARE(model.headerData(3, Qt::Horizontal).toString(), QStringLiteral("Gas"));
        QCOMPARE(model.headerData(5, Qt::Vertical).toString(), QStringLiteral("5"));
        QCOMPARE(model.headerData(1, Qt::Horizontal, Qt::ToolTipRole), QVariant());
    }

    void updates()
    {
        PointTable table;
        QSignalSpy reset(&table.model, &QAbstractItemModel::modelReset);
        QSignalSpy changed(&table.model, &QAbstractItemModel::dataChanged);
        table.model.updateView(2);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.first().at(0).toModelIndex(), table.index(2, 0));
        QCOMPARE(changed.first().at(1).toModelIndex(), table.index(2, 2));
        QCOMPARE(changed.first().at(2).value<QList<int>>(), QList<int>{Qt::DisplayRole});
        table.model.updateView(-1);
        QCOMPARE(reset.size(), 1);
    }

    // The editor of each cell: none for the first point, the icon and the gas.
    void editors_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("editor");
        QTest::newRow("first point's depth") << 0 << 1 << QString();
        QTest::newRow("first point's time") << 0 << 2 << QString();
        QTest::newRow("delete icon") << 1 << 0 << QString();
        QTest::newRow("depth") << 1 << 1 << QStringLiteral("QDoubleSpinBox");
        QTest::newRow("time") << 1 << 2 << QStringLiteral("QTimeEdit");
        QTest::newRow("gas") << 1 << 3 << QString();
    }

    void editors()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, editor);
        PointTable table;
        SpinBoxDelegate delegate;
        QWidget parent;
        std::unique_ptr<QWidget> made(delegate.createEditor(&parent, QStyleOptionViewItem(), table.index(row, column)));
        QCOMPARE(made ? QString::fromLatin1(made->metaObject()->className()) : QString(), editor);
        if (auto* depth = qobject_cast<QDoubleSpinBox*>(made.get())) {
            QCOMPARE(depth->minimum(), 0.0);
            QCOMPARE(depth->maximum(), 300.0); // the deepest the plan computes
            QVERIFY(!depth->hasFrame());
        }
    }

    void depthEditor()
    {
        PointTable table;
        SpinBoxDelegate delegate;
        QList<std::pair<int, double>> calls;
        delegate.depthCallback = [&calls](int row, double& depth) {
            calls.append({row, depth});
            return false;
        };
        QWidget parent;
        std::unique_ptr<QWidget> made(delegate.createEditor(&parent, QStyleOptionViewItem(), table.index(2, 1)));
        auto* editor = qobject_cast<QDoubleSpinBox*>(made.get());
        delegate.setEditorData(editor, table.index(2, 1));
        delegate.setEditorData(editor, table.index(2, 1));
        QCOMPARE(editor->value(), 18.25);
        QCOMPARE(editor->property("id").toInt(), 2);
        QVERIFY(calls.isEmpty()); // filling is no edit
        editor->setValue(320); // the editor's bounds
        QCOMPARE(calls, (QList<std::pair<int, double>>{{2, 300.0}}));
    }

    // A time out of the neighbours' range is put back to the kept time,
    // once, however often the view filled the editor.
    void timeEditor()
    {
        PointTable table;
        SpinBoxDelegate delegate;
        QList<std::pair<int, double>> calls;
        delegate.timeCallback = [&calls](int row, double& time) {
            calls.append({row, time});
            if (time <= 60)
                return false;
            time = 60; // the neighbour's time
            return true;
        };
        QWidget parent;
        std::unique_ptr<QWidget> made(delegate.createEditor(&parent, QStyleOptionViewItem(), table.index(2, 2)));
        auto* editor = qobject_cast<QTimeEdit*>(made.get());
        delegate.setEditorData(editor, table.index(2, 2));
        delegate.setEditorData(editor, table.index(2, 2));
        QCOMPARE(editor->displayFormat(), QStringLiteral("mm:ss"));
        QCOMPARE(editor->time(), QTime(0, 2, 5));
        QVERIFY(calls.isEmpty());

        QSignalSpy timeChanged(editor, &QTimeEdit::timeChanged);
        editor->setTime(QTime(0, 1, 30));
        QCOMPARE(calls, (QList<std::pair<int, double>>{{2, 90.0}}));
        QCOMPARE(editor->time(), QTime(0, 1, 0));
        QCOMPARE(timeChanged.size(), 1); // the correction goes out silently
    }

    // A point past the first hour is edited with its hours.
    void timeEditorPastAnHour()
    {
        PointTable table;
        SpinBoxDelegate delegate;
        double received = 0;
        delegate.timeCallback = [&received](int, double& time) {
            received = time;
            return false;
        };
        QWidget parent;
        std::unique_ptr<QWidget> made(delegate.createEditor(&parent, QStyleOptionViewItem(), table.index(3, 2)));
        auto* editor = qobject_cast<QTimeEdit*>(made.get());
        delegate.setEditorData(editor, table.index(3, 2));
        QCOMPARE(editor->displayFormat(), QStringLiteral("hh:mm:ss"));
        QCOMPARE(editor->text(), QStringLiteral("01:15:00"));
        editor->setCurrentSection(QDateTimeEdit::MinuteSection);
        editor->stepBy(1);
        QCOMPARE(received, 4560.0);
    }

    void editorTakesTheCell()
    {
        SpinBoxDelegate delegate;
        QWidget editor;
        QStyleOptionViewItem option;
        option.rect = QRect(10, 20, 80, 24);
        delegate.updateEditorGeometry(&editor, option, QModelIndex());
        QCOMPARE(editor.geometry(), QRect(10, 20, 80, 24));
    }
};

MAREVANE_TEST_MAIN(PointTableTest)
#include "tst_pointtable.moc"
