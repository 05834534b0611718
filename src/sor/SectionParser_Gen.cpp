#include "sor/SectionParser_Gen.h"

namespace sor {

void SectionParser_Gen::parse()
{
    throwIfParsed();
    Language = scan_char(2);
    CableID = scan_string();
    FiberID = scan_string();
    FiberType_Raw = scan_word();
    Wavelength = scan_word();
    LocationA = scan_string();
    LocationB = scan_string();
    CableCode = scan_string();
    BuildCondition_Raw = scan_char(2);
    UserOffset = static_cast<int32_t>(scan_dword());
    UserOffsetDistance = static_cast<int32_t>(scan_dword());
    Operator = scan_string();
    Comments = scan_string();
    processData();
    parsed = true;
}

void SectionParser_Gen::processData()
{
    switch (FiberType_Raw) {
    case 651:
        FiberType = "ITU-T G.651 (multi-mode fiber)";
        break;
    case 652:
        FiberType = "ITU-T G.652 (standard single-mode fiber)";
        break;
    case 653:
        FiberType = "ITU-T G.653 (dispersion-shifted fiber)";
        break;
    case 654:
        FiberType = "ITU-T G.654 (1550nm loss-minimized fiber)";
        break;
    case 655:
        FiberType = "ITU-T G.655 (nonzero dispersion-shifted fiber)";
        break;
    default:
        FiberType = std::to_string(FiberType_Raw);
    }

    if (BuildCondition_Raw == "BC")
        BuildCondition = " BC (as-built)";
    else if (BuildCondition_Raw == "CC")
        BuildCondition = " CC (as-current)";
    else if (BuildCondition_Raw == "RC")
        BuildCondition = " RC (as-repaired)";
    else if (BuildCondition_Raw == "OT")
        BuildCondition = " OT (other)";
    else
        BuildCondition = BuildCondition_Raw;
}

std::stringstream SectionParser_Gen::stringstream() const
{
    throwIfNotParsed();
    auto out = dumpHeader();
    out << "Language: " << Language << "\n";
    out << "CableID: " << CableID << "\n";
    out << "FiberID: " << FiberID << "\n";
    out << "FiberType: " << FiberType << "\n";
    out << "Wavelength: " << Wavelength << "\n";
    out << "LocationA: " << LocationA << "\n";
    out << "LocationB: " << LocationB << "\n";
    out << "CableCode: " << CableCode << "\n";
    out << "BuildCondition: " << BuildCondition << "\n";
    out << "UserOffset: " << UserOffset << "\n";
    out << "UserOffsetDistance: " << UserOffsetDistance << "\n";
    out << "Operator: " << Operator << "\n";
    out << "Comments: " << Comments << "\n";
    return out;
}

} // namespace sor
