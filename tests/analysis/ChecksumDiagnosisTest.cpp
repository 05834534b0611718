#include "Parse.h"

#include "analysis/ChecksumDiagnosis.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace sortest;
using analysis::ChecksumConvention;

namespace {

const std::string standardText = "matches CRC-16/CCITT-FALSE over all bytes before the checksum, as the standard says";
const std::string unverifiable = "cannot be verified";
const std::string damaged = "does not match its vendor's convention: the file may be damaged or altered";

struct Case {
    const char* supplier;
    const char* otdr;
    SorBuilder::Crc crc;
    ChecksumConvention convention;
    bool suspect;
    std::string text; ///< empty: not checked
};

const Case cases[] = {
    // What each convention looks like, whoever wrote the file.
    { "TAVIX", "SYNTH", SorBuilder::Crc::Right, ChecksumConvention::Standard, false, standardText },
    { "TAVIX", "SYNTH", SorBuilder::Crc::Xmodem, ChecksumConvention::Xmodem, false,
        "matches CRC-16/XMODEM (initial value 0) over all bytes before the checksum" },
    { "TAVIX", "SYNTH", SorBuilder::Crc::Complement, ChecksumConvention::Complement, false,
        "matches the complement of CRC-16/CCITT-FALSE over all bytes before the checksum" },
    { "TAVIX", "SYNTH", SorBuilder::Crc::BeforeCksum, ChecksumConvention::BeforeCksum, false,
        "matches CRC-16/CCITT-FALSE over the bytes before the Cksum block" },
    { "TAVIX", "SYNTH", SorBuilder::Crc::Zero, ChecksumConvention::NotStored, false, "no checksum stored" },
    { "TAVIX", "SYNTH", SorBuilder::Crc::Wrong, ChecksumConvention::Unknown, false, unverifiable },
    // Suppliers without a known convention can only be unverifiable.
    { "EXFO", "MAX-730C", SorBuilder::Crc::Wrong, ChecksumConvention::Unknown, false, unverifiable },
    { "Viavi", "SmartOTDR", SorBuilder::Crc::Wrong, ChecksumConvention::Unknown, false, unverifiable },
    { "OptixS", "OPXOTDR", SorBuilder::Crc::Wrong, ChecksumConvention::Unknown, false, unverifiable },
    // Suppliers whose convention is known: anything else is suspect.
    { "YOKOGAWA", "AQ7280", SorBuilder::Crc::Right, ChecksumConvention::Standard, false, standardText },
    { "YOKOGAWA", "AQ7280", SorBuilder::Crc::Wrong, ChecksumConvention::Unknown, true, damaged },
    { "AFL Noyes", "M200", SorBuilder::Crc::Wrong, ChecksumConvention::Unknown, true, damaged },
    { "Sv Pribor", "", SorBuilder::Crc::Wrong, ChecksumConvention::Unknown, true, damaged },
    { "IIT", "", SorBuilder::Crc::Wrong, ChecksumConvention::Unknown, true, damaged },
    { "ANRITSU", "MT9090A", SorBuilder::Crc::Xmodem, ChecksumConvention::Xmodem, false, "" },
    { "ANRITSU", "MT9090A", SorBuilder::Crc::Wrong, ChecksumConvention::Unknown, true, damaged },
    { "ANRITSU", "MT9082", SorBuilder::Crc::Complement, ChecksumConvention::Complement, false, "" },
    { "Anritsu", "CMA4500", SorBuilder::Crc::Wrong, ChecksumConvention::Unknown, true, damaged },
    { "OPWILL", "", SorBuilder::Crc::BeforeCksum, ChecksumConvention::BeforeCksum, false, "" },
    { "OPWILL", "", SorBuilder::Crc::Wrong, ChecksumConvention::Unknown, true, damaged },
    { "FIBERCLOUD", "FC3200", SorBuilder::Crc::Zero, ChecksumConvention::NotStored, false, "no checksum stored" },
    { "FIBERCLOUD", "FC3200", SorBuilder::Crc::Wrong, ChecksumConvention::Unknown, true, damaged },
    { "Grandway", "", SorBuilder::Crc::Zero, ChecksumConvention::NotStored, false, "" },
    // A stored value that matches another convention than the supplier's is no sign of damage.
    { "ANRITSU", "MT9082", SorBuilder::Crc::Right, ChecksumConvention::Standard, false, standardText },
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.supplier; }

class Diagnosis : public testing::TestWithParam<Case> { };

} // namespace

