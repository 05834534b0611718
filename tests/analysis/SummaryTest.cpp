#include "CableFolder.h"
#include "Parse.h"

#include "analysis/FileSummary.h"
#include "analysis/SummaryTable.h"

#include <gtest/gtest.h>

using namespace analysis;
using cablefolder::event;

namespace {

FileSummary summaryOf(const sortest::Bytes& bytes)
{
    const auto parsed = sortest::parseBytes(bytes);
    return summarize(*parsed.parser, "trace.sor");
}

struct KindCase {
    const char* code;
    double reflectance;
    bool connector; ///< counted as a connector (reflective), else as a splice
};

} // namespace

// Kinds 0 and 1 by their code, others by whether they have a reflectance.
TEST(Summary, EventKinds)
{
    const KindCase cases[] = {
        KindCase { "0F9999LS", 0, false },
        KindCase { "0F9999LS", -40, false },
        KindCase { "1F9999LS", -40, true },
        KindCase { "1F9999LS", 0, true },
        KindCase { "2F9999LS", -40, true },
        KindCase { "2F9999LS", 0, false },
        KindCase { "", -40, true },
        KindCase { "XF9999LS", 0, false },
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(std::string(k.code) + (k.reflectance != 0 ? " reflecting" : " dark"));
        sortest::Events e;
        e.events.push_back(event(1, 2.5, 0.6, k.reflectance, k.code));
        sortest::SorBuilder b;
        b.gen(sortest::Gen()).fxd(sortest::Fxd()).events(e).data(sortest::Data(std::vector<uint16_t>(3000, 1000)));
        const FileSummary s = summaryOf(b.build());
        const WorstEvent& counted = k.connector ? s.connector : s.splice;
        const WorstEvent& other = k.connector ? s.splice : s.connector;
        EXPECT_DOUBLE_EQ(counted.value.value_or(0), 0.6);
        EXPECT_NEAR(counted.km.value_or(0), 2.5, 1e-4);
        EXPECT_FALSE(known(other.value));
        EXPECT_EQ(known(s.reflectance.value), k.reflectance != 0);
    }
}

TEST(Summary, FibreLengthAndAttenuation)
{
    // The end event, else the KeyEvents length, else nothing; attenuation over that length.
    const FileSummary withEnd = summaryOf(cablefolder::trace({}, 3.5));
    EXPECT_EQ(cellText(withEnd, {}, Column::FibreLength), "10.000");
    EXPECT_EQ(cellText(withEnd, {}, Column::Attenuation), "0.350");
    const FileSummary withoutEnd = summaryOf(cablefolder::trace({}, 2.5, 13100, false));
    EXPECT_EQ(cellText(withoutEnd, {}, Column::FibreLength), "12.500");
    // No event closes the section to the stored length, and a flat trace is no glass.
    EXPECT_EQ(cellText(withoutEnd, {}, Column::Attenuation), notMeasured);

    sortest::Events none;
    none.totalLoss = 1000;
    sortest::SorBuilder b;
    b.fxd(sortest::Fxd()).events(none).data(sortest::Data({ 1, 2, 3 }));
    const FileSummary noLength = summaryOf(b.build());
    EXPECT_FALSE(known(noLength.fibreLength));
    EXPECT_FALSE(known(noLength.attenuation));
    EXPECT_EQ(noLength.events, 0);
    EXPECT_EQ(cellText(noLength, {}, Column::FibreId), ""); // no GenParams

    sortest::SorBuilder bare;
    bare.fxd(sortest::Fxd()).data(sortest::Data({ 1, 2, 3 }));
    const FileSummary noEvents = summaryOf(bare.build());
    EXPECT_TRUE(noEvents.parsed);
    EXPECT_EQ(cellText(noEvents, {}, Column::Events), notMeasured);
    EXPECT_EQ(cellText(noEvents, {}, Column::TotalLoss), notMeasured);
    EXPECT_TRUE(std::isnan(cellNumber(noEvents, {}, Column::Orl)));
}

TEST(Summary, TextsTrimmedFailuresKeepTheMessage)
{
    sortest::Gen g;
    g.fiberId = "  F 7 ";
    g.locationA = "";
    g.locationB = "Hut";
    sortest::SorBuilder b;
    b.gen(g).fxd(sortest::Fxd()).data(sortest::Data({ 1, 2, 3 }));
    const FileSummary s = summaryOf(b.build());
    EXPECT_EQ(s.fibreId, "F 7");
    EXPECT_EQ(cellText(s, {}, Column::Locations), " \xe2\x86\x92 Hut");
    EXPECT_EQ(cellNumber(s, {}, Column::Date), 1700000000);
    const FileSummary empty = summaryOf({});
    EXPECT_NE(empty.errorText.find("The file appears to be empty."), std::string::npos);
}

TEST(Csv, QuotedWhereNeededNumbersInTheCLocale)
{
    EXPECT_EQ(csvField("plain"), "plain");
    EXPECT_EQ(csvField("a,b"), "\"a,b\"");
    EXPECT_EQ(csvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(csvField("two\nlines"), "\"two\nlines\"");

    std::setlocale(LC_NUMERIC, "de_DE.UTF-8"); // a decimal comma where the system has it
    FileSummary s = summaryOf(cablefolder::trace({ event(2, 3.102, 0.42, 0.0, "0F9999LS") }, 3.0));
    s.file = "cable, 1/F1.sor";
    const std::string row = csvRow(s, Thresholds());
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(row,
        "\"cable, 1/F1.sor\",F01,CABLE-1,Exchange,Cabinet,1310,100," + s.date
            + ",10.000,3.000,0.300,40.000,3,0.420,3.102,0.200,0.000,-50.000,0.000,"
              "\"matches CRC-16/CCITT-FALSE over all bytes before the checksum, as the standard says\",Fail,"
              "splice 0.42 dB at 3.102 km > 0.30 dB\n");
    const std::string head = csvHeader();
    const size_t header = std::count(head.begin(), head.end(), ',');
    EXPECT_EQ(static_cast<size_t>(std::count(row.begin(), row.end(), ',')), header + 2); // two commas are quoted
}
