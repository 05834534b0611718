#include "sor/SORParser.h"

#include "sor/Checksum.h"
#include "sor/Exceptions.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <iostream>

namespace sor {

namespace {
    // Narrow path in the current locale, as the C library converts it; empty when the conversion fails.
    std::string localePath(const std::wstring& path)
    {
        std::mbstate_t state {};
        const wchar_t* source = path.c_str();
        const size_t length = std::wcsrtombs(nullptr, &source, 0, &state);
        if (length == static_cast<size_t>(-1))
            return {};
        std::string narrow(length + 1, '\0');
        source = path.c_str();
        state = std::mbstate_t {};
        std::wcsrtombs(narrow.data(), &source, narrow.size(), &state);
        narrow.resize(length);
        return narrow;
    }

    // Linux file names are bytes, and desktop file names are UTF-8 whatever the process locale.
    std::string utf8Path(const std::wstring& path)
    {
        std::string out;
        for (const wchar_t wc : path) {
            const auto c = static_cast<uint32_t>(wc);
            if (c < 0x80) {
                out.push_back(static_cast<char>(c));
            } else if (c < 0x800) {
                out.push_back(static_cast<char>(0xC0 | (c >> 6)));
                out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
            } else if (c < 0x10000) {
                out.push_back(static_cast<char>(0xE0 | (c >> 12)));
                out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
                out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
            } else {
                out.push_back(static_cast<char>(0xF0 | ((c >> 18) & 0x07)));
                out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
                out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
                out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
            }
        }
        return out;
    }

