#include "widgets/CSplitter.h"

#include "SideButtons.h"

QSplitterHandle* CSplitter::createHandle() { return new CSplitterHandle(orientation(), this); }

void CSplitter::mousePressEvent(QMouseEvent* event)
{
    if (!passSideButton(event))
        QSplitter::mousePressEvent(event);
}

void CSplitter::mouseReleaseEvent(QMouseEvent* event)
{
    if (!passSideButton(event))
        QSplitter::mouseReleaseEvent(event);
}

void CSplitterHandle::mousePressEvent(QMouseEvent* event)
{
    if (!passSideButton(event))
        QSplitterHandle::mousePressEvent(event);
}

void CSplitterHandle::mouseReleaseEvent(QMouseEvent* event)
{
    if (!passSideButton(event))
        QSplitterHandle::mouseReleaseEvent(event);
}
