#include "Parse.h"

#include <algorithm>
#include <clocale>
#include <filesystem>

#include <unistd.h>

using namespace sortest;

TEST(Driver, RefusesFilesThatAreNotVersionTwo)
{
    struct Case {
        Bytes bytes;
        std::string message;
    };
    const Case cases[] = {
        { {}, "Exc_Exception: The file appears to be empty." },
        { { 'M', 'a' }, "Exc_Exception: The file is too small (less than 3 Byte) (2 Byte)" },
        { { 0x64, 0x00, 1, 2, 3 },
            "Exc_NotImplemented: Only .sor format version 2.0 is supported. The supplied file seems to be version 1.x "
            "(100)." },
        { { 'M', 'b', 'p', 0, 0 }, "Exc_Exception: The file does not appear to adhere to the .sor file standard." },
    };
    for (const auto& c : cases) {
        const auto p = parseBytes(c.bytes);
        EXPECT_FALSE(p->fileParsed);
        EXPECT_TRUE(contains(p->errorText, c.message + "\n")) << p->errorText;
    }
}

TEST(Driver, MissingFileAndFoldersCannotBeOpened)
{
    testing::internal::CaptureStderr();
    const sor::SORParser missing(L"/nonexistent/file.sor");
    const sor::SORParser folder(std::filesystem::temp_directory_path().wstring());
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(contains(missing.errorText, "Exc_Exception: Could not open file\n"));
    EXPECT_TRUE(contains(folder.errorText, "Exc_Exception: Could not open file\n"));
}

TEST(Driver, StandardFileParsesWithItsProgressLines)
{
    const auto p = parseBytes(SorBuilder::standard().build());
    ASSERT_TRUE(p->fileParsed) << p->errorText;
    EXPECT_TRUE(p->crcValid);
    EXPECT_TRUE(p->errorText.empty());
    EXPECT_TRUE(contains(p.out, "CRC of file is valid, CRC = 0x"));
    EXPECT_TRUE(contains(p.out,
        "Current section title: Map\nCurrent section title: GenParams\nCurrent section title: SupParams\n"
        "Current section title: FxdParams\nCurrent section title: KeyEvents\nCurrent section title: DataPts\n"
        "Current section title: Cksum\nFile successfully parsed.\n\n"));
    EXPECT_EQ(p->map.NumberOfBlocks, 7);
    EXPECT_EQ(p->map.BlockMap_Name.size(), 6u);
    EXPECT_EQ(p->data.DataPoints.size(), 8u);
    EXPECT_EQ(p->events.keyEvents.size(), 1u);
}

TEST(Driver, WrongChecksumIsReportedNotFatal)
{
    auto bytes = SorBuilder::standard().crc(SorBuilder::Crc::Wrong).build();
    const auto p = parseBytes(bytes);
    ASSERT_TRUE(p->fileParsed);
    EXPECT_FALSE(p->crcValid);
    const uint16_t stored = static_cast<uint16_t>(bytes[bytes.size() - 2] | (bytes[bytes.size() - 1] << 8));
    EXPECT_EQ(p->storedCrc, stored);
    char line[80];
    std::snprintf(
        line, sizeof line, "CRC of file is NOT valid, 0x%x  != 0x%x!\n", stored, crc16(bytes.data(), bytes.size() - 2));
    EXPECT_TRUE(contains(p.out, line)) << p.out;

    // Any changed byte before the checksum makes a valid file invalid.
    auto good = SorBuilder::standard().build();
    good[20] ^= 1;
    EXPECT_FALSE(parseBytes(good)->crcValid);
}

TEST(Driver, MapRevisions)
{
    const auto newer = parseBytes(SorBuilder::standard().mapVersion(201).build());
    EXPECT_TRUE(newer->fileParsed);
    EXPECT_TRUE(contains(newer.out,
        "WARNING: Only version 2.0 (200) is supported. The version of the file is 201 which is newer. It will still "
        "be attempted to parse the file."));
    const auto older = parseBytes(SorBuilder::standard().mapVersion(199).build());
    EXPECT_FALSE(older->fileParsed);
    EXPECT_TRUE(contains(older->errorText,
        "Exc_NotImplemented: Only version 2.0 (200) is supported. The version of the file is 199 which is too old."));
}

