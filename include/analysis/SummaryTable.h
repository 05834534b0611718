#pragma once

#include "analysis/FileSummary.h"
#include "analysis/Thresholds.h"
#include "analysis/Verdict.h"

#include <string>

// The columns of the whole-cable table and the texts of its cells, shared by the viewer's table, its CSV export and
// sordump --summary, so that the numbers read the same everywhere.
namespace analysis {

enum class Column {
    File,
    FibreId,
    CableId,
    Locations,
    Wavelength,
    PulseWidth,
    Date,
    FibreLength,
    TotalLoss,
    Attenuation,
    Orl,
    Events,
    WorstSplice,
    WorstSpliceAt,
    WorstConnector,
    WorstConnectorAt,
    WorstReflectance,
    WorstReflectanceAt,
    Checksum,
    Verdict,
};
constexpr int columnCount = static_cast<int>(Column::Verdict) + 1;

/// The column's heading in the table ("Total loss (dB)").
const char* columnTitle(Column c);
/// True for the columns of numbers, which sort as numbers.
bool isNumeric(Column c);
/// The Rule a column's value is judged by, 0 for none.
unsigned columnRule(Column c);

/// What a cell shows for a value the file does not give.
constexpr const char* notMeasured = "\xe2\x80\x93"; // an en dash

/// The cell as the table shows it, numbers with three decimals; notMeasured for a value the file does not give.
std::string cellText(const FileSummary& s, const Verdict& v, Column c);
/// The number a numeric cell sorts by: unknown for an empty cell and for text columns. The date sorts by its
/// seconds, the verdict by Pass, Fail, Error.
double cellNumber(const FileSummary& s, const Verdict& v, Column c);

/// The CSV header: the table's columns (the locations as two), then the verdict's reasons.
std::string csvHeader();
/// One CSV line, with its line feed; texts quoted where they need it.
std::string csvRow(const FileSummary& s, const Thresholds& t);
std::string csvField(const std::string& text);

/// Case-insensitive order of texts in which runs of digits compare as numbers ("F2" before "F10").
bool naturalLess(const std::string& a, const std::string& b);

} // namespace analysis
