#include "shell/MainWindow.h"

#include "core/Application.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMimeData>
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

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainWindow::dropEvent(QDropEvent* event) { openUrls(event->mimeData()->urls(), event->keyboardModifiers()); }

void MainWindow::openUrls(const QList<QUrl>& allUrls, Qt::KeyboardModifiers modifiers, UrlSource source)
{
    const bool dropped = source == Dropped;
    // A folder opens in a cable tab of its own; the files are opened as they would be without it.
    QList<QUrl> urls;
    for (const QUrl& url : allUrls) {
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isDir())
            tabs._addCableTab(url.toLocalFile());
        else
            urls << url;
    }
    if (urls.isEmpty())
        return;
    const auto isSor = [](const QUrl& url) {
        return url.fileName(QUrl::FullyDecoded).endsWith(QLatin1String(".sor"), Qt::CaseInsensitive);
    };
    if (urls.size() == 1) {
        if (isSor(urls.first())) {
            tabs._addSORTab(urls.first().toLocalFile());
        } else {
            QMessageBox box(QMessageBox::NoIcon, tr("Non .sor File"),
                dropped ? tr("The dropped files do not have\nthe .sor file extension and will be ignored.\n(To force "
                             "parsing .sor files that do not have\nthe .sor extension use the file open dialogue.)")
                        : tr("The file named on the command line does not have\nthe .sor file extension and will be "
                             "ignored.\n(To force parsing .sor files that do not have\nthe .sor extension use the "
                             "file open dialogue.)"));
            box.exec();
        }
        return;
    }
    QStringList paths;
    bool refused = false;
    for (const QUrl& url : urls) {
        if (isSor(url))
            paths << url.toLocalFile();
        else
            refused = true;
    }
    if (refused) {
        QMessageBox box(QMessageBox::NoIcon, tr("Non .sor File"),
            dropped ? tr("One or more of the dropped files do not have\nthe .sor file extension and will be ignored.\n"
                         "(To force parsing .sor files that do not have\nthe .sor extension use the file open "
                         "dialogue.)")
                    : tr("One or more of the files named on the command line do not have\nthe .sor file extension "
                         "and will be ignored.\n(To force parsing .sor files that do not have\nthe .sor extension "
                         "use the file open dialogue.)"));
        box.exec();
    }
    if (modifiers == Qt::ControlModifier) {
        for (const QString& path : paths)
            tabs._addSORTab(path);
    } else {
        tabs._addSORMultiTab(paths);
    }
}
