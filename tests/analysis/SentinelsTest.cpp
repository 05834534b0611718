#include "CableFolder.h"
#include "Parse.h"

#include "analysis/FileSummary.h"
#include "analysis/Sentinels.h"
#include "analysis/SummaryTable.h"
#include "analysis/Verdict.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

using namespace analysis;
using cablefolder::event;
using cablefolder::timeOf;

namespace {

// A 6 km trace: a connector at 2 km, the end at 5 km, stored total loss, length and ORL; one field changed per case.
struct File {
    sortest::Gen gen;
    sortest::Fxd fxd;
    sortest::Events events;
    File()
    {
        auto connector = event(1, 2.0, 0.5, -40.0, "1F9999LS");
        connector.slope = 300;
        auto end = event(2, 5.0, 0.0, -14.0, "1E9999LS");
        end.slope = 300;
        events.events = { connector, end };
        events.totalLoss = 2000;
        events.fiberLength = static_cast<uint32_t>(timeOf(5.0));
        events.orl = 40000;
    }
    FileSummary summary() const
    {
        sortest::SorBuilder b;
        b.gen(gen).fxd(fxd).events(events).data(sortest::Data(std::vector<uint16_t>(6000, 1000)));
        const auto parsed = sortest::parseBytes(b.build());
        return summarize(*parsed.parser, "trace.sor");
    }
};

struct SentinelCase {
    const char* name;
    std::function<void(File&)> change;
    Column column;
    const char* cell; ///< what the column shows
    unsigned rule; ///< a rule that must not fail on it, even at a limit any measurement breaks
};

// Limits every measured value of the file above breaks.
Thresholds strict()
{
    Thresholds t;
    t.maxSpliceLoss = -1;
    t.maxConnectorLoss = -1;
    t.maxReflectance = -99;
    t.maxAttenuation.fill(-1);
    t.maxTotalLoss = -1;
    t.minOrl = 99;
    return t;
}

void PrintTo(const SentinelCase& c, std::ostream* os) { *os << c.name; }

class Sentinel : public testing::TestWithParam<SentinelCase> { };

} // namespace

TEST_P(Sentinel, IsNotMeasured)
{
    const SentinelCase& c = GetParam();
    File f;
    const FileSummary plain = f.summary();
    EXPECT_NE(cellText(plain, evaluate(plain, {}), c.column), notMeasured) << "the unchanged file measures it";
    EXPECT_EQ(evaluate(plain, strict()).failed & c.rule, c.rule);

    c.change(f);
    const FileSummary s = f.summary();
    EXPECT_EQ(cellText(s, evaluate(s, {}), c.column), c.cell);
    EXPECT_FALSE(evaluate(s, strict()).failed & c.rule);
}

INSTANTIATE_TEST_SUITE_P(BuiltFiles, Sentinel,
    testing::Values(
        SentinelCase { "reflectance_0x80000000", [](File& f) { f.events.events[0].reflectionLoss = INT32_MIN; },
            Column::WorstReflectance, notMeasured, ReflectanceRule },
        SentinelCase { "reflectance_0x80000001", [](File& f) { f.events.events[0].reflectionLoss = INT32_MIN + 1; },
            Column::WorstReflectance, notMeasured, ReflectanceRule },
        SentinelCase { "reflectance_0", [](File& f) { f.events.events[0].reflectionLoss = 0; },
            Column::WorstReflectance, notMeasured, ReflectanceRule },
        SentinelCase { "reflectance_above_0", [](File& f) { f.events.events[0].reflectionLoss = 4014; },
            Column::WorstReflectance, notMeasured, ReflectanceRule },
        SentinelCase { "loss_0x7FFF", [](File& f) { f.events.events[0].spliceLoss = INT16_MAX; },
            Column::WorstConnector, notMeasured, ConnectorRule },
        SentinelCase { "loss_0x8000", [](File& f) { f.events.events[0].spliceLoss = INT16_MIN; },
            Column::WorstConnector, notMeasured, ConnectorRule },
        SentinelCase { "loss_0_at_the_front_panel",
            [](File& f) {
                f.events.events[0] = event(1, 0.0, 0.0, -45.0, "1F9999LS");
                f.events.events[0].slope = 300;
            },
            Column::WorstConnector, notMeasured, ConnectorRule },
        SentinelCase { "position_before_the_trace", [](File& f) { f.events.events[0].timeOfTravel = -2147480000; },
            Column::WorstConnectorAt, notMeasured, ConnectorRule },
        SentinelCase { "position_past_the_trace", [](File& f) { f.events.events[0].timeOfTravel = timeOf(80.0); },
            Column::WorstConnector, notMeasured, ConnectorRule },
        SentinelCase { "orl_0", [](File& f) { f.events.orl = 0; }, Column::Orl, notMeasured, OrlRule },
        SentinelCase { "orl_0xFFFF", [](File& f) { f.events.orl = UINT16_MAX; }, Column::Orl, notMeasured, OrlRule },
        SentinelCase {
            "total_loss_0", [](File& f) { f.events.totalLoss = 0; }, Column::TotalLoss, notMeasured, TotalLossRule },
        SentinelCase { "total_loss_negative", [](File& f) { f.events.totalLoss = -1200; }, Column::TotalLoss,
            notMeasured, TotalLossRule },
        SentinelCase { "length_past_the_trace",
            [](File& f) {
                f.events.events.pop_back();
                f.events.fiberLength = UINT32_MAX - 5;
            },
            Column::FibreLength, notMeasured, 0 },
        SentinelCase { "slopes_0_and_0x7FFF_on_a_flat_trace",
            [](File& f) {
                f.events.events[0].slope = 0;
                f.events.events[1].slope = INT16_MAX;
            },
            Column::Attenuation, notMeasured, AttenuationRule },
        SentinelCase { "wavelength_nowhere",
            [](File& f) {
                f.gen.wavelength = 0;
                f.fxd.wavelength = 0;
            },
            Column::Wavelength, notMeasured, AttenuationRule }),
    [](const testing::TestParamInfo<SentinelCase>& info) { return std::string(info.param.name); });

