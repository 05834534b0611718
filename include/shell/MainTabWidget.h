#pragma once

#include "shell/InitialTabWidget.h"

#include <QPushButton>
#include <QStringList>
#include <QTabWidget>
#include <QToolButton>

class QHBoxLayout;
class QTreeWidget;

// The main window's tabs: the start tab, one tab per opened file or comparison, and the corner buttons.
class MainTabWidget : public QTabWidget {
    Q_OBJECT
public:
    explicit MainTabWidget(QWidget* parent = nullptr);

    bool advancedMode = false; ///< new single-file tabs show every block (Alt+A)

    QHBoxLayout* menuLayout = nullptr;
    QWidget* menuCorner = nullptr; ///< top-left corner, child of this widget
    QPushButton openFileButton;
    QPushButton compareButton;
    QPushButton helpButton;
    QPushButton themeButton;

    QHBoxLayout* controlLayout = nullptr;
    QWidget* controlCorner = nullptr; ///< top-right corner, child of this widget
    QToolButton toggleCursorsButton;
    QToolButton resetViewButton;
    QToolButton zoomOutButton;
    QToolButton zoomInButton;

    InitialTabWidget initialTab;

public slots:
    void addSORTab();
    void _addSORTab(QString path);
    void addSORMultiTab();
    void _addSORMultiTab(QStringList paths);
    void closePlotTab(int index);
    void openHelpWindow();
    void currentWidget_ZoomIn();
    void currentWidget_ZoomOut();
    void currentWidget_ResetView();
    void currentWidget_ToggleCursorVisibility();
    void setUpMenuButtons();
    void setUpControlButtons();

private:
    void _addStartTab();
    void _hideStartTab();
    void _fitBlockTree(QTreeWidget& tree);
    QString _fileFilter() const;
};
