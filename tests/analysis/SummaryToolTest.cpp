#include "CableFolder.h"
#include "RunTool.h"
#include "TempDir.h"

#include "analysis/FileSummary.h"
#include "analysis/FolderListing.h"
#include "analysis/OwnAnalysis.h"
#include "analysis/Sentinels.h"
#include "analysis/SummaryTable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>

using namespace analysis;

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

FileSummary quietSummary(const std::string& path, const std::string& file) { return summarizeFile(path, file); }

} // namespace

TEST(SordumpSummary, TheTableOfAFolderAsCsvAndJson)
{
    const sortest::TempDir dir;
    const auto expected = cablefolder::write(dir.path());
    const ToolRun csv = sordump("--summary " + quoted(dir.path()));
    EXPECT_EQ(csv.status, 1); // two files do not parse
    const auto rows = lines(csv.out);
    ASSERT_GE(rows.size(), 1u);
    EXPECT_EQ(rows[0] + "\n", csvHeader());

    // The same rows as the viewer's table, files named below the folder as given.
    std::string table = csvHeader();
    for (const auto& f : listSorFiles(dir.path()))
        table += csvRow(quietSummary(f.path, dir.path() + "/" + f.relative), Thresholds());
    EXPECT_EQ(csv.out, table);
    // A file that could not be read gives the reader's message alone: no throw site, one line.
    EXPECT_EQ(csv.out.find(" in function "), std::string::npos);
    EXPECT_EQ(rows.size(), expected.size() + 1);

    const ToolRun json = sordump("--summary --json " + quoted(dir.path()) + " " + quoted(dir.path() + "/F001.sor"));
    const auto objects = lines(json.out);
    ASSERT_EQ(objects.size(), expected.size() + 1);
    EXPECT_EQ(objects[0].find("{\"file\":\"" + dir.path() + "/F001.sor\",\"parsed\":true"), 0u);
    EXPECT_NE(objects[1].find("\"worstSplice\":{\"loss\":0.42,"), std::string::npos);
    EXPECT_NE(objects[1].find("\"verdict\":\"Fail\",\"reasons\":[\"splice 0.42 dB at 3.102 km > 0.30 dB\"]}"),
        std::string::npos);
    EXPECT_NE(objects[4].find("\"parsed\":false"), std::string::npos);
    EXPECT_NE(objects[4].find("\"fibreLength\":null"), std::string::npos);
    EXPECT_EQ(objects.back().find("{\"file\":\"" + dir.path() + "/F001.sor\""), 0u);
}

TEST(SordumpSummary, ThresholdsFileAndExitStatus)
{
    const sortest::TempDir dir;
    cablefolder::write(dir.path());
    const std::string f002 = quoted(dir.path() + "/F002.sor");
    EXPECT_EQ(sordump("--summary " + f002).status, 0);
    EXPECT_NE(sordump("--summary " + f002).out.find(",Fail,splice"), std::string::npos);

    const std::string limits = dir.path() + "/limits.ini";
    saveThresholds(limits, parseThresholds("MaxSpliceLoss:0.5\n"));
    const ToolRun relaxed = sordump("--summary --thresholds " + quoted(limits) + " " + f002);
    EXPECT_EQ(relaxed.status, 0);
    EXPECT_NE(relaxed.out.find(",Pass,\n"), std::string::npos);

    EXPECT_EQ(sordump("--summary --thresholds " + quoted(dir.path() + "/none.ini") + " " + f002).status, 2);
    // Every mode takes the thresholds: the dump and its JSON then carry the file's summary and verdict.
    struct Mode {
        const char* options;
        const char* judged; ///< in the output; none for the trace modes
    };
    for (const Mode m : { Mode { "", "\nVerdict: Pass\n" }, Mode { "--json", "\"verdict\":\"Pass\"" },
             Mode { "--csv", nullptr }, Mode { "--python", nullptr } }) {
        SCOPED_TRACE(m.options);
        const ToolRun run = sordump(std::string(m.options) + " --thresholds " + quoted(limits) + " " + f002);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out.find(m.judged ? m.judged : "erdict") != std::string::npos, m.judged != nullptr);
    }
    EXPECT_EQ(sordump("--json --thresholds " + quoted(dir.path() + "/none.ini") + " " + f002).status, 2);

    // The cables move the span: with no reflection near the end the receive cable is not found.
    saveThresholds(limits, parseThresholds("MaxSpliceLoss:0.5\nReceiveCableKm:auto\n"));
    EXPECT_NE(sordump("--summary --thresholds " + quoted(limits) + " " + f002)
                  .out.find(",Incomplete,no receive cable: no reflective event within 2 km of the end\n"),
        std::string::npos);
    EXPECT_EQ(sordump("--summary --csv " + f002).status, 2);
    const ToolRun missing = sordump("--summary " + quoted(dir.path() + "/absent.sor"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.out.find(",Error,"), std::string::npos);
    EXPECT_EQ(lines(sordump("--summary " + quoted(dir.path() + "/synth")).out).size(), 3u);

    // A folder without a single file is no table: the message on standard error, status 1.
    const std::string empty = dir.path() + "/empty";
    std::filesystem::create_directories(empty + "/sub");
    const ToolRun none = runTool("(" + std::string(SORDUMP_PATH) + " --summary " + quoted(empty) + " 2>&1)");
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "sordump: " + empty + ": No .sor files in this folder or below it\n");
}

