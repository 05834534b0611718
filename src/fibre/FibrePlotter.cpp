#include "fibre/FibrePlotter.h"

#include "core/Application.h"
#include "plotter/ChartInteraction.h"
#include "plotter/MinimapPlotter.h"

#include <QMouseEvent>
#include <QPainter>

#include <KChartCartesianCoordinatePlane>

#include <cmath>

FibrePlotter::FibrePlotter(QWidget* parent)
    : MultiPlotter(parent)
{
    setObjectName(QStringLiteral("FibrePlotter"));
}

void FibrePlotter::setMarkers(
    std::vector<Marker> markers, std::optional<double> spanStart, std::optional<double> spanEnd)
{
    shown = std::move(markers);
    start = spanStart;
    end = spanEnd;
    selected = -1;
    chart.update();
}

void FibrePlotter::setLegend(std::vector<LegendEntry> entries)
{
    legend = std::move(entries);
    chart.update();
}

void FibrePlotter::setSelectedMarker(int index)
{
    selected = index >= 0 && size_t(index) < shown.size() ? index : -1;
    chart.update();
}

double FibrePlotter::pixelOf(double km) const { return chart.plane()->translate(QPointF(km, 0)).x(); }

QRectF FibrePlotter::dataArea() const
{
    const QRectF visible = chart.plane()->visibleDataRange();
    const QPointF a = chart.plane()->translate(QPointF(visible.left(), visible.top()));
    const QPointF b = chart.plane()->translate(QPointF(visible.right(), visible.bottom()));
    return QRectF(a, b).normalized();
}

int FibrePlotter::markerAt(double pixelX) const
{
    int best = -1;
    double nearest = 5; // pixels either side of a line that still hit it
    for (size_t i = 0; i < shown.size(); ++i) {
        const double d = std::fabs(pixelOf(shown[i].km) - pixelX);
        if (d <= nearest) {
            nearest = d;
            best = int(i);
        }
    }
    return best;
}

void FibrePlotter::paintMarkerLines(QPainter& painter)
{
    MultiPlotter::paintMarkerLines(painter);
    if (!chart.hasData)
        return;
    const QRectF area = dataArea();
    painter.save();
    const QColor line = app()->eventLineColour;
    painter.setPen(QPen(line, 1, Qt::DashLine));
    for (const auto& at : { start, end })
        if (at)
            painter.drawLine(QPointF(pixelOf(*at), area.top()), QPointF(pixelOf(*at), area.bottom()));
    for (size_t i = 0; i < shown.size(); ++i) {
        const bool stressed = int(i) == selected;
        QColor colour = shown[i].marked ? QColor(0xd0, 0x30, 0x30) : app()->eventMarkerColour;
        painter.setPen(QPen(colour, stressed ? 3 : 1));
        const double x = pixelOf(shown[i].km);
        painter.drawLine(QPointF(x, area.top() + fontMetrics().height()), QPointF(x, area.bottom()));
    }
    painter.restore();
}

void FibrePlotter::paintMarkerLabelsAndUnits(QPainter& painter)
{
    MultiPlotter::paintMarkerLabelsAndUnits(painter);
    if (!chart.hasData)
        return;
    const QRectF area = dataArea();
    painter.save();
    // The widget's own font: the painter still has the larger one of the axis units.
    painter.setFont(font());
    const QColor text = palette().color(QPalette::Text);
    const QFontMetrics metrics(font());
    for (size_t i = 0; i < shown.size(); ++i) {
        const double x = pixelOf(shown[i].km);
        if (x < area.left() || x > area.right())
            continue;
        QFont font = painter.font();
        font.setBold(int(i) == selected);
        painter.setFont(font);
        painter.setPen(shown[i].marked ? QColor(0xd0, 0x30, 0x30) : text);
        painter.drawText(QRectF(x - 20, area.top(), 40, metrics.height()), Qt::AlignCenter, shown[i].label);
    }
    // The legend at the top left, below the unit, on a ground of its own: a swatch of each direction's colour.
    double widest = 0;
    for (const LegendEntry& e : legend)
        widest = std::max<double>(widest, metrics.horizontalAdvance(e.text));
    const double line = metrics.height() + 2;
    const double left = area.left() + 8;
    double y = area.top() + 2.5 * metrics.height();
    if (!legend.empty()) {
        QColor ground = palette().color(QPalette::Base);
        ground.setAlpha(210);
        painter.fillRect(QRectF(left - 4, y - 2, widest + 40, line * legend.size() + 4), ground);
    }
    for (const LegendEntry& e : legend) {
        painter.setPen(QPen(e.colour, 2));
        painter.drawLine(QPointF(left, y + metrics.height() / 2.0), QPointF(left + 22, y + metrics.height() / 2.0));
        painter.setPen(text);
        painter.drawText(QPointF(left + 28, y + metrics.ascent()), e.text);
        y += line;
    }
    painter.restore();
    // New tick labels can move the plot area while the chart paints: the minimap's rectangle follows.
    if (minimap)
        minimap->chart.followMainView();
}

bool FibrePlotter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress && chart.hasData) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && !(mouse->modifiers() & Qt::ControlModifier)) {
            const int hit = markerAt(chart::chartPosition(chart, watched, mouse).x());
            if (hit >= 0) {
                setSelectedMarker(hit);
                emit markerClicked(hit);
            }
        }
    }
    return MultiPlotter::eventFilter(watched, event);
}
