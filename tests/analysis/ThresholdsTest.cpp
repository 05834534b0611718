#include "TempDir.h"

#include "analysis/FileSummary.h"
#include "analysis/TableNumbers.h"
#include "analysis/Thresholds.h"
#include "analysis/Verdict.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>

using namespace analysis;

namespace {

// A parsed file with every judged value known and well inside the default limits.
FileSummary goodFile()
{
    FileSummary s;
    s.parsed = true;
    s.wavelength = 1310;
    s.fibreLength = 10;
    s.totalLoss = 3;
    s.attenuation = 0.3;
    s.orl = 40;
    s.splice = { 0.1, 2.0 };
    s.connector = { 0.2, 0.0 };
    s.reflectance = { -50, 0.0 };
    return s;
}

struct Boundary {
    const char* name;
    Rule rule;
    double limit;
    double value; ///< the value set in the file's summary
    bool fails;
};

void setRule(FileSummary& s, Thresholds& t, Rule rule, double limit, double value)
{
    const std::map<Rule, std::pair<std::optional<double>*, std::optional<double>*>> places {
        { SpliceRule, { &t.maxSpliceLoss, &s.splice.value } },
        { ConnectorRule, { &t.maxConnectorLoss, &s.connector.value } },
        { ReflectanceRule, { &t.maxReflectance, &s.reflectance.value } },
        { AttenuationRule, { &t.maxAttenuation[0], &s.attenuation } },
        { TotalLossRule, { &t.maxTotalLoss, &s.totalLoss } },
        { OrlRule, { &t.minOrl, &s.orl } },
    };
    *places.at(rule).first = limit;
    *places.at(rule).second = value;
}

} // namespace

// The table shows three decimals and a value is judged as shown: 0.3004 reads 0.300 and passes 0.30.
TEST(Verdict, EveryRuleOnItsBoundary)
{
    const Boundary cases[] = {
        Boundary { "spliceEqual", SpliceRule, 0.30, 0.30, false },
        Boundary { "spliceAbove", SpliceRule, 0.30, 0.301, true },
        Boundary { "spliceBelow", SpliceRule, 0.30, 0.299, false },
        Boundary { "spliceRoundsDown", SpliceRule, 0.30, 0.3004, false },
        Boundary { "spliceRoundsUp", SpliceRule, 0.30, 0.3006, true },
        Boundary { "connectorEqual", ConnectorRule, 0.75, 0.75, false },
        Boundary { "connectorAbove", ConnectorRule, 0.75, 0.751, true },
        Boundary { "reflectanceEqual", ReflectanceRule, -35, -35, false },
        Boundary { "reflectanceAbove", ReflectanceRule, -35, -34.999, true },
        Boundary { "reflectanceBelow", ReflectanceRule, -35, -35.001, false },
        Boundary { "attenuationEqual", AttenuationRule, 0.40, 0.40, false },
        Boundary { "attenuationQuotient", AttenuationRule, 0.40, 4.0004 / 10, false },
        Boundary { "attenuationAbove", AttenuationRule, 0.40, 0.401, true },
        Boundary { "totalLossEqual", TotalLossRule, 10, 10, false },
        Boundary { "totalLossAbove", TotalLossRule, 10, 10.001, true },
        Boundary { "orlEqual", OrlRule, 27, 27, false },
        Boundary { "orlBelow", OrlRule, 27, 26.999, true },
        Boundary { "orlAbove", OrlRule, 27, 27.001, false },
        Boundary { "gainIsNoLoss", SpliceRule, 0.30, -0.5, false },
    };
    for (const auto& b : cases) {
        SCOPED_TRACE(b.name);
        FileSummary s = goodFile();
        Thresholds t;
        setRule(s, t, b.rule, b.limit, b.value);
        const Verdict v = evaluate(s, t);
        EXPECT_EQ(v.outcome, b.fails ? Outcome::Fail : Outcome::Pass);
        EXPECT_EQ(v.failed, b.fails ? unsigned(b.rule) : 0u);
        EXPECT_EQ(reasons(s, t).size(), b.fails ? 1u : 0u);
    }
}

