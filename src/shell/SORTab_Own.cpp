// The single-trace tab's own event analysis: made off the GUI thread, shown instead of the file's events at the
// technician's choice, and edited by hand.
#include "shell/SORTab.h"

#include "analysis/EventEditing.h"
#include "analysis/Thresholds.h"
#include "events/AnalysisDialog.h"
#include "events/OTDREvent.h"
#include "report/TraceReport.h"
#include "sor/SORParser.h"
#include "widgets/ReadoutNumber.h"

#include <KChartCartesianCoordinatePlane>

#include <QHeaderView>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTreeWidgetItem>
#include <QtConcurrent>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {
constexpr double markerGrip = 8; ///< pixels from a marker's point that still take it
}

void SORTab::setUpOwnAnalysis()
{
    trace = analysis::traceOf(*parser, traceBuffer);
    acquisition = analysis::acquisitionOf(*parser);
    info.eventHandler.layout->addWidget(&ownBar, info.eventHandler.layout->rowCount(), 0);

    connect(&ownBar.analyseButton, &QPushButton::clicked, this, &SORTab::openAnalysisDialog);
    connect(&ownBar.addButton, &QPushButton::clicked, this, &SORTab::addAtCursorA);
    connect(&ownBar.deleteButton, &QPushButton::clicked, this, &SORTab::deleteSelectedEvents);
    connect(&ownBar.source, qOverload<int>(&QComboBox::activated), this,
        [this](int index) { showOwnEvents(index == OwnEventsBar::OwnAnalysis); });
    connect(&watcher, &QFutureWatcher<analysis::OwnAnalysis>::finished, this, [this] {
        own = watcher.result();
        showingOwn = true;
        reloadEvents();
        emit ownAnalysisReady();
    });

    // A position typed into the list moves the event there; the list is rebuilt after the edit has ended.
    auto& table = info.eventHandler.eventTable;
    connect(&table, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item, int column) {
        if (!showingOwn || column != 1)
            return;
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        info.eventHandler.eventTable.editItem(item, 1);
    });
    connect(
        &table, &QTreeWidget::itemChanged, this,
        [this](QTreeWidgetItem* item, int column) {
            if (!showingOwn || column != 1)
                return;
            const int row = info.eventHandler.eventTable.indexOfTopLevelItem(item);
            bool ok = false;
            const double metres = item->text(1).toDouble(&ok);
            if (row < 0 || !ok || !moveOwnEvent(row, metres / 1000))
                reloadEvents(); // the old position stands
        },
        Qt::QueuedConnection);
    plotter.chart.installEventFilter(this);
    updateBar();
}

int SORTab::markerAt(const QPoint& pixel) const
{
    if (!showingOwn || !ownFile)
        return -1;
    const auto* plane = plotter.chart.plane();
    const auto& events = ownFile->events.keyEvents;
    int nearest = -1;
    double best = markerGrip;
    for (size_t k = 0; k < events.size() && k < static_cast<size_t>(OTDREventHandler::maxMarkers); ++k) {
        const double km = events[k].Distance;
        const double level = ownFile->getYValue(km);
        if (!std::isfinite(km) || !std::isfinite(level))
            continue;
        const QPointF at = plane->translate(QPointF(km, level));
        const double distance = std::hypot(at.x() - pixel.x(), at.y() - pixel.y());
        if (distance <= best) {
            best = distance;
            nearest = static_cast<int>(k);
        }
    }
    return nearest;
}

bool SORTab::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &plotter.chart)
        return GWidget::eventFilter(watched, event);
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (type == QEvent::MouseButtonPress) {
        // Only a plain left press right on an own marker: anywhere else the chart zooms, pans or drags a cursor.
        if (mouse->button() != Qt::LeftButton || mouse->modifiers() != Qt::NoModifier)
            return false;
        draggedEvent = markerAt(mouse->pos());
        if (draggedEvent < 0)
            return false;
        plotter.chart.setCursor(Qt::SizeHorCursor);
        return true;
    }
    if (draggedEvent < 0)
        return false;
    if (type == QEvent::MouseMove)
        return true;
    if (mouse->button() != Qt::LeftButton)
        return true;
    const int index = draggedEvent;
    draggedEvent = -1;
    plotter.chart.setCursor(Qt::ArrowCursor);
    const double km = plotter.chart.plane()->translateBack(mouse->pos()).x();
    if (!moveOwnEvent(index, km))
        ownBar.status.setText(tr("No event can be moved to %1 km: off the trace or past the end.").arg(num(km)));
    return true;
}

sor::SORParser* SORTab::shownParser() const { return showingOwn && ownFile ? ownFile.get() : parser; }

