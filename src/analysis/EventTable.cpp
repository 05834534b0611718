#include "analysis/EventTable.h"

#include "sor/SORParser.h"

#include <algorithm>

namespace analysis {

double cumulativeLoss(const sor::SORParser& parser, unsigned count)
{
    const auto& list = parser.events.keyEvents;
    const size_t n = std::min<size_t>(count, list.size());
    double sum = 0;
    for (size_t i = 0; i < n; ++i)
        sum += list[i].SpliceLoss;
    return sum;
}

std::vector<double> cumulativeLosses(const sor::SORParser& parser)
{
    const auto& list = parser.events.keyEvents;
    std::vector<double> sums(list.size() + 1, 0.0);
    // Summed in the same order as cumulativeLoss, so each element equals it to the bit.
    for (size_t i = 0; i < list.size(); ++i)
        sums[i + 1] = sums[i] + list[i].SpliceLoss;
    return sums;
}

} // namespace analysis
