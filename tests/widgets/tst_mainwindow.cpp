#include "TestMain.h"

#include "shell/InitialTabWidget.h"
#include "shell/MainTabWidget.h"
#include "shell/MainWindow.h"
#include "widgets/CListWidget.h"
#include "widgets/CTreeWidget.h"

#include <QHBoxLayout>
#include <QPointer>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabBar>
#include <QVBoxLayout>

namespace {

const QString advancedOn = QStringLiteral("Advanced Mode Activated: Additional info will be shown in all new tabs.");
const QString advancedOff = QStringLiteral("Advanced Mode Deactivated: New tabs will use the standard display layout.");

// Stands in for a file tab until those exist: a page holding one widget.
QWidget* pageWith(QWidget* content)
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(content);
    return page;
}

// Replaces the start tab by file tabs the way opening files does.
void openPages(MainTabWidget& tabs, const QList<QWidget*>& pages)
{
    for (QWidget* page : pages)
        tabs.addTab(page, QStringLiteral("trace.sor"));
    tabs.removeTab(tabs.indexOf(&tabs.initialTab));
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { TestSupport::resetApplication(); }

    void windowOpensMaximizedWithoutIcons()
    {
        MainWindow window;
        QCOMPARE(window.centralWidget(), &window.tabs);
        QVERIFY(window.acceptDrops());
        window.resize(800, 600);
        window.showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.isMaximized());
        QVERIFY(window.statusBar()->isVisible());
    }

    void startTab()
    {
        MainTabWidget tabs;
        QCOMPARE(tabs.count(), 1);
        QCOMPARE(tabs.widget(0), &tabs.initialTab);
        QCOMPARE(tabs.tabText(0), QString());
        QVERIFY(tabs.tabsClosable());
        QVERIFY(tabs.isMovable());
        QVERIFY(!tabs.advancedMode);

        // "+" sits where the close button would be, so the start tab cannot be closed.
        auto* add = qobject_cast<QToolButton*>(tabs.tabBar()->tabButton(0, QTabBar::RightSide));
        QVERIFY(add);
        QCOMPARE(add->text(), QStringLiteral("+"));
        QVERIFY(!tabs.tabBar()->tabButton(0, QTabBar::LeftSide));

        QCOMPARE(tabs.initialTab.viewFileButton.text(), QStringLiteral("View sor File"));
        QCOMPARE(tabs.initialTab.compareFilesButton.text(), QStringLiteral("Compare sor Files"));
        QVERIFY(tabs.initialTab.viewFileButton.isHidden());
        QVERIFY(tabs.initialTab.compareFilesButton.isHidden());
        QCOMPARE(tabs.initialTab.viewFileButton.parentWidget(), &tabs.initialTab);
        QCOMPARE(tabs.initialTab.layout->alignment(), Qt::AlignCenter);
    }

    void menuCorner()
    {
        MainTabWidget tabs;
        QWidget* corner = tabs.cornerWidget(Qt::TopLeftCorner);
        QCOMPARE(corner, tabs.menuCorner);
        QCOMPARE(tabs.menuLayout->contentsMargins(), QMargins(0, 0, 3, 0));
        QCOMPARE(tabs.menuLayout->spacing(), 1);

        const QStringList texts { "Open File", "Compare Files", "Open Folder", "Help", "Theme" };
        const QStringList toolTips { "", "", "", "", "Change Colour Theme" };
        QCOMPARE(tabs.menuLayout->count(), texts.size());
        for (int index = 0; index < texts.size(); ++index) {
            auto* button = qobject_cast<QPushButton*>(tabs.menuLayout->itemAt(index)->widget());
            QVERIFY(button);
            QCOMPARE(button->text(), texts[index]);
            QCOMPARE(button->toolTip(), toolTips[index]);
            QVERIFY(!button->icon().isNull());
        }
    }

    void controlCorner()
    {
        MainTabWidget tabs;
        QCOMPARE(tabs.cornerWidget(Qt::TopRightCorner), tabs.controlCorner);
        QCOMPARE(tabs.controlLayout->contentsMargins(), QMargins(3, 0, 0, 0));
        QCOMPARE(tabs.controlLayout->spacing(), 0);

        const QStringList texts { "||", "R", "-", "+" };
        const QStringList toolTips { "Show/Hide Cursors", "Reset plot view", "Zoom out", "Zoom in" };
        QCOMPARE(tabs.controlLayout->count(), texts.size());
        for (int index = 0; index < texts.size(); ++index) {
            auto* button = qobject_cast<QToolButton*>(tabs.controlLayout->itemAt(index)->widget());
            QVERIFY(button);
            QCOMPARE(button->text(), texts[index]);
            QCOMPARE(button->toolTip(), toolTips[index]);
        }
    }

    void controlButtonsOnTheStartTabDoNothing()
    {
        MainTabWidget tabs;
        for (QToolButton* button :
            { &tabs.toggleCursorsButton, &tabs.resetViewButton, &tabs.zoomOutButton, &tabs.zoomInButton })
            button->click();
        QCOMPARE(tabs.count(), 1);
        QCOMPARE(tabs.currentWidget(), &tabs.initialTab);
    }

    void themeButtonSwitchesBetweenBrightAndDark()
    {
        MainTabWidget tabs;
        tabs.themeButton.click();
        QCOMPARE(app()->theme, int(Application::Dark));
        tabs.themeButton.click();
        QCOMPARE(app()->theme, int(Application::Bright));
    }

    void advancedModeKey_data()
    {
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<bool>("toggles");
        QTest::newRow("alt") << Qt::KeyboardModifiers(Qt::AltModifier) << true;
        QTest::newRow("alt shift") << Qt::KeyboardModifiers(Qt::AltModifier | Qt::ShiftModifier) << false;
        QTest::newRow("ctrl") << Qt::KeyboardModifiers(Qt::ControlModifier) << false;
        QTest::newRow("none") << Qt::KeyboardModifiers() << false;
    }

    void advancedModeKey()
    {
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(bool, toggles);
        MainWindow window;

        QTest::keyClick(&window, Qt::Key_A, modifiers);
        QCOMPARE(window.tabs.advancedMode, toggles);
        QCOMPARE(window.tabs.initialTab.viewFileButton.isHidden(), !toggles);
        QCOMPARE(window.tabs.initialTab.compareFilesButton.isHidden(), !toggles);
        QCOMPARE(window.statusBar()->currentMessage(), toggles ? advancedOn : QString());

        if (toggles) {
            QTest::keyClick(&window, Qt::Key_A, modifiers);
            QVERIFY(!window.tabs.advancedMode);
            QVERIFY(window.tabs.initialTab.viewFileButton.isHidden());
            QCOMPARE(window.statusBar()->currentMessage(), advancedOff);
        }
    }

    void cursorModeKey()
    {
        MainWindow window;
        QSignalSpy changed(app(), &Application::CursorModeChanged);

        QTest::keyClick(&window, Qt::Key_C, Qt::AltModifier);
        QCOMPARE(app()->cursorMode, false);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(window.statusBar()->currentMessage(), QStringLiteral("Cursor mode changed to smart cursor"));

        QTest::keyClick(&window, Qt::Key_C, Qt::AltModifier);
        QCOMPARE(app()->cursorMode, true);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(window.statusBar()->currentMessage(), QStringLiteral("Cursor mode changed to AB-cursor"));

        QTest::keyClick(&window, Qt::Key_C, Qt::AltModifier | Qt::ControlModifier);
        QCOMPARE(changed.count(), 2);
    }

    // Keys the focused widget leaves unused travel up to the window.
    void keysReachTheWindowFromInside()
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::keyClick(&window.tabs.initialTab, Qt::Key_A, Qt::AltModifier);
        QVERIFY(window.tabs.advancedMode);
    }

    void closeKeyOnTheStartTabDoesNothing()
    {
        MainWindow window;
        QTest::keyClick(&window, Qt::Key_W, Qt::ControlModifier);
        QCOMPARE(window.tabs.count(), 1);
        QCOMPARE(window.tabs.widget(0), &window.tabs.initialTab);
    }

    void closingTheLastTabBringsTheStartTabBack()
    {
        MainWindow window;
        QPointer<QWidget> first = new QWidget;
        QPointer<QWidget> second = new QWidget;
        openPages(window.tabs, { first, second });
        QCOMPARE(window.tabs.count(), 2);
        QVERIFY(window.tabs.tabBar()->tabButton(0, QTabBar::RightSide));

        window.tabs.setCurrentIndex(1);
        QTest::keyClick(&window, Qt::Key_W, Qt::ControlModifier);
        QVERIFY(!second);
        QCOMPARE(window.tabs.count(), 1);

        emit window.tabs.tabCloseRequested(0);
        QVERIFY(!first);
        QCOMPARE(window.tabs.count(), 1);
        QCOMPARE(window.tabs.widget(0), &window.tabs.initialTab);
        auto* add = qobject_cast<QToolButton*>(window.tabs.tabBar()->tabButton(0, QTabBar::RightSide));
        QVERIFY(add);
        QCOMPARE(add->text(), QStringLiteral("+"));
        QVERIFY(window.tabs.tabsClosable());

        window.tabs.closePlotTab(0);
        QCOMPARE(window.tabs.widget(0), &window.tabs.initialTab);
        window.tabs.closePlotTab(5);
        QCOMPARE(window.tabs.count(), 1);
    }

    void sideButtonsSwitchTabs()
    {
        MainWindow window;
        auto* tree = new CTreeWidget;
        tree->setHeaderLabels({ QStringLiteral("Field"), QStringLiteral("Value") });
        auto* list = new CListWidget;
        list->addItem(QStringLiteral("trace"));
        openPages(window.tabs, { pageWith(tree), pageWith(list) });
        window.tabs.insertTab(0, &window.tabs.initialTab, QString());
        window.resize(800, 600);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        window.tabs.setCurrentIndex(2);
        QTest::mouseClick(list->viewport(), Qt::BackButton);
        QCOMPARE(window.tabs.currentIndex(), 1);
        QTest::mouseClick(tree->header()->viewport(), Qt::BackButton);
        QCOMPARE(window.tabs.currentIndex(), 0);
        QTest::mouseClick(&window.tabs.initialTab, Qt::BackButton);
        QCOMPARE(window.tabs.currentIndex(), 0);
        QTest::mouseClick(&window.tabs.initialTab, Qt::ForwardButton);
        QCOMPARE(window.tabs.currentIndex(), 1);
        QTest::mouseClick(tree->viewport(), Qt::ForwardButton);
        QCOMPARE(window.tabs.currentIndex(), 2);
        QTest::mouseClick(list->viewport(), Qt::ForwardButton);
        QCOMPARE(window.tabs.currentIndex(), 2);
    }

    void startTabStretchesTheLogo()
    {
        // Four quadrants of distinct colours; stretching keeps each in its corner of the tab.
        QImage logo(40, 20, QImage::Format_ARGB32);
        const QColor corners[] = { Qt::red, Qt::green, Qt::blue, Qt::yellow };
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 40; ++x)
                logo.setPixelColor(x, y, corners[(y >= 10) * 2 + (x >= 20)]);
        app()->logoBig = QPixmap::fromImage(logo);

        InitialTabWidget tab;
        tab.resize(600, 100);
        const QImage shown = tab.grab().toImage();
        app()->logoBig = QPixmap();
        QCOMPARE(shown.size(), QSize(600, 100));
        QCOMPARE(shown.pixelColor(10, 10), corners[0]);
        QCOMPARE(shown.pixelColor(589, 10), corners[1]);
        QCOMPARE(shown.pixelColor(10, 89), corners[2]);
        QCOMPARE(shown.pixelColor(589, 89), corners[3]);
    }

    void startTabWithoutLogo()
    {
        QVERIFY(app()->logoBig.isNull());
        InitialTabWidget tab;
        tab.resize(200, 100);
        const QImage shown = tab.grab().toImage();
        QCOMPARE(shown.pixelColor(100, 50), QApplication::palette().color(QPalette::Window));
    }
};

TAVIX_TEST_MAIN(TestMainWindow)

#include "tst_mainwindow.moc"
