#include "RunTool.h"
#include "TempDir.h"

#include "analysis/FibreSummary.h"
#include "analysis/Thresholds.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <set>
#include <sstream>

namespace {

ToolRun sordump(const std::string& arguments) { return runTool(std::string(SORDUMP_PATH) + " " + arguments); }

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

// The keys of a JSON text, each once.
std::set<std::string> keys(const std::string& json)
{
    std::set<std::string> out;
    // Every "name": of letters (std::regex warns falsely under the sanitizers' build).
    for (size_t q = json.find('"'); q != std::string::npos; q = json.find('"', q + 1)) {
        size_t end = q + 1;
        while (end < json.size() && std::isalpha(static_cast<unsigned char>(json[end])))
            ++end;
        if (end > q + 1 && json.compare(end, 2, "\":") == 0)
            out.insert(json.substr(q + 1, end - q - 1));
    }
    return out;
}

// Three generated fibres measured from both ends at 1310 and 1550 nm, each with a bend.
class FibreTool : public testing::Test {
protected:
    void SetUp() override
    {
        const ToolRun made = runTool(std::string(SORSYNTH_PATH) + " --pair " + ::quoted(dir.path())
            + " --fibres 3 --fibre 12 --splices 4 --samples 16000 --seed 5");
        ASSERT_EQ(made.status, 0);
        limits = dir.path() + "/limits.ini";
        analysis::Thresholds t;
        t.launchCable = t.receiveCable = { analysis::CableSetting::Mode::Auto, 0 };
        analysis::saveThresholds(limits, t);
    }
    std::string file(const char* end, const char* id, int nm) const
    {
        return ::quoted(dir.path() + "/" + end + "/" + id + "_" + std::to_string(nm) + ".sor");
    }
    sortest::TempDir dir;
    std::string limits;
};

} // namespace

TEST_F(FibreTool, SorsynthWritesBothEndsAndTheTruth)
{
    for (const char* f :
        { "A/ELMMIL0001_1310.sor", "A/ELMMIL0003_1550.sor", "B/MILELM0002_1550.sor", "ELMMIL0002.truth.json" })
        EXPECT_TRUE(std::filesystem::is_regular_file(dir.path() + "/" + f)) << f;
    EXPECT_EQ(
        runTool(std::string(SORSYNTH_PATH) + " --pair " + ::quoted(dir.path()) + " --wavelengths 1490").status, 2);
}

TEST_F(FibreTool, SummaryByFibrePairsACable)
{
    const ToolRun csv = sordump("--summary --by-fibre --thresholds " + ::quoted(limits) + " " + ::quoted(dir.path()));
    EXPECT_EQ(csv.status, 0);
    auto rows = lines(csv.out);
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[0] + "\n", analysis::fibreCsvHeader());
    for (size_t r = 1; r < rows.size(); ++r) {
        SCOPED_TRACE(rows[r]);
        const bool longer = r % 2 == 0;
        EXPECT_EQ(rows[r].find("ELMMIL000" + std::to_string((r + 1) / 2) + ",ELM-MIL,ELMDALE,MILLER,"
                      + (longer ? "1550" : "1310") + "," + dir.path() + "/A/"),
            0u);
        // The bend fails the longer wavelength only.
        EXPECT_NE(rows[r].find(longer ? ",Fail,\"bend " : ",Pass,"), std::string::npos);
    }

    // One fibre's end is missing at 1550 nm: its row has one file and says so.
    std::filesystem::remove(dir.path() + "/B/MILELM0002_1550.sor");
    const ToolRun json
        = sordump("--summary --by-fibre --json --thresholds " + ::quoted(limits) + " " + ::quoted(dir.path()));
    EXPECT_EQ(json.status, 0);
    rows = lines(json.out);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_NE(rows[3].find("\"fileBA\":null"), std::string::npos) << rows[3];
    EXPECT_NE(rows[3].find("\"verdict\":\"Fail\""), std::string::npos);
    EXPECT_NE(rows[3].find("measured from one end only, 1550 nm"), std::string::npos);
    EXPECT_EQ(keys(rows[1]),
        std::set<std::string>({ "fibre", "cable", "locationA", "locationB", "wavelength", "fileAB", "fileBA", "span",
            "startKm", "endKm", "lengthKm", "totalLoss", "totalLossAB", "totalLossBA", "attenuation", "orl", "events",
            "oneSidedEvents", "worstSplice", "worstConnector", "worstReflectance", "loss", "km", "reflectance", "bends",
            "positionKm", "wavelengths", "losses", "deltaDb", "verdict", "reasons" }));

    // Without the bend limit, and splices of a dB allowed, every fibre passes, but for the one measured from one end.
    analysis::Thresholds t = analysis::loadThresholds(limits);
    t.maxBendDelta.reset();
    t.maxSpliceLoss = 1.5;
    analysis::saveThresholds(limits, t);
    rows = lines(sordump("--summary --by-fibre --thresholds " + ::quoted(limits) + " " + ::quoted(dir.path())).out);
    ASSERT_EQ(rows.size(), 7u);
    for (size_t r = 1; r < rows.size(); ++r)
        EXPECT_NE(
            rows[r].find(r == 4 ? ",Incomplete,\"measured from one end only, 1550 nm\"" : ",Pass,"), std::string::npos)
            << rows[r];
}

