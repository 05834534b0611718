#include "GeneratedTrace.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

using namespace analysis;

namespace {

// One fibre of two sections with an event between them at 5 km; its truth against what the trace is measured as.
struct Case {
    const char* name;
    double attenuation; ///< dB/km, both sections
    double loss; ///< dB at 5 km
    std::optional<double> reflectance;
    double pulseNs;
    double spacingMetres;
    double noiseFloorDb; ///< below the launch level: -30 quiet, -14 noisy at 10 km
    double lossTolerance; ///< dB
    double slopeTolerance; ///< dB/km
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class Primitives : public testing::TestWithParam<Case> { };

synth::Fibre fibreOf(const Case& c, uint32_t seed)
{
    synth::Fibre f;
    f.add({ 5.0, c.attenuation, 0 });
    f.add({ 5.0, c.attenuation, 0 });
    f.events.push_back({ 5.0, c.loss, c.reflectance, true });
    f.pulseNs = c.pulseNs;
    f.spacingMetres = c.spacingMetres;
    f.noiseFloorDb = c.noiseFloorDb;
    f.seed = seed;
    return f;
}

} // namespace

// Every primitive recovers the truth it was rendered from, within a tolerance that grows with the noise; three seeds
// each, so that one lucky draw proves nothing.
TEST_P(Primitives, RecoverTheTruth)
{
    const Case& c = GetParam();
    for (uint32_t seed : { 1u, 2u, 3u }) {
        SCOPED_TRACE(seed);
        const synth::Fibre fibre = fibreOf(c, seed);
        const GeneratedTrace g(fibre);
        const double dz = deadZoneKm(c.pulseNs, g.trace.stepKm);

        const auto before = sectionAttenuation(g.trace, 0.5, 5.0, dz);
        const auto after = sectionAttenuation(g.trace, 5.0 + recoveryKm(c.pulseNs), 9.5, dz);
        ASSERT_TRUE(before && after);
        EXPECT_NEAR(*before, c.attenuation, c.slopeTolerance);
        EXPECT_NEAR(*after, c.attenuation, c.slopeTolerance);

        EventWindow event;
        event.atKm = 5.0;
        event.deadZoneKm = dz;
        event.recoveryKm = c.reflectance ? recoveryKm(c.pulseNs) : 0.0;
        const auto loss = eventLoss(g.trace, event);
        ASSERT_TRUE(loss);
        EXPECT_NEAR(*loss, c.loss, c.lossTolerance);

        // Between 1 and 9 km: the glass and the event; the lines read at positions without events.
        EventWindow from;
        from.atKm = 1.0;
        from.deadZoneKm = dz;
        EventWindow to = from;
        to.atKm = 9.0;
        const auto total = lossBetween(g.trace, from, Side::After, to, Side::Before);
        ASSERT_TRUE(total);
        EXPECT_NEAR(*total, fibre.level(1.0) - fibre.level(9.0), c.lossTolerance + 2 * dz * c.slopeTolerance);
    }
}

INSTANTIATE_TEST_SUITE_P(GeneratedTraces, Primitives,
    testing::Values(Case { "quiet_splice", 0.20, 0.10, std::nullopt, 100, 1.0, -30, 0.01, 0.005 },
        Case { "quiet_gain", 0.35, -0.15, std::nullopt, 100, 1.0, -30, 0.01, 0.005 },
        Case { "quiet_connector", 0.20, 0.50, -45.0, 100, 1.0, -30, 0.02, 0.005 },
        Case { "long_pulse_coarse_grid", 0.18, 0.30, std::nullopt, 1000, 5.0, -30, 0.03, 0.01 },
        Case { "short_pulse_fine_grid", 0.33, 0.05, std::nullopt, 10, 0.25, -30, 0.01, 0.005 },
        Case { "noisy_splice", 0.20, 0.20, std::nullopt, 100, 1.0, -16, 0.05, 0.02 },
        Case { "very_noisy_splice", 0.25, 0.50, std::nullopt, 300, 2.0, -13, 0.12, 0.05 }),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(FitLine, ExactLineAndTooFewSamples)
{
    // y = -0.2 x + 5 on a 10 m grid starting at -1 km.
    std::vector<double> db;
    for (int i = 0; i < 500; ++i)
        db.push_back(-0.2 * (-1.0 + i * 0.01) + 5);
    const TraceSamples t { db.data(), db.size(), -1.0, 0.01 };
    const auto line = fitLine(t, -0.5, 3.0);
    ASSERT_TRUE(line);
    EXPECT_NEAR(line->slope, -0.2, 1e-12);
    EXPECT_NEAR(line->at(0), 5.0, 1e-12);
    EXPECT_NEAR(line->slopeError, 0.0, 1e-9);
    EXPECT_EQ(line->samples, 351u);
    EXPECT_TRUE(glassLike(*line));

    struct Window {
        double from, to;
        bool fits;
    };
    for (const Window w : { Window { 0.0, 0.02, true }, Window { 0.0, 0.015, false }, Window { 4.0, 9.0, false },
             Window { -9.0, -1.0, false }, Window { 3.97, 9.0, true }, Window { 1.0, 0.5, false } }) {
        SCOPED_TRACE(std::to_string(w.from) + ".." + std::to_string(w.to));
        EXPECT_EQ(fitLine(t, w.from, w.to).has_value(), w.fits);
    }
    EXPECT_FALSE(fitLine(TraceSamples { db.data(), db.size(), 0.0, 0.0 }, 0, 1)); // no grid
    EXPECT_FALSE(fitLine(TraceSamples {}, 0, 1));
}

// A side with fewer than three samples between the dead zones gives no loss rather than a guess.
TEST(EventLoss, NotMeasuredWithoutRoomBesideTheEvent)
{
    std::vector<double> db(1000, -20.0);
    const TraceSamples t { db.data(), db.size(), 0.0, 0.001 };
    struct Room {
        double at, previous, next;
        bool measured;
    };
    for (const Room r : { Room { 0.5, -1, 9, true }, Room { 0.011, -1, 9, false }, Room { 0.99, -1, 9, false },
             Room { 0.5, 0.479, 9, false }, Room { 0.5, 0.477, 9, true }, Room { 0.5, -1, 0.521, false } }) {
        SCOPED_TRACE(r.at);
        EventWindow w;
        w.atKm = r.at;
        w.deadZoneKm = 0.010;
        w.previousKm = r.previous;
        w.nextKm = r.next;
        EXPECT_EQ(eventLoss(t, w).has_value(), r.measured);
    }
}

// Where the receiver still recovers after a reflection the line is no glass: the fit slides on to where it is.
TEST(EventLoss, SlidesPastARecoveringReceiver)
{
    std::vector<double> db;
    for (int i = 0; i < 3000; ++i) {
        const double km = i * 0.001;
        const double recovering = km < 0.6 ? -3.0 * (0.6 - km) / 0.6 : 0.0; // rises 3 dB over 600 m
        db.push_back(-0.2 * km + (km >= 0 ? recovering : 0));
    }
    const TraceSamples t { db.data(), db.size(), 0.0, 0.001 };
    EventWindow front;
    front.atKm = 0;
    front.deadZoneKm = 0.1;
    front.maxAttenuation = maxGlassAttenuationAt(1550);
    const auto level = levelBeside(t, front, Side::After);
    ASSERT_TRUE(level);
    EXPECT_NEAR(*level, 0.0, 0.02);
}
