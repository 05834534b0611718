#pragma once

#include "analysis/FileSummary.h"
#include "analysis/Thresholds.h"
#include "analysis/Verdict.h"
#include "report/Pages.h"

#include <QColor>
#include <QString>
#include <QStringList>

namespace report {

/// The limits a verdict is made under, one text per rule ("splice loss ≤ 0.30 dB", "ORL: no limit"); the
/// attenuation of every band, or of the one band a known wavelength falls in.
QStringList thresholdTexts(const analysis::Thresholds& thresholds, double wavelength = analysis::unknown);

/// "Pass", "Fail", "Error" in the colour a report prints them in.
QColor outcomeColour(analysis::Outcome outcome);

namespace sections {

    /// "Verdict: Pass" in its colour, the reasons a file fails below it, then the thresholds used.
    double verdict(
        const Sheet& sheet, double top, const analysis::FileSummary& summary, const analysis::Thresholds& thresholds);

} // namespace sections

} // namespace report
