#pragma once

#include "analysis/FibreVerdict.h"
#include "analysis/FileSummary.h"

#include <optional>
#include <string>
#include <vector>

namespace analysis {

// One fibre at one wavelength as a row of a cable's table of fibres: the averaged figures, the worst judged events
// (averaged) and where they are, the bends, the verdict. Computed once, for the table, its CSV and sordump alike.
struct FibreRow {
    std::string fibreId;
    std::string cableId;
    std::string locationA;
    std::string locationB;
    std::optional<double> wavelength; ///< nm
    std::string fileAB; ///< empty for a missing end
    std::string fileBA;
    std::optional<double> startKm; ///< the span on A's axis
    std::optional<double> endKm;
    std::optional<double> lengthKm;
    std::optional<double> totalLoss; ///< dB, averaged
    std::optional<double> totalLossAB;
    std::optional<double> totalLossBA;
    std::optional<double> attenuation; ///< dB/km, averaged
    std::optional<double> orl; ///< dB, the worse
    int events = 0; ///< in the table of both ends
    int oneSided = 0; ///< listed by one end only
    WorstEvent splice; ///< the largest averaged loss of a judged non-reflective event
    WorstEvent connector;
    WorstEvent reflectance;
    std::vector<Bend> bends; ///< whose longest wavelength this is
    Outcome outcome = Outcome::Pass;
    std::vector<std::string> reasons;
};

/// The fibre's rows, one per wavelength, in the analysis's order.
std::vector<FibreRow> fibreRows(const FibreAnalysis& a, const FibreVerdict& v);

/// "12.345 km +0.62 dB" for each bend, "; " between them.
std::string bendsText(const std::vector<Bend>& bends);

/// The CSV of fibre rows: the header line, and each row with its line feed (numbers with three decimals, "–" for a
/// value no file gives, the reasons last).
std::string fibreCsvHeader();
std::string fibreCsvRow(const FibreRow& r);

} // namespace analysis
