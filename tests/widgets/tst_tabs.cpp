#include "Dialogs.h"
#include "TestMain.h"
#include "TraceFiles.h"

#include "compare/MultiPlotOverviewItemWidget.h"
#include "compare/PlotEntity.h"
#include "compare/SORMultiTab.h"
#include "shell/MainWindow.h"
#include "shell/SORTab.h"

#include <QTabBar>
#include <QTextDocument>

#include <KChartCartesianCoordinatePlane>

// Opening, re-selecting and closing single-trace tabs, drops, and the side buttons.
class TestTabs : public QObject {
    Q_OBJECT

    QString demo;
    std::unique_ptr<MainWindow> window;

    QList<SORTab*> traceTabs() const
    {
        QList<SORTab*> tabs;
        for (int i = 0; i < window->tabs.count(); ++i)
            if (auto* tab = qobject_cast<SORTab*>(window->tabs.widget(i)))
                tabs << tab;
        return tabs;
    }

    void sideButton(Qt::MouseButton button)
    {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), button, button, Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &press);
    }

private Q_SLOTS:
    void initTestCase()
    {
        demo = TraceFiles::writeTrace(TraceFiles::ramp(8000), QStringLiteral("demo.sor"));
        TraceFiles::writeTrace(TraceFiles::ramp(500), QStringLiteral("DEMO.sor"));
        TraceFiles::writeTrace(TraceFiles::ramp(700), QStringLiteral("third.SOR"));
        TraceFiles::write(sortest::Bytes {}, QStringLiteral("empty.sor"));
    }

    void init()
    {
        window = std::make_unique<MainWindow>();
        window->resize(1400, 900);
        window->show();
    }

    void cleanup() { window.reset(); }

    void openSelectsAnOpenPathAgain()
    {
        auto& tabs = window->tabs;
        QCOMPARE(tabs.count(), 1);
        tabs._addSORTab(demo);
        QCOMPARE(tabs.count(), 1); // the start tab left the bar
        QCOMPARE(tabs.indexOf(&tabs.initialTab), -1);
        QCOMPARE(tabs.tabText(0), QStringLiteral("demo.sor"));
        QCOMPARE(tabs.tabToolTip(0), demo);
        tabs._addSORTab(QDir::current().absoluteFilePath(QStringLiteral("DEMO.sor")));
        QCOMPARE(traceTabs().size(), 2); // another letter case is another file
        tabs._addSORTab(demo);
        QCOMPARE(traceTabs().size(), 2);
        QCOMPARE(tabs.currentIndex(), 0);
    }

    void lastCloseBringsTheStartTabBack()
    {
        auto& tabs = window->tabs;
        tabs._addSORTab(demo);
        QPointer<SORTab> tab = traceTabs().first();
        tabs.closePlotTab(0);
        QVERIFY(tab.isNull());
        QCOMPARE(tabs.count(), 1);
        QCOMPARE(tabs.widget(0), &tabs.initialTab);
        QVERIFY(tabs.tabBar()->tabButton(0, QTabBar::RightSide) != nullptr); // a fresh "+"
        tabs.closePlotTab(0); // the start tab does not close
        QCOMPARE(tabs.count(), 1);
    }

    void unparsableFileOpensNoTab()
    {
        MessageBoxCloser boxes;
        const QString empty = QDir::current().absoluteFilePath(QStringLiteral("empty.sor"));
        window->tabs._addSORTab(empty);
        QCOMPARE(boxes.titles, QStringList { QStringLiteral("Could not parse selected file!") });
        QVERIFY(
            boxes.texts.first().startsWith(QStringLiteral("Could not parse file\n") + empty + QStringLiteral("\n\n")));
        QVERIFY(boxes.texts.first().contains(QStringLiteral("The file appears to be empty.")));
        QCOMPARE(window->tabs.count(), 1);
        QCOMPARE(window->tabs.widget(0), &window->tabs.initialTab);
    }

    void drops()
    {
        MessageBoxCloser boxes;
        const QUrl sor = QUrl::fromLocalFile(demo);
        const QUrl upper = QUrl::fromLocalFile(QDir::current().absoluteFilePath(QStringLiteral("third.SOR")));
        const QUrl text = QUrl::fromLocalFile(QDir::current().absoluteFilePath(QStringLiteral("notes.txt")));

        window->openUrls({ text }, Qt::NoModifier);
        QCOMPARE(boxes.titles, QStringList { QStringLiteral("Non .sor File") });
        QVERIFY(boxes.texts.last().startsWith(QStringLiteral("The dropped files do not have\n")));
        QCOMPARE(traceTabs().size(), 0);

        window->openUrls({ upper }, Qt::ShiftModifier);
        QCOMPARE(traceTabs().size(), 1);

        // With Ctrl several files open one tab each; an open one is only selected.
        window->openUrls({ sor, text, sor, upper }, Qt::ControlModifier);
        QCOMPARE(boxes.titles.size(), 2);
        QVERIFY(boxes.texts.last().startsWith(QStringLiteral("One or more of the dropped files do not have\n")));
        QCOMPARE(traceTabs().size(), 2);
        QCOMPARE(window->tabs.currentWidget(), traceTabs().first()); // third.SOR, opened before

        // Named on the command line, the same files are refused in its words.
        window->openUrls({ text }, Qt::NoModifier, MainWindow::CommandLine);
        QVERIFY(boxes.texts.last().startsWith(QStringLiteral("The file named on the command line does not have\n")));
        window->openUrls({ sor, text }, Qt::NoModifier, MainWindow::CommandLine);
        QVERIFY(boxes.texts.last().startsWith(
            QStringLiteral("One or more of the files named on the command line do not have\n")));
    }

    void fileNamesShowAsWritten()
    {
        // What a tool tip shows: Qt reads a text whose first line looks like markup as rich text.
        const auto shown = [](const QString& tip) {
            if (!Qt::mightBeRichText(tip))
                return tip;
            QTextDocument document;
            document.setHtml(tip);
            return document.toPlainText();
        };
        const QString name = QStringLiteral("run&<b>x.sor");
        const QString path = TraceFiles::writeTrace(TraceFiles::ramp(500), name);
        auto& tabs = window->tabs;
        tabs._addSORTab(path);
        // "&&" in a tab title shows as "&" instead of marking a shortcut.
        QCOMPARE(tabs.tabText(0), QStringLiteral("run&&<b>x.sor"));
        QCOMPARE(shown(tabs.tabToolTip(0)), path);

        tabs._addSORMultiTab({ path, demo });
        auto* comparison = qobject_cast<SORMultiTab*>(tabs.currentWidget());
        QVERIFY(comparison);
        QCOMPARE(tabs.tabText(tabs.currentIndex()), QStringLiteral("Comparison with run&&<b>x.sor"));
        QCOMPARE(shown(tabs.tabToolTip(tabs.currentIndex())), "Comparison with\n" + path);
        const MultiPlotOverviewItemWidget* row = comparison->plotter.entities[0]->itemWidget;
        QCOMPARE(row->label.textFormat(), Qt::PlainText);
        QCOMPARE(row->label.text(), name + " #E:0");
        QVERIFY(shown(row->label.toolTip()).startsWith("Path: " + path + "\nNumber of Events: 0\n"));
        comparison->infoWidget.overview.list.setCurrentRow(0);
        const QLabel& title = comparison->infoWidget.eventDisplay.titleLabel;
        QCOMPARE(title.textFormat(), Qt::PlainText);
        QCOMPARE(title.text(), "Events for " + name);
    }

    void sideButtonsStopAtTheEnds()
    {
        auto& tabs = window->tabs;
        tabs._addSORTab(demo);
        tabs._addSORTab(QDir::current().absoluteFilePath(QStringLiteral("DEMO.sor")));
        QCOMPARE(tabs.currentIndex(), 1);
        sideButton(Qt::ForwardButton);
        QCOMPARE(tabs.currentIndex(), 1);
        sideButton(Qt::BackButton);
        QCOMPARE(tabs.currentIndex(), 0);
        sideButton(Qt::BackButton);
        QCOMPARE(tabs.currentIndex(), 0);
    }

    void advancedModeOnlyForNewTabs()
    {
        auto& tabs = window->tabs;
        tabs._addSORTab(demo);
        QTest::keyClick(window.get(), Qt::Key_A, Qt::AltModifier);
        QVERIFY(tabs.advancedMode);
        tabs._addSORTab(QDir::current().absoluteFilePath(QStringLiteral("DEMO.sor")));
        const auto open = traceTabs();
        QCOMPARE(open[0]->info.dataViewer.topLevelItemCount(), 2);
        QVERIFY(!open[0]->info.dataViewer.itemsExpandable());
        QVERIFY(open[0]->info.dataViewer.maximumHeight() < 1000); // fitted to its two sections
        QCOMPARE(open[0]->info.eventHandler.eventTable.columnCount(), 6);
        QCOMPARE(open[1]->info.dataViewer.topLevelItemCount(), 8);
        QVERIFY(open[1]->info.dataViewer.itemsExpandable());
        QCOMPARE(open[1]->info.eventHandler.eventTable.columnCount(), 14);
    }

    void zoomButtonsActOnTheCurrentTab()
    {
        auto& tabs = window->tabs;
        tabs.currentWidget_ZoomIn(); // on the start tab: nothing
        tabs._addSORTab(demo);
        auto* plane = traceTabs().first()->plotter.chart.plane();
        tabs.zoomInButton.click();
        QCOMPARE(plane->zoomFactorX(), 2.5);
        tabs.resetViewButton.click();
        QCOMPARE(plane->zoomFactorX(), 1.0);
        tabs.zoomOutButton.click();
        QCOMPARE(plane->zoomFactorX(), 1.0);
    }

    void cursorToggle()
    {
        auto& tabs = window->tabs;
        tabs._addSORTab(demo);
        auto& cursors = traceTabs().first()->info.cursorWidget;
        QVERIFY(!cursors.active && cursors.hidden);
        tabs.toggleCursorsButton.click();
        QVERIFY(cursors.active && !cursors.hidden);
        QVERIFY(cursors.infoLabel.text().startsWith(QStringLiteral("<P>&nbsp;Cursor A: (0 km")));
        tabs.toggleCursorsButton.click();
        QVERIFY(cursors.active && cursors.hidden);
        tabs.toggleCursorsButton.click();
        QVERIFY(!cursors.hidden);
    }

    void splitterSizes_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<double>("share"); // of the left pane
        QTest::newRow("wide") << 2300 << 350.0 / 2250;
        QTest::newRow("narrow") << 2299 << 300.0 / 1500;
    }

    void splitterSizes()
    {
        QFETCH(int, width);
        QFETCH(double, share);
        QWidget parent;
        parent.resize(width, 800);
        SORTab tab(&parent);
        tab.resize(parent.size());
        parent.show();
        QCoreApplication::processEvents();
        const auto sizes = tab.mainSplitter.sizes();
        QVERIFY2(std::abs(double(sizes[0]) / (sizes[0] + sizes[1]) - share) < 0.01,
            qPrintable(QStringLiteral("%1 %2").arg(sizes[0]).arg(sizes[1])));
    }
};

TAVIX_TEST_MAIN(TestTabs)
#include "tst_tabs.moc"
