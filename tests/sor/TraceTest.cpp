#include "Parse.h"

#include <cmath>

using namespace sortest;

namespace {

// A parsed standard file whose trace fields a test then sets directly.
class Trace : public testing::Test {
protected:
    void SetUp() override
    {
        parsed = parseBytes(SorBuilder::standard().build());
        ASSERT_TRUE(parsed->fileParsed);
    }
    sor::SORParser& p() { return *parsed.parser; }
    void setTrace(std::vector<uint16_t> samples, double metresPerSample = 1.0)
    {
        p().data.DataPoints = std::move(samples);
        p().data.ScalingFactor = 1000;
        p().fxd.SampleDistance = metresPerSample;
        p().fxd.AquOffsetDist = 0;
        p().gen.UserOffsetDistance = 0;
        p().xyCached = false;
    }
    void setXY(std::vector<double> xs, std::vector<double> ys)
    {
        p().xy = { std::move(xs), std::move(ys) };
        p().xyCached = true;
    }
    Parsed parsed;
};

} // namespace

TEST_F(Trace, Distances)
{
    setTrace({ 1, 1, 1 });
    EXPECT_EQ(p().getX(), (std::vector<double> { 0, 0.001, 0.002 }));
    EXPECT_EQ(p().getX_inMeters(), (std::vector<double> { 0, 1, 2 }));
    p().fxd.AquOffsetDist = 10000;
    p().gen.UserOffsetDistance = 500;
    EXPECT_DOUBLE_EQ(p().getX_withOffsets()[0], 0.5);
    EXPECT_DOUBLE_EQ(p().getX_withAcquisitionOffset()[0], 1.0);
    EXPECT_DOUBLE_EQ(p().getX_withUserOffset()[0], -0.5);
    p().gen.UserOffsetDistance = -500; // a negative user offset moves distances up
    EXPECT_DOUBLE_EQ(p().getX_withOffsets()[2], 0.002 + 1.0 + 0.5);
    p().fxd.SampleSpacing = 100;
    EXPECT_EQ(p().getX_inPicoSeconds(), (std::vector<double> { 0, 1, 2 }));
}

TEST_F(Trace, LevelsAreNormalisedToTheWeakestSample)
{
    setTrace({ 1000, 2000, 3000 });
    EXPECT_EQ(p().getY_Raw(), (std::vector<uint16_t> { 1000, 2000, 3000 }));
    const auto y = p().getY();
    EXPECT_DOUBLE_EQ(y[0], 2);
    EXPECT_DOUBLE_EQ(y[1], 1);
    EXPECT_DOUBLE_EQ(y[2], 0);
    const auto n = p().getYNormalized();
    EXPECT_DOUBLE_EQ(n[0], -68);
    EXPECT_DOUBLE_EQ(n[2], -70);
    setTrace({ 7, 7, 7 });
    EXPECT_EQ(p().getYNormalized(), (std::vector<double> { -70, -70, -70 }));
}

TEST_F(Trace, XYIsCachedUntilReset)
{
    setTrace({ 1000, 2000 });
    const auto* first = &p().getXY();
    EXPECT_TRUE(p().xyCached);
    p().data.DataPoints = { 5 };
    EXPECT_EQ(&p().getXY(), first);
    EXPECT_EQ(p().getXY()[0].size(), 2u);
}

TEST_F(Trace, LevelLookup)
{
    setXY({ 0, 1, 2, 3 }, { -10, -20, -30, -40 });
    EXPECT_EQ(p().getYValue(1), -20);
    EXPECT_EQ(p().getYValue(1.5), -25);
    EXPECT_EQ(p().getYValue(-1), -10);
    EXPECT_EQ(p().getYValue(NAN), -10);
    EXPECT_EQ(p().getYValue(7), -40); // beyond the last sample: the last level
}

TEST_F(Trace, ClosestIndex)
{
    setXY({ 0, 1, 2, 3, 4, 5, 6 }, std::vector<double>(7, 0));
    EXPECT_EQ(p().getClosestIndex_X(4.5), 4);
    EXPECT_EQ(p().getClosestIndex_X(4.6), 5);
    EXPECT_EQ(p().getClosestIndex_X(-3), 0);
    EXPECT_EQ(p().getClosestIndex_X(99), 6);
}

TEST_F(Trace, LeastSquaresOnALine)
{
    std::vector<double> xs, ys;
    for (int i = 0; i < 101; ++i) {
        xs.push_back(i * 0.1);
        ys.push_back(-0.2 * xs.back() + 5);
    }
    setXY(xs, ys);
    double slope = 0, intercept = 0;
    p()._get_LSA(&slope, &intercept, 0, 100);
    EXPECT_NEAR(slope, -0.2, 1e-12);
    EXPECT_NEAR(intercept, 5, 1e-12);
    EXPECT_NEAR(p()._get_ApproxValue(2, 0, 100), 4.6, 1e-12);
    EXPECT_NEAR(p()._get_ApproxDiff(123, 0, 100), -0.2, 1e-12);

    EXPECT_NEAR(p().getApproxDiff_LSA(1, 5), -0.2, 1e-12);
    EXPECT_DOUBLE_EQ(p().getApproxDiff_LSA(5, 1), -p().getApproxDiff_LSA(1, 5));
    EXPECT_NEAR(p().getApproxPos_LSA(1, 5), 4 * -0.2 + 5, 1e-12);
    EXPECT_NEAR(p().getApproxPos_LSA(5, 1), -(4 * -0.2 + 5), 1e-12);
    EXPECT_EQ(p().getApproxDiff_LSA(2, 2), 0);
    EXPECT_EQ(p().getApproxDiff_LSA(2.0, 2.01), 0); // same sample: empty window

    // A window reaching the last sample is rejected.
    p()._get_LSA(&slope, &intercept, 0, 101);
    EXPECT_EQ(slope, 0);
    EXPECT_EQ(intercept, 0);
}

TEST_F(Trace, Averages)
{
    setXY({ 0, 1, 2, 3 }, { 4, 6, 8, 10 });
    EXPECT_DOUBLE_EQ(p()._get_Average(1, 0, 2), 5);
    EXPECT_TRUE(std::isnan(p()._get_Average(1, 1, 0)));
    EXPECT_EQ(p()._get_Average(0, 2, 5), 0);
    EXPECT_EQ(p()._get_Average(0, 0xFFFFFFFFu, 0xFFFFFFFFu), 0);
}

TEST_F(Trace, NonFiniteDistancesStaySafe)
{
    setTrace({ 1, 2, 3, 4 }, INFINITY);
    const auto& xy = p().getXY();
    EXPECT_TRUE(std::isnan(xy[0][0]));
    EXPECT_TRUE(std::isinf(xy[0][1]));
    const double y = p().getYValue(1.0);
    EXPECT_TRUE(std::isfinite(y) || std::isnan(y));
    const double i = p().getClosestIndex_X(1.0);
    EXPECT_TRUE(i >= 0 && i <= 3);
    EXPECT_EQ(p().getApproxDiff_LSA(0.5, 2.5), 0);
}
