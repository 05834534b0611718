#include "analysis/OwnAnalysis.h"

#include "analysis/EventEditing.h"
#include "analysis/Sentinels.h"
#include "analysis/WidePath.h"

#include "sor/SORParser.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace analysis {

Acquisition acquisitionOf(const sor::SORParser& parser)
{
    Acquisition a;
    a.pulseWidthNs = parser.fxd.PulseWidth;
    a.backscatterCoefficient = measuredBackscatter(parser.fxd.BackscatterCoef_Raw);
    a.wavelengthNm = nominalWavelength(parser.gen.parsed ? parser.gen.Wavelength : 0.0, parser.fxd.Wavelength);
    a.frontPanelKm = -parser.userOffsetKm();
    return a;
}

OwnAnalysis analyse(const sor::SORParser& parser, const DetectionThresholds& thresholds)
{
    if (!parser.fileParsed) {
        OwnAnalysis none;
        none.thresholds = thresholds;
        return none;
    }
    thread_local std::vector<double> levels;
    const TraceSamples trace = traceOf(parser, levels);
    OwnAnalysis result = detectEvents(trace, acquisitionOf(parser), thresholds);
    if (levels.capacity() > (1u << 20))
        std::vector<double>().swap(levels);
    return result;
}

std::vector<EventMeasure> eventMeasures(const OwnAnalysis& analysis)
{
    std::vector<EventMeasure> list;
    list.reserve(analysis.events.size());
    for (const OwnEvent& e : analysis.events) {
        EventMeasure m;
        m.km = e.km;
        m.loss = e.loss;
        m.reflectance = e.reflectance;
        m.slopeBefore = e.attenuationBefore;
        m.reflective = e.kind == OwnEventKind::Reflective || (e.kind == OwnEventKind::End && e.reflectance);
        m.end = e.kind == OwnEventKind::End;
        list.push_back(m);
    }
    return list;
}

FileSummary summarizeOwn(
    const sor::SORParser& parser, const OwnAnalysis& analysis, std::string file, const Thresholds& cables)
{
    return summarize(parser, std::move(file), cables, eventMeasures(analysis));
}

namespace {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();

    // km to the events' 0.1 ns with the group index, the inverse of the reader's conversion.
    int32_t timeOf(double km, double ior)
    {
        const double t = std::round(km * ior / (0.0000001 * sor::speedOfLight));
        return static_cast<int32_t>(std::clamp(t, -2147483647.0, 2147483647.0));
    }

    template <typename Raw> Raw milli(double v, double least, double most)
    {
        return static_cast<Raw>(std::clamp(std::round(v * 1000), least, most));
    }

    // The code as instruments write it: the kind (0 loss or gain, 1 reflection), the mark (F found, A added by hand,
    // M moved by hand, E the end), the loss measurement (LS: least squares).
    std::string codeOf(const OwnEvent& e)
    {
        const bool reflects = e.kind == OwnEventKind::Reflective || (e.kind == OwnEventKind::End && e.reflectance);
        const char mark = e.kind == OwnEventKind::End ? 'E'
            : e.edit == Edit::Added                 ? 'A'
            : e.edit == Edit::Moved                 ? 'M'
                                                    : 'F';
        return std::string(1, reflects ? '1' : '0') + mark + "9999LS";
    }

    // The values as a file holds them, to the thousandth.
    double thousandths(double v) { return std::round(v * 1000) / 1000; }
} // namespace

