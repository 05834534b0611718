#pragma once

#include "analysis/Thresholds.h"

#include <string>
#include <vector>

/// sordump --summary: one row per file of the paths (folders listed recursively) as CSV, or one JSON object per
/// line, judged against the thresholds. Returns the exit status: 0 when every file parsed, 1 otherwise.
int printSummaries(const std::vector<std::string>& paths, bool json, const analysis::Thresholds& thresholds);
