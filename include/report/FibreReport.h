#pragma once

#include "analysis/FibreSet.h"
#include "analysis/FibreSummary.h"
#include "analysis/FibreVerdict.h"
#include "analysis/Thresholds.h"
#include "report/Style.h"

#include <QColor>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace sor {
class SORParser;
}

namespace report {

class Composer;

/// A fibre as its tab shows it: both ends' files read and analysed, each B trace turned onto A's axis.
struct FibreInput {
    std::shared_ptr<const analysis::FibreSet> fibre;
    analysis::FibreVerdict verdict;
    analysis::Thresholds thresholds;
    Style style;
    QColor colourAB;
    QColor colourBA;
    /// Per wavelength of the analysis: the trace from A, and the one from B on A's axis (null where none).
    std::vector<std::shared_ptr<sor::SORParser>> tracesAB;
    std::vector<std::shared_ptr<sor::SORParser>> tracesBA;
};

/// The input of a read fibre: judged by the thresholds, the B traces mirrored.
FibreInput fibreInput(std::shared_ptr<const analysis::FibreSet> fibre, const analysis::Thresholds& thresholds,
    const Style& style, const QColor& colourAB, const QColor& colourBA);

/// Adds the report of one fibre: the title block of every file, then per wavelength the chart of both ends, the
/// summary and the averaged event table, and the verdict with its reasons and the thresholds.
void composeFibre(Composer& composer, const FibreInput& input);

/// A cable judged fibre by fibre, as its tab shows it in "Fibres".
struct FibreCableInput {
    QString folder;
    std::vector<analysis::FibreRow> rows; ///< in the order shown
    std::vector<QStringList> fibrePaths; ///< the files of each fibre to report, in the order of the rows' fibres
    analysis::Thresholds thresholds;
    QString filter;
    QString counts; ///< "72 fibres: 68 pass, 3 fail, 1 incomplete"
    Style style;
    QColor colourAB;
    QColor colourBA;
};

/// The cells of a row of the fibres' summary table.
QStringList fibreCableRow(const analysis::FibreRow& row);

/// Adds the cable report in fibres: the summary table of every fibre and wavelength with the counts, then each fibre's
/// report on pages of its own (each fibre read as its page comes).
void composeFibreCable(Composer& composer, const FibreCableInput& input);

} // namespace report
