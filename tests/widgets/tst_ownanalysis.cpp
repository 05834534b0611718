#include "Poppler.h"
#include "SyntheticFibre.h"
#include "TestMain.h"

#include "events/OTDREventHandler.h"
#include "report/TraceReport.h"
#include "shell/SORTab.h"
#include "shell/TabReport.h"
#include "sor/SORParser.h"

#include <QCryptographicHash>
#include <QMainWindow>
#include <QSignalSpy>

#include <KChartCartesianCoordinatePlane>

// The single-trace tab's own analysis: the switch between the file's events and its own, the edits, the report.
class TestOwnAnalysis : public QObject {
    Q_OBJECT

    QString path;
    QByteArray fileHash;
    std::unique_ptr<QMainWindow> window;
    SORTab* tab = nullptr;

    static QByteArray hashOf(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1)
                                           : QByteArray();
    }

    OTDREventHandler& handler() { return tab->info.eventHandler; }
    int rows() { return handler().eventTable.topLevelItemCount(); }
    QString cell(int row, int column) { return handler().eventTable.topLevelItem(row)->text(column); }
    QString note(int row) { return cell(row, handler().notesColumn()); }
    double rowKm(int row) { return cell(row, 1).toDouble() / 1000; }

    // The tab with its own analysis shown, made with the default thresholds.
    void analysed()
    {
        window = std::make_unique<QMainWindow>();
        tab = new SORTab(window.get());
        window->setCentralWidget(tab);
        window->resize(1400, 900);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QVERIFY(tab->load(path.toStdWString(), false, nullptr));
        QCOMPARE(rows(), 1); // the file lists its end only
        QVERIFY(!tab->ownBar.source.isEnabled());
        QVERIFY(!tab->ownBar.addButton.isEnabled());
        QSignalSpy ready(tab, &SORTab::ownAnalysisReady);
        tab->analyse(analysis::DetectionThresholds());
        QVERIFY(ready.wait(10000) || ready.count() == 1);
        QVERIFY(tab->showingOwn);
        QCOMPARE(tab->ownBar.source.currentIndex(), int(OwnEventsBar::OwnAnalysis));
        QVERIFY(tab->ownBar.addButton.isEnabled());
    }

