#include "Parse.h"
#include "RunTool.h"

#include <cstdio>
#include <regex>

using namespace sortest;

TEST(Sordump, TextDumpAndExitStatus)
{
    const TempFile good(SorBuilder::standard().build());
    const TempFile bad(Bytes {}, "empty.sor");
    const auto ok = runTool(std::string(SORDUMP_PATH) + " " + quoted(good.path()));
    EXPECT_EQ(ok.status, 0);
    EXPECT_TRUE(contains(ok.out, "File successfully parsed.\n\nSection Title: Map\n"));
    EXPECT_TRUE(contains(ok.out, "Section Title: DataPts\n"));
    const auto both = runTool(std::string(SORDUMP_PATH) + " " + quoted(good.path()) + " " + quoted(bad.path()));
    EXPECT_EQ(both.status, 1);
    EXPECT_EQ(runTool(SORDUMP_PATH).status, 2);
}

TEST(Sordump, MissingBlocksAreReportedAndTheOthersDumped)
{
    SorBuilder b;
    b.fxd(Fxd()).data(Data { { 1, 2 } });
    const TempFile f(b.build());
    const auto r = runTool(std::string(SORDUMP_PATH) + " " + quoted(f.path()));
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(contains(r.out, "Section Title: GenParams\n(missing"));
    EXPECT_TRUE(contains(r.out, "Section Title: FxdParams\nDate_seconds:"));
    EXPECT_TRUE(contains(r.out, "NumberOfPoints: 2\n"));
}

TEST(Sordump, MachineReadableOutputIsClean)
{
    const TempFile f(SorBuilder::standard().build());
    const auto csv = runTool(std::string(SORDUMP_PATH) + " --csv " + quoted(f.path()));
    EXPECT_EQ(csv.status, 0);
    EXPECT_EQ(csv.out.substr(0, 21), "distance_km,level_db\n");
    EXPECT_FALSE(contains(csv.out, "CRC"));
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'), 9);
    EXPECT_TRUE(contains(csv.out, "\n0,-67\n")); // first sample: 3 dB above the weakest

    const auto json = runTool(std::string(SORDUMP_PATH) + " --json " + quoted(f.path()));
    EXPECT_EQ(json.status, 0);
    EXPECT_EQ(json.out.front(), '{');
    EXPECT_FALSE(contains(json.out, "Current section title"));
    EXPECT_TRUE(contains(json.out, "\"crcValid\":true"));
    EXPECT_TRUE(contains(json.out, "\"numberOfSamples\":8"));
    EXPECT_TRUE(contains(json.out, "\"FiberType\":\"ITU-T G.652 (standard single-mode fiber)\",\"FiberType_Raw\":652"));
    EXPECT_TRUE(contains(json.out, "\"EventType\":\"reflection event (1F9999LS)\""));
    EXPECT_TRUE(contains(json.out, "\"summary\":{\"TotalLoss\":0.5"));

    const auto python = runTool(std::string(SORDUMP_PATH) + " --python " + quoted(f.path()));
    EXPECT_EQ(python.out.substr(0, 3), "([\n");
}

TEST(Sordump, JsonEscapesArbitraryBytes)
{
    Gen g;
    g.comments = std::string("quote\" tab\t latin1 \xE9 utf8 \xC3\xA9");
    SorBuilder b;
    b.gen(g).fxd(Fxd());
    const TempFile f(b.build());
    const auto json = runTool(std::string(SORDUMP_PATH) + " --json " + quoted(f.path()));
    // Not UTF-8 as a whole, the text reads as Latin-1, as the viewer reads it; the JSON is UTF-8.
    EXPECT_TRUE(contains(json.out, "\"Comments\":\"quote\\\" tab\\u0009 latin1 \xC3\xA9 utf8 \xC3\x83\xC2\xA9\""))
        << json.out;
}

