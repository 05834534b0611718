#pragma once

#include "sor/SectionParser.h"

#include <iostream>

namespace sor {

// The Map block: the directory of all further blocks, in file order.
class SectionParser_Map : public _SectionParser {
public:
    SectionParser_Map()
        : _SectionParser("Map")
    {
    }

    uint16_t MapVersion = 0; ///< 200 for version 2.0
    uint32_t NumberOfBytesMapBlock = 0;
    uint16_t NumberOfBlocks = 0; ///< the Map block included
    std::vector<std::string> BlockMap_Name;
    std::vector<uint16_t> BlockMap_Version;
    std::vector<uint32_t> BlockMap_NumberOfBytes; ///< identifier and its zero byte included

    /// Reads the block; a newer revision's warning goes to out.
    void parse(std::ostream& out);
    void parse() { parse(std::cout); }
    std::stringstream stringstream() const override;
};

} // namespace sor
