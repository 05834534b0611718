#include "Mouse.h"
#include "TestMain.h"
#include "TraceFiles.h"

#include "plotter/MinimapPlotter.h"
#include "plotter/Plotter.h"
#include "plotter/TraceDiagram.h"

#include <QVBoxLayout>

#include <KChartCartesianCoordinatePlane>
#include <KChartPlotter>

// The minimap: overview rows and moving the main view.
class TestMinimap : public QObject {
    Q_OBJECT

    std::unique_ptr<sor::SORParser> parser;
    std::unique_ptr<QWidget> window;
    Plotter* main = nullptr;
    MinimapPlotter* minimap = nullptr;

    void show(const std::vector<uint16_t>& samples)
    {
        parser = TraceFiles::parse(TraceFiles::writeTrace(samples, QStringLiteral("mini.sor")));
        window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window.get());
        main = new Plotter;
        layout->addWidget(main, 4);
        window->resize(900, 900);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        main->plot(parser.get());
        minimap = new MinimapPlotter(main);
        layout->addWidget(minimap, 1);
        minimap->plot(parser.get());
        QCoreApplication::processEvents();
    }

    double row(int r) const { return minimap->model.index(r, 1).data().toDouble(); }

private Q_SLOTS:
    void cleanup()
    {
        window.reset();
        parser.reset();
    }

    void oneRowPerSampleWhenShort()
    {
        std::vector<uint16_t> samples(300);
        for (size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<uint16_t>((i * 7919) % 1000);
        show(samples);
        QCOMPARE(main->minimap, minimap);
        QCOMPARE(minimap->model.rowCount(), 300);
        const auto& ys = parser->getXY()[1];
        for (int r : { 0, 1, 150, 299 })
            QCOMPARE(row(r), ys[r]);
        QCOMPARE(minimap->model.index(17, 4).data().toDouble(), 17.0);
    }

    void overlappingMinMaxWindows()
    {
        std::vector<uint16_t> samples(40000);
        for (size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<uint16_t>((i * 7919) % 5003);
        show(samples);
        QCOMPARE(minimap->model.rowCount(), 400);
        const auto& ys = parser->getXY()[1];
        QCOMPARE(row(0), *std::min_element(ys.begin(), ys.begin() + 200));
        QCOMPARE(row(1), *std::max_element(ys.begin() + 100, ys.begin() + 300));
        QCOMPARE(minimap->model.index(1, 0).data().toDouble(), parser->getXY()[0][100]);
        QCOMPARE(minimap->model.index(399, 4).data().toDouble(), 399.0);
        QCOMPARE(minimap->model.headerData(0, Qt::Horizontal, Qt::EditRole).toString(), QStringLiteral(".sor Data"));
    }

    void clickRecentresTheMainView()
    {
        show(TraceFiles::ramp(20000));
        auto* mainPlane = main->chart.plane();
        main->chart.zoom(4.0f);
        const QRectF before = mainPlane->visibleDataRange();
        const QPointF target(15.0, -60.0);
        const QPointF pixel = minimap->chart.plane()->translate(target);
        QVERIFY(Mouse::press(&minimap->chart, pixel, Qt::LeftButton));
        const QRectF after = mainPlane->visibleDataRange();
        QVERIFY(std::abs(after.width() - before.width()) < 1e-9); // same zoom
        QVERIFY(std::abs(after.center().x() - target.x()) < 0.1);
        QVERIFY(std::abs(after.center().y() - target.y()) < 0.1);
        QCOMPARE(mainPlane->zoomFactorX(), 4.0);
        // Dragging follows the pointer; the rows of the main chart follow the view.
        const QPointF next = minimap->chart.plane()->translate(QPointF(5.0, -55.0));
        Mouse::move(&minimap->chart, next, Qt::LeftButton);
        QVERIFY(std::abs(mainPlane->visibleDataRange().center().x() - 5.0) < 0.1);
        QVERIFY(main->traceModel.index(0, 0).data().toDouble() < 5.0);
        Mouse::release(&minimap->chart, next, Qt::LeftButton);
        QVERIFY(!minimap->chart.dragging);
        // Side buttons are left for the tab widget.
        QVERIFY(!Mouse::press(&minimap->chart, next, Qt::BackButton));
    }

    // The minimap paints again only for what it shows: the view rectangle, its trace, its colours.
    void paintsOnlyWhenItsPictureChanges()
    {
        show(TraceFiles::ramp(20000));
        struct PaintCounter : QObject {
            int paints = 0;
            bool eventFilter(QObject*, QEvent* event) override
            {
                paints += event->type() == QEvent::Paint;
                return false;
            }
        } counter;
        minimap->chart.installEventFilter(&counter);
        const auto paintsAfter = [&](const std::function<void()>& change) {
            QCoreApplication::processEvents();
            counter.paints = 0;
            change();
            QCoreApplication::processEvents();
            return counter.paints;
        };
        paintsAfter([&] { main->chart.repaint(); }); // the first paint lays the main chart out
        QCOMPARE(paintsAfter([&] { main->chart.repaint(); }), 0);
        QCOMPARE(paintsAfter([&] { main->plotOnlyVisible(); }), 0);
        QVERIFY(paintsAfter([&] { main->chart.zoom(2.0f); }) > 0);
        QCOMPARE(paintsAfter([&] { main->chart.repaint(); }), 0);
        QVERIFY(paintsAfter([&] { app()->setGraphColour(QColor(10, 20, 30)); }) > 0);
        app()->resetGraphColour();
    }

    void graphColourFollowsThePalette()
    {
        show(TraceFiles::ramp(1000));
        app()->setGraphColour(QColor(10, 20, 30));
        QCoreApplication::processEvents();
        QCOMPARE(minimap->diagram->pen().color(), QColor(10, 20, 30));
        QCOMPARE(main->traceDiagram->pen().color(), QColor(10, 20, 30));
        app()->resetGraphColour();
    }
};

TAVIX_TEST_MAIN(TestMinimap)
#include "tst_minimap.moc"
