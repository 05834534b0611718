#pragma once

#include <QPointF>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace chart {

/// Calls put(row, sampleIndex, y) for each of `rows` rows over the samples first..last of ys (at most `size` of
/// them): one sample a row while compression is off or the range has no more samples than rows, else rows in pairs
/// that hold the extremes of their two buckets in the order they occur, each at its own bucket start.
template <class Put>
void forEachMinMaxRow(const std::vector<double>& ys, uint64_t size, unsigned first, unsigned last, uint64_t rows,
    bool compress, Put&& put)
{
    const uint64_t n = uint64_t(last) - first + 1;
    if (last < first || first >= size || rows == 0)
        return;
    const auto bucket = [&](uint64_t k) { return first + k * n / rows; };
    if (!compress || n == rows) {
        for (uint64_t k = 0; k < rows; ++k) {
            const uint64_t index = compress ? bucket(k) : first + k;
            if (index > last || index >= size)
                break;
            put(k, index, ys[index]);
        }
        return;
    }
    // A pair shares the window of its two buckets, less its last sample.
    for (uint64_t k = 0; k < rows; k += 2) {
        const uint64_t start = bucket(k);
        if (start > last || start >= size)
            break;
        const uint64_t stop = std::min<uint64_t>(bucket(k + 2) - 1, size);
        uint64_t maxAt = start;
        uint64_t minAt = start;
        for (uint64_t i = start + 1; i < stop; ++i) {
            if (ys[i] > ys[maxAt])
                maxAt = i;
            if (ys[i] < ys[minAt])
                minAt = i;
        }
        put(k, start, ys[std::min(maxAt, minAt)]);
        const uint64_t second = bucket(k + 1);
        if (k + 1 < rows && second <= last && second < size)
            put(k + 1, second, ys[std::max(maxAt, minAt)]);
    }
}

/// First and last sample to plot for a visible window: one sample beyond each edge (two on the left).
std::pair<unsigned, unsigned> visibleIndexRange(const std::vector<double>& xs, double left, double right);

/// The points the single-trace chart plots for the samples first..last (inclusive): every sample while compression
/// is off or the range has at most maxRows samples, else maxRows rows taken in pairs that hold the extremes of their
/// window in the order they occur, each at the x of its own bucket start. Rows whose values are not numbers are NaN
/// (a gap in the line).
std::vector<QPointF> minMaxRows(const std::vector<double>& xs, const std::vector<double>& ys, unsigned first,
    unsigned last, uint32_t maxRows, bool compress);

} // namespace chart
