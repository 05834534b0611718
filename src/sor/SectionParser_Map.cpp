#include "sor/SectionParser_Map.h"

#include "sor/Exceptions.h"

#include <ostream>

namespace sor {

void SectionParser_Map::parse(std::ostream& out)
{
    throwIfParsed();
    MapVersion = scan_word();
    if (MapVersion < 200)
        SOR_THROW(_Exc_NotImplemented,
            "Only version 2.0 (200) is supported. The version of the file is " + std::to_string(MapVersion)
                + " which is too old.");
    if (MapVersion > 200) {
        out << "WARNING: Only version 2.0 (200) is supported. The version of the file is " << MapVersion
            << " which is newer. It will still be attempted to parse the file.";
    }
    NumberOfBytesMapBlock = scan_dword();
    NumberOfBlocks = scan_word();
    for (unsigned i = 1; i < NumberOfBlocks; ++i) {
        BlockMap_Name.push_back(scan_string());
        BlockMap_Version.push_back(scan_word());
        BlockMap_NumberOfBytes.push_back(scan_dword());
    }
    parsed = true;
}

std::stringstream SectionParser_Map::stringstream() const
{
    throwIfNotParsed();
    auto out = dumpHeader();
    out << "MAP version: " << MapVersion << "\n";
    out << "NumberOfBytesMapBlock: " << NumberOfBytesMapBlock << "\n";
    out << "NumberOfBlocks: " << NumberOfBlocks << "\n";
    for (size_t i = 0; i < BlockMap_Name.size(); ++i) {
        out << i + 1 << ": BlockMap_Name: " << BlockMap_Name[i] << "\n";
        out << " - BlockMap_Version: " << BlockMap_Version[i] << "\n";
        out << " - BlockMap_NumberOfBytes: " << BlockMap_NumberOfBytes[i] << "\n";
    }
    return out;
}

} // namespace sor
