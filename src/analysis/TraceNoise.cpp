#include "analysis/TraceNoise.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace analysis {

void LineSums::assign(const double* db, size_t size)
{
    n = size;
    sum.resize(size + 1);
    moment.resize(size + 1);
    sum[0] = 0;
    moment[0] = 0;
    if (n == 0)
        return;
    reference = db[0];
    centreIndex = static_cast<double>(n) / 2;
    for (size_t i = 0; i < n; ++i) {
        const double y = db[i] - reference;
        sum[i + 1] = sum[i] + y;
        moment[i + 1] = moment[i] + (static_cast<double>(i) - centreIndex) * y;
    }
}

void LineSums::release()
{
    n = 0;
    std::vector<double>().swap(sum);
    std::vector<double>().swap(moment);
}

LineSums::Line LineSums::fit(size_t first, size_t last) const
{
    Line line;
    const double count = static_cast<double>(last - first + 1);
    const double sy = sum[last + 1] - sum[first];
    const double sky = moment[last + 1] - moment[first];
    line.centre = (static_cast<double>(first) + static_cast<double>(last)) / 2;
    const double suu = count * (count * count - 1) / 12;
    line.slope = suu > 0 ? (sky - (line.centre - centreIndex) * sy) / suu : 0.0;
    line.mean = sy / count + reference;
    return line;
}

double medianOf(std::vector<double>& values)
{
    if (values.empty())
        return std::numeric_limits<double>::quiet_NaN();
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

double robustSpread(std::vector<double>& values)
{
    if (values.size() < 2)
        return 0;
    const double median = medianOf(values);
    for (double& v : values)
        v = std::fabs(v - median);
    return 1.4826 * medianOf(values);
}

namespace {
    // A few hundred values tell a block's median and spread as well as all of them: neighbouring values of the
    // statistics agree anyway.
    constexpr size_t sampledPerBlock = 128;
    size_t strideOf(size_t block) { return std::max<size_t>(1, block / sampledPerBlock); }

    // The finite values of a block, every stride-th.
    void finiteIn(const std::vector<double>& values, size_t from, size_t to, size_t stride, std::vector<double>& out)
    {
        out.clear();
        for (size_t i = from; i < std::min(values.size(), to); i += stride) {
            if (std::isfinite(values[i]))
                out.push_back(values[i]);
        }
    }

    // A block mostly without the statistic (the trace's ends) borrows its neighbour's value.
    bool enough(size_t count, size_t block, size_t stride) { return count * stride * 4 >= block || count >= 16; }

    double quantile(std::vector<double> values, double q)
    {
        if (values.empty())
            return std::numeric_limits<double>::quiet_NaN();
        const auto k = static_cast<size_t>(q * static_cast<double>(values.size() - 1));
        std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(k), values.end());
        return values[k];
    }
} // namespace

BlockProfile BlockProfile::spread(const std::vector<double>& stat, size_t blockSize, const std::vector<double>* levels)
{
    BlockProfile p;
    p.block = std::max<size_t>(blockSize, 1);
    const size_t blocks = (stat.size() + p.block - 1) / p.block;
    p.values.assign(blocks, std::numeric_limits<double>::quiet_NaN());
    std::vector<double> level(blocks, std::numeric_limits<double>::quiet_NaN());
    const size_t stride = strideOf(p.block);
    std::vector<double> inside;
    std::vector<double> own;
    for (size_t b = 0; b < blocks; ++b) {
        finiteIn(stat, b * p.block, (b + 1) * p.block, stride, inside);
        if (!enough(inside.size(), p.block, stride))
            continue;
        p.values[b] = robustSpread(inside);
        if (levels) {
            own.clear();
            for (size_t i = b * p.block; i < std::min(stat.size(), (b + 1) * p.block); i += stride) {
                if (std::isfinite(stat[i]))
                    own.push_back((*levels)[i]);
            }
            level[b] = medianOf(own);
        }
    }
    if (levels) {
        // The receiver's noise is constant in linear power, so in dB it grows as 10^(-level/5); the trace's own
        // processing adds a part that does not depend on the level.
        std::vector<double> receiver;
        for (size_t b = 0; b < blocks; ++b) {
            if (std::isfinite(p.values[b]) && p.values[b] > 0)
                receiver.push_back(p.values[b] * std::pow(10.0, level[b] / 5));
        }
        const double c = quantile(receiver, 0.25);
        std::vector<double> base;
        for (size_t b = 0; b < blocks; ++b) {
            if (std::isfinite(p.values[b]))
                base.push_back(std::sqrt(std::max(0.0, p.values[b] * p.values[b] - std::pow(c * std::pow(10.0, -level[b] / 5), 2))));
        }
        const double s0 = quantile(base, 0.5);
        if (std::isfinite(c) && std::isfinite(s0)) {
            for (size_t b = 0; b < blocks; ++b) {
                if (!std::isfinite(p.values[b]))
                    continue;
                const double model = std::hypot(s0, c * std::pow(10.0, -level[b] / 5));
                p.values[b] = std::min(p.values[b], 2 * model);
            }
        }
    }
    p.fillGaps();
    p.perBlock = 1.0 / static_cast<double>(p.block);
    return p;
}

