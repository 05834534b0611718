#include "Mouse.h"
#include "TestMain.h"
#include "TraceFiles.h"

#include "plotter/Plotter.h"
#include "plotter/PointRows.h"
#include "plotter/Ticks.h"

#include <QPointer>

#include <KChartCartesianAxis>
#include <KChartCartesianCoordinatePlane>

#include <cmath>

// The single-trace chart: decimation, ticks, view limits, wheel zoom and panning.
class TestPlotter : public QObject {
    Q_OBJECT

    std::unique_ptr<sor::SORParser> parser;
    std::unique_ptr<Plotter> plotter;

    Plotter& show(size_t samples, const QString& name = QStringLiteral("trace.sor"))
    {
        parser = TraceFiles::parse(TraceFiles::writeTrace(TraceFiles::ramp(samples), name));
        plotter = std::make_unique<Plotter>();
        plotter->resize(1000, 700);
        plotter->show();
        if (!QTest::qWaitForWindowExposed(plotter.get()))
            qWarning("window not exposed");
        plotter->plot(parser.get());
        QCoreApplication::processEvents();
        return *plotter;
    }

    static int filledRows(const QAbstractItemModel& model)
    {
        int n = 0;
        for (int row = 0; row < model.rowCount(); ++row)
            n += model.index(row, 0).data().isValid() ? 1 : 0;
        return n;
    }

private Q_SLOTS:
    void cleanup()
    {
        plotter.reset();
        parser.reset();
    }

    void compressionThreshold()
    {
        Plotter& small = show(5999);
        QVERIFY(!small.shouldDoCompression());
        QCOMPARE(small.traceModel.rowCount(), 5999);
        QCOMPARE(filledRows(small.traceModel), 5999);
        QCOMPARE(small.traceModel.index(42, 4).data().toDouble(), 42.0);
        QCOMPARE(small.traceModel.index(42, 3).data(Qt::UserRole).toInt(), int(chart::TracePoint));

        Plotter& large = show(6000);
        QVERIFY(large.shouldDoCompression());
        QVERIFY(large.traceModel.rowCount() <= 3000);
        QCOMPARE(large.minMaxModel.rowCount(), 2);
        QCOMPARE(large.minMaxModel.index(0, 3).data(Qt::UserRole).toInt(), int(chart::MinMaxPoint));
        QCOMPARE(large.minMaxModel.headerData(0, Qt::Horizontal, Qt::EditRole).toString(), QStringLiteral("MINMAX"));
    }

    void decimationRows()
    {
        Plotter& p = show(20000);
        std::vector<double> xs(20000), ys(20000, -5);
        for (size_t i = 0; i < xs.size(); ++i)
            xs[i] = i * 0.001;
        // A visible range of 2500 samples: one row each.
        p.plotIndexRange(100, 2599, xs, ys);
        QCOMPARE(p.traceModel.rowCount(), 2500);
        QCOMPARE(p.traceModel.index(0, 4).data().toDouble(), 100.0);
        QCOMPARE(p.traceModel.index(2499, 4).data().toDouble(), 2599.0);

        // 9000 samples: 3000 rows; a pair shows the earlier and the later extreme of its window.
        ys[1000] = -9;
        ys[1003] = -1;
        ys[1004] = -2;
        p.plotIndexRange(1000, 9999, xs, ys);
        QCOMPARE(p.traceModel.rowCount(), 3000);
        QCOMPARE(p.traceModel.index(0, 0).data().toDouble(), xs[1000]);
        QCOMPARE(p.traceModel.index(1, 0).data().toDouble(), xs[1003]);
        QCOMPARE(p.traceModel.index(0, 1).data().toDouble(), -9.0);
        QCOMPARE(p.traceModel.index(1, 1).data().toDouble(), -1.0);
        // The tool tip names the raw sample at the bucket start.
        QVERIFY(p.traceModel.index(1, 2).data(Qt::ToolTipRole).toString().contains(QStringLiteral("<td>-1 dB</td>")));
        // Later extreme first: the order follows the trace.
        ys[1006] = -0.5;
        ys[1010] = -20;
        p.plotIndexRange(1000, 9999, xs, ys);
        QCOMPARE(p.traceModel.index(2, 1).data().toDouble(), -0.5);
        QCOMPARE(p.traceModel.index(3, 1).data().toDouble(), -20.0);
        // The sample before the next pair's start is not examined.
        ys[1011] = 50;
        p.plotIndexRange(1000, 9999, xs, ys);
        QCOMPARE(p.traceModel.index(3, 1).data().toDouble(), -20.0);
        // Equal samples give both rows the same value.
        QCOMPARE(p.traceModel.index(100, 1).data().toDouble(), -5.0);
        QCOMPARE(p.traceModel.index(101, 1).data().toDouble(), -5.0);
        // Nothing to plot.
        p.plotIndexRange(5, 4, xs, ys);
        QCOMPARE(filledRows(p.traceModel), 0);
    }

