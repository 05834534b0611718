#include "shell/TabReport.h"

#include "analysis/TraceLabel.h"
#include "cable/CableTab.h"
#include "compare/PlotEntity.h"
#include "compare/SORMultiTab.h"
#include "core/Application.h"
#include "fibre/FibreTab.h"
#include "plotter/PointRows.h"
#include "report/Output.h"
#include "shell/SORTab.h"
#include "sor/SORParser.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPicture>
#include <QSaveFile>

#include <KChartCartesianCoordinatePlane>

#include <algorithm>
#include <cmath>

namespace {

report::View viewOf(ChartView& chart, const QAbstractItemModel& cursors, bool cursorsShown)
{
    report::View view;
    // KChart knows the range in view once it has laid the chart out, which it does while it paints, and a chart may
    // not have been painted since its data or its view changed.
    {
        QPicture layout;
        QPainter painter(&layout);
        chart.paint(&painter, QRect(QPoint(), chart.size()));
    }
    const QRectF range = chart.plane()->visibleDataRange();
    view.hasRange = std::isfinite(range.width()) && std::isfinite(range.height()) && range.width() != 0
        && range.height() != 0 && std::isfinite(range.x()) && std::isfinite(range.y());
    view.range = range;
    view.cursorsShown = cursorsShown && cursors.rowCount() >= 2;
    if (view.cursorsShown) {
        view.cursorA = cursors.index(0, chart::XColumn).data().toDouble();
        view.cursorB = cursors.index(1, chart::XColumn).data().toDouble();
    }
    return view;
}

QString withoutExtension(const std::wstring& path)
{
    const QFileInfo info(QString::fromStdWString(path));
    return info.dir().filePath(info.completeBaseName());
}

} // namespace

report::Style TabReport::applicationStyle()
{
    report::Style style;
    style.graphColour = app()->graphColour;
    style.eventMarkerColour = app()->eventMarkerColour;
    style.cursorLineColour = app()->cursorLineColour;
    style.logo = app()->logoSmall;
    style.cursorMode = app()->cursorMode;
    return style;
}

std::unique_ptr<TabReport> TabReport::of(QWidget* tab)
{
    std::unique_ptr<TabReport> r(new TabReport);
    if (auto* single = qobject_cast<SORTab*>(tab)) {
        if (!single->parser || !single->parser->fileParsed)
            return nullptr;
        const CursorWidget& cursors = single->info.cursorWidget;
        // The events the tab shows: the file's, or its own analysis's.
        r->trace.parser = single->shownParser();
        r->trace.eventSource = single->eventSourceText();
        if (single->showingOwn)
            r->trace.eventNotes = single->ownNotes();
        r->trace.fileName = QString::fromStdWString(analysis::fileNameOf(single->parser->path));
        r->trace.view = viewOf(single->plotter.chart, cursors.cursorModel, cursors.active && !cursors.hidden);
        r->trace.style = applicationStyle();
        r->trace.thresholds = analysis::loadThresholds(analysis::thresholdsPath);
        r->name = r->trace.fileName;
        r->suggested = withoutExtension(single->parser->path);
        r->screenSize = single->plotter.chart.size();
        return r;
    }
    if (auto* multi = qobject_cast<SORMultiTab*>(tab)) {
        const auto& entities = multi->plotter.entities;
        if (entities.isEmpty())
            return nullptr;
        const MultiPlotOverview& overview = multi->infoWidget.overview;
        r->comparison = true;
        for (PlotEntity* entity : entities) {
            report::ComparisonTrace t;
            t.parser = &entity->parser;
            t.fileName = entity->fileName;
            t.visible = entity->visible;
            t.colour = entity->selected ? app()->selectedMultiGraphPenColour : entity->colour();
            r->traces.traces.push_back(t);
        }
        r->traces.view
            = viewOf(multi->plotter.chart, overview.cursorModel, overview.cursorsPlaced && !overview.cursorsHidden);
        r->traces.style = applicationStyle();
        r->name = QObject::tr("Comparison with %1").arg(entities.front()->fileName);
        r->suggested = withoutExtension(entities.front()->parser.path) + QStringLiteral("-comparison");
        r->screenSize = multi->plotter.chart.size();
        return r;
    }
    if (auto* fibreTab = qobject_cast<FibreTab*>(tab)) {
        if (!fibreTab->isLoaded())
            return nullptr;
        r->fibre = std::make_shared<report::FibreInput>(
            report::fibreInput(std::make_shared<analysis::FibreSet>(fibreTab->fibre()), fibreTab->thresholds(),
                applicationStyle(), FibreTab::colourAB(), FibreTab::colourBA()));
        r->fibreWavelength = std::max(fibreTab->wavelength(), 0);
        r->name = QObject::tr("Fibre %1").arg(fibreTab->title());
        const QStringList files = fibreTab->files();
        r->suggested = QFileInfo(files.front()).dir().filePath(fibreTab->title() + QStringLiteral("-fibre"));
        r->screenSize = fibreTab->plotter.chart.size();
        return r;
    }
    if (auto* cableTab = qobject_cast<CableTab*>(tab); cableTab && cableTab->fibresShown()) {
        const CableFibres& fibres = cableTab->fibres;
        const std::vector<int> rows = fibres.proxy.shownRows();
        if (rows.empty() || fibres.isRunning())
            return nullptr;
        auto input = std::make_shared<report::FibreCableInput>();
        input->folder = cableTab->folder();
        input->thresholds = fibres.model.thresholds();
        input->filter = fibres.proxy.filterWords().join(QLatin1Char(' '));
        input->counts = QString::fromStdString(analysis::fibreCountsText(fibres.model.counts()));
        input->style = applicationStyle();
        input->colourAB = FibreTab::colourAB();
        input->colourBA = FibreTab::colourBA();
        std::vector<int> seen;
        for (const int row : rows) {
            input->rows.push_back(fibres.model.fibreRow(row));
            const int f = fibres.model.fibreOf(row);
            if (std::find(seen.begin(), seen.end(), f) == seen.end()) {
                seen.push_back(f);
                input->fibrePaths.push_back(fibres.fibrePaths(f));
            }
        }
        r->fibreCable = std::move(input);
        const QString folderName = QFileInfo(cableTab->folder()).fileName();
        r->name = QObject::tr("Cable %1, fibres").arg(folderName);
        r->suggested = QDir(cableTab->folder()).filePath(folderName + QStringLiteral("-fibres"));
        return r;
    }
    if (auto* cableTab = qobject_cast<CableTab*>(tab)) {
        // The rows as the table shows them, sorted and filtered; those still being read are left out.
        const CableModel& model = cableTab->model;
        const std::vector<int> rows = cableTab->proxy.shownRows();
        if (rows.empty())
            return nullptr;
        auto input = std::make_shared<report::CableInput>();
        input->folder = model.folder;
        input->thresholds = model.thresholds();
        input->filter = cableTab->proxy.filterWords().join(QLatin1Char(' '));
        input->style = applicationStyle();
        input->ownAnalysis = cableTab->ownAnalysis();
        for (const int row : rows) {
            input->files.push_back(model.summary(row));
            input->paths << model.fullPath(row);
        }
        r->cable = std::move(input);
        const QString folderName = QFileInfo(model.folder).fileName();
        r->name = QObject::tr("Cable %1").arg(folderName);
        r->suggested = QDir(model.folder).filePath(folderName + QStringLiteral("-cable"));
        return r;
    }
    return nullptr;
}

