#include "Dialogs.h"
#include "TestMain.h"
#include "TraceFiles.h"

#include "compare/MultiPlotOverviewItemWidget.h"
#include "compare/PlotEntity.h"
#include "compare/SORMultiTab.h"
#include "plotter/TraceDiagram.h"
#include "shell/MainWindow.h"
#include "shell/SORTab.h"

#include <QPointer>
#include <QTabBar>

#include <KChartCartesianCoordinatePlane>
#include <KChartPlotter>

// The comparison tab and how the tab manager opens, drives and closes it.
class TestSORMultiTab : public QObject {
    Q_OBJECT

    static QString trace(const QString& name) { return TraceFiles::writeTrace(TraceFiles::ramp(800), name); }

    static QString notATrace(const QString& name)
    {
        QFile file(name);
        file.open(QIODevice::WriteOnly);
        file.write("not a trace");
        return QDir::current().absoluteFilePath(name);
    }

    static QStringList names(const SORMultiTab& tab)
    {
        QStringList list;
        for (const PlotEntity* e : tab.plotter.entities)
            list << e->fileName;
        return list;
    }

private Q_SLOTS:
    void cleanup() { TestSupport::resetApplication(); }

    void addingSkipsPathsAlreadyShown()
    {
        SORMultiTab tab;
        const QString a = trace(QStringLiteral("a.sor"));
        const QString b = trace(QStringLiteral("b.sor"));
        QVERIFY(tab.display(a.toStdWString()));
        std::fflush(stdout);
        // Also a path loaded earlier in the same request; a differently written path is another file.
        const QString other = QDir::currentPath() + QStringLiteral("/./a.sor");
        MessageBoxCloser boxes;
        tab._addPaths({ a, b, b, other, notATrace(QStringLiteral("c.sor")), a });
        std::fflush(stdout);
        QCOMPARE(names(tab), (QStringList { "a.sor", "b.sor", "a.sor" }));
        QCOMPARE(boxes.titles, QStringList { "Could not parse one of the selected files!" });
        QVERIFY(boxes.texts.first().startsWith(QStringLiteral("Could not parse file\n")
            + QDir::current().absoluteFilePath(QStringLiteral("c.sor")) + "\n\n"));
    }

    void firstUnparsablePathOpensNoTab()
    {
        MainWindow window;
        MessageBoxCloser boxes;
        // Nothing of the other paths is read: a second bad file would show a second box.
        window.tabs._addSORMultiTab({ notATrace(QStringLiteral("bad.sor")), notATrace(QStringLiteral("worse.sor")),
            trace(QStringLiteral("good.sor")) });
        std::fflush(stdout);
        QCOMPARE(boxes.texts.size(), 1);
        QVERIFY(boxes.texts.first().contains(QStringLiteral("bad.sor")));
        QCOMPARE(window.tabs.count(), 1);
        QCOMPARE(window.tabs.widget(0), &window.tabs.initialTab);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(window.findChildren<SORMultiTab*>().size(), 0);
    }

    void laterFailuresAreSkipped()
    {
        MainWindow window;
        MessageBoxCloser boxes;
        const QString first = trace(QStringLiteral("first.sor"));
        window.tabs._addSORMultiTab({ first, notATrace(QStringLiteral("bad.sor")), trace(QStringLiteral("last.sor")) });
        std::fflush(stdout);
        QCOMPARE(boxes.texts.size(), 1);
        QCOMPARE(window.tabs.count(), 1);
        auto* tab = qobject_cast<SORMultiTab*>(window.tabs.currentWidget());
        QVERIFY(tab);
        QCOMPARE(names(*tab), (QStringList { "first.sor", "last.sor" }));
        QCOMPARE(window.tabs.tabText(0), QStringLiteral("Comparison with first.sor"));
        QCOMPARE(window.tabs.tabToolTip(0), QStringLiteral("Comparison with\n") + first);
        QVERIFY(window.tabs.indexOf(&window.tabs.initialTab) < 0);
    }

