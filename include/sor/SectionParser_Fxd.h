#pragma once

#include "sor/SectionParser.h"

namespace sor {

// FxdParams: the fixed acquisition parameters of the one trace.
class SectionParser_Fxd : public _SectionParser {
public:
    SectionParser_Fxd()
        : _SectionParser("FxdParams")
    {
    }

    uint32_t Date_seconds = 0; ///< seconds since 1970-01-01 00:00 UTC
    std::string Units; ///< two-byte distance unit code
    uint16_t Wavelength_Raw = 0; ///< in 0.1 nm
    int32_t AquOffset = 0; ///< time
    int32_t AquOffsetDist = 0; ///< in 0.0001 km
    uint16_t NumberPulseWidthEntries = 0; ///< number of traces; must be 1
    uint16_t PulseWidth = 0; ///< ns
    uint32_t SampleSpacing = 0; ///< in 0.01 ps
    uint32_t NumberOfDataPoints = 0;
    uint32_t IndexRefraction_Raw = 0; ///< group index x 100000
    uint16_t BackscatterCoef_Raw = 0; ///< in -0.1 dB
    uint32_t NumberOfAverages = 0;
    uint16_t AveragingTime = 0; ///< s
    uint32_t Range_Raw = 0;
    int32_t AquRangeDist = 0;
    int32_t FrontPanelOffset = 0;
    uint16_t NoiseFloorLevel = 0;
    int16_t NoiseFloorScaling = 0;
    uint16_t PowerOffsetFirstPoint = 0;
    uint16_t LossThreshold_Raw = 0; ///< in 0.001 dB
    uint16_t ReflectionThreshold_Raw = 0; ///< in -0.001 dB
    uint16_t EOT_Threshold_Raw = 0; ///< in 0.001 dB
    std::string TraceType; ///< two-byte code
    int32_t X1 = 0;
    int32_t Y1 = 0;
    int32_t X2 = 0;
    int32_t Y2 = 0;

    std::string Date; ///< local time, "%F %T"
    std::string UnitsDescription;
    double Wavelength = 0; ///< nm
    double IOR = 0;
    double SampleDistance = 0; ///< metres between two samples
    double BackscatterCoef_dB = 0;
    double Range = 0;
    double LossThreshold_dB = 0;
    double ReflectionThreshold_dB = 0;
    double EOT_Threshold_dB = 0;
    std::string TraceTypeDescription;

    void parse();
    void processData();
    std::stringstream stringstream() const override;
};

} // namespace sor
