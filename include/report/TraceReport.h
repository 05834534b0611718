#pragma once

#include "analysis/FileSummary.h"
#include "analysis/Thresholds.h"
#include "report/ReportChart.h"
#include "report/Sections.h"
#include "report/Style.h"

#include <QColor>
#include <QString>
#include <QStringList>

#include <vector>

namespace sor {
class SORParser;
}

namespace report {

class Composer;

/// One trace as its tab shows it.
struct TraceInput {
    sor::SORParser* parser = nullptr; ///< parsed; outlives the composition
    QString fileName;
    View view;
    Style style;
    analysis::Thresholds thresholds; ///< the verdict's
    /// Empty for the file's events; else what shows them instead (the program's own analysis and its thresholds),
    /// and per event what the technician did to it ("added", "moved").
    QString eventSource;
    QStringList eventNotes;
};

/// The title block: where and what was measured, and with what.
std::vector<Field> measurementFields(const sor::SORParser& parser);
std::vector<Field> instrumentFields(const sor::SORParser& parser);
/// The checksum line of the title block: the stored value and which convention it follows.
QString checksumText(const sor::SORParser& parser);
/// The event table's rows: number, type, position, loss, reflectance, attenuation, cumulative loss. With notes (one
/// per event), the type says what the technician did, and values that are not numbers read "–".
std::vector<QStringList> eventRows(const sor::SORParser& parser, const QStringList& notes = QStringList());
/// What shows the events instead of the file's table: the own analysis and its thresholds.
QString ownAnalysisText(const analysis::DetectionThresholds& thresholds);
/// The summary row: fibre length, total loss, ORL, mean attenuation.
QStringList summaryRow(const analysis::FileSummary& summary);

/// Adds the report of one trace: title block, chart, summary, verdict, events, and the cursor read-out while the
/// cursors are shown.
void composeTrace(Composer& composer, const TraceInput& input);

} // namespace report
