#pragma once

#include <string>

namespace sor {
class SORParser;
}

namespace analysis {

// TEMPORARY stand-in for the checksum diagnosis of the reader library, which is on its way: it says only whether
// the stored checksum matches the CRC over the file. Remove this pair when the diagnosis arrives.
struct ChecksumDiagnosis {
    std::string text;
    bool suspect = false;
};

ChecksumDiagnosis diagnoseChecksum(const sor::SORParser& parser);

} // namespace analysis
