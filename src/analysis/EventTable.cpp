#include "analysis/EventTable.h"

#include "analysis/SummaryTable.h"
#include "sor/SORParser.h"

#include <algorithm>

namespace analysis {

bool isFibreEnd(const sor::KeyEventData& event) { return event.EventCode.size() >= 2 && event.EventCode[1] == 'E'; }

std::vector<double> cumulativeLosses(const sor::SORParser& parser)
{
    const auto& list = parser.events.keyEvents;
    std::vector<double> sums;
    sums.reserve(list.size());
    double sum = 0;
    for (const auto& event : list) {
        if (!isFibreEnd(event))
            sum += event.SpliceLoss;
        sums.push_back(sum);
    }
    return sums;
}

double cumulativeLoss(const sor::SORParser& parser, size_t row)
{
    const auto& list = parser.events.keyEvents;
    const size_t last = std::min(row + 1, list.size());
    // Summed in the same order as cumulativeLosses, so both give the same value to the bit.
    double sum = 0;
    for (size_t i = 0; i < last; ++i) {
        if (!isFibreEnd(list[i]))
            sum += list[i].SpliceLoss;
    }
    return sum;
}

std::array<std::string, 4> fibreTotals(const FileSummary& summary)
{
    std::array<std::string, 4> cells;
    const Column columns[] = { Column::FibreLength, Column::TotalLoss, Column::Orl, Column::Attenuation };
    for (size_t i = 0; i < cells.size(); ++i) {
        cells[i] = cellText(summary, Verdict(), columns[i]);
        if (cells[i].empty())
            cells[i] = "\xe2\x80\x93"; // an en dash
    }
    return cells;
}

} // namespace analysis
