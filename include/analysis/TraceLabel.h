#pragma once

#include <cstdint>
#include <string>

// How a trace is named and coloured wherever several are shown together: in a comparison and in its report.
namespace analysis {

/// The last "/"-separated piece of a path; a path without "/" whole.
std::wstring fileNameOf(const std::wstring& path);

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
};

/// The trace colour of a seed: one of red and blue in 205..254, green in 0..129. The same seed gives the same
/// colour everywhere.
Rgb generatedColour(uint32_t seed);

} // namespace analysis
