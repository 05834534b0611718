#pragma once

#include <QProxyStyle>

// The application style: fusion with a tab close cross that follows the theme.
class AppStyle : public QProxyStyle {
    Q_OBJECT
public:
    explicit AppStyle(QStyle* style = nullptr);

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
        const QWidget* widget = nullptr) const override;
};
