#pragma once

#include <string>
#include <vector>

namespace sor {
class SORParser;
}

namespace analysis {

/// The ways instruments are known to fill the two checksum bytes at the end of a file.
enum class ChecksumConvention {
    Unknown, ///< none of the others matches
    Standard, ///< CRC-16/CCITT-FALSE over all bytes before the checksum, as the standard says
    Xmodem, ///< CRC-16/XMODEM (initial value 0) over the same bytes
    Complement, ///< the bitwise complement of CRC-16/CCITT-FALSE over the same bytes
    BeforeCksum, ///< CRC-16/CCITT-FALSE over the bytes before the "Cksum" identifier
    NotStored, ///< a stored 0: no checksum written
};

/// What the stored checksum says about a file, beside the plain verdict of crcValid.
struct ChecksumDiagnosis {
    std::string text;
    bool suspect = false; ///< true: the supplier's known convention does not match
    ChecksumConvention convention = ChecksumConvention::Unknown; ///< the one the stored value matches
};

ChecksumDiagnosis diagnoseChecksum(const sor::SORParser& parser);

/// The conventions the files of a supplier are known to follow, told by SupParams' supplier and instrument names;
/// empty when not known.
std::vector<ChecksumConvention> supplierConventions(const std::string& supplierName, const std::string& otdrName);

/// A short stable name ("standard", "xmodem", ...), for machine-readable output.
const char* conventionName(ChecksumConvention convention);

} // namespace analysis
