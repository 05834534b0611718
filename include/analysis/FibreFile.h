#pragma once

#include "analysis/FileSummary.h"
#include "analysis/Thresholds.h"
#include "analysis/TraceMeasure.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sor {
class SORParser;
}

namespace analysis {

/// A trace kept small for measuring later: the samples as the file stores them.
struct StoredTrace {
    std::vector<uint16_t> samples; ///< counts below the trace's top
    double dbPerCount = 0.001;
    double startKm = 0; ///< the first sample on the displayed axis
    double stepKm = 0;

    /// The levels as the measurements read them (the displayed trace less a constant), in the caller's buffer.
    TraceSamples levels(std::vector<double>& buffer) const;
};

// One file as the analysis of a fibre takes it: what the cable table knows of it, the instrument that measured it,
// and its trace for measuring the events that the other end listed.
struct FibreFile {
    std::string path; ///< where it is read from
    FileSummary summary; ///< its file as shown; its events and the span for the thresholds' cables
    std::string instrument; ///< supplier, mainframe and serial number: files of one end share it
    double sampleKm = 0; ///< the distance between two samples
    std::shared_ptr<const StoredTrace> trace; ///< none when read without it; then read again from path when needed
    bool cablesSwapped = false; ///< spanned with the launch and receive cables swapped (see spanFor)
};

/// Draws the file's span for the cables. The launch cable is the one at the instrument, as the cable table has it;
/// but where the file does not find its cables so and does find them swapped, it is spanned so: the reels stayed at
/// their ends of the fibre while the instrument moved, and from the far end the receive reel comes first.
void spanFor(FibreFile& file, const Thresholds& cables);

/// The file's summary (spanned by spanFor), instrument and, with keepTrace, its samples.
FibreFile fibreFile(
    const sor::SORParser& parser, std::string path, std::string shown, const Thresholds& cables, bool keepTrace = true);
/// Reads the file at path (a native file name) with a reader of its own, which writes nothing.
FibreFile readFibreFile(const std::string& path, std::string shown, const Thresholds& cables, bool keepTrace = true);

/// Reads the files and folders named (a folder: every .sor file in it and its subfolders, in natural order, shown
/// below the folder as named) for the fibre analysis.
std::vector<FibreFile> readFibreFiles(
    const std::vector<std::string>& paths, const Thresholds& cables, bool keepTrace = true);

/// The trace of the file: the kept one, else read again from its path; none when neither gives one.
std::shared_ptr<const StoredTrace> traceOf(const FibreFile& file);

/// Lets the fibre analysis use other events than the file's own (an analysis of the trace, say): they replace the
/// summary's list, and the span is drawn again from them. Each event needs its position, loss, reflectance, kind,
/// and the backscatter levels beside it for the total loss.
void useEvents(FibreFile& file, std::vector<EventMeasure> events, const Thresholds& cables);

} // namespace analysis
