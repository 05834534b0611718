#pragma once

#include "analysis/FileSummary.h"
#include "analysis/Thresholds.h"

#include <string>
#include <vector>

/// One file's row as the JSON object --summary --json writes.
std::string summaryJson(const analysis::FileSummary& s, const analysis::Thresholds& t);
/// One file's row as labelled lines ("Fibre length (km): 67.548"), then the verdict and its reasons.
std::string summaryText(const analysis::FileSummary& s, const analysis::Thresholds& t);

/// sordump --summary: one row per file of the paths (folders listed recursively) as CSV, or one JSON object per
/// line, judged against the thresholds; the CSV header comes with the first row. With own, every file is judged by the
/// events of its own analysis (with the thresholds' detection thresholds) instead of its event table. Returns the exit
/// status: 0 when every file parsed, 1 when one could not be or a folder holds no .sor file.
int printSummaries(
    const std::vector<std::string>& paths, bool json, const analysis::Thresholds& thresholds, bool own = false);
