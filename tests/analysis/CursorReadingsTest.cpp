#include "Parse.h"

#include "analysis/CursorReadings.h"

#include <cmath>
#include <optional>

using namespace sortest;

namespace {

// A parsed file whose trace is replaced by known distances and levels.
std::unique_ptr<sor::SORParser> traceOf(std::vector<double> xs, std::vector<double> ys)
{
    auto parser = parseBytes(SorBuilder::standard().build()).parser;
    parser->xy = { std::move(xs), std::move(ys) };
    parser->xyCached = true;
    return parser;
}

// A straight fibre: 201 samples a metre apart falling by 10 dB/km from -20 dB, plus offset.
std::unique_ptr<sor::SORParser> straightFibre(double offset = 0)
{
    std::vector<double> xs, ys;
    for (int i = 0; i <= 200; ++i) {
        xs.push_back(i * 0.001);
        ys.push_back(-20 - 0.01 * i + offset);
    }
    return traceOf(xs, ys);
}

struct SingleCase {
    double xA, xB;
    double dy, slope, lsa; ///< A/B mode
    double startX, length, attenuation, lsaAttenuation; ///< the segment
};

class SingleReadings : public testing::TestWithParam<SingleCase> { };

} // namespace

TEST_P(SingleReadings, MeasureTheKnownSlope)
{
    const SingleCase& c = GetParam();
    auto parser = straightFibre();
    const analysis::CursorReadings r = analysis::cursorReadings(*parser, c.xA, c.xB);
    EXPECT_NEAR(r.yA, -20 - 10 * c.xA, 1e-9);
    EXPECT_NEAR(r.yB, -20 - 10 * c.xB, 1e-9);
    EXPECT_NEAR(r.dy(), c.dy, 1e-9);
    if (std::isnan(c.slope))
        EXPECT_TRUE(std::isnan(r.slope()));
    else
        EXPECT_NEAR(r.slope(), c.slope, 1e-6);
    EXPECT_NEAR(r.lsa, c.lsa, 1e-6);
    EXPECT_DOUBLE_EQ(r.startX, c.startX);
    EXPECT_NEAR(r.length(), c.length, 1e-12);
    EXPECT_NEAR(r.attenuation(), c.attenuation, 1e-9);
    EXPECT_NEAR(r.lsaAttenuation, c.lsaAttenuation, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Cursors, SingleReadings,
    testing::Values( // xA, xB; dy, slope, LSA; segment start, length, attenuation, LSA attenuation
        SingleCase { 0.010, 0.110, -1, -10, -10, 0.010, 0.1, 1, 10 },
        SingleCase { 0.110, 0.010, 1, -10, 10, 0.010, 0.1, 1, 10 }, // B left of A: the segment starts at B
        SingleCase { 0.050, 0.050, 0, NAN, 0, 0.050, 0, 0, 0 }, // together: no window, no slope
        SingleCase { 0.150, 0.200, -0.5, -10, -10, 0.150, 0.05, 0.5, 10 })); // up to the last sample

namespace {

struct ComparisonCase {
    bool abMode;
    double xA, xB;
    double readA, readB, length; ///< where the readings are taken, and the length
    double difference; ///< of the first trace
};

class ComparisonReadings : public testing::TestWithParam<ComparisonCase> { };

} // namespace

TEST_P(ComparisonReadings, AverageTheTracesAsPowers)
{
    const ComparisonCase& c = GetParam();
    auto first = straightFibre();
    auto second = straightFibre(-10);
    const auto r = analysis::comparisonReadings({ first.get(), second.get() }, c.xA, c.xB, c.abMode);
    EXPECT_DOUBLE_EQ(r.xA, c.readA);
    EXPECT_DOUBLE_EQ(r.xB, c.readB);
    EXPECT_NEAR(r.length, c.length, 1e-12);
    ASSERT_EQ(r.traces.size(), 2u);
    for (const auto& t : r.traces) {
        EXPECT_NEAR(t.difference, c.difference, 1e-9);
        EXPECT_NEAR(t.perKm, c.difference / c.length, 1e-6);
    }
    EXPECT_NEAR(r.traces[1].yA, r.traces[0].yA - 10, 1e-9);
    // The mean of two powers 10 dB apart lies 10 ln((1 + e^-1) / 2) above the stronger one.
    const double above = 10 * std::log((1 + std::exp(-1.0)) / 2);
    EXPECT_NEAR(r.meanA, r.traces[0].yA + above, 1e-9);
    EXPECT_NEAR(r.meanB, r.traces[0].yB + above, 1e-9);
    EXPECT_NEAR(r.meanDifference, c.difference, 1e-9);
    EXPECT_NEAR(r.meanPerKm, c.difference / c.length, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Cursors, ComparisonReadings,
    testing::Values( // mode, xA, xB; read at A, at B, length; difference
        ComparisonCase { true, 0.010, 0.110, 0.010, 0.110, 0.1, -1 },
        ComparisonCase { true, 0.110, 0.010, 0.110, 0.010, -0.1, 1 },
        ComparisonCase { false, 0.010, 0.110, 0.010, 0.110, 0.1, 1 },
        ComparisonCase { false, 0.110, 0.010, 0.010, 0.110, 0.1, 1 })); // the segment runs left to right

TEST(ComparisonReadings, WithoutTracesTheMeansAreNotNumbers)
{
    const auto r = analysis::comparisonReadings({}, 0.5, 0.2, false);
    EXPECT_EQ(r.xA, 0.5); // nothing read, nothing swapped
    EXPECT_TRUE(r.traces.empty());
    EXPECT_TRUE(std::isnan(r.meanA));
    EXPECT_TRUE(std::isnan(r.meanDifference));
}

namespace {

struct StepCase {
    double x;
    bool right;
    std::optional<double> to;
};

class CursorSteps : public testing::TestWithParam<StepCase> { };

} // namespace

TEST_P(CursorSteps, GoToTheNeighbouringSample)
{
    const StepCase& c = GetParam();
    EXPECT_EQ(analysis::steppedCursor({ 0, 1, 2, 3 }, c.x, c.right), c.to);
}

INSTANTIATE_TEST_SUITE_P(Cursors, CursorSteps,
    testing::Values(StepCase { 1.5, true, 2 }, StepCase { 1.5, false, 1 }, StepCase { 1, true, 2 },
        StepCase { 1, false, 0 }, StepCase { 0, false, 0 }, StepCase { -1, false, 0 }, StepCase { -1, true, 0 },
        StepCase { 3, true, std::nullopt }, StepCase { 5, false, std::nullopt }, StepCase { NAN, true, std::nullopt }));
