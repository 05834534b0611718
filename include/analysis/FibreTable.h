#pragma once

#include "analysis/FibreVerdict.h"
#include "analysis/Thresholds.h"
#include "analysis/TraceLabel.h"

#include <array>
#include <string>
#include <vector>

namespace analysis {

/// The columns of a fibre's event table, as the fibre tab and its report show them.
enum class FibreColumn { Number, Position, Type, LossAB, LossBA, Average, Reflectance, Source, Bend, Count };
constexpr int fibreColumnCount = static_cast<int>(FibreColumn::Count);
/// "#", "Position (km)", "Type", "Loss A→B (dB)", …
const char* fibreColumnTitle(FibreColumn c);

// One event of a fibre's table: its cells as shown (three decimals, "–" for a value no end gives, "*" after a loss
// measured on the trace), the rules it fails, and the bend there.
struct FibreTableRow {
    std::array<std::string, fibreColumnCount> cells;
    unsigned failed = 0; ///< Rule bits, judged on the averaged values
    bool atBend = false;
    bool measured = false; ///< a loss of it was measured on a trace, not listed
};

/// Which columns show a failing rule: the average for splices, connectors and bends, the reflectance.
bool columnFails(FibreColumn c, unsigned failed);

/// The table of the analysis's wavelength k, judged by the thresholds; the bends of the verdict marked at their
/// events with the losses at every wavelength.
std::vector<FibreTableRow> fibreTable(const FibreAnalysis& a, size_t k, const FibreVerdict& v, const Thresholds& t);

/// The summary of wavelength k: "Span", "Total loss", "Attenuation", "ORL" with both directions beside the average.
std::vector<std::pair<std::string, std::string>> fibreSummary(const WavelengthAnalysis& w);

/// The colour of a direction's trace in the fibre's chart and report: blue from A, orange from B.
Rgb directionColour(bool fromB);

/// "1550 nm", or "Unknown wavelength".
std::string wavelengthName(const WavelengthAnalysis& w);

} // namespace analysis
