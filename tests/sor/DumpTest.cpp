#include "Parse.h"

using namespace sortest;

TEST(Dump, MapWithoutEntries)
{
    sor::SectionParser_Map map;
    map.parsed = true;
    map.MapVersion = 200;
    map.NumberOfBytesMapBlock = 12;
    map.NumberOfBlocks = 1;
    EXPECT_EQ(map.string(), "Section Title: Map\nMAP version: 200\nNumberOfBytesMapBlock: 12\nNumberOfBlocks: 1\n");
}

TEST(Dump, MapEntriesAreNumberedFromOne)
{
    sor::SectionParser_Map map;
    map.parsed = true;
    map.NumberOfBlocks = 2;
    map.BlockMap_Name = { "GenParams" };
    map.BlockMap_Version = { 210 };
    map.BlockMap_NumberOfBytes = { 56 };
    EXPECT_TRUE(contains(
        map.string(), "1: BlockMap_Name: GenParams\n - BlockMap_Version: 210\n - BlockMap_NumberOfBytes: 56\n"));
}

TEST(Dump, UnparsedBlockThrows)
{
    sor::SectionParser_Data data;
    try {
        data.string();
        FAIL();
    } catch (const EXCEPTION::_Exc_Exception& e) {
        EXPECT_EQ(e.message, "Not parsed yet!");
        EXPECT_EQ(e.function, "stringstream");
    }
}

TEST(Dump, EventRecordPrefix)
{
    sor::KeyEventData e;
    e.EventNr = 3;
    e.Distance = 1.5;
    e.Comment = "x";
    const auto text = e.string(" - ");
    EXPECT_EQ(text.substr(0, 24), "EventNr: 3\n - EventType:");
    EXPECT_TRUE(contains(text, " - Distance: 1.5\n"));
    EXPECT_TRUE(contains(text, " - PeakPointCurrent: 0\n - Comment: x\n"));
}

TEST(Dump, WholeFile)
{
    const auto p = parseBytes(SorBuilder::standard().build());
    ASSERT_TRUE(p->fileParsed);
    const auto text = p->string();
    EXPECT_EQ(text.substr(0, 19), "Section Title: Map\n");
    EXPECT_TRUE(contains(text, "Comments: \n\nSection Title: SupParams\n"));
    EXPECT_TRUE(contains(text, "Other: \n\nSection Title: FxdParams\n"));
    EXPECT_TRUE(contains(text, "Section Title: FxdParams\nDate_seconds: 1700000000\n"));
    EXPECT_TRUE(contains(text, "Wavelength: 1310\nAquOffset: 0\n"));
    EXPECT_TRUE(contains(text, "Y2: 0\n\nSection Title: KeyEvents\nNumber of Events: 1\nEventNr: 1\n - EventType:"));
    EXPECT_TRUE(contains(text, "ORL: 40\n"));
    EXPECT_TRUE(contains(text, "ORL_Length: "));
    const std::string tail = "\n\nSection Title: DataPts\nNumberOfPoints: 8\nNumberOfTraces: 1\nNumberOfPoints_Trace: "
                             "8\nScalingFactor: 1000\n";
    ASSERT_GT(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);

    p->sup.parsed = false;
    EXPECT_THROW(p->string(), EXCEPTION::_Exc_Exception);
}

TEST(Dump, PythonList)
{
    auto p = parseBytes(SorBuilder::standard().build());
    p->xy = { { 0, 0.5 }, { -1.25, -70 } };
    p->xyCached = true;
    EXPECT_EQ(p->getPythonListString(), "([\n\t0.000000, 0.500000, \n],[\n\t-1.250000, -70.000000, \n])\n");
    p->xy = { {}, {} };
    EXPECT_EQ(p->getPythonListString(), "([\n\n],[\n\n])\n");
    p->xy = { { 1, 2, 3, 4, 5, 6, 7 }, { 1, 2, 3, 4, 5, 6, 7 } };
    EXPECT_TRUE(contains(p->getPythonListString(),
        "([\n\t1.000000, 2.000000, 3.000000, 4.000000, 5.000000, 6.000000, \n\t7.000000, \n],[\n"));
}