TEST(Verdict, UnsetLimitsAndUnknownValuesAreNotChecked)
{
    FileSummary s = goodFile();
    s.totalLoss = 99;
    s.orl = 1;
    EXPECT_EQ(evaluate(s, Thresholds()).outcome, Outcome::Pass); // total loss and ORL have no default limit

    Thresholds none;
    none.maxSpliceLoss.reset();
    s.splice.value = 5;
    EXPECT_EQ(evaluate(s, none).outcome, Outcome::Pass);

    FileSummary blank;
    blank.parsed = true;
    Thresholds all;
    all.maxTotalLoss = 0;
    all.minOrl = 100;
    EXPECT_EQ(evaluate(blank, all).outcome, Outcome::Pass);

    FileSummary broken;
    broken.errorText = "\nsomewhere\nExc_Exception: The file appears to be empty.\n";
    EXPECT_EQ(evaluate(broken, Thresholds()).outcome, Outcome::Error);
    EXPECT_EQ(reasons(broken, Thresholds()),
        std::vector<std::string> { "somewhere\nExc_Exception: The file appears to be empty." });
}

TEST(Verdict, EveryReasonInRuleOrder)
{
    FileSummary s = goodFile();
    s.wavelength = 1551.2;
    s.splice = { 0.42, 3.1024 };
    s.connector = { 0.9, 0.0 };
    s.reflectance = { -30.5, 1.5 };
    s.attenuation = 0.33;
    s.totalLoss = 12.3;
    s.orl = 25;
    Thresholds t;
    t.maxTotalLoss = 10;
    t.minOrl = 27;
    const Verdict v = evaluate(s, t);
    EXPECT_EQ(v.failed, 0x3Fu);
    EXPECT_EQ(reasons(s, t),
        (std::vector<std::string> { "splice 0.42 dB at 3.102 km > 0.30 dB", "connector 0.90 dB at 0.000 km > 0.75 dB",
            "reflectance -30.50 dB at 1.500 km > -35.00 dB", "attenuation 0.33 dB/km > 0.30 dB/km at 1550 nm",
            "total loss 12.30 dB > 10.00 dB", "ORL 25.00 dB < 27.00 dB" }));
}

struct BandCase {
    double wavelength;
    int band;
};

