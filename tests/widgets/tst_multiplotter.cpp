#include "Mouse.h"
#include "TestMain.h"
#include "TraceFiles.h"

#include "compare/MultiPlotOverviewItemWidget.h"
#include "compare/MultiPlotter.h"
#include "compare/PlotEntity.h"
#include "compare/SORMultiTab.h"
#include "plotter/TraceDiagram.h"

#include <QKeyEvent>
#include <QMainWindow>
#include <QPointer>
#include <QStatusBar>

#include <KChartCartesianAxis>
#include <KChartCartesianCoordinatePlane>
#include <KChartPlotter>

#include <cmath>

// The comparison chart: per-trace visible ranges, inert handlers without data, hover, cursors, removal, ownership.
class TestMultiPlotter : public QObject {
    Q_OBJECT

    std::unique_ptr<QMainWindow> window;
    SORMultiTab* tab = nullptr;

    SORMultiTab& open()
    {
        window = std::make_unique<QMainWindow>();
        tab = new SORMultiTab();
        window->setCentralWidget(tab);
        window->resize(1200, 800);
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            qWarning("window not exposed");
        return *tab;
    }

    static QString trace(const QString& name, size_t samples = 1000, int32_t offsetTenthMetres = 0)
    {
        sortest::Fxd fxd = TraceFiles::oneMetreGrid();
        fxd.aquOffsetDist = offsetTenthMetres;
        return TraceFiles::writeTrace(TraceFiles::ramp(samples), name, sortest::Events(), fxd);
    }

    void load(const QString& path)
    {
        std::fflush(stdout);
        QString error;
        QVERIFY2(tab->load(path.toStdWString(), &error), qPrintable(error));
        std::fflush(stdout);
    }

    // Shows data x from left to right (km); y stays whole.
    void view(double left, double right)
    {
        auto* plane = tab->plotter.chart.plane();
        const QRectF full = tab->plotter.chart.updateRange();
        plane->setZoomFactorX(full.width() / (right - left));
        plane->setZoomCenter(QPointF(((left + right) / 2 - full.x()) / full.width(), 0.5));
        tab->plotter.chart.enforceViewLimitsAndUpdate();
    }

    static QList<double> sampleNumbers(const PlotEntity* entity)
    {
        QList<double> numbers;
        for (int row = 0; row < entity->model.rowCount(); ++row) {
            if (entity->model.index(row, 0).data().isValid())
                numbers << entity->model.index(row, 4).data().toDouble();
        }
        return numbers;
    }

    static void removeDeferred() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

private Q_SLOTS:
    void cleanup()
    {
        window.reset();
        tab = nullptr;
        TestSupport::resetApplication();
    }

    void plotAddsTraceRowAndAxes()
    {
        SORMultiTab& t = open();
        MultiPlotter& p = t.plotter;
        QVERIFY(!p.chart.hasData);
        QVERIFY(!p.chart.plane()->isRubberBandZoomingEnabled());
        QVERIFY(!p.xAxis && !p.yAxis);
        load(trace(QStringLiteral("a.sor"), 7300));
        QVERIFY(p.chart.hasData);
        QVERIFY(p.chart.plane()->isRubberBandZoomingEnabled());
        QVERIFY(p.xAxis && p.yAxis);
        QCOMPARE(t.infoWidget.overview.list.count(), 1);
        // The range diagram spans the trace; the x range ends on round ticks.
        const QRectF full = p.chart.updateRange();
        QCOMPARE(full.x(), 0.0);
        QCOMPARE(full.width(), 8.0);

        const auto* axes = p.xAxis;
        load(trace(QStringLiteral("b.sor"), 2000));
        QCOMPARE(p.xAxis, axes);
        QCOMPARE(p.entities.size(), 2);
        QCOMPARE(t.infoWidget.overview.list.count(), 2);

        // The axes go with the chart.
        const QPointer<KChart::CartesianAxis> x = p.xAxis;
        const QPointer<KChart::CartesianAxis> y = p.yAxis;
        window.reset();
        tab = nullptr;
        QVERIFY(x.isNull());
        QVERIFY(y.isNull());
    }

    void eachTracePlotsItsOwnVisibleRange()
    {
        open();
        load(trace(QStringLiteral("near.sor"))); // 0 .. 0.999 km
        load(trace(QStringLiteral("far.sor"), 1000, 20000)); // 2 .. 2.999 km
        const PlotEntity* near = tab->plotter.entities[0];
        const PlotEntity* far = tab->plotter.entities[1];

        // Wholly left of the window: the last two samples.
        view(2.2, 2.4);
        QCOMPARE(sampleNumbers(near), (QList<double> { 998, 999 }));
        const QList<double> inside = sampleNumbers(far);
        QVERIFY(inside.first() < 200 && inside.last() > 400 && inside.size() < 300);

        // Wholly right of the window: the whole trace.
        view(0.2, 0.5);
        const QList<double> whole = sampleNumbers(far);
        QCOMPARE(whole.size(), 500);
        QCOMPARE(whole.first(), 0.0);
        QVERIFY(whole.last() >= 997);
    }

