// Comparison chart speed: 20 traces of 256 000 samples each; one zoom step re-plots every trace's visible part.
#include "BenchUtil.h"
#include "SyntheticTrace.h"

#include "compare/MultiPlotter.h"
#include "compare/PlotEntity.h"
#include "compare/SORMultiTab.h"
#include "shell/Application.h"
#include "sor/SORParser.h"

#include <QTemporaryDir>

#include <KChartCartesianCoordinatePlane>

#include <cstdio>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    const int traces = 20;
    const uint32_t samples = 256000;
    const int reps = 21;

    QTemporaryDir dir;
    SORMultiTab tab;
    tab.resize(1600, 1000);
    tab.show();
    {
        bench::QuietStdout quiet;
        for (int i = 0; i < traces; ++i) {
            SynthOptions o;
            o.samples = samples;
            o.spacingMetres = 0.25;
            o.events = 8;
            o.seed = static_cast<uint32_t>(i + 1);
            const std::string path = dir.filePath(QStringLiteral("t%1.sor").arg(i)).toStdString();
            sortest::writeFile(path, synthesize(o).build());
            tab.load(std::wstring(path.begin(), path.end()), nullptr);
        }
    }
    MultiPlotter& plotter = tab.plotter;
    _MultiPlot& chart = plotter.chart;
    QCoreApplication::processEvents();
    std::fprintf(stderr, "comparison benchmark: %d traces of %u samples, %d rows each at most, median of %d runs\n",
        plotter.entities.size(), samples, plotter.entities.isEmpty() ? 0 : plotter.entities[0]->maxPoints, reps);

    // Alternate in and out so every step starts from a comparable view; whole view and a deep zoom.
    bool in = true;
    const auto step = [&] {
        chart.zoom(in ? 1.5f : 1 / 1.5f);
        in = !in;
    };
    const double zoomWhole = bench::medianMs(reps, step);
    const double zoomPaintWhole = bench::medianMs(reps, [&] {
        step();
        chart.repaint();
    });
    const double replot = bench::medianMs(reps, [&] { plotter._plotAllVisible(); });
    // The same decimation into models that no diagram shows: what the chart adds is the rest.
    std::vector<std::unique_ptr<PlotEntity>> detached;
    for (PlotEntity* e : qAsConst(plotter.entities))
        detached.push_back(std::make_unique<PlotEntity>(sor::SORParser(e->parser), nullptr));
    const QRectF visible = chart.plane()->visibleDataRange();
    const double decimate = bench::medianMs(reps, [&] {
        for (auto& e : detached) {
            const auto& xy = e->parser.getXY();
            e->plotIndexRange(0, static_cast<unsigned>(xy[0].size() - 1), xy[0], xy[1]);
        }
    });
    (void)visible;
    const double ticks = bench::medianMs(reps, [&] { plotter.updateAxisTicks(); });
    const double paint = bench::medianMs(reps, [&] { chart.repaint(); });
    chart.zoom(20);
    const double zoomDeep = bench::medianMs(reps, step);
    const double zoomPaintDeep = bench::medianMs(reps, [&] {
        step();
        chart.repaint();
    });

    bench::row("zoom step, whole view (all traces re-plotted)", zoomWhole);
    bench::row("zoom step and repaint, whole view", zoomPaintWhole);
    bench::row("zoom step, 20x zoomed", zoomDeep);
    bench::row("zoom step and repaint, 20x zoomed", zoomPaintDeep);
    const double worst = std::max({ zoomWhole, zoomPaintWhole, zoomDeep, zoomPaintDeep });
    std::fprintf(stderr, "  goal: one zoom step <= 50 ms: %s\n", worst <= 50 ? "met" : "NOT met");
    std::fprintf(stderr, "where the time goes (whole view):\n");
    bench::row("  re-plot of every trace (decimation and models)", replot);
    bench::row("    of which decimation and model rows", decimate);
    bench::row("    of which handing the models to the diagrams", replot - decimate);
    bench::row("  axis ticks", ticks);
    bench::row("  paint of the chart", paint);
    return 0;
}
