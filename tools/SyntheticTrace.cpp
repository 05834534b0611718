#include "SyntheticTrace.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace {

constexpr double speedOfLight = 299.792458; // m/us
constexpr uint32_t indexRaw = 146800; // group index 1.468

struct Feature {
    size_t index; ///< sample of the event
    double loss; ///< dB
    double reflectance; ///< dB, 0 for a non-reflective event
    bool end;
};

// 0.1 ns units of the time of travel to a distance in km, the inverse of the reader's conversion.
uint32_t timeOf(double km)
{
    return static_cast<uint32_t>(std::lround(km * (indexRaw * 0.00001) / (0.0000001 * speedOfLight)));
}

} // namespace

sortest::SorBuilder synthesize(const SynthOptions& o)
{
    std::mt19937 rng(o.seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::normal_distribution<double> gauss(0.0, 1.0);

    const size_t n = std::max<uint32_t>(o.samples, 16);
    const double kmPerSample = o.spacingMetres * 0.001;
    const double slope = 0.2 + 0.15 * unit(rng); // dB/km
    const size_t endIndex = std::max<size_t>(n * 8 / 10, 8);
    const unsigned eventCount = std::max(2u, o.events);

    // Launch connector at 0, the fibre end, and splices or connectors spread in between.
    std::vector<Feature> features;
    features.push_back({ 0, 0.0, -45.0 - 5 * unit(rng), false });
    const unsigned middle = eventCount - 2;
    for (unsigned k = 1; k <= middle; ++k) {
        const double share = (k + 0.3 * (unit(rng) - 0.5)) / (middle + 1);
        const size_t index = std::clamp<size_t>(static_cast<size_t>(share * endIndex), 1, endIndex - 1);
        const bool connector = unit(rng) < 0.35;
        features.push_back({ index, connector ? 0.2 + 0.3 * unit(rng) : 0.03 + 0.2 * unit(rng),
            connector ? -40.0 - 15 * unit(rng) : 0.0, false });
    }
    features.push_back({ endIndex, 20.0, -14.0 - 4 * unit(rng), true });
    std::sort(features.begin(), features.end(), [](const Feature& a, const Feature& b) { return a.index < b.index; });

    // Level in dB relative to the launch level; reflections are short peaks as wide as the pulse.
    const size_t pulseSamples = std::max<size_t>(3, static_cast<size_t>(10.0 / o.spacingMetres));
    std::vector<double> level(n);
    double lossSoFar = 0;
    size_t next = 0;
    const double floorLevel = -(slope * endIndex * kmPerSample) - 18.0;
    for (size_t i = 0; i < n; ++i) {
        while (next < features.size() && features[next].index <= i) {
            lossSoFar += features[next].end ? 0.0 : features[next].loss;
            ++next;
        }
        double l = -slope * i * kmPerSample - lossSoFar;
        if (i > endIndex)
            l = floorLevel;
        // Noise grows as the backscatter falls towards the floor.
        const double noise = 0.02 + 0.5 * std::pow(10.0, (floorLevel - l) / 10.0 + 0.3);
        level[i] = l + std::min(noise, 1.5) * gauss(rng);
    }
    for (const auto& f : features) {
        if (f.reflectance == 0.0)
            continue;
        const double peak = std::clamp(f.reflectance + 60.0, 3.0, 45.0) * 0.5;
        for (size_t k = 0; k < pulseSamples && f.index + k < n; ++k) {
            const double shape = 1.0 - double(k) / pulseSamples;
            level[f.index + k] = std::max(level[f.index + k], level[f.index > 0 ? f.index - 1 : 0] + peak * shape);
        }
    }

    const double top = *std::max_element(level.begin(), level.end());
    sortest::Data data;
    data.samples.reserve(n);
    for (const double l : level)
        data.samples.push_back(static_cast<uint16_t>(std::clamp((top - l) * 1000.0, 0.0, 65535.0)));

    sortest::Events events;
    double cumulative = 0;
    uint16_t number = 1;
    for (const auto& f : features) {
        const double km = f.index * kmPerSample;
        sortest::Event e;
        e.number = number++;
        e.timeOfTravel = static_cast<int32_t>(timeOf(km));
        e.slope = static_cast<int16_t>(std::lround(slope * 1000));
        e.spliceLoss = static_cast<int16_t>(std::lround((f.end ? 0.0 : f.loss) * 1000));
        e.reflectionLoss = static_cast<int32_t>(std::lround(f.reflectance * 1000));
        e.code = std::string(f.reflectance != 0.0 ? "1" : "0") + (f.end ? "E" : "F") + "9999LS";
        e.endOfPrev = timeOf(std::max(0.0, km - 0.05));
        e.beginOfCurrent = e.timeOfTravel;
        e.endOfCurrent = timeOf(km + pulseSamples * kmPerSample);
        e.beginOfNext = timeOf(km + 0.1);
        e.peak = timeOf(km + kmPerSample);
        events.events.push_back(e);
        cumulative += f.end ? 0.0 : f.loss;
    }
    const double fibreKm = endIndex * kmPerSample;
    events.totalLoss = static_cast<int32_t>(std::lround((cumulative + slope * fibreKm) * 1000));
    events.fiberLength = timeOf(fibreKm);
    events.orl = static_cast<uint16_t>(std::lround((32.0 + 10 * unit(rng)) * 1000));
    events.orlLength = events.fiberLength;

    sortest::Fxd fxd;
    fxd.sampleSpacing = static_cast<uint32_t>(std::lround(o.spacingMetres * indexRaw / (0.001 * speedOfLight)));
    fxd.indexRefraction = indexRaw;
    fxd.pulseWidth = static_cast<uint16_t>(std::clamp(o.spacingMetres * 100.0, 10.0, 20000.0));
    fxd.range = static_cast<uint32_t>(std::lround(n * kmPerSample / 2 / 0.00001));
    fxd.lossThreshold = 20;

    sortest::Sup sup;
    sup.other = "Synthetic trace, seed " + std::to_string(o.seed);

    sortest::SorBuilder builder;
    builder.gen(sortest::Gen()).sup(sup).fxd(fxd).events(events).data(data);
    return builder;
}
