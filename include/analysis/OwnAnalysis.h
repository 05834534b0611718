#pragma once

#include "analysis/EventDetection.h"
#include "analysis/FibreFile.h"
#include "analysis/FileSummary.h"
#include "analysis/TraceMeasure.h"

#include <string>
#include <vector>

namespace sor {
class SORParser;
}

// The own event analysis of a parsed file, and what the rest of the program makes of it: the events in the shape the
// summary, the verdicts and the reports consume.
namespace analysis {

/// The pulse, backscatter coefficient, wavelength and front panel the file gives.
Acquisition acquisitionOf(const sor::SORParser& parser);

/// The own analysis of the file's trace; no events for a file that was not parsed.
OwnAnalysis analyse(const sor::SORParser& parser, const DetectionThresholds& thresholds);

/// The events as the summary takes them: each value where the trace gives one, the backscatter beside each read.
std::vector<EventMeasure> eventMeasures(const OwnAnalysis& analysis);

/// The summary of the file judged by its own analysis instead of its event table: the same fields, the span drawn
/// from the events found, the lengths and losses measured on the trace.
FileSummary summarizeOwn(const sor::SORParser& parser, const OwnAnalysis& analysis, std::string file,
    const Thresholds& cables = Thresholds());
/// A copy of the file as its own analysis shows it: the KeyEvents block holds the events found (and edited), with
/// their losses, reflectances and slopes where measured (else the fields' placeholders, NaN as converted values), the
/// end as the fibre's length and the total loss measured on the trace. Every view of events reads it as it reads a
/// file; the file itself is untouched.
sor::SORParser withOwnEvents(const sor::SORParser& file, const OwnAnalysis& analysis);

/// Parses the file, analyses it and summarizes it; the thresholds' own detection thresholds apply.
FileSummary summarizeFileOwn(const std::string& path, std::string file, const Thresholds& thresholds);

/// A file of a fibre judged by its own analysis instead of its event table: read again from its path and analysed
/// with the thresholds' detection thresholds; its summary and span are those of the events found. False, and the file
/// left as it was, when it cannot be read.
bool useOwnAnalysis(FibreFile& file, const Thresholds& thresholds);

} // namespace analysis
