#include "sor/SectionParser.h"

#include "sor/Exceptions.h"

#include <algorithm>
#include <iostream>

namespace sor {

namespace {
    constexpr size_t stringBudget = 100000;
    // Samples read per chunk by scan_words: large enough for speed, small enough that a lying count costs nothing.
    constexpr uint32_t wordChunk = 1u << 18;

    std::string errorCode(FILE* file) { return " Error Code: " + std::to_string(std::ferror(file)); }
} // namespace

_SectionParser::_SectionParser(std::string name)
    : blockName(std::move(name))
{
}

uint16_t _SectionParser::scan_word()
{
    unsigned char b[2];
    const size_t got = std::fread(b, 1, 2, file);
    // A short read at the end of the file leaves the error indicator clear; it is still a failed field.
    if (std::ferror(file) || got != 2)
        SOR_THROW(_Exc_ParserError, "Error while scanning a WORD." + errorCode(file));
    return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

uint32_t _SectionParser::scan_dword()
{
    unsigned char b[4];
    const size_t got = std::fread(b, 1, 4, file);
    if (std::ferror(file) || got != 4)
        SOR_THROW(_Exc_ParserError, "Error while scanning a DWORD." + errorCode(file));
    return static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) | (static_cast<uint32_t>(b[2]) << 16)
        | (static_cast<uint32_t>(b[3]) << 24);
}

std::string _SectionParser::scan_string()
{
    std::string result;
    bool reachedEof = false;
    while (true) {
        const int c = std::getc(file);
        if (c == EOF && std::feof(file)) {
            reachedEof = true;
            break;
        }
        if (std::ferror(file))
            SOR_THROW(_Exc_ParserError, "Error while scanning a string." + errorCode(file));
        if (c == 0)
            break;
        result.push_back(static_cast<char>(c));
        if (result.size() >= stringBudget)
            break;
    }
    if (reachedEof)
        SOR_THROW(_Exc_ParserError,
            "Error while scanning a string (reached EOF before end of string (nullbyte))." + errorCode(file));
    if (std::ferror(file))
        SOR_THROW(_Exc_ParserError, "Error while scanning a string." + errorCode(file));
    return result;
}

std::string _SectionParser::scan_char(uint8_t n)
{
    std::string result;
    for (unsigned i = 0; i < n; ++i) {
        const int c = std::getc(file);
        if (c == EOF && std::feof(file))
            SOR_THROW(_Exc_ParserError,
                "Error while scanning chars (reached EOF before end of string (nullbyte))." + errorCode(file));
        if (std::ferror(file))
            SOR_THROW(_Exc_ParserError, "Error while scanning chars." + errorCode(file));
        result.push_back(static_cast<char>(c));
    }
    return result;
}

void _SectionParser::scan_words(std::vector<uint16_t>& out, uint32_t count)
{
    // Reserve what the stream can still hold, never what a count claims.
    const long here = std::ftell(file);
    if (streamSize >= 0 && here >= 0 && here <= streamSize)
        out.reserve(out.size() + std::min<size_t>(count, static_cast<size_t>(streamSize - here) / 2));
    uint32_t left = count;
    while (left > 0) {
        const uint32_t n = std::min(left, wordChunk);
        const size_t old = out.size();
        out.resize(old + n);
        const size_t got = std::fread(out.data() + old, 1, size_t(n) * 2, file);
        out.resize(old + got / 2);
#if __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
        for (size_t i = old; i < out.size(); ++i)
            out[i] = static_cast<uint16_t>((out[i] >> 8) | (out[i] << 8));
#endif
        if (got != size_t(n) * 2) {
            // Same failure as reading the missing sample one WORD at a time.
            const char* function = "scan_word";
            throw EXCEPTION::_Exc_ParserError(
                "Error while scanning a WORD." + errorCode(file), __LINE__, __FILE__, function);
        }
        left -= n;
    }
}

std::stringstream _SectionParser::stringstream() const
{
    throwIfNotParsed();
    return dumpHeader();
}

std::string _SectionParser::string() const { return stringstream().str(); }

void _SectionParser::print() const { std::cout << string() << std::flush; }

void _SectionParser::throwIfParsed() const
{
    if (parsed)
        throw EXCEPTION::_Exc_Exception("Parse already performed!", __LINE__, __FILE__, "parse");
}

void _SectionParser::throwIfNotParsed() const
{
    if (!parsed)
        throw EXCEPTION::_Exc_Exception("Not parsed yet!", __LINE__, __FILE__, "stringstream");
}

std::stringstream _SectionParser::dumpHeader() const
{
    std::stringstream out;
    out << "Section Title: " << blockName << "\n";
    return out;
}

} // namespace sor
