#include "plotter/Decimation.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace chart {

std::vector<QPointF> minMaxRows(const std::vector<double>& xs, const std::vector<double>& ys, unsigned first,
    unsigned last, uint32_t maxRows, bool compress)
{
    const uint64_t n = uint64_t(last) - first + 1;
    const uint64_t rows = compress ? std::min<uint64_t>(maxRows, n) : ys.size();
    const uint64_t size = std::min(xs.size(), ys.size());
    const double gap = std::numeric_limits<double>::quiet_NaN();
    std::vector<QPointF> points(rows, QPointF(gap, gap));
    if (last < first || first >= size || rows == 0)
        return points;

    const auto bucket = [&](uint64_t k) { return first + k * n / rows; };
    const auto put = [&](uint64_t k, uint64_t index, double y) {
        if (std::isfinite(xs[index]) && std::isfinite(y))
            points[k] = QPointF(xs[index], y);
    };
    if (!compress || n == rows) {
        for (uint64_t k = 0; k < rows; ++k) {
            const uint64_t index = compress ? bucket(k) : first + k;
            if (index > last || index >= size)
                break;
            put(k, index, ys[index]);
        }
        return points;
    }
    // A pair shares the window of its two buckets, less its last sample, as the screen's chart scans it.
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
    return points;
}

} // namespace chart
