#include "cursors/CursorWidget.h"
#include "plotter/MarkerPainting.h"
#include "plotter/Plotter.h"

void Plotter::paintMarkerLines(QPainter& painter)
{
    const bool shown = cursorWidget && !cursorWidget->hidden;
    chart::paintMarkerLines(painter, chart.plane(), chart.width(), size(), shown ? &cursorWidget->cursorModel : nullptr,
        chart::applicationMarkerStyle());
}

void Plotter::paintMarkerLabelsAndUnits(QPainter& painter)
{
    const bool shown = cursorWidget && !cursorWidget->hidden;
    chart::paintMarkerLabelsAndUnits(painter, chart.plane(), chart.width(),
        shown ? &cursorWidget->cursorModel : nullptr, xInKm, palette().color(QPalette::Text),
        chart::applicationMarkerStyle());
}
