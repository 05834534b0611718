#pragma once

#include "sor/SectionParser.h"

namespace sor {

constexpr double speedOfLight = 299.792458; ///< m/us

/// A time in 0.1 ns to km in glass of the group index, evaluated in this order so results match to the last bit.
double timeToDistance(double t, double ior);

// One event of the KeyEvents block, raw values beside converted ones.
struct KeyEventData {
    uint16_t EventNr = 0;
    int32_t TimeOfTravel = 0; ///< in 0.1 ns
    double Distance = 0; ///< km, without the axis offsets
    int16_t Slope_Raw = 0; ///< in 0.001 dB/km
    double Slope = 0; ///< dB/km
    int16_t SpliceLoss_Raw = 0; ///< in 0.001 dB
    double SpliceLoss = 0; ///< dB
    int32_t ReflectionLoss_Raw = 0; ///< in 0.001 dB
    double ReflectionLoss = 0; ///< dB
    std::string EventCode; ///< 8 bytes: event code and loss measurement code
    std::string EventType;
    uint32_t EndOfPrevEvent_Raw = 0; ///< in 0.1 ns, like the other markers
    double EndOfPrevEvent = 0; ///< km, like the other markers
    uint32_t BeginOfCurrentEvent_Raw = 0;
    double BeginOfCurrentEvent = 0;
    uint32_t EndOfCurrentEvent_Raw = 0;
    double EndOfCurrentEvent = 0;
    uint32_t BeginOfNextEvent_Raw = 0;
    double BeginOfNextEvent = 0;
    uint32_t PeakPointCurrent_Raw = 0;
    double PeakPointCurrent = 0;
    std::string Comment;

    std::stringstream stringstream(std::string prefix) const;
    std::string string(std::string prefix) const;
    void print(std::string prefix) const;
};

// KeyEvents: the events the instrument found and the end-to-end figures.
class SectionParser_Events : public _SectionParser {
public:
    SectionParser_Events()
        : _SectionParser("KeyEvents")
    {
    }

    uint16_t NumberOfEvents = 0;
    std::vector<KeyEventData> keyEvents;
    int32_t TotalLoss_Raw = 0; ///< in 0.001 dB
    double TotalLoss = 0; ///< dB
    int32_t FiberStart_Raw = 0; ///< in 0.1 ns
    double FiberStart = 0; ///< km
    uint32_t FiberLength_Raw = 0; ///< in 0.1 ns
    double FiberLength = 0; ///< km
    uint16_t ORL_Raw = 0; ///< in 0.001 dB
    double ORL = 0; ///< dB
    int32_t ORL_Start_Raw = 0; ///< in 0.1 ns
    double ORL_Start = 0; ///< km
    uint32_t ORL_Length_Raw = 0; ///< in 0.1 ns
    double ORL_Length = 0; ///< km

    void parse();
    void processData() { }
    /// Converts times to distances with the group index of FxdParams and composes the type texts.
    void processEventData(double ior);
    std::stringstream stringstream() const override;
};

} // namespace sor
