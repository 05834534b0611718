#include "sor/SectionParser_Fxd.h"

#include "sor/Exceptions.h"

#include <ctime>

namespace sor {

namespace {
    std::string describe(const std::string& code, std::initializer_list<std::pair<const char*, const char*>> table)
    {
        for (const auto& [key, text] : table)
            if (code == key)
                return text;
        return code;
    }
} // namespace

void SectionParser_Fxd::parse()
{
    throwIfParsed();
    Date_seconds = scan_dword();
    Units = scan_char(2);
    Wavelength_Raw = scan_word();
    AquOffset = static_cast<int32_t>(scan_dword());
    AquOffsetDist = static_cast<int32_t>(scan_dword());
    NumberPulseWidthEntries = scan_word();
    if (NumberPulseWidthEntries != 1)
        SOR_THROW(_Exc_NotImplemented,
            "Only one trace per file is supported. This file has " + std::to_string(NumberPulseWidthEntries) + ".");
    PulseWidth = scan_word();
    SampleSpacing = scan_dword();
    NumberOfDataPoints = scan_dword();
    IndexRefraction_Raw = scan_dword();
    BackscatterCoef_Raw = scan_word();
    NumberOfAverages = scan_dword();
    AveragingTime = scan_word();
    Range_Raw = scan_dword();
    AquRangeDist = static_cast<int32_t>(scan_dword());
    FrontPanelOffset = static_cast<int32_t>(scan_dword());
    NoiseFloorLevel = scan_word();
    NoiseFloorScaling = static_cast<int16_t>(scan_word());
    PowerOffsetFirstPoint = scan_word();
    LossThreshold_Raw = scan_word();
    ReflectionThreshold_Raw = scan_word();
    EOT_Threshold_Raw = scan_word();
    TraceType = scan_char(2);
    X1 = static_cast<int32_t>(scan_dword());
    Y1 = static_cast<int32_t>(scan_dword());
    X2 = static_cast<int32_t>(scan_dword());
    Y2 = static_cast<int32_t>(scan_dword());
    processData();
    parsed = true;
}

void SectionParser_Fxd::processData()
{
    const std::time_t seconds = static_cast<std::time_t>(Date_seconds);
    std::tm local {};
    char buffer[64] = {};
    if (localtime_r(&seconds, &local) && std::strftime(buffer, sizeof buffer, "%F %T", &local) > 0)
        Date = buffer;
    else
        Date.clear();

    Wavelength = Wavelength_Raw / 10.0;
    IOR = IndexRefraction_Raw * 0.00001;
    // Divided by the raw index, which carries the factor 100000.
    SampleDistance = SampleSpacing * 0.001 * 299.792458 / IndexRefraction_Raw;
    BackscatterCoef_dB = BackscatterCoef_Raw * (-0.1);
    Range = static_cast<uint32_t>(2u * Range_Raw) * 0.00001;
    LossThreshold_dB = LossThreshold_Raw * 0.001;
    EOT_Threshold_dB = EOT_Threshold_Raw * 0.001;
    ReflectionThreshold_dB = ReflectionThreshold_Raw * (-0.001);
    UnitsDescription = describe(Units,
        { { "km", "km (kilometres)" }, { "mt", "mt (metres)" }, { "ft", "ft (feet)" }, { "kf", "kf (kilo-feet)" },
            { "mi", "mi (miles)" } });
    TraceTypeDescription = describe(TraceType,
        { { "ST", "ST (standard trace)" }, { "RT", "RT (reverse trace)" }, { "DT", "DT (difference trace)" },
            { "RF", "RF (reference)" } });
}

std::stringstream SectionParser_Fxd::stringstream() const
{
    throwIfNotParsed();
    auto out = dumpHeader();
    out << "Date_seconds: " << Date_seconds << "\n";
    out << "Date: " << Date << "\n";
    out << "Units: " << UnitsDescription << "\n";
    out << "Wavelength: " << Wavelength << "\n";
    out << "AquOffset: " << AquOffset << "\n";
    out << "AquOffsetDist: " << AquOffsetDist << "\n";
    out << "NumberPulseWidthEntries: " << NumberPulseWidthEntries << "\n";
    out << "PulseWidth: " << PulseWidth << "\n";
    out << "SampleSpacing: " << SampleSpacing << "\n";
    out << "NumberOfDataPoints: " << NumberOfDataPoints << "\n";
    out << "IndexRefraction_Raw: " << IndexRefraction_Raw << "\n";
    out << "IOR: " << IOR << "\n";
    out << "BackscatterCoef_Raw: " << BackscatterCoef_Raw << "\n";
    out << "BackscatterCoef_dB: " << BackscatterCoef_dB << "\n";
    out << "NumberOfAverages: " << NumberOfAverages << "\n";
    out << "AveragingTime: " << AveragingTime << "\n";
    out << "Range: " << Range << "\n";
    out << "AquRangeDist: " << AquRangeDist << "\n";
    out << "FrontPanelOffset: " << FrontPanelOffset << "\n";
    out << "NoiseFloorLevel: " << NoiseFloorLevel << "\n";
    out << "NoiseFloorScaling: " << NoiseFloorScaling << "\n";
    out << "PowerOffsetFirstPoint: " << PowerOffsetFirstPoint << "\n";
    out << "LossThreshold_dB: " << LossThreshold_dB << "\n";
    out << "ReflectionThreshold_dB: " << ReflectionThreshold_dB << "\n";
    out << "EOT_Threshold_dB: " << EOT_Threshold_dB << "\n";
    out << "TraceType: " << TraceTypeDescription << "\n";
    out << "X1: " << X1 << "\n";
    out << "Y1: " << Y1 << "\n";
    out << "X2: " << X2 << "\n";
    out << "Y2: " << Y2 << "\n";
    return out;
}

} // namespace sor