TEST_F(FibreTool, OneFibreAsTextAndJson)
{
    const std::string both = file("A", "ELMMIL0001", 1310) + " " + file("B", "MILELM0001", 1310) + " "
        + file("A", "ELMMIL0001", 1550) + " " + file("B", "MILELM0001", 1550);
    const ToolRun json = sordump("--fibre --json --thresholds " + ::quoted(limits) + " " + both);
    EXPECT_EQ(json.status, 0);
    ASSERT_EQ(lines(json.out).size(), 1u);
    EXPECT_EQ(json.out.find("{\"fibre\":\"ELMMIL0001\",\"cable\":\"ELM-MIL\",\"locationA\":\"ELMDALE\",\"locationB\":"
                            "\"MILLER\",\"wavelengths\":[{\"wavelength\":1310,\"files\":{\"AB\":"),
        0u);
    EXPECT_EQ(keys(json.out),
        std::set<std::string>({ "fibre", "cable", "locationA", "locationB", "wavelengths", "wavelength", "files", "AB",
            "BA", "span", "startKm", "endKm", "lengthKm", "events", "positionKm", "type", "loss", "lossAB", "lossBA",
            "reflectance", "source", "totalLoss", "totalLossAB", "totalLossBA", "attenuation", "orl", "bends", "losses",
            "deltaDb", "verdict", "reasons" }));
    EXPECT_NE(json.out.find("\"source\":\"both\""), std::string::npos);
    EXPECT_NE(json.out.find("\"type\":\"reflective\""), std::string::npos);
    EXPECT_NE(json.out.find("\"bends\":[{\"positionKm\":"), std::string::npos);
    EXPECT_NE(json.out.find("\"wavelengths\":[1310,1550],\"losses\":["), std::string::npos);

    const ToolRun text = sordump("--fibre --thresholds " + ::quoted(limits) + " " + both);
    EXPECT_EQ(text.status, 0);
    for (const char* part : { "Fibre ELMMIL0001, cable ELM-MIL, ELMDALE \u2192 MILLER\n", "\n1550 nm: A\u2192B ",
             "(paired by fibre IDs with the site codes swapped)", "  Total loss (dB): ", "cable connector",
             "\nVerdict: Fail\n - bend " })
        EXPECT_NE(text.out.find(part), std::string::npos) << part;

    // A file that cannot be read is reported and the other end judged alone.
    const ToolRun missing
        = sordump("--fibre " + file("A", "ELMMIL0001", 1550) + " " + ::quoted(dir.path() + "/none.sor"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.out.find("\n - measured from one end only, 1550 nm\n - " + dir.path() + "/none.sor: "),
        std::string::npos);
}

TEST(FibreToolUsage, WrongCombinationsAreUsageErrors)
{
    for (const char* args : { "--by-fibre x.sor", "--fibre --csv x.sor", "--fibre --summary x.sor",
             "--summary --by-fibre --python x.sor", "--fibre" })
        EXPECT_EQ(sordump(args).status, 2) << args;

    // A folder without a single file is no table: the message on standard error, status 1.
    const sortest::TempDir dir;
    const ToolRun none
        = runTool("(" + std::string(SORDUMP_PATH) + " --summary --by-fibre " + ::quoted(dir.path()) + " 2>&1)");
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "sordump: " + dir.path() + ": No .sor files in this folder or below it\n");
}
