#include "analysis/FileSummary.h"

#include "analysis/ChecksumDiagnosis.h"
#include "analysis/Sentinels.h"
#include "analysis/TableNumbers.h"
#include "analysis/TextEncoding.h"
#include "analysis/TraceMeasure.h"
#include "analysis/WidePath.h"

#include "sor/SORParser.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace analysis {

namespace {
    bool isFibreEnd(const sor::KeyEventData& e) { return e.EventCode.size() >= 2 && e.EventCode[1] == 'E'; }

    // The code says it for kinds 0 and 1; a multiple or unknown event counts as reflective when it has a
    // reflectance.
    bool isReflective(const sor::KeyEventData& e)
    {
        const char kind = e.EventCode.empty() ? '\0' : e.EventCode[0];
        if (kind == '0' || kind == '1')
            return kind == '1';
        return measuredReflectance(e.ReflectionLoss_Raw).has_value();
    }

    // Instruments pad their texts with blanks.
    std::string trimmed(const std::string& text)
    {
        const auto first = text.find_first_not_of(" \t\r\n");
        if (first == std::string::npos)
            return {};
        return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
    }

    void keepWorst(WorstEvent& worst, const std::optional<double>& value, const std::optional<double>& km)
    {
        if (value && (!worst.value || *value > *worst.value))
            worst = { value, km };
    }

    // The events of the file's table, their values checked against what instruments write for none.
    std::vector<EventMeasure> fileEvents(const FileSummary& s, const sor::SORParser& parser, const TraceSamples& trace)
    {
        const auto& events = parser.events.keyEvents;
        const double step = trace.stepKm;
        const std::optional<TraceExtent> extent = trace.size > 0
            ? std::optional<TraceExtent>({ trace.startKm, trace.startKm + static_cast<double>(trace.size - 1) * step })
            : std::nullopt;
        std::vector<EventMeasure> list;
        list.reserve(events.size());
        for (const auto& e : events) {
            EventMeasure m;
            m.end = isFibreEnd(e);
            m.reflective = isReflective(e);
            m.km = extent                   ? onTrace(e.Distance, *extent, step)
                : std::isfinite(e.Distance) ? std::optional<double>(e.Distance)
                                            : std::nullopt;
            m.loss = measuredEventLoss(e.SpliceLoss_Raw, m.km && *m.km <= s.traceStartKm + s.deadZoneKm);
            m.reflectance = measuredReflectance(e.ReflectionLoss_Raw);
            m.slopeBefore = measuredSlope(e.Slope_Raw);
            list.push_back(m);
        }
        return list;
    }

    // The backscatter beside each event read on the trace, and the slope of the sections that have none.
    void measureEvents(FileSummary& s, double pulseWidthNs, const TraceSamples& trace)
    {
        // Neighbours by position: files list their events in order, but not every file.
        std::vector<size_t> placed;
        for (size_t i = 0; i < s.eventList.size(); ++i) {
            if (s.eventList[i].km)
                placed.push_back(i);
        }
        std::stable_sort(
            placed.begin(), placed.end(), [&](size_t a, size_t b) { return *s.eventList[a].km < *s.eventList[b].km; });
        // The front panel reflects like a connector whatever its code says.
        const double recovery = recoveryKm(pulseWidthNs);
        const double frontPanelKm = trace.startKm + s.deadZoneKm;
        const double steepest = maxGlassAttenuationAt(s.wavelength.value_or(unknown));
        const auto recoveryAfter = [&](size_t i) {
            const auto& m = s.eventList[i];
            return m.reflective || *m.km <= frontPanelKm ? recovery : 0.0;
        };
        for (size_t k = 0; k < placed.size(); ++k) {
            EventMeasure& m = s.eventList[placed[k]];
            EventWindow w;
            w.atKm = *m.km;
            w.deadZoneKm = s.deadZoneKm;
            w.recoveryKm = recoveryAfter(placed[k]);
            w.maxAttenuation = steepest;
            // Without an event before, the front panel is.
            w.previousKm = trace.startKm;
            w.previousRecoveryKm = recovery;
            if (k > 0) {
                w.previousKm = *s.eventList[placed[k - 1]].km;
                w.previousRecoveryKm = recoveryAfter(placed[k - 1]);
            }
            if (k + 1 < placed.size())
                w.nextKm = *s.eventList[placed[k + 1]].km;
            m.levelBefore = levelBeside(trace, w, Side::Before);
            m.levelAfter = levelBeside(trace, w, Side::After);
            if (!m.slopeBefore) {
                const auto measured
                    = sectionAttenuation(trace, w.previousKm + w.previousRecoveryKm, w.atKm, s.deadZoneKm);
                // A fit in the noise or across a hidden event is no glass.
                if (measured && *measured > 0 && *measured < 10)
                    m.slopeBefore = measured;
            }
        }

        // The backscatter where a fibre without launch cable starts: after the event at 0, or after 0 itself.
        EventWindow zero;
        zero.deadZoneKm = s.deadZoneKm;
        zero.recoveryKm = 0 <= frontPanelKm ? recovery : 0.0;
        zero.previousKm = trace.startKm;
        zero.previousRecoveryKm = recovery;
        zero.maxAttenuation = steepest;
        for (const size_t i : placed) {
            const double km = *s.eventList[i].km;
            if (std::fabs(km) <= s.deadZoneKm) {
                s.levelAtZero = s.eventList[i].levelAfter;
                return;
            }
            if (km < 0) {
                zero.previousKm = km;
                zero.previousRecoveryKm = recoveryAfter(i);
            } else if (km < zero.nextKm) {
                zero.nextKm = km;
            }
        }
        s.levelAtZero = levelBeside(trace, zero, Side::After);
    }

