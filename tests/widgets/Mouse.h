#pragma once

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

// Mouse events sent straight to a widget: QTest's moves carry no pressed buttons on the offscreen platform.
namespace Mouse {

inline bool send(QWidget* w, QEvent::Type type, QPointF pos, Qt::MouseButton button = Qt::NoButton,
    Qt::MouseButtons buttons = Qt::NoButton, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QMouseEvent event(type, pos, w->mapToGlobal(pos.toPoint()), button, buttons, modifiers);
    QCoreApplication::sendEvent(w, &event);
    return event.isAccepted();
}

inline bool press(QWidget* w, QPointF pos, Qt::MouseButton button, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    return send(w, QEvent::MouseButtonPress, pos, button, button, modifiers);
}

inline bool move(QWidget* w, QPointF pos, Qt::MouseButtons buttons = Qt::NoButton)
{
    return send(w, QEvent::MouseMove, pos, Qt::NoButton, buttons);
}

inline bool release(QWidget* w, QPointF pos, Qt::MouseButton button)
{
    return send(w, QEvent::MouseButtonRelease, pos, button, Qt::NoButton);
}

inline void drag(QWidget* w, QPointF from, QPointF to, Qt::MouseButton button, int steps = 8)
{
    press(w, from, button);
    for (int i = 1; i <= steps; ++i)
        move(w, from + (to - from) * (double(i) / steps), button);
    release(w, to, button);
}

// A turn of the wheel by this vertical angle delta (120 a notch); with horizontal, a sideways swipe. Tells whether
// the widget took the event.
inline bool wheel(QWidget* w, QPointF pos, int delta, int horizontal = 0)
{
    QWheelEvent event(pos, w->mapToGlobal(pos.toPoint()), QPoint(), QPoint(horizontal, delta), Qt::NoButton,
        Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(w, &event);
    return event.isAccepted();
}

} // namespace Mouse
