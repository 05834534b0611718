#pragma once

#include "analysis/FibreAnalysis.h"
#include "analysis/FibreFile.h"
#include "analysis/FibrePairing.h"
#include "analysis/Thresholds.h"
#include "analysis/Verdict.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace sor {
class SORParser;
}

namespace analysis {

// The files of one fibre read for its views: each file's reader (for the chart) beside what the analysis takes of
// it, and the analysis itself. Re-judging takes the thresholds alone; new cables draw the spans again (reanalyse).
struct FibreSet {
    std::vector<FibreFile> files;
    std::vector<std::shared_ptr<sor::SORParser>> parsers; ///< beside files; null where a file cannot be read
    FibreFiles fibre;
    FibreAnalysis analysis;
    std::vector<std::string> errors; ///< "file: reason" of each file that cannot be read

    /// The reader of the file measured from A (fromB false) or B at the analysis's wavelength k; null for none.
    std::shared_ptr<sor::SORParser> parser(size_t k, bool fromB) const;
};

/// Reads the files (each once, writing nothing) and analyses them as one fibre.
FibreSet readFibreSet(const std::vector<std::string>& paths, const Thresholds& t);

/// The spans drawn again for the thresholds' cables and the fibre analysed again; nothing is read.
void reanalyse(FibreSet& set, const Thresholds& t);

/// B's trace turned onto A's axis: x_A = mirrorKm − x_B, the samples reversed so that the distances rise.
void mirrorTrace(std::vector<double>& x, std::vector<double>& y, double mirrorKm);

/// A copy of the reader whose displayed trace (and so every reading of it) lies on A's axis.
sor::SORParser mirroredParser(const sor::SORParser& parser, double mirrorKm);

/// Pairs made and undone by hand in a cable, by the files' names as the cable table shows them.
struct ManualPairs {
    std::vector<std::pair<std::string, std::string>> pairs; ///< each one fibre's two ends, whatever the rules say
    std::vector<std::string> alone; ///< files that stay unpaired

    bool empty() const { return pairs.empty() && alone.empty(); }
    /// Pairs two files; each leaves any pair it was in and is no longer kept alone.
    void pair(const std::string& a, const std::string& b);
    /// Undoes every pair of the file, and keeps it out of the pairing rules.
    void unpair(const std::string& file);
};

/// The file inside a cable's folder that keeps its pairs when the user saves them.
constexpr const char* pairsFileName = "fibre-pairs.txt";
/// "pair<TAB>A<TAB>B" and "alone<TAB>F" lines; unknown lines are ignored on reading.
std::string pairsText(const ManualPairs& m);
ManualPairs parsePairs(const std::string& text);

/// The fibres of a cable, paired by the rules of pairFibres except the files paired or kept alone by hand (found
/// by summary.file); a pair naming a file that is not there is left out.
std::vector<FibreFiles> pairWithManual(const std::vector<FibreFile>& files, const ManualPairs& manual);

/// "72 fibres: 68 pass, 3 fail", then the errors and the incomplete ones when there are some.
std::string fibreCountsText(const Counts& c);

} // namespace analysis
