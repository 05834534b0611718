#include "SyntheticPair.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <sstream>

namespace synth {

double BendLoss::lossAt(double nm) const
{
    if (!(loss1310 > 0) || !(loss1550 > 0))
        return loss1310 + (loss1550 - loss1310) * (nm - 1310) / 240;
    return loss1310 * std::pow(loss1550 / loss1310, (nm - 1310) / 240);
}

double FibrePlan::spanKm() const
{
    double km = 0;
    for (const auto& s : glass)
        km += s.km;
    return km;
}

std::string FibrePlan::fibreId(bool fromB) const
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "%04u", number % 10000);
    return (fromB ? siteB + siteA : siteA + siteB) + digits;
}

FibrePlan randomPlan(double spanKm, unsigned splices, unsigned bends, uint32_t seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    FibrePlan p;
    p.seed = seed;
    // Splices join lengths of glass from different preforms: their backscatter differs by up to 0.16 dB.
    const unsigned pieces = splices + 1;
    for (unsigned k = 0; k < pieces; ++k)
        p.glass.push_back({ spanKm / pieces, 0.19 + 0.01 * (unit(rng) - 0.5), 0.16 * (unit(rng) - 0.5) });
    for (unsigned k = 1; k <= splices; ++k)
        p.splices.push_back({ k * spanKm / pieces, 0.02 + 0.23 * std::pow(unit(rng), 2), std::nullopt, true });
    // Bends lie between splices, where a cable was laid too tight.
    for (unsigned k = 0; k < bends && k < pieces; ++k) {
        const unsigned piece = (k * 2 + 1) * pieces / (2 * bends + 1) % pieces;
        const double loss1550 = 0.6 + 0.6 * unit(rng);
        p.bends.push_back({ (piece + 0.3 + 0.4 * unit(rng)) * spanKm / pieces, loss1550 / 10, loss1550 });
    }
    return p;
}

double attenuationAt(double at1550, double nm)
{
    // About 0.03 dB/km of the loss at 1550 nm is not Rayleigh scattering and changes little with the wavelength.
    const double other = std::min(0.03, at1550);
    return (at1550 - other) * std::pow(1550 / nm, 4) + other;
}

Fibre measured(const FibrePlan& plan, uint16_t nm, bool fromB)
{
    std::vector<Section> glass = plan.glass;
    for (auto& s : glass)
        s.attenuation = attenuationAt(s.attenuation, nm);
    Fibre f = withReels(glass, plan.launchKm, plan.receiveKm, plan.connectorLoss, plan.connectorReflectance);
    const double start = std::max(plan.launchKm, 0.0);
    for (auto e : plan.splices) {
        e.km += start;
        f.events.push_back(e);
    }
    for (const auto& b : plan.bends)
        f.events.push_back({ start + b.km, b.lossAt(nm), std::nullopt, true });
    if (fromB)
        f = reversed(f);
    f.listedFrom = plan.listedFrom;
    f.pulseNs = plan.pulseNs;
    f.spacingMetres = plan.spacingMetres;
    f.samples = plan.samples;
    f.noiseFloorDb = plan.noiseFloorDb;
    f.wavelengthNm = nm;
    f.seed = plan.seed * 8 + (fromB ? 1 : 0) + 2 * (nm / 100 % 4);
    f.ids.cableId = plan.cableId;
    f.ids.fiberId = plan.fibreId(fromB);
    const bool swap = fromB && plan.swapLocations;
    f.ids.locationA = swap ? plan.locationB : plan.locationA;
    f.ids.locationB = swap ? plan.locationA : plan.locationB;
    f.instrumentSerial = fromB ? "B-7734" : "A-2155";
    return f;
}

std::string pairTruthJson(const FibrePlan& plan, const std::vector<uint16_t>& wavelengths)
{
    std::ostringstream out;
    out.precision(10);
    const double start = std::max(plan.launchKm, 0.0);
    out << "{\"fibre\":\"" << plan.fibreId(false) << "\",\"spanStartKm\":" << start
        << ",\"spanEndKm\":" << start + plan.spanKm() << ",\"spanKm\":" << plan.spanKm() << ",\"wavelengths\":[";
    for (size_t w = 0; w < wavelengths.size(); ++w) {
        const Fibre a = measured(plan, wavelengths[w], false);
        const Fibre b = measured(plan, wavelengths[w], true);
        std::vector<size_t> order(a.events.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::sort(order.begin(), order.end(), [&](size_t x, size_t y) { return a.events[x].km < a.events[y].km; });
        out << (w ? "," : "") << "{\"wavelength\":" << wavelengths[w] << ",\"events\":[";
        for (size_t k = 0; k < order.size(); ++k) {
            // reversed() keeps the events in their order: the same index is the same event from B.
            const Event& ea = a.events[order[k]];
            const Event& eb = b.events[order[k]];
            const double ab = a.apparentLoss(ea);
            const double ba = b.apparentLoss(eb);
            const auto listed = [](const Fibre& f, const Event& e, double apparent) {
                return e.listed && (e.reflectance || std::fabs(apparent) >= f.listedFrom);
            };
            out << (k ? "," : "") << "{\"km\":" << ea.km << ",\"type\":\"" << (ea.reflectance ? "reflective" : "splice")
                << "\",\"loss\":" << ea.loss << ",\"apparentAB\":" << ab << ",\"apparentBA\":" << ba
                << ",\"listedAB\":" << (listed(a, ea, ab) ? "true" : "false")
                << ",\"listedBA\":" << (listed(b, eb, ba) ? "true" : "false") << "}";
        }
        out << "]}";
    }
    out << "],\"bends\":[";
    for (size_t k = 0; k < plan.bends.size(); ++k) {
        out << (k ? "," : "") << "{\"km\":" << start + plan.bends[k].km << ",\"losses\":[";
        for (size_t w = 0; w < wavelengths.size(); ++w)
            out << (w ? "," : "") << plan.bends[k].lossAt(wavelengths[w]);
        out << "]}";
    }
    out << "]}\n";
    return out.str();
}

} // namespace synth
