#include "shell/MainWindow.h"

#include "shell/Application.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStatusBar>

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("mainWindow"));
    setCentralWidget(&tabs);
    statusBar()->show();
    // Sees the keys that the focused widget leaves unused.
    installEventFilter(this);
    setAcceptDrops(true);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QMainWindow::eventFilter(watched, event);

    const auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers();
    if (key->key() == Qt::Key_A && modifiers == Qt::AltModifier) {
        tabs.advancedMode = !tabs.advancedMode;
        tabs.initialTab.viewFileButton.setVisible(tabs.advancedMode);
        tabs.initialTab.compareFilesButton.setVisible(tabs.advancedMode);
        statusBar()->showMessage(tabs.advancedMode
                ? tr("Advanced Mode Activated: Additional info will be shown in all new tabs.")
                : tr("Advanced Mode Deactivated: New tabs will use the standard display layout."));
    } else if (key->key() == Qt::Key_C && modifiers == Qt::AltModifier) {
        app()->cursorMode = !app()->cursorMode;
        emit app()->CursorModeChanged();
        statusBar()->showMessage(
            app()->cursorMode ? tr("Cursor mode changed to AB-cursor") : tr("Cursor mode changed to smart cursor"));
    } else if (key->key() == Qt::Key_W && modifiers == Qt::ControlModifier) {
        tabs.closePlotTab(tabs.currentIndex());
    } else if (key->key() == Qt::Key_F1) {
        tabs.openHelpWindow();
    }
    return false;
}

void MainWindow::mousePressEvent(QMouseEvent* event)
{
    // Out-of-range indexes are ignored by the tab widget: no wrap-around.
    if (event->button() == Qt::BackButton)
        tabs.setCurrentIndex(tabs.currentIndex() - 1);
    else if (event->button() == Qt::ForwardButton)
        tabs.setCurrentIndex(tabs.currentIndex() + 1);
    else
        QMainWindow::mousePressEvent(event);
}
