#include "Parse.h"

#include <filesystem>

namespace {

const std::string samples = SOR_SAMPLES_DIR;

class RealFiles : public testing::Test {
protected:
    void SetUp() override
    {
        if (!std::filesystem::is_directory(samples))
            GTEST_SKIP() << "no instrument files: " << samples << " is absent";
    }
    static std::unique_ptr<sor::SORParser> open(const std::string& name)
    {
        const std::string path = samples + "/" + name;
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        auto p = std::make_unique<sor::SORParser>(std::wstring(path.begin(), path.end()));
        testing::internal::GetCapturedStdout();
        testing::internal::GetCapturedStderr();
        return p;
    }
};

struct Expected {
    const char* file;
    size_t samples;
    size_t events;
    double wavelength;
    uint16_t pulse;
    double ior;
    double sampleDistance;
    uint16_t storedCrc;
};

} // namespace

TEST_F(RealFiles, EveryVersionTwoFileParses)
{
    const Expected files[] = {
        { "sample1310_lowDR.sor", 15736, 3, 1310, 1000, 1.475, 5.081226, 59892 },
        { "example2-exfo-maxtester730c.sor", 31343, 6, 1312.9, 10, 1.4677, 0.319156, 49479 },
        { "example3-anritsu-accessmastermt9085.sor", 20001, 3, 1310, 100, 1.4671, 0.511212, 44074 },
        { "fibercloud-fc3200-1.sor", 16384, 2, 1310, 80, 1.468, 0.255, 0 },
        { "viavi-smartotdr-1310.sor", 7842, 2, 1310, 30, 1.4675, 1.276799, 54441 },
        { "opwill-1550-2000ns.sor", 158223, 4, 1550, 20000, 1.465, 1.023182, 25139 },
        { "jdsu-eotdr-v210.sor", 31923, 7, 1625, 1000, 1.465, 2.557956, 55579 },
    };
    for (const auto& e : files) {
        SCOPED_TRACE(e.file);
        const auto p = open(e.file);
        ASSERT_TRUE(p->fileParsed) << p->errorText;
        EXPECT_EQ(p->data.DataPoints.size(), e.samples);
        EXPECT_EQ(p->events.keyEvents.size(), e.events);
        EXPECT_DOUBLE_EQ(p->fxd.Wavelength, e.wavelength);
        EXPECT_EQ(p->fxd.PulseWidth, e.pulse);
        EXPECT_NEAR(p->fxd.IOR, e.ior, 1e-9);
        EXPECT_NEAR(p->fxd.SampleDistance, e.sampleDistance, 1e-3);
        EXPECT_EQ(p->storedCrc, e.storedCrc);
        EXPECT_FALSE(p->crcValid); // these vendors compute the trailing checksum differently
        EXPECT_EQ(p->getXY()[0].size(), e.samples);
    }
}

