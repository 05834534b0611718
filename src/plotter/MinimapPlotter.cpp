#include "plotter/MinimapPlotter.h"

#include "core/Application.h"
#include "plotter/PlaneControl.h"
#include "plotter/TraceDiagram.h"
#include "sor/SORParser.h"

#include <QSignalBlocker>

#include <KChartCartesianCoordinatePlane>
#include <KChartGridAttributes>

#include <algorithm>
#include <cmath>

MinimapPlotter::MinimapPlotter(MinimapSource* main, QWidget* parent)
    : GWidget(parent)
    , chart(main, this, this)
    , mainPlotter(main)
{
    setObjectName(QStringLiteral("MinimapPlotter"));
    chart.setMainMini();
    auto* plane = chart.plane();
    for (const auto orientation : { Qt::Horizontal, Qt::Vertical }) {
        KChart::GridAttributes grid = plane->gridAttributes(orientation);
        grid.setGridVisible(false);
        grid.setSubGridVisible(false);
        grid.setLinesOnAnnotations(false);
        plane->setGridAttributes(orientation, grid);
    }
    chart.setMouseTracking(true);
    layout->addWidget(&chart);
}

MinimapPlotter::~MinimapPlotter()
{
    // The plane's diagram must not outlive the model it shows.
    chart::releaseDiagrams(chart);
}

void MinimapPlotter::plot(sor::SORParser* p)
{
    parser = p;
    diagram = new TraceDiagram();
    chart.plane()->replaceDiagram(diagram);

    const auto& xy = parser->getXY();
    const auto& xs = xy[0];
    const auto& ys = xy[1];
    const uint64_t n = std::min(xs.size(), ys.size());
    const uint64_t rows = std::min<uint64_t>(maximumPoints, n);
    {
        const QSignalBlocker blockDiagram(diagram);
        const QSignalBlocker blockModel(&model);
        model.reset(static_cast<int>(rows));
        for (uint64_t g = 0; rows > 0; ++g) {
            const uint64_t s = g * n / rows;
            if (s >= n)
                break;
            double y = ys[s];
            if (n != rows) {
                // Windows overlap by about a bucket; even rows keep the minimum, odd rows the maximum.
                const uint64_t e = std::min<uint64_t>(n, (n + 1) * (g + 2) / rows);
                for (uint64_t i = s + 1; i < e; ++i)
                    y = g % 2 == 0 ? std::min(y, ys[i]) : std::max(y, ys[i]);
            }
            if (std::isfinite(xs[s]) && std::isfinite(y))
                model.setRow(static_cast<int>(g), xs[s], y, ys[s], static_cast<uint32_t>(s), static_cast<double>(g));
        }
    }
    diagram->setModel(&model);
    diagram->rowsRefilled();
    diagram->setPen(QPen(app()->graphColour));
}

void MinimapPlotter::changeEvent(QEvent* event)
{
    GWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && diagram)
        diagram->setPenIfChanged(QPen(app()->graphColour));
}