TEST(Verdict, NearestBandLowerOnTies)
{
    const BandCase cases[] = {
        BandCase { 1310, 0 },
        BandCase { 1312.9, 0 },
        BandCase { 1346.5, 0 },
        BandCase { 1346.6, 1 },
        BandCase { 1383, 1 },
        BandCase { 1436.5, 1 },
        BandCase { 1490, 2 },
        BandCase { 1520, 2 },
        BandCase { 1520.1, 3 },
        BandCase { 1587.5, 3 },
        BandCase { 1625, 4 },
        BandCase { 1725, 4 },
        BandCase { 1725.1, -1 },
        BandCase { 1210, 0 },
        BandCase { 850, -1 },
        BandCase { unknown, -1 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(nearestBand(c.wavelength), c.band) << c.wavelength;
}

TEST(ThresholdsFile, DefaultsRoundTripAndBrokenLines)
{
    const Thresholds defaults;
    EXPECT_EQ(parseThresholds(thresholdsText(defaults)), defaults);
    EXPECT_EQ(thresholdsText(defaults),
        "MaxSpliceLoss:0.3\nMaxConnectorLoss:0.75\nMaxReflectance:-35\nMaxAttenuation1310:0.4\n"
        "MaxAttenuation1383:0.4\nMaxAttenuation1490:0.35\nMaxAttenuation1550:0.3\nMaxAttenuation1625:0.35\n"
        "MaxTotalLoss:\nMinORL:\nLaunchCableKm:\nReceiveCableKm:\nMaxBendDelta:0.5\nAnalysisSpliceLoss:0.05\n"
        "AnalysisReflectance:-65\nAnalysisEndOfFibre:3\n");

    Thresholds edited;
    edited.maxSpliceLoss.reset();
    edited.maxAttenuation[3] = 0.25;
    edited.maxTotalLoss = 18.5;
    edited.minOrl = 27;
    edited.maxBendDelta.reset();
    EXPECT_EQ(parseThresholds(thresholdsText(edited)), edited);

    // Unknown keys, lines without a colon, numbers that do not read and a decimal comma: the defaults stay.
    const Thresholds broken = parseThresholds("junk\nMaxSpliceLoss:0,5\nMaxConnectorLoss:abc\r\nMaxReflectance:nan\n"
                                              "Colour:#fff\n:\nMinORL: 30 \r\nMaxTotalLoss:1e999\n\0\xff");
    Thresholds expected;
    expected.minOrl = 30;
    EXPECT_EQ(broken, expected);
    EXPECT_EQ(parseThresholds(""), defaults);
}

TEST(ThresholdsFile, MissingOrStrangeFilesGiveDefaults)
{
    const sortest::TempDir dir;
    const std::string path = dir.path() + "/thresholds.ini";
    EXPECT_EQ(loadThresholds(path), Thresholds());
    EXPECT_EQ(loadThresholds(dir.path()), Thresholds()); // a folder

    Thresholds t;
    t.maxConnectorLoss = 0.5;
    ASSERT_TRUE(saveThresholds(path, t));
    EXPECT_EQ(loadThresholds(path), t);
    EXPECT_FALSE(saveThresholds(dir.path() + "/missing/thresholds.ini", t));

    std::ofstream(path, std::ios::binary) << std::string(200000, 'x') << "\nMaxSpliceLoss:0.1\n";
    EXPECT_EQ(loadThresholds(path), Thresholds()); // only the first 64 KB count
}

TEST(Counts, Text)
{
    Counts c;
    c.add(Outcome::Error);
    EXPECT_EQ(countsText(c), "1 file: 0 pass, 0 fail, 1 error");
    for (int i = 0; i < 139; ++i)
        c.add(Outcome::Pass);
    for (int i = 0; i < 4; ++i)
        c.add(Outcome::Fail);
    EXPECT_EQ(countsText(c), "144 files: 139 pass, 4 fail, 1 error");
}

TEST(ThresholdsFile, CableSettings)
{
    using Mode = CableSetting::Mode;
    struct Case {
        const char* text;
        std::optional<CableSetting> setting; ///< none: the line is ignored, the default stays
    };
    for (const Case c :
        { Case { "", CableSetting() }, Case { "  ", CableSetting() }, Case { "1", CableSetting { Mode::Length, 1 } },
            Case { " 1.004 ", CableSetting { Mode::Length, 1.004 } }, Case { "auto", CableSetting { Mode::Auto, 0 } },
            Case { "AUTO", CableSetting { Mode::Auto, 0 } }, Case { "0", CableSetting() }, Case { "-1", std::nullopt },
            Case { "1 km", std::nullopt }, Case { "nan", std::nullopt }, Case { "inf", std::nullopt } }) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseCableSetting(c.text), c.setting);
        Thresholds preset;
        preset.launchCable = { Mode::Auto, 0 };
        const Thresholds t = parseThresholds(std::string("LaunchCableKm:") + c.text + "\nReceiveCableKm:" + c.text);
        EXPECT_EQ(t.launchCable, c.setting.value_or(CableSetting()));
        EXPECT_EQ(t.receiveCable, c.setting.value_or(CableSetting()));
        if (c.setting) {
            preset.launchCable = *c.setting;
            EXPECT_EQ(parseThresholds(thresholdsText(preset)), preset);
        }
    }
}

// The own analysis's thresholds: always set, so a value that does not read or lies outside what a technician may
// choose keeps the default.
TEST(ThresholdsFile, AnalysisThresholds)
{
    struct Case {
        const char* line;
        DetectionThresholds expected;
    };
    const auto with = [](double splice, double reflectance, double end) {
        DetectionThresholds d;
        d.spliceLoss = splice;
        d.reflectance = reflectance;
        d.endOfFibre = end;
        return d;
    };
    for (const Case c : { Case { "AnalysisSpliceLoss:0.1", with(0.1, -65, 3) },
             Case { "AnalysisReflectance:-50", with(0.05, -50, 3) }, Case { "AnalysisEndOfFibre:5", with(0.05, -65, 5) },
             Case { "AnalysisSpliceLoss:", with(0.05, -65, 3) }, Case { "AnalysisSpliceLoss:0", with(0.05, -65, 3) },
             Case { "AnalysisReflectance:-5", with(0.05, -65, 3) }, Case { "AnalysisEndOfFibre:nan", with(0.05, -65, 3) },
             Case { "AnalysisEndOfFibre:31", with(0.05, -65, 3) } }) {
        SCOPED_TRACE(c.line);
        const Thresholds t = parseThresholds(c.line);
        EXPECT_EQ(t.detection, c.expected);
        EXPECT_EQ(parseThresholds(thresholdsText(t)), t);
    }
}
