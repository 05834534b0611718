#include "sor/SectionParser_Events.h"

#include <iostream>

namespace sor {

double timeToDistance(double t, double ior) { return t * 0.0000001 * speedOfLight / ior; }

namespace {
    std::string eventType(const std::string& code)
    {
        std::string type;
        const char kind = code.size() > 0 ? code[0] : '\0';
        const char mark = code.size() > 1 ? code[1] : '\0';
        if (mark == 'E')
            type += "end of fiber ";
        if (kind == '0')
            type += "loss/gain event ";
        else if (kind == '1')
            type += "reflection event ";
        else if (kind == '2')
            type += "multiple event ";
        if (mark == 'A')
            type += "manual ";
        type += "(" + code + ")";
        return type;
    }
} // namespace

void SectionParser_Events::parse()
{
    throwIfParsed();
    NumberOfEvents = scan_word();
    for (unsigned n = 0; n < NumberOfEvents; ++n) {
        KeyEventData e;
        e.EventNr = scan_word();
        e.TimeOfTravel = static_cast<int32_t>(scan_dword());
        e.Slope_Raw = static_cast<int16_t>(scan_word());
        e.SpliceLoss_Raw = static_cast<int16_t>(scan_word());
        e.ReflectionLoss_Raw = static_cast<int32_t>(scan_dword());
        e.EventCode = scan_char(8);
        e.EndOfPrevEvent_Raw = scan_dword();
        e.BeginOfCurrentEvent_Raw = scan_dword();
        e.EndOfCurrentEvent_Raw = scan_dword();
        e.BeginOfNextEvent_Raw = scan_dword();
        e.PeakPointCurrent_Raw = scan_dword();
        e.Comment = scan_string();
        keyEvents.push_back(std::move(e));
    }
    TotalLoss_Raw = static_cast<int32_t>(scan_dword());
    FiberStart_Raw = static_cast<int32_t>(scan_dword());
    FiberLength_Raw = scan_dword();
    ORL_Raw = scan_word();
    ORL_Start_Raw = static_cast<int32_t>(scan_dword());
    ORL_Length_Raw = scan_dword();
    parsed = true;
}

void SectionParser_Events::processEventData(double ior)
{
    for (auto& e : keyEvents) {
        e.Distance = timeToDistance(e.TimeOfTravel, ior);
        e.Slope = e.Slope_Raw * 0.001;
        e.SpliceLoss = e.SpliceLoss_Raw * 0.001;
        e.ReflectionLoss = e.ReflectionLoss_Raw * 0.001;
        e.EndOfPrevEvent = timeToDistance(e.EndOfPrevEvent_Raw, ior);
        e.BeginOfCurrentEvent = timeToDistance(e.BeginOfCurrentEvent_Raw, ior);
        e.EndOfCurrentEvent = timeToDistance(e.EndOfCurrentEvent_Raw, ior);
        e.BeginOfNextEvent = timeToDistance(e.BeginOfNextEvent_Raw, ior);
        e.PeakPointCurrent = timeToDistance(e.PeakPointCurrent_Raw, ior);
        e.EventType = eventType(e.EventCode);
    }
    TotalLoss = TotalLoss_Raw * 0.001;
    FiberStart = timeToDistance(FiberStart_Raw, ior);
    FiberLength = timeToDistance(FiberLength_Raw, ior);
    ORL = ORL_Raw * 0.001;
    ORL_Start = timeToDistance(ORL_Start_Raw, ior);
    ORL_Length = timeToDistance(ORL_Length_Raw, ior);
}

std::stringstream SectionParser_Events::stringstream() const
{
    throwIfNotParsed();
    auto out = dumpHeader();
    out << "Number of Events: " << NumberOfEvents << "\n";
    for (const auto& e : keyEvents)
        out << e.string(" - ");
    out << "TotalLoss: " << TotalLoss << "\n";
    out << "FiberStart: " << FiberStart << "\n";
    out << "FiberLength: " << FiberLength << "\n";
    out << "ORL: " << ORL << "\n";
    out << "ORL_Start: " << ORL_Start << "\n";
    out << "ORL_Length: " << ORL_Length << "\n";
    return out;
}

std::stringstream KeyEventData::stringstream(std::string prefix) const
{
    std::stringstream out;
    out << "EventNr: " << EventNr << "\n";
    out << prefix << "EventType: " << EventType << "\n";
    out << prefix << "Distance: " << Distance << "\n";
    out << prefix << "TimeOfTravel: " << TimeOfTravel << "\n";
    out << prefix << "Slope: " << Slope << "\n";
    out << prefix << "SpliceLoss: " << SpliceLoss << "\n";
    out << prefix << "ReflectionLoss: " << ReflectionLoss << "\n";
    out << prefix << "EndOfPrevEvent_Raw: " << EndOfPrevEvent_Raw << "\n";
    out << prefix << "BeginOfCurrentEvent_Raw: " << BeginOfCurrentEvent_Raw << "\n";
    out << prefix << "EndOfCurrentEvent_Raw: " << EndOfCurrentEvent_Raw << "\n";
    out << prefix << "BeginOfNextEvent_Raw: " << BeginOfNextEvent_Raw << "\n";
    out << prefix << "PeakPointCurrent_Raw: " << PeakPointCurrent_Raw << "\n";
    out << prefix << "EndOfPrevEvent: " << EndOfPrevEvent << "\n";
    out << prefix << "BeginOfCurrentEvent: " << BeginOfCurrentEvent << "\n";
    out << prefix << "EndOfCurrentEvent: " << EndOfCurrentEvent << "\n";
    out << prefix << "BeginOfNextEvent: " << BeginOfNextEvent << "\n";
    out << prefix << "PeakPointCurrent: " << PeakPointCurrent << "\n";
    out << prefix << "Comment: " << Comment << "\n";
    return out;
}

std::string KeyEventData::string(std::string prefix) const { return stringstream(std::move(prefix)).str(); }

void KeyEventData::print(std::string prefix) const { std::cout << string(std::move(prefix)) << std::flush; }

} // namespace sor
