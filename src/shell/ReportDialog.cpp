#include "shell/ReportDialog.h"

#include "report/Pages.h"
#include "shell/TabReport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QGridLayout>
#include <QLocale>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>

ReportDialog::ReportDialog(QWidget* reportedTab, QWidget* parent)
    : QDialog(parent)
    , tab(reportedTab)
{
    setObjectName(QStringLiteral("ReportDialog"));
    setWindowTitle(tr("Report"));
    const auto report = TabReport::of(tab);
    titleLabel.setText(report ? tr("Report of %1").arg(report->title()) : QString());
    const struct {
        QPushButton* button;
        const char* name;
        QString text;
    } buttons[] = {
        { &printButton, "printButton", tr("Print…") },
        { &pdfButton, "pdfButton", tr("Save PDF…") },
        { &pngButton, "pngButton", tr("Save PNG…") },
        { &png2Button, "png2Button", tr("Save PNG 2×…") },
        { &svgButton, "svgButton", tr("Save SVG…") },
        { &closeButton, "closeButton", tr("Close") },
    };
    auto* grid = new QGridLayout(this);
    grid->addWidget(&titleLabel, 0, 0, 1, 2);
    int index = 0;
    for (const auto& entry : buttons) {
        entry.button->setObjectName(QLatin1String(entry.name));
        entry.button->setText(entry.text);
        entry.button->setAutoDefault(false);
        grid->addWidget(entry.button, 1 + index / 2, index % 2);
        ++index;
    }
    printButton.setToolTip(tr("The report through the system's print dialog"));
    pdfButton.setToolTip(tr("The report as a PDF file"));
    pngButton.setToolTip(tr("The chart as a picture at its size on screen"));
    png2Button.setToolTip(tr("The chart as a picture at twice its size on screen"));
    svgButton.setToolTip(tr("The chart as scalable vector graphics"));
    // A cable report has a chart per file, none to save alone.
    for (QPushButton* button : { &pngButton, &png2Button, &svgButton })
        button->setEnabled(report && report->hasChart());

    connect(&printButton, &QPushButton::clicked, this, &ReportDialog::print);
    connect(&pdfButton, &QPushButton::clicked, this, &ReportDialog::savePdf);
    connect(&pngButton, &QPushButton::clicked, this, [this] { savePng(1); });
    connect(&png2Button, &QPushButton::clicked, this, [this] { savePng(2); });
    connect(&svgButton, &QPushButton::clicked, this, &ReportDialog::saveSvg);
    connect(&closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

QString ReportDialog::askPath(const QString& caption, const QString& suffix, const QString& filter)
{
    const auto report = TabReport::of(tab);
    if (!report)
        return QString();
    return QFileDialog::getSaveFileName(this, caption, report->suggestedPath() + suffix, filter);
}

void ReportDialog::tell(const QString& path, const QString& error)
{
    QMessageBox::warning(this, tr("Report"), tr("Could not write %1:\n%2").arg(path, error));
}

bool ReportDialog::withProgress(const std::function<bool(const report::Composer::Progress&)>& work, bool* cancelled)
{
    // Shown only when the report takes a while; the window keeps painting meanwhile.
    QProgressDialog progress(tr("Making the report…"), tr("Cancel"), 0, 0, this);
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(400);
    QElapsedTimer since;
    since.start();
    const bool done = work([&](int value, int total) {
        if (since.elapsed() >= 50) {
            progress.setMaximum(std::max(total, 0));
            progress.setValue(total > 0 ? value : 0);
            QCoreApplication::processEvents();
            since.restart();
        }
        return !progress.wasCanceled();
    });
    *cancelled = progress.wasCanceled();
    return done;
}

void ReportDialog::print()
{
    if (!TabReport::of(tab))
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(report::pageSizeFor(report::paperLocale())));
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The tab may have changed while the print dialog was open.
    const auto report = TabReport::of(tab);
    bool cancelled = false;
    if (report && !withProgress([&](const auto& p) { return report->print(printer, p); }, &cancelled) && !cancelled)
        QMessageBox::warning(this, tr("Report"), tr("The report could not be printed."));
}

void ReportDialog::savePdf()
{
    const QString path = askPath(tr("Save PDF"), QStringLiteral(".pdf"), tr("PDF files (*.pdf)"));
    const auto report = TabReport::of(tab);
    if (path.isEmpty() || !report)
        return;
    QString error;
    bool cancelled = false;
    if (!withProgress([&](const auto& p) { return report->savePdf(path, &error, p); }, &cancelled) && !cancelled)
        tell(path, error);
}

void ReportDialog::savePng(qreal scale)
{
    const QString suffix = scale == 1 ? QStringLiteral(".png") : QStringLiteral("@2x.png");
    const QString path = askPath(tr("Save PNG"), suffix, tr("PNG pictures (*.png)"));
    const auto report = TabReport::of(tab);
    QString error;
    if (!path.isEmpty() && report && !report->savePng(path, scale, &error))
        tell(path, error);
}

void ReportDialog::saveSvg()
{
    const QString path = askPath(tr("Save SVG"), QStringLiteral(".svg"), tr("SVG pictures (*.svg)"));
    const auto report = TabReport::of(tab);
    QString error;
    if (!path.isEmpty() && report && !report->saveSvg(path, &error))
        tell(path, error);
}
