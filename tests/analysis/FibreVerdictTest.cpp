#include "analysis/FibreVerdict.h"
#include "analysis/FibreSummary.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace analysis;

namespace {

// A fibre at 1550 nm from both ends, or from A alone: a splice, a connector on the span and one on a reel.
FibreAnalysis fibre(bool paired)
{
    WavelengthAnalysis w;
    w.wavelength = 1550;
    w.fileAB = "A/ELMMIL0005_1550.sor";
    w.fileBA = paired ? "B/MILELM0005_1550.sor" : "";
    w.bothEnds = paired;
    w.startKm = 1.002;
    w.endKm = 68.55;
    w.lengthKm = 67.548;
    w.totalLoss = 13.44, w.totalLossAB = 13.584, w.totalLossBA = 13.295;
    w.attenuation = 0.352, w.attenuationAB = 0.36, w.attenuationBA = 0.344;
    w.orl = 27.5, w.orlAB = 27.5, w.orlBA = 30.1;
    FibreEvent splice;
    splice.km = 12.345;
    splice.judged = true;
    splice.loss = 0.21, splice.lossAB = 0.36, splice.lossBA = 0.06;
    FibreEvent connector;
    connector.km = 68.55;
    connector.kind = EventKind::Reflective;
    connector.cableConnector = connector.judged = true;
    connector.loss = 0.8, connector.lossAB = 0.9, connector.lossBA = 0.7;
    connector.reflectance = -30.2, connector.reflectanceAB = -30.2, connector.reflectanceBA = -41.5;
    FibreEvent reel = connector;
    reel.km = 0.5;
    reel.cableConnector = reel.judged = false;
    w.events = { reel, splice, connector };
    if (!paired)
        w.incomplete.push_back("measured from one end only");
    WavelengthAnalysis shorter;
    shorter.wavelength = 1310;
    shorter.fileAB = w.fileAB;
    shorter.fileBA = w.fileBA;
    shorter.bothEnds = paired;
    FibreAnalysis a;
    a.fibreId = "ELMMIL0005";
    a.wavelengths = { shorter, w };
    a.places.push_back({ 40.0, { 1310, 1550 }, { 0.08, 0.71 }, { 2, 5 } });
    return a;
}

struct VerdictCase {
    const char* name;
    const char* limits; ///< thresholds.ini lines over the defaults
    bool paired;
    Outcome outcome;
    std::vector<std::string> reasons;
};

void PrintTo(const VerdictCase& c, std::ostream* os) { *os << c.name; }

class FibreReasons : public testing::TestWithParam<VerdictCase> { };

} // namespace

TEST_P(FibreReasons, NameTheWavelengthAndTheEvent)
{
    const VerdictCase& c = GetParam();
    const Thresholds t = parseThresholds(c.limits);
    const FibreAnalysis a = fibre(c.paired);
    const FibreVerdict v = evaluateFibre(a, t);
    EXPECT_EQ(v.outcome, c.outcome);
    EXPECT_EQ(v.reasons, c.reasons);

    // The table's row of the wavelength carries its part of the verdict, the reel's connector is not judged.
    const auto rows = fibreRows(a, v);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].connector.value, std::optional<double>(0.8));
    EXPECT_EQ(rows[1].splice.km, std::optional<double>(12.345));
    EXPECT_EQ(rows[1].reasons, c.reasons);
    EXPECT_EQ(eventFailures(a.wavelengths[1].events[0], t), 0u);
}

INSTANTIATE_TEST_SUITE_P(Limits, FibreReasons,
    testing::Values(
        VerdictCase { "defaults", "", true, Outcome::Fail,
            { "connector 0.80 dB (A\u2192B 0.90, B\u2192A 0.70) at 68.550 km > 0.75 dB, 1550 nm",
                "reflectance -30.20 dB (A\u2192B -30.20, B\u2192A -41.50) at 68.550 km > -35.00 dB, 1550 nm",
                "attenuation 0.352 dB/km (A\u2192B 0.36, B\u2192A 0.344) > 0.30 dB/km, 1550 nm",
                "bend 0.63 dB (1310 nm 0.08, 1550 nm 0.71) at 40.000 km > 0.50 dB" } },
        VerdictCase { "splice_total_orl",
            "MaxSpliceLoss:0.15\nMaxConnectorLoss:\nMaxReflectance:\nMaxAttenuation1550:\nMaxTotalLoss:13\n"
            "MinORL:30\nMaxBendDelta:",
            true, Outcome::Fail,
            { "splice 0.21 dB (A\u2192B 0.36, B\u2192A 0.06) at 12.345 km > 0.15 dB, 1550 nm",
                "total loss 13.44 dB (A\u2192B 13.584, B\u2192A 13.295) > 13.00 dB, 1550 nm",
                "ORL 27.50 dB (A\u2192B 27.50, B\u2192A 30.10) < 30.00 dB, 1550 nm" } },
        VerdictCase { "nothing_fails", "MaxConnectorLoss:1\nMaxReflectance:\nMaxAttenuation1550:0.4\nMaxBendDelta:0.7",
            true, Outcome::Pass, {} },
        VerdictCase { "one_end_only", "MaxConnectorLoss:1\nMaxReflectance:\nMaxAttenuation1550:\nMaxBendDelta:", false,
            Outcome::Incomplete, { "measured from one end only, 1550 nm" } },
        VerdictCase { "one_end_fails",
            "MaxSpliceLoss:0.15\nMaxConnectorLoss:1\nMaxReflectance:\nMaxAttenuation1550:\n"
            "MaxBendDelta:",
            false, Outcome::Fail,
            { "splice 0.21 dB (A\u2192B only) at 12.345 km > 0.15 dB, 1550 nm",
                "measured from one end only, 1550 nm" } }),
    [](const testing::TestParamInfo<VerdictCase>& info) { return std::string(info.param.name); });

// A bend is more loss at a longer wavelength than at a shorter one: the same loss at both, or less at the longer,
// is none; the limit is judged as shown, three decimals.
TEST(FibreBends, OnlyALongerWavelengthLosingMore)
{
    struct Case {
        std::vector<double> wavelengths, losses;
        double limit;
        bool bend;
        double delta;
    };
    const Case cases[] = {
        { { 1310, 1550 }, { 0.1, 0.6 }, 0.5, false, 0 },
        { { 1310, 1550 }, { 0.1, 0.6011 }, 0.5, true, 0.5011 },
        { { 1310, 1550 }, { 0.9, 0.1 }, 0.5, false, 0 },
        { { 1310, 1550, 1625 }, { 0.1, 0.3, 0.9 }, 0.5, true, 0.8 },
        { { 1310, 1550, 1625 }, { 0.5, 0.3, 0.9 }, 0.5, true, 0.6 },
    };
    for (const Case& c : cases) {
        FibreAnalysis a;
        a.places.push_back({ 3.0, c.wavelengths, c.losses, std::vector<int>(c.losses.size(), 0) });
        Thresholds t;
        t.maxBendDelta = c.limit;
        const auto found = bends(a, t);
        ASSERT_EQ(found.size(), c.bend ? 1u : 0u) << c.losses.back();
        if (c.bend) {
            EXPECT_NEAR(found[0].deltaDb, c.delta, 1e-12);
            EXPECT_EQ(found[0].losses, c.losses);
        }
        t.maxBendDelta.reset();
        EXPECT_TRUE(bends(a, t).empty());
    }
}