    // The event nearest km in (after, before), the end excepted, when it lies within tolerance of km.
    int nearestEvent(const FileSummary& s, double km, double tolerance, double after, double before)
    {
        int best = -1;
        for (size_t i = 0; i < s.eventList.size(); ++i) {
            const auto& e = s.eventList[i];
            if (e.end || !e.km || *e.km <= after || *e.km >= before || std::fabs(*e.km - km) > tolerance)
                continue;
            if (best < 0 || std::fabs(*e.km - km) < std::fabs(*s.eventList[static_cast<size_t>(best)].km - km))
                best = static_cast<int>(i);
        }
        return best;
    }

    // A cable's length as the user knows it and the instrument's distances differ by the group index set and the
    // reel's tolerance.
    double cableTolerance(const CableSetting& c, double deadZone) { return std::max({ 0.1 * c.km, deadZone, 0.05 }); }

    void addReason(std::string& reasons, const std::string& reason)
    {
        reasons += (reasons.empty() ? "" : "; ") + reason;
    }

    // The first (or last) reflective event, the end excepted, with a position in [from, to].
    int reflectiveBetween(const FileSummary& s, double from, double to, bool last)
    {
        int found = -1;
        for (size_t i = 0; i < s.eventList.size(); ++i) {
            const auto& e = s.eventList[i];
            if (e.end || !e.reflective || !e.km || *e.km < from || *e.km > to)
                continue;
            const auto& f = found < 0 ? e : s.eventList[static_cast<size_t>(found)];
            if (found < 0 || (last ? *e.km > *f.km : *e.km < *f.km))
                found = static_cast<int>(i);
        }
        return found;
    }

    // The length-weighted mean of the sections' slopes between the span's ends: the glass's attenuation, which
    // the events' losses take no part in.
    std::optional<double> glassAttenuation(const FileSummary& s, double startKm, double endKm)
    {
        std::vector<const EventMeasure*> inside;
        for (const auto& e : s.eventList) {
            if (e.km && *e.km > startKm && *e.km <= endKm)
                inside.push_back(&e);
        }
        std::stable_sort(inside.begin(), inside.end(), [](auto* a, auto* b) { return *a->km < *b->km; });
        double weighted = 0;
        double length = 0;
        double from = startKm;
        for (const EventMeasure* e : inside) {
            const double section = *e->km - from;
            if (section > 0 && e->slopeBefore) {
                weighted += *e->slopeBefore * section;
                length += section;
            }
            from = *e->km;
        }
        if (!(length > 0))
            return std::nullopt;
        return weighted / length;
    }
} // namespace

