#pragma once

#include <cstddef>
#include <optional>
#include <vector>

// How much of a trace is noise: the spread of a statistic along the trace, and the level of the noise floor. The
// event analysis judges every step and peak against the noise where it lies, as it grows towards the floor.
namespace analysis {

/// Least-squares lines over any run of samples in constant time, from running sums over the trace.
class LineSums {
public:
    LineSums() = default;
    LineSums(const double* db, size_t size) { assign(db, size); }
    /// Sums over another trace, in the storage already held.
    void assign(const double* db, size_t size);
    /// Gives the storage back.
    void release();

    struct Line {
        double mean = 0; ///< dB
        double slope = 0; ///< dB per sample
        double centre = 0; ///< sample index of the mean
        double at(double index) const { return mean + slope * (index - centre); }
    };
    /// The line through the samples first..last (inclusive, first < last, both inside the trace).
    Line fit(size_t first, size_t last) const;
    /// The level at index of the line through first..last, for a loop over fits of one length: inverses are given
    /// for the count and for the sum of the squared distances from the centre (count (count^2 - 1) / 12).
    double levelAt(size_t first, size_t last, double inverseCount, double inverseSquares, double index) const
    {
        const double sy = sum[last + 1] - sum[first];
        const double sky = moment[last + 1] - moment[first];
        const double centre = (static_cast<double>(first) + static_cast<double>(last)) / 2;
        return reference + sy * inverseCount + (sky - (centre - centreIndex) * sy) * inverseSquares * (index - centre);
    }
    /// The sum of the levels of the samples first..last (inclusive), less the reference level each.
    double sumOf(size_t first, size_t last) const { return sum[last + 1] - sum[first]; }
    /// The mean level of the samples first..last (inclusive).
    double mean(size_t first, size_t last) const
    {
        return (sum[last + 1] - sum[first]) / static_cast<double>(last - first + 1) + reference;
    }
    size_t size() const { return n; }

private:
    size_t n = 0;
    double reference = 0; ///< subtracted from every level, so that the sums stay small
    double centreIndex = 0; ///< subtracted from every index
    std::vector<double> sum; ///< of the levels before each index
    std::vector<double> moment; ///< of the index times the level before each index
};

/// A value per block of samples along the trace, read linearly between the blocks' centres.
class BlockProfile {
public:
    BlockProfile() = default;

    /// The spread of a statistic (NaN where it has none) as a standard deviation, robust against the events in it:
    /// the median absolute deviation over each block. Where levels are given (the smoothed trace), a block's spread
    /// is held to twice what the receiver's noise gives at its level (sigma^2 = s0^2 + (c 10^(-level/5))^2, fitted
    /// over the blocks), so that a block crowded with events, or half past the fibre's end, does not hide the events
    /// beside it.
    static BlockProfile spread(const std::vector<double>& values, size_t block, const std::vector<double>* levels);
    /// The median of a statistic over each block.
    static BlockProfile median(const std::vector<double>& values, size_t block);

    /// The value at a sample, linear between the centres of the blocks; 0 without any.
    double at(size_t index) const
    {
        if (values.empty())
            return 0;
        const double position = (static_cast<double>(index) + 0.5) * perBlock - 0.5;
        if (position <= 0)
            return values.front();
        const auto below = static_cast<size_t>(position);
        if (below + 1 >= values.size())
            return values.back();
        const double f = position - static_cast<double>(below);
        return values[below] * (1 - f) + values[below + 1] * f;
    }
    bool empty() const { return values.empty(); }

private:
    size_t block = 1;
    double perBlock = 1;
    std::vector<double> values;
    void fillGaps();
};

/// The median of the values (reorders them); NaN for none.
double medianOf(std::vector<double>& values);
/// The median absolute deviation about the median, as a standard deviation (1.4826 MAD); 0 for fewer than 2.
double robustSpread(std::vector<double>& values);

/// The noise floor where the trace ends in noise: the upper edge of the band its tail's smoothed levels lie in,
/// dB. None when the tail is still backscatter (a fibre longer than the trace).
struct NoiseFloor {
    double top = 0; ///< dB: smoothed levels of the noise stay below
    double median = 0; ///< dB
};
std::optional<NoiseFloor> noiseFloor(const std::vector<double>& smoothed, size_t tailFrom, double maxGlassPerSample);

/// Moving mean over 2 half + 1 samples (shorter at the ends), into out.
void movingMean(const double* db, size_t size, size_t half, std::vector<double>& out);

} // namespace analysis