    void handlersAreInertWithoutData_data()
    {
        QTest::addColumn<bool>("afterRemoval");
        QTest::newRow("before the first trace") << false;
        QTest::newRow("after the last trace was removed") << true;
    }

    void handlersAreInertWithoutData()
    {
        QFETCH(bool, afterRemoval);
        SORMultiTab& t = open();
        MultiPlotter& p = t.plotter;
        if (afterRemoval) {
            load(trace(QStringLiteral("only.sor")));
            p.entities[0]->deleteLater();
            removeDeferred();
        }
        QVERIFY(!p.chart.hasData);
        auto* plane = p.chart.plane();
        p.chart.zoom(2.5f);
        p.chart.zoom(2.0f, 3.0f);
        Mouse::wheel(&p.chart, QPointF(500, 300), 120);
        Mouse::press(&p.chart, QPointF(500, 300), Qt::MiddleButton);
        QVERIFY(!p.chart.panning);
        Mouse::drag(&p.chart, QPointF(300, 200), QPointF(600, 500), Qt::LeftButton);
        p.chart.resetView();
        p.chart.enforceViewLimitsAndUpdate();
        QCOMPARE(plane->zoomFactorX(), 1.0);
        QCOMPARE(plane->zoomFactorY(), 1.0);
        QCOMPARE(plane->zoomCenter(), QPointF(0.5, 0.5));
        QCOMPARE(p.chart.updateRange(), QRectF());
        QVERIFY(!plane->isRubberBandZoomingEnabled());
        // Paints, and reads nothing out under the pointer.
        p.chart.grab();
        Mouse::move(&p.chart, QPointF(400, 300));
        QCOMPARE(window->statusBar()->currentMessage(), QString());
    }

    void removingTheOnlyTraceResetsTheView()
    {
        SORMultiTab& t = open();
        MultiPlotter& p = t.plotter;
        load(trace(QStringLiteral("only.sor")));
        p.chart.zoom(2.5f);
        QCOMPARE(p.chart.plane()->zoomFactorX(), 2.5);
        QPointer<PlotEntity> entity = p.entities[0];
        QPointer<KChart::Plotter> diagram = entity->diagram;
        QPointer<QWidget> row = entity->itemWidget.data();
        QVERIFY(row);
        QMetaObject::invokeMethod(row.data(), "deletePlot");
        QVERIFY(entity); // deferred
        removeDeferred();
        QVERIFY(!entity && !diagram && !row);
        QVERIFY(p.entities.isEmpty());
        QVERIFY(!p.chart.hasData);
        QVERIFY(!p.chart.plane()->isRubberBandZoomingEnabled());
        QCOMPARE(p.chart.plane()->zoomFactorX(), 1.0);
        QCOMPARE(t.infoWidget.overview.list.count(), 0);
        QCOMPARE(p.minMaxModel.rowCount(), 0);
    }

    void removingOneOfSeveralKeepsTheOthersInOrder()
    {
        SORMultiTab& t = open();
        MultiPlotter& p = t.plotter;
        load(trace(QStringLiteral("a.sor")));
        load(trace(QStringLiteral("b.sor"), 3000));
        load(trace(QStringLiteral("c.sor")));
        p.chart.zoom(2.5f);
        delete p.entities[1];
        QCOMPARE(p.entities.size(), 2);
        QCOMPARE(p.entities[0]->fileName, QStringLiteral("a.sor"));
        QCOMPARE(p.entities[1]->fileName, QStringLiteral("c.sor"));
        QCOMPARE(t.infoWidget.overview.list.count(), 2);
        QVERIFY(p.chart.hasData);
        QCOMPARE(p.chart.plane()->zoomFactorX(), 2.5);
        // The range shrank to the remaining traces.
        QVERIFY(p.minMaxModel.index(0, 0).data().toDouble() < 1.0);
        // The same view of a shorter range shows other samples: the remaining traces are plotted for it.
        const QRectF shown = p.chart.plane()->visibleDataRange();
        const QList<double> numbers = sampleNumbers(p.entities[0]);
        const auto& xs = p.entities[0]->parser.getXY()[0];
        QVERIFY(xs[numbers.first()] <= shown.x() && xs[numbers.last()] >= shown.x() + shown.width());
        QVERIFY(numbers.size() < 999);
        // Likewise when a longer trace joins.
        load(trace(QStringLiteral("d.sor"), 5000));
        const QRectF wider = p.chart.plane()->visibleDataRange();
        const QList<double> now = sampleNumbers(p.entities[0]);
        QVERIFY(wider.x() > xs.back() ? now.first() >= 997 : xs[now.first()] <= wider.x());
    }

