#include "Mouse.h"
#include "TestMain.h"
#include "TraceFiles.h"

#include "events/OTDREvent.h"
#include "events/OTDREventHandler.h"
#include "plotter/PointRows.h"
#include "shell/SORTab.h"
#include "widgets/ReadoutNumber.h"

#include <QApplication>
#include <QMainWindow>
#include <QPointer>
#include <QStatusBar>

#include <KChartCartesianCoordinatePlane>
#include <KChartDataValueAttributes>
#include <KChartMarkerAttributes>
#include <KChartPlotter>

// Event markers and the event table: rows, markers, pulses and their lifetime.
class TestEvents : public QObject {
    Q_OBJECT

    QString path;
    std::unique_ptr<QMainWindow> window;
    SORTab* tab = nullptr;

    static sortest::Events threeEvents()
    {
        sortest::Events e;
        const struct {
            int32_t time;
            int16_t loss;
            const char* code;
        } rows[] = { { 20000, 100, "0F9999LS" }, { 40000, 200, "1F9999LS" }, { 60000, 300, "1E9999LS" } };
        uint16_t n = 1;
        for (const auto& r : rows) {
            sortest::Event ev;
            ev.number = n++;
            ev.timeOfTravel = r.time;
            ev.spliceLoss = r.loss;
            ev.slope = 330;
            ev.reflectionLoss = -45000;
            ev.code = r.code;
            ev.peak = static_cast<uint32_t>(r.time + 50);
            ev.comment = "splice tray";
            e.events.push_back(ev);
        }
        e.totalLoss = 1500;
        e.fiberLength = 60000;
        e.orl = 38000;
        return e;
    }

    void open(bool advanced, const QString& file = QString())
    {
        window = std::make_unique<QMainWindow>();
        tab = new SORTab(window.get());
        window->setCentralWidget(tab);
        window->resize(1400, 900);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QString error;
        QVERIFY2(tab->load((file.isEmpty() ? path : file).toStdWString(), advanced, &error), qPrintable(error));
        QCoreApplication::processEvents();
    }

    OTDREventHandler& handler() { return tab->info.eventHandler; }

private Q_SLOTS:
    void initTestCase()
    {
        path = TraceFiles::writeTrace(TraceFiles::ramp(8000), QStringLiteral("events.sor"), threeEvents());
    }

    void cleanup()
    {
        window.reset();
        tab = nullptr;
        TestSupport::resetApplication();
    }

    void tables()
    {
        open(false);
        auto& h = handler();
        QCOMPARE(h.summaryTable.topLevelItemCount(), 1);
        // As the cable table and the report show them: the fibre ends at its end event.
        const auto* totals = h.summaryTable.topLevelItem(0);
        QCOMPARE(totals->text(0), QString::number(tab->parser->events.keyEvents[2].Distance, 'f', 3));
        QCOMPARE(totals->text(1), QStringLiteral("1.500"));
        QCOMPARE(totals->text(2), QStringLiteral("38.000"));
        // The row shows whole below its header, a horizontal scroll bar or not.
        QVERIFY(h.summaryTable.isVisible());
        QVERIFY(h.summaryTable.visualItemRect(totals).height() > 0);
        QVERIFY(h.summaryTable.visualItemRect(totals).bottom() < h.summaryTable.viewport()->height());
        QCOMPARE(h.eventTable.columnCount(), 6);
        QCOMPARE(h.eventTable.topLevelItemCount(), 3);
        const auto* third = h.eventTable.topLevelItem(2);
        QCOMPARE(third->text(0), QStringLiteral("3"));
        QCOMPARE(third->text(2), QStringLiteral("0.3"));
        QCOMPARE(third->text(3), QStringLiteral("0.33"));
        QCOMPARE(third->text(4), QStringLiteral("-45"));
        QCOMPARE(third->text(5), QStringLiteral("0.3")); // events 1 to 3, the end's own drop left out
        QCOMPARE(third->toolTip(0), QStringLiteral("end of fiber reflection event (1E9999LS)"));
        QVERIFY(!third->icon(0).isNull() || !QFile::exists(QStringLiteral("Icons/otdr_end_connector.svg")));
        const auto& k = tab->parser->events.keyEvents[2];
        QCOMPARE(third->text(1), QString::number(k.Distance * 1000, 'f', 3));
    }