TEST_P(Diagnosis, TellsTheConventionFromDamage)
{
    const Case& c = GetParam();
    Sup sup;
    sup.supplierName = c.supplier;
    sup.otdrName = c.otdr;
    SorBuilder b;
    b.gen(Gen()).sup(sup).fxd(Fxd()).events(Events()).data(Data { { 1, 2, 3 } }).crc(c.crc);
    const auto p = parseBytes(b.build());
    ASSERT_TRUE(p->fileParsed) << p->errorText;
    const auto d = analysis::diagnoseChecksum(*p.parser);
    EXPECT_EQ(d.convention, c.convention) << d.text;
    EXPECT_EQ(d.suspect, c.suspect) << d.text;
    if (!c.text.empty()) {
        EXPECT_EQ(d.text, c.text);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Conventions, Diagnosis, testing::ValuesIn(cases), [](const testing::TestParamInfo<Case>& info) {
        std::string name = std::to_string(info.index) + "_";
        for (const char* c = info.param.supplier; *c; ++c)
            name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        std::string kind = analysis::conventionName(info.param.convention);
        std::replace(kind.begin(), kind.end(), '-', '_');
        return name + "_" + kind + (info.param.suspect ? "_suspect" : "");
    });

TEST(Diagnosis, SuppliersAreToldByNameAndModel)
{
    using V = std::vector<ChecksumConvention>;
    EXPECT_EQ(analysis::supplierConventions("  anritsu corp. ", ""),
        (V { ChecksumConvention::Xmodem, ChecksumConvention::Complement }));
    EXPECT_EQ(analysis::supplierConventions("NetTest", "CMA 4500"), V { ChecksumConvention::Xmodem });
    EXPECT_EQ(analysis::supplierConventions("SV-PRIBOR", ""), V { ChecksumConvention::Standard });
    // Short names count only as words of their own.
    EXPECT_EQ(analysis::supplierConventions("IIT Ltd", ""), V { ChecksumConvention::Standard });
    EXPECT_TRUE(analysis::supplierConventions("DIIT", "").empty());
    EXPECT_TRUE(analysis::supplierConventions("", "").empty());
    EXPECT_STREQ(analysis::conventionName(ChecksumConvention::BeforeCksum), "before-cksum");
}

TEST(Diagnosis, RefusedFilesHaveNone)
{
    const auto p = parseBytes(Bytes { 'X', 'Y', 'Z' });
    const auto d = analysis::diagnoseChecksum(*p.parser);
    EXPECT_FALSE(d.suspect);
    EXPECT_EQ(d.convention, ChecksumConvention::Unknown);
}

namespace {
const std::string samples = SOR_SAMPLES_DIR;

sortest::Bytes readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return sortest::Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
} // namespace

TEST(Diagnosis, InstrumentFiles)
{
    if (!std::filesystem::is_directory(samples))
        GTEST_SKIP() << "no instrument files: " << samples << " is absent";
    struct Expected {
        const char* file;
        ChecksumConvention convention;
        bool suspectWhenDamaged; ///< a changed sample byte leaves the known convention unmatched
    };
    const Expected files[] = {
        { "sample1310_lowDR.sor", ChecksumConvention::Unknown, false },
        { "example2-exfo-maxtester730c.sor", ChecksumConvention::Unknown, false },
        { "example3-anritsu-accessmastermt9085.sor", ChecksumConvention::Xmodem, true },
        { "fibercloud-fc3200-1.sor", ChecksumConvention::NotStored, false },
        { "viavi-smartotdr-1310.sor", ChecksumConvention::Unknown, false },
        { "opwill-1550-2000ns.sor", ChecksumConvention::BeforeCksum, true },
        { "jdsu-eotdr-v210.sor", ChecksumConvention::Unknown, false },
    };
    for (const auto& e : files) {
        SCOPED_TRACE(e.file);
        Bytes bytes = readFile(samples + "/" + e.file);
        ASSERT_GT(bytes.size(), 1000u);
        const auto p = parseBytes(bytes);
        ASSERT_TRUE(p->fileParsed) << p->errorText;
        const auto d = analysis::diagnoseChecksum(*p.parser);
        EXPECT_EQ(d.convention, e.convention) << d.text;
        EXPECT_FALSE(d.suspect);

        bytes[bytes.size() / 2] ^= 0x10;
        const auto changed = parseBytes(bytes);
        const auto dc = analysis::diagnoseChecksum(*changed.parser);
        EXPECT_EQ(dc.suspect, e.suspectWhenDamaged) << dc.text;
        if (e.suspectWhenDamaged) {
            EXPECT_EQ(dc.text, damaged);
        }
    }
}
