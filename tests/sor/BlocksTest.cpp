#include "Parse.h"

#include <cmath>

using namespace sortest;

namespace {

Parsed parseWith(const Gen& g, const Sup& s, const Fxd& f, const Events& e, const Data& d)
{
    SorBuilder b;
    b.gen(g).sup(s).fxd(f).events(e).data(d);
    return parseBytes(b.build());
}

Parsed parseGen(const Gen& g) { return parseWith(g, Sup(), Fxd(), Events(), Data()); }

Parsed parseFxd(const Fxd& f) { return parseWith(Gen(), Sup(), f, Events(), Data()); }

Parsed parseEvents(const Events& e, uint32_t indexRaw = 150000)
{
    Fxd f;
    f.indexRefraction = indexRaw;
    return parseWith(Gen(), Sup(), f, e, Data());
}

} // namespace

TEST(GenParams, FieldsAndCodes)
{
    Gen g;
    g.cableId = "C-17";
    g.fiberId = "";
    g.locationA = "";
    g.operatorName = "Anna";
    g.userOffset = -12;
    g.userOffsetDistance = -250;
    const auto p = parseGen(g);
    ASSERT_TRUE(p->fileParsed) << p->errorText;
    EXPECT_EQ(p->gen.Language, "EN");
    EXPECT_EQ(p->gen.CableID, "C-17");
    EXPECT_EQ(p->gen.FiberID, "");
    EXPECT_EQ(p->gen.LocationA, "");
    EXPECT_EQ(p->gen.LocationB, "Cabinet");
    EXPECT_EQ(p->gen.Wavelength, 1310);
    EXPECT_EQ(p->gen.UserOffset, -12);
    EXPECT_EQ(p->gen.UserOffsetDistance, -250);
    EXPECT_EQ(p->gen.Operator, "Anna");
    EXPECT_EQ(p->gen.FiberType, "ITU-T G.652 (standard single-mode fiber)");
    EXPECT_EQ(p->gen.BuildCondition, " BC (as-built)");
}

TEST(GenParams, CodeTables)
{
    sor::SectionParser_Gen gen;
    const std::pair<uint16_t, const char*> fibres[] = { { 651, "ITU-T G.651 (multi-mode fiber)" },
        { 653, "ITU-T G.653 (dispersion-shifted fiber)" }, { 654, "ITU-T G.654 (1550nm loss-minimized fiber)" },
        { 655, "ITU-T G.655 (nonzero dispersion-shifted fiber)" }, { 657, "657" } };
    for (const auto& [code, text] : fibres) {
        gen.FiberType_Raw = code;
        gen.processData();
        EXPECT_EQ(gen.FiberType, text);
    }
    const std::pair<const char*, const char*> conditions[]
        = { { "CC", " CC (as-current)" }, { "RC", " RC (as-repaired)" }, { "OT", " OT (other)" }, { "cc", "cc" } };
    for (const auto& [code, text] : conditions) {
        gen.BuildCondition_Raw = code;
        gen.processData();
        EXPECT_EQ(gen.BuildCondition, text);
    }
}

TEST(SupParams, SevenTexts)
{
    auto p = parseWith(Gen(), Sup { "", "", "", "", "", "", "" }, Fxd(), Events(), Data());
    ASSERT_TRUE(p->fileParsed);
    EXPECT_TRUE(p->sup.SupplierName.empty() && p->sup.Other.empty());

    // The last text not terminated before the end of the file.
    ByteWriter body;
    body.str("A").str("B").str("C").str("D").str("E").str("F");
    body.bytes.push_back('G');
    SorBuilder b;
    b.block("SupParams", body.bytes).withoutCksumBlock();
    auto bytes = b.build();
    bytes.resize(bytes.size() - 2); // the file ends inside the text
    const auto cut = parseBytes(bytes);
    EXPECT_TRUE(contains(cut->errorText, "reached EOF before end of string (nullbyte)"));
    EXPECT_FALSE(cut->sup.parsed);
}

