#include "TestMain.h"
#include "TraceFiles.h"

#include "compare/MultiPlotEventDisplay.h"
#include "compare/MultiPlotOverview.h"
#include "compare/MultiPlotOverviewItemWidget.h"
#include "compare/PlotEntity.h"
#include "compare/SORMultiTab.h"
#include "widgets/ReadoutNumber.h"

// The event table of a comparison: the totals and key events of the trace list's current row.
class TestMultiPlotEventDisplay : public QObject {
    Q_OBJECT

    std::unique_ptr<SORMultiTab> tab;

    void add(const QString& name, const sortest::Events& events)
    {
        std::fflush(stdout);
        const QString path = TraceFiles::writeTrace(TraceFiles::ramp(1000), name, events);
        QVERIFY(tab->load(path.toStdWString(), nullptr));
        std::fflush(stdout);
    }

    static sortest::Events threeEvents()
    {
        sortest::Events events;
        const std::string codes[] = { "1F9999LS", "0F9999LS", "2E9999LS" };
        for (int i = 0; i < 3; ++i) {
            sortest::Event e;
            e.number = static_cast<uint16_t>(i + 1);
            e.timeOfTravel = 10000 * i;
            e.spliceLoss = static_cast<int16_t>(250 * (i + 1));
            e.slope = 330;
            e.reflectionLoss = -45000;
            e.code = codes[i];
            events.events.push_back(e);
        }
        events.totalLoss = 1500;
        events.fiberLength = 20000;
        events.orl = 32000;
        return events;
    }

    MultiPlotEventDisplay& display() { return tab->infoWidget.eventDisplay; }

    static QStringList rowTexts(const QTreeWidgetItem* item)
    {
        QStringList texts;
        for (int c = 0; c < item->columnCount(); ++c)
            texts << item->text(c);
        return texts;
    }

private Q_SLOTS:
    void init()
    {
        tab = std::make_unique<SORMultiTab>();
        tab->resize(1400, 900);
        tab->show();
        QVERIFY(QTest::qWaitForWindowExposed(tab.get()));
    }

    void cleanup()
    {
        tab.reset();
        TestSupport::removeIcons();
        TestSupport::resetApplication();
    }

    void showsTheCurrentRowOnly()
    {
        add(QStringLiteral("plain.sor"), sortest::Events());
        add(QStringLiteral("events.sor"), threeEvents());
        CListWidget& list = tab->infoWidget.overview.list;
        // Two rows selected, the second current: its events only.
        list.setCurrentRow(0);
        list.setCurrentRow(1, QItemSelectionModel::Select);
        QCOMPARE(list.selectedItems().size(), 2);
        QCOMPARE(display().titleLabel.text(), QStringLiteral("Events for events.sor"));
        QCOMPARE(display().eventTree.topLevelItemCount(), 3);
        QCOMPARE(display().totalTree.topLevelItemCount(), 1);
        // The totals as the cable table shows them: the fibre ends at its end event.
        const double length = tab->plotter.entities[1]->parser.events.keyEvents[2].Distance;
        const auto* totals = display().totalTree.topLevelItem(0);
        QCOMPARE(totals->text(0), QString::number(length, 'f', 3));
        QCOMPARE(totals->text(1), QStringLiteral("1.500"));
        QCOMPARE(totals->text(2), QStringLiteral("32.000"));
        QVERIFY(display().totalTree.visualItemRect(totals).bottom() < display().totalTree.viewport()->height());

        const auto& second = tab->plotter.entities[1]->parser.events.keyEvents[1];
        QCOMPARE(rowTexts(display().eventTree.topLevelItem(1)),
            (QStringList { "2", QString::number(second.Distance * 1000, 'f', 3), "0.5", "0.33", "-45", "0.75" }));
        QCOMPARE(display().eventTree.topLevelItem(2)->text(5), QStringLiteral("0.75")); // the end's drop left out
        QCOMPARE(display().eventTree.topLevelItem(1)->toolTip(0), QString::fromStdString(second.EventType));
        QCOMPARE(display().eventCodes, (std::vector<std::string> { "1F9999LS", "0F9999LS", "2E9999LS" }));

        // A trace without key events: the totals, an empty table; no length, so no attenuation.
        list.setCurrentRow(0);
        QCOMPARE(display().titleLabel.text(), QStringLiteral("Events for plain.sor"));
        QCOMPARE(display().eventTree.topLevelItemCount(), 0);
        QCOMPARE(display().totalTree.topLevelItem(0)->text(3), QStringLiteral("\u2013"));

        // A row whose trace is being removed empties the table.
        auto* row = tab->plotter.entities[0]->itemWidget.data();
        row->deletePlot();
        display().listEvents(row);
        QCOMPARE(display().titleLabel.text(), QString());
        QCOMPARE(display().totalTree.topLevelItemCount(), 0);
        display().listEvents(nullptr);
        QCOMPARE(display().eventTree.topLevelItemCount(), 0);
    }

    void iconsFollowTheTheme()
    {
        QVERIFY(TestSupport::installIcons());
        add(QStringLiteral("events.sor"), threeEvents());
        tab->infoWidget.overview.list.setCurrentRow(0);
        const auto iconImage
            = [this](int row) { return display().eventTree.topLevelItem(row)->icon(0).pixmap(16, 16).toImage(); };
        QVERIFY(!iconImage(0).isNull());
        const QColor bright = TestSupport::drawnColour(iconImage(0));
        app()->theme = Application::Dark;
        app()->_setTheme();
        const QColor dark = TestSupport::drawnColour(iconImage(0));
        QVERIFY(bright.isValid() && dark.isValid());
        QVERIFY(bright != dark);
    }

    void theMostEventsAFileCanAnnounce()
    {
        // Every row's icon is set again on a theme switch; over 65535 rows that must stay linear.
        QVERIFY(TestSupport::installIcons());
        sortest::Events many;
        for (uint32_t i = 0; i < 65535; ++i) {
            sortest::Event e;
            e.number = static_cast<uint16_t>(i + 1);
            e.timeOfTravel = static_cast<int32_t>(10 * i);
            e.spliceLoss = 1;
            e.code = i % 2 ? "0F9999LS" : "1F9999LS";
            many.events.push_back(e);
        }
        add(QStringLiteral("many.sor"), many);
        tab->infoWidget.overview.list.setCurrentRow(0);
        QCOMPARE(display().eventTree.topLevelItemCount(), 65535);
        app()->theme = Application::Dark;
        app()->_setTheme();
        QVERIFY(!display().eventTree.topLevelItem(65534)->icon(0).isNull());
        QCOMPARE(display().eventTree.topLevelItem(65534)->text(5), num(65535 * 0.001));
    }
};

TAVIX_TEST_MAIN(TestMultiPlotEventDisplay)
#include "tst_multiploteventdisplay.moc"