TEST(Driver, UnknownBlockIsSkippedByItsMapSize)
{
    auto b = SorBuilder();
    b.gen(Gen()).sup(Sup()).block("Vendor", Bytes(23, 0xAB)).fxd(Fxd()).events(Events()).data(Data { { 1, 2, 3 } });
    const auto p = parseBytes(b.build());
    ASSERT_TRUE(p->fileParsed) << p->errorText;
    EXPECT_EQ(p->map.BlockMap_NumberOfBytes[2], 30u);
    EXPECT_TRUE(contains(p.out, "Section 'Vendor' unknown  - seek 23 bytes\n"));
    EXPECT_TRUE(p->fxd.parsed);
    EXPECT_EQ(p->data.DataPoints, (std::vector<uint16_t> { 1, 2, 3 }));
}

TEST(Driver, UnknownBlockBeforeTheMapIsAnError)
{
    // The word check needs "Ma", so the first identifier can only be an unknown one like "Mab".
    auto bytes = SorBuilder::standard().build();
    bytes[2] = 'b';
    const auto p = parseBytes(bytes);
    EXPECT_TRUE(contains(p->errorText, "Encountered unknown section 'Mab' before encountering Map section."));
}

TEST(Driver, FxdParamsIsRequired)
{
    auto b = SorBuilder();
    b.gen(Gen()).sup(Sup()).events(Events()).data(Data { { 1, 2 } });
    const auto p = parseBytes(b.build());
    EXPECT_FALSE(p->fileParsed);
    EXPECT_TRUE(p->gen.parsed && p->sup.parsed && p->events.parsed && p->data.parsed);
    EXPECT_TRUE(contains(p->errorText, "Exc_Exception: Could not find section FxdParams\n"));

    const auto mapOnly = parseBytes(SorBuilder().withoutCksumBlock().build());
    EXPECT_EQ(mapOnly->map.NumberOfBlocks, 1);
    EXPECT_TRUE(mapOnly->map.BlockMap_Name.empty());
    EXPECT_TRUE(contains(mapOnly->errorText, "Could not find section FxdParams"));
}

TEST(Driver, CksumEndsBlockReading)
{
    auto b = SorBuilder();
    b.gen(Gen()).block("Cksum", {}).fxd(Fxd()).data(Data { { 1 } });
    const auto p = parseBytes(b.build());
    EXPECT_FALSE(p->fxd.parsed);
    EXPECT_TRUE(contains(p->errorText, "Could not find section FxdParams"));
}

namespace {
// The image with the zero byte after the block identifier (not the Map's copy of the name) replaced.
Bytes damageIdentifier(Bytes bytes, const std::string& id)
{
    const std::string needle = id + '\0';
    auto at = std::search(bytes.begin(), bytes.end(), needle.begin(), needle.end());
    at = std::search(at + 1, bytes.end(), needle.begin(), needle.end());
    at[static_cast<long>(id.size())] = 'X';
    return bytes;
}
} // namespace

