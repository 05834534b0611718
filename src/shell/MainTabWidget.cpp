#include "shell/MainTabWidget.h"

#include "cable/CableTab.h"
#include "compare/SORMultiTab.h"
#include "core/Application.h"
#include "options/OptionsWindow.h"
#include "shell/ReportDialog.h"
#include "shell/SORTab.h"
#include "shell/TabReport.h"
#include "sor/SORParser.h"
#include "widgets/PlainText.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPointer>
#include <QRegularExpression>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTabBar>

#include <algorithm>
#include <iostream>

MainTabWidget::MainTabWidget(QWidget* parent)
    : QTabWidget(parent)
{
    setObjectName(QStringLiteral("tabs"));
    optionsWindow = new OptionsWindow;

    initialTab.viewFileButton.setText(tr("View sor File"));
    initialTab.compareFilesButton.setText(tr("Compare sor Files"));
    initialTab.layout->addWidget(&initialTab.viewFileButton);
    initialTab.layout->addWidget(&initialTab.compareFilesButton);
    initialTab.layout->setAlignment(Qt::AlignCenter);
    initialTab.viewFileButton.hide();
    initialTab.compareFilesButton.hide();

    _addStartTab();

    connect(&initialTab.viewFileButton, &QPushButton::clicked, this, &MainTabWidget::addSORTab);
    connect(&initialTab.compareFilesButton, &QPushButton::clicked, this, &MainTabWidget::addSORMultiTab);
    connect(this, &QTabWidget::tabCloseRequested, this, &MainTabWidget::closePlotTab);

    // The start tab's close-button place already holds "+", so it gets no close button.
    setTabsClosable(true);
    setMovable(true);

    setUpMenuButtons();
    setUpControlButtons();
}

MainTabWidget::~MainTabWidget() { delete optionsWindow; }

void MainTabWidget::_addStartTab()
{
    auto* addButton = new QToolButton;
    addButton->setObjectName(QStringLiteral("addTabButton"));
    addButton->setText(QStringLiteral("+"));
    const int index = addTab(&initialTab, QString());
    tabBar()->setTabButton(index, QTabBar::RightSide, addButton);
    connect(addButton, &QToolButton::clicked, this, &MainTabWidget::addSORTab);
}

void MainTabWidget::setUpMenuButtons()
{
    menuCorner = new QWidget(this);
    menuCorner->setObjectName(QStringLiteral("menuCorner"));
    menuLayout = new QHBoxLayout(menuCorner);
    menuLayout->setContentsMargins(0, 0, 3, 0);
    menuLayout->setSpacing(1);

    QStyle* style = QApplication::style();
    const struct {
        QPushButton* button;
        const char* name;
        QString text;
        QStyle::StandardPixmap icon;
    } buttons[] = {
        { &openFileButton, "openFileButton", tr("Open File"), QStyle::SP_FileIcon },
        { &compareButton, "compareButton", tr("Compare Files"), QStyle::SP_DirOpenIcon },
        { &openFolderButton, "openFolderButton", tr("Open Folder"), QStyle::SP_DirIcon },
        { &helpButton, "helpButton", tr("Help"), QStyle::SP_DialogHelpButton },
        { &themeButton, "themeButton", tr("Theme"), QStyle::SP_BrowserReload },
    };
    for (const auto& entry : buttons) {
        entry.button->setObjectName(QLatin1String(entry.name));
        entry.button->setText(entry.text);
        entry.button->setIcon(style->standardIcon(entry.icon));
        menuLayout->addWidget(entry.button, 0);
    }
    themeButton.setToolTip(tr("Change Colour Theme"));
    // May narrow to its icon in a small window, so that the window still fits 800 pixels.
    openFolderButton.setMinimumWidth(openFolderButton.iconSize().width() + 16);

    connect(&openFileButton, &QPushButton::clicked, this, &MainTabWidget::addSORTab);
    connect(&compareButton, &QPushButton::clicked, this, &MainTabWidget::addSORMultiTab);
    connect(&openFolderButton, &QPushButton::clicked, this, &MainTabWidget::addCableTab);
    connect(&helpButton, &QPushButton::clicked, this, &MainTabWidget::openHelpWindow);
    connect(&themeButton, &QPushButton::clicked, app(), &Application::toggleTheme);

    setCornerWidget(menuCorner, Qt::TopLeftCorner);
}

