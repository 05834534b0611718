// Single-trace tab on a large trace: time to the first finished paint, and one wheel zoom step, with where the
// time goes.
#include "BenchUtil.h"
#include "Floor.h"

#include "core/Application.h"
#include "plotter/Decimation.h"
#include "plotter/Plotter.h"
#include "shell/MainWindow.h"
#include "shell/SORTab.h"
#include "sor/SORParser.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <KChartCartesianCoordinatePlane>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const bench::TraceFile trace(argc, argv, "tavix-viewer-bench-1M.sor");
    const std::string& path = trace.path;
    int qtArgc = 1;
    Application application(qtArgc, argv);
    const QString file = QString::fromStdString(path);
    const int reps = 7;
    std::fprintf(stderr, "viewer benchmark: %s, median of %d runs\n", path.c_str(), reps);

    const double parseMs
        = bench::medianMs(reps, [&] { sor::SORParser p(file.toStdWString(), sor::nowhere(), sor::nowhere()); });
    sor::SORParser parser(file.toStdWString(), sor::nowhere(), sor::nowhere());
    const double xyMs = bench::medianMs(reps, [&] {
        parser.xyCached = false;
        parser.getXY();
    });

    // From the open request to the first finished paint of the chart.
    double openMs = 0;
    double firstPaintMs = 0;
    {
        std::vector<double> opens, paints;
        for (int i = 0; i < reps; ++i) {
            MainWindow window;
            window.resize(1600, 1000);
            window.show();
            QCoreApplication::processEvents();
            QElapsedTimer clock;
            clock.start();
            window.tabs._addSORTab(file);
            const double added = clock.nsecsElapsed() / 1e6;
            auto* tab = qobject_cast<SORTab*>(window.tabs.currentWidget());
            QEventLoop loop;
            QObject::connect(&tab->plotter.chart, &KChart::Chart::finishedDrawing, &loop, &QEventLoop::quit);
            QTimer::singleShot(5000, &loop, &QEventLoop::quit);
            tab->plotter.chart.update();
            loop.exec();
            opens.push_back(clock.nsecsElapsed() / 1e6);
            paints.push_back(opens.back() - added);
        }
        std::sort(opens.begin(), opens.end());
        std::sort(paints.begin(), paints.end());
        openMs = opens[opens.size() / 2];
        firstPaintMs = paints[paints.size() / 2];
    }

    // One wheel step at full trace size: model refill plus a repaint, and each alone.
    MainWindow window;
    window.resize(1600, 1000);
    window.show();
    window.tabs._addSORTab(file);
    QCoreApplication::processEvents();
    auto* tab = qobject_cast<SORTab*>(window.tabs.currentWidget());
    auto& chart = tab->plotter.chart;
    auto* plane = chart.plane();
    bool in = true;
    const double zoomMs = bench::medianCpuMs(15, [&] {
        // Alternate 1.5 and 1/1.5 around the view of the whole trace.
        chart.zoom(in ? 1.5f : 1 / 1.5f);
        in = !in;
        chart.repaint();
    });
    plane->setZoomFactorX(1.5);
    plane->setZoomFactorY(1.5);
    const auto& xy = parser.getXY();
    const auto range
        = chart::visibleIndexRange(xy[0], plane->visibleDataRange().left(), plane->visibleDataRange().right());
    const double fillMs
        = bench::medianCpuMs(15, [&] { tab->plotter.plotIndexRange(range.first, range.second, xy[0], xy[1]); });
    const double paintMs = bench::medianCpuMs(15, [&] { chart.repaint(); });

    bench::Floor floor;
    const double decimateMs = bench::medianCpuMs(15, [&] { floor.decimate(); });
    const double polylineMs = bench::medianCpuMs(15, [&] { floor.drawPolyline(); });
    const double floorMs = decimateMs + polylineMs;

    bench::row("parse (reader, checksum included)", parseMs);
    bench::row("getXY (km and dB for every sample)", xyMs);
    bench::row("open: _addSORTab to first finished paint", openMs);
    bench::row("  of which the first paint", firstPaintMs);
    std::fprintf(stderr, "CPU time of the GUI thread:\n");
    bench::row("wheel zoom step (re-plot and repaint)", zoomMs);
    bench::row("  model fill of the visible part (decimation)", fillMs);
    bench::row("  KChart repaint", paintMs);
    bench::row("floor: decimation of 1M samples into 3000 rows", decimateMs);
    bench::row("floor: 3000-point polyline, antialiased, 1200x700", polylineMs);
    bench::row("floor", floorMs);
    std::fprintf(stderr, "  rows in the chart model: %d\n", tab->plotter.traceModel.rowCount());
    std::fprintf(stderr, "goal, wheel step <= 4 x floor: %.1f x, %s\n", zoomMs / floorMs,
        zoomMs <= 4 * floorMs ? "met" : "NOT met");
    return 0;
}
