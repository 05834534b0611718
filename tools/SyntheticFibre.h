#pragma once

#include "SorBuilder.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A fibre whose truth is written down first and then measured as an OTDR would: sections of glass with their
// attenuation and backscatter level, events with their true loss, reflectance and place, launch and receive reels,
// noise that grows as the backscatter falls, and the axis offsets in either unit vendors use. Tests measure the
// rendered trace against this truth.
namespace synth {

/// A length of glass, from the end of the one before (the first from the front panel).
struct Section {
    double km = 1; ///< length
    double attenuation = 0.2; ///< dB/km
    double backscatter = 0; ///< dB, the level this glass's backscatter stands above or below the first's
};

/// An event at a place on the fibre, measured from the front panel.
struct Event {
    double km = 0;
    double loss = 0; ///< dB, the true loss (what an instrument sees differs by the backscatter step)
    std::optional<double> reflectance; ///< dB; none for a non-reflective event
    bool listed = true; ///< written to the file's event table
    /// An echo of two reflections, as an OTDR records it where no fibre event is: its reflectance only, never listed.
    bool ghost = false;
};

/// The units vendors write the offsets' distance fields in.
enum class DistanceUnit {
    Metre, ///< 1 m, the user offset as most read it
    DeciMetre, ///< 0.1 m: the user offset of instruments with launch-reel compensation; the common acquisition unit
    CentiMetre, ///< 0.01 m: some acquisition offsets
};

struct Fibre {
    std::vector<Section> sections; ///< the fibre ends where the last ends
    std::vector<Event> events; ///< in any order; the fibre's end is added by the renderer
    std::optional<double> endReflectance = -14.0; ///< dB: a cleaved end; none for a dark end
    std::optional<double> frontReflectance = -45.0; ///< dB: the instrument's own connector
    double spacingMetres = 1.0;
    double pulseNs = 100;
    double backscatterCoefficient = -80.0; ///< dB for a 1 ns pulse
    double noiseFloorDb = -28.0; ///< the noise's level below the launch level, as the trace shows it
    double baseNoiseDb = 0.003; ///< the noise that remains where the backscatter is strong
    /// The receiver saturates this far above the launch level, dB: stronger reflections show a flat top. None: it
    /// never does.
    std::optional<double> saturationDb;
    uint32_t samples = 0; ///< 0: the fibre and a fifth more
    uint32_t seed = 1;
    uint16_t wavelengthNm = 1550;
    double userOffsetKm = 0; ///< the user's zero, from the front panel
    DistanceUnit userOffsetUnit = DistanceUnit::Metre;
    double acquisitionOffsetKm = 0; ///< where the first sample lies, from the front panel
    DistanceUnit acquisitionOffsetUnit = DistanceUnit::DeciMetre;
    /// dB: the event table leaves out the non-reflective events whose apparent loss is smaller, as an instrument
    /// lists nothing under its loss threshold
    double listedFrom = 0;
    sortest::Gen ids; ///< the cable and fibre IDs, the locations; the wavelength and offsets are set from the above
    std::string instrumentSerial = "0001";

    /// Adds a section and returns its end, km from the front panel.
    double add(const Section& s);
    /// The fibre's end, km from the front panel.
    double lengthKm() const;
    /// The true level of the backscatter at a place, dB relative to the launch level, without pulse or noise.
    double level(double km) const;
    /// The attenuation of the glass at a place, dB/km.
    double attenuationAt(double km) const;
    /// What an instrument sees as the loss of an event from this end: its loss and the backscatter step across it.
    double apparentLoss(const Event& e) const;
    /// Adds the echo of the reflection at km (from the front panel) with the instrument's own connector: at twice its
    /// distance, as strong as the three reflections together.
    void addGhostOf(double km, double reflectance);
};

/// A fibre between a launch reel and a receive reel, each joined by a connector (loss, reflectance) as acceptance
/// tests do; the fibre's own sections follow the launch reel. A reel of 0 km is left out with its connector.
Fibre withReels(const std::vector<Section>& fibre, double launchKm, double receiveKm, double connectorLoss = 0.25,
    double connectorReflectance = -50.0);

/// The same fibre measured from its other end: the sections and events in reverse order, a place at km from the
/// front panel now at the length less km. The instrument's connector and the far end keep their reflectances.
Fibre reversed(const Fibre& fibre);

/// The trace an OTDR would record of the fibre, and the file it would write: listed events with their apparent
/// losses, the sections' slopes, the total loss and length of the whole fibre.
sortest::SorBuilder render(const Fibre& fibre);

/// The truth as JSON: sections, events (with their place on the displayed axis), offsets.
std::string truthJson(const Fibre& fibre);

/// Where a place on the fibre shows on the displayed axis: the user's zero subtracted.
inline double displayedKm(const Fibre& f, double km) { return km - f.userOffsetKm; }

} // namespace synth
