#pragma once

#include <optional>
#include <vector>

namespace sor {
class SORParser;
}

// What cursors A and B measure, computed once for the cursor panels, the reports and the tests.
namespace analysis {

/// The readings of cursors A and B on one trace, for both read-out modes.
struct CursorReadings {
    double xA = 0; ///< km
    double yA = 0; ///< dB, the trace's level at xA
    double xB = 0; ///< km
    double yB = 0; ///< dB
    double lsa = 0; ///< least-squares slope from A to B, dB/km

    // The segment between the cursors runs from the one further left; from A when both sit together.
    double startX = 0; ///< km
    double startY = 0; ///< dB
    double endX = 0; ///< km
    double endY = 0; ///< dB
    double lsaAttenuation = 0; ///< least-squares attenuation of the segment, dB/km

    double dx() const { return xB - xA; }
    double dy() const { return yB - yA; }
    double slope() const { return dy() / dx(); } ///< dB/km
    double length() const { return endX - startX; } ///< km
    double attenuation() const { return startY - endY; } ///< dB
    double attenuationPerKm() const { return attenuation() / length(); }
};

/// Readings of cursors at xA and xB on the parser's displayed trace.
CursorReadings cursorReadings(sor::SORParser& parser, double xA, double xB);

/// The readings of cursors A and B on every trace of a comparison, and their means.
struct ComparisonReadings {
    struct Trace {
        double yA = 0; ///< dB at xA
        double yB = 0; ///< dB at xB
        double difference = 0; ///< dB: B − A in A/B mode, the segment's attenuation A − B otherwise
        double perKm = 0; ///< difference / length, dB/km
    };

    double xA = 0; ///< km; in segment mode the cursor further left once any trace is read
    double xB = 0; ///< km
    double length = 0; ///< km: B − A in A/B mode, the distance between the cursors otherwise
    std::vector<Trace> traces;
    // Averaged as powers: 10 ln(mean of e^(y/10)); not numbers without any trace.
    double meanA = 0; ///< dB
    double meanB = 0; ///< dB
    double meanDifference = 0; ///< dB, in the mode's direction
    double meanPerKm = 0; ///< dB/km
};

/// Readings of cursors at xA and xB on each trace, in the A/B mode (abMode) or as a segment.
ComparisonReadings comparisonReadings(const std::vector<sor::SORParser*>& traces, double xA, double xB, bool abMode);

/// Where an arrow key moves a cursor at x along increasing distances xs: to the first distance beyond x, or to the
/// last one before it; nowhere when there is none that way (stepping left also stays put beyond the last one).
std::optional<double> steppedCursor(const std::vector<double>& xs, double x, bool right);

} // namespace analysis
