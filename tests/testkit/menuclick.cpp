#include "menuclick.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
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
    const QStringList steps = path.split('/');
    for (qsizetype i = 0; i < steps.size(); ++i) {
        QMenu* menu = shownMenu();
        QAction* action = menu ? shownAction(*menu, steps.at(i)) : nullptr;
        if (!action)
            return false;
        const QPoint centre = menu->actionGeometry(action).center();
        QTest::mouseMove(menu, centre);
        if (action->menu()) {
            // Resting the mouse on a submenu's entry opens it after a delay;
            // making the entry active opens it at once.
            menu->setActiveAction(action);
            if (!action->menu()->isVisible())
                return false;
            continue;
        }
        QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, centre);
    }
    return true;
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
