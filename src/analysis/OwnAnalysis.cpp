#include "analysis/OwnAnalysis.h"

#include "analysis/Sentinels.h"
#include "analysis/WidePath.h"

#include "sor/SORParser.h"

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
        m.reflective = e.kind == EventKind::Reflective || (e.kind == EventKind::End && e.reflectance);
        m.end = e.kind == EventKind::End;
        list.push_back(m);
    }
    return list;
}

FileSummary summarizeOwn(
    const sor::SORParser& parser, const OwnAnalysis& analysis, std::string file, const Thresholds& cables)
{
    return summarize(parser, std::move(file), cables, eventMeasures(analysis));
}

FileSummary summarizeFileOwn(const std::string& path, std::string file, const Thresholds& thresholds)
{
    const sor::SORParser parser(widePath(path));
    return summarizeOwn(parser, analyse(parser, thresholds.detection), std::move(file), thresholds);
}

} // namespace analysis
