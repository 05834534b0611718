#pragma once

#include "shell/MainTabWidget.h"

#include <QMainWindow>

// The program's window: the tab widget, the status bar, the keys and the mouse side buttons.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);

    MainTabWidget tabs;

    bool eventFilter(QObject* watched, QEvent* event) override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
};
