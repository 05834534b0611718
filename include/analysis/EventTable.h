#pragma once

#include <vector>

namespace sor {
class SORParser;
}

// What the event tables of a tab and of a report show beyond the file's own fields.
namespace analysis {

/// Events marked on a trace at most: every marker is a diagram of its own, which KChart lays out and paints one by
/// one, so a file announcing tens of thousands of events would freeze the program. Every event keeps its row.
constexpr int maxEventMarkers = 1000;

/// Sum of the splice losses of the first count events of the file (never past its last event).
double cumulativeLoss(const sor::SORParser& parser, unsigned count);
/// cumulativeLoss for every count from 0 to the number of events, in one pass.
std::vector<double> cumulativeLosses(const sor::SORParser& parser);

} // namespace analysis
