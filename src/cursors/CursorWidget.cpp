#include "cursors/CursorWidget.h"

#include "analysis/CursorReadings.h"
#include "core/Application.h"
#include "cursors/CursorReadout.h"
#include "plotter/ChartStyle.h"
#include "plotter/PlaneControl.h"
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
    chart::setPointRow(cursorModel, cursor, x, y, chart::cursorToolTip(x, y, cursor), chart::CursorMarker, cursor);
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
        cursorModel.setColumnCount(chart::pointColumnCount);
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
    const auto [left, right] = chart::visibleXRange(plotter->chart.plane());
    if (!(x >= left && x <= right))
        return;
    writeRow(cursor, x, parser->getYValue(x));
    showCursorInfo();
}

QPoint CursorWidget::_getPos(unsigned cursor) const
{
    if (!plotter || cursor > 1)
        return QPoint();
    const int row = static_cast<int>(cursor);
    return chart::pixelOf(plotter->chart.plane(), cursorModel.index(row, chart::XColumn).data().toDouble(),
        cursorModel.index(row, chart::YColumn).data().toDouble());
}

void CursorWidget::showCursorInfo()
{
    if (!active || !parser)
        return;
    const double xA = cursorModel.index(0, chart::XColumn).data().toDouble();
    const double xB = cursorModel.index(1, chart::XColumn).data().toDouble();
    const analysis::CursorReadings readings = analysis::cursorReadings(*parser, xA, xB);
    infoLabel.setText(CursorReadout::singleTrace(readings, app()->cursorMode));
    infoLabel.setToolTip(CursorReadout::singleTraceToolTip(readings, app()->cursorMode));
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
