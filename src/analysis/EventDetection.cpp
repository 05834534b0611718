#include "analysis/EventDetection.h"

#include "analysis/TraceDetector.h"
#include "analysis/TraceNoise.h"

#include <algorithm>
#include <limits>
#include <cmath>
#include <numeric>

namespace analysis {

const char* eventKindName(OwnEventKind kind)
{
    switch (kind) {
    case OwnEventKind::Splice:
        return "splice";
    case OwnEventKind::Reflective:
        return "reflective";
    case OwnEventKind::Bend:
        return "bend";
    case OwnEventKind::Gain:
        return "gain";
    case OwnEventKind::End:
        return "end";
    }
    return "splice";
}

double typicalBackscatter(std::optional<double> wavelengthNm)
{
    // Single-mode glass: about -79.5 dB at 1310 nm, -81.5 dB at 1550 nm and beyond; multimode scatters more.
    if (!wavelengthNm || !std::isfinite(*wavelengthNm))
        return -80.0;
    if (*wavelengthNm < 1000)
        return -68.0;
    return *wavelengthNm < 1400 ? -79.5 : -81.5;
}

double reflectanceOfPeak(double heightDb, double backscatterDb, double pulseWidthNs)
{
    const double share = std::pow(10.0, heightDb / 5) - 1;
    if (!(share > 0) || !(pulseWidthNs > 0))
        return -std::numeric_limits<double>::infinity();
    return backscatterDb + 10 * std::log10(share * pulseWidthNs);
}

double peakOfReflectance(double reflectanceDb, double backscatterDb, double pulseWidthNs)
{
    if (!(pulseWidthNs > 0))
        return 0;
    return 5 * std::log10(1 + std::pow(10.0, (reflectanceDb - backscatterDb) / 10) / pulseWidthNs);
}

} // namespace analysis


namespace analysis {

OwnAnalysis detectEvents(const TraceSamples& trace, const Acquisition& acquisition, const DetectionThresholds& t)
{
    if (!trace.db || trace.size == 0 || !(trace.stepKm > 0) || !std::isfinite(trace.stepKm)
        || !std::isfinite(trace.startKm)
        || !std::all_of(trace.db, trace.db + trace.size, [](double v) { return std::isfinite(v); })) {
        OwnAnalysis none;
        none.thresholds = t;
        return none;
    }
    thread_local TraceDetector::Workspace workspace;
    OwnAnalysis result = TraceDetector(trace, acquisition, t, workspace).run();
    if (trace.size > (1u << 22))
        workspace.release(); // a very long trace's arrays are not kept for the next
    remeasure(result, trace, acquisition);
    // Measured between their neighbours, a peak weaker than the reflectance threshold is a step, and a step smaller
    // than the splice threshold none; the others are measured again without them.
    bool changed = false;
    for (OwnEvent& e : result.events) {
        if (e.kind == OwnEventKind::Reflective && !(e.reflectance && *e.reflectance >= t.reflectance)) {
            e.kind = e.loss && *e.loss < 0 ? OwnEventKind::Gain : OwnEventKind::Splice;
            e.reflectance.reset();
            changed = true;
        }
    }
    const auto kept = std::remove_if(result.events.begin(), result.events.end(), [&](const OwnEvent& e) {
        return (e.kind == OwnEventKind::Splice || e.kind == OwnEventKind::Gain) && !(e.loss && std::fabs(*e.loss) >= t.spliceLoss);
    });
    changed = changed || kept != result.events.end();
    result.events.erase(kept, result.events.end());
    if (changed)
        remeasure(result, trace, acquisition);
    return result;
}

namespace {
    // The glass's attenuation over a stretch of the trace, dB/km: the median slope of fits over chunks of it, which
    // the few events among them hardly move; none where the stretch holds no chunk.
    std::optional<double> typicalAttenuation(const TraceSamples& trace, double fromKm, double toKm, double chunkKm)
    {
        // A hundred chunks spread over the stretch tell the median well enough.
        std::vector<double> slopes;
        const double chunks = std::floor((toKm - fromKm) / chunkKm);
        const double stride = std::max(1.0, std::floor(chunks / 100)) * chunkKm;
        for (double from = fromKm; from + chunkKm <= toKm; from += stride) {
            if (const auto line = fitLine(trace, from, from + chunkKm))
                slopes.push_back(-line->slope);
        }
        if (slopes.size() < 3)
            return std::nullopt;
        return medianOf(slopes);
    }

