#include "widgets/GWidget.h"

GWidget::GWidget(QWidget* parent)
    : QWidget(parent)
{
    layout = new TightGridLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    setLayout(layout);
}
