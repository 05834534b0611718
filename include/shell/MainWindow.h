#pragma once

#include "shell/MainTabWidget.h"

#include <QList>
#include <QMainWindow>
#include <QUrl>

// The program's window: the tab widget, the status bar, the keys and the mouse side buttons.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);

    MainTabWidget tabs;

    bool eventFilter(QObject* watched, QEvent* event) override;
    /// Where files to open come from: the refusal of a file without the .sor extension says it in their words.
    enum UrlSource { Dropped, CommandLine };
    /// Opens files as a drop does: one .sor file in its own tab, several in one comparison (one tab each with
    /// Ctrl); files without the .sor extension are refused with a message. Each folder opens in a cable tab.
    void openUrls(const QList<QUrl>& urls, Qt::KeyboardModifiers modifiers, UrlSource source = Dropped);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};