sor::SORParser withOwnEvents(const sor::SORParser& file, const OwnAnalysis& analysis)
{
    sor::SORParser shown = file;
    if (!file.fileParsed)
        return shown;
    const double ior = file.fxd.IOR > 0 ? file.fxd.IOR : 1.468;
    const FileSummary summary = summarizeOwn(file, analysis, std::string());
    auto& block = shown.events;
    block.parsed = true;
    block.keyEvents.clear();
    const auto& events = analysis.events;
    for (size_t k = 0; k < events.size(); ++k) {
        const OwnEvent& e = events[k];
        sor::KeyEventData d;
        d.EventNr = static_cast<uint16_t>(std::min<size_t>(k + 1, 65535));
        d.TimeOfTravel = timeOf(e.km, ior);
        d.Distance = e.km;
        // Not measured: the fields' placeholders, which every reader takes for none.
        d.SpliceLoss_Raw = e.loss ? milli<int16_t>(*e.loss, -32767, 32766) : int16_t(32767);
        d.SpliceLoss = e.loss ? thousandths(*e.loss) : nan;
        d.ReflectionLoss_Raw = e.reflectance ? milli<int32_t>(*e.reflectance, -2147483647.0, -1) : 0;
        d.ReflectionLoss = e.reflectance ? thousandths(*e.reflectance) : nan;
        d.Slope_Raw = e.attenuationBefore ? milli<int16_t>(*e.attenuationBefore, 1, 32766) : int16_t(0);
        d.Slope = e.attenuationBefore ? thousandths(*e.attenuationBefore) : nan;
        d.EventCode = codeOf(e);
        d.EventType = (e.kind == OwnEventKind::End ? "end of fiber " : "")
            + std::string(d.EventCode[0] == '1' ? "reflection event " : "loss/gain event ")
            + (d.EventCode[1] == 'A' ? "manual " : "") + "(" + d.EventCode + ")";
        d.Comment = editName(e.edit);
        const auto marker = [&](double km, uint32_t& raw, double& distance) {
            raw = static_cast<uint32_t>(std::max(0, timeOf(km, ior)));
            distance = km;
        };
        marker(k > 0 ? events[k - 1].km : e.km, d.EndOfPrevEvent_Raw, d.EndOfPrevEvent);
        marker(e.km, d.BeginOfCurrentEvent_Raw, d.BeginOfCurrentEvent);
        marker(e.km + e.settleKm, d.EndOfCurrentEvent_Raw, d.EndOfCurrentEvent);
        marker(k + 1 < events.size() ? events[k + 1].km : e.km, d.BeginOfNextEvent_Raw, d.BeginOfNextEvent);
        marker(e.km, d.PeakPointCurrent_Raw, d.PeakPointCurrent);
        block.keyEvents.push_back(d);
    }
    block.NumberOfEvents = static_cast<uint16_t>(std::min<size_t>(block.keyEvents.size(), 65535));
    // The trace's figures where the analysis gives them; none where it does not.
    block.TotalLoss_Raw = summary.totalLoss ? milli<int32_t>(*summary.totalLoss, 1, 99999) : 0;
    block.TotalLoss = summary.totalLoss.value_or(nan);
    block.FiberStart_Raw = 0;
    block.FiberStart = 0;
    const auto end = std::find_if(events.begin(), events.end(), [](const OwnEvent& e) { return e.kind == OwnEventKind::End; });
    block.FiberLength_Raw = end != events.end() ? static_cast<uint32_t>(std::max(0, timeOf(end->km, ior))) : 0;
    block.FiberLength = end != events.end() ? end->km : nan;
    return shown;
}

bool useOwnAnalysis(FibreFile& file, const Thresholds& thresholds)
{
    if (!file.summary.parsed)
        return false;
    const sor::SORParser parser(widePath(file.path), sor::nowhere(), sor::nowhere());
    if (!parser.fileParsed)
        return false;
    FileSummary own = summarizeOwn(parser, analyse(parser, thresholds.detection), file.summary.file, thresholds);
    std::vector<EventMeasure> events = own.eventList;
    file.summary = std::move(own);
    useEvents(file, std::move(events), thresholds);
    return true;
}

FileSummary summarizeFileOwn(const std::string& path, std::string file, const Thresholds& thresholds)
{
    const sor::SORParser parser(widePath(path), sor::nowhere(), sor::nowhere());
    return summarizeOwn(parser, analyse(parser, thresholds.detection), std::move(file), thresholds);
}

} // namespace analysis
