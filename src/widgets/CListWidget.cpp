#include "widgets/CListWidget.h"

#include "SideButtons.h"

void CListWidget::mousePressEvent(QMouseEvent* event)
{
    if (!passSideButton(event))
        QListWidget::mousePressEvent(event);
}

void CListWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (!passSideButton(event))
        QListWidget::mouseReleaseEvent(event);
}
