#pragma once

#include "analysis/EventDetection.h"
#include "analysis/TraceNoise.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace analysis {

// Finds where things happen on a trace: peaks over the backscatter, steps between two stretches of it, and where
// the fibre ends. Every decision is judged against the trace's own noise at that place; every length follows the
// pulse. What it finds, detectEvents measures.
class TraceDetector {
public:
    // One place on the trace where something happens, before it is measured.
    struct Candidate {
        size_t index = 0; ///< where the event starts: the last sample still on the backscatter
        double step = 0; ///< dB dropped across it, a gain negative
        double height = 0; ///< dB, a peak's top over the backscatter before it
        size_t top = 0; ///< a peak's highest sample; a step's largest response
        size_t extent = 0; ///< the sample after which the trace is back on the backscatter
        size_t window = 0; ///< samples each fit of a step took
        bool reflective = false;
        bool saturated = false;
    };

    // The arrays of one analysis, kept by the thread for the next: a cable's files are analysed by the thousand,
    // and fresh arrays cost more in page faults than the analysis in arithmetic.
    struct Workspace {
        LineSums sums;
        std::vector<double> smoothed; ///< over the pulse
        std::vector<double> light; ///< over an eighth of the pulse, where an event starts
        std::vector<double> over; ///< each sample over the backscatter before it
        std::vector<double> statistic; ///< a step or a slope at each sample
        void release();
    };

    TraceDetector(const TraceSamples& trace, const Acquisition& acquisition, const DetectionThresholds& thresholds,
        Workspace& workspace);

    /// The events found, each with its place, kind and how long it lasts; not yet measured.
    OwnAnalysis run();

private:
    const TraceSamples& t;
    const Acquisition& acq;
    const DetectionThresholds& th;
    const double* y;
    size_t n;
    LineSums& sums;
    std::vector<double>& smoothed;
    std::vector<double>& light;
    std::vector<double>& over;
    std::vector<double>& statistic;
    double pulse = 1; ///< samples
    size_t transition = 3; ///< samples an event takes to pass
    size_t window = 16; ///< the shortest fit, samples
    size_t recovery = 0; ///< samples the receiver takes after a reflection
    size_t lightHalf = 1;
    double backscatter = -80;
    double maxGlassPerSample = 0;
    size_t first = 0; ///< the first sample of backscatter after the front panel
    size_t fade = 0; ///< the last sample where the trace stands clear of the noise
    std::optional<NoiseFloor> floor;
    BlockProfile sampleNoise; ///< of a sample about the backscatter before it
    BlockProfile glassSlope; ///< dB per sample

    size_t indexOf(double km) const;
    double kmOf(double index) const { return t.startKm + index * t.stepKm; }
    /// The moving mean over 2 half + 1 samples (shorter at the ends), from the sums.
    void meanOver(size_t half, std::vector<double>& out) const;
    /// Samples a block of a statistic over fits of that many samples: enough fits to tell the noise, and a few
    /// hundred blocks at most along a long trace, over which the noise changes slowly.
    size_t blockFor(size_t fit) const;
    /// Whether a line of backscatter, falling as glass does within the noise, runs from..from + 2 windows.
    bool glass(size_t from, const LineSums::Line& line, size_t samples) const;

    void findFront();
    void findFade();
    void findGlassSlope();
    std::vector<Candidate> peaks();
    std::vector<Candidate> steps();
    void locateStep(Candidate& c, size_t runStart, size_t best, size_t w) const;
    bool continuesAfter(size_t from) const;
    std::vector<Candidate> merged(std::vector<Candidate> reflections, const std::vector<Candidate>& steps) const;
    bool ghost(const Candidate& c, const std::vector<Candidate>& before) const;
};

} // namespace analysis
