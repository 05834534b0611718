#pragma once

#include "analysis/EventDetection.h"

#include <string>

namespace sor {
class SORParser;
}

// The own analysis of a real file held against the events its instrument listed, by the accuracy rules of the
// analysis: the instrument's inner events of 0.1 dB and more found within max(pulse length, 3 samples, 10 m), their
// loss within max(0.05 dB, 20 %), the end within the same distance, and the events of 0.1 dB and more found before
// the instrument's end that it did not list.
namespace sortest {

struct Comparison {
    bool sound = false; ///< the file's event table can be compared: ascending positions on the trace, the end last
    int inner = 0; ///< the instrument's inner events of 0.1 dB and more
    int found = 0;
    int lossWithin = 0;
    bool endFound = false;
    int extra = 0; ///< unlisted, and at least the loss threshold the instrument was set to
    int extraAny = 0; ///< unlisted, whatever the instrument's threshold
    std::string report; ///< a line per event, for reading
};

Comparison compareWithInstrument(const sor::SORParser& file, const analysis::OwnAnalysis& own);

/// The instrument family, told by the supplier, mainframe and module names.
std::string familyOf(const sor::SORParser& file);

} // namespace sortest
