#pragma once

#include <QAction>
#include <QMenu>
#include <QObject>
#include <QString>

class QPoint;

// Context menus built for one request. A chosen action must not run its
// handler inside the menu's own mouse or key handling: a modal dialog it
// opens would run an event loop there, which frees a menu whose deletion is
// pending while Qt still handles its click. So the handlers run queued, once
// the menu has closed, and the menu frees itself when the event loop runs.

// Adds to `menu` an action whose handler runs once the menu has closed and
// the event loop has run, as long as `context` lives.
template <typename Handler>
QAction* addDeferredAction(QMenu& menu, const QString& text, const QObject* context, Handler handler)
{
    QAction* action = menu.addAction(text);
    QObject::connect(action, &QAction::triggered, context, std::move(handler), Qt::QueuedConnection);
    return action;
}

// Shows `menu` at `globalPos` without waiting for it; it is deleted once it
// has closed. Its actions are deferred ones (addDeferredAction).
void popUpTransientMenu(QMenu* menu, const QPoint& globalPos);
