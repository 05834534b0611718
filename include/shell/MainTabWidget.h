#pragma once

#include "analysis/Thresholds.h"
#include "shell/InitialTabWidget.h"

#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QTabWidget>
#include <QToolButton>

class MultiPlotter;
class OptionsWindow;
class ReportDialog;
class QHBoxLayout;
class QTreeWidget;

// The main window's tabs: the start tab, one tab per opened file or comparison, and the corner buttons.
class MainTabWidget : public QTabWidget {
    Q_OBJECT
public:
    explicit MainTabWidget(QWidget* parent = nullptr);
    ~MainTabWidget() override;

    bool advancedMode = false; ///< new single-file tabs show every block (Alt+A)
    OptionsWindow* optionsWindow = nullptr; ///< owned; a window of its own, without parent

    QHBoxLayout* menuLayout = nullptr;
    QWidget* menuCorner = nullptr; ///< top-left corner, child of this widget
    QPushButton openFileButton;
    QPushButton compareButton;
    QPushButton openFolderButton;
    QPushButton helpButton;
    QPushButton themeButton;

    QHBoxLayout* controlLayout = nullptr;
    QWidget* controlCorner = nullptr; ///< top-right corner, child of this widget
    QToolButton toggleCursorsButton;
    QToolButton resetViewButton;
    QToolButton zoomOutButton;
    QToolButton zoomInButton;
    QToolButton reportButton;

    InitialTabWidget initialTab;

public slots:
    void addSORTab();
    void _addSORTab(QString path);
    void addSORMultiTab();
    void _addSORMultiTab(QStringList paths);
    /// Asks for a folder and lists it in a cable tab.
    void addCableTab();
    /// Lists every .sor file of the folder and its subfolders in a new cable tab.
    void _addCableTab(QString folder);
    /// Both ends of a fibre (and its other wavelengths) in a fibre tab, read in the background.
    void _addFibreTab(QStringList paths);
    /// New thresholds for every cable and fibre tab.
    void applyThresholds(const analysis::Thresholds& thresholds);
    void closePlotTab(int index);
    void openHelpWindow();
    void currentWidget_ZoomIn();
    void currentWidget_ZoomOut();
    void currentWidget_ResetView();
    void currentWidget_ToggleCursorVisibility();
    /// The report dialog of the current tab (Ctrl+P).
    void currentWidget_Report();
    void setUpMenuButtons();
    void setUpControlButtons();

public:
    /// Where the 800 x 600 options window goes to lie centred on a main window at this place and of this size.
    static QPoint _helpWindowPosition(const QPoint& mainPosition, const QSize& mainSize);
    /// The position moved right and down as far as needed to keep the window's top-left corner, and so its
    /// title bar, inside the screen area.
    static QPoint _keptOnScreen(const QPoint& position, const QRect& available);

    /// The chart of a comparison or a fibre tab; null for other tabs.
    static MultiPlotter* comparisonChart(QWidget* tab);

private:
    void _addStartTab();
    void _hideStartTab();
    void _fitBlockTree(QTreeWidget& tree);
    QString _fileFilter() const;

    QPointer<ReportDialog> reportDialog;
};
