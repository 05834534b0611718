#pragma once

#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace sor {

// Base of every block parser: the only code that touches the file's bytes. Reads sequentially, never seeks.
class _SectionParser {
public:
    explicit _SectionParser(std::string blockName = std::string());
    virtual ~_SectionParser() = default;

    FILE* file = nullptr; ///< the open .sor file; not owned
    bool parsed = false;
    std::string blockName;
    long streamSize = -1; ///< size of the stream when known, to bound reservations

    uint16_t scan_word();
    uint32_t scan_dword();
    std::string scan_string();
    std::string scan_char(uint8_t n);
    /// Appends count little-endian WORDs to out, reading in chunks so memory follows what the file really holds.
    void scan_words(std::vector<uint16_t>& out, uint32_t count);

    /// Labelled text of the block; throws when the block was not parsed.
    virtual std::stringstream stringstream() const;
    std::string string() const;
    void print() const;

protected:
    void throwIfParsed() const;
    void throwIfNotParsed() const;
    std::stringstream dumpHeader() const;
};

// Reads the identifier that opens every block.
class SectionParser_Header : public _SectionParser {
public:
    std::string getHeading() { return scan_string(); }
};

} // namespace sor