BlockProfile BlockProfile::median(const std::vector<double>& stat, size_t blockSize)
{
    BlockProfile p;
    p.block = std::max<size_t>(blockSize, 1);
    const size_t blocks = (stat.size() + p.block - 1) / p.block;
    p.values.assign(blocks, std::numeric_limits<double>::quiet_NaN());
    const size_t stride = strideOf(p.block);
    std::vector<double> inside;
    for (size_t b = 0; b < blocks; ++b) {
        finiteIn(stat, b * p.block, (b + 1) * p.block, stride, inside);
        if (enough(inside.size(), p.block, stride))
            p.values[b] = medianOf(inside);
    }
    p.fillGaps();
    p.perBlock = 1.0 / static_cast<double>(p.block);
    return p;
}

void BlockProfile::fillGaps()
{
    double last = std::numeric_limits<double>::quiet_NaN();
    for (double& v : values) {
        if (std::isfinite(v))
            last = v;
        else
            v = last;
    }
    last = std::numeric_limits<double>::quiet_NaN();
    for (auto v = values.rbegin(); v != values.rend(); ++v) {
        if (std::isfinite(*v))
            last = *v;
        else
            *v = last;
    }
    if (!values.empty() && !std::isfinite(values.front()))
        values.clear();
}

void movingMean(const double* db, size_t size, size_t half, std::vector<double>& out)
{
    out.resize(size);
    double window = 0;
    size_t from = 0;
    size_t to = 0; // the window holds [from, to)
    for (size_t i = 0; i < size; ++i) {
        const size_t wantTo = std::min(size, i + half + 1);
        const size_t wantFrom = i >= half ? i - half : 0;
        while (to < wantTo)
            window += db[to++];
        while (from < wantFrom)
            window -= db[from++];
        out[i] = window / static_cast<double>(to - from);
    }
}

std::optional<NoiseFloor> noiseFloor(const std::vector<double>& smoothed, size_t tailFrom, double maxGlassPerSample)
{
    if (tailFrom + 8 > smoothed.size())
        return std::nullopt;
    std::vector<double> tail(smoothed.begin() + static_cast<std::ptrdiff_t>(tailFrom), smoothed.end());
    const LineSums sums(tail.data(), tail.size());
    const auto line = sums.fit(0, tail.size() - 1);
    double scatter = 0;
    for (size_t i = 0; i < tail.size(); ++i)
        scatter += std::pow(tail[i] - line.at(static_cast<double>(i)), 2);
    scatter = std::sqrt(scatter / static_cast<double>(tail.size()));
    // A quiet tail that falls like glass is backscatter still: the fibre goes on past the trace.
    const double fall = -line.slope * static_cast<double>(tail.size());
    if (scatter < 0.05 && line.slope < 0 && -line.slope <= maxGlassPerSample && fall > 3 * scatter)
        return std::nullopt;
    NoiseFloor floor;
    floor.median = quantile(tail, 0.5);
    floor.top = quantile(tail, 0.99);
    return floor;
}

} // namespace analysis
