#include "cursors/CursorWidget.h"
#include "widgets/ReadoutNumber.h"

#include "core/Application.h"
#include "plotter/ChartStyle.h"
#include "plotter/Plotter.h"
#include "plotter/PointRows.h"
#include "sor/SORParser.h"

#include <QSignalBlocker>

#include <KChartCartesianCoordinatePlane>
#include <KChartPlotter>

#include <algorithm>
#include <cmath>

CursorWidget::CursorWidget(QWidget* parent)
    : GWidget(parent)
{
    setObjectName(QStringLiteral("CursorWidget"));
    infoLabel.setObjectName(QStringLiteral("cursorInfo"));
    layout->addWidget(&infoLabel);
}

void CursorWidget::writeRow(unsigned short cursor, double x, double y)
{
    const QString letter = cursor == 0 ? QStringLiteral("A") : QStringLiteral("B");
    const QString toolTip = QStringLiteral("<table><tr><td>X</td><td>%1 km</td></tr><tr><td>Y</td><td>%2 dB</td></tr>"
                                           "<tr><td>M</td><td>%3</td></tr></table>")
                                .arg(num(x), num(y), letter);
    chart::setPointRow(cursorModel, cursor, x, y, toolTip, chart::CursorMarker, cursor);
}

void CursorWidget::setUpCursors(sor::SORParser* p, Plotter* chartOwner)
{
    parser = p;
    plotter = chartOwner;
    plotter->cursorWidget = this;

    markerDiagram = new KChart::Plotter();
    markerDiagram->installEventFilter(plotter);
    plotter->chart.plane()->addDiagram(markerDiagram);

    const auto& xs = parser->getXY()[0];
    {
        const QSignalBlocker blockModel(&cursorModel);
        const QSignalBlocker blockDiagram(markerDiagram);
        cursorModel.clear();
        cursorModel.setRowCount(2);
        cursorModel.setColumnCount(5);
        if (!xs.empty()) {
            const auto [lo, hi] = std::minmax_element(xs.begin(), xs.end());
            // Cursor rows feed the chart's range: values that are not numbers stay out.
            const double a = std::isfinite(*lo) ? *lo : 0;
            const double b = std::isfinite(*hi) ? *hi : 0;
            writeRow(0, a, parser->getYValue(a));
            writeRow(1, b, parser->getYValue(b));
        }
        cursorModel.setHeaderData(0, Qt::Horizontal, QStringLiteral("Cursor"), Qt::EditRole);
    }
    markerDiagram->setModel(&cursorModel);
    updateMarkerAttributes();
    connect(app(), &Application::CursorModeChanged, this, &CursorWidget::showCursorInfo);
}

void CursorWidget::setCursor(unsigned short cursor, double x)
{
    if (hidden || !plotter || !parser || cursor > 1)
        return;
    auto* plane = plotter->chart.plane();
    // The visible plot rectangle; the plane's diagramArea() spans the whole zoomed diagram.
    const QRectF area = plane->visibleDiagramArea();
    const double left = plane->translateBack(QPointF(area.x(), area.y() + area.height())).x();
    const double right = plane->translateBack(QPointF(area.x() + area.width(), area.y() + area.height())).x();
    if (!(x >= left && x <= right))
        return;
    writeRow(cursor, x, parser->getYValue(x));
    showCursorInfo();
}

QPoint CursorWidget::_getPos(unsigned cursor) const
{
    if (!plotter || cursor > 1)
        return QPoint();
    const double x = cursorModel.index(static_cast<int>(cursor), 0).data().toDouble();
    const double y = cursorModel.index(static_cast<int>(cursor), 1).data().toDouble();
    const QPointF pixel = plotter->chart.plane()->translate(QPointF(x, y));
    if (!std::isfinite(pixel.x()) || !std::isfinite(pixel.y()))
        return QPoint(INT_MIN / 2, INT_MIN / 2);
    return QPoint(qRound(pixel.x()), qRound(pixel.y()));
}

void CursorWidget::showCursorInfo()
{
    if (!active || !parser)
        return;
    const double xA = cursorModel.index(0, 0).data().toDouble();
    const double yA = cursorModel.index(0, 1).data().toDouble();
    const double xB = cursorModel.index(1, 0).data().toDouble();
    const double yB = cursorModel.index(1, 1).data().toDouble();

    if (app()->cursorMode) {
        const double dx = xB - xA;
        const double dy = yB - yA;
        QString text = QStringLiteral("<P>");
        text += tr("&nbsp;Cursor A: (%1 km / %2 dB)<br>").arg(num(xA), num(yA));
        text += tr("&nbsp;Cursor B: (%1 km / %2 dB)<br>").arg(num(xB), num(yB));
        text += tr("&nbsp;Cursor B-A: (%1 km / %2 dB)<br>").arg(num(dx), num(dy));
        text += tr("&nbsp;Δx(B-A)/Δy(B-A): %1 dB/km<br>").arg(num(dy / dx));
        text += tr("&nbsp;LSA: %1 dB/km").arg(num(parser->getApproxDiff_LSA(xA, xB)));
        text += QStringLiteral("</P>");
        infoLabel.setText(text);
        infoLabel.setToolTip(QString());
        return;
    }

    // The cursor further left starts the segment; A starts it when both sit together.
    const bool aFirst = xA <= xB;
    const double sx = aFirst ? xA : xB;
    const double sy = aFirst ? yA : yB;
    const double ex = aFirst ? xB : xA;
    const double ey = aFirst ? yB : yA;
    const double length = ex - sx;
    const double attenuation = sy - ey;
    QString text = QStringLiteral("<P>");
    text += tr("&nbsp;Segment between cursors: &nbsp;");
    text += tr("Length: <b>%1 km</b>").arg(num(length));
    text += tr("<br>&nbsp; from: <b>%1 km</b> (%2 dB)").arg(QString::number(sx, 'f', 3), QString::number(sy, 'f', 2));
    text += tr("&nbsp;to <b>%1 km</b> (%2 dB)").arg(QString::number(ex, 'f', 3), QString::number(ey, 'f', 2));
    text += tr("<br>&nbsp; Attenuation: <b>%1 dB</b>").arg(num(attenuation));
    text += tr("&nbsp;(<b>%1 dB/km</b>)").arg(num(attenuation / length));
    text += tr("<br>&nbsp; LSA Att.: <b>%1 dB/km</b>").arg(num(-parser->getApproxDiff_LSA(sx, ex)));
    text += QStringLiteral("</P>");
    infoLabel.setText(text);
    infoLabel.setToolTip(QStringLiteral("<P>") + tr("Full&nbsp;precision&nbsp;cursor&nbsp;positions:<br>")
        + tr("from:&nbsp;<b>%1&nbsp;km</b>&nbsp;with&nbsp;<b>%2&nbsp;dB</b><br>").arg(num(sx), num(sy))
        + tr("to&nbsp;<b>%1&nbsp;km</b>&nbsp;with&nbsp;<b>%2&nbsp;dB</b>").arg(num(ex), num(ey))
        + QStringLiteral("</P>"));
}

void CursorWidget::updateMarkerAttributes()
{
    if (!markerDiagram)
        return;
    markerDiagram->setPen(QPen(Qt::NoPen));
    // The cursors are seen through their painted bars only.
    chart::setDiamondMarkers(markerDiagram, false, 20, app()->cursorMarkerColour);
}

void CursorWidget::changeEvent(QEvent* event)
{
    GWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        updateMarkerAttributes();
}
