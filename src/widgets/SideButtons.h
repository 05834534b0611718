#pragma once

#include <QMouseEvent>

// True for the mouse back and forward buttons; such events are ignored so Qt hands them to the parent.
inline bool passSideButton(QMouseEvent* event)
{
    if (event->button() != Qt::BackButton && event->button() != Qt::ForwardButton)
        return false;
    event->ignore();
    return true;
}
