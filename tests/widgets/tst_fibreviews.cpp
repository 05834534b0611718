#include "FibreFolder.h"
#include "Poppler.h"
#include "TestMain.h"

#include "analysis/FibreTable.h"
#include "analysis/TableNumbers.h"
#include "cable/CableTab.h"
#include "compare/PlotEntity.h"
#include "fibre/FibreTab.h"
#include "shell/MainWindow.h"
#include "shell/TabReport.h"
#include "widgets/ItemViewCopy.h"

#include <QProcess>

#include <KChartCartesianCoordinatePlane>
#include <QSignalSpy>

// The fibre tab (both ends on one chart, the averaged table), the cable tab judged by fibre, and their reports.
class TestFibreViews : public QObject {
    Q_OBJECT

    QString cable; ///< three fibres at two wavelengths, the third from A only
    fibrefolder::Written written;

    QStringList fibreFiles(int n) const
    {
        // Files of fibre n (1-based) at both wavelengths: from A, then from B.
        QStringList files;
        for (const auto* side : { &written.ab, &written.ba })
            for (size_t i = 0; i < side->size(); ++i)
                if (QFileInfo(QString::fromStdString((*side)[i]))
                        .fileName()
                        .contains(QStringLiteral("%1_").arg(n, 4, 10, QLatin1Char('0'))))
                    files << QString::fromStdString((*side)[i]);
        return files;
    }

    static QString runViewer(const QStringList& arguments, int* status)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // The leak checker's summary of its suppressions would otherwise count as an error line.
        if (environment.contains(QStringLiteral("LSAN_OPTIONS")))
            environment.insert(QStringLiteral("LSAN_OPTIONS"),
                environment.value(QStringLiteral("LSAN_OPTIONS")) + QStringLiteral(":print_suppressions=0"));
        QProcess viewer;
        viewer.setProcessEnvironment(environment);
        viewer.start(QStringLiteral(TAVIX_VIEWER_PATH), arguments);
        viewer.waitForFinished(120000);
        *status = viewer.exitCode();
        return QString::fromLocal8Bit(viewer.readAllStandardError());
    }

