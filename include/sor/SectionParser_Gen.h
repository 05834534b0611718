#pragma once

#include "sor/SectionParser.h"

namespace sor {

// GenParams: the general description of the measured fibre.
class SectionParser_Gen : public _SectionParser {
public:
    SectionParser_Gen()
        : _SectionParser("GenParams")
    {
    }

    std::string Language; ///< two bytes
    std::string CableID;
    std::string FiberID;
    uint16_t FiberType_Raw = 0; ///< ITU-T recommendation number
    uint16_t Wavelength = 0; ///< nominal wavelength in nm
    std::string LocationA;
    std::string LocationB;
    std::string CableCode;
    std::string BuildCondition_Raw; ///< two bytes
    int32_t UserOffset = 0; ///< time
    int32_t UserOffsetDistance = 0; ///< in 0.001 km
    std::string Operator;
    std::string Comments;

    std::string FiberType;
    std::string BuildCondition;

    void parse();
    void processData();
    std::stringstream stringstream() const override;
};

} // namespace sor
