#include "shell/InitialTabWidget.h"

#include "core/Application.h"

#include <QPainter>

InitialTabWidget::InitialTabWidget(QWidget* parent)
    : GWidget(parent)
{
    setObjectName(QStringLiteral("initialTab"));
    viewFileButton.setObjectName(QStringLiteral("viewFileButton"));
    compareFilesButton.setObjectName(QStringLiteral("compareFilesButton"));
}

void InitialTabWidget::paintEvent(QPaintEvent* event)
{
    GWidget::paintEvent(event);
    const QPixmap& logo = app()->logoBig;
    if (logo.isNull())
        return;
    // Stretched over the whole tab, whatever the window's shape.
    const QPixmap scaled = logo.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QPainter painter(this);
    painter.drawPixmap((width() - scaled.width()) / 2, (height() - scaled.height()) / 2, scaled);
}
