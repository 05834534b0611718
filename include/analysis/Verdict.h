#pragma once

#include "analysis/FileSummary.h"
#include "analysis/Thresholds.h"

#include <string>
#include <vector>

namespace analysis {

/// Incomplete: nothing fails, but the file lacks what a judgement needs (its events); never a Pass.
enum class Outcome { Pass, Fail, Error, Incomplete };

/// The threshold rules, as bits of Verdict::failed.
enum Rule : unsigned {
    SpliceRule = 1u << 0,
    ConnectorRule = 1u << 1,
    ReflectanceRule = 1u << 2,
    AttenuationRule = 1u << 3,
    TotalLossRule = 1u << 4,
    OrlRule = 1u << 5,
    BendRule = 1u << 6, ///< a fibre's: more loss at a longer wavelength than at a shorter one
};

// A file judged against the thresholds: computed from its summary alone.
struct Verdict {
    Outcome outcome = Outcome::Pass;
    unsigned failed = 0; ///< the Rule bits that fail
};

/// A value fails a maximum when, rounded to the three decimals the table shows, it is above the limit, and a minimum
/// when it is below; a value equal to its limit passes. A rule without a limit, or whose value the file does not
/// give, is not checked. A file that did not parse is an Error; one that fails no rule but is incomplete (no events)
/// is Incomplete.
Verdict evaluate(const FileSummary& s, const Thresholds& t);

/// One text per failing rule, in the order of the Rule bits ("splice 0.42 dB at 3.102 km > 0.30 dB"), then why the
/// file is incomplete, if it is; the reader's message for a file that did not parse.
std::vector<std::string> reasons(const FileSummary& s, const Thresholds& t);

const char* outcomeText(Outcome o); ///< "Pass", "Fail", "Error", "Incomplete"

struct Counts {
    int files = 0;
    int pass = 0;
    int fail = 0;
    int error = 0;
    int incomplete = 0;
    void add(Outcome o);
};

/// "144 files: 139 pass, 4 fail, 1 error", then ", 2 incomplete" when some are.
std::string countsText(const Counts& c);

} // namespace analysis
