#include "TestMain.h"
#include "TraceFiles.h"

#include "compare/MultiPlotOverview.h"
#include "compare/MultiPlotOverviewItemWidget.h"
#include "compare/PlotEntity.h"
#include "compare/SORMultiTab.h"
#include "plotter/TraceDiagram.h"
#include "widgets/ReadoutNumber.h"

#include <QCheckBox>
#include <QSignalSpy>

#include <KChartPlotter>

#include <cmath>

// The trace list: row texts and tool tips, cursor readings with their means, selection, colour and visibility.
class TestMultiPlotOverview : public QObject {
    Q_OBJECT

    std::unique_ptr<SORMultiTab> tab;

    MultiPlotOverview& open(int traces)
    {
        tab = std::make_unique<SORMultiTab>();
        tab->resize(1400, 900);
        tab->show();
        if (!QTest::qWaitForWindowExposed(tab.get()))
            qWarning("window not exposed");
        for (int i = 0; i < traces; ++i) {
            // Different slopes, so that every trace reads differently at the cursors.
            std::vector<uint16_t> samples(2000);
            for (size_t s = 0; s < samples.size(); ++s)
                samples[s] = static_cast<uint16_t>(s * (i + 1) % 60000);
            sortest::Events events;
            for (int e = 0; e <= i; ++e)
                events.events.push_back(sortest::Event());
            std::fflush(stdout);
            const QString path = TraceFiles::writeTrace(samples, QStringLiteral("t%1.sor").arg(i), events);
            if (!tab->load(path.toStdWString(), nullptr))
                qWarning("not loaded");
            std::fflush(stdout);
        }
        return tab->infoWidget.overview;
    }

    static QString reading(double v) { return num(v); }

private Q_SLOTS:
    void cleanup()
    {
        tab.reset();
        TestSupport::resetApplication();
    }

    void rowTexts()
    {
        open(2);
        auto* row = tab->plotter.entities[1]->itemWidget.data();
        QVERIFY(row);
        QCOMPARE(row->label.text(), QStringLiteral("t1.sor #E:2"));
        const sor::SORParser& p = tab->plotter.entities[1]->parser;
        const QString standard = QStringLiteral("Path: ") + QString::fromStdWString(p.path)
            + QStringLiteral("\nNumber of Events: 2\nWavelength: 1310 nm\nDate: ") + QString::fromStdString(p.fxd.Date)
            + QStringLiteral("\nTrace Length: ") + num(p.fxd.Range) + QStringLiteral(" km\nPulse Width: 100 ns");
        QCOMPARE(row->getStdLabelToolTip(), standard);
        QCOMPARE(row->label.toolTip(), standard);
    }

    void individualReadings_data()
    {
        QTest::addColumn<bool>("abMode");
        QTest::addColumn<bool>("individual");
        QTest::newRow("A/B, box off") << true << false;
        QTest::newRow("A/B, box on") << true << true;
        QTest::newRow("smart, box off") << false << false;
        QTest::newRow("smart, box on") << false << true;
    }

    void individualReadings()
    {
        QFETCH(bool, abMode);
        QFETCH(bool, individual);
        app()->cursorMode = abMode;
        MultiPlotOverview& list = open(2);
        list.individualBox->setChecked(individual);
        list.cursorsPlaced = true;
        list.cursorsHidden = false;
        list.setCursor(0, 0.2);
        list.setCursor(1, 0.7);
        PlotEntity* e = tab->plotter.entities[0];
        const double yA = e->parser.getYValue(0.2);
        const double yB = e->parser.getYValue(0.7);
        auto* row = e->itemWidget.data();
        QString shortText;
        QString full;
        if (abMode) {
            const double d = yB - yA;
            full
                = QStringLiteral("\n\nCursor A: (%1 km / %2 dB)\nCursor B: (%3 km / %4 dB)\nCursor B-A: (%5 km / %6 dB)"
                                 "&nbsp;Δx(B-A)/Δy(B-A): %7 dB/km")
                      .arg(reading(0.2), reading(yA), reading(0.7), reading(yB), reading(0.7 - 0.2), reading(d),
                          reading(d / (0.7 - 0.2)));
            shortText = QStringLiteral("\nCursor B-A: %1 dB").arg(reading(d));
        } else {
            const double a = yA - yB;
            full = QStringLiteral(
                "\n\nSegment between cursors:\n Length: %1 km\n  from: %2 km (%3 dB)\n  to: %4 km (%5 dB)\n"
                " Attenuation: %6 dB (%7 dB/km)")
                       .arg(reading(0.7 - 0.2), reading(0.2), reading(yA), reading(0.7), reading(yB), reading(a),
                           reading(a / (0.7 - 0.2)));
            shortText = QStringLiteral("\nΔCurs.: %1 dB\n(%2 dB/km)").arg(reading(a), reading(a / (0.7 - 0.2)));
        }
        // The tool tip always holds the full reading; the row shows the short one only with the box.
        QCOMPARE(row->label.toolTip(), row->getStdLabelToolTip() + full);
        QCOMPARE(row->label.text(), QStringLiteral("t0.sor #E:1") + (individual ? shortText : QString()));
        QCOMPARE(row->item->text(), individual ? QString(shortText.count('\n'), '\n') : QString());
    }