// Each instrument file: the summary reads what sordump's dump of the same file says.
TEST(SordumpSummary, RealFilesAgreeWithTheDump)
{
    const std::string samples = SOR_SAMPLES_DIR;
    if (!std::filesystem::is_directory(samples))
        GTEST_SKIP() << "no instrument files: " << samples << " is absent";
    int files = 0;
    for (const auto& f : listSorFiles(samples)) {
        SCOPED_TRACE(f.relative);
        ++files;
        const FileSummary s = quietSummary(f.path, f.relative);
        const ToolRun dump = sordump(quoted(f.path));
        EXPECT_EQ(dump.status == 0, s.parsed);
        EXPECT_EQ(sordump("--summary " + quoted(f.path)).out, csvHeader() + csvRow(quietSummary(f.path, f.path), {}));
        if (!s.parsed) {
            EXPECT_FALSE(s.errorText.empty());
            continue;
        }

        // The labelled values of each block, and the events in order.
        std::map<std::string, std::map<std::string, std::string>> blocks;
        struct Event {
            std::string type;
            double km = 0, loss = 0, reflectance = 0;
        };
        std::vector<Event> events;
        std::string block;
        for (const auto& line : lines(dump.out)) {
            const auto colon = line.find(": ");
            if (colon == std::string::npos)
                continue;
            const std::string key = line.substr(0, colon), value = line.substr(colon + 2);
            if (key == "Section Title")
                block = value;
            else if (key == "EventNr")
                events.emplace_back();
            else if (block == "KeyEvents" && key == " - EventType")
                events.back().type = value;
            else if (block == "KeyEvents" && key == " - Distance")
                events.back().km = std::stod(value);
            else if (block == "KeyEvents" && key == " - SpliceLoss")
                events.back().loss = std::stod(value);
            else if (block == "KeyEvents" && key == " - ReflectionLoss")
                events.back().reflectance = std::stod(value);
            else
                blocks[block].emplace(key, value);
        }
        const auto near = [](const std::optional<double>& summary, const std::string& dumped) {
            return summary && std::abs(*summary - std::stod(dumped)) <= 1e-5 * std::max(1.0, std::abs(*summary));
        };
        const auto raw = [](const std::string& dumped) { return std::lround(std::stod(dumped) * 1000); };
        const auto trim = [](std::string t) {
            t.erase(0, t.find_first_not_of(' '));
            t.erase(t.find_last_not_of(' ') + 1);
            return t;
        };
        EXPECT_EQ(s.fibreId, trim(blocks["GenParams"]["FiberID"]));
        EXPECT_EQ(s.cableId, trim(blocks["GenParams"]["CableID"]));
        EXPECT_EQ(s.locationA, trim(blocks["GenParams"]["LocationA"]));
        EXPECT_EQ(s.wavelength,
            nominalWavelength(
                std::stod(blocks["GenParams"]["Wavelength"]), std::stod(blocks["FxdParams"]["Wavelength"])));
        EXPECT_TRUE(near(s.pulseWidth, blocks["FxdParams"]["PulseWidth"]));
        EXPECT_EQ(s.date, blocks["FxdParams"]["Date"]);
        // A stored total loss stands unless the trace shows clearly more; none of these files' is partial.
        if (measuredTotalLoss(static_cast<int32_t>(raw(blocks["KeyEvents"]["TotalLoss"]))))
            EXPECT_TRUE(near(s.totalLoss, blocks["KeyEvents"]["TotalLoss"]));
        else
            EXPECT_TRUE(!s.totalLoss || *s.totalLoss > 0);
        EXPECT_EQ(s.orl, measuredOrl(static_cast<uint16_t>(raw(blocks["KeyEvents"]["ORL"]))));
        EXPECT_EQ(std::to_string(s.events), blocks["KeyEvents"]["Number of Events"]);
        ASSERT_EQ(events.size(), static_cast<size_t>(s.events));

        // Worst events as the dump lists them, between 0 and the fibre's end, what instruments write for none left
        // out; the fibre end is none of them.
        double length = std::stod(blocks["KeyEvents"]["FiberLength"]);
        for (const auto& e : events) {
            if (e.type.rfind("end of fiber", 0) == 0) {
                length = e.km;
                break;
            }
        }
        const double deadZone = std::max(std::stod(blocks["FxdParams"]["PulseWidth"]) * 0.102 / 1000,
            3 * std::stod(blocks["FxdParams"]["SampleSpacing"]) * 0.001 * 299.792458
                / std::stod(blocks["FxdParams"]["IndexRefraction_Raw"]) / 1000);
        std::optional<double> splice, connector, reflectance;
        for (const auto& e : events) {
            if (e.type.rfind("end of fiber", 0) == 0 || e.km > length || e.km < -deadZone)
                continue;
            const auto r = measuredReflectance(static_cast<int32_t>(std::lround(e.reflectance * 1000)));
            const bool reflective = e.type.find("reflection event") != std::string::npos
                || (e.type.find("loss/gain event") == std::string::npos && r);
            auto& worst = reflective ? connector : splice;
            const auto loss = measuredEventLoss(static_cast<int16_t>(std::lround(e.loss * 1000)), e.km <= deadZone);
            if (loss && (!worst || *loss > *worst))
                worst = loss;
            if (r && (!reflectance || *r > *reflectance))
                reflectance = r;
        }
        EXPECT_NEAR(s.fibreLength.value_or(0), length, 1e-5 * length);
        const auto same = [](const std::optional<double>& a, const std::optional<double>& b) {
            return a.has_value() == b.has_value() && (!a || std::abs(*a - *b) < 1e-5);
        };
        EXPECT_TRUE(same(s.splice.value, splice)) << s.splice.value.value_or(0) << " " << splice.value_or(0);
        EXPECT_TRUE(same(s.connector.value, connector))
            << s.connector.value.value_or(0) << " " << connector.value_or(0);
        EXPECT_TRUE(same(s.reflectance.value, reflectance))
            << s.reflectance.value.value_or(0) << " " << reflectance.value_or(0);
    }
    EXPECT_GT(files, 0);
}