    void ticks_data()
    {
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        QTest::addColumn<bool>("metres");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("labels");
        QTest::newRow("0 to 7.3 km") << 0.0 << 7.3 << false << "0 1 2 3 4 5 6 7 8"
                                     << "0 1 2 3 4 5 6 7 8";
        QTest::newRow("metres") << 0.0 << 0.25 << true << "0 0.05 0.1 0.15 0.2 0.25"
                                << "0 50 100 150 200 250";
        QTest::newRow("zero snap") << -0.3 << 0.3 << false << "-0.3 -0.2 -0.1 0 0.1 0.2 0.3"
                                   << "-0.3 -0.2 -0.1 0 0.1 0.2 0.3";
        QTest::newRow("min = max") << 2.5 << 2.5 << true << "2.5"
                                   << "2.5";
        QTest::newRow("not finite") << 0.0 << double(INFINITY) << false << ""
                                    << "";
        QTest::newRow("not a number") << double(NAN) << 1.0 << false << ""
                                      << "";
    }

    void ticks()
    {
        QFETCH(double, min);
        QFETCH(double, max);
        QFETCH(bool, metres);
        QFETCH(QString, keys);
        QFETCH(QString, labels);
        const auto ticks = chart::generateTicks(min, max, 10, metres);
        QStringList k, l;
        for (auto it = ticks.begin(); it != ticks.end(); ++it) {
            k << QString::number(it.key(), 'g', 12);
            l << it.value();
        }
        QCOMPARE(k.join(' '), keys);
        QCOMPARE(l.join(' '), labels);
        if (ticks.contains(0))
            QVERIFY(!std::signbit(ticks.find(0).key()));
    }

    void ticksAlwaysEnd()
    {
        // A step below the spacing of doubles at the axis values must still end.
        QVERIFY(chart::generateTicks(1e15, 1e15 + 1e-3, 10, false).size() <= 200);
        QVERIFY(chart::generateTicks(-1e300, 1e300, 10, false).size() <= 200);
        // Steps below the "%f" resolution: every tick looked like zero and was put back to it.
        const auto tiny = chart::generateTicks(0, 2e-6, 10, false);
        QVERIFY(tiny.size() >= 5 && tiny.size() <= 20);
        QCOMPARE(chart::rtrim("2.500000"), QStringLiteral("2.5"));
        QCOMPARE(chart::rtrim("3.000000"), QStringLiteral("3"));
        QCOMPARE(chart::rtrim("-0.000000"), QStringLiteral("-0"));
    }

    void viewLimits()
    {
        Plotter& p = show(20000);
        auto* plane = p.chart.plane();
        p.chart.zoom(2.5f);
        p.chart.zoom(2.5f);
        QCOMPARE(plane->zoomFactorX(), 6.25);
        QCOMPARE(plane->zoomFactorY(), 6.25);
        p.chart.zoom(0.4f);
        QVERIFY(std::abs(plane->zoomFactorX() - 2.5) < 1e-6); // the factor is a float
        QVERIFY(std::abs(plane->zoomFactorY() - 2.5) < 1e-6);

        plane->setZoomCenter(QPointF(-1, 2));
        p.chart.enforceViewLimitsAndUpdate();
        QCOMPARE(plane->zoomCenter(), QPointF(-0.03, 1.03));

        p.chart.zoom(0.3f); // 0.75: below 0.9 snaps back to the whole view
        QCOMPARE(plane->zoomFactorX(), 1.0);
        QCOMPARE(plane->zoomCenter(), QPointF(0.5, 0.5));
        p.chart.zoom(1e9f);
        QCOMPARE(plane->zoomFactorX(), 100000.0);
    }

    void wheelKeepsThePointUnderThePointer()
    {
        Plotter& p = show(20000);
        auto* plane = p.chart.plane();
        const QPointF pixel(400.5, 300.5);
        const QPointF before = plane->translateBack(pixel);
        Mouse::wheel(&p.chart, pixel, 120);
        QCOMPARE(plane->zoomFactorX(), 1.5);
        // Within a pixel: new tick labels may move the plot area.
        const QPointF now = plane->translate(before);
        QVERIFY2(std::abs(now.x() - pixel.x()) <= 1 && std::abs(now.y() - pixel.y()) <= 1,
            qPrintable(QStringLiteral("%1,%2").arg(now.x()).arg(now.y())));
        // The re-plotted model holds only the visible part.
        QVERIFY(p.traceModel.index(0, 4).data().toDouble() > 0);

        Mouse::wheel(&p.chart, pixel, -120);
        Mouse::wheel(&p.chart, pixel, -120);
        QCOMPARE(plane->zoomFactorX(), 1.0);
        QCOMPARE(plane->zoomCenter(), QPointF(0.5, 0.5));
    }

    void panStopsAtTheMargin()
    {
        Plotter& p = show(20000);
        auto* plane = p.chart.plane();
        p.chart.zoom(4.0f);
        for (int i = 0; i < 4; ++i)
            Mouse::drag(&p.chart, QPoint(100, 300), QPoint(900, 250), Qt::MiddleButton);
        QVERIFY(!p.chart.panning);
        QCOMPARE(plane->zoomCenter().x(), -0.03);
        for (int i = 0; i < 12; ++i)
            Mouse::drag(&p.chart, QPoint(900, 300), QPoint(100, 300), Qt::MiddleButton);
        QCOMPARE(plane->zoomCenter().x(), 1.03);
        QCOMPARE(plane->zoomFactorX(), 4.0);
    }

