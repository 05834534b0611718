#include "fibre/FibreTab.h"

#include "analysis/FibreTable.h"
#include "analysis/TraceLabel.h"
#include "cable/ThresholdsDialog.h"
#include "compare/MultiPlotOverviewItemWidget.h"
#include "compare/PlotEntity.h"
#include "sor/SORParser.h"
#include "widgets/ItemViewCopy.h"
#include "widgets/TightGridLayout.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMessageBox>
#include <QVBoxLayout>
#include <QtConcurrent>

namespace {

QString text(const std::string& s) { return QString::fromUtf8(s.data(), int(s.size())); }

std::vector<std::string> nativePaths(const QStringList& files)
{
    std::vector<std::string> out;
    for (const QString& f : files)
        out.push_back(QFile::encodeName(f).toStdString());
    return out;
}

QString errorsText(const analysis::FibreSet& set)
{
    QStringList lines;
    for (const auto& e : set.errors)
        lines << text(e).trimmed();
    return lines.join(QLatin1Char('\n'));
}

} // namespace

FibreTab::FibreTab(QWidget* parent)
    : GWidget(parent)
    , splitter(Qt::Vertical, this)
    , chartRow(Qt::Horizontal, &splitter)
    , side(&chartRow)
    , overview(nullptr, &side)
    , plotter(&chartRow)
    , minimap(&plotter, &side)
    , table(&splitter)
{
    setObjectName(QStringLiteral("FibreTab"));
    summaryLabel.setObjectName(QStringLiteral("fibreSummary"));
    wavelengthBox.setObjectName(QStringLiteral("wavelengthBox"));
    table.setObjectName(QStringLiteral("fibreEvents"));
    summaryLabel.setTextFormat(Qt::RichText);
    summaryLabel.setWordWrap(true);
    summaryLabel.setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* top = new QHBoxLayout;
    top->addWidget(&summaryLabel, 1);
    top->addWidget(&wavelengthBox, 0, Qt::AlignTop);
    top->addWidget(&thresholdsButton, 0, Qt::AlignTop);
    thresholdsButton.setObjectName(QStringLiteral("thresholdsButton"));
    thresholdsButton.setText(tr("Thresholds\u2026"));
    connect(&thresholdsButton, &QPushButton::clicked, this, &FibreTab::editThresholds);
    auto* topHolder = new QWidget(this);
    topHolder->setLayout(top);
    layout->addWidget(topHolder, 0, 0);
    layout->addWidget(&splitter, 1, 0);

    // The trace list is the legend with the cursor readings; traces are not added or removed by hand here.
    overview.loadButton.hide();
    auto* sideLayout = new QVBoxLayout(&side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->addWidget(&overview, 1);
    sideLayout->addWidget(overview.cursorInfoWidget);
    sideLayout->addWidget(&minimap);
    minimap.setMinimumHeight(120);
    minimap.hide();
    plotter.traceList = &overview;
    overview.setUpCursors(&plotter);
    chartRow.addWidget(&side);
    chartRow.addWidget(&plotter);
    chartRow.setSizes({ 280, 1200 });
    splitter.addWidget(&chartRow);
    splitter.addWidget(&table);
    splitter.setSizes({ 600, 300 });

    table.setModel(&events);
    table.setSelectionBehavior(QAbstractItemView::SelectRows);
    table.setSelectionMode(QAbstractItemView::SingleSelection);
    table.setEditTriggers(QAbstractItemView::NoEditTriggers);
    table.setAlternatingRowColors(true);
    table.setWordWrap(false);
    table.verticalHeader()->hide();
    table.horizontalHeader()->setStretchLastSection(true);
    ItemViewCopy::install(&table);

    wavelengthBox.hide();
    connect(&wavelengthBox, qOverload<int>(&QComboBox::currentIndexChanged), this, &FibreTab::showWavelength);
    connect(table.selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this](const QModelIndex& index) { plotter.setSelectedMarker(index.isValid() ? index.row() : -1); });
    connect(&plotter, &FibrePlotter::markerClicked, this, &FibreTab::selectEvent);
    connect(&overview, &MultiPlotOverview::openFileRequested, this, &FibreTab::openFileRequested);
    connect(&reading, &QFutureWatcher<analysis::FibreSet>::finished, this, [this] {
        if (!reading.isCanceled())
            take(reading.result());
    });

    limits = analysis::loadThresholds(analysis::thresholdsPath);
}

