#include "Parse.h"
#include "SyntheticFibre.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <ostream>

using namespace sortest;

namespace {

// km to the events' 0.1 ns at the builder's group index 1.468.
int32_t timeOf(double km) { return static_cast<int32_t>(std::lround(km * 1.468 / (0.0000001 * 299.792458))); }

struct OffsetCase {
    const char* name;
    int32_t userDistance, userTime, acquisitionDistance, acquisitionTime;
    double startKm; ///< the axis's first distance
    bool exact; ///< today's value kept to the last bit
};

void PrintTo(const OffsetCase& c, std::ostream* os) { *os << c.name; }

class AxisOffsets : public testing::TestWithParam<OffsetCase> { };

} // namespace

// The distance fields are read as m (user) and 0.1 m (acquisition); where the time field disagrees by more than 1 %,
// its distance wins, and where they agree (or either is 0) the stored field is kept exactly.
TEST_P(AxisOffsets, FollowTheTimeFieldsWhereTheDistanceFieldsDisagree)
{
    const OffsetCase& c = GetParam();
    Gen g;
    g.userOffsetDistance = c.userDistance;
    g.userOffset = c.userTime;
    Fxd f;
    f.aquOffsetDist = c.acquisitionDistance;
    f.aquOffset = c.acquisitionTime;
    SorBuilder b;
    b.gen(g).fxd(f).events(Events()).data(Data(std::vector<uint16_t>(100, 1000)));
    auto parsed = parseBytes(b.build());
    ASSERT_TRUE(parsed->fileParsed);
    const double start = parsed->getXY()[0][0];
    if (c.exact)
        EXPECT_EQ(start, c.startKm);
    else
        EXPECT_NEAR(start, c.startKm, 2e-5); // the time field holds 0.1 ns, 2 cm of fibre
    EXPECT_DOUBLE_EQ(parsed->acquisitionOffsetKm() - parsed->userOffsetKm(), start);
    EXPECT_DOUBLE_EQ(parsed->getX_withUserOffset()[0] + parsed->getX_withAcquisitionOffset()[0], start);
    EXPECT_EQ(parsed->gen.UserOffsetDistance, c.userDistance); // the block tree shows the field as stored
    EXPECT_EQ(parsed->fxd.AquOffsetDist, c.acquisitionDistance);
}

INSTANTIATE_TEST_SUITE_P(BuiltFiles, AxisOffsets,
    testing::Values(OffsetCase { "none", 0, 0, 0, 0, 0.0, true },
        OffsetCase { "user_in_decimetres", 10044, timeOf(1.0044), 0, 0, -1.0044, false },
        OffsetCase { "user_in_metres", 1004, timeOf(1.0044), 0, 0, 0 - 1004 * 0.001, true },
        OffsetCase { "user_without_time", 500, 0, 0, 0, 0 - 500 * 0.001, true },
        OffsetCase { "user_time_without_distance", 0, timeOf(1.0), 0, 0, 0.0, true },
        OffsetCase { "acquisition_in_decimetres", 0, 0, 10000, timeOf(1.0), 10000 * 0.0001, true },
        OffsetCase { "acquisition_in_centimetres", 0, 0, 100000, timeOf(1.0), 1.0, false },
        OffsetCase { "acquisition_before_the_panel", 0, 0, -75, timeOf(-0.0075), -75 * 0.0001, true },
        OffsetCase { "both", 10044, timeOf(1.0044), -75, timeOf(-0.0075), -75 * 0.0001 - 1.0044, false }),
    [](const testing::TestParamInfo<OffsetCase>& info) { return std::string(info.param.name); });

// With the launch reel's offset in either unit the trace lies under its events: the level read at a reflective
// event is its peak, not the backscatter a reel's length away.
TEST(AxisOffsets, EventsSitOnTheirPeaks)
{
    for (const auto unit : { synth::DistanceUnit::Metre, synth::DistanceUnit::DeciMetre }) {
        SCOPED_TRACE(unit == synth::DistanceUnit::Metre ? "m" : "0.1 m");
        synth::Fibre fibre = synth::withReels({ { 6.0, 0.2, 0 } }, 1.0044, 1.0);
        fibre.userOffsetKm = 1.0044;
        fibre.userOffsetUnit = unit;
        fibre.acquisitionOffsetKm = -0.0075;
        auto parsed = parseBytes(synth::render(fibre).build());
        ASSERT_TRUE(parsed->fileParsed);
        const auto& connector = parsed->events.keyEvents.at(1); // the receive reel's, 7.0044 km from the panel
        EXPECT_NEAR(connector.Distance, 6.0, 0.001);
        const double peak = parsed->getYValue(connector.Distance + 0.005);
        const double backscatter = parsed->getYValue(connector.Distance - 0.05);
        EXPECT_GT(peak - backscatter, 1.0);
        EXPECT_NEAR(parsed->getXY()[0][0], -0.0075 - 1.0044, 0.001); // whole metres agree within 1 %
    }
}

// On instrument files: every clearly reflective event stands on a peak of the trace.
TEST(AxisOffsets, RealReflectionsSitOnTheirPeaks)
{
    const std::string samples = SOR_SAMPLES_DIR;
    if (!std::filesystem::is_directory(samples))
        GTEST_SKIP() << "no instrument files: " << samples << " is absent";
    int peaks = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(samples)) {
        if (entry.path().extension() != ".sor")
            continue;
        SCOPED_TRACE(entry.path().string());
        const auto p = std::make_unique<sor::SORParser>(entry.path().wstring(), sor::nowhere(), sor::nowhere());
        if (!p->fileParsed)
            continue;
        const double step = p->fxd.SampleDistance * 0.001;
        const double pulse = std::max(p->fxd.PulseWidth * 0.102 / 1000, 3 * step);
        const auto& xs = p->getXY()[0];
        for (const auto& e : p->events.keyEvents) {
            const bool end = e.EventCode.size() > 1 && e.EventCode[1] == 'E';
            if (end || e.EventCode.empty() || e.EventCode[0] != '1' || e.ReflectionLoss_Raw >= 0
                || e.ReflectionLoss < -55 || e.Distance < xs.front() + 4 * pulse || e.Distance > xs.back() - 4 * pulse)
                continue;
            double peak = -1e9;
            for (double x = e.Distance - pulse; x <= e.Distance + 2 * pulse; x += step)
                peak = std::max(peak, p->getYValue(x));
            EXPECT_GT(peak - p->getYValue(e.Distance - 2 * pulse), 0.3) << e.Distance << " km";
            ++peaks;
        }
    }
    EXPECT_GT(peaks, 0);
}
