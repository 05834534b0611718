#include "analysis/TraceDetector.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace analysis {

namespace {
    constexpr double stepSpreads = 4.5; ///< a step this many noise spreads large is no noise
    constexpr double peakSpreads = 4.5; ///< nor a peak
    constexpr size_t scales = 3; ///< step fits of 1, 4 and 16 times the shortest window
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
} // namespace

void TraceDetector::Workspace::release()
{
    sums.release();
    for (auto* v : { &smoothed, &light, &over, &statistic })
        std::vector<double>().swap(*v);
}

TraceDetector::TraceDetector(
    const TraceSamples& trace, const Acquisition& acquisition, const DetectionThresholds& thresholds, Workspace& space)
    : t(trace)
    , acq(acquisition)
    , th(thresholds)
    , y(trace.db)
    , n(trace.size)
    , sums(space.sums)
    , smoothed(space.smoothed)
    , light(space.light)
    , over(space.over)
    , statistic(space.statistic)
{
    sums.assign(trace.db, trace.size);
    pulse = std::max(1.0, pulseLengthKm(std::max(acq.pulseWidthNs, 0.0)) / t.stepKm);
    const auto whole = static_cast<size_t>(std::ceil(pulse));
    // The receiver widens an event beyond the pulse by a quarter of it, and by a sample or two.
    transition = whole + std::max<size_t>(2, whole / 4);
    window = std::max<size_t>(4 * whole, 16);
    recovery = static_cast<size_t>(std::ceil(recoveryKm(acq.pulseWidthNs) / t.stepKm));
    backscatter = acq.backscatterCoefficient.value_or(typicalBackscatter(acq.wavelengthNm));
    maxGlassPerSample = maxGlassAttenuationAt(acq.wavelengthNm.value_or(nan)) * t.stepKm;
}

size_t TraceDetector::indexOf(double km) const
{
    const double i = std::round((km - t.startKm) / t.stepKm);
    return i <= 0 ? 0 : std::min(n - 1, static_cast<size_t>(i));
}

void TraceDetector::meanOver(size_t half, std::vector<double>& out) const
{
    out.resize(n);
    for (size_t i = 0; i < n; ++i)
        out[i] = sums.mean(i > half ? i - half : 0, std::min(n - 1, i + half));
}

size_t TraceDetector::blockFor(size_t fit) const { return std::max({ 8 * fit, size_t(64), n / 256 }); }

void TraceDetector::findFront()
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