FibreTab::~FibreTab()
{
    reading.waitForFinished();
    plotter.minimap = nullptr;
    // The traces go before the list they are rows of.
    const auto traces = plotter.entities;
    for (PlotEntity* entity : traces)
        delete entity;
}

QColor FibreTab::colourAB()
{
    const analysis::Rgb c = analysis::directionColour(false);
    return QColor(c.red, c.green, c.blue);
}

QColor FibreTab::colourBA()
{
    const analysis::Rgb c = analysis::directionColour(true);
    return QColor(c.red, c.green, c.blue);
}

void FibreTab::load(const QStringList& files)
{
    paths = files;
    const analysis::Thresholds t = limits;
    const std::vector<std::string> native = nativePaths(files);
    reading.setFuture(QtConcurrent::run([native, t] { return analysis::readFibreSet(native, t); }));
}

bool FibreTab::loadNow(const QStringList& files, QString* error)
{
    paths = files;
    analysis::FibreSet result = analysis::readFibreSet(nativePaths(files), limits);
    const QString why = errorsText(result);
    take(std::move(result));
    if (error)
        *error = why;
    return loaded;
}

void FibreTab::take(analysis::FibreSet result)
{
    set = std::move(result);
    bool any = false;
    for (const auto& p : set.parsers)
        any = any || p;
    loaded = any;
    if (!any) {
        emit finishedLoading(false, errorsText(set));
        return;
    }
    judged = analysis::evaluateFibre(set.analysis, limits);
    {
        const QSignalBlocker block(&wavelengthBox);
        wavelengthBox.clear();
        for (const auto& w : set.analysis.wavelengths)
            wavelengthBox.addItem(text(analysis::wavelengthName(w)));
        wavelengthBox.setVisible(set.analysis.wavelengths.size() > 1);
    }
    current = -1;
    showWavelength(0);
    emit finishedLoading(true, errorsText(set));
}

void FibreTab::setThresholds(const analysis::Thresholds& thresholds)
{
    if (thresholds == limits)
        return;
    const bool cables = thresholds.launchCable != limits.launchCable || thresholds.receiveCable != limits.receiveCable;
    limits = thresholds;
    if (!loaded)
        return;
    if (cables)
        analysis::reanalyse(set, limits);
    rejudge();
    if (cables && current >= 0)
        fillChart();
}

void FibreTab::rejudge()
{
    judged = analysis::evaluateFibre(set.analysis, limits);
    if (current < 0 || size_t(current) >= set.analysis.wavelengths.size())
        return;
    const int selected = table.currentIndex().isValid() ? table.currentIndex().row() : -1;
    events.setRows(analysis::fibreTable(set.analysis, size_t(std::max(current, 0)), judged, limits));
    std::vector<FibrePlotter::Marker> markers;
    for (int r = 0; r < events.rowCount(); ++r) {
        const auto& row = events.row(r);
        markers.push_back({ set.analysis.wavelengths[size_t(current)].events[size_t(r)].km,
            text(row.cells[size_t(analysis::FibreColumn::Number)]), row.failed != 0 });
    }
    const auto& w = set.analysis.wavelengths[size_t(current)];
    plotter.setMarkers(std::move(markers), w.startKm, w.endKm);
    fillSummary();
    if (selected >= 0 && selected < events.rowCount())
        selectEvent(selected);
    table.resizeColumnsToContents();
}

void FibreTab::showWavelength(int k)
{
    if (!loaded || k < 0 || size_t(k) >= set.analysis.wavelengths.size() || k == current)
        return;
    current = k;
    if (wavelengthBox.currentIndex() != k) {
        const QSignalBlocker block(&wavelengthBox);
        wavelengthBox.setCurrentIndex(k);
    }
    fillChart();
    rejudge();
}