void applyCables(FileSummary& s, const Thresholds& cables)
{
    s.span = Span();
    s.fibreLength.reset();
    s.totalLoss.reset();
    s.attenuation.reset();
    s.splice = s.connector = s.reflectance = WorstEvent();
    s.incomplete.clear();
    if (!s.parsed)
        return;

    const auto& events = s.eventList;
    const bool anyEvent = std::any_of(events.begin(), events.end(), [](const EventMeasure& e) { return !e.end; });
    if (s.events < 0 || !anyEvent)
        s.incomplete = noEventsText;
    const double dz = s.deadZoneKm;

    // The start: 0, or the launch cable's end connector, read before it so that the connector counts.
    double startKm = 0;
    std::optional<double> startLevel = s.levelAtZero;
    const double inf = std::numeric_limits<double>::infinity();
    const auto firstEnd
        = std::find_if(events.begin(), events.end(), [](const EventMeasure& e) { return e.end && e.km; });
    const double endOfFibre = firstEnd != events.end() ? *firstEnd->km : inf;
    const auto& launch = cables.launchCable;
    if (launch.mode == CableSetting::Mode::Length) {
        s.span.startEvent = nearestEvent(s, s.traceStartKm + launch.km, cableTolerance(launch, dz), -inf, endOfFibre);
        if (s.span.startEvent < 0)
            addReason(s.incomplete, "no launch cable connector near " + number(launch.km) + " km");
    } else if (launch.mode == CableSetting::Mode::Auto) {
        s.span.startEvent
            = reflectiveBetween(s, s.traceStartKm + dz, std::min(s.traceStartKm + 2.0, endOfFibre), false);
        if (s.span.startEvent < 0)
            addReason(s.incomplete, "no launch cable: no reflective event within 2 km of the start");
    }
    if (s.span.startEvent >= 0) {
        const auto& e = events[static_cast<size_t>(s.span.startEvent)];
        startKm = *e.km;
        startLevel = e.levelBefore;
    }
    s.span.startKm = startKm;

    // The end: the fibre's end event (else the file's length), or the receive cable's start connector, read after
    // it.
    std::optional<double> endKm;
    std::optional<double> endLevel;
    if (firstEnd != events.end()) {
        endKm = firstEnd->km;
        endLevel = firstEnd->levelBefore;
    } else {
        endKm = s.storedFibreLength;
    }
    const auto& receive = cables.receiveCable;
    if (receive.mode == CableSetting::Mode::Length) {
        if (endKm)
            s.span.endEvent = nearestEvent(s, *endKm - receive.km, cableTolerance(receive, dz), startKm, *endKm);
        if (s.span.endEvent < 0)
            addReason(s.incomplete, "no receive cable connector " + number(receive.km) + " km before the end");
    } else if (receive.mode == CableSetting::Mode::Auto) {
        if (endKm)
            s.span.endEvent = reflectiveBetween(s, std::max(*endKm - 2.0, startKm + dz), *endKm - dz, true);
        if (s.span.endEvent < 0)
            addReason(s.incomplete, "no receive cable: no reflective event within 2 km of the end");
    }
    if (s.span.endEvent >= 0) {
        const auto& e = events[static_cast<size_t>(s.span.endEvent)];
        endKm = e.km;
        endLevel = e.levelAfter;
    }
    s.span.endKm = endKm;
    if (endKm && *endKm <= startKm) {
        addReason(s.incomplete, "no fibre between the launch and receive cables");
        return;
    }
    if (endKm)
        s.fibreLength = *endKm - startKm;

    // The events on the span; those on the cables and past the end are listed, not judged.
    const bool launchSet = s.span.startEvent >= 0;
    const bool receiveSet = s.span.endEvent >= 0;
    for (size_t i = 0; i < events.size(); ++i) {
        const auto& e = events[i];
        const bool cableEnd = static_cast<int>(i) == s.span.startEvent || static_cast<int>(i) == s.span.endEvent;
        if (!cableEnd) {
            if (e.end || !e.km)
                continue;
            if (launchSet ? *e.km <= startKm : *e.km < startKm - dz)
                continue;
            if (endKm && (receiveSet ? *e.km >= *endKm : *e.km > *endKm))
                continue;
        }
        keepWorst(cableEnd || e.reflective ? s.connector : s.splice, e.loss, e.km);
        keepWorst(s.reflectance, e.reflectance, e.km);
    }

    // The stored total loss covers the whole trace: with cables, and where it is missing or partial, the trace
    // tells it between the span's ends.
    std::optional<double> measured;
    if (startLevel && endLevel && *startLevel - *endLevel > 0)
        measured = *startLevel - *endLevel;
    if (launchSet || receiveSet)
        s.totalLoss = measured;
    else if (s.storedTotalLoss && !(measured && *measured - *s.storedTotalLoss > std::max(0.5, 0.1 * *measured)))
        s.totalLoss = s.storedTotalLoss;
    else
        s.totalLoss = measured;

    if (endKm)
        s.attenuation = glassAttenuation(s, startKm, *endKm);
}