report::Composer::Compose TabReport::compose() const
{
    if (cable) {
        return [input = cable](report::Composer& c) {
            report::CableFiles files(input->paths);
            report::composeCable(c, *input, files);
        };
    }
    if (fibreCable)
        return [input = fibreCable](report::Composer& c) { report::composeFibreCable(c, *input); };
    if (fibre)
        return [input = fibre](report::Composer& c) { report::composeFibre(c, *input); };
    if (comparison)
        return [this](report::Composer& c) { report::composeComparison(c, traces); };
    return [this](report::Composer& c) { report::composeTrace(c, trace); };
}

bool TabReport::savePdf(const QString& path, QString* error, const report::Composer::Progress& progress) const
{
    return report::savePdf(compose(), name, path, report::frameAt(QDateTime::currentDateTime()), error, progress);
}

bool TabReport::print(QPrinter& printer, const report::Composer::Progress& progress) const
{
    return report::print(compose(), printer, report::frameAt(QDateTime::currentDateTime()), progress);
}

const report::Style& TabReport::style() const
{
    if (fibre)
        return fibre->style;
    return comparison ? traces.style : trace.style;
}

report::Decimation TabReport::decimation() const
{
    return comparison || fibre ? report::comparisonTraceRows : report::singleTraceRows;
}

void TabReport::setUpChart(report::ReportChart& chart) const
{
    if (fibre) {
        const size_t k = size_t(fibreWavelength);
        if (k < fibre->tracesAB.size() && fibre->tracesAB[k])
            chart.addTrace(*fibre->tracesAB[k], fibre->colourAB);
        if (k < fibre->tracesBA.size() && fibre->tracesBA[k])
            chart.addTrace(*fibre->tracesBA[k], fibre->colourBA);
        return;
    }
    if (comparison) {
        for (const auto& t : traces.traces)
            if (t.visible)
                chart.addTrace(*t.parser, t.colour);
        chart.setView(traces.view);
        return;
    }
    chart.addTrace(*trace.parser, trace.style.graphColour);
    chart.addEventMarkers(*trace.parser);
    chart.setView(trace.view);
}

QImage TabReport::chartImage(qreal scale) const
{
    report::ReportChart chart(style(), decimation());
    setUpChart(chart);
    return chart.image(screenSize.isEmpty() ? QSize(1000, 600) : screenSize, scale);
}

bool TabReport::savePng(const QString& path, qreal scale, QString* error) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !chartImage(scale).save(&file, "PNG") || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool TabReport::saveSvg(const QString& path, QString* error) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    report::ReportChart chart(style(), decimation());
    setUpChart(chart);
    if (!chart.writeSvg(file, screenSize.isEmpty() ? QSize(1000, 600) : screenSize, name) || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