private Q_SLOTS:
    void initTestCase()
    {
        cable = QDir::current().absoluteFilePath(QStringLiteral("cable"));
        written = fibrefolder::write(cable.toStdString(), 3, { 1310, 1550 }, { 3 });
    }

    // Both traces on A's axis in their colours, the wavelength selector, a row per averaged event, and the
    // selection shared by the table and the markers.
    void fibreTab()
    {
        FibreTab tab;
        tab.resize(1400, 900);
        QString error;
        QVERIFY2(tab.loadNow(fibreFiles(1), &error), qPrintable(error));
        QCOMPARE(tab.title(), QStringLiteral("ELMMIL0001"));
        QCOMPARE(tab.wavelengthBox.count(), 2);
        QVERIFY(!tab.wavelengthBox.isHidden());
        for (int k = 0; k < 2; ++k) {
            tab.wavelengthBox.setCurrentIndex(k);
            QCOMPARE(tab.wavelength(), k);
            const auto& w = tab.fibre().analysis.wavelengths[size_t(k)];
            QCOMPARE(tab.events.rowCount(), int(w.events.size()));
            QCOMPARE(tab.plotter.markers().size(), w.events.size());
            QCOMPARE(tab.plotter.entities.size(), 2);
            QCOMPARE(tab.plotter.entities[0]->colour(), FibreTab::colourAB());
            QCOMPARE(tab.plotter.entities[1]->colour(), FibreTab::colourBA());
            // The mirrored trace ends where A's span starts less B's launch: at most its own length before it.
            const auto& mirrored = tab.plotter.entities[1]->parser.getXY()[0];
            QVERIFY(std::is_sorted(mirrored.begin(), mirrored.end()));
            QVERIFY(std::fabs(mirrored.back() - *w.mirrorKm) < 1e-9 || mirrored.back() <= *w.mirrorKm);
            for (int r = 0; r < tab.events.rowCount(); ++r) {
                const auto& e = w.events[size_t(r)];
                QCOMPARE(tab.events.index(r, int(analysis::FibreColumn::Average)).data().toString(),
                    e.loss ? QString::fromStdString(analysis::fixed3(*e.loss)) : QStringLiteral("\u2013"));
                QCOMPARE(tab.plotter.markers()[size_t(r)].km, e.km);
            }
        }
        tab.selectEvent(2);
        QCOMPARE(tab.plotter.selectedMarker(), 2);
        QCOMPARE(tab.table.currentIndex().row(), 2);
        QSignalSpy clicked(&tab.plotter, &FibrePlotter::markerClicked);
        tab.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tab));
        // The minimap gives the overview: a click there centres the zoomed chart on that place.
        QCOMPARE(tab.plotter.minimap, &tab.minimap);
        QVERIFY(tab.minimap.isVisible());
        tab.plotter.chart.zoom(4);
        const double target = tab.plotter.markers()[3].km;
        tab.minimap.chart.centreMainViewAt(tab.minimap.chart.plane()->translate(QPointF(target, -40)));
        const QRectF view = tab.plotter.chart.plane()->visibleDataRange();
        QVERIFY2(std::fabs(view.center().x() - target) < view.width() * 0.05,
            qPrintable(QString::number(view.center().x())));
        tab.plotter.chart.resetView();
        const int x = int(tab.plotter.pixelOf(tab.plotter.markers()[1].km));
        QTest::mouseClick(
            &tab.plotter.chart, Qt::LeftButton, Qt::NoModifier, QPoint(x, tab.plotter.chart.height() / 2));
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(tab.table.selectionModel()->selectedRows().value(0).row(), 1);
        // Ctrl+C as every table: the header, then the selected row.
        const QString copied = ItemViewCopy::rowsText(tab.table);
        QVERIFY(copied.startsWith(QStringLiteral("#\tPosition (km)")));
        QCOMPARE(copied.count(QLatin1Char('\n')), 2);
        QVERIFY(tab.summaryLabel.text().contains(QStringLiteral("Verdict:")));
        // The Report button's report: the chart of both ends as a picture, the fibre report as a PDF.
        const auto report = TabReport::of(&tab);
        QVERIFY(report);
        QCOMPARE(report->title(), QStringLiteral("Fibre ELMMIL0001"));
        QVERIFY(report->hasChart());
        QVERIFY(!report->chartImage(1).isNull());
    }

    // New thresholds judge the open fibre at once: a strict splice limit marks the averaged losses above it.
    void fibreTabThresholds()
    {
        FibreTab tab;
        QVERIFY(tab.loadNow(fibreFiles(2)));
        analysis::Thresholds t = tab.thresholds();
        t.maxSpliceLoss = 0.0;
        tab.setThresholds(t);
        int marked = 0;
        for (int r = 0; r < tab.events.rowCount(); ++r)
            marked += tab.events.index(r, int(analysis::FibreColumn::Average)).data(Qt::BackgroundRole).isValid();
        QVERIFY(marked > 0);
        QCOMPARE(tab.verdict().outcome, analysis::Outcome::Fail);
        t.maxSpliceLoss = std::nullopt;
        t.maxBendDelta = std::nullopt;
        tab.setThresholds(t);
        QVERIFY(tab.verdict().bends.empty());
    }

    // The window's thresholds reach every open fibre and cable tab at once: no bend limit, no bends.
    void thresholdsReachEveryTab()
    {
        MainWindow window;
        window.tabs._addFibreTab(fibreFiles(1));
        auto* fibre = qobject_cast<FibreTab*>(window.tabs.currentWidget());
        QVERIFY(fibre);
        QVERIFY(QTest::qWaitFor([fibre] { return fibre->isLoaded(); }, 60000));
        QCOMPARE(window.tabs.tabText(window.tabs.currentIndex()), QStringLiteral("ELMMIL0001"));
        QVERIFY(!fibre->verdict().bends.empty());
        window.tabs._addCableTab(cable);
        auto* cableTab = qobject_cast<CableTab*>(window.tabs.currentWidget());
        QVERIFY(cableTab);
        analysis::Thresholds t = fibre->thresholds();
        t.maxBendDelta = std::nullopt;
        window.tabs.applyThresholds(t);
        QVERIFY(fibre->thresholds() == t);
        QVERIFY(fibre->verdict().bends.empty());
        QVERIFY(cableTab->model.thresholds() == t);
        QVERIFY(cableTab->fibres.model.thresholds() == t);
        QVERIFY(QTest::qWaitFor([cableTab] { return !cableTab->scan.isRunning(); }, 60000));
    }

    void fibreTabOfNothing()
    {
        FibreTab tab;
        QString error;
        QVERIFY(!tab.loadNow({ QDir::current().absoluteFilePath(QStringLiteral("none.sor")) }, &error));
        QVERIFY(error.contains(QStringLiteral("none.sor")));
        QVERIFY(!TabReport::of(&tab));
    }

    // "Files" and "Fibres": counts of files and of fibres, a pair made by hand, undone, saved in the folder.
    void cableFibres()
    {
        MainWindow window;
        window.openUrls({ QUrl::fromLocalFile(cable) }, Qt::NoModifier);
        auto* tab = qobject_cast<CableTab*>(window.tabs.currentWidget());
        QVERIFY(tab);
        QVERIFY(QTest::qWaitFor([tab] { return !tab->scan.isRunning(); }, 60000));
        QCOMPARE(tab->model.rowCount(), 10);
        QVERIFY(tab->countsLabel.text().startsWith(QStringLiteral("10 files")));
        tab->showFibres(true);
        QVERIFY(tab->fileColumn.isHidden());
        QVERIFY(QTest::qWaitFor([tab] { return !tab->fibres.isRunning(); }, 60000));
        QCOMPARE(tab->fibres.model.rowCount(), 6);
        QVERIFY2(tab->countsLabel.text().startsWith(QStringLiteral("3 fibres: ")), qPrintable(tab->countsLabel.text()));
        int oneEnd = 0;
        for (int r = 0; r < tab->fibres.model.rowCount(); ++r)
            oneEnd += tab->fibres.model.index(r, FibreTableModel::FileBA).data().toString()
                == QStringLiteral("A\u2192B only");
        QCOMPARE(oneEnd, 2);

        // Fibre 3's file from A paired by hand with fibre 2's from B, then fibre 2's from B kept alone.
        const auto paired = [tab] {
            int n = 0;
            for (const auto& a : tab->fibres.model.analyses())
                for (const auto& w : a.wavelengths)
                    n += w.paired();
            return n;
        };
        QCOMPARE(paired(), 4);
        QVERIFY(tab->fibres.pair(QStringLiteral("A/ELMMIL0003_1550.sor"), QStringLiteral("B/MILELM0002_1550.sor")));
        QVERIFY(QTest::qWaitFor([tab] { return !tab->fibres.isRunning(); }, 60000));
        QCOMPARE(paired(), 4);
        bool byHand = false;
        for (const auto& a : tab->fibres.model.analyses())
            for (const auto& w : a.wavelengths)
                byHand = byHand || (w.fileAB == "A/ELMMIL0003_1550.sor" && w.fileBA == "B/MILELM0002_1550.sor");
        QVERIFY(byHand);
        tab->fibres.unpair({ QStringLiteral("B/MILELM0002_1550.sor") });
        QVERIFY(QTest::qWaitFor([tab] { return !tab->fibres.isRunning(); }, 60000));
        QCOMPARE(paired(), 3);
        QCOMPARE(tab->fibres.model.analyses().size(), size_t(4));
        QVERIFY(!QFileInfo::exists(tab->fibres.pairsPath()));
        QVERIFY(tab->fibres.savePairs());
        QFile saved(tab->fibres.pairsPath());
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), QByteArray("alone\tB/MILELM0002_1550.sor\n"));
        saved.remove();

        // The Report button in "Fibres": the fibres' summary, then each fibre's report.
        const auto report = TabReport::of(tab);
        QVERIFY(report);
        QVERIFY(!report->hasChart());
        QString error;
        QVERIFY2(report->savePdf(QStringLiteral("tab-cable.pdf"), &error), qPrintable(error));
        if (Poppler::available()) {
            const QString text = Poppler::text(QStringLiteral("tab-cable.pdf"));
            QVERIFY2(text.contains(tab->countsLabel.text()), qPrintable(tab->countsLabel.text()));
            QVERIFY(text.contains(QStringLiteral("Fibre ELMMIL0003")));
        }

        // Double-click on a fibre: its files in a fibre tab.
        QSignalSpy requested(tab, &CableTab::fibreRequested);
        const QModelIndex first = tab->fibres.proxy.index(0, 0);
        emit tab->table.doubleClicked(first);
        QCOMPARE(requested.count(), 1);
        QVERIFY(!requested.at(0).at(0).toStringList().isEmpty());

        // Back in "Files": the File column over the table again, on the table's selection.
        tab->showFibres(false);
        QVERIFY(!tab->fileColumn.isHidden());
        QCOMPARE(tab->fileColumn.selectionModel(), tab->table.selectionModel());
        QCOMPARE(tab->table.model(), &tab->proxy);
    }

    // The headless reports: every averaged loss of the fibre in its report; every fibre's verdict in the cable's.
    void headlessReports()
    {
        if (!Poppler::available())
            QSKIP("poppler-utils are not installed");
        int status = -1;
        const QString err = runViewer(QStringList { "--report", "fibre.pdf", "--fibre" } + fibreFiles(1), &status);
        QCOMPARE(status, 0);
        QCOMPARE(err, QString());
        FibreTab tab;
        QVERIFY(tab.loadNow(fibreFiles(1)));
        const QString text = Poppler::text(QStringLiteral("fibre.pdf"));
        QVERIFY(text.contains(QStringLiteral("Fibre ELMMIL0001")));
        int losses = 0;
        for (const auto& w : tab.fibre().analysis.wavelengths)
            for (const auto& e : w.events)
                if (e.loss) {
                    QVERIFY2(text.contains(QString::fromStdString(analysis::fixed3(*e.loss))),
                        qPrintable(QString::fromStdString(analysis::fixed3(*e.loss))));
                    ++losses;
                }
        QVERIFY(losses > 6);

        runViewer({ "--report", "cable.pdf", "--by-fibre", cable }, &status);
        QCOMPARE(status, 0);
        const QString summary = Poppler::text(QStringLiteral("cable.pdf"), 1);
        QVERIFY2(summary.contains(QStringLiteral("3 fibres: ")), qPrintable(summary));
        QVERIFY(Poppler::text(QStringLiteral("cable.pdf")).contains(QStringLiteral("Fibre ELMMIL0003")));
    }

    // The shared real pairs: the fibre report holds each averaged loss, the average of its two listed losses.
    void realPairsReport()
    {
        const QString pairs = QStringLiteral(TAVIX_SOURCE_DIR "/../shared/sor-samples/fibre-both-ends");
        if (!QFileInfo(pairs).isDir())
            QSKIP("the shared pairs of instrument files are absent");
        if (!Poppler::available())
            QSKIP("poppler-utils are not installed");
        const QStringList fibres[] = { { pairs + "/A/ELMMIL0005_1550.sor", pairs + "/B/MILELM0005_1550.sor" },
            { pairs + "/wavetek/Dem013je.sor", pairs + "/wavetek/Dem013jo.sor", pairs + "/wavetek/Dem015je.sor",
                pairs + "/wavetek/Dem015jo.sor" } };
        for (const QStringList& files : fibres) {
            for (const QString& f : files)
                if (!QFileInfo::exists(f))
                    QSKIP(qPrintable(f + QStringLiteral(" is absent")));
            int status = -1;
            runViewer(QStringList { "--report", "real.pdf", "--fibre" } + files, &status);
            QCOMPARE(status, 0);
            const QString text = Poppler::text(QStringLiteral("real.pdf"));
            FibreTab tab;
            QVERIFY(tab.loadNow(files));
            for (const auto& w : tab.fibre().analysis.wavelengths) {
                QVERIFY(w.paired());
                for (const auto& e : w.events) {
                    if (e.source == analysis::Listed::Both && e.lossAB && e.lossBA) {
                        QCOMPARE(*e.loss, (*e.lossAB + *e.lossBA) / 2);
                        QVERIFY(text.contains(QString::fromStdString(analysis::fixed3(*e.loss))));
                    }
                }
            }
        }
    }
};

TAVIX_TEST_MAIN(TestFibreViews)
#include "tst_fibreviews.moc"