    // The lowest level between two places: where no line of backscatter fits between two events, the trace's
    // lowest point between them stands for the backscatter there.
    std::optional<double> lowestBetween(const TraceSamples& trace, double fromKm, double toKm)
    {
        const double i0 = std::max(0.0, std::ceil((fromKm - trace.startKm) / trace.stepKm));
        const double i1 = std::min(static_cast<double>(trace.size) - 1, std::floor((toKm - trace.startKm) / trace.stepKm));
        if (!(i1 >= i0))
            return std::nullopt;
        double lowest = std::numeric_limits<double>::infinity();
        for (auto i = static_cast<size_t>(i0); i <= static_cast<size_t>(i1); ++i)
            lowest = std::min(lowest, trace.db[i]);
        return lowest;
    }
} // namespace

void remeasure(OwnAnalysis& analysis, const TraceSamples& trace, const Acquisition& acquisition)
{
    auto& events = analysis.events;
    std::stable_sort(events.begin(), events.end(), [](const OwnEvent& a, const OwnEvent& b) { return a.km < b.km; });
    if (events.empty() || !trace.db || trace.size == 0 || !(trace.stepKm > 0))
        return;
    const double pulseKm = pulseLengthKm(std::max(acquisition.pulseWidthNs, 0.0));
    const double dz = deadZoneKm(acquisition.pulseWidthNs, trace.stepKm);
    const double recovery = recoveryKm(acquisition.pulseWidthNs);
    const double backscatter = acquisition.backscatterCoefficient.value_or(typicalBackscatter(acquisition.wavelengthNm));
    const double window = std::max({ fitWindowKm, 2 * pulseKm, 20 * trace.stepKm });
    // A line after an event is backscatter when it falls about as the glass does elsewhere on the trace: a
    // receiver still recovering from a reflection falls faster.
    const double lastKm = trace.startKm + static_cast<double>(trace.size - 1) * trace.stepKm;
    const double endKm = events.back().kind == OwnEventKind::End ? events.back().km : lastKm;
    const auto glass = typicalAttenuation(
        trace, std::max(trace.startKm, acquisition.frontPanelKm + dz + recovery), endKm, std::max(window / 2, 0.1));
    double steepest = maxGlassAttenuationAt(acquisition.wavelengthNm.value_or(std::numeric_limits<double>::quiet_NaN()));
    if (glass && *glass > 0)
        steepest = std::min(steepest, std::max(2 * *glass, *glass + 0.15));

    const auto reflects = [](const OwnEvent& e) { return e.kind == OwnEventKind::Reflective || e.reflectance; };
    // Where a found event starts is known to a few samples, one placed by hand only to the dead zone; how long it
    // lasts, the analysis saw, else the pulse and the receiver's recovery.
    const auto near = [&](const OwnEvent& e) { return e.settleKm > 0 && e.edit == Edit::None ? 3 * trace.stepKm : dz; };
    const auto settle = [&](const OwnEvent& e) {
        const double assumed = dz + (reflects(e) ? recovery : 0.0);
        return e.settleKm > 0 ? std::max(e.settleKm, reflects(e) ? assumed : near(e)) : assumed;
    };
    for (size_t k = 0; k < events.size(); ++k) {
        OwnEvent& e = events[k];
        EventWindow w;
        w.atKm = e.km;
        w.deadZoneKm = near(e);
        w.recoveryKm = settle(e) - w.deadZoneKm;
        w.windowKm = window;
        w.maxAttenuation = steepest;
        w.previousKm = acquisition.frontPanelKm;
        w.previousRecoveryKm = std::max(0.0, dz + recovery - w.deadZoneKm);
        if (k > 0) {
            w.previousKm = events[k - 1].km;
            w.previousRecoveryKm = std::max(0.0, settle(events[k - 1]) - w.deadZoneKm);
        }
        if (k + 1 < events.size())
            w.nextKm = events[k + 1].km;
        auto before = levelBeside(trace, w, Side::Before);
        if (!before && k > 0)
            before = lowestBetween(trace, events[k - 1].km, e.km);
        e.loss.reset();
        if (e.kind != OwnEventKind::End) {
            auto after = levelBeside(trace, w, Side::After);
            if (!after && k + 1 < events.size())
                after = lowestBetween(trace, e.km + settle(e) / 2, events[k + 1].km);
            if (before && after)
                e.loss = *before - *after;
        }
        if (reflects(e) && before) {
            // The peak's top within the time the event takes to pass.
            const double i0 = std::ceil((e.km - trace.startKm) / trace.stepKm);
            const double i1 = std::floor((e.km + settle(e) - trace.startKm) / trace.stepKm);
            double top = -std::numeric_limits<double>::infinity();
            for (double i = std::max(0.0, i0); i <= i1 && i < static_cast<double>(trace.size); ++i)
                top = std::max(top, trace.db[static_cast<size_t>(i)]);
            const double height = top - *before;
            if (height > 0)
                e.reflectance = reflectanceOfPeak(height, backscatter, acquisition.pulseWidthNs);
            else
                e.reflectance.reset();
        }
        const auto slope = sectionAttenuation(trace, w.previousKm + settle(k > 0 ? events[k - 1] : e), e.km, near(e));
        e.attenuationBefore = slope && *slope > 0 && *slope < 10 ? slope : std::nullopt;
        if (e.kind == OwnEventKind::Splice || e.kind == OwnEventKind::Gain)
            e.kind = e.loss && *e.loss < 0 ? OwnEventKind::Gain : OwnEventKind::Splice;
    }
}

} // namespace analysis
