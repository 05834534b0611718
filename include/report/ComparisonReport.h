#pragma once

#include "report/ReportChart.h"
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
struct Sheet;

/// One trace of a comparison as its tab shows it.
struct ComparisonTrace {
    sor::SORParser* parser = nullptr; ///< parsed; outlives the composition
    QString fileName;
    QColor colour;
    bool visible = true;
};

struct ComparisonInput {
    std::vector<ComparisonTrace> traces;
    View view;
    Style style; ///< its cursor mode: the mean readings' (the traces have their own colours)
};

/// A row of the trace table: file, wavelength, pulse, length, total loss and, with cursors, the levels at A and B and
/// their difference.
QStringList comparisonRow(const ComparisonTrace& trace, const View& view);

/// Swatches of the visible traces' colours with their file names, as many to a line as fit.
double traceLegend(const Sheet& sheet, double top, const std::vector<ComparisonTrace>& traces);

/// Adds the report of a comparison: the overlay chart with its legend, the table of the traces, and the mean readings
/// over all traces while the cursors are shown.
void composeComparison(Composer& composer, const ComparisonInput& input);

} // namespace report
