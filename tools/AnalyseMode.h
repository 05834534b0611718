#pragma once

#include "analysis/Thresholds.h"

#include <string>
#include <vector>

namespace sor {
class SORParser;
}
namespace analysis {
struct OwnAnalysis;
}

/// sordump --analyse: the events the program's own analysis finds in each file, as labelled text or one JSON object
/// per file and line. Returns the exit status: 0 when every file parsed, 1 otherwise.
int printAnalyses(const std::vector<std::string>& paths, bool json, const analysis::DetectionThresholds& thresholds);

/// One file's own events as the JSON object --analyse --json writes.
std::string analysisJson(const std::string& path, const sor::SORParser& parser, const analysis::OwnAnalysis& own);
