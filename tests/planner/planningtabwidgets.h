#pragma once

#include "mainwindow.h"

#include "graphics/graphview.h"
#include "graphics/tissuesgraph.h"

#include <QIcon>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>

// The planning tab's widgets as its tests reach them: by name, and the
// buttons with the mouse.
namespace planningtabkit {

template<typename Widget>
Widget* child(MainWindow& window, const char* name)
{
    auto* widget = window.findChild<Widget*>(QLatin1String(name));
    if (!widget)
        qFatal("no %s in the window", name);
    return widget;
}

inline void click(MainWindow& window, const char* button)
{
    QTest::mouseClick(child<QPushButton>(window, button), Qt::LeftButton);
}

// Makes the dive of a row of the dive table current, as a person does: a
// double-click on its name (the first column holds the effort button), which
// the window system delivers as a click, then a press that comes as a
// double-click too (the view takes a lone double-click for a press).
inline void chooseDive(MainWindow& window, int row)
{
    auto* dives = child<QTableWidget>(window, "tblDives");
    QWidget* viewport = dives->viewport();
    const QPoint at = dives->visualRect(dives->model()->index(row, 1)).center();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
    QTest::mousePress(viewport, Qt::LeftButton, {}, at);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
}

// The name the dive table shows on a row.
inline QString diveName(MainWindow& window, int row)
{
    const QTableWidgetItem* item = child<QTableWidget>(window, "tblDives")->item(row, 1);
    return item ? item->text() : QString();
}

inline QPushButton* effortButton(MainWindow& window, int row)
{
    return qobject_cast<QPushButton*>(child<QTableWidget>(window, "tblDives")->cellWidget(row, 0));
}

inline bool showsIcon(const QPushButton* button, const QString& path)
{
    return button->icon().pixmap(16).toImage() == QIcon(path).pixmap(16).toImage();
}

// What the tab shows that a plan without dives does not: empty when it shows
// no dive, no points, no run table and no tissues, with the controls that
// write to the current dive disabled.
inline QString startStateProblem(MainWindow& window)
{
    if (window.planningView()->getDiveProfile() != nullptr)
        return QStringLiteral("a dive is shown");
    if (!diveName(window, 0).isEmpty() || effortButton(window, 0))
        return QStringLiteral("the first row holds a dive");
    for (const char* control : {"spSurfPressure", "cbWaterType", "cbGases", "edSurfaceInterval", "btNewReplace"})
        if (child<QWidget>(window, control)->isEnabled())
            return QStringLiteral("%1 is enabled").arg(QLatin1String(control));
    if (child<QTableView>(window, "tblViewlDivePoints")->model()->rowCount() != 0)
        return QStringLiteral("points are listed");
    if (!child<QTextEdit>(window, "runtime")->toPlainText().isEmpty())
        return QStringLiteral("a run table is shown");
    if (window.tissuesGraph()->values()[0] != 0.0f)
        return QStringLiteral("tissues are shown");
    return {};
}

} // namespace planningtabkit
