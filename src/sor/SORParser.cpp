#include "sor/SORParser.h"

#include "sor/Checksum.h"
#include "sor/Exceptions.h"

#include <sys/stat.h>

#include <cstdlib>
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

SORParser::SORParser(std::wstring path_)
    : path(std::move(path_))
{
    file = openWide(path);
    try {
        initParsers();
        parse();
        fileParsed = true;
    } catch (const EXCEPTION::_BaseException& e) {
        std::cerr << e.what() << "\n";
        errorText = e.what();
        fileParsed = false;
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        errorText = e.what();
        fileParsed = false;
    } catch (...) {
        fileParsed = false;
        closeFile(file);
        fileBytes.reset();
        throw;
    }
    closeFile(file);
    fileBytes.reset();
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

    // Read the file once; the checksum and the blocks then work on memory.
    fileBytes.reset(new uint8_t[static_cast<size_t>(fileSize)]);
    if (std::fread(fileBytes.get(), 1, static_cast<size_t>(fileSize), file) != static_cast<size_t>(fileSize))
        SOR_THROW(_Exc_ParserError, "Error while reading the file. Error Code: " + std::to_string(std::ferror(file)));
    FILE* memory = ::fmemopen(fileBytes.get(), static_cast<size_t>(fileSize), "rb");
    if (!memory)
        SOR_THROW(_Exc_Exception, "Could not open file");
    std::fclose(file);
    file = memory;
    initParsers();

    const uint16_t first = header.scan_word();
    if (first >= 100 && first <= 199)
        SOR_THROW(_Exc_NotImplemented,
            "Only .sor format version 2.0 is supported. The supplied file seems to be version 1.x ("
                + std::to_string(first) + ").");
    if (first != 24909) // "Ma", the start of "Map"
        SOR_THROW(_Exc_Exception, "The file does not appear to adhere to the .sor file standard.");

    storedCrc = static_cast<uint16_t>(fileBytes[fileSize - 2] | (fileBytes[fileSize - 1] << 8));
    const uint16_t computed = calc_sor_crc(fileBytes.get(), fileSize);
    crcValid = storedCrc == computed;
    if (crcValid)
        std::printf("CRC of file is valid, CRC = 0x%x!\n", static_cast<unsigned>(storedCrc));
    else
        std::printf("CRC of file is NOT valid, 0x%x  != 0x%x!\n", static_cast<unsigned>(storedCrc),
            static_cast<unsigned>(computed));

    std::fseek(file, 0, SEEK_SET);
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
    std::fputs("File successfully parsed.\n\n", stdout);
}

void SORParser::parseBlocks()
{
    unsigned limit = 7;
    for (unsigned i = 0; i < limit; ++i) {
        const long blockStart = std::ftell(file);
        const std::string id = header.getHeading();
        std::printf("Current section title: %s\n", id.c_str());

        bool known = true;
        if (id == "Map") {
            map.parse();
            limit = map.NumberOfBlocks;
        } else if (id == "GenParams") {
            gen.parse();
        } else if (id == "SupParams") {
            sup.parse();
        } else if (id == "FxdParams") {
            fxd.parse();
        } else if (id == "KeyEvents") {
            events.parse();
        } else if (id == "DataPts") {
            data.parse();
        } else if (id == "Cksum") {
            break;
        } else {
            known = false;
        }

        const bool hasEntry = map.parsed && i >= 1 && i - 1 < map.BlockMap_NumberOfBytes.size();
        if (known) {
            // Vendors append their own bytes to known blocks: go on where the Map says this block ends.
            if (hasEntry && map.BlockMap_Name[i - 1] == id && blockStart >= 0) {
                const long end = blockStart + static_cast<long>(map.BlockMap_NumberOfBytes[i - 1]);
                if (end > std::ftell(file) && end <= fileSize)
                    std::fseek(file, end, SEEK_SET);
            }
            continue;
        }

        if (!map.parsed)
            SOR_THROW(_Exc_Exception, "Encountered unknown section '" + id + "' before encountering Map section.");
        if (!hasEntry)
            SOR_THROW(_Exc_Exception, "Encountered unknown section '" + id + "' that the Map section does not list.");
        const long size = static_cast<long>(map.BlockMap_NumberOfBytes[i - 1]);
        const long skip = size - static_cast<long>(id.size() + 1);
        if (skip < 0)
            SOR_THROW(_Exc_Exception,
                "The Map gives section '" + id + "' a size of " + std::to_string(size)
                    + " Byte, less than its own identifier.");
        std::printf("Section '%s' unknown  - seek %ld bytes\n", id.c_str(), skip);
        // Past the end the next read meets the end of the file, as it would on disk.
        const long here = std::ftell(file);
        const int failed = here >= 0 && skip > fileSize - here ? std::fseek(file, fileSize, SEEK_SET)
                                                               : std::fseek(file, skip, SEEK_CUR);
        if (failed != 0 || std::ferror(file))
            SOR_THROW(_Exc_ParserError,
                "Error while seeking after encountering unknown section '" + id + "'."
                    + " Error Code: " + std::to_string(std::ferror(file)));
    }
}

} // namespace sor