    void hoverPrefersTheTraceLoadedFirst_data()
    {
        QTest::addColumn<QString>("firstName");
        QTest::addColumn<QString>("secondName");
        QTest::newRow("a then b") << "a.sor"
                                  << "b.sor";
        QTest::newRow("b then a") << "b.sor"
                                  << "a.sor";
    }

    void hoverPrefersTheTraceLoadedFirst()
    {
        QFETCH(QString, firstName);
        QFETCH(QString, secondName);
        MultiPlotter& p = open().plotter;
        load(trace(firstName));
        load(trace(secondName));
        p.chart.repaint();
        const TraceModel& m = p.entities[0]->model;
        const int row = 250;
        const QPointF pixel
            = p.chart.plane()->translate(QPointF(m.index(row, 0).data().toDouble(), m.index(row, 1).data().toDouble()));
        Mouse::move(&p.chart, QPointF(std::round(pixel.x()), std::round(pixel.y())));
        const QString status = window->statusBar()->currentMessage();
        QVERIFY2(status.contains(QStringLiteral("  Near point number ")), qPrintable(status));
        QVERIFY2(status.endsWith(QStringLiteral(" of file ") + firstName), qPrintable(status));
        QVERIFY(p.toolTip().contains(QStringLiteral("<td>📁</td><td>") + firstName));

        // Away from every trace.
        Mouse::move(&p.chart, QPointF(p.chart.width() - 60, 60));
        QVERIFY(p.toolTip().contains(QStringLiteral("Not a data point")));
        QVERIFY(!window->statusBar()->currentMessage().contains(QStringLiteral("Near")));
    }

    void cursorsByClickAndKeys()
    {
        SORMultiTab& t = open();
        MultiPlotter& p = t.plotter;
        MultiPlotOverview& cursors = t.infoWidget.overview;
        QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
        // Hidden cursors: keys are not consumed.
        QVERIFY(!p.eventFilter_keyPress(&p, &right));
        cursors.cursorsHidden = false;
        // No trace: consumed, nothing moves.
        QVERIFY(p.eventFilter_keyPress(&p, &right));
        QCOMPARE(cursors.cursorModel.index(0, 0).data().toDouble(), 0.0);

        cursors.cursorsHidden = true;
        load(trace(QStringLiteral("a.sor")));
        p.chart.repaint();
        // Ctrl+left click shows hidden cursors and places A where it was clicked.
        const QPointF at = p.chart.plane()->translate(QPointF(0.4, -70));
        Mouse::press(&p.chart, QPointF(std::round(at.x()), 300), Qt::LeftButton, Qt::ControlModifier);
        QVERIFY(cursors.cursorsPlaced && !cursors.cursorsHidden);
        const double a = cursors.cursorModel.index(0, 0).data().toDouble();
        QVERIFY(std::abs(a - 0.4) < 0.01);

        // Arrow keys step over the samples of the first trace (1 m apart).
        const auto& xs = p.entities[0]->parser.getXY()[0];
        cursors.setCursor(0, xs[400]);
        QVERIFY(p.eventFilter_keyPress(&p, &right));
        QCOMPARE(cursors.cursorModel.index(0, 0).data().toDouble(), xs[401]);
        QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
        p.eventFilter_keyPress(&p, &left);
        p.eventFilter_keyPress(&p, &left);
        QCOMPARE(cursors.cursorModel.index(0, 0).data().toDouble(), xs[399]);
        QKeyEvent ctrlRight(QEvent::KeyPress, Qt::Key_Right, Qt::ControlModifier);
        cursors.setCursor(1, xs[10]);
        p.eventFilter_keyPress(&p, &ctrlRight);
        QCOMPARE(cursors.cursorModel.index(1, 0).data().toDouble(), xs[11]);
        QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
        QVERIFY(!p.eventFilter_keyPress(&p, &up));

        // Dragging cursor A with the left button.
        const QPoint pa = cursors._getPos(0);
        Mouse::press(&p.chart, QPointF(pa.x() + 2, 300), Qt::LeftButton);
        QCOMPARE(p.chart.draggedCursor, 1);
        const QPointF to = p.chart.plane()->translate(QPointF(0.7, -70));
        Mouse::move(&p.chart, QPointF(std::round(to.x()), 300), Qt::LeftButton);
        Mouse::release(&p.chart, QPointF(std::round(to.x()), 300), Qt::LeftButton);
        QCOMPARE(p.chart.draggedCursor, 0);
        QVERIFY(std::abs(cursors.cursorModel.index(0, 0).data().toDouble() - 0.7) < 0.01);
    }