    void means_data()
    {
        QTest::addColumn<bool>("abMode");
        QTest::addColumn<double>("xA");
        QTest::addColumn<double>("xB");
        QTest::newRow("A/B") << true << 0.3 << 1.1;
        QTest::newRow("A/B, A right of B") << true << 1.1 << 0.3;
        QTest::newRow("smart") << false << 0.3 << 1.1;
        QTest::newRow("smart, A right of B") << false << 1.1 << 0.3;
    }

    void means()
    {
        QFETCH(bool, abMode);
        QFETCH(double, xA);
        QFETCH(double, xB);
        app()->cursorMode = abMode;
        MultiPlotOverview& list = open(3);
        list.cursorsPlaced = true;
        list.cursorsHidden = false;
        list.setCursor(0, xA);
        list.setCursor(1, xB);
        // Smart mode reads from the left cursor to the right one, whichever is A.
        const double left = abMode ? xA : std::min(xA, xB);
        const double right = abMode ? xB : std::max(xA, xB);
        double sumA = 0;
        double sumB = 0;
        for (PlotEntity* e : qAsConst(tab->plotter.entities)) {
            sumA += std::exp(e->parser.getYValue(left) / 10);
            sumB += std::exp(e->parser.getYValue(right) / 10);
        }
        const double meanA = 10 * std::log(sumA / 3);
        const double meanB = 10 * std::log(sumB / 3);
        QString expected;
        if (abMode) {
            const double diff = 10 * std::log(sumB / sumA);
            expected
                = QStringLiteral("<P>&nbsp;Mean Cursor A: (%1 km / %2 dB)<br>&nbsp;Mean Cursor B: (%3 km / %4 dB)<br>"
                                 "&nbsp;Mean Cursor B-A: (%5 km / %6 dB)<br>&nbsp;Mean Δx(B-A)/Δy(B-A): %7 dB/km")
                      .arg(reading(xA), reading(meanA), reading(xB), reading(meanB), reading(xB - xA), reading(diff),
                          reading(diff / (xB - xA)));
        } else {
            const double diff = 10 * std::log(sumA / sumB);
            const double length = right - left;
            expected
                = QStringLiteral("<P>&nbsp;Segment between cursors: &nbsp;Length: <b>%1 km</b><br>&nbsp; from: <b>%2 "
                                 "km</b> (%3 dB) to <b>%4 km</b> (%5 dB) <br>&nbsp; Mean Attenuation: <b>%6 dB</b> "
                                 "(<b>%7 dB/km</b>)</P>")
                      .arg(reading(length), reading(left), reading(meanA), reading(right), reading(meanB),
                          reading(diff), reading(diff / length));
        }
        QCOMPARE(list.cursorInfoLabel->text(), expected);
        QVERIFY(list.cursorInfoWidget->height() > 0);
    }