    void rubberBandZoomReplots()
    {
        Plotter& p = show(20000);
        auto* plane = p.chart.plane();
        Mouse::drag(&p.chart, QPoint(300, 200), QPoint(500, 400), Qt::LeftButton);
        QVERIFY(plane->zoomFactorX() > 1.5);
        const double firstShown = p.traceModel.index(0, 4).data().toDouble();
        QVERIFY(firstShown > 0); // only the zoomed part is in the model
        // Right click restores the previous view, and the whole trace comes back.
        Mouse::press(&p.chart, QPoint(400, 300), Qt::RightButton);
        QCOMPARE(plane->zoomFactorX(), 1.0);
        QCOMPARE(p.traceModel.index(0, 4).data().toDouble(), 0.0);
    }

    void resetWithoutAFileIsAProgrammingError()
    {
        Plotter empty;
        QVERIFY_EXCEPTION_THROWN(empty.chart.resetView(), EXCEPTION::_Exc_Exception);
        try {
            empty.shouldDoCompression();
        } catch (const EXCEPTION::_Exc_Exception& e) {
            QCOMPARE(QString::fromStdString(e.message), QStringLiteral("No SORParser object set!"));
            QCOMPARE(e.line, 237);
            QVERIFY(QString::fromStdString(e.file).contains(QStringLiteral("include/plotter")));
        }
    }

    void rangesWithoutExtent_data()
    {
        QTest::addColumn<QVector<int>>("samples");
        QTest::addColumn<uint>("spacing");
        QTest::newRow("one sample") << QVector<int> { 500 } << 500346u;
        QTest::newRow("flat trace") << QVector<int>(100, 500) << 500346u;
        QTest::newRow("no spacing") << QVector<int> { 0, 10, 20, 30 } << 0u;
        QTest::newRow("tiny spacing") << QVector<int> { 0, 10, 20, 30, 40, 50 } << 1u;
    }

    void rangesWithoutExtent()
    {
        // The chart library never finishes a layout of data without height or width once it is zoomed.
        QFETCH(QVector<int>, samples);
        QFETCH(uint, spacing);
        sortest::Fxd fxd = TraceFiles::oneMetreGrid();
        fxd.sampleSpacing = spacing;
        parser = TraceFiles::parse(TraceFiles::writeTrace(
            std::vector<uint16_t>(samples.begin(), samples.end()), QStringLiteral("flat.sor"), sortest::Events(), fxd));
        plotter = std::make_unique<Plotter>();
        plotter->resize(800, 600);
        plotter->show();
        QVERIFY(QTest::qWaitForWindowExposed(plotter.get()));
        plotter->plot(parser.get());
        const QRectF full = plotter->chart.updateRange();
        QVERIFY(full.width() > 0 && full.height() != 0);
        plotter->chart.zoom(2.5f);
        Mouse::wheel(&plotter->chart, QPointF(300, 300), 120);
        plotter->grab();
        plotter.reset();
    }

    void axesGoWithTheChart()
    {
        // The plane leaves the chart before its diagrams go, and the chart's layout held the axes: nothing else
        // deletes them.
        Plotter& p = show(100);
        const QPointer<KChart::CartesianAxis> x = p.xAxis;
        const QPointer<KChart::CartesianAxis> y = p.yAxis;
        QVERIFY(x && y);
        plotter.reset();
        QVERIFY(x.isNull());
        QVERIFY(y.isNull());
    }

    void degenerateTraces()
    {
        // No samples: an empty chart, and the view handlers stay calm.
        Plotter& empty = show(0, QStringLiteral("empty.sor"));
        QCOMPARE(empty.traceModel.rowCount(), 0);
        QCOMPARE(empty.minMaxModel.rowCount(), 0);
        empty.chart.zoom(2.5f);
        empty.chart.resetView();
        empty.grab();

        // An index of refraction of 0 makes every distance infinite or not a number.
        sortest::Fxd fxd = TraceFiles::oneMetreGrid();
        fxd.indexRefraction = 0;
        parser = TraceFiles::parse(
            TraceFiles::writeTrace(TraceFiles::ramp(7000), QStringLiteral("ior0.sor"), sortest::Events(), fxd));
        QVERIFY(parser->fileParsed);
        plotter = std::make_unique<Plotter>();
        plotter->resize(800, 600);
        plotter->show();
        QVERIFY(QTest::qWaitForWindowExposed(plotter.get()));
        plotter->plot(parser.get());
        QCOMPARE(filledRows(plotter->traceModel), 0);
        plotter->chart.zoom(2.5f);
        Mouse::wheel(&plotter->chart, QPointF(300, 300), 120);
        Mouse::drag(&plotter->chart, QPoint(300, 300), QPoint(500, 200), Qt::MiddleButton);
        plotter->grab();
    }
};

TAVIX_TEST_MAIN(TestPlotter)
#include "tst_plotter.moc"
