#include "CableFolder.h"
#include "MalformedVariants.h"
#include "Poppler.h"
#include "QuietReader.h"
#include "SyntheticTrace.h"
#include "TestMain.h"
#include "TraceFiles.h"

#include "analysis/FileSummary.h"
#include "cable/CableTab.h"
#include "compare/PlotEntity.h"
#include "compare/SORMultiTab.h"
#include "plotter/Decimation.h"
#include "report/CableReport.h"
#include "report/ComparisonReport.h"
#include "report/Output.h"
#include "report/Pages.h"
#include "report/ReportChart.h"
#include "report/TraceReport.h"
#include "shell/MainWindow.h"
#include "shell/ReportDialog.h"
#include "shell/SORTab.h"
#include "shell/TabReport.h"
#include "widgets/ReadoutNumber.h"

#include <QBuffer>
#include <QPrinter>
#include <QSvgRenderer>

#include <KChartCartesianCoordinatePlane>

#include <cmath>

namespace {

QString synthetic(const QString& name, uint32_t samples, unsigned events, uint32_t seed = 3)
{
    SynthOptions options;
    options.samples = samples;
    options.events = events;
    options.seed = seed;
    return TraceFiles::write(synthesize(options).build(), name);
}

std::unique_ptr<sor::SORParser> parsed(const QString& path)
{
    const QuietReader quiet;
    auto parser = std::make_unique<sor::SORParser>(path.toStdWString());
    if (parser->fileParsed)
        parser->getXY();
    return parser;
}

QString writeTraceReport(
    sor::SORParser& parser, const QString& pdf, const analysis::Thresholds& thresholds = analysis::Thresholds())
{
    report::TraceInput input;
    input.parser = &parser;
    input.thresholds = thresholds;
    input.fileName = QFileInfo(QString::fromStdWString(parser.path)).fileName();
    QString error;
    const bool written = report::savePdf([&](report::Composer& c) { report::composeTrace(c, input); }, input.fileName,
        pdf, report::frameAt(QDateTime(QDate(2024, 5, 6), QTime(7, 8))), &error);
    return written ? QString() : error;
}

// Pixels of a colour, give or take what anti-aliasing blends in.
int pixelsNear(const QImage& image, const QColor& colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) < 40 && std::abs(c.green() - colour.green()) < 40
                && std::abs(c.blue() - colour.blue()) < 40)
                ++count;
        }
    return count;
}

} // namespace

// Reports of traces and comparisons, read back with poppler; the report of a tab as it is shown; the dialog.
class TestReport : public QObject {
    Q_OBJECT

    QString eight;
    QString forty;
    QString large;
    std::unique_ptr<MainWindow> window;

    SORTab* openTrace(const QString& path)
    {
        window = std::make_unique<MainWindow>();
        window->resize(1400, 900);
        window->show();
        {
            const QuietReader quiet;
            window->tabs._addSORTab(path);
        }
        QTest::qWait(10);
        return qobject_cast<SORTab*>(window->tabs.currentWidget());
    }

private Q_SLOTS:
    void initTestCase()
    {
        eight = synthetic(QStringLiteral("eight events.sor"), 30000, 8);
        forty = synthetic(QStringLiteral("forty.sor"), 30000, 40);
        large = synthetic(QStringLiteral("large.sor"), 1000000, 12);
        TestSupport::installIcons();
    }

    void cleanup()
    {
        window.reset();
        TestSupport::resetApplication();
    }