    // Only regular files: opening a FIFO or a device would block or never end.
    FILE* openRegular(const std::string& narrow)
    {
        if (narrow.empty())
            return nullptr;
        struct stat info { };
        if (::stat(narrow.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
            return nullptr;
        return std::fopen(narrow.c_str(), "rb");
    }

    FILE* openWide(const std::wstring& path)
    {
        const std::string narrow = localePath(path);
        if (FILE* f = openRegular(narrow))
            return f;
        const std::string utf8 = utf8Path(path);
        return utf8 != narrow ? openRegular(utf8) : nullptr;
    }

    void closeFile(FILE*& file)
    {
        if (file) {
            std::fclose(file);
            file = nullptr;
        }
    }
} // namespace

std::ostream& nowhere()
{
    // Without a buffer a stream writes nothing; one per thread, as writing changes its state.
    thread_local std::ostream none(nullptr);
    return none;
}

namespace {
    // What users read: no throw site, no line breaks from a name the file gave.
    std::string oneLine(std::string text)
    {
        for (char& c : text) {
            if (c == '\n' || c == '\r' || c == '\t')
                c = ' ';
        }
        return text;
    }
} // namespace

SORParser::SORParser(std::wstring path_)
    : SORParser(std::move(path_), std::cout, std::cerr)
{
}

SORParser::SORParser(std::wstring path_, std::ostream& out_, std::ostream& err)
    : path(std::move(path_))
    , out(&out_)
{
    file = openWide(path);
    try {
        initParsers();
        parse();
        fileParsed = true;
    } catch (const EXCEPTION::_BaseException& e) {
        err << e.what() << "\n";
        errorText = e.what();
        errorMessage = oneLine(e.message);
        fileParsed = false;
    } catch (const std::exception& e) {
        err << e.what() << "\n";
        errorText = e.what();
        errorMessage = oneLine(e.what());
        fileParsed = false;
    } catch (...) {
        fileParsed = false;
        closeFile(file);
        fileBytes.reset();
        out = nullptr;
        throw;
    }
    closeFile(file);
    fileBytes.reset();
    // Copies must not write to a stream that may be gone.
    out = nullptr;
}

void SORParser::initParsers()
{
    header = SectionParser_Header();
    map = SectionParser_Map();
    gen = SectionParser_Gen();
    sup = SectionParser_Sup();
    fxd = SectionParser_Fxd();
    events = SectionParser_Events();
    data = SectionParser_Data();
    for (_SectionParser* p :
        std::initializer_list<_SectionParser*> { &header, &map, &gen, &sup, &fxd, &events, &data }) {
        p->file = file;
        p->streamSize = fileSize;
    }
}

void SORParser::parse()
{
    if (!out)
        out = &std::cout;
    if (!file)
        SOR_THROW(_Exc_Exception, "Could not open file");
    header.file = file;
    std::fseek(file, 0, SEEK_END);
    fileSize = std::ftell(file);
    std::rewind(file);
    if (fileSize == -1)
        SOR_THROW(_Exc_Exception, "Could not open file");
    if (fileSize < -1)
        SOR_THROW(_Exc_Exception, "Could not open file (reported size = " + std::to_string(fileSize) + " Byte)");
    if (fileSize == 0)
        SOR_THROW(_Exc_Exception, "The file appears to be empty.");
    if (fileSize < 3)
        SOR_THROW(_Exc_Exception, "The file is too small (less than 3 Byte) (" + std::to_string(fileSize) + " Byte)");

    // The first two bytes tell a .sor file before anything big is read or allocated.
    const uint16_t first = header.scan_word();
    if (first >= 100 && first <= 199)
        SOR_THROW(_Exc_NotImplemented,
            "Only .sor format version 2.0 is supported. The supplied file seems to be version 1.x ("
                + std::to_string(first) + ").");
    if (first != 24909) // "Ma", the start of "Map"
        SOR_THROW(_Exc_Exception, "The file does not appear to adhere to the .sor file standard.");
    if (fileSize > maxFileSize)
        SOR_THROW(_Exc_Exception,
            "The file is too large for an OTDR trace (" + std::to_string(fileSize) + " Byte; the limit is "
                + std::to_string(maxFileSize) + " Byte).");

    // Read the file once; the checksum and the blocks then work on memory.
    std::rewind(file);
    fileBytes.reset(new uint8_t[static_cast<size_t>(fileSize)]);
    if (std::fread(fileBytes.get(), 1, static_cast<size_t>(fileSize), file) != static_cast<size_t>(fileSize))
        SOR_THROW(_Exc_ParserError, "Error while reading the file. Error Code: " + std::to_string(std::ferror(file)));
    FILE* memory = ::fmemopen(fileBytes.get(), static_cast<size_t>(fileSize), "rb");
    if (!memory)
        SOR_THROW(_Exc_Exception, "Could not open file");
    std::fclose(file);
    file = memory;
    initParsers();

    computeChecksums();
    crcValid = storedCrc == crcCandidates.ccittFalse;
    char verdict[64];
    if (crcValid)
        std::snprintf(verdict, sizeof verdict, "CRC of file is valid, CRC = 0x%x!\n", static_cast<unsigned>(storedCrc));
    else
        std::snprintf(verdict, sizeof verdict, "CRC of file is NOT valid, 0x%x  != 0x%x!\n",
            static_cast<unsigned>(storedCrc), static_cast<unsigned>(crcCandidates.ccittFalse));
    *out << verdict;

    parseBlocks();

    if (!fxd.parsed)
        SOR_THROW(_Exc_Exception, "Could not find section FxdParams");
    // The trace and the events are what the file is for: when the Map lists them and they were never read, the
    // blocks and the Map disagree (a wrong size, a damaged identifier, blocks out of order) and the file would seem
    // to parse with nothing to show.
    for (const auto& name : map.BlockMap_Name) {
        for (const _SectionParser* block : std::initializer_list<const _SectionParser*> { &events, &data }) {
            if (block->blockName == name && !block->parsed)
                SOR_THROW(_Exc_Exception, "Could not find section '" + name + "' that the Map section lists.");
        }
    }
    events.processEventData(fxd.IOR);
    *out << "File successfully parsed.\n\n";
}

void SORParser::computeChecksums()
{
    const uint8_t* bytes = fileBytes.get();
    storedCrc = static_cast<uint16_t>(bytes[fileSize - 2] | (bytes[fileSize - 1] << 8));
    auto& c = crcCandidates;
    // Files mostly end with the "Cksum" identifier and the two checksum bytes: one pass then gives the checksum
    // of the bytes before the identifier on the way.
    const long tail = fileSize - 8;
    if (identifierAt(tail, "Cksum")) {
        c.cksumOffset = tail;
        c.ccittBeforeCksum = crc16_ccitt(bytes, static_cast<size_t>(tail));
        c.ccittFalse = crc16_ccitt(bytes + tail, 6, c.ccittBeforeCksum);
    } else {
        c.ccittFalse = calc_sor_crc(bytes, fileSize);
    }
    c.xmodem = crc16_change_initial(c.ccittFalse, static_cast<uint64_t>(fileSize - 2), 0xFFFF, 0);
    c.computed = true;
}

bool SORParser::identifierAt(long offset, const std::string& name) const
{
    if (name.empty() || offset < 0 || offset >= fileSize || fileSize - offset < static_cast<long>(name.size()) + 1)
        return false;
    const uint8_t* at = fileBytes.get() + offset;
    return std::memcmp(at, name.data(), name.size()) == 0 && at[name.size()] == 0;
}

namespace {
    // Reads a block the reader knows by its parser; false for any other identifier.
    bool readKnownBlock(SORParser& p, const std::string& id)
    {
        if (id == "Map")
            p.map.parse(nowhere()); // a second one: "Parse already performed!"
        else if (id == "GenParams")
            p.gen.parse();
        else if (id == "SupParams")
            p.sup.parse();
        else if (id == "FxdParams")
            p.fxd.parse();
        else if (id == "KeyEvents")
            p.events.parse();
        else if (id == "DataPts")
            p.data.parse();
        else
            return false;
        return true;
    }
} // namespace

// Met in another entry's place, an unknown block still has its own size when the Map lists it: the next entry of
// that name from `from` on, else the last one before; otherwise the size of the entry in whose place it stands.
uint32_t SORParser::listedSize(const std::string& id, size_t from, uint32_t otherwise) const
{
    const auto& names = map.BlockMap_Name;
    for (size_t j = from; j < names.size(); ++j)
        if (names[j] == id)
            return map.BlockMap_NumberOfBytes[j];
    for (size_t j = std::min(from, names.size()); j-- > 0;)
        if (names[j] == id)
            return map.BlockMap_NumberOfBytes[j];
    return otherwise;
}

void SORParser::skipUnknownBlock(const std::string& id, uint32_t size)
{
    // A vendor block listed with size 0 lies inside the extent of the block before it: nothing to skip.
    const long skip = size == 0 ? 0 : static_cast<long>(size) - static_cast<long>(id.size() + 1);
    if (skip < 0)
        SOR_THROW(_Exc_Exception,
            "The Map gives section '" + id + "' a size of " + std::to_string(size)
                + " Byte, less than its own identifier.");
    *out << "Section '" << id << "' unknown  - seek " << skip << " bytes\n";
    // Past the end the next read meets the end of the file, as it would on disk.
    const long here = std::ftell(file);
    const int failed
        = here >= 0 && skip > fileSize - here ? std::fseek(file, fileSize, SEEK_SET) : std::fseek(file, skip, SEEK_CUR);
    if (failed != 0 || std::ferror(file))
        SOR_THROW(_Exc_ParserError,
            "Error while seeking after encountering unknown section '" + id + "'."
                + " Error Code: " + std::to_string(std::ferror(file)));
}

// Each block the Map lists is looked for, in the Map's order, by its identifier and zero byte: first where the
// Map's sizes add up to (blocks in any order, vendor blocks inside the extent of the block before them, vendor
// bytes after a known block's fields), then where reading the block before ended (a Map that gives a known block a
// wrong size), then where the Map ends the block before (vendor bytes after a known block when earlier sizes were
// wrong). An entry of size 0 found at none of them is a block the file does not have. For any other entry the
// block that stands at the reading position is read, whatever its identifier, as strictly sequential reading
// would. Each place looked at lies after the block met before, so reading always moves on through the file.
void SORParser::parseBlocks()
{
    blockLocations.clear();
    std::fseek(file, 0, SEEK_SET);
    const std::string first = header.getHeading();
    *out << "Current section title: " << first << "\n";
    // The word check lets only "Ma..." through: anything but "Map" is an unknown block.
    if (first != "Map")
        SOR_THROW(_Exc_Exception, "Encountered unknown section '" + first + "' before encountering Map section.");
    map.parse(*out);
    long strict = std::ftell(file); ///< where reading the block before ended
    blockLocations.push_back({ first, 0, strict });

    long long mapOffset = map.NumberOfBytesMapBlock; ///< where the Map's sizes put the next block
    long long mapEnd = mapOffset; ///< where the Map ends the block before, when it was found by its name
    long next = strict; ///< where sequential reading goes on
    long previous = 0; ///< where the block before starts
    for (size_t i = 0; i < map.BlockMap_Name.size(); ++i) {
        const std::string& name = map.BlockMap_Name[i];
        const uint32_t size = map.BlockMap_NumberOfBytes[i];
        long at = -1;
        for (const long long candidate : { mapOffset, static_cast<long long>(strict), mapEnd }) {
            if (candidate > previous && candidate < fileSize && identifierAt(static_cast<long>(candidate), name)) {
                at = static_cast<long>(candidate);
                break;
            }
        }
        mapOffset += size;
        if (at < 0 && size == 0) {
            blockLocations.push_back({ name, -1, 0 });
            continue;
        }
        const bool byName = at >= 0;
        if (!byName)
            at = next;

        std::fseek(file, at, SEEK_SET);
        const std::string id = header.getHeading();
        *out << "Current section title: " << id << "\n";
        if (id == "Cksum") {
            blockLocations.push_back({ id, at, std::ftell(file) - at });
            if (at != crcCandidates.cksumOffset) {
                crcCandidates.cksumOffset = at;
                crcCandidates.ccittBeforeCksum = crc16_ccitt(fileBytes.get(), static_cast<size_t>(at));
            }
            return;
        }
        const bool known = readKnownBlock(*this, id);
        if (!known)
            skipUnknownBlock(id, byName ? size : listedSize(id, i, size));
        strict = std::ftell(file);
        blockLocations.push_back({ id, at, strict - at });
        previous = at;
        mapEnd = byName ? at + static_cast<long long>(size) : -1;
        // Vendors append bytes of their own to known blocks: sequential reading goes on where the Map ends one.
        next = known && byName && mapEnd > strict && mapEnd <= fileSize ? static_cast<long>(mapEnd) : strict;
    }
}

} // namespace sor