    void wheelAndRubberBandReplotEveryTrace()
    {
        MultiPlotter& p = open().plotter;
        load(trace(QStringLiteral("a.sor"), 20000));
        load(trace(QStringLiteral("b.sor"), 20000, 5000));
        p.chart.repaint();
        const QPointF pixel(500.5, 300.5);
        const QPointF before = p.chart.plane()->translateBack(pixel);
        Mouse::wheel(&p.chart, pixel, 120);
        QCOMPARE(p.chart.plane()->zoomFactorX(), 1.5);
        const QPointF now = p.chart.plane()->translate(before);
        QVERIFY2(std::abs(now.x() - pixel.x()) <= 1 && std::abs(now.y() - pixel.y()) <= 1,
            qPrintable(QStringLiteral("%1,%2").arg(now.x()).arg(now.y())));
        for (const PlotEntity* e : qAsConst(p.entities))
            QVERIFY(sampleNumbers(e).first() > 0);

        p.chart.resetView();
        Mouse::drag(&p.chart, QPoint(300, 200), QPoint(500, 400), Qt::LeftButton);
        QVERIFY(p.chart.plane()->zoomFactorX() > 1.5);
        for (const PlotEntity* e : qAsConst(p.entities))
            QVERIFY(sampleNumbers(e).first() > 0);
        Mouse::press(&p.chart, QPoint(400, 300), Qt::RightButton);
        QCOMPARE(p.chart.plane()->zoomFactorX(), 1.0);
        QCOMPARE(sampleNumbers(p.entities[0]).first(), 0.0);
    }

    void untrustedTracesStayOutOfTheChart()
    {
        MultiPlotter& p = open().plotter;
        sortest::Fxd ior0 = TraceFiles::oneMetreGrid();
        ior0.indexRefraction = 0;
        load(TraceFiles::writeTrace(TraceFiles::ramp(7000), QStringLiteral("ior0.sor"), sortest::Events(), ior0));
        load(trace(QStringLiteral("empty.sor"), 0));
        // Without a finite sample the chart has nothing to span, but must survive every handler.
        p.chart.zoom(2.5f);
        Mouse::wheel(&p.chart, QPointF(300, 300), 120);
        Mouse::drag(&p.chart, QPoint(300, 300), QPoint(500, 200), Qt::MiddleButton);
        Mouse::move(&p.chart, QPointF(350, 250));
        p.chart.resetView();
        p.grab();
        load(trace(QStringLiteral("good.sor")));
        p.chart.zoom(2.5f);
        Mouse::wheel(&p.chart, QPointF(300, 300), -120);
        p.grab();
        const auto allFinite = [](const QAbstractItemModel& m) {
            for (int row = 0; row < m.rowCount(); ++row) {
                for (int column : { 0, 1, 4 }) {
                    const QVariant v = m.index(row, column).data();
                    if (v.isValid() && !std::isfinite(v.toDouble()))
                        return false;
                }
            }
            return true;
        };
        QVERIFY(allFinite(p.minMaxModel));
        for (const PlotEntity* e : qAsConst(p.entities))
            QVERIFY(allFinite(e->model));
        QCOMPARE(p.minMaxModel.index(1, 0).data().toDouble(), 0.0);
        QCOMPARE(p.minMaxModel.index(0, 0).data().toDouble(), p.entities[2]->parser.getXY()[0].back());
    }

    void flatTracesStayResponsive()
    {
        // A range without height stalls the chart library's layout once zoomed: it must never reach the plane.
        MultiPlotter& p = open().plotter;
        load(TraceFiles::writeTrace(std::vector<uint16_t>(200, 700), QStringLiteral("flat.sor")));
        load(TraceFiles::writeTrace(std::vector<uint16_t>(1, 700), QStringLiteral("single.sor")));
        QVERIFY(p.minMaxModel.index(0, 1).data().toDouble() > p.minMaxModel.index(1, 1).data().toDouble());
        p.chart.zoom(2.5f);
        Mouse::wheel(&p.chart, QPointF(300, 300), 120);
        p.grab();
        window.reset(); // closing a zoomed comparison lays nothing out
    }
};

TAVIX_TEST_MAIN(TestMultiPlotter)
#include "tst_multiplotter.moc"