private Q_SLOTS:
    void initTestCase()
    {
        // Two splices and a reflection the file does not list, on 12 km of glass.
        synth::Fibre f;
        f.add({ 12, 0.2, 0 });
        f.events = { { 3, 0.4, std::nullopt, false }, { 6, 0.3, -40.0, false }, { 9, 0.6, std::nullopt, false } };
        path = QDir::current().absoluteFilePath(QStringLiteral("unlisted.sor"));
        sortest::writeFile(path.toStdString(), synth::render(f).build());
        fileHash = hashOf(path);
    }

    void cleanup()
    {
        window.reset();
        tab = nullptr;
        TestSupport::resetApplication();
    }

    void switchesBetweenTheFilesEventsAndItsOwn()
    {
        analysed();
        const double truth[] = { 3, 6, 9, 12 };
        QCOMPARE(rows(), 4);
        for (int row = 0; row < 4; ++row) {
            QVERIFY2(std::fabs(rowKm(row) - truth[row]) < 0.02, qPrintable(cell(row, 1)));
            QCOMPARE(note(row), QString());
        }
        QCOMPARE(handler().eventTable.headerItem()->text(handler().notesColumn()), QStringLiteral("By hand"));
        QVERIFY(handler().eventsLabel.text().contains(QStringLiteral("own analysis")));
        QCOMPARE(tab->plotter.events.size(), size_t(4));
        QVERIFY(tab->eventSourceText().startsWith(QStringLiteral("Own analysis: splice loss 0.05 dB")));

        tab->showOwnEvents(false);
        QCOMPARE(rows(), 1);
        QCOMPARE(handler().eventTable.columnCount(), 6);
        QCOMPARE(tab->shownParser(), tab->parser);
        QCOMPARE(tab->plotter.events.size(), size_t(1));
        QCOMPARE(tab->eventSourceText(), QString());
        QVERIFY(!tab->ownBar.addButton.isEnabled());
        QVERIFY(!tab->addOwnEvent(4.5)); // edits only what is shown
        tab->showOwnEvents(true);
        QCOMPARE(rows(), 4);
        QCOMPARE(tab->parser->events.keyEvents.size(), size_t(1));
        QCOMPARE(hashOf(path), fileHash);
    }

    // Each edit is measured where it stands and the list says what was done by hand; the file stays as it was.
    void editsAreMeasuredAndMarked()
    {
        analysed();
        QVERIFY(tab->addOwnEvent(4.5)); // glass only: a step of about nothing
        QCOMPARE(rows(), 5);
        QCOMPARE(note(1), QStringLiteral("added"));
        QVERIFY(std::fabs(rowKm(1) - 4.5) < 0.005);
        QVERIFY(std::fabs(cell(1, 2).toDouble()) < 0.05);

        QVERIFY(tab->moveOwnEvent(1, 7.5)); // still the technician's own
        QCOMPARE(note(2), QStringLiteral("added"));
        QVERIFY(tab->moveOwnEvent(0, 3.02)); // a found event moved
        QCOMPARE(note(0), QStringLiteral("moved"));
        QVERIFY(std::fabs(cell(0, 2).toDouble() - 0.4) < 0.08);
        QVERIFY(!tab->moveOwnEvent(0, 40)); // past the end: nothing moves
        QVERIFY(std::fabs(rowKm(0) - 3.02) < 0.005);

        // A position typed into the list moves the event, in metres.
        auto* item = handler().eventTable.topLevelItem(3);
        item->setText(1, QStringLiteral("9100"));
        QTRY_COMPARE(note(3), QStringLiteral("moved"));
        QVERIFY(std::fabs(rowKm(3) - 9.1) < 0.005);

        QVERIFY(tab->deleteOwnEvents({ 2, 2, 1 }));
        QCOMPARE(rows(), 3);
        QCOMPARE(tab->ownNotes(), QStringList({ QStringLiteral("moved"), QStringLiteral("moved"), QString() }));
        QVERIFY(!tab->deleteOwnEvents({ 7 }));

        // The report shows what the tab shows, and says whose events they are.
        const auto rows = report::eventRows(*tab->shownParser(), tab->ownNotes());
        QCOMPARE(rows.size(), size_t(3));
        QCOMPARE(rows[0][1].right(13), QStringLiteral("moved by hand"));
        QVERIFY(!rows[2][1].contains(QStringLiteral("by hand")));
        if (Poppler::available()) {
            const auto report = TabReport::of(tab);
            QVERIFY(report);
            QString error;
            QVERIFY2(report->savePdf(QStringLiteral("own.pdf"), &error), qPrintable(error));
            const QString text = Poppler::text(QStringLiteral("own.pdf"));
            QVERIFY2(text.contains(tab->eventSourceText()), qPrintable(text));
            QCOMPARE(text.count(QStringLiteral("moved by hand")), 2);
        }
        QCOMPARE(hashOf(path), fileHash);
        QCOMPARE(tab->parser->events.keyEvents.size(), size_t(1));
    }

    // A marker dragged along the trace moves its event where it is released.
    void markerDragMovesTheEvent()
    {
        analysed();
        auto* plane = tab->plotter.chart.plane();
        const double km = rowKm(1);
        const QPoint from = plane->translate(QPointF(km, tab->shownParser()->getYValue(km))).toPoint();
        const QPoint to = plane->translate(QPointF(7.0, tab->shownParser()->getYValue(7.0))).toPoint();
        QVERIFY(from.x() < to.x());
        QTest::mousePress(&tab->plotter.chart, Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(&tab->plotter.chart, to);
        QTest::mouseRelease(&tab->plotter.chart, Qt::LeftButton, Qt::NoModifier, to);
        QCOMPARE(rows(), 4);
        QVERIFY2(std::fabs(rowKm(1) - 7.0) < 0.1, qPrintable(cell(1, 1)));
        QCOMPARE(note(1), QStringLiteral("moved"));
        // Away from any marker the press is the chart's.
        const QPoint empty = plane->translate(QPointF(4.5, tab->shownParser()->getYValue(4.5) + 3)).toPoint();
        QTest::mouseClick(&tab->plotter.chart, Qt::LeftButton, Qt::NoModifier, empty);
        QCOMPARE(tab->ownNotes().count(QStringLiteral("moved")), 1);
    }
};

TAVIX_TEST_MAIN(TestOwnAnalysis)
#include "tst_ownanalysis.moc"
