#include "analysis/TraceMeasure.h"

#include <algorithm>
#include <cmath>

namespace analysis {

namespace {
    bool evenGrid(const TraceSamples& t)
    {
        return t.db && t.size > 0 && t.stepKm > 0 && std::isfinite(t.stepKm) && std::isfinite(t.startKm);
    }
} // namespace

double deadZoneKm(double pulseWidthNs, double stepKm)
{
    const double pulse = std::isfinite(pulseWidthNs) && pulseWidthNs > 0 ? pulseLengthKm(pulseWidthNs) : 0.0;
    const double samples = std::isfinite(stepKm) && stepKm > 0 ? 3 * stepKm : 0.0;
    return std::max(pulse, samples);
}

double recoveryKm(double pulseWidthNs)
{
    const double pulse = std::isfinite(pulseWidthNs) && pulseWidthNs > 0 ? pulseLengthKm(pulseWidthNs) : 0.0;
    return std::max(pulse, 0.05);
}

std::optional<Line> fitLine(const TraceSamples& t, double fromKm, double toKm)
{
    if (!evenGrid(t) || !(fromKm <= toKm))
        return std::nullopt;
    // Sample indices inside [from, to]; a hair of slack keeps a sample that sits on an end by rounding.
    const double last = static_cast<double>(t.size - 1);
    const double first = std::max(0.0, std::ceil((fromKm - t.startKm) / t.stepKm - 1e-9));
    const double end = std::min(last, std::floor((toKm - t.startKm) / t.stepKm + 1e-9));
    if (!(end - first + 1 >= static_cast<double>(minFitSamples)))
        return std::nullopt;
    const auto i0 = static_cast<size_t>(first);
    const auto i1 = static_cast<size_t>(end);

    // On an even grid the centred abscissae are known: only the levels need summing.
    const double n = static_cast<double>(i1 - i0 + 1);
    const double centre = (static_cast<double>(i0) + static_cast<double>(i1)) / 2;
    double sumY = 0;
    double sumUY = 0;
    for (size_t i = i0; i <= i1; ++i) {
        sumY += t.db[i];
        sumUY += (static_cast<double>(i) - centre) * t.db[i];
    }
    const double sumUU = n * (n * n - 1) / 12;
    const double perSample = sumUY / sumUU;
    const double mean = sumY / n;
    double scatter = 0;
    for (size_t i = i0; i <= i1; ++i) {
        const double r = t.db[i] - (mean + perSample * (static_cast<double>(i) - centre));
        scatter += r * r;
    }
    Line line;
    line.slope = perSample / t.stepKm;
    line.centreKm = t.startKm + centre * t.stepKm;
    line.centreDb = mean;
    line.samples = i1 - i0 + 1;
    line.slopeError = std::sqrt(scatter / (n - 2) / sumUU) / t.stepKm;
    if (!std::isfinite(line.slope) || !std::isfinite(line.centreDb) || !std::isfinite(line.slopeError))
        return std::nullopt;
    return line;
}

double maxGlassAttenuationAt(double wavelengthNm) { return wavelengthNm >= 1260 ? 1.5 : maxGlassAttenuation; }

bool glassLike(const Line& line, double maxAttenuation)
{
    const double loss = -line.slope;
    const double margin = 3 * line.slopeError;
    return loss + margin >= 0 && loss - margin <= maxAttenuation;
}

std::optional<double> levelBeside(const TraceSamples& t, const EventWindow& e, Side side)
{
    if (!std::isfinite(e.atKm) || !(e.deadZoneKm >= 0) || !(e.recoveryKm >= 0) || !(e.previousRecoveryKm >= 0)
        || !(e.windowKm > 0))
        return std::nullopt;
    double from = 0;
    double to = 0;
    if (side == Side::Before) {
        to = e.atKm - e.deadZoneKm;
        from = std::max(to - e.windowKm, e.previousKm + e.deadZoneKm + e.previousRecoveryKm);
    } else {
        from = e.atKm + e.deadZoneKm + e.recoveryKm;
        to = std::min(from + e.windowKm, e.nextKm - e.deadZoneKm);
    }
    const double limit = side == Side::Before ? to : e.nextKm - e.deadZoneKm;
    const double step = (to - from) / 3;
    for (int k = 0; k < 12 && step > 0; ++k) {
        const auto line = fitLine(t, from, to);
        if (!line)
            return std::nullopt;
        if (glassLike(*line, e.maxAttenuation))
            return line->at(e.atKm);
        from += step;
        if (side == Side::After)
            to = std::min(to + step, limit);
        if (!(to - from >= step))
            break;
    }
    return std::nullopt;
}

std::optional<double> eventLoss(const TraceSamples& t, const EventWindow& e)
{
    const auto before = levelBeside(t, e, Side::Before);
    const auto after = levelBeside(t, e, Side::After);
    if (!before || !after)
        return std::nullopt;
    return *before - *after;
}

std::optional<double> sectionAttenuation(const TraceSamples& t, double fromKm, double toKm, double deadZoneKm)
{
    const auto line = fitLine(t, fromKm + deadZoneKm, toKm - deadZoneKm);
    if (!line)
        return std::nullopt;
    return -line->slope;
}

std::optional<double> lossBetween(
    const TraceSamples& t, const EventWindow& from, Side fromSide, const EventWindow& to, Side toSide)
{
    const auto a = levelBeside(t, from, fromSide);
    const auto b = levelBeside(t, to, toSide);
    if (!a || !b)
        return std::nullopt;
    return *a - *b;
}

} // namespace analysis
