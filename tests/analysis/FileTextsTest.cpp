#include "CableFolder.h"
#include "Parse.h"

#include "analysis/EventTable.h"
#include "analysis/FileSummary.h"
#include "analysis/TextEncoding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace analysis;
using cablefolder::event;

namespace {

// "АНДРЮКОВ А.В." as an IIT instrument stores it.
const std::string cp1251Operator = "\xC0\xCD\xC4\xD0\xDE\xCA\xCE\xC2 \xC0.\xC2.";
const std::string utf8Operator = "\xD0\x90\xD0\x9D\xD0\x94\xD0\xA0\xD0\xAE\xD0\x9A\xD0\x9E\xD0\x92 \xD0\x90.\xD0\x92.";

struct EncodingCase {
    const char* name;
    std::string bytes;
    TextEncoding encoding;
    std::string utf8;
};

void PrintTo(const EncodingCase& c, std::ostream* os) { *os << c.name; }

class EncodingTable : public testing::TestWithParam<EncodingCase> { };

// A small complete file with these names and events.
sortest::Bytes file(const sortest::Gen& gen, const sortest::Events& events = sortest::Events(), size_t samples = 4)
{
    sortest::SorBuilder b;
    b.gen(gen)
        .sup(sortest::Sup())
        .fxd(sortest::Fxd())
        .events(events)
        .data(sortest::Data(std::vector<uint16_t>(samples, 20000)));
    return b.build();
}

} // namespace

TEST_P(EncodingTable, DecodesToUtf8)
{
    const auto& c = GetParam();
    EXPECT_EQ(decodeText(c.bytes, c.encoding), c.utf8);
}

