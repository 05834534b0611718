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
    const double gap = std::numeric_limits<double>::quiet_NaN();
    std::vector<QPointF> points(rows, QPointF(gap, gap));
    forEachMinMaxRow(
        ys, std::min(xs.size(), ys.size()), first, last, rows, compress, [&](uint64_t k, uint64_t index, double y) {
            if (std::isfinite(xs[index]) && std::isfinite(y))
                points[k] = QPointF(xs[index], y);
        });
    return points;
}

} // namespace chart
