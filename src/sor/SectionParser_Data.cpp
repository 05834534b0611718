#include "sor/SectionParser_Data.h"

#include "sor/Exceptions.h"

namespace sor {

void SectionParser_Data::parse()
{
    throwIfParsed();
    NumberOfPoints = scan_dword();
    NumberOfTraces = scan_word();
    if (NumberOfTraces != 1)
        SOR_THROW(_Exc_NotImplemented,
            "Only one trace per file is supported. This file has " + std::to_string(NumberOfTraces) + ".");
    NumberOfPoints_Trace = scan_dword();
    const uint16_t scaling = scan_word();
    ScalingFactor = scaling == 0 ? 1000 : scaling;
    scan_words(DataPoints, NumberOfPoints);
    parsed = true;
}

std::stringstream SectionParser_Data::stringstream() const
{
    throwIfNotParsed();
    auto out = dumpHeader();
    out << "NumberOfPoints: " << NumberOfPoints << "\n";
    out << "NumberOfTraces: " << NumberOfTraces << "\n";
    out << "NumberOfPoints_Trace: " << NumberOfPoints_Trace << "\n";
    out << "ScalingFactor: " << ScalingFactor << "\n";
    return out;
}

} // namespace sor
