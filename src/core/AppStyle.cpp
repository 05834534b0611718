#include "core/AppStyle.h"

#include "core/PixmapTools.h"

#include <QGuiApplication>
#include <QIcon>

#include <QPainter>
#include <QStyleOption>
#include <QWidget>

AppStyle::AppStyle(QStyle* style)
    : QProxyStyle(style)
{
}

void AppStyle::drawPrimitive(
    PrimitiveElement element, const QStyleOption* option, QPainter* painter, const QWidget* widget) const
{
    if (element != PE_IndicatorTabClose || !option) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }

    const int size = proxy()->pixelMetric(PM_SmallIconSize);
    const QStyle::State state = option->state;
    QIcon::Mode mode = QIcon::Disabled;
    if (state & State_Enabled)
        mode = (state & State_Raised) ? QIcon::Active : QIcon::Normal;
    if (!(state & (State_Raised | State_Sunken | State_Selected)))
        mode = QIcon::Disabled;
    const QIcon::State iconState = (state & State_Sunken) ? QIcon::On : QIcon::Off;

    const QPixmap cross = QIcon(QStringLiteral("./Icons/cross.png")).pixmap(size, mode, iconState);
    const bool hovered = widget && widget->testAttribute(Qt::WA_UnderMouse);
    const QColor colour = hovered
        ? QColor(Qt::red)
        : PixmapTools::contrastColour(QGuiApplication::palette().color(QPalette::Active, QPalette::Button));
    proxy()->drawItemPixmap(painter, option->rect, Qt::AlignCenter, PixmapTools::recoloured(cross, colour));
}
