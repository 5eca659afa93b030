#pragma once

#include "mainwindow.h"

#include "graphics/graphview.h"
#include "graphics/tissuesgraph.h"

#include <QIcon>
#include <QMouseEvent>
#include <QPushButton>
#include <QSize>
#include <QTabWidget>
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

// The window shown with the planning tab, at `size` when it is valid (else
// at its default size) or maximised, and exposed.
inline bool showPlanningTab(MainWindow& window, const QSize& size = QSize(), bool maximised = false)
{
    if (size.isValid())
        window.resize(size);
    child<QTabWidget>(window, "tabMain")->setCurrentIndex(1);
    if (maximised)
        window.showMaximized();
    else
        window.show();
    return QTest::qWaitForWindowExposed(&window);
}

// Opens the editor of a point table cell with a double-click, as a person does.
template<typename Editor>
Editor* openEditor(MainWindow& window, int row, int column)
{
    auto* table = child<QTableView>(window, "tblViewlDivePoints");
    const QPoint at = table->visualRect(table->model()->index(row, column)).center();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
    return table->viewport()->findChild<Editor*>();
}

// The viewport point of the planning graph's point of sample `index`.
inline QPoint viewPointOf(MainWindow& window, int index)
{
    GraphView* view = window.planningView();
    return view->mapFromScene(view->mProfile->getDivePointAtIndex(index)->scenePos());
}

// The viewport point of a time (s) and a depth (m) on the planning graph.
inline QPoint viewPointAt(MainWindow& window, double time, double depth)
{
    GraphView* view = window.planningView();
    return view->mapFromScene(view->mProfile->timeDepthToGraphCoordinates(time, depth));
}

// A mouse event on the planning graph as the window system sends it, with
// the buttons held and no modifier (QTest gives a move no button).
inline void sendToGraph(MainWindow& window, QEvent::Type type, const QPoint& at, Qt::MouseButton button,
                        Qt::MouseButtons buttons)
{
    QWidget* viewport = window.planningView()->viewport();
    QMouseEvent event(type, at, viewport->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &event);
}

// The mouse moved over the point of sample `index`, then the left button
// pressed on it: a drag starts.
inline void pressOnPoint(MainWindow& window, int index)
{
    const QPoint at = viewPointOf(window, index);
    sendToGraph(window, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
    sendToGraph(window, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
}

// One move of a drag with the left button, then the pass of the event loop
// that comes before the next move: what the move set off is done.
inline void dragMove(MainWindow& window, const QPoint& to)
{
    sendToGraph(window, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    QCoreApplication::sendPostedEvents();
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
