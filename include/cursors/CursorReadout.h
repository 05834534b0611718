#pragma once

#include <QCoreApplication>
#include <QString>

namespace analysis {
struct ComparisonReadings;
struct CursorReadings;
} // namespace analysis

// The texts of the cursor read-outs, as the panels show them and the reports print them.
struct CursorReadout {
    Q_DECLARE_TR_FUNCTIONS(CursorReadout)

public:
    /// The single-trace panel: the rich text in the read-out mode (abMode: A/B cursors, else the segment), and the
    /// tool tip with the full-precision positions (empty in A/B mode).
    static QString singleTrace(const analysis::CursorReadings& readings, bool abMode);
    static QString singleTraceToolTip(const analysis::CursorReadings& readings, bool abMode);
    /// The comparison's means over all traces, rich text.
    static QString comparisonMeans(const analysis::ComparisonReadings& readings, bool abMode);
};
