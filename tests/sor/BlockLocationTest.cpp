#include "Parse.h"

#include <algorithm>
#include <functional>

using namespace sortest;

// Vendors' layouts that the Map describes but strictly sequential reading does not: each file must read with its
// trace, its events and every known block.
namespace {

const std::vector<uint16_t> samples = { 1000, 1200, 1500, 1400, 1800, 2600, 3000, 3100, 3150 };

Events twoEvents()
{
    Events e;
    e.events.resize(2);
    e.events[0].code = "1F9999LS";
    e.events[1].number = 2;
    e.events[1].timeOfTravel = 5000;
    e.events[1].code = "1E9999LS";
    return e;
}

Bytes vendorBody(size_t n) { return Bytes(n, 0x5A); }

// The Map entries of head() + events + data: 0 GenParams, 1 SupParams, 2 FxdParams, 3 KeyEvents, 4 DataPts.
SorBuilder head(const Fxd& fxd = Fxd())
{
    SorBuilder b;
    b.gen(Gen()).sup(Sup()).fxd(fxd);
    return b;
}

SorBuilder standard(const Fxd& fxd = Fxd())
{
    auto b = head(fxd);
    b.events(twoEvents()).data(Data { samples });
    return b;
}

std::function<void(std::vector<MapEntry>&)> resized(size_t entry, int delta)
{
    return [=](std::vector<MapEntry>& m) { m[entry].size = static_cast<uint32_t>(int64_t(m[entry].size) + delta); };
}

// The vendor block at entry `inner` listed with size 0, its bytes counted in the block before it.
std::function<void(std::vector<MapEntry>&)> embedded(size_t inner)
{
    return [=](std::vector<MapEntry>& m) {
        m[inner - 1].size += m[inner].size;
        m[inner].size = 0;
    };
}

std::function<void(std::vector<MapEntry>&)> absent(size_t at, const char* name)
{
    return [=](std::vector<MapEntry>& m) { m.insert(m.begin() + long(at), MapEntry { name, 200, 0 }); };
}

Fxd withVendorTail()
{
    Fxd f;
    f.vendorTail = Bytes(48, 0xA5);
    return f;
}

struct Case {
    const char* what;
    std::function<Bytes()> build;
    const char* titles; ///< the "Current section title" lines, in order
    const char* unknown; ///< a line that must be printed, or ""
};

const char* const usual = "Map GenParams SupParams FxdParams KeyEvents DataPts Cksum";

const Case cases[] = {
    { "zero-size entry of a block the file lacks", [] { return standard().editMap(absent(4, "LnkParams")).build(); },
        usual, "" },
    { "zero-size entry of a lacking block first in the Map",
        [] { return standard().editMap(absent(0, "LnkParams")).build(); }, usual, "" },
    { "vendor block of size 0 inside the extent of KeyEvents",
        [] {
            auto b = head();
            b.events(twoEvents()).block("LinkParams", vendorBody(20)).data(Data { samples });
            return b.editMap(embedded(4)).build();
        },
        "Map GenParams SupParams FxdParams KeyEvents LinkParams DataPts Cksum",
        "Section 'LinkParams' unknown  - seek 0 bytes\n" },
    { "vendor block of size 0 after the samples",
        [] {
            auto b = standard();
            b.block("UserName", vendorBody(31));
            return b.editMap(embedded(5)).build();
        },
        "Map GenParams SupParams FxdParams KeyEvents DataPts UserName Cksum",
        "Section 'UserName' unknown  - seek 0 bytes\n" },
    { "vendor bytes after the fields of FxdParams", [] { return standard(withVendorTail()).build(); }, usual, "" },
    { "GenParams listed 3 bytes too long", [] { return standard().editMap(resized(0, 3)).build(); }, usual, "" },
    { "SupParams listed 2 bytes too long", [] { return standard().editMap(resized(1, 2)).build(); }, usual, "" },
    { "FxdParams listed 1 byte too long", [] { return standard().editMap(resized(2, 1)).build(); }, usual, "" },
    { "DataPts listed 3 bytes too long", [] { return standard().editMap(resized(4, 3)).build(); }, usual, "" },
    { "GenParams listed 3 bytes too short", [] { return standard().editMap(resized(0, -3)).build(); }, usual, "" },
    { "FxdParams listed 1 byte too short", [] { return standard().editMap(resized(2, -1)).build(); }, usual, "" },
    { "KeyEvents listed 2 bytes too short", [] { return standard().editMap(resized(3, -2)).build(); }, usual, "" },
    { "GenParams too long and vendor bytes after FxdParams",
        [] { return standard(withVendorTail()).editMap(resized(0, 3)).build(); }, usual, "" },
    { "DataPts before KeyEvents",
        [] {
            auto b = head();
            b.data(Data { samples }).events(twoEvents());
            return b.build();
        },
        "Map GenParams SupParams FxdParams DataPts KeyEvents Cksum", "" },
    { "two unknown blocks with the same name",
        [] {
            auto b = head();
            b.block("Vendor", vendorBody(10)).events(twoEvents()).block("Vendor", vendorBody(30));
            b.data(Data { samples });
            return b.build();
        },
        "Map GenParams SupParams FxdParams Vendor KeyEvents Vendor DataPts Cksum",
        "Section 'Vendor' unknown  - seek 10 bytes\nCurrent section title: KeyEvents\nCurrent section title: "
        "Vendor\nSection 'Vendor' unknown  - seek 30 bytes\n" },
};

std::string titlesOf(const std::string& out)
{
    const std::string prefix = "Current section title: ";
    std::string titles;
    for (size_t at = out.find(prefix); at != std::string::npos; at = out.find(prefix, at + 1)) {
        const size_t start = at + prefix.size();
        titles += (titles.empty() ? "" : " ") + out.substr(start, out.find('\n', start) - start);
    }
    return titles;
}

void PrintTo(const Case& c, std::ostream* os) { *os << c.what; }

class BlockLocation : public testing::TestWithParam<Case> { };

} // namespace