TEST(Sordump, ChecksumDiagnosisAndWhereEachBlockWasFound)
{
    auto b = SorBuilder::standard().crc(SorBuilder::Crc::Xmodem);
    b.editMap([](auto& m) { m.insert(m.begin() + 4, MapEntry { "LnkParams", 200, 0 }); });
    const TempFile f(b.build());
    const auto text = runTool(std::string(SORDUMP_PATH) + " " + quoted(f.path()));
    EXPECT_EQ(text.status, 0);
    const std::string line
        = "CRC diagnosis: matches CRC-16/XMODEM (initial value 0) over all bytes before the checksum\n";
    ASSERT_GE(text.out.size(), line.size());
    EXPECT_EQ(text.out.substr(text.out.size() - line.size() - 1), "\n" + line);

    const auto json = runTool(std::string(SORDUMP_PATH) + " --json " + quoted(f.path()));
    EXPECT_TRUE(contains(json.out,
        "\"crcDiagnosis\":\"matches CRC-16/XMODEM (initial value 0) over all bytes before the checksum\","
        "\"crcConvention\":\"xmodem\",\"crcSuspect\":false"))
        << json.out;
    EXPECT_TRUE(contains(json.out,
        "\"blocks\":[{\"name\":\"Map\",\"offset\":0,\"size\":118},"
        "{\"name\":\"GenParams\",\"offset\":118,\"size\":58},"))
        << json.out;
    EXPECT_TRUE(contains(json.out, "{\"name\":\"LnkParams\",\"offset\":null,\"size\":0},{\"name\":\"DataPts\""));

    const TempFile refused(Bytes { 'X', 'Y', 'Z' }, "refused.sor");
    const auto none = runTool(std::string(SORDUMP_PATH) + " --json " + quoted(refused.path()));
    EXPECT_TRUE(contains(none.out, "\"crcDiagnosis\":null,")) << none.out;
    EXPECT_TRUE(contains(none.out, "\"blocks\":[],")) << none.out;
}

TEST(Sorsynth, WritesARealisticTraceTheReaderAccepts)
{
    const TempFile dir(Bytes {}, "unused");
    const std::string out = dir.path() + ".synth.sor";
    const auto r = runTool(std::string(SORSYNTH_PATH) + " --samples 20000 --spacing 0.5 --events 5 --seed 3 " + out);
    ASSERT_EQ(r.status, 0);
    const TempFile copy(Bytes {}, "x");
    testing::internal::CaptureStdout();
    sor::SORParser p(std::wstring(out.begin(), out.end()));
    testing::internal::GetCapturedStdout();
    std::remove(out.c_str());
    ASSERT_TRUE(p.fileParsed) << p.errorText;
    EXPECT_TRUE(p.crcValid);
    EXPECT_EQ(p.data.DataPoints.size(), 20000u);
    EXPECT_NEAR(p.fxd.SampleDistance, 0.5, 0.001);
    ASSERT_EQ(p.events.keyEvents.size(), 5u);
    EXPECT_EQ(p.events.keyEvents.back().EventCode.substr(0, 2), "1E");
    // The fibre end lies where the trace drops to its floor.
    const double end = p.events.keyEvents.back().Distance;
    EXPECT_NEAR(end, 20000 * 0.8 * 0.5 / 1000, 0.01);
    const double before = p.getYValue(end - 0.2);
    const double after = p.getYValue(end + 0.5);
    EXPECT_GT(before - after, 10);
    // Backscatter slope between two events lies in the usual range for single-mode fibre.
    const double slope = -p.getApproxDiff_LSA(0.2, p.events.keyEvents[1].Distance - 0.05);
    EXPECT_GT(slope, 0.15);
    EXPECT_LT(slope, 0.4);
}

// What help2man reads to write the manual pages: both answers on standard output, with status 0.
struct ToolAnswer {
    const char* tool;
    const char* option;
    const char* pattern;
};

class ToolAnswers : public testing::TestWithParam<ToolAnswer> { };

TEST_P(ToolAnswers, AnswerOnStandardOutput)
{
    const auto r = runTool(std::string(GetParam().tool) + " " + GetParam().option);
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(std::regex_match(r.out, std::regex(GetParam().pattern))) << r.out;
}

INSTANTIATE_TEST_SUITE_P(Tools, ToolAnswers,
    testing::Values(ToolAnswer { SORDUMP_PATH, "--version", R"(sordump \(TAVIX SOR-Viewer\) \d+\.\d+\.\d+\n)" },
        ToolAnswer { SORSYNTH_PATH, "--version", R"(sorsynth \(TAVIX SOR-Viewer\) \d+\.\d+\.\d+\n)" },
        ToolAnswer { SORDUMP_PATH, "--help", R"(Usage: sordump [\s\S]*  --version [\s\S]*)" },
        ToolAnswer { SORSYNTH_PATH, "--help", R"(Usage: sorsynth [\s\S]*  --version [\s\S]*)" }));
