#pragma once

#include "sor/SectionParser.h"

namespace sor {

// DataPts: the raw samples of the one trace.
class SectionParser_Data : public _SectionParser {
public:
    SectionParser_Data()
        : _SectionParser("DataPts")
    {
    }

    uint32_t NumberOfPoints = 0;
    uint16_t NumberOfTraces = 0; ///< must be 1
    uint32_t NumberOfPoints_Trace = 0; ///< stored, not used
    uint16_t ScalingFactor = 0; ///< 1000: samples in 0.001 dB; a stored 0 reads as 1000
    std::vector<uint16_t> DataPoints; ///< larger values mean lower power

    void parse();
    std::stringstream stringstream() const override;
};

} // namespace sor
