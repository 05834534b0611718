#include "analysis/EventDetection.h"

#include "analysis/TraceNoise.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <cmath>
#include <numeric>

namespace analysis {

const char* eventKindName(EventKind kind)
{
    switch (kind) {
    case EventKind::Splice:
        return "splice";
    case EventKind::Reflective:
        return "reflective";
    case EventKind::Bend:
        return "bend";
    case EventKind::Gain:
        return "gain";
    case EventKind::End:
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

namespace {

    constexpr double stepSpreads = 4.5; ///< a step this many noise spreads large is no noise
    constexpr double peakSpreads = 4.5; ///< nor a peak
    constexpr size_t scales = 3; ///< step fits of 1, 4 and 16 times the shortest window

    // One place on the trace where something happens, before it is measured.
    struct Candidate {
        size_t index = 0; ///< where the event starts
        double step = 0; ///< dB dropped across it, a gain negative
        double height = 0; ///< dB, a peak's top over the backscatter before it
        size_t top = 0; ///< the peak's highest sample
        size_t extent = 0; ///< the sample after the peak
        size_t window = 0; ///< samples each fit of a step took
        bool reflective = false;
        bool saturated = false;
    };

    class Detector {
    public:
        Detector(const TraceSamples& trace, const Acquisition& acquisition, const DetectionThresholds& thresholds)
            : t(trace)
            , acq(acquisition)
            , th(thresholds)
            , y(trace.db)
            , n(trace.size)
            , sums(trace.db, trace.size)
        {
            const double pulseKm = pulseLengthKm(std::max(acq.pulseWidthNs, 0.0));
            pulse = std::max(1.0, pulseKm / t.stepKm);
            const auto whole = static_cast<size_t>(std::ceil(pulse));
            transition = whole + std::max<size_t>(2, whole / 4);
            window = std::max<size_t>(4 * whole, 16);
            recovery = static_cast<size_t>(std::ceil(recoveryKm(acq.pulseWidthNs) / t.stepKm));
            backscatter = acq.backscatterCoefficient.value_or(typicalBackscatter(acq.wavelengthNm));
            maxGlassPerSample = maxGlassAttenuationAt(acq.wavelengthNm.value_or(std::numeric_limits<double>::quiet_NaN())) * t.stepKm;
        }

        OwnAnalysis run();

    private:
        const TraceSamples& t;
        const Acquisition& acq;
        const DetectionThresholds& th;
        const double* y;
        size_t n;
        LineSums sums;
        double pulse = 1; ///< samples
        size_t transition = 3; ///< samples an event takes to pass
        size_t window = 16; ///< the shortest fit, samples
        size_t recovery = 0; ///< samples the receiver takes after a reflection
        double backscatter = -80;
        double maxGlassPerSample = 0;
        size_t first = 0; ///< the first sample of backscatter after the front panel
        size_t fade = 0; ///< the last sample where the trace stands clear of the noise
        std::optional<NoiseFloor> floor;
        std::vector<double> smoothed;


        size_t indexOf(double km) const
        {
            const double i = std::round((km - t.startKm) / t.stepKm);
            return i <= 0 ? 0 : std::min(n - 1, static_cast<size_t>(i));
        }
        double kmOf(double index) const { return t.startKm + index * t.stepKm; }
        bool glass(const LineSums::Line& line) const
        {
            return line.slope <= maxGlassPerSample * 0.05 && -line.slope <= maxGlassPerSample;
        }

        void findFront();
        void findFade();
        std::vector<Candidate> peaks();
        std::vector<Candidate> steps();
        size_t refineStep(size_t at, double step) const;
        bool continuesAfter(size_t from) const;
    };

    void Detector::findFront()
    {
        // Past the instrument's connector, its dead zone and the receiver's recovery, to where the trace falls
        // like glass.
        size_t i = indexOf(acq.frontPanelKm);
        if (kmOf(0) > acq.frontPanelKm)
            i = 0;
        i += transition + recovery;
        const size_t stride = std::max<size_t>(1, window / 3);
        while (i + window < n / 2) {
            const auto line = sums.fit(i, i + window - 1);
            if (-line.slope <= maxGlassPerSample && line.slope <= 0.5 * maxGlassPerSample)
                break;
            i += stride;
        }
        first = i;
    }

    void Detector::findFade()
    {
        smoothed = movingMean(y, n, std::max<size_t>(1, static_cast<size_t>(pulse / 2)));
        const size_t tail = std::max<size_t>(n / 20, 32);
        floor = n > tail + first ? noiseFloor(smoothed, n - tail, maxGlassPerSample) : std::nullopt;
        fade = n - 1;
        if (!floor)
            return;
        // The last run of samples clear of the noise by the end threshold that is longer than a peak in the noise.
        const double clear = floor->top + th.endOfFibre;
        const size_t longRun = 4 * transition + 8;
        size_t runEnd = n;
        for (size_t i = n; i-- > first;) {
            if (smoothed[i] >= clear) {
                if (runEnd == n)
                    runEnd = i;
                if (runEnd - i + 1 >= longRun) {
                    fade = runEnd;
                    return;
                }
            } else {
                runEnd = n;
            }
        }
        fade = first;
    }

    bool Detector::continuesAfter(size_t from) const
    {
        // Backscatter resumes when a line clear of the noise falls like glass somewhere before the fade.
        const size_t span = 2 * window;
        const double clear = floor ? floor->top + th.endOfFibre : -std::numeric_limits<double>::infinity();
        for (size_t i = from; i + span <= fade + 1 && i + span <= n; i += std::max<size_t>(1, span / 3)) {
            const auto line = sums.fit(i, i + span - 1);
            if (glass(line) && line.at(static_cast<double>(i)) >= clear)
                return true;
        }
        return false;
    }

    std::vector<Candidate> Detector::peaks()
    {
        std::vector<Candidate> found;
        const size_t lead = transition + window;
        if (fade < first + lead + 1)
            return found;
        // Each sample over the backscatter before it, the fit ending a transition earlier so that a peak's own
        // rise stays out of its baseline.
        std::vector<double> over(n, std::numeric_limits<double>::quiet_NaN());
        for (size_t i = first + lead; i <= fade; ++i)
            over[i] = y[i] - sums.fit(i - lead, i - transition - 1).at(static_cast<double>(i));
        const BlockProfile noise = BlockProfile::spread(over, std::max<size_t>(8 * lead, 64), &smoothed);
        const double least = peakOfReflectance(th.reflectance, backscatter, acq.pulseWidthNs);
        const double highest = *std::max_element(y, y + n);

        size_t i = first + lead;
        while (i <= fade) {
            const double spread = noise.at(i);
#ifdef DETECTION_DEBUG
            if (std::fabs(kmOf(i) - 68.5546) < 0.002) std::fprintf(stderr, "  at %.4f over %.3f spread %.4f\n", kmOf(i), over[i], spread);
#endif
            if (!(over[i] > peakSpreads * spread && over[i] >= least)) {
                ++i;
                continue;
            }
            Candidate c;
            c.reflective = true;
            const auto base = sums.fit(i - lead, i - transition - 1);
            const auto above = [&](size_t k) { return y[k] - base.at(static_cast<double>(k)); };
            // The peak lasts while it stands out of the noise over the same baseline, a clipped top as one peak; a
            // rise that lasts longer than a reflection and the receiver's recovery is a gain.
            const size_t longest = transition + recovery + 2 * window;
            size_t end = i;
            size_t quiet = 0;
            for (size_t k = i; k < n && k <= i + longest && quiet < transition; ++k) {
                if (above(k) > peakSpreads * spread) {
                    end = k;
                    quiet = 0;
                } else {
                    ++quiet;
                }
            }
            if (quiet < transition) {
#ifdef DETECTION_DEBUG
                std::fprintf(stderr, "  peak too long %.4f over %.3f spread %.4f\n", kmOf(i), over[i], spread);
#endif
                while (i <= fade && over[i] > peakSpreads * noise.at(i))
                    ++i;
                continue;
            }
            c.top = i;
            for (size_t k = i; k <= end; ++k) {
                if (y[k] > y[c.top])
                    c.top = k;
            }
            c.height = above(c.top);
            c.extent = end + 1;
            size_t rise = i;
            while (rise > i - transition && above(rise - 1) >= c.height / 2)
                --rise;
            for (size_t k = rise; k <= c.top; ++k) {
                if (above(k) >= c.height / 2) {
                    rise = k;
                    break;
                }
            }
            c.index = rise;
            size_t clipped = 0;
            for (size_t k = c.top; k < c.extent; ++k)
                clipped += y[k] >= highest - 0.002 ? 1 : 0;
            c.saturated = clipped >= 2;
            // The level after the peak, once the receiver has recovered.
            const size_t after = std::max(c.extent, c.index + transition) + recovery;
            if (after + window < n)
                c.step = base.at(static_cast<double>(c.index))
                    - sums.fit(after, after + window - 1).at(static_cast<double>(c.index));
            if (c.height + std::min(0.0, c.step) >= std::max(least, peakSpreads * spread))
                found.push_back(c);
#ifdef DETECTION_DEBUG
            else std::fprintf(stderr, "  peak rejected %.4f h %.3f step %.3f ext %.4f spread %.4f least %.3f\n", kmOf(c.index), c.height, c.step, kmOf(c.extent), spread, least);
#endif
            i = c.extent;
        }
        return found;
    }

    size_t Detector::refineStep(size_t at, double step) const
    {
        // Where the trace crosses halfway between the lines beside the step; the pulse has then passed the part of
        // the way that the drop's shape in dB gives (a half for a small step, nearly all for a break).
        const auto before = sums.fit(at - window, at - 1);
        const auto after = sums.fit(at + transition, at + transition + window - 1);
        const double share = 1 / (1 + std::pow(10.0, -step / 10));
        for (size_t k = at; k < at + transition + static_cast<size_t>(pulse) && k < n; ++k) {
            const double mid = (before.at(static_cast<double>(k)) + after.at(static_cast<double>(k))) / 2;
            if (step > 0 ? smoothed[k] <= mid : smoothed[k] >= mid) {
                const double start = static_cast<double>(k) - share * pulse;
                return static_cast<size_t>(std::max(static_cast<double>(at) - static_cast<double>(transition),
                    std::max(0.0, std::round(start))));
            }
        }
        return at;
    }

    std::vector<Candidate> Detector::steps()
    {
        std::vector<Candidate> found;
        std::vector<double> drop(n);
        // The glass's slope, per sample: the median of short fits, which the events hardly move.
        const size_t chunk = 2 * window;
        std::fill(drop.begin(), drop.end(), std::numeric_limits<double>::quiet_NaN());
        for (size_t c = first; c + chunk <= fade; c += chunk) {
            const double slope = sums.fit(c, c + chunk - 1).slope;
            std::fill(drop.begin() + static_cast<std::ptrdiff_t>(c),
                drop.begin() + static_cast<std::ptrdiff_t>(c + chunk), slope);
        }
        const BlockProfile glassSlope = BlockProfile::median(drop, std::max<size_t>(8 * chunk, 64));
        for (size_t s = 0; s < scales; ++s) {
            const size_t w = window << (2 * s);
            if (first + w + transition + w > n || (s > 0 && 4 * w > fade - first))
                break;
            // The mean level before less the mean level after, the glass's own fall between them taken out: a
            // step's response is a plateau, without the lobes that lines extrapolated over a step would add.
            std::fill(drop.begin(), drop.end(), std::numeric_limits<double>::quiet_NaN());
            const size_t from = first + w;
            const size_t to = n - transition - w + 1;
            for (size_t p = from; p < to; ++p)
                drop[p] = sums.mean(p - w, p - 1) - sums.mean(p + transition, p + transition + w - 1)
                    + glassSlope.at(p) * static_cast<double>(w + transition);
            const BlockProfile noise
                = BlockProfile::spread(drop, std::max<size_t>(8 * (w + transition), 64), &smoothed);
            size_t p = from;
            while (p < to) {
                const auto significant = [&](size_t k) {
                    return std::fabs(drop[k]) >= std::max(th.spliceLoss, stepSpreads * noise.at(k));
                };
                if (!significant(p)) {
                    ++p;
                    continue;
                }
                // The run of this sign, with gaps shorter than a transition; its largest step.
                const bool loss = drop[p] > 0;
                size_t best = p;
                size_t last = p;
                for (size_t k = p; k < to && k <= last + transition; ++k) {
                    if (significant(k) && (drop[k] > 0) == loss) {
                        last = k;
                        if (std::fabs(drop[k]) > std::fabs(drop[best]))
                            best = k;
                    }
                }
                if (best > fade) {
                    p = last + 1;
                    continue;
                }
                Candidate c;
                c.step = drop[best];
                c.index = best;
                if (w == window)
                    c.index = refineStep(best, c.step);
                c.top = c.index;
                c.extent = c.index + transition;
                c.window = w;
                // A coarser fit adds only what the finer ones missed.
                const bool known = std::any_of(found.begin(), found.end(), [&](const Candidate& f) {
                    return (f.step > 0) == loss
                        && (f.index > c.index ? f.index - c.index : c.index - f.index) <= transition + w;
                });
                if (!known)
                    found.push_back(c);
                p = last + 1;
            }
        }
        return found;
    }

    OwnAnalysis Detector::run()
    {
        OwnAnalysis result;
        result.thresholds = th;
        if (n < 4 * (window + transition))
            return result;
        findFront();
        findFade();
        if (floor)
            result.floorDb = floor->top;

        std::vector<Candidate> all = peaks();
        const size_t reflections = all.size();
        for (const Candidate& s : steps()) {
            // A step whose fits reach into a reflection is the reflection seen by the fits, or its own loss.
            const bool inside = std::any_of(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(reflections),
                [&](const Candidate& r) {
                    return s.index + transition + s.window >= r.index
                        && s.index <= std::max(r.extent, r.index + transition) + recovery + s.window;
                });
            if (!inside)
                all.push_back(s);
        }
        std::sort(all.begin(), all.end(), [](const Candidate& a, const Candidate& b) { return a.index < b.index; });
#ifdef DETECTION_DEBUG
        std::fprintf(stderr, "first %.4f fade %.4f floor %.2f T %zu W %zu P %.1f\n", kmOf(first), kmOf(fade), floor ? floor->top : NAN, transition, window, pulse);
        for (const Candidate& c : all)
            std::fprintf(stderr, "  cand %.4f step %.3f h %.3f refl %d ext %.4f\n", kmOf(c.index), c.step, c.height, c.reflective, kmOf(c.extent));
#endif

        // Noise near the end is no event: the backscatter before an event stands clear of the floor.
        const double clear = floor ? floor->top + th.endOfFibre : -std::numeric_limits<double>::infinity();
        std::vector<Candidate> kept;
        for (const Candidate& c : all) {
            if (c.index < first || c.index > fade)
                continue;
            const size_t before = c.index > transition ? c.index - transition : 0;
            if (smoothed[before] < clear)
                continue;
            // A ghost: an echo between two reflections, as far after the second as it lies after the first,
            // without a loss of its own.
            if (c.reflective && std::fabs(c.step) < std::max(th.spliceLoss, 0.5 * c.height)) {
                const double tolerance = pulse + 1;
                bool ghost = false;
                const double front = (acq.frontPanelKm - t.startKm) / t.stepKm;
                for (const Candidate& b : kept) {
                    if (!b.reflective || b.height < c.height)
                        continue;
                    ghost = ghost || std::fabs(2.0 * b.index - front - c.index) <= tolerance;
                    for (const Candidate& a : kept) {
                        if (a.reflective && a.index < b.index)
                            ghost = ghost || std::fabs(2.0 * b.index - a.index - c.index) <= tolerance;
                    }
                }
                if (ghost)
                    continue;
            }
            kept.push_back(c);
        }

        // The end: the first event with a loss of the end threshold or after which no backscatter resumes, or
        // else where the trace sinks into the noise.
        std::optional<size_t> endAt;
        for (size_t k = 0; k < kept.size() && !endAt; ++k) {
            const Candidate& c = kept[k];
            const size_t after = (c.reflective ? std::max(c.extent, c.index + transition) + recovery
                                               : c.index + transition + static_cast<size_t>(pulse));
            if (c.step >= th.endOfFibre || !continuesAfter(after)) {
                endAt = k;
                kept[k].step = std::max(kept[k].step, th.endOfFibre);
            }
        }
        if (endAt)
            kept.resize(*endAt + 1);

        for (size_t k = 0; k < kept.size(); ++k) {
            const Candidate& c = kept[k];
            OwnEvent e;
            e.km = kmOf(static_cast<double>(c.index));
            e.kind = endAt && k == *endAt ? EventKind::End
                : c.reflective            ? EventKind::Reflective
                : c.step < 0              ? EventKind::Gain
                                          : EventKind::Splice;
            e.saturated = c.saturated;
            if (c.reflective)
                e.reflectance = reflectanceOfPeak(c.height, backscatter, acq.pulseWidthNs);
            result.events.push_back(e);
        }
        if (!endAt && floor && fade + 1 < n) {
            OwnEvent e;
            e.km = kmOf(static_cast<double>(fade));
            e.kind = EventKind::End;
            result.events.push_back(e);
        }
        return result;
    }
} // namespace

OwnAnalysis detectEvents(const TraceSamples& trace, const Acquisition& acquisition, const DetectionThresholds& t)
{
    if (!trace.db || trace.size == 0 || !(trace.stepKm > 0) || !std::isfinite(trace.stepKm)
        || !std::isfinite(trace.startKm)
        || !std::all_of(trace.db, trace.db + trace.size, [](double v) { return std::isfinite(v); })) {
        OwnAnalysis none;
        none.thresholds = t;
        return none;
    }
    Detector detector(trace, acquisition, t);
    OwnAnalysis result = detector.run();
    remeasure(result, trace, acquisition);
    // Steps that the measurement between their neighbours finds below the threshold are none.
    result.events.erase(std::remove_if(result.events.begin(), result.events.end(),
                            [&](const OwnEvent& e) {
                                return (e.kind == EventKind::Splice || e.kind == EventKind::Gain) && e.loss
                                    && std::fabs(*e.loss) < t.spliceLoss;
                            }),
        result.events.end());
    remeasure(result, trace, acquisition);
    return result;
}

void remeasure(OwnAnalysis& analysis, const TraceSamples& trace, const Acquisition& acquisition)
{
    auto& events = analysis.events;
    std::stable_sort(events.begin(), events.end(), [](const OwnEvent& a, const OwnEvent& b) { return a.km < b.km; });
    // The end stays last: nothing after it is fibre.
    const double dz = deadZoneKm(acquisition.pulseWidthNs, trace.stepKm);
    const double recovery = recoveryKm(acquisition.pulseWidthNs);
    const double backscatter = acquisition.backscatterCoefficient.value_or(typicalBackscatter(acquisition.wavelengthNm));
    const double steepest = maxGlassAttenuationAt(acquisition.wavelengthNm.value_or(std::numeric_limits<double>::quiet_NaN()));
    const auto reflects = [](const OwnEvent& e) { return e.kind == EventKind::Reflective || e.reflectance; };
    for (size_t k = 0; k < events.size(); ++k) {
        OwnEvent& e = events[k];
        EventWindow w;
        w.atKm = e.km;
        w.deadZoneKm = dz;
        w.recoveryKm = reflects(e) ? recovery : 0.0;
        w.maxAttenuation = steepest;
        w.previousKm = acquisition.frontPanelKm;
        w.previousRecoveryKm = recovery;
        if (k > 0) {
            w.previousKm = events[k - 1].km;
            w.previousRecoveryKm = reflects(events[k - 1]) ? recovery : 0.0;
        }
        if (k + 1 < events.size())
            w.nextKm = events[k + 1].km;
        const auto before = levelBeside(trace, w, Side::Before);
        e.loss.reset();
        if (e.kind != EventKind::End) {
            const auto after = levelBeside(trace, w, Side::After);
            if (before && after)
                e.loss = *before - *after;
        }
        if (reflects(e) && before) {
            // The peak's top within the pulse and the transition after the event's start.
            const double i0 = std::ceil((e.km - trace.startKm) / trace.stepKm);
            const double i1 = std::floor((e.km + dz + recovery - trace.startKm) / trace.stepKm);
            double top = -std::numeric_limits<double>::infinity();
            for (double i = std::max(0.0, i0); i <= i1 && i < static_cast<double>(trace.size); ++i)
                top = std::max(top, trace.db[static_cast<size_t>(i)]);
            const double height = top - *before;
            if (height > 0)
                e.reflectance = reflectanceOfPeak(height, backscatter, acquisition.pulseWidthNs);
            else
                e.reflectance.reset();
        }
        const auto slope = sectionAttenuation(trace, w.previousKm + w.previousRecoveryKm, e.km, dz);
        e.attenuationBefore = slope && *slope > 0 && *slope < 10 ? slope : std::nullopt;
        if (e.kind == EventKind::Splice || e.kind == EventKind::Gain)
            e.kind = e.loss && *e.loss < 0 ? EventKind::Gain : EventKind::Splice;
    }
}

} // namespace analysis
