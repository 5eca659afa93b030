#include "menuclick.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

namespace testkit {

namespace {

QAction* shownAction(const QMenu& menu, const QString& text)
{
    for (QAction* action : menu.actions()) {
        if (action->text() == text && action->isVisible() && action->isEnabled())
            return action;
    }
    return nullptr;
}

} // namespace

void requestContextMenu(QWidget& widget, const QPoint& position)
{
    QContextMenuEvent event(QContextMenuEvent::Mouse, position, widget.mapToGlobal(position));
    QSpontaneKeyEvent::setSpontaneous(&event);
    QApplication::sendEvent(&widget, &event);
}

QMenu* shownMenu()
{
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

bool clickMenuAction(const QString& path)
{
    QMenu* menu = shownMenu();
    if (!menu)
        return false;
    QAction* action = shownAction(*menu, path);
    QString rest;
    if (!action) {
        const qsizetype slash = path.indexOf('/');
        if (slash < 0)
            return false;
        action = shownAction(*menu, path.left(slash));
        rest = path.mid(slash + 1);
        if (!action || !action->menu())
            return false;
    }
    const QPoint centre = menu->actionGeometry(action).center();
    QTest::mouseMove(menu, centre);
    if (action->menu()) {
        // Resting the mouse on a submenu's entry opens it after a delay;
        // making the entry active opens it at once.
        menu->setActiveAction(action);
        return action->menu()->isVisible() && (rest.isEmpty() || clickMenuAction(rest));
    }
    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, centre);
    return true;
}

bool clickMenuBar(QMenuBar& bar, const QString& menu, const QString& path)
{
    for (QAction* entry : bar.actions()) {
        if (entry->menu() && entry->text() == menu) {
            QTest::mouseClick(&bar, Qt::LeftButton, Qt::NoModifier, bar.actionGeometry(entry).center());
            return shownMenu() == entry->menu() && clickMenuAction(path);
        }
    }
    return false;
}

void clickInNextMenu(const QString& path, bool* clicked)
{
    *clicked = false;
    QMetaObject::invokeMethod(
        qApp,
        [path, clicked] {
            *clicked = clickMenuAction(path);
            if (!*clicked)
                closeShownMenus();
        },
        Qt::QueuedConnection);
}

void closeShownMenus()
{
    while (QMenu* menu = shownMenu())
        menu->close();
}

} // namespace testkit