// A 0.000 dB splice that an instrument lists in the fibre is a measurement.
TEST(Sentinel, AZeroSpliceInTheFibreIsMeasured)
{
    File f;
    f.events.events[0] = event(1, 2.0, 0.0, 0.0, "0F9999LS");
    const FileSummary s = f.summary();
    EXPECT_EQ(cellText(s, {}, Column::WorstSplice), "0.000");
    EXPECT_EQ(cellText(s, {}, Column::WorstSpliceAt), "2.000");
}

TEST(Sentinel, NominalWavelength)
{
    struct Case {
        double gen, fxd;
        std::optional<double> nominal;
    };
    for (const Case c : { Case { 1550, 1548, 1550 }, Case { 1550, 1539.8, 1550 }, Case { 1310, 1312.9, 1310 },
             Case { 155, 1550, 1550 }, Case { 131, 1309.4, 1310 }, Case { 0, 1548, 1550 }, Case { 1625, 0, 1625 },
             Case { 1310, 1550, 1550 }, Case { 0, 1200, 1200 }, Case { 0, 0, std::nullopt }, Case { 65535, 5, {} },
             Case { 850, 851, 850 }, Case { 0, 1380, 1383 } }) {
        SCOPED_TRACE(std::to_string(c.gen) + " / " + std::to_string(c.fxd));
        EXPECT_EQ(nominalWavelength(c.gen, c.fxd), c.nominal);
    }
}

// The end of the fibre is never a splice or a connector; a file without events, or with only the end, is incomplete
// and never passes.
TEST(Sentinel, NoEventsIsIncomplete)
{
    struct Case {
        const char* name;
        std::function<void(File&)> change;
        Outcome outcome;
    };
    const Case cases[] = {
        { "events", [](File&) {}, Outcome::Pass },
        { "only_the_end", [](File& f) { f.events.events.erase(f.events.events.begin()); }, Outcome::Incomplete },
        { "none", [](File& f) { f.events.events.clear(); }, Outcome::Incomplete },
        { "none_but_too_lossy",
            [](File& f) {
                f.events.events.clear();
                f.events.totalLoss = 30000;
            },
            Outcome::Fail },
    };
    Thresholds t;
    t.maxTotalLoss = 10;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        File f;
        c.change(f);
        const FileSummary s = f.summary();
        EXPECT_EQ(evaluate(s, t).outcome, c.outcome);
        EXPECT_EQ(cellText(s, {}, Column::WorstConnector), c.outcome == Outcome::Pass ? "0.500" : notMeasured);
        const auto why = reasons(s, t);
        EXPECT_EQ(!why.empty() && why.back() == noEventsText, c.outcome != Outcome::Pass);
    }

    sortest::SorBuilder bare;
    bare.fxd(sortest::Fxd()).data(sortest::Data(std::vector<uint16_t>(100, 1000)));
    const auto parsed = sortest::parseBytes(bare.build());
    const FileSummary noBlock = summarize(*parsed.parser, "bare.sor");
    EXPECT_EQ(evaluate(noBlock, {}).outcome, Outcome::Incomplete);
    EXPECT_EQ(reasons(noBlock, {}), std::vector<std::string> { noEventsText });

    Counts counts;
    for (const Outcome o : { Outcome::Pass, Outcome::Incomplete, Outcome::Error, Outcome::Fail, Outcome::Incomplete })
        counts.add(o);
    EXPECT_EQ(countsText(counts), "5 files: 1 pass, 1 fail, 1 error, 2 incomplete");
}
