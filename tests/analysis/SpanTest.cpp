#include "GeneratedTrace.h"

#include "analysis/FileSummary.h"
#include "analysis/Verdict.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace analysis;

namespace {

CableSetting none() { return {}; }
CableSetting automatic() { return { CableSetting::Mode::Auto, 0 }; }
CableSetting km(double v) { return { CableSetting::Mode::Length, v }; }

// 20 km of fibre in two kinds of glass with two splices, between 1 km reels or without them; a bad splice on the
// launch reel that is listed but never judged.
synth::Fibre fibre(bool reels)
{
    const std::vector<synth::Section> glass { { 8.0, 0.19, 0 }, { 12.0, 0.21, 0 } };
    synth::Fibre f;
    if (reels) {
        f = synth::withReels(glass, 1.0, 1.0, 0.3, -50.0);
        f.events.push_back({ 0.5, 0.4, std::nullopt, true }); // on the launch reel
    } else {
        for (const auto& s : glass)
            f.add(s);
    }
    const double start = reels ? 1.0 : 0.0;
    f.events.push_back({ start + 8.0, 0.12, std::nullopt, true });
    f.events.push_back({ start + 15.0, 0.08, std::nullopt, true });
    f.pulseNs = 300;
    f.spacingMetres = 2.0;
    f.seed = 5;
    return f;
}

struct SpanCase {
    const char* name;
    bool reels;
    CableSetting launch, receive;
    std::optional<double> startKm, lengthKm; ///< truth; none when no span can be judged
    double totalLoss; ///< truth over the span, connectors at cables included
    double worstSplice, worstConnector; ///< judged, 0 for none
    Outcome outcome; ///< with the default thresholds
};

void PrintTo(const SpanCase& c, std::ostream* os) { *os << c.name; }

class Spans : public testing::TestWithParam<SpanCase> { };

} // namespace

TEST_P(Spans, FromTheLaunchCableToTheReceiveCable)
{
    const SpanCase& c = GetParam();
    const GeneratedTrace g(fibre(c.reels));
    Thresholds t;
    t.launchCable = c.launch;
    t.receiveCable = c.receive;
    const FileSummary s = summarize(*g.parsed.parser, "span.sor", t);

    EXPECT_EQ(evaluate(s, t).outcome, c.outcome);
    ASSERT_EQ(s.fibreLength.has_value(), c.lengthKm.has_value());
    if (!c.lengthKm)
        return;
    EXPECT_NEAR(s.span.startKm.value_or(-1), *c.startKm, 0.003);
    EXPECT_NEAR(*s.fibreLength, *c.lengthKm, 0.006);
    ASSERT_TRUE(s.totalLoss);
    EXPECT_NEAR(*s.totalLoss, c.totalLoss, 0.05);
    ASSERT_TRUE(s.attenuation);
    EXPECT_NEAR(*s.attenuation, (8 * 0.19 + 12 * 0.21) / 20, 0.002) << "the glass's, whatever the reels";
    EXPECT_NEAR(s.splice.value.value_or(0), c.worstSplice, 0.001);
    EXPECT_NEAR(s.connector.value.value_or(0), c.worstConnector, 0.001);

    // The same span drawn again from the summary alone, as the cable table does when the setting changes.
    FileSummary again = summarize(*g.parsed.parser, "span.sor");
    applyCables(again, t);
    EXPECT_EQ(again.fibreLength, s.fibreLength);
    EXPECT_EQ(again.totalLoss, s.totalLoss);
    EXPECT_EQ(again.splice.value, s.splice.value);
}

// Glass 8 x 0.19 + 12 x 0.21 = 4.04 dB, splices 0.20 dB, the two reel connectors 0.3 dB each, the reels' glass 0.19
// and 0.21 dB, the splice on the launch reel 0.4 dB.
INSTANTIATE_TEST_SUITE_P(GeneratedFibres, Spans,
    testing::Values(SpanCase { "no_reels_no_setting", false, none(), none(), 0.0, 20.0, 4.24, 0.12, 0, Outcome::Pass },
        SpanCase {
            "reels_no_setting", true, none(), none(), 0.0, 22.0, 4.24 + 0.6 + 0.4 + 0.4, 0.4, 0.3, Outcome::Fail },
        SpanCase { "reels_auto", true, automatic(), automatic(), 1.0, 20.0, 4.84, 0.12, 0.3, Outcome::Pass },
        SpanCase { "reels_by_length", true, km(1.0), km(1.0), 1.0, 20.0, 4.84, 0.12, 0.3, Outcome::Pass },
        SpanCase { "reels_launch_only", true, km(1.05), none(), 1.0, 21.0, 4.84 + 0.21, 0.12, 0.3, Outcome::Pass },
        SpanCase { "no_reels_auto", false, automatic(), automatic(), 0.0, 20.0, 4.24, 0.12, 0, Outcome::Incomplete },
        SpanCase {
            "reels_wrong_length", true, km(2.5), km(1.0), 0.0, 21.0, 4.23 + 0.4 + 0.2 + 0.6, 0.4, 0.3, Outcome::Fail }),
    [](const testing::TestParamInfo<SpanCase>& info) { return std::string(info.param.name); });
