#include "plotter/MarkerPainting.h"

#include "core/Application.h"
#include "plotter/ChartStyle.h"
#include "plotter/PointRows.h"

#include <QAbstractItemModel>
#include <QFontMetrics>
#include <QPainter>

#include <KChartCartesianCoordinatePlane>

#include <algorithm>
#include <cmath>

namespace chart {

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
        // The visible plot rectangle; the plane's diagramArea() spans the whole zoomed diagram.
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

    double cursorX(const QAbstractItemModel* cursors, int row)
    {
        return cursors->index(row, XColumn).data().toDouble();
    }

} // namespace

MarkerStyle applicationMarkerStyle() { return { app()->cursorLineColour, app()->logoSmall, app()->cursorMode }; }

void paintMarkerLines(QPainter& painter, KChart::CartesianCoordinatePlane* plane, int chartWidth,
    const QSize& ownerSize, const QAbstractItemModel* cursors, const MarkerStyle& style)
{
    const QPen saved = painter.pen();
    painter.setPen(Qt::NoPen);
    if (cursors && cursors->rowCount() >= 2) {
        const Geometry g = measure(plane, chartWidth);
        painter.setBrush(QBrush(style.cursorLineColour, Qt::SolidPattern));
        for (int row = 0; row < 2; ++row) {
            const double x = cursorX(cursors, row);
            const QRectF bar(plane->translate(QPointF(x - g.d, g.yBottom)), plane->translate(QPointF(x + g.d, g.yTop)));
            const QRectF normal = bar.normalized();
            if (normal.left() > g.leftEdge)
                painter.drawRects(&normal, 1);
        }
    }
    const QPixmap& logo = style.logo;
    if (!logo.isNull()) {
        const QPixmap scaled = logo.scaled(qRound(ownerSize.width() * 0.1), qRound(ownerSize.height() * 0.1),
            Qt::KeepAspectRatio, Qt::FastTransformation);
        if (!scaled.isNull())
            painter.drawPixmap(ownerSize.width() - scaled.width() - 41, scaled.height() + 10, scaled);
    }
    painter.setPen(saved);
}

void paintMarkerLabelsAndUnits(QPainter& painter, KChart::CartesianCoordinatePlane* plane, int chartWidth,
    const QAbstractItemModel* cursors, bool xInKm, const QColor& textColour, const MarkerStyle& style)
{
    const QPen saved = painter.pen();
    const Geometry g = measure(plane, chartWidth);
    QFont font = QApplication::font();
    font.setPointSize(18);
    painter.setFont(font);
    const QFontMetrics metrics(font);

    if (cursors && cursors->rowCount() >= 2 && style.cursorLetters) {
        const QColor colour = style.cursorLineColour;
        painter.setPen(QPen(QBrush(colour, Qt::SolidPattern), 1, Qt::SolidLine));
        painter.setBrush(QBrush(colour, Qt::SolidPattern));
        const auto [a, b]
            = separateLetters(plane->translate(QPointF(cursorX(cursors, 0) - g.d, g.yBottom)) + QPointF(5, -5),
                plane->translate(QPointF(cursorX(cursors, 1) - g.d, g.yBottom)) + QPointF(5, -5), metrics);
        if (a.x() > g.leftEdge)
            painter.drawText(a, QStringLiteral("A"));
        if (b.x() > g.leftEdge)
            painter.drawText(b, QStringLiteral("B"));
    }

    painter.setPen(QPen(QBrush(textColour, Qt::SolidPattern), 1, Qt::SolidLine));
    painter.setBrush(QBrush(textColour, Qt::SolidPattern));
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

} // namespace chart