TEST(FxdParams, DerivedValues)
{
    Fxd f;
    f.wavelength = 13100;
    f.indexRefraction = 146800;
    f.sampleSpacing = 489700;
    f.backscatterCoef = 800;
    f.reflectionThreshold = 65000;
    f.lossThreshold = 20;
    f.eotThreshold = 3000;
    f.range = 0x80000001u; // doubled in 32-bit arithmetic
    f.units = "mt";
    f.traceType = "RF";
    f.dateSeconds = 0;
    const auto p = parseFxd(f);
    ASSERT_TRUE(p->fileParsed) << p->errorText;
    const auto& x = p->fxd;
    EXPECT_DOUBLE_EQ(x.Wavelength, 1310);
    EXPECT_DOUBLE_EQ(x.IOR, 1.468);
    EXPECT_NEAR(x.SampleDistance, 1.00006, 1e-5);
    EXPECT_DOUBLE_EQ(x.BackscatterCoef_dB, -80);
    EXPECT_DOUBLE_EQ(x.ReflectionThreshold_dB, -65);
    EXPECT_DOUBLE_EQ(x.LossThreshold_dB, 0.02);
    EXPECT_DOUBLE_EQ(x.EOT_Threshold_dB, 3);
    EXPECT_DOUBLE_EQ(x.Range, 2 * 0.00001);
    EXPECT_EQ(x.UnitsDescription, "mt (metres)");
    EXPECT_EQ(x.TraceTypeDescription, "RF (reference)");
    EXPECT_EQ(x.Date.size(), 19u); // "%F %T" in the local zone
}

TEST(FxdParams, CodeTables)
{
    sor::SectionParser_Fxd fxd;
    const std::pair<const char*, const char*> units[] = { { "km", "km (kilometres)" }, { "ft", "ft (feet)" },
        { "kf", "kf (kilo-feet)" }, { "mi", "mi (miles)" }, { "xx", "xx" } };
    for (const auto& [code, text] : units) {
        fxd.Units = code;
        fxd.processData();
        EXPECT_EQ(fxd.UnitsDescription, text);
    }
    const std::pair<const char*, const char*> types[] = { { "ST", "ST (standard trace)" },
        { "RT", "RT (reverse trace)" }, { "DT", "DT (difference trace)" }, { "Q", "Q" } };
    for (const auto& [code, text] : types) {
        fxd.TraceType = code;
        fxd.processData();
        EXPECT_EQ(fxd.TraceTypeDescription, text);
    }
}

TEST(FxdParams, OneTraceOnlyAndIndexZero)
{
    Fxd f;
    f.pulseWidthEntries = 2;
    const auto two = parseFxd(f);
    EXPECT_FALSE(two->fxd.parsed);
    EXPECT_TRUE(contains(two->errorText, "Only one trace per file is supported. This file has 2.\n"));

    Fxd zero;
    zero.indexRefraction = 0;
    const auto p = parseFxd(zero);
    ASSERT_TRUE(p->fileParsed);
    EXPECT_TRUE(std::isinf(p->fxd.SampleDistance));
}

TEST(FxdParams, SecondParseFails)
{
    sor::SectionParser_Fxd fxd;
    fxd.parsed = true;
    try {
        fxd.parse();
        FAIL();
    } catch (const EXCEPTION::_Exc_Exception& e) {
        EXPECT_EQ(e.message, "Parse already performed!");
        EXPECT_EQ(e.function, "parse");
    }
}