    void severalFilesOpenOneComparison()
    {
        // As dropped, or named on the command line.
        MainWindow window;
        window.openUrls({ QUrl::fromLocalFile(trace(QStringLiteral("x.sor"))),
                            QUrl::fromLocalFile(trace(QStringLiteral("y.sor"))) },
            Qt::NoModifier);
        std::fflush(stdout);
        QCOMPARE(window.tabs.count(), 1);
        auto* tab = qobject_cast<SORMultiTab*>(window.tabs.currentWidget());
        QVERIFY(tab);
        QCOMPARE(names(*tab), (QStringList { "x.sor", "y.sor" }));
    }

    void controlButtonsDriveTheComparison()
    {
        MainWindow window;
        window.resize(1400, 900);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.tabs._addSORMultiTab({ trace(QStringLiteral("a.sor")), trace(QStringLiteral("b.sor")) });
        std::fflush(stdout);
        auto* tab = qobject_cast<SORMultiTab*>(window.tabs.currentWidget());
        QVERIFY(tab);
        auto* plane = tab->plotter.chart.plane();
        window.tabs.zoomInButton.click();
        QCOMPARE(plane->zoomFactorX(), 2.5);
        window.tabs.zoomOutButton.click();
        QVERIFY(std::abs(plane->zoomFactorX() - 1.0) < 1e-6);
        window.tabs.zoomInButton.click();
        window.tabs.resetViewButton.click();
        QCOMPARE(plane->zoomFactorX(), 1.0);

        MultiPlotOverview& cursors = tab->infoWidget.overview;
        QVERIFY(!cursors.cursorsPlaced && cursors.cursorsHidden);
        window.tabs.toggleCursorsButton.click();
        QVERIFY(cursors.cursorsPlaced && !cursors.cursorsHidden);
        QVERIFY(cursors.cursorInfoLabel->text().contains(QStringLiteral("Mean Cursor A")));
        window.tabs.toggleCursorsButton.click();
        QVERIFY(cursors.cursorsPlaced && cursors.cursorsHidden);
        window.tabs.toggleCursorsButton.click();
        QVERIFY(!cursors.cursorsHidden);
    }

    void viewOpensTheFileInItsOwnTab()
    {
        MainWindow window;
        const QString b = trace(QStringLiteral("b.sor"));
        window.tabs._addSORMultiTab({ trace(QStringLiteral("a.sor")), b });
        std::fflush(stdout);
        auto* tab = qobject_cast<SORMultiTab*>(window.tabs.currentWidget());
        QVERIFY(tab);
        tab->plotter.entities[1]->itemWidget->viewButton.click();
        std::fflush(stdout);
        QCOMPARE(window.tabs.count(), 2);
        auto* single = qobject_cast<SORTab*>(window.tabs.currentWidget());
        QVERIFY(single);
        QCOMPARE(QString::fromStdWString(single->parser->path), b);
        // Open already: only selected again.
        window.tabs.setCurrentIndex(0);
        tab->plotter.entities[1]->itemWidget->viewButton.click();
        QCOMPARE(window.tabs.count(), 2);
        QCOMPARE(window.tabs.currentWidget(), single);
    }

    void closingTheTabReleasesEverything()
    {
        MainWindow window;
        window.tabs._addSORMultiTab({ trace(QStringLiteral("a.sor")), trace(QStringLiteral("b.sor")) });
        std::fflush(stdout);
        auto* tab = qobject_cast<SORMultiTab*>(window.tabs.currentWidget());
        QVERIFY(tab);
        QList<QPointer<QObject>> made { tab };
        for (PlotEntity* e : qAsConst(tab->plotter.entities))
            made << e << e->diagram << e->itemWidget.data();
        made << tab->plotter.minMaxDiagram << tab->infoWidget.overview.cursorDiagram
             << tab->infoWidget.overview.cursorInfoWidget;
        // One removal still pending when the tab goes.
        tab->plotter.entities[0]->itemWidget->removeButton.click();
        window.tabs.closePlotTab(window.tabs.currentIndex());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (const auto& object : made)
            QVERIFY(!object);
        QCOMPARE(window.tabs.widget(0), &window.tabs.initialTab);
    }
};

TAVIX_TEST_MAIN(TestSORMultiTab)
#include "tst_sormultitab.moc"
