#pragma once

#include "analysis/Thresholds.h"
#include "analysis/TraceMeasure.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace sor {
class SORParser;
}

namespace analysis {

constexpr double unknown = std::numeric_limits<double>::quiet_NaN();
inline bool known(double v) { return !std::isnan(v); }
inline bool known(const std::optional<double>& v) { return v.has_value(); }

/// The worst event of one kind: its value and where it is; no value when the span has no such event.
struct WorstEvent {
    std::optional<double> value; ///< dB
    std::optional<double> km; ///< event distance
};

/// One event of the file as measured: each value only where the file or its trace holds one.
struct EventMeasure {
    std::optional<double> km; ///< on the displayed axis; none when the file puts it off the trace
    std::optional<double> loss; ///< dB, as the file lists it
    std::optional<double> reflectance; ///< dB
    std::optional<double> slopeBefore; ///< dB/km of the section before it: the file's own, else the trace's
    std::optional<double> levelBefore; ///< dB: the backscatter before the event, read at its position
    std::optional<double> levelAfter; ///< dB: the backscatter after the event, read at its position
    bool reflective = false;
    bool end = false; ///< the end of the fibre: never a splice or a connector
};

/// The part of the fibre that is judged: from the launch cable's end connector to the receive cable's start
/// connector, or from 0 to the end of the fibre without cables.
struct Span {
    std::optional<double> startKm;
    std::optional<double> endKm;
    int startEvent = -1; ///< index in FileSummary::eventList of the launch cable's end connector, -1 for none
    int endEvent = -1; ///< of the receive cable's start connector, -1 for none
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
    std::optional<double> wavelength; ///< nm, nominal
    std::optional<double> pulseWidth; ///< ns
    std::string date; ///< local time, as the reader formats it
    int64_t dateSeconds = -1; ///< for sorting; -1 unknown
    int events = -1; ///< as the file lists them; -1 without a KeyEvents block
    std::optional<double> orl; ///< dB

    // What the file and its trace give, whatever the cables: the span below is drawn from these.
    std::vector<EventMeasure> eventList;
    std::optional<double> storedTotalLoss; ///< dB, the file's
    std::optional<double> storedFibreLength; ///< km, the file's KeyEvents length
    std::optional<double> levelAtZero; ///< dB: the backscatter after position 0, read at 0
    double traceStartKm = 0; ///< the trace's first sample on the displayed axis
    double deadZoneKm = 0;

    // The span judged, for the cables set (applyCables).
    Span span;
    std::optional<double> fibreLength; ///< km: the span's length
    std::optional<double> totalLoss; ///< dB over the span
    std::optional<double> attenuation; ///< dB/km: the glass's, the sections' slopes weighted by their lengths
    WorstEvent splice; ///< largest loss of a non-reflective event on the span
    WorstEvent connector; ///< largest loss of a reflective event, or of a cable's connector
    WorstEvent reflectance; ///< highest reflectance
    std::string incomplete; ///< why the file cannot be judged in full, empty when it can

    std::string checksum; ///< diagnosis of the stored checksum
    bool checksumSuspect = false;
};

/// Why a file without events is incomplete.
constexpr const char* noEventsText = "no events in the file";

/// The summary of a parsed (or failed) file, its span drawn for the thresholds' cables.
FileSummary summarize(const sor::SORParser& parser, std::string file, const Thresholds& cables = Thresholds());

/// The summary with these events in place of the file's table (the own analysis's): the backscatter beside each read
/// on the trace; the file's total loss and length, which belong to its own events, left out.
FileSummary summarize(
    const sor::SORParser& parser, std::string file, const Thresholds& cables, const std::vector<EventMeasure>& events);

/// The trace of the file as the measurements read it (the displayed levels less a constant), held in buffer.
TraceSamples traceOf(const sor::SORParser& parser, std::vector<double>& buffer);

/// Parses the file at path (a native file name) with a reader of its own and summarizes it. The reader writes
/// nothing: files summarized are read in bulk, and a failure is in the summary.
FileSummary summarizeFile(const std::string& path, std::string file, const Thresholds& cables = Thresholds());

/// Draws the span anew for other cables, from the summary alone: the length, total loss, attenuation, worst
/// events and the incomplete reason follow it.
void applyCables(FileSummary& s, const Thresholds& cables);

} // namespace analysis
