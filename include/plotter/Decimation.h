#pragma once

#include <QPointF>

#include <cstdint>
#include <vector>

namespace chart {

/// The points the single-trace chart plots for the samples first..last (inclusive): every sample while compression
/// is off or the range has at most maxRows samples, else maxRows rows taken in pairs that hold the extremes of their
/// window in the order they occur, each at the x of its own bucket start. Rows whose values are not numbers are NaN
/// (a gap in the line).
std::vector<QPointF> minMaxRows(const std::vector<double>& xs, const std::vector<double>& ys, unsigned first,
    unsigned last, uint32_t maxRows, bool compress);

} // namespace chart
