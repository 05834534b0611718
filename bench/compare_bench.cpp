// Comparison chart speed: 20 traces of 256 000 samples each; one zoom step re-plots every trace's visible part.
#include "BenchUtil.h"
#include "Floor.h"
#include "SyntheticTrace.h"

#include "compare/MultiPlotter.h"
#include "compare/PlotEntity.h"
#include "compare/SORMultiTab.h"
#include "core/Application.h"
#include "plotter/PlaneControl.h"
#include "sor/SORParser.h"

#include <QTemporaryDir>

#include <KChartCartesianCoordinatePlane>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Zoom steps as the chart runs them, each followed by the repaint the user waits for: the step's parts, the
// step as a whole and the paint, in medians.
std::map<std::string, double> zoomSteps(MultiPlotter& plotter, float zoomBefore, int reps)
{
    _MultiPlot& chart = plotter.chart;
    auto* plane = chart.plane();
    chart.resetView();
    chart.zoom(zoomBefore);
    chart.repaint();
    std::map<std::string, std::vector<double>> times;
    for (int i = 0; i < reps; ++i) {
        const float f = i % 2 == 0 ? 1.5f : 1 / 1.5f;
        // The parts, in the order of enforceViewLimitsAndUpdate().
        const double start = bench::cpuNowMs();
        chart::setZoom(plane, plane->zoomFactorX() * f, plane->zoomFactorY() * f);
        chart::applyViewLimits(plane);
        const double limited = bench::cpuNowMs();
        plotter.updateAxisTicks();
        const double ticked = bench::cpuNowMs();
        plotter._plotAllVisible();
        const double plotted = bench::cpuNowMs();
        chart.repaint();
        const double painted = bench::cpuNowMs();
        times["limits"].push_back(limited - start);
        times["ticks"].push_back(ticked - limited);
        times["replot"].push_back(plotted - ticked);
        times["paint"].push_back(painted - plotted);
        // The step as one call.
        const double whole = bench::cpuNowMs();
        chart.zoom(1 / f);
        const double zoomed = bench::cpuNowMs();
        chart.repaint();
        times["step"].push_back(zoomed - whole);
        times["step+paint"].push_back(bench::cpuNowMs() - whole);
    }
    std::map<std::string, double> medians;
    for (const auto& [name, values] : times)
        medians[name] = median(values);
    return medians;
}

} // namespace

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
    MultiPlotter& plotter = tab.plotter;
    QCoreApplication::processEvents();
    std::fprintf(stderr,
        "comparison benchmark: %d traces of %u samples, at most %u rows each; median CPU time of %d steps\n",
        plotter.entities.size(), samples, plotter.entities.isEmpty() ? 0u : plotter.entities[0]->maxPoints, reps);

    bench::Floor floor;
    const double decimateMs = bench::medianCpuMs(reps, [&] { floor.decimate(); });
    const double polylineMs = bench::medianCpuMs(reps, [&] { floor.drawPolyline(); });
    const double floorMs = decimateMs + polylineMs;

    bool met = true;
    double wholeStepPaint = 0;
    for (const auto& [label, zoom] :
        { std::pair<const char*, float> { "whole view", 1.0f }, { "zoomed 20x", 20.0f } }) {
        const auto t = zoomSteps(plotter, zoom, reps);
        std::fprintf(stderr, "%s:\n", label);
        bench::row("  one zoom step (all traces re-plotted)", t.at("step"));
        bench::row("  one zoom step and the repaint after it", t.at("step+paint"));
        bench::row("    view limits", t.at("limits"));
        bench::row("    axis ticks (the chart measures every diagram)", t.at("ticks"));
        bench::row("    re-plot: decimation and model rows of every trace", t.at("replot"));
        bench::row("    repaint (KChart draws the diagrams)", t.at("paint"));
        met = met && t.at("step") <= 50;
        if (zoom == 1.0f)
            wholeStepPaint = t.at("step+paint");
    }
    std::fprintf(stderr, "floor (min-max decimation of 1M samples and its polyline, in the same run):\n");
    bench::row("  decimation of 1M samples into 3000 rows", decimateMs);
    bench::row("  3000-point polyline, antialiased, width 1, 1200x700", polylineMs);
    bench::row("  floor", floorMs);
    std::fprintf(stderr, "goal, one zoom step <= 50 ms: %s\n", met ? "met" : "NOT met");
    std::fprintf(stderr, "goal, zoom step and repaint of the whole view <= 10 x floor: %.1f x, %s\n",
        wholeStepPaint / floorMs, wholeStepPaint <= 10 * floorMs ? "met" : "NOT met");
    return 0;
}
