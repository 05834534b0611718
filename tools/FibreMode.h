#pragma once

#include "analysis/Thresholds.h"

#include <string>
#include <vector>

/// sordump --fibre: the files of one fibre (both ends, any wavelengths) analysed and judged, as text or as one JSON
/// object. Returns the exit status: 0 when every file was read, 1 otherwise.
/// With own, each file is judged by the events of its own analysis instead of its event table.
int printFibre(
    const std::vector<std::string>& files, bool json, const analysis::Thresholds& thresholds, bool own = false);

/// sordump --summary --by-fibre: the files of the paths (folders with their subfolders) paired into fibres, one row
/// per fibre and wavelength, as CSV or one JSON object per line. Returns 0 when every file was read, 1 otherwise.
int printFibreSummaries(
    const std::vector<std::string>& paths, bool json, const analysis::Thresholds& thresholds, bool own = false);