// sordump --analyse: the own events of each file, as text or one JSON object per file, with the thresholds used;
// --summary --analyse judges the rows by them. Written from the same functions the viewer calls.
TEST(SordumpAnalyse, EventsAsTextAndJsonAndTheSummaryByThem)
{
    const sortest::TempDir dir;
    cablefolder::write(dir.path());
    const std::string file = dir.path() + "/F001.sor";
    const std::string thresholds = dir.path() + "/thresholds.ini";
    ASSERT_TRUE(saveThresholds(thresholds, parseThresholds("AnalysisSpliceLoss:0.2\nAnalysisReflectance:-50\n")));

    struct Case {
        std::string arguments;
        int status;
        std::vector<std::string> expected; ///< texts the output holds
    };
    for (const Case& c : { Case { "--analyse " + quoted(file), 0, { "Own analysis: splice loss 0.05 dB", "end" } },
             Case { "--analyse --json " + quoted(file), 0,
                 { "\"thresholds\":{\"spliceLoss\":0.05,\"reflectance\":-65,\"endOfFibre\":3}",
                     "\"positionKm\":", "\"type\":\"end\"", "\"attenuationBefore\":" } },
             Case { "--analyse --json --thresholds " + quoted(thresholds) + " " + quoted(file), 0,
                 { "\"spliceLoss\":0.2,\"reflectance\":-50" } },
             Case { "--analyse --json " + quoted(dir.path() + "/missing.sor"), 1,
                 { "\"fileParsed\":false", "\"events\":[]" } },
             Case { "--analyse --csv " + quoted(file), 2, {} },
             Case { "--fibre --analyse --csv " + quoted(file), 2, {} },
             Case { "--summary --by-fibre --analyse " + quoted(file), 0, { "F001.sor" } } }) {
        SCOPED_TRACE(c.arguments);
        const ToolRun run = sordump(c.arguments);
        EXPECT_EQ(run.status, c.status);
        for (const auto& text : c.expected)
            EXPECT_NE(run.out.find(text), std::string::npos) << text << " in\n" << run.out;
    }

    // The table judged by the own events: the same columns, the numbers of summarizeFileOwn.
    const ToolRun table = sordump("--summary --analyse " + quoted(file));
    ASSERT_EQ(lines(table.out).size(), 2u);
    const std::string row = csvRow(summarizeFileOwn(file, file, Thresholds()), Thresholds());
    EXPECT_EQ(lines(table.out)[1] + "\n", row);
}
