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
