#include "TestMain.h"

#include "options/OptionsWindow.h"
#include "shell/MainTabWidget.h"
#include "shell/MainWindow.h"

#include <QDesktopServices>
#include <QPointer>
#include <QScreen>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

namespace {

const QStringList helpItems {
    "Click 'Open File' to open a single .sor file.",
    "Click 'Compare Files' to open multiple .sor files in a special comparison tab.",
    "You can also drag'n'drop files into the viewer to open them in a new tab. Dropping multiple files at once will "
    "open them in a comparison tab, but dropping multiple files while holding ctrl will open each in a separate "
    "single file view tab.",
    "Opening a file that is already opened in a tab will instead open that tab.",
    "Use the scroll wheel to zoom or drag a box with left-click.",
    "When using left-click to draw a box the current viewpoint will be saved and can be restored using right-click.",
    "Use the middle mouse button to drag the view in the plot.",
    "In the single file view you can also click in the minimap to move the main view.",
    "Use ctrl+left- or right-click to set cursors.",
    "You can also drag the markers around with left-click.",
    "Use alt+C to change between two cursor data display modes.",
    "You can hover over event points or click on event data to highlight the corresponding other in single view.",
    "In the .sor compare view you can select plots from the list on the right to show their events and highlight the "
    "graph in green.",
    "Double-clicking a plot in the list will change its colour. (Useful in case the generated colour is difficult to "
    "see.)",
    "The plot list in the .sor compare view has tooltips that show a quick overview. To open the plot in a single "
    "view click the 'View' button.",
    "The tooltip in the graph will give you the position of the nearest point, if one is close, while the status bar "
    "will always tell you the exact mouse pointer position.",
    "The event icons have tooltips that display the .sor event classification (which is different to the TAVIX "
    "internal classification).",
    "The left and right arrow key can also be used to move cursor A or, when holding ctrl, cursor B. The arrow keys "
    "move the cursors from data point to data point which allows precise measurements. Due to the slow speed in "
    "cases with many data points it is advised to primarily use the other cursor movement options and only use the "
    "arrow keys when precise movement is needed.",
    "The backwards and forwards buttons on the mouse (mouse buttons 4 and 5) can be used to easily switch between "
    "open tabs.",
    "Use ctrl+W to close the current tab.",
};

// The colours of the link fragments in a document.
QList<QColor> linkColours(const QTextDocument& document)
{
    QList<QColor> colours;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().isAnchor())
                colours << it.fragment().charFormat().foreground().color();
        }
    }
    return colours;
}

} // namespace

// Stands in for the desktop's browser.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