    void paperFollowsTheLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("size");
        QTest::newRow("United States") << "en_US" << int(QPageSize::Letter);
        QTest::newRow("Canada") << "fr_CA" << int(QPageSize::Letter);
        QTest::newRow("Mexico") << "es_MX" << int(QPageSize::Letter);
        QTest::newRow("Britain") << "en_GB" << int(QPageSize::A4);
        QTest::newRow("Germany") << "de_DE" << int(QPageSize::A4);
        QTest::newRow("C") << "C" << int(QPageSize::A4);
    }

    void paperFollowsTheLocale()
    {
        QFETCH(QString, locale);
        QFETCH(int, size);
        QCOMPARE(int(report::pageSizeFor(QLocale(locale))), size);
        qputenv("LC_ALL", (locale + ".UTF-8").toLatin1());
        QCOMPARE(int(report::pageSizeFor(report::paperLocale())), size);
        qunsetenv("LC_ALL");
    }

    void traceReport_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("pages");
        QTest::newRow("8 events") << eight << 1;
        QTest::newRow("40 events") << forty << 2;
        QTest::newRow("1M samples") << large << 2; // twelve events: the table goes on below the verdict
        const QDir samples(QStringLiteral(TAVIX_SOURCE_DIR "/../shared/sor-samples"));
        for (const QString& name : samples.entryList({ QStringLiteral("*.sor") }, QDir::Files))
            QTest::newRow(qPrintable(name)) << samples.filePath(name) << 0;
    }

    // The file name, the wavelength and every event's position in the text; the trace drawn in the graph colour
    // as vectors, no page-sized picture; the page count.
    void traceReport()
    {
        if (!Poppler::available())
            QSKIP("poppler-utils (pdfinfo, pdftotext, pdftoppm, pdfimages) are not installed");
        QFETCH(QString, path);
        QFETCH(int, pages);
        if (!QFileInfo::exists(path))
            QSKIP("../shared/sor-samples is not there");
        auto parser = parsed(path);
        if (!parser->fileParsed)
            QSKIP("the reader does not read this file");
        const QString pdf = QDir::current().filePath(QStringLiteral("trace.pdf"));
        QCOMPARE(writeTraceReport(*parser, pdf), QString());

        if (pages > 0)
            QCOMPARE(Poppler::pages(pdf), pages);
        const QString text = Poppler::text(pdf);
        QVERIFY(text.contains(QFileInfo(path).fileName()));
        QVERIFY(text.contains(QStringLiteral("%1 nm").arg(parser->gen.Wavelength)));
        for (const auto& event : parser->events.keyEvents)
            QVERIFY2(text.contains(QString::number(event.Distance * 1000, 'f', 3)), event.EventType.c_str());
        QVERIFY(text.contains(QStringLiteral("Page 1 of %1").arg(Poppler::pages(pdf))));
        QVERIFY(text.contains(QStringLiteral("Verdict: ")));
        // The summary holds the cable table's length (a zero KeyEvents length gives way to the end event), no NaN.
        QVERIFY(text.contains(report::summaryRow(analysis::summarize(*parser, std::string())).front()));
        QVERIFY(!text.contains(QRegularExpression(QStringLiteral("\\bnan\\b"))));
        // The title block's checksum says whose convention the stored value follows; the value wraps.
        const auto unwrapped = [](QString t) { return t.remove(QRegularExpression(QStringLiteral("\\s"))); };
        QVERIFY(unwrapped(Poppler::text(pdf, 1, 1, true)).contains(unwrapped(report::checksumText(*parser))));

        const QImage page = Poppler::render(pdf, 1, 100);
        QVERIFY(pixelsNear(page, app()->graphColour) > 100);
        for (const QSize& image : Poppler::images(pdf))
            QVERIFY2(image.width() < 300 && image.height() < 300, "a picture where vectors belong");
        // Decimated as on screen: a million samples do not make a million-point path.
        QVERIFY(QFileInfo(pdf).size() < 400 * 1024);
    }

    void verdictWithItsReasons_data()
    {
        QTest::addColumn<QString>("limit");
        QTest::addColumn<QString>("verdict");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("no limits") << ""
                                   << "Verdict: Pass"
                                   << QStringList { "every event and the whole fibre within the thresholds",
                                          "splice loss: no limit", "ORL: no limit" };
        QTest::newRow("splices of 0 dB") << "MaxSpliceLoss:0"
                                         << "Verdict: Fail" << QStringList { "km > 0.00 dB", "splice loss ≤ 0.00 dB" };
        QTest::newRow("ORL of 99 dB") << "MinORL:99"
                                      << "Verdict: Fail" << QStringList { "dB < 99.00 dB", "ORL ≥ 99.00 dB" };
        QTest::newRow("only its own band") << ""
                                           << "Verdict: Pass" << QStringList { "attenuation at 1310 nm" };
    }

    void verdictWithItsReasons()
    {
        if (!Poppler::available())
            QSKIP("poppler-utils are not installed");
        QFETCH(QString, limit);
        QFETCH(QString, verdict);
        QFETCH(QStringList, texts);
        analysis::Thresholds none;
        none.maxSpliceLoss = none.maxConnectorLoss = none.maxReflectance = std::nullopt;
        none.maxAttenuation.fill(std::nullopt);
        const analysis::Thresholds thresholds
            = analysis::parseThresholds(analysis::thresholdsText(none) + "\n" + limit.toStdString());
        auto parser = parsed(eight);
        const QString pdf = QDir::current().filePath(QStringLiteral("verdict.pdf"));
        QCOMPARE(writeTraceReport(*parser, pdf, thresholds), QString());
        const QString text = Poppler::text(pdf, 1, 1, true).simplified();
        QVERIFY2(text.contains(verdict), qPrintable(text));
        for (const QString& t : texts)
            QVERIFY2(text.contains(t), qPrintable(t));
        QVERIFY(!text.contains(QStringLiteral("attenuation at 1550 nm")));
    }

    // A cable tab's report: the rows as the table shows them, filtered, then a page for each.
    void cableTabReport()
    {
        const QString folder = QDir::current().filePath(QStringLiteral("cable"));
        const auto expected = cablefolder::write(folder.toStdString());
        window = std::make_unique<MainWindow>();
        window->show();
        window->tabs._addCableTab(folder);
        auto* cable = qobject_cast<CableTab*>(window->tabs.currentWidget());
        QVERIFY(cable);
        QTRY_VERIFY_WITH_TIMEOUT(!cable->scan.isRunning(), 30000);
        cable->filterEdit.setText(QStringLiteral("fail"));
        QTRY_COMPARE(cable->proxy.rowCount(), 3);
        const auto report = TabReport::of(cable);
        QVERIFY(report);
        QVERIFY(!report->hasChart());
        if (!Poppler::available())
            QSKIP("poppler-utils are not installed");
        const QString pdf = QDir::current().filePath(QStringLiteral("cable.pdf"));
        QString error;
        QVERIFY2(report->savePdf(pdf, &error), qPrintable(error));
        QCOMPARE(Poppler::pages(pdf), 1 + 3);
        // Cancelled among the pages: no file.
        const QString cancelled = QDir::current().filePath(QStringLiteral("cancelled.pdf"));
        QVERIFY(!report->savePdf(cancelled, &error, [](int done, int total) { return total < 0 || done < 6; }));
        QVERIFY(!QFileInfo::exists(cancelled));
        const QString summary = Poppler::text(pdf, 1);
        QVERIFY(summary.contains(QStringLiteral("Cable report: cable")));
        QVERIFY(summary.contains(QStringLiteral("Files matching: fail")));
        QVERIFY(summary.contains(QStringLiteral("3 files: 0 pass, 3 fail, 0 errors")));
        const QString pages = Poppler::text(pdf, 2, 4);
        for (const auto& file : expected) {
            const bool shown = file.verdict == "Fail";
            QCOMPARE(summary.contains(QString::fromStdString(file.file)), shown);
            for (const QString& reason : QString::fromStdString(file.reasons).split(QStringLiteral("; ")))
                QVERIFY2(!shown || pages.contains(reason), qPrintable(reason));
        }
    }

    void cableSummaryKeepsEveryNumber()
    {
        // Long names that differ only in their middle, numbers as wide as a file can make them.
        std::vector<analysis::FileSummary> files(2);
        const char* names[] = { "route-north/segment-0001/ELMMIL0005-measured-from-the-exchange-end-1550nm-A.sor",
            "route-north/segment-0001/ELMMIL0009-measured-from-the-exchange-end-1550nm-A.sor" };
        for (size_t i = 0; i < files.size(); ++i) {
            auto& f = files[i];
            f.file = names[i];
            f.parsed = true;
            f.fibreId = "ELMMIL000" + std::to_string(5 + 4 * i);
            f.wavelength = 1312.9;
            f.fibreLength = 7391.234;
            f.totalLoss = 95.123;
            f.attenuation = 0.013;
            f.orl = -2147483.648;
            f.events = 12;
        }
        report::CableInput input;
        input.folder = QDir::current().filePath(QStringLiteral("numbers"));
        input.files = files;
        input.paths = QStringList { QStringLiteral("gone-1.sor"), QStringLiteral("gone-2.sor") };
        const QString pdf = QDir::current().filePath(QStringLiteral("numbers.pdf"));
        QString error;
        QVERIFY2(
            report::savePdf(
                [&](report::Composer& c) {
                    report::CableFiles reads(input.paths);
                    report::composeCable(c, input, reads);
                },
                QStringLiteral("numbers"), pdf, report::frameAt(QDateTime(QDate(2024, 5, 6), QTime(7, 8))), &error),
            qPrintable(error));
        if (!Poppler::available())
            QSKIP("poppler-utils are not installed");
        const QString summary = Poppler::text(pdf, 1);
        for (const char* number : { "1312.9", "7391.234", "95.123", "0.013", "-2147483.648" })
            QCOMPARE(summary.count(QLatin1String(number)), 2);
        QVERIFY2(!summary.contains(QChar(0x2026)), qPrintable(summary)); // nothing elided
        // The names wrap: joined again, each is there whole (the text tool drops a hyphen that ends a line).
        QString joined = summary;
        joined.remove(QLatin1Char('\n')).remove(QLatin1Char(' ')).remove(QLatin1Char('-'));
        for (const char* name : names)
            QVERIFY2(joined.contains(QString::fromLatin1(name).remove(QLatin1Char('-'))), qPrintable(summary));
        for (const char* fibre : { "ELMMIL0005", "ELMMIL0009" })
            QVERIFY2(summary.contains(QLatin1String(fibre)), fibre); // short enough to stay on one line
    }

    void chartFitsTheFibre_data()
    {
        QTest::addColumn<double>("endKm"); // of the end event; 0 for none
        QTest::addColumn<bool>("zoomed");
        QTest::addColumn<double>("right"); // the x range ends below
        QTest::newRow("a fibre of 5 km in 30") << 5.0 << false << 7.0;
        QTest::newRow("no end event") << 0.0 << false << 40.0;
        QTest::newRow("the user's view") << 5.0 << true << 20.5;
    }

    void chartFitsTheFibre()
    {
        QFETCH(double, endKm);
        QFETCH(bool, zoomed);
        QFETCH(double, right);
        sortest::Events events;
        if (endKm > 0)
            events.events
                = { cablefolder::event(1, 0, 0, -45, "1F9999LS"), cablefolder::event(2, endKm, 0, -14, "1E9999LS") };
        const QString path = TraceFiles::writeTrace(TraceFiles::ramp(30000), QStringLiteral("fit.sor"), events);
        auto parser = parsed(path);
        QVERIFY(parser->fileParsed);
        report::ReportChart chart(report::Style {});
        chart.addTrace(*parser, Qt::blue);
        chart.addEventMarkers(*parser);
        report::View view;
        if (zoomed) {
            view.hasRange = true;
            view.range = QRectF(QPointF(10, -5), QPointF(20, -40));
        }
        chart.setView(view);
        chart.image(QSize(800, 400), 1);
        const auto [from, to] = chart.xRange();
        QVERIFY2(to < right, qPrintable(QString::number(to)));
        QVERIFY2(to > (zoomed ? 19.5 : endKm > 0 ? endKm : 29.0), qPrintable(QString::number(to)));
        QVERIFY(from <= (zoomed ? 10.0 : parser->getXY()[0].front()) + 1e-9);
    }

    void longEventTableGoesOnWithItsHeader()
    {
        if (!Poppler::available())
            QSKIP("poppler-utils are not installed");
        auto parser = parsed(forty);
        const QString pdf = QDir::current().filePath(QStringLiteral("forty.pdf"));
        QCOMPARE(writeTraceReport(*parser, pdf), QString());
        const QString first = Poppler::text(pdf, 1);
        const QString second = Poppler::text(pdf, 2);
        QVERIFY(first.contains(QStringLiteral("Events (40)")));
        QVERIFY(second.contains(QStringLiteral("Events (40) (continued)")));
        QVERIFY(second.contains(QStringLiteral("Pos [m]")));
        const auto& events = parser->events.keyEvents;
        QVERIFY(first.contains(QString::number(events.front().Distance * 1000, 'f', 3)));
        QVERIFY(second.contains(QString::number(events.back().Distance * 1000, 'f', 3)));
        QVERIFY(second.contains(QStringLiteral("Page 2 of 2")));
    }

    // Progress counts every section and row, planned first, painted second; a cancelled report leaves no file.
    void progressAndCancel()
    {
        auto parser = parsed(forty);
        report::TraceInput input { parser.get(), QStringLiteral("forty.sor"), {}, {}, {}, {}, {} };
        const auto compose = [&](report::Composer& c) { report::composeTrace(c, input); };
        const auto frame = report::frameAt(QDateTime::currentDateTime());
        QList<int> totals;
        int last = 0;
        const QString pdf = QDir::current().filePath(QStringLiteral("progress.pdf"));
        QVERIFY(report::savePdf(compose, "p", pdf, frame, nullptr, [&](int done, int total) {
            totals << total;
            last = done;
            return true;
        }));
        QCOMPARE(totals.first(), -1);
        QCOMPARE(totals.last(), last); // the painting pass ends where the plan counted
        QCOMPARE(last, 4 + 40); // title block, chart, summary, verdict and forty rows
        QFile::remove(pdf);
        QString error;
        QVERIFY(!report::savePdf(
            compose, "p", pdf, frame, &error, [](int done, int total) { return total < 0 || done < 10; }));
        QVERIFY(!QFileInfo::exists(pdf));
    }

    void comparisonReport()
    {
        if (!Poppler::available())
            QSKIP("poppler-utils are not installed");
        std::vector<std::unique_ptr<sor::SORParser>> parsers;
        report::ComparisonInput input;
        for (const QString& path : { eight, forty, large }) {
            parsers.push_back(parsed(path));
            input.traces.push_back({ parsers.back().get(), QFileInfo(path).fileName(), QColor(200, 0, 200), true });
        }
        input.traces[1].visible = false;
        input.view.cursorsShown = true;
        input.view.cursorA = 1;
        input.view.cursorB = 5;
        const QString pdf = QDir::current().filePath(QStringLiteral("comparison.pdf"));
        QString error;
        QVERIFY(report::savePdf([&](report::Composer& c) { report::composeComparison(c, input); }, "comparison", pdf,
            report::frameAt(QDateTime::currentDateTime()), &error));
        const QString text = Poppler::text(pdf);
        QVERIFY(text.contains(QStringLiteral("Comparison with eight events.sor")));
        QVERIFY(text.contains(QStringLiteral("forty.sor (hidden)")));
        QVERIFY(text.contains(QStringLiteral("large.sor")));
        QVERIFY(text.contains(QStringLiteral("B-A [dB]")));
        const double a = parsers[0]->getYValue(1);
        const double b = parsers[0]->getYValue(5);
        QVERIFY2(text.contains(num(b - a)), qPrintable(text));
        QVERIFY(pixelsNear(Poppler::render(pdf, 1, 100), QColor(200, 0, 200)) > 100);
    }

    // The report of a tab shows what its chart shows, in the bright theme whatever the screen's.
    void tabReportIsTheTabAsShown()
    {
        SORTab* tab = openTrace(eight);
        QVERIFY(tab);
        tab->plotter.chart.zoom(2.5f);
        window->tabs.currentWidget_ToggleCursorVisibility();
        tab->info.cursorWidget.setCursor(0, 12);
        tab->info.cursorWidget.setCursor(1, 14);
        QTest::qWait(10);
        const auto report = TabReport::of(tab);
        QVERIFY(report);
        QVERIFY(report->view().hasRange);
        QCOMPARE(report->view().range, tab->plotter.chart.plane()->visibleDataRange());
        QVERIFY(report->view().cursorsShown);
        QCOMPARE(report->view().cursorB, 14.0);
        QCOMPARE(report->chartSize(), tab->plotter.chart.size());

        const QImage bright = report->chartImage(1);
        QCOMPARE(bright.size(), tab->plotter.chart.size());
        QCOMPARE(report->chartImage(2).size(), tab->plotter.chart.size() * 2);
        app()->toggleTheme();
        QCOMPARE(app()->theme, int(Application::Dark));
        QCOMPARE(TabReport::of(tab)->chartImage(1), bright);
        QVERIFY(pixelsNear(bright, app()->cursorLineColour) > 100); // the cursor bars

        if (!Poppler::available())
            QSKIP("poppler-utils are not installed");
        const QString pdf = QDir::current().filePath(QStringLiteral("tab.pdf"));
        QString error;
        QVERIFY2(report->savePdf(pdf, &error), qPrintable(error));
        QVERIFY(Poppler::text(pdf).contains(QStringLiteral("Cursor B-A:")));
        // Printing goes through the same pages.
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QDir::current().filePath(QStringLiteral("printed.pdf")));
        QVERIFY(report->print(printer));
        QCOMPARE(Poppler::pages(printer.outputFileName()), Poppler::pages(pdf));
        QVERIFY(Poppler::text(printer.outputFileName()).contains(QStringLiteral("Trace report: eight events.sor")));
        const QString svg = QDir::current().filePath(QStringLiteral("chart.svg"));
        QVERIFY(report->saveSvg(svg, &error));
        QSvgRenderer renderer(svg);
        QVERIFY(renderer.isValid());
        QCOMPARE(renderer.viewBox(), QRect(QPoint(), tab->plotter.chart.size()));
    }

    void comparisonTabReport()
    {
        window = std::make_unique<MainWindow>();
        window->resize(1400, 900);
        window->show();
        {
            const QuietReader quiet;
            window->tabs._addSORMultiTab({ eight, forty });
        }
        auto* multi = qobject_cast<SORMultiTab*>(window->tabs.currentWidget());
        QVERIFY(multi);
        multi->infoWidget.overview.list.setCurrentRow(1);
        const auto report = TabReport::of(multi);
        QVERIFY(report);
        QCOMPARE(report->title(), QStringLiteral("Comparison with eight events.sor"));
        QVERIFY(pixelsNear(report->chartImage(1), app()->selectedMultiGraphPenColour) > 50);
    }

    void screenDecimationIsTheChartsOwn()
    {
        SORTab* tab = openTrace(large);
        QVERIFY(tab);
        tab->plotter.chart.zoom(4.0f);
        const auto& xy = tab->parser->getXY();
        const QRectF visible = tab->plotter.chart.plane()->visibleDataRange();
        const auto [first, last] = chart::visibleIndexRange(xy[0], visible.x(), visible.x() + visible.width());
        const auto rows = chart::minMaxRows(xy[0], xy[1], first, last, tab->plotter.maxPoints, true);
        const auto& model = tab->plotter.traceModel;
        QCOMPARE(model.rowCount(), int(rows.size()));
        for (int row = 0; row < model.rowCount(); ++row) {
            QCOMPARE(model.index(row, 0).data().toDouble(), rows[size_t(row)].x());
            QCOMPARE(model.index(row, 1).data().toDouble(), rows[size_t(row)].y());
        }
    }

    // Whatever the reader accepts makes a report: no crash, no hang, no failure.
    void malformedFilesMakeReports()
    {
        const auto variants = sortest::malformedVariants(sortest::baseImages(std::string()));
        const QString path = QDir::current().filePath(QStringLiteral("variant.sor"));
        auto companion = parsed(eight);
        int reported = 0;
        int accepted = 0;
        QStringList failed;
        for (const auto& variant : variants) {
            sortest::writeFile(path.toStdString(), variant.bytes);
            auto parser = parsed(path);
            // Every fourth accepted one keeps the test short; the views' own test shows them all.
            if (!parser->fileParsed || accepted++ % 4 != 0)
                continue;
            ++reported;
            report::TraceInput trace { parser.get(), QStringLiteral("variant.sor"), {}, {}, {}, {}, {} };
            report::ComparisonInput comparison;
            comparison.traces
                = { { parser.get(), "variant.sor", Qt::blue, true }, { companion.get(), "eight.sor", Qt::red, true } };
            QBuffer pdf;
            pdf.open(QIODevice::WriteOnly);
            const auto frame = report::frameAt(QDateTime::currentDateTime());
            if (!report::writePdf([&](report::Composer& c) { report::composeTrace(c, trace); }, "t", pdf, frame)
                || !report::writePdf(
                    [&](report::Composer& c) { report::composeComparison(c, comparison); }, "c", pdf, frame))
                failed << QString::fromStdString(variant.name);
        }
        QVERIFY(reported > 20);
        QVERIFY2(failed.isEmpty(), qPrintable(failed.join('\n')));
    }

    void printKeyOpensTheDialog()
    {
        SORTab* tab = openTrace(eight);
        QVERIFY(tab);
        QVERIFY(window->findChild<QToolButton*>(QStringLiteral("reportButton")));
        QTest::keyClick(window.get(), Qt::Key_P, Qt::ControlModifier);
        auto* dialog = window->findChild<ReportDialog*>();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->titleLabel.text(), QStringLiteral("Report of eight events.sor"));
        QCOMPARE(dialog->printButton.text(), QStringLiteral("Print…"));
        QCOMPARE(dialog->pdfButton.text(), QStringLiteral("Save PDF…"));
        dialog->close();
        QTRY_VERIFY(!window->findChild<ReportDialog*>());

        window->tabs.closePlotTab(0);
        QTest::keyClick(window.get(), Qt::Key_P, Qt::ControlModifier);
        QVERIFY(!window->findChild<ReportDialog*>()); // the start tab has no report
    }
};

TAVIX_TEST_MAIN(TestReport)
#include "tst_report.moc"
