#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace sor {
class SORParser;
}

namespace analysis {

constexpr double unknown = std::numeric_limits<double>::quiet_NaN();
inline bool known(double v) { return !std::isnan(v); }

/// The worst event of one kind: its value and where it is. Both unknown when the file has no such event.
struct WorstEvent {
    double value = unknown; ///< dB
    double km = unknown; ///< event distance
};

// What the whole-cable table shows of one file: a few texts and numbers, never the trace.
struct FileSummary {
    std::string file; ///< as listed: relative to the folder, or the path as given
    bool parsed = false;
    std::string errorText; ///< the reader's message alone, one line, when parsed is false
    std::string fibreId;
    std::string cableId;
    std::string locationA;
    std::string locationB;
    double wavelength = unknown; ///< nm
    double pulseWidth = unknown; ///< ns
    std::string date; ///< local time, as the reader formats it
    int64_t dateSeconds = -1; ///< for sorting; -1 unknown
    double fibreLength = unknown; ///< km: the end-of-fibre event, else the KeyEvents fibre length
    double totalLoss = unknown; ///< dB
    double attenuation = unknown; ///< dB/km: total loss over the fibre length
    double orl = unknown; ///< dB
    int events = -1; ///< -1 without a KeyEvents block
    WorstEvent splice; ///< largest loss of a non-reflective event
    WorstEvent connector; ///< largest loss of a reflective event
    WorstEvent reflectance; ///< highest reflectance
    std::string checksum; ///< diagnosis of the stored checksum
    bool checksumSuspect = false;
};

/// The summary of a parsed (or failed) file; the fibre end takes no part in the worst events.
FileSummary summarize(const sor::SORParser& parser, std::string file);

/// Parses the file at path (a native file name) with a reader of its own and summarizes it. The reader writes
/// nothing: files summarized are read in bulk, and a failure is in the summary.
FileSummary summarizeFile(const std::string& path, std::string file);

} // namespace analysis