// The options window: its pages, the help and about texts, and where F1 puts it.
class TestOptionsWindow : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { TestSupport::resetApplication(); }

    void createdWithTheTabWidget()
    {
        QPointer<OptionsWindow> window;
        {
            MainTabWidget tabs;
            window = tabs.optionsWindow;
            QVERIFY(window);
            QVERIFY(!window->parent());
            QVERIFY(!window->isVisible());
            QCOMPARE(window->windowTitle(), QStringLiteral("TAVIX SOR-Viewer Menu"));
            QCOMPARE(window->centralWidget(), &window->tabWidget);
            QCOMPARE(window->tabWidget.count(), 4);
            const QStringList titles { "Help", "About", "Colour", "Texts" };
            const QList<QWidget*> pages { &window->helpWidget, &window->aboutWidget, &window->colourWidget,
                &window->textsWidget };
            for (int i = 0; i < 4; ++i) {
                QCOMPARE(window->tabWidget.tabText(i), titles[i]);
                QCOMPARE(window->tabWidget.widget(i), pages[i]);
            }
        }
        QVERIFY(!window); // gone with the tab widget, not left behind
    }

    void helpTextItems()
    {
        HelpWidget help;
        QCOMPARE(help.layout->count(), 1);
        QCOMPARE(help.layout->itemAt(0)->widget(), &help.browser);
        QVERIFY(help.browser.toHtml().contains(QStringLiteral("<li")));

        QStringList items, headings;
        const QTextDocument* document = help.browser.document();
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            if (block.textList())
                items << block.text();
            else if (block.blockFormat().headingLevel() > 0)
                headings << QStringLiteral("h%1 %2").arg(block.blockFormat().headingLevel()).arg(block.text());
        }
        QCOMPARE(headings, QStringList({ "h1 TAVIX SOR-Viewer", "h2 Usage" }));
        QCOMPARE(items.size(), helpItems.size());
        for (int i = 0; i < items.size(); ++i)
            QCOMPARE(items[i], helpItems[i]);
        QVERIFY(HelpWidget::helpText().startsWith(
            QStringLiteral("<P><p><h1>TAVIX SOR-Viewer</h1></p><p><h2>Usage</h2><ul><li>Click 'Open File'")));
        QVERIFY(HelpWidget::helpText().endsWith(QStringLiteral("current tab.</li></ul></p></P>")));
    }

    void aboutText()
    {
        AboutWidget about;
        QVERIFY(!about.browser.openLinks());
        const QStringList lines = about.browser.toPlainText().split(QLatin1Char('\n'));
        QCOMPARE(lines.value(0), QStringLiteral("TAVIX SOR-Viewer"));
        QVERIFY(lines.filter(QRegularExpression(QStringLiteral("^Version \\d+\\.\\d+\\.\\d+$"))).size() == 1);
        QVERIFY(lines.filter(QRegularExpression(QStringLiteral("^Licence: "))).size() == 1);
        QVERIFY(lines.filter(QRegularExpression(QStringLiteral("^Contact: "))).size() == 1);
        QVERIFY(!linkColours(*about.browser.document()).isEmpty());
    }

    void aboutLinksOpenOnTheDesktop()
    {
        AboutWidget about;
        UrlCatcher browser;
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &browser, "open");
        const QUrl url(QStringLiteral("https://www.qt.io/"));
        emit about.browser.anchorClicked(url);
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));

        QCOMPARE(browser.opened, QList<QUrl> { url });
        // The page stays where it is.
        QVERIFY(about.browser.source().isEmpty());
        QCOMPARE(about.browser.toHtml(), AboutWidget().browser.toHtml());
    }

    void aboutLinksFollowTheTheme()
    {
        AboutWidget about;
        for (const char* link : { "#9696ff", "#1d99f3", "#9696ff" }) {
            const QList<QColor> colours = linkColours(*about.browser.document());
            QVERIFY(!colours.isEmpty());
            for (const QColor& colour : colours)
                QCOMPARE(colour, QColor(QLatin1String(link)));
            app()->toggleTheme();
        }
    }

    void helpWindowPosition_data()
    {
        QTest::addColumn<QPoint>("mainPosition");
        QTest::addColumn<QSize>("mainSize");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("even size") << QPoint(0, 0) << QSize(800, 600) << QPoint(-1, -1);
        QTest::newRow("odd size") << QPoint(0, 0) << QSize(801, 601) << QPoint(0, 0);
        QTest::newRow("large, even") << QPoint(10, 20) << QSize(1600, 1000) << QPoint(409, 219);
        QTest::newRow("large, odd") << QPoint(10, 20) << QSize(1601, 1001) << QPoint(410, 220);
        QTest::newRow("one pixel") << QPoint(0, 0) << QSize(1, 1) << QPoint(-400, -300);
        QTest::newRow("empty: halves truncate toward zero") << QPoint(0, 0) << QSize(0, 0) << QPoint(-400, -300);
        QTest::newRow("odd and small, off the origin") << QPoint(-5, 7) << QSize(3, 5) << QPoint(-404, -291);
    }

    void helpWindowPosition()
    {
        QFETCH(QPoint, mainPosition);
        QFETCH(QSize, mainSize);
        QFETCH(QPoint, expected);
        QCOMPARE(MainTabWidget::_helpWindowPosition(mainPosition, mainSize), expected);
    }

    void keptOnScreen_data()
    {
        QTest::addColumn<QPoint>("position");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QPoint>("expected");
        const QRect screen(0, 0, 1600, 1000);
        QTest::newRow("inside") << QPoint(409, 219) << screen << QPoint(409, 219);
        QTest::newRow("above and left") << QPoint(-1, -1) << screen << QPoint(0, 0);
        QTest::newRow("above only") << QPoint(30, -200) << screen << QPoint(30, 0);
        QTest::newRow("second screen") << QPoint(1500, -5) << QRect(1600, 0, 1920, 1080) << QPoint(1600, 0);
        QTest::newRow("panel at the top") << QPoint(100, 10) << QRect(0, 32, 1600, 968) << QPoint(100, 32);
        QTest::newRow("no screen") << QPoint(-7, -9) << QRect() << QPoint(-7, -9);
    }

    void keptOnScreen()
    {
        QFETCH(QPoint, position);
        QFETCH(QRect, available);
        QFETCH(QPoint, expected);
        QCOMPARE(MainTabWidget::_keptOnScreen(position, available), expected);
    }

    void f1AndHelpShowTheHelpPageCentred_data()
    {
        QTest::addColumn<bool>("byKey");
        QTest::newRow("F1") << true;
        QTest::newRow("Help button") << false;
    }

    void f1AndHelpShowTheHelpPageCentred()
    {
        QFETCH(bool, byKey);
        MainWindow window;
        window.move(100, 50);
        window.resize(1001, 801);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.pos(), QPoint(100, 50));
        QCOMPARE(window.size(), QSize(1001, 801));
        OptionsWindow* options = window.tabs.optionsWindow;

        for (int round = 0; round < 2; ++round) {
            options->tabWidget.setCurrentWidget(&options->colourWidget);
            options->hide();
            if (byKey)
                QTest::keyClick(&window, Qt::Key_F1);
            else
                window.tabs.helpButton.click();
            QVERIFY(options->isVisible());
            QCOMPARE(options->tabWidget.currentWidget(), &options->helpWidget);
            QCOMPARE(options->size(), QSize(800, 600));
            QCOMPARE(options->pos(), QPoint(100 + 500 - 400, 50 + 400 - 300));
            QCOMPARE(window.tabs.optionsWindow, options); // the same window every time
        }
        options->hide();
    }

    // A main window smaller than the options window at the screen's corner would push the title bar off screen.
    void helpWindowStaysOnScreen()
    {
        MainWindow window;
        window.move(0, 0);
        window.resize(500, 400);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.width() < 801 && window.height() < 601);
        QCOMPARE(window.screen()->availableGeometry().topLeft(), QPoint(0, 0));

        window.tabs.openHelpWindow();
        QCOMPARE(window.tabs.optionsWindow->pos(), QPoint(0, 0));
        window.tabs.optionsWindow->hide();
    }
};

TAVIX_TEST_MAIN(TestOptionsWindow)
#include "tst_optionswindow.moc"
