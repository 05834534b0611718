#include "analysis/ChecksumStandIn.h"

#include "sor/SORParser.h"

#include <cstdio>

namespace analysis {

// TEMPORARY: see the header.
ChecksumDiagnosis diagnoseChecksum(const sor::SORParser& parser)
{
    if (parser.crcValid)
        return { "valid", false };
    char text[64];
    std::snprintf(text, sizeof text, "stored 0x%04x differs from the CRC", static_cast<unsigned>(parser.storedCrc));
    return { text, false };
}

} // namespace analysis