TEST(KeyEvents, RecordsAndConversions)
{
    Events e;
    Event a;
    a.number = 1;
    a.timeOfTravel = 100000;
    a.spliceLoss = -150;
    a.slope = 330;
    a.reflectionLoss = -45500;
    a.code = "1F9999LS";
    a.peak = 100000;
    a.comment = "patch panel";
    Event b = a;
    b.number = 2;
    b.code = "0A9999LS";
    Event c = a;
    c.number = 3;
    c.code = "2E9999LS";
    Event d = a;
    d.number = 4;
    d.code = std::string("9\0X\0"
                         "abcd",
        8);
    e.events = { a, b, c, d };
    e.orl = 45000;
    e.totalLoss = -1200;
    e.fiberLength = 200000;
    const auto p = parseEvents(e);
    ASSERT_TRUE(p->fileParsed) << p->errorText;
    const auto& k = p->events.keyEvents;
    ASSERT_EQ(k.size(), 4u);
    EXPECT_DOUBLE_EQ(k[0].Distance, 100000 * 0.0000001 * 299.792458 / 1.5);
    EXPECT_NEAR(k[0].Distance, 1.99861638, 1e-8);
    EXPECT_DOUBLE_EQ(k[0].PeakPointCurrent, k[0].Distance);
    EXPECT_DOUBLE_EQ(k[0].SpliceLoss, -0.15);
    EXPECT_DOUBLE_EQ(k[0].Slope, 0.33);
    EXPECT_DOUBLE_EQ(k[0].ReflectionLoss, -45.5);
    EXPECT_EQ(k[0].Comment, "patch panel");
    EXPECT_EQ(k[0].EventType, "reflection event (1F9999LS)");
    EXPECT_EQ(k[1].EventType, "loss/gain event manual (0A9999LS)");
    EXPECT_EQ(k[2].EventType, "end of fiber multiple event (2E9999LS)");
    EXPECT_EQ(k[3].EventType,
        std::string("(9\0X\0"
                    "abcd)",
            10));
    EXPECT_DOUBLE_EQ(p->events.ORL, 45);
    EXPECT_DOUBLE_EQ(p->events.TotalLoss, -1.2);
    EXPECT_DOUBLE_EQ(p->events.FiberLength, 2 * k[0].Distance);
}

TEST(KeyEvents, NoEventsThenTheSummary)
{
    Events e;
    e.orl = 30000;
    const auto p = parseEvents(e);
    ASSERT_TRUE(p->fileParsed);
    EXPECT_TRUE(p->events.keyEvents.empty());
    EXPECT_DOUBLE_EQ(p->events.ORL, 30);
}

TEST(KeyEvents, TruncatedRecordFails)
{
    Events e;
    e.events.resize(1);
    e.numberOfEvents = 3; // announces more records than follow
    const auto p = parseEvents(e);
    EXPECT_FALSE(p->fileParsed);
    EXPECT_FALSE(p->events.parsed);
}

TEST(DataPts, HeaderAndSamples)
{
    Data d;
    d.samples = { 5, 6, 7 };
    d.numberOfPointsTrace = 99;
    d.scalingFactor = 0;
    const auto p = parseWith(Gen(), Sup(), Fxd(), Events(), d);
    ASSERT_TRUE(p->fileParsed);
    EXPECT_EQ(p->data.ScalingFactor, 1000);
    EXPECT_EQ(p->data.NumberOfPoints_Trace, 99u);
    EXPECT_EQ(p->data.DataPoints, (std::vector<uint16_t> { 5, 6, 7 }));

    d.scalingFactor = 500;
    EXPECT_EQ(parseWith(Gen(), Sup(), Fxd(), Events(), d)->data.ScalingFactor, 500);

    d.numberOfTraces = 2;
    const auto two = parseWith(Gen(), Sup(), Fxd(), Events(), d);
    EXPECT_TRUE(contains(two->errorText, "Only one trace per file is supported. This file has 2.\n"));
}

TEST(DataPts, NoSamples)
{
    const auto p = parseWith(Gen(), Sup(), Fxd(), Events(), Data());
    ASSERT_TRUE(p->fileParsed);
    EXPECT_TRUE(p->data.DataPoints.empty());
    EXPECT_TRUE(p->getXY()[0].empty());
    EXPECT_TRUE(p->getXY()[1].empty());
    EXPECT_TRUE(p->getY().empty());
    EXPECT_EQ(p->getYValue(1.0), 0.0);
    EXPECT_EQ(p->getClosestIndex_X(1.0), 0.0);
}
