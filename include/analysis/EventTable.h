#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace sor {
class SORParser;
struct KeyEventData;
} // namespace sor

// What the event tables of a tab and of a report show beyond the file's own fields.
namespace analysis {

struct FileSummary;

/// Events marked on a trace at most: every marker is a diagram of its own, which KChart lays out and paints one by
/// one, so a file announcing tens of thousands of events would freeze the program. Every event keeps its row.
constexpr int maxEventMarkers = 1000;

/// The end of the fibre: the second character of its code is "E".
bool isFibreEnd(const sor::KeyEventData& event);

/// The cumulative loss of each row of the file's event list: the splice losses of the events up to and including
/// the row. An end of the fibre adds nothing: its "loss" is the drop into the noise, not a loss of the fibre.
/// Rows count from 0, whatever numbers the file gives its events.
std::vector<double> cumulativeLosses(const sor::SORParser& parser);
/// cumulativeLosses at one row; past the last row, the last row's.
double cumulativeLoss(const sor::SORParser& parser, size_t row);

/// The whole fibre's length (km), total loss (dB), ORL (dB) and attenuation (dB/km) over the events, as the cable
/// table shows them; "–" for a value that was not measured.
std::array<std::string, 4> fibreTotals(const FileSummary& summary);

} // namespace analysis
