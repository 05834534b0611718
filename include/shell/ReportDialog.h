#pragma once

#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include "report/Composer.h"

#include <functional>

// The report of the current tab: printed through the system's print dialog, saved as PDF, or its chart saved as an
// image. Reads the tab when a button is pressed.
class ReportDialog : public QDialog {
    Q_OBJECT
public:
    explicit ReportDialog(QWidget* tab, QWidget* parent = nullptr);

    QLabel titleLabel;
    QPushButton printButton;
    QPushButton pdfButton;
    QPushButton pngButton;
    QPushButton png2Button;
    QPushButton svgButton;
    QPushButton closeButton;

public Q_SLOTS:
    void print();
    void savePdf();
    void savePng(qreal scale);
    void saveSvg();

private:
    /// Runs a long report behind a progress dialog with Cancel; false when it failed or was cancelled, cancelled set.
    bool withProgress(const std::function<bool(const report::Composer::Progress&)>& work, bool* cancelled);
    QString askPath(const QString& caption, const QString& suffix, const QString& filter);
    void tell(const QString& path, const QString& error);

    QPointer<QWidget> tab;
};
