#pragma once

#include <QPoint>
#include <QString>

class QMenu;
class QMenuBar;
class QWidget;

namespace testkit {

// Right-clicks `widget` at `position` (its own coordinates) the way the
// window system reports it: a context-menu request from the mouse.
void requestContextMenu(QWidget& widget, const QPoint& position);

// The popup menu that is on screen now, the innermost when submenus are
// open; null when none is.
QMenu* shownMenu();

// Clicks with the mouse, into its rectangle, the action whose text is `path`
// in the popup menu on screen; when no action has the whole text, "csv
// separator/Comma ," opens the submenu first (an action's own "/", as in
// "Install firmware/bootloader", stays whole). Returns false when no such
// action is shown or enabled. The press
// and the release are delivered at once, without running the event loop
// afterwards: whatever the menu does inside them (a modal dialog's own event
// loop included) is over when this returns, and what it left for the event
// loop is not.
bool clickMenuAction(const QString& path);

// Opens the menu titled `menu` of the menu bar with the mouse and clicks
// `path` in it as clickMenuAction does; false when either is missing.
bool clickMenuBar(QMenuBar& bar, const QString& menu, const QString& path);

// For a menu that waits in an event loop of its own (QMenu::exec): posts
// the click of `path` so that it runs from that loop once the menu is shown;
// `clicked` tells afterwards whether it was found. A menu without it is
// closed, so that the waiting ends.
void clickInNextMenu(const QString& path, bool* clicked);

// Closes every popup menu on screen.
void closeShownMenus();

} // namespace testkit
