#include "GeneratedTrace.h"

#include "analysis/OwnAnalysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <ostream>

using namespace analysis;

namespace {

// A generated fibre and what the analysis must make of it.
struct Case {
    const char* name;
    std::function<synth::Fibre()> fibre;
    DetectionThresholds thresholds;
    double lossTolerance = 0.03; ///< dB, and a tenth of the loss
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

synth::Fibre plain(double km, double pulseNs = 100)
{
    synth::Fibre f;
    f.add({ km, 0.2, 0 });
    f.pulseNs = pulseNs;
    return f;
}

DetectionThresholds defaults() { return DetectionThresholds(); }

const Case cases[] = {
    { "splices of 0.1 to 2 dB",
        [] {
            auto f = plain(10);
            for (auto [km, loss] : { std::pair { 2.0, 0.1 }, { 4.0, 0.3 }, { 6.0, 0.8 }, { 8.0, 2.0 } })
                f.events.push_back({ km, loss, std::nullopt, true });
            return f;
        },
        defaults() },
    { "gains where the backscatter rises",
        [] {
            synth::Fibre f;
            f.add({ 4, 0.2, 0 });
            f.add({ 4, 0.2, 0.25 });
            f.add({ 4, 0.2, 0.05 });
            f.events.push_back({ 4, 0.05, std::nullopt, true });
            f.events.push_back({ 8, 0.1, std::nullopt, true });
            return f;
        },
        defaults() },
    { "reflections from -62 to -14 dB",
        [] {
            auto f = plain(10);
            for (auto [km, r] : { std::pair { 2.0, -62.0 }, { 4.0, -45.0 }, { 6.0, -30.0 }, { 8.0, -14.0 } })
                f.events.push_back({ km, 0.3, r, true });
            return f;
        },
        defaults(), 0.05 },
    { "a saturated peak is one event",
        [] {
            auto f = plain(8);
            f.events.push_back({ 4, 0.5, -14.0, true });
            f.endReflectance = -60;
            f.saturationDb = 3;
            return f;
        },
        defaults(), 0.05 },
    { "a ghost is no event",
        [] {
            auto f = plain(10);
            f.frontReflectance = -25;
            f.events.push_back({ 3, 0.5, -18.0, true });
            f.addGhostOf(3, -18.0);
            return f;
        },
        defaults(), 0.05 },
    { "a break without reflection",
        [] {
            auto f = plain(7);
            f.events.push_back({ 3, 0.2, std::nullopt, true });
            f.endReflectance.reset();
            return f;
        },
        defaults() },
    { "noise near the far end makes no events",
        [] {
            synth::Fibre f;
            f.add({ 36, 0.2, 0 });
            f.pulseNs = 1000;
            f.spacingMetres = 4;
            f.noiseFloorDb = -15;
            f.events.push_back({ 12, 0.3, std::nullopt, true });
            f.events.push_back({ 24, 0.4, std::nullopt, true });
            return f;
        },
        defaults(), 0.06 },
    { "launch and receive reels",
        [] {
            auto f = synth::withReels({ { 8, 0.2, 0 } }, 1.0, 1.0);
            f.events.push_back({ 5, 0.15, std::nullopt, true });
            return f;
        },
        defaults() },
    { "a 0.02 dB splice with a threshold below it",
        [] {
            auto f = plain(8);
            f.noiseFloorDb = -36;
            f.baseNoiseDb = 0.0005;
            f.events.push_back({ 4, 0.02, std::nullopt, true });
            return f;
        },
        [] {
            DetectionThresholds t;
            t.spliceLoss = 0.01;
            return t;
        }(),
        0.01 },
};

class Detection : public testing::TestWithParam<Case> { };

} // namespace

// Every event of the fibre is found where it is, as what it is, with its loss and reflectance; nothing else is, and
// the fibre ends where it ends. Three seeds each, so that one lucky draw proves nothing.
TEST_P(Detection, FindsTheTruthAndNothingElse)
{
    const Case& c = GetParam();
    for (uint32_t seed : { 1u, 2u, 3u }) {
        SCOPED_TRACE(seed);
        synth::Fibre fibre = c.fibre();
        fibre.seed = seed;
        const GeneratedTrace g(fibre);
        const OwnAnalysis own = analyse(*g.parsed.parser, c.thresholds);
        const double tolerance = std::max({ pulseLengthKm(fibre.pulseNs), 3 * g.trace.stepKm, 0.010 });

        std::vector<bool> matched(own.events.size(), false);
        for (const auto& truth : fibre.events) {
            if (truth.ghost)
                continue;
            const double km = synth::displayedKm(fibre, truth.km);
            SCOPED_TRACE(testing::Message() << "event at " << km << " km");
            const auto found = std::find_if(own.events.begin(), own.events.end(),
                [&](const OwnEvent& e) { return e.kind != OwnEventKind::End && std::fabs(e.km - km) <= tolerance; });
            ASSERT_NE(found, own.events.end());
            matched[static_cast<size_t>(found - own.events.begin())] = true;
            const double loss = fibre.apparentLoss(truth);
            ASSERT_TRUE(found->loss);
            EXPECT_NEAR(*found->loss, loss, std::max(c.lossTolerance, 0.1 * std::fabs(loss)));
            if (truth.reflectance) {
                EXPECT_EQ(found->kind, OwnEventKind::Reflective);
                ASSERT_TRUE(found->reflectance);
                // A clipped peak tells only that the reflection is at least that strong.
                if (found->saturated)
                    EXPECT_LE(*found->reflectance, *truth.reflectance + 1);
                else
                    EXPECT_NEAR(*found->reflectance, *truth.reflectance, 1.5);
            } else {
                EXPECT_EQ(found->kind, loss < 0 ? OwnEventKind::Gain : OwnEventKind::Splice);
            }
        }
        for (size_t k = 0; k < own.events.size(); ++k) {
            const auto& e = own.events[k];
            if (e.kind == OwnEventKind::End) {
                EXPECT_EQ(k + 1, own.events.size()) << "the end is last";
                EXPECT_NEAR(e.km, synth::displayedKm(fibre, fibre.lengthKm()), tolerance);
            } else {
                EXPECT_TRUE(matched[k]) << "no event at " << e.km << " km";
            }
        }
        EXPECT_TRUE(!own.events.empty() && own.events.back().kind == OwnEventKind::End) << "the end is found";
        const bool saturates = fibre.saturationDb.has_value();
        EXPECT_EQ(std::count_if(own.events.begin(), own.events.end(), [](const OwnEvent& e) { return e.saturated; }),
            saturates ? 1 : 0);
    }
}

INSTANTIATE_TEST_SUITE_P(GeneratedFibres, Detection, testing::ValuesIn(cases));

// What the file holds beside the trace cannot break the analysis: no samples, one sample, a flat line, a trace that
// is all noise.
TEST(Detection, DegenerateTracesGiveNoEvents)
{
    const std::vector<double> flat(5000, -20.0);
    const std::vector<double> one { -20.0 };
    Acquisition a;
    a.pulseWidthNs = 100;
    for (const auto& trace : { TraceSamples { flat.data(), flat.size(), 0, 0.001 }, TraceSamples { one.data(), 1, 0, 0.001 },
             TraceSamples {}, TraceSamples { flat.data(), flat.size(), 0, 0 } }) {
        const OwnAnalysis own = detectEvents(trace, a, DetectionThresholds());
        EXPECT_TRUE(std::none_of(own.events.begin(), own.events.end(),
            [](const OwnEvent& e) { return e.kind != OwnEventKind::End; }));
    }
}

// The reflectance formula and its inverse, on values read off the generator's own rule.
TEST(Detection, ReflectanceOfAPeak)
{
    EXPECT_NEAR(reflectanceOfPeak(peakOfReflectance(-40, -80, 100), -80, 100), -40, 1e-9);
    EXPECT_NEAR(peakOfReflectance(-65, -81.5, 20000), 0.0049, 0.0002);
    EXPECT_FALSE(std::isfinite(reflectanceOfPeak(0, -80, 100)));
}
