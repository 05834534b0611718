#pragma once

#include "analysis/FileSummary.h"
#include "analysis/Thresholds.h"

#include <string>
#include <vector>

/// sordump --summary: one row per file of the paths (folders listed recursively) as CSV, or one JSON object per
/// line, judged against the thresholds. Returns the exit status: 0 when every file parsed, 1 otherwise.
/// One file's row as the JSON object --summary --json writes.
std::string summaryJson(const analysis::FileSummary& s, const analysis::Thresholds& t);
/// One file's row as labelled lines ("Fibre length (km): 67.548"), then the verdict and its reasons.
std::string summaryText(const analysis::FileSummary& s, const analysis::Thresholds& t);

/// own: every file judged by the events of its own analysis (with the thresholds' detection thresholds) instead of
/// its event table.
int printSummaries(
    const std::vector<std::string>& paths, bool json, const analysis::Thresholds& thresholds, bool own = false);
