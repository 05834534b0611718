#pragma once

#include "analysis/Thresholds.h"
#include "analysis/TraceMeasure.h"

#include <optional>
#include <vector>

// The program's own event analysis: the events found in the trace alone, with the technician's thresholds, whatever
// the instrument listed.
namespace analysis {

/// What an event is. One trace cannot tell a bend from a splice (a bend loses more at longer wavelengths): the
/// analysis of a fibre at several wavelengths marks bends.
enum class OwnEventKind { Splice, Reflective, Bend, Gain, End };

/// "splice", "reflective", "bend", "gain", "end".
const char* eventKindName(OwnEventKind kind);

/// Whether the technician placed or moved the event.
enum class Edit { None, Added, Moved };

/// One event of the own analysis, measured on the trace.
struct OwnEvent {
    double km = 0; ///< on the displayed axis, where the file's events are
    OwnEventKind kind = OwnEventKind::Splice;
    std::optional<double> loss; ///< dB, four-point
    std::optional<double> reflectance; ///< dB, reflective events and a reflective end
    std::optional<double> attenuationBefore; ///< dB/km of the section before the event
    bool saturated = false; ///< the peak is clipped by the receiver: its reflectance is at least the value
    /// How far past its start the trace takes to return to the backscatter, km, as the analysis saw it; 0 where not
    /// known (an event placed by hand): then the pulse's length and, after a reflection, the receiver's recovery.
    double settleKm = 0;
    Edit edit = Edit::None;
};

/// What the file says of the acquisition besides the trace.
struct Acquisition {
    double pulseWidthNs = 0;
    std::optional<double> backscatterCoefficient; ///< dB for a 1 ns pulse
    std::optional<double> wavelengthNm;
    double frontPanelKm = 0; ///< where the instrument's own connector lies on the displayed axis
};

/// The events found in a trace, by position; the end of the fibre, when the trace shows one, last.
struct OwnAnalysis {
    DetectionThresholds thresholds;
    std::vector<OwnEvent> events;
    std::optional<double> floorDb; ///< the noise floor's upper edge where the trace holds one
};

/// The backscatter coefficient assumed when the file gives none, dB for 1 ns: single-mode glass at its wavelength.
double typicalBackscatter(std::optional<double> wavelengthNm);

/// The reflectance of a peak H dB over the backscatter before it: R = B + 10 log10((10^(H/5) - 1) D), with B the
/// backscatter coefficient for 1 ns and D the pulse width in ns (the trace shows the round trip halved, hence 5).
double reflectanceOfPeak(double heightDb, double backscatterDb, double pulseWidthNs);
/// The inverse: the peak height a reflectance gives.
double peakOfReflectance(double reflectanceDb, double backscatterDb, double pulseWidthNs);

/// Finds the events of the trace: reflections, steps, the end. Takes time in proportion to the samples.
OwnAnalysis detectEvents(const TraceSamples& trace, const Acquisition& acquisition, const DetectionThresholds& t);

/// Measures each event again where it stands (loss, reflectance, the attenuation before it), its neighbours bounding
/// the fits; the kinds of the events found follow their new losses, the end stays the end.
void remeasure(OwnAnalysis& analysis, const TraceSamples& trace, const Acquisition& acquisition);

} // namespace analysis