void SORTab::analyse(const analysis::DetectionThresholds& thresholds)
{
    if (!parser || !parser->fileParsed || watcher.isRunning())
        return;
    // The worker reads its own copy of the levels: the tab may close while it runs.
    auto levels = std::make_shared<std::vector<double>>(traceBuffer);
    analysis::TraceSamples samples = trace;
    const analysis::Acquisition a = acquisition;
    ownBar.status.setText(tr("Analysing\u2026"));
    watcher.setFuture(QtConcurrent::run([levels, samples, a, thresholds]() mutable {
        samples.db = levels->data();
        return analysis::detectEvents(samples, a, thresholds);
    }));
    updateBar();
}

void SORTab::showOwnEvents(bool show)
{
    if (show == showingOwn || (show && !own))
        return updateBar();
    showingOwn = show;
    reloadEvents();
}

void SORTab::reloadEvents()
{
    auto& handler = info.eventHandler;
    // The rows and markers point into the shown file: they go before it is replaced.
    handler.clearEvents();
    handler.ownEvents = showingOwn && own;
    handler.notes = handler.ownEvents ? ownNotes() : QStringList();
    if (handler.ownEvents) {
        ownFile = std::make_unique<sor::SORParser>(analysis::withOwnEvents(*parser, *own));
        handler.loadEvents(ownFile.get(), &plotter, info.advanced);
    } else {
        handler.loadEvents(parser, &plotter, info.advanced);
        ownFile.reset();
    }
    updateBar();
}

void SORTab::updateBar()
{
    const bool busy = watcher.isRunning();
    ownBar.source.setCurrentIndex(showingOwn ? OwnEventsBar::OwnAnalysis : OwnEventsBar::FileEvents);
    ownBar.update(own.has_value(), showingOwn, busy);
    if (!busy)
        ownBar.status.setText(own ? eventSourceText() : QString());
}

QString SORTab::eventSourceText() const
{
    if (!showingOwn || !own)
        return QString();
    return report::ownAnalysisText(own->thresholds);
}

QStringList SORTab::ownNotes() const
{
    QStringList notes;
    if (own) {
        for (const auto& e : own->events)
            notes << tr(analysis::editName(e.edit));
    }
    return notes;
}

bool SORTab::addOwnEvent(double km)
{
    if (!own || !showingOwn || !analysis::addEvent(*own, trace, acquisition, km))
        return false;
    reloadEvents();
    return true;
}

bool SORTab::moveOwnEvent(int index, double km)
{
    if (!own || !showingOwn || index < 0
        || !analysis::moveEvent(*own, trace, acquisition, static_cast<size_t>(index), km))
        return false;
    reloadEvents();
    return true;
}

bool SORTab::deleteOwnEvents(QList<int> indices)
{
    if (!own || !showingOwn)
        return false;
    // From the last, so that the indices before stay.
    std::sort(indices.begin(), indices.end(), std::greater<int>());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    bool any = false;
    for (const int index : indices)
        any = (index >= 0 && analysis::deleteEvent(*own, trace, acquisition, static_cast<size_t>(index))) || any;
    if (any)
        reloadEvents();
    return any;
}

void SORTab::openAnalysisDialog()
{
    analysis::Thresholds saved = analysis::loadThresholds(analysis::thresholdsPath);
    AnalysisDialog dialog(this);
    dialog.setThresholds(own ? own->thresholds : saved.detection);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // Kept with the cable's limits, so that every tab and the next start analyse alike.
    saved.detection = dialog.thresholds();
    if (!analysis::saveThresholds(analysis::thresholdsPath, saved)) {
        QMessageBox box(QMessageBox::Warning, tr("Analyse"),
            tr("Could not write %1").arg(QString::fromLatin1(analysis::thresholdsPath)));
        box.exec();
    }
    analyse(saved.detection);
}

void SORTab::addAtCursorA()
{
    const auto& cursors = info.cursorWidget;
    if (!cursors.active || cursors.cursorModel.rowCount() < 1) {
        ownBar.status.setText(tr("Place cursor A first (ctrl+left click on the trace)."));
        return;
    }
    const double km = cursors.cursorModel.index(0, 0).data().toDouble();
    if (!addOwnEvent(km))
        ownBar.status.setText(tr("No event can be added at %1 km: off the trace or past the end.").arg(num(km)));
}

void SORTab::deleteSelectedEvents()
{
    QList<int> rows;
    auto& table = info.eventHandler.eventTable;
    for (auto* item : table.selectedItems())
        rows << table.indexOfTopLevelItem(item);
    if (rows.isEmpty())
        ownBar.status.setText(tr("Select the events to delete in the list."));
    else
        deleteOwnEvents(rows);
}
