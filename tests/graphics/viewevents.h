#pragma once

#include "graphics/graphview.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWheelEvent>

// Mouse and wheel events sent to a profile view's viewport. They are built
// here rather than with QTest, which drops the modifiers of drags and wheels.
namespace viewevents {

// The viewport point over the graph at a fraction of its width (0 left, 1
// right), half-way down.
inline QPoint graphPoint(const GraphView& view, double fraction)
{
    const QRectF graph = view.mProfile->graphRect();
    return view.mapFromScene(QPointF(graph.left() + fraction * graph.width(), graph.center().y()));
}

inline void mouse(GraphView& view, QEvent::Type type, const QPoint& p, Qt::MouseButton button,
                  Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QMouseEvent event(type, p, view.viewport()->mapToGlobal(p), button, buttons, modifiers);
    QCoreApplication::sendEvent(view.viewport(), &event);
}

// A hover at `from`, a press there, a move to `to` and a release there, the
// last three with `modifiers`.
inline void drag(GraphView& view, const QPoint& from, const QPoint& to, Qt::MouseButton button,
                 Qt::KeyboardModifiers modifiers)
{
    mouse(view, QEvent::MouseMove, from, Qt::NoButton, Qt::NoButton);
    mouse(view, QEvent::MouseButtonPress, from, button, button, modifiers);
    mouse(view, QEvent::MouseMove, to, Qt::NoButton, button, modifiers);
    mouse(view, QEvent::MouseButtonRelease, to, button, Qt::NoButton, modifiers);
}

inline void wheel(GraphView& view, const QPoint& p, const QPoint& angleDelta, Qt::KeyboardModifiers modifiers)
{
    QWheelEvent event(p, view.viewport()->mapToGlobal(p), QPoint(), angleDelta, Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view.viewport(), &event);
}

} // namespace viewevents