void MainTabWidget::setUpControlButtons()
{
    controlCorner = new QWidget(this);
    controlCorner->setObjectName(QStringLiteral("controlCorner"));
    controlLayout = new QHBoxLayout(controlCorner);
    controlLayout->setContentsMargins(3, 0, 0, 0);
    controlLayout->setSpacing(0);

    const struct {
        QToolButton* button;
        const char* name;
        const char* text;
        QString toolTip;
    } buttons[] = {
        { &toggleCursorsButton, "toggleCursorsButton", "||", tr("Show/Hide Cursors") },
        { &resetViewButton, "resetViewButton", "R", tr("Reset plot view") },
        { &zoomOutButton, "zoomOutButton", "-", tr("Zoom out") },
        { &zoomInButton, "zoomInButton", "+", tr("Zoom in") },
    };
    for (const auto& entry : buttons) {
        entry.button->setObjectName(QLatin1String(entry.name));
        entry.button->setText(QLatin1String(entry.text));
        entry.button->setToolTip(entry.toolTip);
        controlLayout->addWidget(entry.button);
    }

    connect(&toggleCursorsButton, &QToolButton::clicked, this, &MainTabWidget::currentWidget_ToggleCursorVisibility);
    connect(&resetViewButton, &QToolButton::clicked, this, &MainTabWidget::currentWidget_ResetView);
    connect(&zoomOutButton, &QToolButton::clicked, this, &MainTabWidget::currentWidget_ZoomOut);
    connect(&zoomInButton, &QToolButton::clicked, this, &MainTabWidget::currentWidget_ZoomIn);

    // Beside the chart buttons, set apart from them: it acts on the whole tab.
    reportButton.setObjectName(QStringLiteral("reportButton"));
    reportButton.setText(tr("Report"));
    reportButton.setToolTip(tr("Print or save a report of this tab (Ctrl+P)"));
    controlLayout->addSpacing(3);
    controlLayout->addWidget(&reportButton);
    connect(&reportButton, &QToolButton::clicked, this, &MainTabWidget::currentWidget_Report);
    auto* printKey = new QShortcut(QKeySequence::Print, this);
    connect(printKey, &QShortcut::activated, this, &MainTabWidget::currentWidget_Report);

    setCornerWidget(controlCorner, Qt::TopRightCorner);
}

QString MainTabWidget::_fileFilter() const
{
    return tr("sor Files") + QStringLiteral("(*.sor);;") + tr("Any Files") + QStringLiteral("(*.*)");
}

void MainTabWidget::addSORTab()
{
    _addSORTab(QFileDialog::getOpenFileName(nullptr, tr("Select a File"), app()->sorDirectory, _fileFilter()));
}

void MainTabWidget::_addSORTab(QString path)
{
    if (path.isEmpty()) {
        std::cout << "No path selected." << std::endl;
        return;
    }
    for (int i = 0; i < count(); ++i) {
        auto* open = qobject_cast<SORTab*>(widget(i));
        if (open && open->parser && QString::fromStdWString(open->parser->path) == path) {
            setCurrentIndex(i);
            _hideStartTab();
            return;
        }
    }

    QPointer<SORTab> tab = new SORTab(this);
    if (!tab->display(path.toStdWString(), advancedMode)) {
        tab->deleteLater();
        return;
    }
    const int index = addTab(tab, PlainText::tabTitle(path.split(QRegularExpression(QStringLiteral("/"))).last()));
    setTabToolTip(index, PlainText::toolTip(path));
    setCurrentIndex(index);
    update();
    // Lay the tab out before its block tree is measured.
    QCoreApplication::processEvents();
    if (tab && !advancedMode)
        _fitBlockTree(tab->info.dataViewer);
    _hideStartTab();
}

void MainTabWidget::_fitBlockTree(QTreeWidget& tree)
{
    const QTreeWidgetItem* first = tree.topLevelItem(0);
    const int childHeight = first && first->childCount() > 0 ? tree.visualItemRect(first->child(0)).height() : 0;
    int height = 10;
    for (int i = 0; i < tree.topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = tree.topLevelItem(i);
        height += tree.visualItemRect(item).height() + item->childCount() * childHeight;
    }
    tree.setMaximumHeight(height);
}

void MainTabWidget::_hideStartTab()
{
    // The start tab leaves the bar but stays alive, to come back when the last tab closes.
    const int start = indexOf(&initialTab);
    if (count() > 1 && start >= 0)
        removeTab(start);
}

void MainTabWidget::addSORMultiTab()
{
    _addSORMultiTab(
        QFileDialog::getOpenFileNames(nullptr, tr("Select .sor Files"), app()->sorDirectory, _fileFilter()));
}

void MainTabWidget::_addSORMultiTab(QStringList paths)
{
    if (paths.isEmpty()) {
        std::cout << "No path selected." << std::endl;
        return;
    }
    // Nothing of the other paths is read when the first cannot be.
    auto* tab = new SORMultiTab();
    connect(tab, &SORMultiTab::openFileRequested, this, &MainTabWidget::_addSORTab);
    if (!tab->display(paths.first().toStdWString())) {
        tab->deleteLater();
        return;
    }
    for (int i = 1; i < paths.size(); ++i)
        tab->display(paths[i].toStdWString());
    const int index = addTab(tab,
        PlainText::tabTitle(
            tr("Comparison with ") + paths.first().split(QRegularExpression(QStringLiteral("/"))).last()));
    setTabToolTip(index, PlainText::toolTip(tr("Comparison with") + QStringLiteral("\n") + paths.first()));
    setCurrentIndex(index);
    _hideStartTab();
}

