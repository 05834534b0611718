#pragma once

#include "analysis/FibreFile.h"

#include <optional>
#include <string>
#include <vector>

namespace analysis {

/// The files of one fibre at one wavelength: indices into the caller's list, -1 for an end without a file.
struct WavelengthFiles {
    std::optional<double> wavelength; ///< nm, nominal; none for a file that cannot be read
    int ab = -1; ///< measured from A
    int ba = -1; ///< measured from B
    std::string rule; ///< what told the two files to be one fibre's ends; empty for a file alone
};

/// The files of one fibre, at each wavelength (ascending).
struct FibreFiles {
    std::string fibreId; ///< as the file from A names it, else the one from B
    std::string cableId;
    std::string locationA;
    std::string locationB;
    std::vector<WavelengthFiles> wavelengths;
};

/// Tells which files are the two ends of one fibre, and which wavelengths are one fibre's, from what the files say,
/// in this order: folders A and B above them (or "A→B" / "B→A" style names, as siblings); fibre IDs with their site
/// codes swapped (ELMMIL0005 and MILELM0005), or one fibre ID with the locations swapped or the same (when no third
/// file at that wavelength has it); the number in the file names with the rest swapped. The two files always share
/// their nominal wavelength and their spans agree within 1 %. Which file is A's follows the folders, then the site
/// code or location that most files of the cable name as A, then the order of the names; instruments and serial
/// numbers may differ between the ends. Files without a partner, and files that cannot be read, stay alone.
std::vector<FibreFiles> pairFibres(const std::vector<FibreFile>& files);

/// The files given are one fibre's, at any wavelengths: at each wavelength two files are its two ends whatever their
/// spans (the analysis warns when they disagree), a file alone is one end, more are paired by the rules above.
FibreFiles oneFibre(const std::vector<FibreFile>& files);

} // namespace analysis
