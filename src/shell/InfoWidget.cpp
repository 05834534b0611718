#include "shell/InfoWidget.h"

InfoWidget::InfoWidget(QWidget* parent)
    : CSplitter(Qt::Vertical, parent)
    , dataViewer(this)
    , eventHandler(this)
    , cursorWidget(this)
{
    setObjectName(QStringLiteral("InfoWidget"));
}

InfoWidget::~InfoWidget() = default;