void TraceDetector::findFade()
{
    meanOver(std::max<size_t>(1, static_cast<size_t>(pulse / 2)), smoothed);
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

bool TraceDetector::glass(size_t from, const LineSums::Line& line, size_t samples) const
{
    // Within three standard errors of the slope, from the noise of the samples there; where that is more than half
    // the steepest glass's slope, the line is noise.
    const double m = static_cast<double>(samples);
    const double error = std::min(3 * sampleNoise.at(from) * std::sqrt(12 / (m * (m * m - 1))), 0.5 * maxGlassPerSample);
    return line.slope <= error && -line.slope <= maxGlassPerSample + error;
}

bool TraceDetector::continuesAfter(size_t from) const
{
    // Backscatter resumes when a line clear of the noise falls like glass somewhere before the fade.
    const size_t span = 2 * window;
    const double clear = floor ? floor->top + th.endOfFibre : -std::numeric_limits<double>::infinity();
    for (size_t i = from; i + span <= fade + 1 && i + span <= n; i += std::max<size_t>(1, span / 3)) {
        const auto line = sums.fit(i, i + span - 1);
        if (glass(i, line, span) && line.at(static_cast<double>(i)) >= clear)
            return true;
    }
    return false;
}

std::vector<TraceDetector::Candidate> TraceDetector::peaks()
{
    std::vector<Candidate> found;
    const size_t lead = transition + window;
    if (fade < first + lead + 1)
        return found;
    // Each sample over the backscatter before it, the fit ending a transition earlier so that a peak's own
    // rise stays out of its baseline.
    over.resize(n);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::fill(over.begin(), over.begin() + static_cast<std::ptrdiff_t>(first + lead), nan);
    std::fill(over.begin() + static_cast<std::ptrdiff_t>(fade + 1), over.end(), nan);
    const double count = static_cast<double>(window);
    const double inverseCount = 1 / count;
    const double inverseSquares = 12 / (count * (count * count - 1));
    for (size_t i = first + lead; i <= fade; ++i)
        over[i] = y[i]
            - sums.levelAt(i - lead, i - transition - 1, inverseCount, inverseSquares, static_cast<double>(i));
    sampleNoise = BlockProfile::spread(over, blockFor(lead), &smoothed);
    const double least = peakOfReflectance(th.reflectance, backscatter, acq.pulseWidthNs);
    const double highest = *std::max_element(y, y + n);
    const size_t pause = std::max<size_t>(3, static_cast<size_t>(pulse / 4));
    const size_t longest = 2 * transition + recovery;

    // Close behind a peak the fit before a sample would hold the peak: there the baseline is the lowest level
    // since the peak, followed at the glass's slope.
    size_t zoneEnd = 0; ///< the sample after the last peak
    size_t lowest = 0;
    size_t scanned = 0; ///< samples up to here are in lowest
    const auto flat = [&](size_t k) { return light[k] - glassSlope.at(k) * static_cast<double>(k); };
    const auto baseAt = [&](size_t i) -> LineSums::Line {
        if (zoneEnd > 0 && i - lead < zoneEnd && i > zoneEnd + pause) {
            if (scanned < zoneEnd) {
                lowest = zoneEnd;
                scanned = zoneEnd;
            }
            for (; scanned + pause < i; ++scanned) {
                if (flat(scanned) < flat(lowest))
                    lowest = scanned;
            }
            LineSums::Line line;
            line.centre = static_cast<double>(lowest);
            line.mean = light[lowest];
            line.slope = glassSlope.at(lowest);
            return line;
        }
        return sums.fit(i - lead, i - transition - 1);
    };

    size_t i = first + lead;
    while (i <= fade) {
        const bool behindPeak = zoneEnd > 0 && i - lead < zoneEnd;
        if (!behindPeak && !(over[i] >= least && over[i] > peakSpreads * sampleNoise.at(i))) {
            ++i;
            continue;
        }
        const double spread = sampleNoise.at(i);
        const auto base = baseAt(i);
        const auto above = [&](size_t k) { return y[k] - base.at(static_cast<double>(k)); };
        if (!(above(i) > peakSpreads * spread && above(i) >= least)) {
            ++i;
            continue;
        }
        // The peak lasts while it stands out of the noise and a tenth of its height over the same baseline, a
        // clipped top as one peak; a rise that lasts longer than a reflection and the receiver's recovery is a
        // gain.
        size_t end = i;
        size_t quiet = 0;
        double height = above(i);
        for (size_t k = i; k < n && k <= i + longest && quiet < pause; ++k) {
            const double a = above(k);
            height = std::max(height, a);
            if (a > std::max(peakSpreads * spread, 0.1 * height)) {
                end = k;
                quiet = 0;
            } else {
                ++quiet;
            }
        }
        // A reflection rises from the backscatter within the receiver's rise time, a fraction of the pulse.
        const double leaves = std::max(2 * spread, 0.1 * height);
        size_t rise = i;
        while (rise > i - transition && above(rise - 1) >= leaves)
            --rise;
        while (rise < end && above(rise) < leaves)
            ++rise;
        // What rises right after a peak is still that peak.
        if (rise < zoneEnd + pause) {
            i = std::max(i + 1, end + 1);
            continue;
        }
        size_t reach = rise;
        while (reach < end && above(reach) < 0.8 * height)
            ++reach;
        const bool sharp = above(rise - 1) < leaves
            && static_cast<double>(reach - rise) <= std::max(3.0, 0.75 * pulse);
        if (!sharp || quiet < pause) {
            // Not a reflection from here: look again a little later, where one may rise out of it.
            i += pause;
            continue;
        }
        Candidate c;
        c.reflective = true;
        // The event lies between the last sample on the backscatter and the first that left it: the last.
        c.index = rise - 1;
        c.top = i;
        for (size_t k = i; k <= end; ++k) {
            if (y[k] > y[c.top])
                c.top = k;
        }
        c.height = above(c.top);
        c.extent = end + 1;
        // A receiver that saturates writes its largest value for every sample of the top; a top that merely
        // stands still varies in the last digit.
        size_t clipped = 0;
        for (size_t k = c.top; k < c.extent && y[k] == highest; ++k)
            ++clipped;
        c.saturated = static_cast<double>(clipped) >= std::max(3.0, pulse / 2);
        // The level after the peak, once the receiver has recovered.
        const size_t after = std::max(c.extent, c.index + transition) + recovery;
        if (after + window < n)
            c.step = base.at(static_cast<double>(c.index))
                - sums.fit(after, after + window - 1).at(static_cast<double>(c.index));
        found.push_back(c);
        zoneEnd = c.extent;
        i = c.extent;
    }
    return found;
}

void TraceDetector::findGlassSlope()
{
    // The glass's slope: the median of short fits, which the events hardly move.
    const size_t chunk = std::max<size_t>(2 * transition, 2 * window);
    std::vector<double>& slopes = statistic;
    slopes.assign(n, std::numeric_limits<double>::quiet_NaN());
    for (size_t c = first; c + chunk <= fade; c += chunk) {
        const double slope = sums.fit(c, c + chunk - 1).slope;
        std::fill(slopes.begin() + static_cast<std::ptrdiff_t>(c),
            slopes.begin() + static_cast<std::ptrdiff_t>(c + chunk), slope);
    }
    glassSlope = BlockProfile::median(slopes, blockFor(chunk));
}

void TraceDetector::locateStep(Candidate& c, size_t runStart, size_t best, size_t w) const
{
    // The step starts where the trace leaves the backscatter before it, read on the glass's slope through the
    // mean of the samples before the run; the pulse has then passed the share of the way that the drop's shape
    // in dB gives for that departure. It has passed once the trace has dropped nine tenths of the way.
    c.index = best;
    c.extent = best + transition;
    // The walk starts a little before where the step can begin, the line before it fitted just before that.
    const size_t from = std::max(runStart, best > w + transition ? best - w - transition : 0);
    if (from < window)
        return;
    const double step = c.step;
    const double centre = static_cast<double>(from) - (static_cast<double>(window) + 1) / 2;
    const double mean = sums.mean(from - window, from - 1);
    const double slope = glassSlope.at(from);
    const double sign = step > 0 ? 1 : -1;
    const auto drop = [&](size_t j) { return sign * (mean + slope * (static_cast<double>(j) - centre) - light[j]); };
    // The light smoothing takes out less than its length's share of the noise: neighbouring samples agree.
    const double toSample = std::pow(2.0 * static_cast<double>(lightHalf) + 1, 0.25);
    const size_t hold = std::max<size_t>(2, static_cast<size_t>(pulse / 4));
    const size_t last = std::min(n - 1 - hold, best + transition + w);
    for (size_t k = from; k <= last; ++k) {
        // A splice is told from its first twentieth, a break from its first tenth of a dB.
        const double threshold
            = std::max(3 * sampleNoise.at(k) / toSample, std::min(0.05 * std::fabs(step), 0.1));
        bool held = true;
        for (size_t j = k; j <= k + hold && held; ++j)
            held = drop(j) > threshold;
        if (!held)
            continue;
        // The event lies between the last sample on the backscatter and the first that left it: the last.
        const double share = (1 - std::pow(10.0, -sign * threshold / 5)) / (1 - std::pow(10.0, -step / 5));
        const double start = static_cast<double>(k) - 1 - std::clamp(share, 0.0, 1.0) * pulse;
        c.index = static_cast<size_t>(std::max(0.0, std::round(start)));
        const size_t span = std::min(n - 1, c.index + 4 * transition);
        double most = 0;
        for (size_t j = c.index; j <= span; ++j)
            most = std::max(most, drop(j));
        size_t settled = c.index;
        while (settled < span && drop(settled) < 0.9 * most)
            ++settled;
        c.extent = c.index
            + std::max(transition, static_cast<size_t>(static_cast<double>(settled - c.index) / 0.9) + 1);
        return;
    }
}

std::vector<TraceDetector::Candidate> TraceDetector::steps()
{
    std::vector<Candidate> found;
    std::vector<double>& drop = statistic;
    drop.resize(n);
    BlockProfile finer; ///< the noise of the step at the finer scale
    for (size_t s = 0; s < scales; ++s) {
        const size_t w = window << (2 * s);
        if (first + w + transition + w > n || (s > 0 && 4 * w > fade - first))
            break;
        // The mean level before less the mean level after, the glass's own fall between them taken out: a
        // step's response is a plateau, without the lobes that lines extrapolated over a step would add.
        const size_t from = first + w;
        const size_t to = n - transition - w + 1;
        std::fill(drop.begin(), drop.begin() + static_cast<std::ptrdiff_t>(from), nan);
        std::fill(drop.begin() + static_cast<std::ptrdiff_t>(to), drop.end(), nan);
        const double perFit = 1 / static_cast<double>(w);
        // The noise and the slope change slowly: read every 64 samples.
        constexpr size_t stretch = 64;
        for (size_t p0 = from; p0 < to; p0 += stretch) {
            const size_t p1 = std::min(to, p0 + stretch);
            if (s > 0 && !(stepSpreads * finer.at(p0) > th.spliceLoss && stepSpreads * finer.at(p1 - 1) > th.spliceLoss)) {
                std::fill(drop.begin() + static_cast<std::ptrdiff_t>(p0), drop.begin() + static_cast<std::ptrdiff_t>(p1), nan);
                continue;
            }
            const double fall = glassSlope.at(p0 + stretch / 2) * static_cast<double>(w + transition);
            for (size_t p = p0; p < p1; ++p)
                drop[p] = (sums.sumOf(p - w, p - 1) - sums.sumOf(p + transition, p + transition + w - 1)) * perFit
                    + fall;
        }
        const BlockProfile noise = BlockProfile::spread(drop, blockFor(w + transition), &smoothed);
        size_t p = from;
        while (p < to) {
            // A coarser fit looks only where the finer one could not see a step of the threshold: it averages
            // more noise away but trusts the glass's slope over a longer way.
            const auto significant = [&](size_t k) {
                return std::fabs(drop[k]) >= th.spliceLoss && std::fabs(drop[k]) >= stepSpreads * noise.at(k);
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
            locateStep(c, p, best, w);
            c.top = best;
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
        finer = noise;
    }
    return found;
}

std::vector<TraceDetector::Candidate> TraceDetector::merged(
    std::vector<Candidate> all, const std::vector<Candidate>& found) const
{
    const size_t reflections = all.size();
    for (const Candidate& s : found) {
        // A step whose fits reach into a reflection is the reflection seen by the fits, or its own loss: then the
        // reflection lasts until the step has passed.
        bool inside = false;
        for (size_t r = 0; r < reflections; ++r) {
            Candidate& c = all[r];
            if (std::max(s.index, s.top) + transition + s.window >= c.index
                && std::min(s.index, s.top) <= std::max(c.extent, c.index + transition) + recovery + s.window) {
                inside = true;
                if (s.window == window && s.index >= c.index && s.index <= c.extent + recovery + transition
                    && (s.step > 0) == (c.step > 0))
                    c.extent = std::max(c.extent, s.extent);
            }
        }
        if (!inside)
            all.push_back(s);
    }
    std::sort(all.begin(), all.end(), [](const Candidate& a, const Candidate& b) { return a.index < b.index; });
    return all;
}

bool TraceDetector::ghost(const Candidate& c, const std::vector<Candidate>& before) const
{
    // An echo between two reflections a and b lies as far after b as b lies after a (a may be the instrument's own
    // connector), within a pulse; it is weaker than b and loses nothing.
    if (!c.reflective || std::fabs(c.step) >= std::max(th.spliceLoss, 0.5 * c.height))
        return false;
    const double tolerance = pulse + 1;
    const double front = (acq.frontPanelKm - t.startKm) / t.stepKm;
    const auto at = [](const Candidate& x) { return static_cast<double>(x.index); };
    for (const Candidate& b : before) {
        if (!b.reflective || b.height < c.height)
            continue;
        if (std::fabs(2 * at(b) - front - at(c)) <= tolerance)
            return true;
        for (const Candidate& a : before) {
            if (a.reflective && a.index < b.index && std::fabs(2 * at(b) - at(a) - at(c)) <= tolerance)
                return true;
        }
    }
    return false;
}

OwnAnalysis TraceDetector::run()
{
    OwnAnalysis result;
    result.thresholds = th;
    if (n < 4 * (window + transition))
        return result;
    findFront();
    findFade();
    lightHalf = std::max<size_t>(1, static_cast<size_t>(pulse / 8));
    meanOver(lightHalf, light);
    findGlassSlope();
    if (floor)
        result.floorDb = floor->top;
    const std::vector<Candidate> reflections = peaks();
    const std::vector<Candidate> all = merged(reflections, steps());

    // Noise near the end is no event: the backscatter before an event stands clear of the floor.
    const double clear = floor ? floor->top + th.endOfFibre : -std::numeric_limits<double>::infinity();
    std::vector<Candidate> kept;
    for (const Candidate& c : all) {
        if (c.index < first || c.index > fade || smoothed[c.index > transition ? c.index - transition : 0] < clear)
            continue;
        if (!ghost(c, kept))
            kept.push_back(c);
    }

    // The end: the first event with a loss of the end threshold, or after which no backscatter resumes; else where
    // the trace sinks into the noise.
    std::optional<size_t> endAt;
    for (size_t k = 0; k < kept.size() && !endAt; ++k) {
        const Candidate& c = kept[k];
        const size_t after = c.reflective ? std::max(c.extent, c.index + transition) + recovery
                                          : c.index + transition + static_cast<size_t>(pulse);
        if (c.step >= th.endOfFibre || !continuesAfter(after))
            endAt = k;
    }
    if (endAt)
        kept.resize(*endAt + 1);

    for (size_t k = 0; k < kept.size(); ++k) {
        const Candidate& c = kept[k];
        OwnEvent e;
        e.km = kmOf(static_cast<double>(c.index));
        e.kind = endAt && k == *endAt ? OwnEventKind::End
            : c.reflective            ? OwnEventKind::Reflective
            : c.step < 0              ? OwnEventKind::Gain
                                      : OwnEventKind::Splice;
        e.saturated = c.saturated;
        e.settleKm = static_cast<double>(c.extent - c.index) * t.stepKm;
        if (c.reflective)
            e.reflectance = reflectanceOfPeak(c.height, backscatter, acq.pulseWidthNs);
        result.events.push_back(e);
    }
    if (!endAt && floor && fade + 1 < n) {
        OwnEvent e;
        e.km = kmOf(static_cast<double>(fade));
        e.kind = OwnEventKind::End;
        result.events.push_back(e);
    }
    return result;
}

} // namespace analysis