void FibreTab::fillChart()
{
    const auto traces = plotter.entities;
    for (PlotEntity* entity : traces)
        delete entity;
    const auto& w = set.analysis.wavelengths[size_t(current)];
    std::vector<FibrePlotter::LegendEntry> legend;
    for (const bool fromB : { false, true }) {
        const auto parser = set.parser(size_t(current), fromB);
        if (!parser)
            continue;
        const bool mirror = fromB && w.mirrorKm;
        plotter.plot(mirror ? analysis::mirroredParser(*parser, *w.mirrorKm) : sor::SORParser(*parser));
        PlotEntity* entity = plotter.entities.last();
        const QString direction = text(fromB ? analysis::directionBA : analysis::directionAB);
        entity->fixedColour = fromB ? colourBA() : colourAB();
        entity->fileName = direction + QStringLiteral("  ") + PlotEntity::fileNameOf(parser->path);
        entity->setPen();
        if (entity->itemWidget) {
            entity->itemWidget->removeButton.hide();
            entity->itemWidget->setCursorText(QString(), QString());
        }
        legend.push_back({ entity->fileName + (mirror ? tr(" (mirrored)") : QString()), entity->fixedColour });
    }
    plotter.setLegend(std::move(legend));
    if (!plotter.entities.isEmpty()) {
        minimap.plot(&plotter.entities.first()->parser);
        minimap.show();
    }
}

void FibreTab::fillSummary()
{
    const auto& a = set.analysis;
    const auto& w = a.wavelengths[size_t(current)];
    QString html = QStringLiteral("<b>%1</b>").arg(title().toHtmlEscaped());
    if (!a.locationA.empty() || !a.locationB.empty())
        html += QStringLiteral(" &nbsp; %1 \u2192 %2")
                    .arg(text(a.locationA).toHtmlEscaped(), text(a.locationB).toHtmlEscaped());
    html += QStringLiteral(" &nbsp; %1<br>").arg(text(analysis::wavelengthName(w)));
    QStringList parts;
    for (const auto& [label, value] : analysis::fibreSummary(w))
        parts << QStringLiteral("%1: <b>%2</b>").arg(tr(label.c_str()), text(value).toHtmlEscaped());
    html += parts.join(QStringLiteral(" &nbsp; ")) + QStringLiteral("<br>");
    const char* colour = judged.outcome == analysis::Outcome::Pass ? "#2a9d2a"
        : judged.outcome == analysis::Outcome::Fail                ? "#d03030"
                                                                   : "#c08000";
    html += QStringLiteral("%1 <b><font color=\"%2\">%3</font></b>")
                .arg(tr("Verdict:"), QLatin1String(colour), tr(analysis::outcomeText(judged.outcome)));
    for (const auto& reason : judged.reasons)
        html += QStringLiteral("<br>\u2022 ") + text(reason).toHtmlEscaped();
    for (const auto& warning : w.warnings)
        html += QStringLiteral("<br>\u26a0 ") + text(warning).toHtmlEscaped();
    summaryLabel.setText(html);
}

void FibreTab::selectEvent(int row)
{
    if (row < 0 || row >= events.rowCount()) {
        table.clearSelection();
        plotter.setSelectedMarker(-1);
        return;
    }
    table.selectRow(row);
    table.scrollTo(events.index(row, 0));
    plotter.setSelectedMarker(row);
}

QString FibreTab::title() const
{
    if (!set.analysis.fibreId.empty())
        return text(set.analysis.fibreId);
    return paths.isEmpty() ? tr("Fibre") : QFileInfo(paths.front()).fileName();
}

void FibreTab::editThresholds()
{
    ThresholdsDialog dialog(this);
    dialog.setThresholds(limits);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const analysis::Thresholds thresholds = dialog.thresholds();
    setThresholds(thresholds);
    emit thresholdsChanged(thresholds);
    if (!analysis::saveThresholds(analysis::thresholdsPath, thresholds)) {
        QMessageBox box(QMessageBox::Warning, tr("Thresholds"),
            tr("Could not write %1").arg(QString::fromLatin1(analysis::thresholdsPath)));
        box.exec();
    }
}

QString FibreTab::filesText() const { return paths.join(QLatin1Char('\n')); }