TEST(Driver, ListedTraceOrEventsThatWereNeverReadFail)
{
    // Each of these used to parse "successfully" with no trace or no events to show.
    struct Case {
        const char* what;
        Bytes bytes;
        const char* block;
    };
    auto cksumFirst = SorBuilder();
    cksumFirst.gen(Gen()).sup(Sup()).fxd(Fxd()).events(Events()).block("Cksum", {}).data(Data { { 1, 2 } });
    const Case cases[] = {
        { "damaged DataPts identifier", damageIdentifier(SorBuilder::standard().build(), "DataPts"), "DataPts" },
        { "damaged KeyEvents identifier", damageIdentifier(SorBuilder::standard().build(), "KeyEvents"), "KeyEvents" },
        { "checksum block before the samples", cksumFirst.build(), "DataPts" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto p = parseBytes(c.bytes);
        EXPECT_FALSE(p->fileParsed);
        EXPECT_TRUE(contains(p->errorText,
            std::string("Exc_Exception: Could not find section '") + c.block + "' that the Map section lists.\n"))
            << p->errorText;
    }

    // A damaged descriptive block is skipped by its Map size as before; the trace still shows.
    const auto gen = parseBytes(damageIdentifier(SorBuilder::standard().build(), "GenParams"));
    EXPECT_TRUE(gen->fileParsed) << gen->errorText;
    EXPECT_FALSE(gen->gen.parsed);
    EXPECT_EQ(gen->data.DataPoints.size(), 8u);
}

TEST(Driver, BlockParsedTwiceFails)
{
    auto b = SorBuilder();
    b.gen(Gen()).gen(Gen()).fxd(Fxd());
    const auto p = parseBytes(b.build());
    EXPECT_TRUE(contains(p->errorText, "Exc_Exception: Parse already performed!\n"));
}

TEST(Driver, VendorBytesAfterAKnownBlockAreSkippedByItsMapSize)
{
    Fxd fxd;
    // Bytes that look like a block identifier, as one vendor writes them.
    fxd.vendorTail = Bytes(32, 0xA5);
    for (char c : std::string("DataPts"))
        fxd.vendorTail.push_back(static_cast<uint8_t>(c));
    fxd.vendorTail.resize(48, 0);
    Events events;
    events.events.resize(2);
    events.events[1].number = 2;
    events.events[1].code = "0E9999LS";
    auto b = SorBuilder();
    b.gen(Gen()).sup(Sup()).fxd(fxd).events(events).data(Data { std::vector<uint16_t>(500, 7) });
    const auto p = parseBytes(b.build());
    ASSERT_TRUE(p->fileParsed) << p->errorText;
    EXPECT_EQ(p->map.BlockMap_NumberOfBytes[2], 140u); // identifier, fields, vendor bytes
    EXPECT_EQ(p->events.keyEvents.size(), 2u);
    EXPECT_EQ(p->data.DataPoints.size(), 500u);
    EXPECT_FALSE(contains(p.out, "unknown"));
}

TEST(Driver, MapSizeThatDisagreesWithAKnownBlockIsNotFollowed)
{
    // A Map entry that names another block, or ends before or beyond what was read, leaves strict reading.
    const auto edits = { std::function<void(std::vector<MapEntry>&)>([](auto& m) { m[2].size = 5; }),
        std::function<void(std::vector<MapEntry>&)>([](auto& m) { m[2].size = 100000; }),
        std::function<void(std::vector<MapEntry>&)>([](auto& m) { std::swap(m[0], m[1]); }) };
    for (const auto& edit : edits) {
        auto b = SorBuilder::standard();
        const auto p = parseBytes(b.editMap(edit).build());
        EXPECT_TRUE(p->fileParsed) << p->errorText;
        EXPECT_EQ(p->data.DataPoints.size(), 8u);
    }
}

TEST(Driver, MoreBlocksInTheFileThanTheMapLists)
{
    auto b = SorBuilder::standard();
    b.block("Extra", Bytes(10, 1));
    const auto p = parseBytes(b.editMap([](auto& m) { m.erase(m.end() - 2); }).build());
    EXPECT_TRUE(p->fileParsed) << p->errorText;
    EXPECT_EQ(p->data.DataPoints.size(), 8u);
}

TEST(Driver, MapSizeSmallerThanTheIdentifierFailsCleanly)
{
    auto b = SorBuilder();
    b.gen(Gen()).block("VendorBlock", Bytes(4, 0)).fxd(Fxd());
    const auto p = parseBytes(b.editMap([](auto& m) { m[1].size = 3; }).build());
    EXPECT_FALSE(p->fileParsed);
    EXPECT_TRUE(contains(p->errorText, "'VendorBlock'")) << p->errorText;
    EXPECT_FALSE(contains(p.out, "seek -"));
}

TEST(Driver, HugeSampleCountFailsWithoutReservingIt)
{
    Data d;
    d.samples = { 1, 2, 3 };
    d.numberOfPoints = 4000000000u;
    auto b = SorBuilder();
    b.fxd(Fxd()).data(d);
    const auto p = parseBytes(b.build());
    EXPECT_FALSE(p->fileParsed);
    EXPECT_TRUE(contains(p->errorText, "Exc_ParserError: Error while scanning a WORD. Error Code: 0\n"));
    EXPECT_TRUE(contains(p->errorText, "in function scan_word"));
    EXPECT_FALSE(p->data.parsed);
    EXPECT_LT(p->data.DataPoints.capacity(), 1u << 20);
}

TEST(Driver, NonAsciiFileNameOpensInTheCLocale)
{
    ASSERT_STREQ(std::setlocale(LC_CTYPE, nullptr), "C");
    const TempFile file(SorBuilder::standard().build(), "Messung-\xC3\xBC.sor");
    testing::internal::CaptureStdout();
    const sor::SORParser p(file.wpath());
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(file.wpath().substr(file.wpath().size() - 13), L"Messung-\u00FC.sor");
    EXPECT_TRUE(p.fileParsed) << p.errorText;
}

TEST(Driver, CopiesAreIndependent)
{
    const auto p = parseBytes(SorBuilder::standard().build());
    sor::SORParser copy = *p.parser;
    copy.data.DataPoints.clear();
    copy.xyCached = false;
    EXPECT_EQ(p->data.DataPoints.size(), 8u);
    EXPECT_TRUE(copy.getXY()[0].empty());
    EXPECT_EQ(copy.path, p->path);
}

TEST(Driver, LastUnknownBlockLargerThanTheFileEndsReading)
{
    auto b = SorBuilder::standard().withoutCksumBlock();
    b.block("Trailer", Bytes(4, 9));
    const auto p = parseBytes(b.editMap([](auto& m) { m.back().size = 1000; }).build());
    EXPECT_TRUE(p->fileParsed) << p->errorText;
    EXPECT_TRUE(contains(p.out, "Section 'Trailer' unknown  - seek 992 bytes\n"));
}

TEST(Driver, OnlyTheFirstBytesOfALargeFileAreReadBeforeItIsRefused)
{
    // Sparse files: the size is there without the bytes, so only a reader that reads them all would be slow.
    struct Case {
        Bytes head;
        long size;
        std::string message;
    };
    const long limit = sor::SORParser::maxFileSize;
    const Case cases[] = {
        { { 'M', 'a', 'p', 0 }, limit + 1,
            "Exc_Exception: The file is too large for an OTDR trace (67108865 Byte; the limit is 67108864 Byte).\n" },
        { { 'M', 'a', 'p', 0 }, 1L << 40,
            "The file is too large for an OTDR trace (1099511627776 Byte; the limit is 67108864 Byte)." },
        { { 'P', 'K', 3, 4 }, 300L << 20,
            "Exc_Exception: The file does not appear to adhere to the .sor file standard." },
        { { 0x64, 0x00 }, 300L << 20, "seems to be version 1.x (100)." },
    };
    for (const auto& c : cases) {
        const TempFile file(c.head, "big.sor");
        ASSERT_EQ(::truncate(file.path().c_str(), c.size), 0);
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const sor::SORParser p(file.wpath());
        testing::internal::GetCapturedStdout();
        testing::internal::GetCapturedStderr();
        EXPECT_FALSE(p.fileParsed);
        EXPECT_TRUE(contains(p.errorText, c.message)) << p.errorText;
        EXPECT_FALSE(p.crcCandidates.computed);
    }

    // A file of exactly the limit is read: blocks first, then padding.
    const TempFile padded(SorBuilder::standard().build(), "padded.sor");
    ASSERT_EQ(::truncate(padded.path().c_str(), limit), 0);
    testing::internal::CaptureStdout();
    const sor::SORParser p(padded.wpath());
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(p.fileParsed) << p.errorText;
    EXPECT_EQ(p.data.DataPoints.size(), 8u);
}

TEST(Driver, ChecksumCandidatesAreKeptForTheDiagnosis)
{
    auto b = SorBuilder::standard();
    const Bytes bytes = b.build();
    const auto p = parseBytes(bytes);
    const auto& c = p->crcCandidates;
    ASSERT_TRUE(c.computed);
    const size_t body = bytes.size() - 2;
    EXPECT_EQ(c.ccittFalse, crc16(bytes.data(), body));
    EXPECT_EQ(c.xmodem, crc16(bytes.data(), body, 0));
    EXPECT_EQ(c.cksumOffset, long(bytes.size() - 8));
    EXPECT_EQ(c.ccittBeforeCksum, crc16(bytes.data(), bytes.size() - 8));

    // A checksum block that is not at the end: the one the reader met.
    auto early = SorBuilder();
    early.gen(Gen()).sup(Sup()).fxd(Fxd()).events(Events()).data(Data { { 1, 2 } }).block("Cksum", {});
    early.block("Trailer", Bytes(9, 7)).withoutCksumBlock();
    const Bytes image = early.build();
    const auto q = parseBytes(image);
    ASSERT_TRUE(q->fileParsed) << q->errorText;
    const std::string id("Cksum\0", 6);
    const long at = std::find_end(image.begin(), image.end(), id.begin(), id.end()) - image.begin();
    EXPECT_EQ(q->crcCandidates.cksumOffset, at);
    EXPECT_EQ(q->crcCandidates.ccittBeforeCksum, crc16(image.data(), size_t(at)));

    // Without any, there is nothing to compute before it.
    const auto none = parseBytes(SorBuilder::standard().withoutCksumBlock().build());
    EXPECT_EQ(none->crcCandidates.cksumOffset, -1);
}

TEST(Driver, LinesGoToTheStreamsGiven)
{
    // A reader given streams of its own leaves the process's standard streams alone, a bulk reader's given
    // nowhere() writes nothing at all; the lines and their order are those of the default streams.
    const TempFile good(SorBuilder::standard().build(), "good.sor");
    const TempFile bad(Bytes { 'M', 'b', 'p', 0, 0 }, "bad.sor");
    for (const TempFile* file : { &good, &bad }) {
        const Parsed expected = [&] {
            Parsed p;
            testing::internal::CaptureStdout();
            testing::internal::CaptureStderr();
            p.parser = std::make_unique<sor::SORParser>(file->wpath());
            p.out = testing::internal::GetCapturedStdout();
            p.err = testing::internal::GetCapturedStderr();
            return p;
        }();
        std::ostringstream out, err;
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const sor::SORParser given(file->wpath(), out, err);
        const sor::SORParser silent(file->wpath(), sor::nowhere(), sor::nowhere());
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_EQ(out.str(), expected.out);
        EXPECT_EQ(err.str(), expected.err);
        EXPECT_EQ(expected.out.empty(), file == &bad);
        EXPECT_EQ(given.fileParsed, expected->fileParsed);
        EXPECT_EQ(silent.errorText, expected->errorText);
        // A copy writes nowhere: the streams were the constructor's.
        const sor::SORParser copy = given;
        EXPECT_EQ(copy.errorText, given.errorText);
    }
}

TEST(Driver, ErrorMessageIsTheMessageAloneOnOneLine)
{
    struct Case {
        Bytes bytes;
        std::string message;
    };
    const Case cases[] = {
        { {}, "The file appears to be empty." },
        { { 0x64, 0x00, 1, 2, 3 },
            "Only .sor format version 2.0 is supported. The supplied file seems to be version 1.x (100)." },
        // A name from the file with a line break in it still gives one line.
        { { 'M', 'a', '\n', 'X', 0, 0, 0 }, "Encountered unknown section 'Ma X' before encountering Map section." },
    };
    for (const auto& c : cases) {
        const auto p = parseBytes(c.bytes);
        EXPECT_FALSE(p->fileParsed);
        EXPECT_EQ(p->errorMessage, c.message);
        // The composed text keeps the throw site, named within the project wherever its sources lie.
        EXPECT_TRUE(contains(p->errorText, "\nsrc/sor/SORParser.cpp:")) << p->errorText;
        EXPECT_TRUE(contains(p->errorText, p->errorMessage.substr(0, 20)));
    }
}

TEST(Driver, ThrowSiteNamedFromTheProjectRoot)
{
    // Compiler caches may hand the compiler paths relative to the build folder.
    for (const char* given : { "src/sor/Checksum.cpp", "../src/sor/Checksum.cpp", "./../../src/sor/Checksum.cpp" }) {
        const EXCEPTION::_Exc_Exception e("m", 7, given, "f");
        EXPECT_EQ(e.file, "src/sor/Checksum.cpp") << given;
        EXPECT_TRUE(contains(e.what(), "\nsrc/sor/Checksum.cpp:7 in function f\n")) << e.what();
    }
}