TEST_P(BlockLocation, ReadsTheTraceTheEventsAndEveryKnownBlock)
{
    const Case& c = GetParam();
    const Bytes bytes = c.build();
    const auto p = parseBytes(bytes);
    ASSERT_TRUE(p->fileParsed) << p->errorText << p.out;
    EXPECT_EQ(p->data.DataPoints, samples);
    ASSERT_EQ(p->events.keyEvents.size(), 2u);
    EXPECT_EQ(p->events.keyEvents[1].EventCode, "1E9999LS");
    EXPECT_EQ(p->gen.CableID, "CABLE-1");
    EXPECT_EQ(p->sup.SupplierName, "TAVIX");
    EXPECT_EQ(p->fxd.PulseWidth, 100);
    EXPECT_TRUE(p->crcValid);
    EXPECT_EQ(titlesOf(p.out), c.titles);
    EXPECT_TRUE(contains(p.out, c.unknown)) << p.out;

    // The samples' block is found where it is, not where the Map's sizes put it; the Map's copy of the name is
    // the first occurrence.
    const std::string id("DataPts\0", 8);
    const auto last = std::find_end(bytes.begin(), bytes.end(), id.begin(), id.end());
    const auto found = std::find_if(p->blockLocations.begin(), p->blockLocations.end(),
        [](const sor::BlockLocation& b) { return b.name == "DataPts"; });
    ASSERT_NE(found, p->blockLocations.end());
    EXPECT_EQ(found->offset, last - bytes.begin());
    EXPECT_EQ(found->size, long(id.size() + 12 + 2 * samples.size()));
}

INSTANTIATE_TEST_SUITE_P(
    VendorLayouts, BlockLocation, testing::ValuesIn(cases), [](const testing::TestParamInfo<Case>& info) {
        std::string name;
        for (const char* c = info.param.what; *c; ++c)
            name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        return name;
    });

TEST(BlockLocation, AbsentEntriesAreRecordedWithoutAnOffset)
{
    const auto p = parseBytes(standard().editMap(absent(4, "LnkParams")).build());
    ASSERT_TRUE(p->fileParsed);
    ASSERT_EQ(p->blockLocations.size(), 8u); // the Map, six entries, Cksum
    EXPECT_EQ(p->blockLocations[0].name, "Map");
    EXPECT_EQ(p->blockLocations[0].offset, 0);
    EXPECT_EQ(p->blockLocations[5].name, "LnkParams");
    EXPECT_EQ(p->blockLocations[5].offset, -1);
    EXPECT_EQ(p->blockLocations[7].name, "Cksum");
}

TEST(BlockLocation, ListedEventsOfSizeZeroThatAreNowhereFail)
{
    // Passing over an entry the file lacks does not make the events optional.
    auto b = head();
    b.data(Data { samples });
    const auto p = parseBytes(b.editMap(absent(3, "KeyEvents")).build());
    EXPECT_FALSE(p->fileParsed);
    EXPECT_TRUE(contains(p->errorText, "Could not find section 'KeyEvents' that the Map section lists.\n"));
}
