#include "widgets/CTreeWidget.h"

#include "SideButtons.h"
#include "widgets/ItemViewCopy.h"
#include "widgets/ToolTipDelegate.h"

CTreeWidget::CTreeWidget(QWidget* parent)
    : QTreeWidget(parent)
{
    auto* header = new CHeaderView(Qt::Horizontal, this);
    header->setSectionsMovable(true);
    header->setStretchLastSection(true);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setHeader(header);
    setItemDelegate(new ToolTipDelegate(this));
    ItemViewCopy::install(this);
}

void CTreeWidget::mousePressEvent(QMouseEvent* event)
{
    if (!passSideButton(event))
        QTreeWidget::mousePressEvent(event);
}

void CTreeWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (!passSideButton(event))
        QTreeWidget::mouseReleaseEvent(event);
}

void CHeaderView::mousePressEvent(QMouseEvent* event)
{
    if (!passSideButton(event))
        QHeaderView::mousePressEvent(event);
}

void CHeaderView::mouseReleaseEvent(QMouseEvent* event)
{
    if (!passSideButton(event))
        QHeaderView::mouseReleaseEvent(event);
}