TEST_F(RealFiles, AgreesWithAnIndependentReader)
{
    const auto p = open("sample1310_lowDR.sor");
    ASSERT_TRUE(p->fileParsed);
    const auto& k = p->events.keyEvents;
    ASSERT_EQ(k.size(), 3u);
    const double distances[] = { 0.000, 2.020, 17.065 };
    const double losses[] = { 0, 0.557, 22.82 };
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(k[i].Distance, distances[i], 0.0005);
        EXPECT_NEAR(k[i].SpliceLoss, losses[i], 1e-9);
    }
    EXPECT_NEAR(k[1].Slope, 0.334, 1e-9);
    EXPECT_NEAR(k[2].ReflectionLoss, -38.395, 1e-9);
    EXPECT_NEAR(k[2].PeakPointCurrent, 17.081, 0.0005);
    EXPECT_NEAR(p->events.TotalLoss, 6.39, 1e-9);
    EXPECT_NEAR(p->events.ORL, 32.392, 1e-9);
    EXPECT_NEAR(p->events.FiberStart, -0.007459, 1e-6);
    EXPECT_NEAR(p->events.FiberLength, 17.065447, 1e-6);
    EXPECT_NEAR(p->fxd.SampleDistance, 5.0812, 1e-4);
    EXPECT_EQ(p->fxd.NumberOfAverages, 16380u);
    EXPECT_EQ(p->fxd.AveragingTime, 150); // the other reader shows this raw value in tenths: "15 sec"
    EXPECT_EQ(p->fxd.AquOffset, -367);
    EXPECT_NEAR(p->fxd.LossThreshold_dB, 0.2, 1e-12);
    EXPECT_NEAR(p->fxd.ReflectionThreshold_dB, -40, 1e-12);
    EXPECT_NEAR(p->fxd.EOT_Threshold_dB, 3, 1e-12);
    EXPECT_NEAR(p->fxd.BackscatterCoef_dB, -80, 1e-12);
    EXPECT_EQ(p->fxd.NoiseFloorLevel, 2340);
    EXPECT_EQ(p->fxd.NoiseFloorScaling, 100);
    EXPECT_EQ(p->gen.Language, "EN");
    EXPECT_EQ(p->gen.Wavelength, 1310);
    EXPECT_EQ(p->gen.BuildCondition, " BC (as-built)");
    EXPECT_EQ(p->sup.SupplierName, "OptixS");
    EXPECT_EQ(p->sup.Module_SN, "09811");
    EXPECT_EQ(p->sup.SW_Vers, "v9.09  VA=110105");
    EXPECT_EQ(p->map.NumberOfBlocks, 10); // the other reader counts the blocks without the Map itself
    EXPECT_EQ(p->map.BlockMap_Name.size(), 9u);
    EXPECT_EQ(p->map.NumberOfBytesMapBlock, 148u);
    EXPECT_EQ(p->events.keyEvents[2].EventCode, "1E9999LS");
}

TEST_F(RealFiles, VendorBytesAfterFxdParams)
{
    const auto p = open("fibercloud-fc3200-1.sor");
    ASSERT_TRUE(p->fileParsed);
    EXPECT_EQ(p->map.BlockMap_NumberOfBytes[2], 140u);
    EXPECT_EQ(p->data.DataPoints.size(), 16384u);
    EXPECT_EQ(p->events.keyEvents.size(), 2u);
}

TEST_F(RealFiles, BlocksThatStrictReadingMisses)
{
    const auto located = [](const sor::SORParser& p, const std::string& name) {
        for (const auto& b : p.blockLocations)
            if (b.name == name)
                return b.offset;
        return -2L;
    };
    // The Map lists a block the file does not have, with size 0; the samples start where its entry would.
    const auto viavi = open("viavi-smartotdr-1310.sor");
    ASSERT_TRUE(viavi->fileParsed) << viavi->errorText;
    EXPECT_EQ(located(*viavi, "LnkParams"), -1);
    EXPECT_EQ(located(*viavi, "DataPts"), 628);
    EXPECT_EQ(located(*viavi, "ViaviExtraInfoSignatureBlock"), 27870);

    // Two vendor blocks listed with size 0 inside the extent of the block before them.
    const auto opwill = open("opwill-1550-2000ns.sor");
    ASSERT_TRUE(opwill->fileParsed) << opwill->errorText;
    EXPECT_EQ(located(*opwill, "LinkParams"), 512);
    EXPECT_EQ(located(*opwill, "DataPts"), 558);
    EXPECT_EQ(located(*opwill, "UserName"), 317024);
    EXPECT_EQ(opwill->sup.SupplierName, "OPWILL");
    EXPECT_NEAR(opwill->events.keyEvents[3].Distance, 110.2663, 0.0001);

    // The samples before the events, as the Map lists them.
    const auto jdsu = open("jdsu-eotdr-v210.sor");
    ASSERT_TRUE(jdsu->fileParsed) << jdsu->errorText;
    EXPECT_EQ(jdsu->map.MapVersion, 210);
    EXPECT_EQ(jdsu->data.ScalingFactor, 1470);
    EXPECT_LT(located(*jdsu, "DataPts"), located(*jdsu, "KeyEvents"));
    EXPECT_EQ(jdsu->events.keyEvents.back().EventCode, "1E9999LS");
}

TEST_F(RealFiles, VersionOneIsRefused)
{
    const auto p = open("demo_ab.sor");
    EXPECT_FALSE(p->fileParsed);
    EXPECT_NE(p->errorText.find("Exc_NotImplemented: Only .sor format version 2.0 is supported. The supplied file "
                                "seems to be version 1.x (100).\n"),
        std::string::npos);
}
