#include "Mouse.h"
#include "TestMain.h"
#include "TraceFiles.h"

#include "compare/SORMultiTab.h"
#include "plotter/Plotter.h"

#include <KChartCartesianCoordinatePlane>

#include <cmath>

// Wheel zoom of both charts: classic notches, the fine steps of high-resolution wheels and touchpads, swipes.
class TestWheel : public QObject {
    Q_OBJECT

    std::unique_ptr<sor::SORParser> parser;
    std::unique_ptr<Plotter> single;
    std::unique_ptr<SORMultiTab> comparison;

    ChartView& chart(const QString& kind)
    {
        const QString path = TraceFiles::writeTrace(TraceFiles::ramp(20000), QStringLiteral("wheel.sor"));
        QWidget* shown = nullptr;
        ChartView* view = nullptr;
        if (kind == QLatin1String("single")) {
            parser = TraceFiles::parse(path);
            single = std::make_unique<Plotter>();
            single->plot(parser.get());
            shown = single.get();
            view = &single->chart;
        } else {
            comparison = std::make_unique<SORMultiTab>();
            std::fflush(stdout);
            comparison->load(path.toStdWString(), nullptr);
            std::fflush(stdout);
            shown = comparison.get();
            view = &comparison->plotter.chart;
        }
        shown->resize(1000, 700);
        shown->show();
        if (!QTest::qWaitForWindowExposed(shown))
            qWarning("window not exposed");
        view->repaint();
        return *view;
    }

private Q_SLOTS:
    void cleanup()
    {
        single.reset();
        comparison.reset();
        parser.reset();
    }

    void zoomFollowsTheTurn_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("delta");
        QTest::addColumn<double>("zoom"); // from 4: 4 * 1.5^(delta / 120)
        const struct {
            int delta;
            double zoom;
        } turns[] = { { 15, 4.2079580220 }, { 40, 4.5788569702 }, { 120, 6.0 }, { 240, 9.0 }, { -15, 3.8023192998 },
            { -40, 3.4943218589 }, { -120, 8.0 / 3 }, { -240, 16.0 / 9 }, { 0, 4.0 } };
        for (const char* kind : { "single", "comparison" }) {
            for (const auto& turn : turns)
                QTest::addRow("%s %+d", kind, turn.delta) << QString::fromLatin1(kind) << turn.delta << turn.zoom;
        }
    }

    void zoomFollowsTheTurn()
    {
        QFETCH(QString, kind);
        QFETCH(int, delta);
        QFETCH(double, zoom);
        ChartView& view = chart(kind);
        auto* plane = view.plane();
        view.zoom(4.0f);
        const QPointF centre = plane->zoomCenter();
        const QPointF pixel(400.5, 300.5);
        const QPointF before = plane->translateBack(pixel);

        // Only a turn is taken; a swipe sideways passes on and leaves the view as it was.
        QCOMPARE(Mouse::wheel(&view, pixel, delta, delta == 0 ? 120 : 0), delta != 0);
        QVERIFY2(std::abs(plane->zoomFactorX() - zoom) < 1e-6, qPrintable(QString::number(plane->zoomFactorX())));
        QVERIFY(std::abs(plane->zoomFactorY() - zoom) < 1e-6);
        if (delta == 0)
            QCOMPARE(plane->zoomCenter(), centre);
        // The point under the pointer stays there, within a pixel: new tick labels may move the plot area.
        const QPointF now = plane->translate(before);
        QVERIFY2(std::abs(now.x() - pixel.x()) <= 1 && std::abs(now.y() - pixel.y()) <= 1,
            qPrintable(QStringLiteral("%1,%2").arg(now.x()).arg(now.y())));
    }

    void notchesAreExact()
    {
        QCOMPARE(ChartView::wheelFactor(120), 1.5);
        QCOMPARE(ChartView::wheelFactor(-120), -1 / (-120 / 80.0));
        QCOMPARE(ChartView::wheelFactor(240) * ChartView::wheelFactor(-240), 1.0);
    }
};

TAVIX_TEST_MAIN(TestWheel)
#include "tst_wheel.moc"
