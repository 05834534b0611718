#include "analysis/CursorReadings.h"

#include "sor/SORParser.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace analysis {

CursorReadings cursorReadings(sor::SORParser& parser, double xA, double xB)
{
    CursorReadings r;
    r.xA = xA;
    r.yA = parser.getYValue(xA);
    r.xB = xB;
    r.yB = parser.getYValue(xB);
    r.lsa = parser.getApproxDiff_LSA(xA, xB);
    const bool aFirst = xA <= xB;
    r.startX = aFirst ? r.xA : r.xB;
    r.startY = aFirst ? r.yA : r.yB;
    r.endX = aFirst ? r.xB : r.xA;
    r.endY = aFirst ? r.yB : r.yA;
    r.lsaAttenuation = -parser.getApproxDiff_LSA(r.startX, r.endX);
    return r;
}

ComparisonReadings comparisonReadings(const std::vector<sor::SORParser*>& traces, double xA, double xB, bool abMode)
{
    ComparisonReadings r;
    r.length = abMode ? xB - xA : std::abs(xB - xA);
    if (!abMode && xA > xB && !traces.empty())
        std::swap(xA, xB);
    r.xA = xA;
    r.xB = xB;
    double sumA = 0;
    double sumB = 0;
    for (sor::SORParser* parser : traces) {
        ComparisonReadings::Trace t;
        t.yA = parser->getYValue(xA);
        t.yB = parser->getYValue(xB);
        sumA += std::exp(t.yA / 10);
        sumB += std::exp(t.yB / 10);
        t.difference = abMode ? t.yB - t.yA : t.yA - t.yB;
        t.perKm = t.difference / r.length;
        r.traces.push_back(t);
    }
    // Levels are averaged as powers, through natural exponentials and logarithms.
    const double n = static_cast<double>(traces.size());
    r.meanA = 10 * std::log(sumA / n);
    r.meanB = 10 * std::log(sumB / n);
    r.meanDifference = abMode ? 10 * std::log(sumB / sumA) : 10 * std::log(sumA / sumB);
    r.meanPerKm = r.meanDifference / r.length;
    return r;
}

std::optional<double> steppedCursor(const std::vector<double>& xs, double x, bool right)
{
    // Distances increase: a binary search finds the sample a walk from the start would.
    if (right) {
        const auto it = std::partition_point(xs.begin(), xs.end(), [x](double v) { return !(v > x); });
        if (it == xs.end())
            return std::nullopt;
        return *it;
    }
    const auto it = std::partition_point(xs.begin(), xs.end(), [x](double v) { return !(v >= x); });
    if (it == xs.end())
        return std::nullopt;
    return it == xs.begin() ? *it : *(it - 1);
}

} // namespace analysis
