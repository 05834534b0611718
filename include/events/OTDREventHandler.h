#pragma once

#include "analysis/EventTable.h"
#include "widgets/CTreeWidget.h"
#include "widgets/GWidget.h"

#include <QLabel>
#include <QList>
#include <QStringList>

class OTDREvent;
class Plotter;

namespace sor {
class SORParser;
}

// The event panel of a single-trace tab: the fibre summary and one row per key event, each with its marker.
class OTDREventHandler : public GWidget {
    Q_OBJECT
public:
    explicit OTDREventHandler(QWidget* parent = nullptr);
    ~OTDREventHandler() override;

    bool advanced = false;
    CTreeWidget summaryTable;
    CTreeWidget eventTable;
    QLabel totalLabel;
    QLabel eventsLabel;
    QList<OTDREvent*> events; ///< owned; same order and indices as the chart's markers
    /// Markers on the trace at most; every event keeps its row.
    static constexpr int maxMarkers = analysis::maxEventMarkers;
    Plotter* plotter = nullptr;
    sor::SORParser* parser = nullptr;
    /// The events shown are the program's own analysis: values it did not measure read "–", and a last column says
    /// which events the technician added or moved (notes, one per event).
    bool ownEvents = false;
    QStringList notes;

    void loadEvents(sor::SORParser* parser, Plotter* plotter, bool advanced);
    /// Takes every event away, rows and markers, so that the panel can be loaded again.
    void clearEvents();
    /// The column of the notes, when shown.
    int notesColumn() const { return advanced ? 14 : 6; }

    /// The totals row: length, loss, ORL and attenuation of the whole fibre, as the cable table and the report show
    /// them.
    static QStringList totalsRow(const sor::SORParser& parser);
    /// Fixes a one-row table's height to its header, its row and room for a horizontal scroll bar.
    static void fitToOneRow(QTreeWidget& table);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
};
