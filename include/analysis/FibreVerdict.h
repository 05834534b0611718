#pragma once

#include "analysis/FibreAnalysis.h"
#include "analysis/Thresholds.h"
#include "analysis/Verdict.h"

#include <string>
#include <vector>

namespace analysis {

/// A place where a longer wavelength loses more than a shorter one by more than the threshold: a macrobend.
struct Bend {
    double km = 0; ///< on A's axis
    std::vector<double> wavelengths; ///< nm, ascending
    std::vector<double> losses; ///< dB at each
    double deltaDb = 0; ///< the most a longer wavelength loses beyond a shorter one
    std::vector<int> events; ///< the event in each wavelength's table, -1 where the traces tell the loss
};

/// The fibre's bends under the thresholds' MaxBendDelta; none without that limit.
std::vector<Bend> bends(const FibreAnalysis& a, const Thresholds& t);

/// The rules an event of the table fails (SpliceRule, ConnectorRule, ReflectanceRule bits), judged on its averaged
/// values; 0 for an event that is not judged. A non-reflective event at a bend is judged as a bend, not as a splice.
unsigned eventFailures(const FibreEvent& e, const Thresholds& t, bool atBend = false);

// One wavelength of a fibre judged: computed from the analysis and the thresholds alone.
struct WavelengthVerdict {
    Outcome outcome = Outcome::Pass;
    unsigned failed = 0; ///< Rule bits
    std::vector<std::string> reasons; ///< each naming the wavelength, and the event where there is one
    std::vector<Bend> bends; ///< the bends whose longest wavelength this is
    std::vector<int> bendEvents; ///< the events of this wavelength's table at a bend
};

struct FibreVerdict {
    Outcome outcome = Outcome::Pass; ///< the worst of the wavelengths': Fail, then Error, then Incomplete
    std::vector<std::string> reasons; ///< every wavelength's
    std::vector<WavelengthVerdict> wavelengths; ///< in the order of the analysis
    std::vector<Bend> bends;
};

/// Judges the averaged values as the cable table judges a file's (a value rounded to three decimals fails a maximum
/// above it): splices, connectors, reflectances, the attenuation of the wavelength's band, the total loss, the ORL,
/// and the bends. Reasons read "splice 0.21 dB (A→B 0.36, B→A 0.06) at 12.345 km > 0.15 dB, 1550 nm". A wavelength
/// measured from one end only, or with an event no end could measure, is Incomplete unless a limit fails.
FibreVerdict evaluateFibre(const FibreAnalysis& a, const Thresholds& t);

} // namespace analysis