void MainTabWidget::addCableTab()
{
    _addCableTab(QFileDialog::getExistingDirectory(nullptr, tr("Select a Folder"), app()->sorDirectory));
}

void MainTabWidget::_addCableTab(QString folder)
{
    if (folder.isEmpty()) {
        std::cout << "No path selected." << std::endl;
        return;
    }
    const QString full = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    auto* tab = new CableTab(this);
    connect(tab, &CableTab::openFileRequested, this, &MainTabWidget::_addSORTab);
    connect(tab, &CableTab::compareRequested, this, &MainTabWidget::_addSORMultiTab);
    tab->scanFolder(full);
    const QString name = QFileInfo(full).fileName();
    const int index = addTab(tab, PlainText::tabTitle(name.isEmpty() ? full : name));
    setTabToolTip(index, PlainText::toolTip(full));
    setCurrentIndex(index);
    _hideStartTab();
}

void MainTabWidget::closePlotTab(int index)
{
    QWidget* page = widget(index);
    if (!page || page == &initialTab)
        return;
    removeTab(index);
    delete page;

    if (count() == 0) {
        // Without this, the start tab would get a close button in the place of "+".
        setTabsClosable(false);
        _addStartTab();
        setTabsClosable(true);
    }
}

void MainTabWidget::openHelpWindow()
{
    QWidget* main = window();
    optionsWindow->tabWidget.setCurrentWidget(&optionsWindow->helpWidget);
    optionsWindow->resize(800, 600);
    QPoint position = _helpWindowPosition(main->pos(), main->size());
    if (const QScreen* screen = main->screen())
        position = _keptOnScreen(position, screen->availableGeometry());
    optionsWindow->move(position);
    optionsWindow->show();
    optionsWindow->activateWindow();
}

QPoint MainTabWidget::_helpWindowPosition(const QPoint& mainPosition, const QSize& mainSize)
{
    // Integer halves truncated toward zero, as C++ divides.
    return mainPosition + QPoint((mainSize.width() - 1) / 2 - 400, (mainSize.height() - 1) / 2 - 300);
}

QPoint MainTabWidget::_keptOnScreen(const QPoint& position, const QRect& available)
{
    if (!available.isValid())
        return position;
    return QPoint(std::max(position.x(), available.left()), std::max(position.y(), available.top()));
}

void MainTabWidget::currentWidget_ZoomIn()
{
    if (auto* tab = qobject_cast<SORTab*>(currentWidget()))
        tab->plotter.chart.zoom(2.5f);
    else if (auto* multi = qobject_cast<SORMultiTab*>(currentWidget()))
        multi->plotter.chart.zoom(2.5f);
}

void MainTabWidget::currentWidget_ZoomOut()
{
    if (auto* tab = qobject_cast<SORTab*>(currentWidget()))
        tab->plotter.chart.zoom(0.4f);
    else if (auto* multi = qobject_cast<SORMultiTab*>(currentWidget()))
        multi->plotter.chart.zoom(0.4f);
}

void MainTabWidget::currentWidget_ResetView()
{
    if (auto* tab = qobject_cast<SORTab*>(currentWidget()))
        tab->plotter.chart.resetView();
    else if (auto* multi = qobject_cast<SORMultiTab*>(currentWidget()))
        multi->plotter.chart.resetView();
}

void MainTabWidget::currentWidget_ToggleCursorVisibility()
{
    if (auto* tab = qobject_cast<SORTab*>(currentWidget())) {
        CursorWidget& cursors = tab->info.cursorWidget;
        if (!cursors.active) {
            cursors.active = true;
            cursors.hidden = false;
            cursors.showCursorInfo();
        } else {
            cursors.hidden = !cursors.hidden;
        }
        cursors.updateMarkerAttributes();
        tab->plotter.chart.update();
    } else if (auto* multi = qobject_cast<SORMultiTab*>(currentWidget())) {
        MultiPlotOverview& overview = multi->infoWidget.overview;
        if (!overview.cursorsPlaced) {
            overview.cursorsPlaced = true;
            overview.cursorsHidden = false;
            overview.showCursorInfo();
        } else {
            overview.cursorsHidden = !overview.cursorsHidden;
        }
        multi->plotter.chart.update();
    }
}

void MainTabWidget::currentWidget_Report()
{
    QWidget* tab = currentWidget();
    if (!TabReport::of(tab))
        return;
    if (reportDialog)
        reportDialog->close();
    reportDialog = new ReportDialog(tab, this);
    reportDialog->setAttribute(Qt::WA_DeleteOnClose);
    reportDialog->open();
}
