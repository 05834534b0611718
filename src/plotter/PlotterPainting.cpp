#include "cursors/CursorWidget.h"
#include "plotter/ChartMath.h"
#include "plotter/Plotter.h"
#include "shell/Application.h"

#include <QFontMetrics>
#include <QPainter>

#include <KChartCartesianCoordinatePlane>

#include <algorithm>
#include <cmath>

namespace {

// What both painting passes measure first, in data units unless named pixels.
struct Geometry {
    double yTop;
    double yBottom;
    double leftEdge; ///< pixels; nothing at or left of it is drawn
    double d; ///< two pixels in km
    QRectF visible;
};

Geometry measure(KChart::CartesianCoordinatePlane* plane, int widgetWidth)
{
    Geometry g {};
    const QRectF area = plane->visibleDiagramArea();
    g.visible = plane->visibleDataRange();
    g.yTop = std::min(plane->translateBack(area.topLeft()).y(), g.visible.top());
    g.yBottom = std::max(plane->translateBack(area.bottomLeft()).y(), g.visible.y() + g.visible.height());
    const double left = std::max(plane->translateBack(area.topLeft()).x(), g.visible.left());
    g.leftEdge = plane->translate(QPointF(left, 0)).x();
    const double perPixel = widgetWidth > 0 ? g.visible.width() / widgetWidth : 0;
    g.d = 2 * perPixel;
    return g;
}

} // namespace

void Plotter::paintMarkerLines(QPainter& painter)
{
    const QPen saved = painter.pen();
    painter.setPen(Qt::NoPen);
    auto* plane = chart.plane();
    if (cursorWidget && !cursorWidget->hidden) {
        const Geometry g = measure(plane, chart.width());
        painter.setBrush(QBrush(app()->cursorLineColour, Qt::SolidPattern));
        for (int row = 0; row < 2; ++row) {
            const double x = cursorWidget->cursorModel.index(row, 0).data().toDouble();
            const QRectF bar(plane->translate(QPointF(x - g.d, g.yBottom)), plane->translate(QPointF(x + g.d, g.yTop)));
            const QRectF normal = bar.normalized();
            if (normal.left() > g.leftEdge)
                painter.drawRects(&normal, 1);
        }
    }
    const QPixmap& logo = app()->logoSmall;
    if (!logo.isNull()) {
        const QPixmap scaled
            = logo.scaled(qRound(width() * 0.1), qRound(height() * 0.1), Qt::KeepAspectRatio, Qt::FastTransformation);
        if (!scaled.isNull())
            painter.drawPixmap(width() - scaled.width() - 41, scaled.height() + 10, scaled);
    }
    painter.setPen(saved);
}

void Plotter::paintMarkerLabelsAndUnits(QPainter& painter)
{
    const QPen saved = painter.pen();
    auto* plane = chart.plane();
    const Geometry g = measure(plane, chart.width());
    QFont font = QApplication::font();
    font.setPointSize(18);
    painter.setFont(font);
    const QFontMetrics metrics(font);

    if (cursorWidget && !cursorWidget->hidden && app()->cursorMode) {
        const QColor colour = app()->cursorLineColour;
        painter.setPen(QPen(QBrush(colour, Qt::SolidPattern), 1, Qt::SolidLine));
        painter.setBrush(QBrush(colour, Qt::SolidPattern));
        const double xA = cursorWidget->cursorModel.index(0, 0).data().toDouble();
        const double xB = cursorWidget->cursorModel.index(1, 0).data().toDouble();
        const auto [a, b] = chart::separateLetters(plane->translate(QPointF(xA - g.d, g.yBottom)) + QPointF(5, -5),
            plane->translate(QPointF(xB - g.d, g.yBottom)) + QPointF(5, -5), metrics);
        if (a.x() > g.leftEdge)
            painter.drawText(a, QStringLiteral("A"));
        if (b.x() > g.leftEdge)
            painter.drawText(b, QStringLiteral("B"));
    }

    const QColor text = palette().color(QPalette::Text);
    painter.setPen(QPen(QBrush(text, Qt::SolidPattern), 1, Qt::SolidLine));
    painter.setBrush(QBrush(text, Qt::SolidPattern));
    const QString xUnit = xInKm ? QStringLiteral("km") : QStringLiteral("m");
    const QRect xRect = metrics.tightBoundingRect(xUnit);
    const QPointF corner
        = plane->translate(QPointF(g.visible.x() + g.visible.width(), g.visible.y() + g.visible.height()));
    painter.drawText(QPointF(corner.x() - 6 - (xRect.right() - xRect.left()), corner.y() - 2), xUnit);
    const QRect yRect = metrics.tightBoundingRect(QStringLiteral("dB"));
    const QPointF top = plane->translate(g.visible.topLeft());
    painter.drawText(QPointF(top.x() + 3, top.y() + (yRect.bottom() - yRect.top()) + 7), QStringLiteral("dB"));
    painter.setPen(saved);
}