    void cursorsStayInsideTheVisibleChart()
    {
        MultiPlotOverview& list = open(1);
        list.setCursor(0, 0.5);
        QCOMPARE(list.cursorModel.index(0, 0).data().toDouble(), 0.0); // hidden: nothing moves
        list.cursorsPlaced = true;
        list.cursorsHidden = false;
        list.setCursor(0, 0.5);
        QCOMPARE(list.cursorModel.index(0, 0).data().toDouble(), 0.5);
        list.setCursor(0, 50.0);
        list.setCursor(0, -3.0);
        list.setCursor(0, std::nan(""));
        QCOMPARE(list.cursorModel.index(0, 0).data().toDouble(), 0.5);
        QCOMPARE(list.cursorModel.index(0, 2).data(Qt::ToolTipRole).toString(),
            QStringLiteral("<table><tr><td>X</td><td>0.5 km</td></tr><tr><td>Y</td><td>0 dB</td></tr><tr><td>M</td>"
                           "<td>A</td></tr></table>"));
        // Zoomed in, only the visible part of the chart takes a cursor.
        tab->plotter.chart.zoom(4.0f);
        const QRectF shown = tab->plotter.chart.plane()->visibleDataRange();
        list.setCursor(1, shown.x() - 0.01);
        list.setCursor(1, shown.x() + shown.width() + 0.01);
        QCOMPARE(list.cursorModel.index(1, 0).data().toDouble(), 0.0);
        list.setCursor(1, shown.center().x());
        QCOMPARE(list.cursorModel.index(1, 0).data().toDouble(), shown.center().x());
        // The mode switch rebuilds the readings.
        const QString before = list.cursorInfoLabel->text();
        app()->cursorMode = false;
        emit app()->CursorModeChanged();
        QVERIFY(list.cursorInfoLabel->text() != before);
    }

    void selectionHighlightsAndColoursChange()
    {
        MultiPlotOverview& list = open(3);
        PlotEntity* first = tab->plotter.entities[0];
        PlotEntity* second = tab->plotter.entities[1];
        list.list.item(1)->setSelected(true);
        QVERIFY(second->selected && !first->selected);
        QCOMPARE(second->diagram->pen().color(), app()->selectedMultiGraphPenColour);
        list.list.item(0)->setSelected(true);
        list.list.item(1)->setSelected(false);
        QVERIFY(first->selected && !second->selected);
        QCOMPARE(second->diagram->pen().color(), PlotEntity::generatedColour(second->colourSeed));

        // A double click gives a new colour, at once also to an unselected trace.
        const quint32 seed = second->colourSeed;
        while (second->colourSeed == seed)
            list.changeItemColourSeed(list.list.item(1));
        QCOMPARE(list.list.selectedItems().size(), 0);
        QCOMPARE(second->diagram->pen().color(), PlotEntity::generatedColour(second->colourSeed));
        // Each row's swatch shows its trace's colour, the new one too, whatever the theme.
        const auto swatchColour
            = [](PlotEntity* e) { return e->itemWidget->swatch.pixmap(Qt::ReturnByValue).toImage().pixelColor(6, 6); };
        QCOMPARE(swatchColour(second), PlotEntity::generatedColour(second->colourSeed));
        app()->theme = app()->theme == Application::Dark ? Application::Bright : Application::Dark;
        app()->_setTheme();
        for (PlotEntity* e : { first, second })
            QCOMPARE(swatchColour(e), PlotEntity::generatedColour(e->colourSeed));

        // Hidden, then shown with the colour it had.
        auto* row = second->itemWidget.data();
        row->visibleBox.setChecked(false);
        QVERIFY(!second->visible);
        QCOMPARE(second->diagram->pen().style(), Qt::NoPen);
        row->visibleBox.setChecked(true);
        QCOMPARE(second->diagram->pen().color(), PlotEntity::generatedColour(second->colourSeed));
    }

    void removedTracesLeaveTheMeans()
    {
        MultiPlotOverview& list = open(2);
        list.cursorsPlaced = true;
        list.cursorsHidden = false;
        list.setCursor(0, 0.2);
        list.setCursor(1, 0.9);
        const QString both = list.cursorInfoLabel->text();
        delete tab->plotter.entities[1];
        const double yA = tab->plotter.entities[0]->parser.getYValue(0.2);
        QVERIFY(list.cursorInfoLabel->text() != both);
        QVERIFY2(list.cursorInfoLabel->text().contains(
                     QStringLiteral("(0.2 km / %1 dB)").arg(reading(10 * std::log(std::exp(yA / 10))))),
            qPrintable(list.cursorInfoLabel->text()));
    }
};

TAVIX_TEST_MAIN(TestMultiPlotOverview)
#include "tst_multiplotoverview.moc"
