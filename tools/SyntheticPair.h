#pragma once

#include "SyntheticFibre.h"

#include <cstdint>
#include <string>
#include <vector>

// One fibre of a cable measured from both ends at several wavelengths, as an acceptance test does, with its truth:
// lengths of glass whose backscatter differs (so one end sees a gain where the other sees a loss), splices of a true
// loss at every wavelength, bends whose loss grows with the wavelength, launch and receive reels, and event tables
// that list only what an instrument would.
namespace synth {

/// A macrobend: its loss at 1310 and at 1550 nm; between and beyond, the loss grows exponentially with wavelength.
struct BendLoss {
    double km = 0; ///< from the start of the glass under test
    double loss1310 = 0.05;
    double loss1550 = 0.8;
    double lossAt(double nm) const;
};

struct FibrePlan {
    std::vector<Section> glass; ///< the fibre under test; attenuation at 1550 nm
    std::vector<Event> splices; ///< km from the start of the glass under test; loss alike at every wavelength
    std::vector<BendLoss> bends;
    double launchKm = 1; ///< a reel at end A, 0 for none
    double receiveKm = 1; ///< a reel at end B, 0 for none
    double connectorLoss = 0.25;
    double connectorReflectance = -50;
    double listedFrom = 0.03; ///< dB, what each instrument lists at least
    double pulseNs = 100;
    double spacingMetres = 2;
    uint32_t samples = 0; ///< 0: the fibre and a fifth more
    double noiseFloorDb = -28;
    uint32_t seed = 1;
    std::string cableId = "ELM-MIL";
    std::string siteA = "ELM", siteB = "MIL";
    std::string locationA = "ELMDALE", locationB = "MILLER";
    unsigned number = 1; ///< the fibre's number in its IDs: ELMMIL0001 from A, MILELM0001 from B
    bool swapLocations = false; ///< the B file names its locations from its own end

    /// The glass's length between the reels.
    double spanKm() const;
    /// The fibre ID as the instrument at A (or at B) writes it.
    std::string fibreId(bool fromB) const;
};

/// A fibre of a cable with its splices, backscatter steps and bends drawn from the seed: lengths of glass of about 0.19
/// dB/km at 1550 nm whose backscatter differs by up to 0.16 dB, splices of 0.02 to 0.25 dB (most of them small), bends
/// of 0.6 to 1.2 dB at 1550 nm (a tenth of it at 1310 nm) at places apart from the splices.
FibrePlan randomPlan(double spanKm, unsigned splices, unsigned bends, uint32_t seed);

/// The glass's attenuation at a wavelength from its attenuation at 1550 nm (Rayleigh scattering falls with the
/// fourth power of the wavelength; the water peak and the infrared tail are left out).
double attenuationAt(double at1550, double nm);

/// The fibre at a wavelength as the instrument at end A (fromB false) or at end B measures it.
Fibre measured(const FibrePlan& plan, uint16_t nm, bool fromB);

/// The truth of the plan as JSON: the span on A's axis, and per wavelength every event with its place on A's axis,
/// true loss, apparent loss from each end and whether each end lists it; the bends with their losses.
std::string pairTruthJson(const FibrePlan& plan, const std::vector<uint16_t>& wavelengths);

} // namespace synth