INSTANTIATE_TEST_SUITE_P(Texts, EncodingTable,
    testing::Values(EncodingCase { "ascii", "F01 Exchange", TextEncoding::Automatic, "F01 Exchange" },
        EncodingCase { "utf8", utf8Operator, TextEncoding::Automatic, utf8Operator },
        EncodingCase { "cyrillic", cp1251Operator, TextEncoding::Automatic, utf8Operator },
        // An accented letter among plain ones is Latin-1.
        EncodingCase { "latin1", "M\xFCller Jos\xE9", TextEncoding::Automatic, "M\xC3\xBCller Jos\xC3\xA9" },
        EncodingCase { "forced latin1", cp1251Operator.substr(0, 2), TextEncoding::Latin1, "\xC3\x80\xC3\x8D" },
        EncodingCase { "forced 1251", "\xA8\xB9", TextEncoding::Windows1251, "\xD0\x81\xE2\x84\x96" },
        // Invalid UTF-8 forced as UTF-8: a replacement character for each bad byte, the rest kept.
        EncodingCase { "forced utf8", "a\xC0z\xE2\x82", TextEncoding::Utf8, "a\xEF\xBF\xBDz\xEF\xBF\xBD\xEF\xBF\xBD" }),
    [](const auto& info) {
        std::string name = info.param.name;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

TEST(FileTexts, OneRuleForAllOfAFilesNames)
{
    struct Case {
        std::string operatorName;
        std::string locationA; ///< too short to tell alone
        TextEncoding chosen;
        std::string expectedOperator;
        std::string expectedLocation;
    };
    const Case cases[] = {
        { cp1251Operator, "\xC0", TextEncoding::Automatic, utf8Operator, "\xD0\x90" },
        { utf8Operator, "\xD0\x90", TextEncoding::Automatic, utf8Operator, "\xD0\x90" },
        { "M\xFCller", "\xC0", TextEncoding::Automatic, "M\xC3\xBCller", "\xC3\x80" },
        { cp1251Operator, "\xC0", TextEncoding::Latin1, decodeText(cp1251Operator, TextEncoding::Latin1), "\xC3\x80" },
    };
    for (const auto& c : cases) {
        sortest::Gen gen;
        gen.operatorName = c.operatorName;
        gen.locationA = c.locationA;
        gen.language = "EN"; // what IIT files say whatever their texts
        const auto parsed = sortest::parseBytes(file(gen));
        ASSERT_TRUE(parsed->fileParsed);
        setTextEncoding(c.chosen);
        EXPECT_EQ(fileText(*parsed.parser, parsed->gen.Operator), c.expectedOperator);
        EXPECT_EQ(fileText(*parsed.parser, parsed->gen.LocationA), c.expectedLocation);
        // The cable table, its CSV and sordump --summary read the summary's texts.
        EXPECT_EQ(summarize(*parsed.parser, "f.sor").locationA, c.expectedLocation);
        setTextEncoding(TextEncoding::Automatic);
    }
}

TEST(FileTexts, RealFilesReadAsTheyAre)
{
    const std::string samples = SOR_SAMPLES_DIR;
    if (!std::filesystem::is_directory(samples))
        GTEST_SKIP() << "no instrument files: " << samples << " is absent";
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(samples)) {
        if (entry.path().extension() != ".sor")
            continue;
        const sor::SORParser p(entry.path().wstring(), sor::nowhere(), sor::nowhere());
        if (!p.fileParsed)
            continue;
        ++files;
        // Their names are plain ASCII: the rule leaves them byte for byte, and finds no Cyrillic in them.
        EXPECT_EQ(fileCodePage(p), TextEncoding::Latin1) << entry.path();
        for (const std::string* text : { &p.gen.CableID, &p.gen.FiberID, &p.gen.LocationA, &p.gen.Operator,
                 &p.sup.SupplierName, &p.sup.OTDR_Name }) {
            if (std::all_of(
                    text->begin(), text->end(), [](char ch) { return static_cast<unsigned char>(ch) < 0x80; })) {
                EXPECT_EQ(fileText(p, *text), *text) << entry.path();
            }
        }
    }
    EXPECT_GT(files, 0);
}

TEST(CumulativeLoss, UpToAndIncludingTheRowWithoutTheFibreEnd)
{
    struct Case {
        uint16_t firstNumber;
        std::vector<double> expected;
    };
    // Whatever numbers the file gives its events, the rows are summed in list order; the end's drop into the noise
    // is no loss of the fibre.
    for (const Case& c : { Case { 1, { 0.1, 0.3, 0.6, 0.6 } }, Case { 2, { 0.1, 0.3, 0.6, 0.6 } },
             Case { 7, { 0.1, 0.3, 0.6, 0.6 } } }) {
        sortest::Events events;
        const double losses[] = { 0.1, 0.2, 0.3, 15.0 };
        for (int i = 0; i < 4; ++i)
            events.events.push_back(
                event(uint16_t(c.firstNumber + i), 1.0 + i, losses[i], 0, i == 3 ? "0E9999LS" : "0F9999LS"));
        const auto parsed = sortest::parseBytes(file(sortest::Gen(), events));
        ASSERT_TRUE(parsed->fileParsed) << parsed->errorText;
        const std::vector<double> sums = cumulativeLosses(*parsed.parser);
        ASSERT_EQ(sums.size(), c.expected.size());
        for (size_t row = 0; row < sums.size(); ++row) {
            EXPECT_NEAR(sums[row], c.expected[row], 1e-9) << "row " << row;
            EXPECT_EQ(cumulativeLoss(*parsed.parser, row), sums[row]);
        }
        EXPECT_EQ(cumulativeLoss(*parsed.parser, 99), sums.back());
    }
}

TEST(FibreTotals, AsTheCableTableShowsThem)
{
    sortest::Events events;
    events.events
        = { event(1, 0, 0, -45, "1F9999LS"), event(2, 2.49, 0.2, 0, "0F9999LS"), event(3, 4.0, 20, -14, "1E9999LS") };
    events.events[1].slope = events.events[2].slope = 375; // the sections' attenuation, 0.001 dB/km
    events.totalLoss = 1500;
    events.orl = 32000;
    const auto parsed = sortest::parseBytes(file(sortest::Gen(), events, 6000)); // 6 km of trace
    ASSERT_TRUE(parsed->fileParsed) << parsed->errorText;
    const auto totals = fibreTotals(summarize(*parsed.parser, "f.sor"));
    // The length is the end event's, not the block's field (0 here, as VIAVI files leave it).
    EXPECT_EQ(totals[0], "4.000");
    EXPECT_EQ(totals[1], "1.500");
    EXPECT_EQ(totals[2], "32.000");
    EXPECT_EQ(totals[3], "0.375");

    // Without events nothing of the fibre was measured: "–", never 0.
    const auto none = fibreTotals(summarize(*sortest::parseBytes(file(sortest::Gen())).parser, "f.sor"));
    EXPECT_EQ(none[0], "\xe2\x80\x93");
    EXPECT_EQ(none[3], "\xe2\x80\x93");
}
