#pragma once

#include "analysis/Bidirectional.h"
#include "analysis/FibrePairing.h"

#include <string>
#include <vector>

namespace analysis {

/// A place on the fibre seen at two or more wavelengths, with its (averaged) loss at each: a bend loses more the
/// longer the wavelength, a splice alike at all.
struct Place {
    double km = 0; ///< on A's axis, the mean of the wavelengths' places
    std::vector<double> wavelengths; ///< nm, ascending
    std::vector<double> losses; ///< dB, at each wavelength
    std::vector<int> events; ///< the event in each wavelength's table; -1 where no end listed it and the traces tell it
};

// One fibre analysed: each wavelength from both ends, and the places seen at several wavelengths.
struct FibreAnalysis {
    std::string fibreId;
    std::string cableId;
    std::string locationA;
    std::string locationB;
    std::vector<WavelengthAnalysis> wavelengths; ///< in the order of FibreFiles::wavelengths
    std::vector<Place> places;
};

/// Analyses the fibre's files (indices into files) at each wavelength, then finds the places seen at several: an
/// event listed at one wavelength only is measured on the other wavelengths' traces at its place.
FibreAnalysis analyseFibre(const FibreFiles& fibre, const std::vector<FibreFile>& files);

/// Every fibre of a cable: the files paired, each fibre analysed.
std::vector<FibreAnalysis> analyseCable(const std::vector<FibreFile>& files);

} // namespace analysis
