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

namespace {

// A fibre of 20 km between 1 km reels as one end's file lists it, a splice of 0.30 dB at spliceKm on its own axis.
FibreFile listed(double spanKm, double spliceKm, double pulseNs)
{
    FibreFile f;
    FileSummary& s = f.summary;
    s.parsed = true;
    s.wavelength = 1550;
    s.pulseWidth = pulseNs;
    const auto event = [](double km, std::optional<double> loss, bool reflective, bool end = false) {
        EventMeasure e;
        e.km = km;
        e.loss = loss;
        e.reflective = reflective;
        e.end = end;
        return e;
    };
    s.eventList = { event(1, 0.5, true), event(spliceKm, 0.3, false), event(1 + spanKm, 0.5, true),
        event(2 + spanKm, std::nullopt, true, true) };
    s.span = { 1.0, 1 + spanKm, 0, 2 };
    s.fibreLength = spanKm;
    return f;
}

struct MirrorCase {
    const char* name;
    double lengthBA; ///< km; A's span is 20 km
    double offsetKm; ///< where B puts the splice beyond A's place, mirrored onto A's axis
    double pulseNs;
    bool matched; ///< one event listed by both, else one from each end
    bool warned; ///< of spans more than 1 % apart
};

void PrintTo(const MirrorCase& c, std::ostream* os) { *os << c.name; }

class Mirroring : public testing::TestWithParam<MirrorCase> { };

} // namespace

// B's places turned onto A's axis through the spans, x_A = spanStart_A + spanEnd_B − x_B; events one within the
// larger of 20 m and the pulse's length; spans more than 1 % apart warned of, the pair analysed all the same.
TEST_P(Mirroring, PlacesBOnAsAxis)
{
    const MirrorCase& c = GetParam();
    const FibreFile a = listed(20, 8, c.pulseNs);
    const double mirror = 1 + (1 + c.lengthBA);
    const FibreFile b = listed(c.lengthBA, mirror - (8 + c.offsetKm), c.pulseNs);
    const WavelengthAnalysis w = analyseWavelength(&a, &b);
    ASSERT_TRUE(w.paired());
    EXPECT_EQ(w.mirrorKm, std::optional<double>(mirror));
    EXPECT_EQ(w.lengthKm, std::optional<double>(std::max(20.0, c.lengthBA)));
    EXPECT_EQ(w.warnings.size(), c.warned ? 1u : 0u);
    if (c.warned) {
        EXPECT_EQ(w.warnings[0].rfind("spans differ by ", 0), 0u) << w.warnings[0];
    }

    std::vector<const FibreEvent*> splices;
    for (const auto& e : w.events) {
        if (e.kind == EventKind::Splice)
            splices.push_back(&e);
    }
    ASSERT_EQ(splices.size(), c.matched ? 1u : 2u);
    if (c.matched) {
        EXPECT_EQ(splices[0]->source, Listed::Both);
        EXPECT_NEAR(splices[0]->km, 8 + c.offsetKm / 2, 1e-9);
        EXPECT_EQ(splices[0]->loss, std::optional<double>(0.3));
    } else {
        EXPECT_EQ(splices[0]->source, Listed::AB);
        EXPECT_EQ(splices[1]->source, Listed::BA);
        EXPECT_NEAR(splices[1]->km, 8 + c.offsetKm, 1e-9);
    }
    // The reels' connectors: A's launch connector is B's receive connector, at A's place, judged as connectors.
    ASSERT_GE(w.events.size(), 2u);
    EXPECT_EQ(w.events[0].km, 0.0);
    EXPECT_EQ(w.events[1].km, 1.0);
    EXPECT_TRUE(w.events[1].cableConnector && w.events[1].source == Listed::Both);
}

INSTANTIATE_TEST_SUITE_P(Spans, Mirroring,
    testing::Values(MirrorCase { "same_place", 20, 0, 100, true, false },
        MirrorCase { "within_20_m", 20.1, 0.018, 100, true, false },
        MirrorCase { "beyond_twice_20_m_apart", 20.1, 0.05, 100, false, false },
        MirrorCase { "within_the_pulse_length", 20, 0.09, 1000, true, false },
        MirrorCase { "spans_1_5_percent_apart", 20.3, 0.01, 100, true, true }),
    [](const testing::TestParamInfo<MirrorCase>& info) { return std::string(info.param.name); });