    void advancedColumns()
    {
        open(true);
        const auto* first = handler().eventTable.topLevelItem(0);
        const auto& k = tab->parser->events.keyEvents[0];
        QCOMPARE(handler().eventTable.columnCount(), 14);
        QCOMPARE(first->text(6), QStringLiteral("2000 ns"));
        QCOMPARE(first->text(11), num(k.PeakPointCurrent) + QStringLiteral(" km"));
        QCOMPARE(first->text(12), QStringLiteral("splice tray"));
        QCOMPARE(first->text(13), QStringLiteral("loss/gain event (0F9999LS)"));
    }

    void markers()
    {
        open(false);
        auto& plotter = tab->plotter;
        QCOMPARE(plotter.events.size(), size_t(3));
        const OTDREvent* second = handler().events[1];
        QCOMPARE(plotter.events[1], second);
        const auto& m = second->markerModel;
        QCOMPARE(m.rowCount(), 1);
        QCOMPARE(m.columnCount(), 6);
        const double x = second->keyEvent->Distance;
        const double y = tab->parser->getYValue(x);
        QCOMPARE(m.index(0, 0).data().toDouble(), x);
        QCOMPARE(m.index(0, 1).data().toDouble(), y);
        QCOMPARE(m.index(0, 3).data(Qt::UserRole).toInt(), int(chart::EventMarker));
        QCOMPARE(m.index(0, 4).data().toDouble(), 2.0);
        QCOMPARE(m.index(0, 5).data(Qt::UserRole).toUInt(), 1u);
        QCOMPARE(m.index(0, 2).data(Qt::ToolTipRole).toString(),
            QStringLiteral("<table><tr><td>X</td><td>%1 km</td></tr><tr><td>Y</td><td>%2 dB</td></tr><tr><td>E</td>"
                           "<td>#2</td></tr></table>\nreflection event (1F9999LS)")
                .arg(num(x), num(y)));
        QCOMPARE(
            m.headerData(0, Qt::Horizontal, Qt::EditRole).toString(), QStringLiteral("reflection event (1F9999LS)"));
    }

    void hoverOverAMarker()
    {
        open(false);
        auto& plotter = tab->plotter;
        OTDREvent* second = handler().events[1];
        const QPointF at = plotter.chart.plane()->translate(QPointF(
            second->markerModel.index(0, 0).data().toDouble(), second->markerModel.index(0, 1).data().toDouble()));
        Mouse::move(&plotter.chart, at);
        QVERIFY2(window->statusBar()->currentMessage().endsWith(QStringLiteral("  Near event #2")),
            qPrintable(window->statusBar()->currentMessage()));
        QCOMPARE(plotter.toolTip(), second->markerModel.index(0, 2).data(Qt::ToolTipRole).toString());
        QCOMPARE(second->brightnessAnimation.state(), QAbstractAnimation::Running);
    }

    void tableClickPulsesTheMarker()
    {
        open(false);
        auto& table = handler().eventTable;
        const QRect row = table.visualItemRect(table.topLevelItem(2));
        Mouse::press(table.viewport(), row.center(), Qt::LeftButton);
        QCOMPARE(handler().events[2]->markerSizeAnimation.state(), QAbstractAnimation::Running);
        QCOMPARE(handler().events[0]->markerSizeAnimation.state(), QAbstractAnimation::Stopped);
        QVERIFY(table.topLevelItem(2)->isSelected()); // the click still selects
    }

    void markerSizeAndBrightness()
    {
        open(false);
        OTDREvent* e = handler().events[0];
        e->setProperty("markerSize", 2.55f);
        QCOMPARE(e->markerDiagram->dataValueAttributes().markerAttributes().markerSize(), QSizeF(25, 25));
        e->resetMarkerSize();
        QCOMPARE(e->markerDiagram->dataValueAttributes().markerAttributes().markerSize(), QSizeF(10, 10));

        app()->theme = Application::Bright; // base #f0f0f0: the pulse darkens
        app()->_setTheme();
        e->setBrightness(0.5f);
        QCOMPARE(e->item->background(3).color(), QColor(120, 120, 120));
        app()->theme = Application::Dark; // base #333333: the pulse brightens
        app()->_setTheme();
        e->setBrightness(0.5f);
        QCOMPARE(e->item->background(3).color(), QColor(102, 102, 102));
        // A theme change resets both.
        e->setProperty("markerSize", 3.0f);
        app()->_setTheme();
        QCoreApplication::processEvents();
        QCOMPARE(e->markerSize, 1.0f);
        QCOMPARE(e->brightness, 1.0f);
        QCOMPARE(e->item->background(0).color(), QColor(0x33, 0x33, 0x33));
    }