TraceSamples traceOf(const sor::SORParser& parser, std::vector<double>& buffer)
{
    const auto& samples = parser.data.DataPoints;
    const double scale = parser.data.ScalingFactor * 0.000001;
    buffer.resize(samples.size());
    std::transform(samples.begin(), samples.end(), buffer.begin(), [scale](uint16_t p) { return -(p * scale); });
    TraceSamples trace;
    trace.db = buffer.data();
    trace.size = buffer.size();
    trace.startKm = parser.acquisitionOffsetKm() - parser.userOffsetKm();
    trace.stepKm = parser.fxd.SampleDistance * 0.001;
    return trace;
}

namespace {
    FileSummary summarizeWith(const sor::SORParser& parser, std::string file, const Thresholds& cables,
        const std::vector<EventMeasure>* own)
    {
        FileSummary s;
        s.file = std::move(file);
        s.parsed = parser.fileParsed;
        if (!parser.fileParsed) {
            s.errorText = parser.errorMessage;
            return s;
        }

        if (parser.gen.parsed) {
            s.fibreId = trimmed(fileText(parser, parser.gen.FiberID));
            s.cableId = trimmed(fileText(parser, parser.gen.CableID));
            s.locationA = trimmed(fileText(parser, parser.gen.LocationA));
            s.locationB = trimmed(fileText(parser, parser.gen.LocationB));
        }
        const auto& fxd = parser.fxd;
        s.wavelength = nominalWavelength(parser.gen.parsed ? parser.gen.Wavelength : 0.0, fxd.Wavelength);
        if (fxd.PulseWidth > 0)
            s.pulseWidth = fxd.PulseWidth;
        s.date = fxd.Date;
        s.dateSeconds = fxd.Date_seconds;

        // The buffer is the thread's own: a cable's files are summarized by the thousand, and a fresh one would cost
        // more page faults than the fits cost arithmetic.
        thread_local std::vector<double> levels;
        const TraceSamples trace = traceOf(parser, levels);
        s.traceStartKm = trace.startKm;
        s.deadZoneKm = deadZoneKm(fxd.PulseWidth, trace.stepKm);

        const auto& ev = parser.events;
        if (ev.parsed)
            s.orl = measuredOrl(ev.ORL_Raw);
        if (own) {
            // The events found on the trace: the file's total loss and length belong to its own events.
            s.events = static_cast<int>(own->size());
            s.eventList = *own;
            measureEvents(s, fxd.PulseWidth, trace);
        } else if (ev.parsed) {
            s.events = static_cast<int>(ev.keyEvents.size());
            s.storedTotalLoss = measuredTotalLoss(ev.TotalLoss_Raw);
            if (trace.size > 0) {
                const TraceExtent extent { trace.startKm,
                    trace.startKm + static_cast<double>(trace.size - 1) * trace.stepKm };
                s.storedFibreLength = measuredLength(ev.FiberLength, extent, trace.stepKm);
            } else if (ev.FiberLength > 0 && std::isfinite(ev.FiberLength)) {
                s.storedFibreLength = ev.FiberLength;
            }
            s.eventList = fileEvents(s, parser, trace);
            measureEvents(s, fxd.PulseWidth, trace);
        }
        applyCables(s, cables);
        if (levels.capacity() > (1u << 20))
            std::vector<double>().swap(levels); // a long trace's buffer is not kept for the next file

        const ChecksumDiagnosis checksum = diagnoseChecksum(parser);
        s.checksum = checksum.text;
        s.checksumSuspect = checksum.suspect;
        return s;
    }
} // namespace

FileSummary summarize(const sor::SORParser& parser, std::string file, const Thresholds& cables)
{
    return summarizeWith(parser, std::move(file), cables, nullptr);
}

FileSummary summarize(
    const sor::SORParser& parser, std::string file, const Thresholds& cables, const std::vector<EventMeasure>& events)
{
    return summarizeWith(parser, std::move(file), cables, &events);
}

FileSummary summarizeFile(const std::string& path, std::string file, const Thresholds& cables)
{
    const sor::SORParser parser(widePath(path), sor::nowhere(), sor::nowhere());
    return summarize(parser, std::move(file), cables);
}

} // namespace analysis
