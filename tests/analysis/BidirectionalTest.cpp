#include "Parse.h"
#include "SyntheticPair.h"

#include "analysis/FibreAnalysis.h"
#include "analysis/FibreVerdict.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

using namespace analysis;

namespace {

struct PairCase {
    const char* name;
    double spanKm;
    unsigned splices, bends;
    double launchKm, receiveKm;
    double pulseNs;
    double noiseDb; ///< the noise floor below the launch level
    CableSetting launch, receive; ///< as the technician sets them
    uint32_t seed;
};

void PrintTo(const PairCase& c, std::ostream* os) { *os << c.name; }

CableSetting automatic() { return { CableSetting::Mode::Auto, 0 }; }
CableSetting km(double v) { return { CableSetting::Mode::Length, v }; }

FibreFile generated(const synth::Fibre& f, const std::string& name, const Thresholds& t)
{
    const sortest::Parsed p = sortest::parseBytes(synth::render(f).build(), "end.sor");
    return fibreFile(*p.parser, std::string(), name, t);
}

// One true event as each end's instrument lists it.
struct Truth {
    double km; ///< on A's axis
    double loss;
    bool listedAB, listedBA;
};

std::vector<Truth> truthAt(const synth::FibrePlan& plan, uint16_t nm)
{
    const synth::Fibre a = synth::measured(plan, nm, false);
    const synth::Fibre b = synth::measured(plan, nm, true);
    std::vector<Truth> out;
    for (size_t k = 0; k < a.events.size(); ++k) {
        const auto& ea = a.events[k];
        const auto& eb = b.events[k]; // the same event: reversed() keeps the order
        const bool byA = ea.reflectance || std::fabs(a.apparentLoss(ea)) >= a.listedFrom;
        const bool byB = eb.reflectance || std::fabs(b.apparentLoss(eb)) >= b.listedFrom;
        out.push_back({ ea.km, ea.loss, byA, byB });
    }
    return out;
}

class GeneratedPairs : public testing::TestWithParam<PairCase> { };

} // namespace

// Both ends of generated fibres whose truth is known: every event an instrument listed is recovered with its true
// loss within 0.03 dB and its place within 20 m, the span within 10 m, the bends where they are and nowhere else.
TEST_P(GeneratedPairs, RecoverTheTruth)
{
    const PairCase& c = GetParam();
    synth::FibrePlan plan = synth::randomPlan(c.spanKm, c.splices, c.bends, c.seed);
    plan.launchKm = c.launchKm;
    plan.receiveKm = c.receiveKm;
    plan.pulseNs = c.pulseNs;
    plan.noiseFloorDb = -c.noiseDb;
    plan.spacingMetres = std::max(1.0, c.pulseNs * 0.102 / 4);
    Thresholds t;
    t.launchCable = c.launch;
    t.receiveCable = c.receive;

    std::vector<FibreFile> files;
    const std::vector<uint16_t> wavelengths { 1310, 1550 };
    for (const uint16_t nm : wavelengths) {
        for (const bool fromB : { false, true }) {
            files.push_back(generated(synth::measured(plan, nm, fromB),
                std::string(fromB ? "B/" : "A/") + plan.fibreId(fromB) + "_" + std::to_string(nm) + ".sor", t));
        }
    }
    const auto fibres = pairFibres(files);
    ASSERT_EQ(fibres.size(), 1u);
    ASSERT_EQ(fibres[0].wavelengths.size(), 2u);
    const FibreAnalysis a = analyseFibre(fibres[0], files);
    const double spanStart = c.launchKm;

    int oneSided = 0;
    for (size_t w = 0; w < wavelengths.size(); ++w) {
        SCOPED_TRACE(wavelengths[w]);
        const WavelengthAnalysis& wa = a.wavelengths[w];
        ASSERT_TRUE(wa.paired());
        EXPECT_EQ(wa.fileAB, files[2 * w].summary.file);
        EXPECT_TRUE(wa.incomplete.empty()) << wa.incomplete.front();
        EXPECT_TRUE(wa.warnings.empty());
        ASSERT_TRUE(wa.startKm && wa.lengthKm);
        EXPECT_NEAR(*wa.startKm, spanStart, 0.010);
        EXPECT_NEAR(*wa.lengthKm, c.spanKm, 0.010);

        const auto truth = truthAt(plan, wavelengths[w]);
        for (const Truth& tr : truth) {
            if (!tr.listedAB && !tr.listedBA)
                continue;
            SCOPED_TRACE(tr.km);
            const FibreEvent* found = nullptr;
            for (const auto& e : wa.events) {
                if (std::fabs(e.km - tr.km) <= 0.020
                    && (!found || std::fabs(e.km - tr.km) < std::fabs(found->km - tr.km)))
                    found = &e;
            }
            ASSERT_TRUE(found);
            EXPECT_TRUE(found->judged);
            EXPECT_EQ(found->source, tr.listedAB && tr.listedBA ? Listed::Both : tr.listedAB ? Listed::AB : Listed::BA);
            ASSERT_TRUE(found->loss);
            EXPECT_NEAR(*found->loss, tr.loss, 0.03);
            // A one-sided event is measured on the other end's trace.
            EXPECT_EQ(found->measuredAB, !tr.listedAB);
            EXPECT_EQ(found->measuredBA, !tr.listedBA);
            oneSided += tr.listedAB != tr.listedBA;
        }
        // Nothing judged that is not there.
        for (const auto& e : wa.events) {
            if (!e.judged)
                continue;
            const bool real = std::any_of(
                truth.begin(), truth.end(), [&](const Truth& tr) { return std::fabs(e.km - tr.km) <= 0.02; });
            EXPECT_TRUE(real) << e.km;
        }
    }
    EXPECT_GT(oneSided, 0) << "the case should hold events listed from one end only";

    const FibreVerdict v = evaluateFibre(a, t);
    ASSERT_EQ(v.bends.size(), plan.bends.size());
    for (size_t k = 0; k < plan.bends.size(); ++k) {
        EXPECT_NEAR(v.bends[k].km, spanStart + plan.bends[k].km, 0.020);
        EXPECT_EQ(v.bends[k].wavelengths, std::vector<double>({ 1310, 1550 }));
        EXPECT_NEAR(v.bends[k].losses[1], plan.bends[k].loss1550, 0.03);
    }
    EXPECT_EQ(v.outcome, plan.bends.empty() ? Outcome::Pass : Outcome::Fail);
}

INSTANTIATE_TEST_SUITE_P(Fibres, GeneratedPairs,
    testing::Values(PairCase { "reels_auto", 25, 6, 1, 1, 1, 100, 20, automatic(), automatic(), 3 },
        PairCase { "reels_by_length_left_in_place", 20, 8, 2, 1.5, 0.8, 300, 18, km(1.5), km(0.8), 11 },
        PairCase { "no_reels", 20, 8, 1, 0, 0, 300, 22, {}, {}, 21 },
        PairCase { "long_pulse_no_bend", 24, 5, 0, 1, 1, 1000, 18, automatic(), automatic(), 33 }),
    [](const testing::TestParamInfo<PairCase>& info) { return std::string(info.param.name); });
