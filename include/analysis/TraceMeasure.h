#pragma once

#include <cstddef>
#include <limits>
#include <optional>

// Measurements on a trace: straight lines fitted by least squares to the backscatter between events. They work on
// borrowed arrays, allocate nothing and take time in proportion to the samples they fit, so that many files and
// events can be measured in a moment.
namespace analysis {

/// Levels on an even grid of distances, as the displayed trace has them. Borrowed, never copied.
struct TraceSamples {
    const double* db = nullptr; ///< level of each sample, dB (higher is stronger)
    size_t size = 0;
    double startKm = 0; ///< distance of the first sample on the displayed axis
    double stepKm = 0; ///< distance between two samples
};

/// The pulse's length in the fibre, km: half its path in glass of group index about 1.47, 0.102 m per ns.
constexpr double pulseLengthKm(double pulseWidthNs) { return pulseWidthNs * 0.102 / 1000; }
/// Where an event hides the backscatter: the pulse's length, and never less than 3 samples.
double deadZoneKm(double pulseWidthNs, double stepKm);

/// How much longer than its dead zone a reflection hides the backscatter after it, km: the receiver recovers from
/// the overload over about one more pulse length, and over tens of metres even after the shortest pulses.
double recoveryKm(double pulseWidthNs);

/// A fit needs this many samples; fewer give no line.
constexpr size_t minFitSamples = 3;
/// The four-point method fits each side over at most this much fibre.
constexpr double fitWindowKm = 0.3;

/// A least-squares line, kept around its centre so that it reads well far from the trace's start.
struct Line {
    double slope = 0; ///< dB/km, negative where the fibre attenuates
    double centreKm = 0;
    double centreDb = 0;
    size_t samples = 0;
    double slopeError = 0; ///< standard error of the slope, from the scatter about the line
    double at(double km) const { return centreDb + slope * (km - centreKm); }
};

/// No glass attenuates more, dB/km: a steeper line is a reflection's tail or a receiver still recovering. Multimode
/// fibre at 850 nm loses up to about 3.5 dB/km, single-mode fibre at 1260 nm and above less than 1.
constexpr double maxGlassAttenuation = 5.0;
/// The steepest glass at a wavelength (nm; unknown: any).
double maxGlassAttenuationAt(double wavelengthNm);
/// True when the line could be backscatter: a loss between 0 and maxAttenuation, within three standard errors.
bool glassLike(const Line& line, double maxAttenuation = maxGlassAttenuation);

/// The line through the samples at fromKm <= x <= toKm (both ends clipped to the trace); none with fewer than
/// minFitSamples samples or a trace without an even grid.
std::optional<Line> fitLine(const TraceSamples& trace, double fromKm, double toKm);

/// An event and how far the fits beside it may reach: outside its dead zone (and its recovery after a reflection),
/// at most windowKm, and not into the neighbouring events' dead zones.
struct EventWindow {
    double atKm = 0;
    double deadZoneKm = 0;
    double recoveryKm = 0; ///< after a reflective event, added to the dead zone after it
    double previousKm = -std::numeric_limits<double>::infinity(); ///< the event before, if any
    double previousRecoveryKm = 0; ///< the event before's recovery
    double nextKm = std::numeric_limits<double>::infinity(); ///< the event after, if any
    double windowKm = fitWindowKm;
    double maxAttenuation = maxGlassAttenuation; ///< dB/km, what a line of backscatter may lose at most
};

enum class Side { Before, After };

/// The backscatter level at the event read on a line fitted beside it: before it on
/// [max(at - dead zone - window, previous + dead zone + previous recovery), at - dead zone], after it on
/// [at + dead zone + recovery, min(that + window, next - dead zone)]. Where that line is not glassLike (a receiver
/// recovers for longer after some reflections than any rule of thumb says), the window after the event slides on,
/// and the one before it shrinks towards the event, by a third at a time while it has room; none when no line is
/// glass-like.
std::optional<double> levelBeside(const TraceSamples& trace, const EventWindow& event, Side side);

/// The event's loss by the four-point method: the drop between the lines fitted before and after it, at its
/// position. None when a side has fewer than minFitSamples samples.
std::optional<double> eventLoss(const TraceSamples& trace, const EventWindow& event);

/// The attenuation of the fibre between two positions, dB/km: the least-squares slope, negated, of the samples
/// between fromKm + dead zone and toKm - dead zone.
std::optional<double> sectionAttenuation(const TraceSamples& trace, double fromKm, double toKm, double deadZoneKm);

/// The loss between two positions on the trace: the level beside the first minus the level beside the second.
/// Reading the first before its event and the second after its event counts both events in; reading them on the
/// inner sides leaves them out.
std::optional<double> lossBetween(
    const TraceSamples& trace, const EventWindow& from, Side fromSide, const EventWindow& to, Side toSide);

} // namespace analysis
