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

std::pair<unsigned, unsigned> visibleIndexRange(const std::vector<double>& xs, double left, double right)
{
    if (xs.empty())
        return { 0, 0 };
    // Distances increase, so binary searches find what a walk from the start finds.
    const auto notLeft = std::partition_point(xs.begin(), xs.end(), [left](double x) { return x <= left; });
    const size_t iL = notLeft == xs.begin() ? 0 : static_cast<size_t>(notLeft - xs.begin()) - 1;
    const auto beyond = std::partition_point(xs.begin(), xs.end(), [right](double x) { return !(x > right); });
    size_t iR = static_cast<size_t>(beyond - xs.begin());
    if (iR == xs.size() || iR == 0)
        iR = xs.size() - 1;
    const size_t first = iL > 0 ? iL - 1 : 0;
    const size_t last = std::min(xs.size() - 1, iR);
    return { static_cast<unsigned>(first), static_cast<unsigned>(last) };
}

} // namespace chart