    void cumulativeLossStaysInTheList()
    {
        auto parser = TraceFiles::parse(path);
        QVERIFY(std::abs(OTDREvent::cumulativeLoss(*parser, 0) - 0.1) < 1e-12);
        QVERIFY(std::abs(OTDREvent::cumulativeLoss(*parser, 2) - 0.3) < 1e-12);
        QVERIFY(std::abs(OTDREvent::cumulativeLoss(*parser, 9) - 0.3) < 1e-12);
    }

    void positionInMetres()
    {
        open(false);
        sor::KeyEventData e = tab->parser->events.keyEvents[0];
        e.Distance = 1.2345678;
        OTDREvent standalone;
        std::unique_ptr<QTreeWidgetItem> row(standalone.loadEvent(tab->parser, &tab->plotter, &e, false));
        QCOMPARE(row->text(1), QStringLiteral("1234.568"));
        QCOMPARE(row->columnCount(), 6);
        // The standalone marker leaves with this test.
        tab->plotter.events.pop_back();
        tab->plotter.chart.plane()->takeDiagram(standalone.markerDiagram);
        delete standalone.markerDiagram;
    }

    void noEvents()
    {
        const QString none = TraceFiles::writeTrace(TraceFiles::ramp(100), QStringLiteral("none.sor"));
        window = std::make_unique<QMainWindow>();
        tab = new SORTab(window.get());
        QVERIFY(tab->load(none.toStdWString(), false, nullptr));
        QCOMPARE(handler().summaryTable.topLevelItemCount(), 1);
        QCOMPARE(handler().summaryTable.topLevelItem(0)->text(0), QStringLiteral("\u2013")); // not measured
        QCOMPARE(handler().eventTable.topLevelItemCount(), 0);
        QVERIFY(tab->plotter.events.empty());
    }

    void aFileWithTheMostEventsItCanAnnounce()
    {
        // 65535 events: every one gets its row and its cumulative loss, the first maxMarkers a marker.
        sortest::Events many;
        const char* codes[] = { "0F9999LS", "1F9999LS", "2F9999LS" };
        for (uint32_t i = 0; i < 65535; ++i) {
            sortest::Event ev;
            ev.number = static_cast<uint16_t>(i + 1);
            ev.timeOfTravel = static_cast<int32_t>(10 * i);
            ev.spliceLoss = static_cast<int16_t>(static_cast<int>(i % 7) * 10 - 30);
            ev.code = codes[i % 3];
            many.events.push_back(ev);
        }
        QVERIFY(TestSupport::installIcons());
        open(true, TraceFiles::writeTrace(TraceFiles::ramp(8000), QStringLiteral("many-events.sor"), many));
        QCOMPARE(handler().eventTable.topLevelItemCount(), 65535);
        QCOMPARE(tab->plotter.events.size(), size_t(OTDREventHandler::maxMarkers));
        QVERIFY(handler().events[OTDREventHandler::maxMarkers - 1]->markerDiagram);
        QVERIFY(!handler().events[OTDREventHandler::maxMarkers]->markerDiagram);
        QCOMPARE(handler().eventsLabel.text(),
            QStringLiteral("  Events (the first %1 of 65535 marked on the trace)").arg(OTDREventHandler::maxMarkers));
        for (const int row : { 0, 999, 1000, 40000, 65534 }) {
            const auto* e = handler().events[row];
            QCOMPARE(e->item->text(5), num(OTDREvent::cumulativeLoss(*tab->parser, size_t(row))));
        }

        // A row without a marker pulses nothing and survives a palette change.
        handler().events.last()->markerSizeAnimation.start();
        QApplication::setPalette(app()->getPalette(true));
        QTest::qWait(50);
        QVERIFY(!handler().events.last()->item->icon(0).isNull());
        QPointer<OTDREvent> last = handler().events.last();
        window.reset();
        QVERIFY(last.isNull());
    }

    void closingTheTabReleasesTheEvents()
    {
        open(false);
        QList<QPointer<OTDREvent>> events;
        for (auto* e : handler().events)
            events << e;
        QPointer<KChart::Plotter> marker = handler().events[0]->markerDiagram;
        window.reset();
        for (const auto& e : events)
            QVERIFY(e.isNull());
        QVERIFY(marker.isNull());
    }
};

TAVIX_TEST_MAIN(TestEvents)
#include "tst_events.moc"
