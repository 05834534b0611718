#pragma once

#include <string>

// Numbers as the whole-cable table, its CSV and sordump write them: C locale whatever the process locale.
namespace analysis {

/// The shortest text that reads back to the same double ("1310", "1312.9").
std::string number(double v);
/// Fixed with three decimals ("3.102").
std::string fixed3(double v);
/// Three decimals, the third left out when it is 0 ("0.42", "0.305", "-35.00").
std::string decibels(double v);
/// The value as fixed3 shows it, read back: what a limit is compared with.
double shown(double v);

} // namespace analysis
