#pragma once

#include <array>
#include <optional>
#include <string>

namespace analysis {

/// Wavelength bands with an attenuation limit of their own, in nm.
constexpr std::array<int, 5> attenuationBands { 1310, 1383, 1490, 1550, 1625 };

/// Where the viewer keeps its thresholds: beside setting.ini, relative to the working directory.
constexpr const char* thresholdsPath = "./thresholds.ini";

/// A launch or receive cable before or after the fibre under test (a reel, as acceptance tests use): none, its length
/// in km (the span ends at the event nearest that far from the trace's end), or Auto (found on the trace).
struct CableSetting {
    enum class Mode { None, Length, Auto };
    Mode mode = Mode::None;
    double km = 0; ///< for Length

    bool operator==(const CableSetting& o) const { return mode == o.mode && (mode != Mode::Length || km == o.km); }
    bool operator!=(const CableSetting& o) const { return !(*this == o); }
};

/// The setting as thresholds.ini writes it: empty, a number of km, or "auto".
std::string cableSettingText(const CableSetting& c);
/// Reads a setting; none for a text that is none of the three.
std::optional<CableSetting> parseCableSetting(const std::string& text);

/// The thresholds the own event analysis finds events with.
struct DetectionThresholds {
    double spliceLoss = 0.05; ///< dB: a smaller step is no event
    double reflectance = -65.0; ///< dB: a weaker reflection is no event
    double endOfFibre = 3.0; ///< dB: a loss this large ends the fibre, as does the trace sinking this close to the noise

    /// The values a technician may set; others are refused.
    static constexpr double minSpliceLoss = 0.01, maxSpliceLoss = 5.0;
    static constexpr double minReflectance = -90.0, maxReflectance = -10.0;
    static constexpr double minEndOfFibre = 1.0, maxEndOfFibre = 30.0;

    bool operator==(const DetectionThresholds& o) const
    {
        return spliceLoss == o.spliceLoss && reflectance == o.reflectance && endOfFibre == o.endOfFibre;
    }
    bool operator!=(const DetectionThresholds& o) const { return !(*this == o); }
};

// The acceptance limits of a cable; an empty limit is not checked.
struct Thresholds {
    std::optional<double> maxSpliceLoss = 0.30; ///< dB, non-reflective events
    std::optional<double> maxConnectorLoss = 0.75; ///< dB, reflective events
    std::optional<double> maxReflectance = -35.0; ///< dB
    std::array<std::optional<double>, attenuationBands.size()> maxAttenuation { 0.40, 0.40, 0.35, 0.30,
        0.35 }; ///< dB/km
    std::optional<double> maxTotalLoss; ///< dB
    std::optional<double> minOrl; ///< dB
    CableSetting launchCable; ///< before the span judged
    CableSetting receiveCable; ///< after the span judged
    /// dB: at one place on a fibre, the longer wavelength's loss may exceed the shorter's by this much before the
    /// place counts as a bend (macrobends lose more the longer the wavelength; splices lose alike)
    std::optional<double> maxBendDelta = 0.5;
    DetectionThresholds detection; ///< of the own event analysis

    bool operator==(const Thresholds& other) const;
    bool operator!=(const Thresholds& other) const { return !(*this == other); }
};

/// Index into attenuationBands of the band nearest to the wavelength (the lower one of two equally near), or -1
/// when the wavelength is unknown or more than 100 nm from every band.
int nearestBand(double wavelength);

/// The lines of a thresholds file, "Key:value", an empty value for no limit.
std::string thresholdsText(const Thresholds& t);
/// Reads the lines of a thresholds file; unknown lines are ignored, a key without a readable number keeps its
/// default, and a key without a value has no limit (no cable for the cable keys).
Thresholds parseThresholds(const std::string& text);

/// The thresholds in the file, the defaults for whatever it lacks; all defaults when it is missing or unreadable.
Thresholds loadThresholds(const std::string& path);
bool saveThresholds(const std::string& path, const Thresholds& t);

} // namespace analysis
