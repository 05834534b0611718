#pragma once

#include <cstdint>
#include <optional>

// What instruments write for "not measured", told apart from measurements. Every rule takes a field as stored and
// gives a value only when the field holds one, so "not measured" cannot turn into a number on the way to a cell.
namespace analysis {

/// The distances an event or a length may lie in: the trace's first and last sample on the displayed axis, km.
struct TraceExtent {
    double startKm = 0;
    double endKm = 0;
};

/// An event's reflectance, dB, from ReflectionLoss_Raw (0.001 dB).
std::optional<double> measuredReflectance(int32_t raw);
/// An event's loss, dB, from SpliceLoss_Raw (0.001 dB). atFrontPanel: the event lies at the trace's start.
std::optional<double> measuredEventLoss(int16_t raw, bool atFrontPanel);
/// The fibre's attenuation before an event, dB/km, from Slope_Raw (0.001 dB/km).
std::optional<double> measuredSlope(int16_t raw);
/// The stored total loss, dB, from TotalLoss_Raw (0.001 dB).
std::optional<double> measuredTotalLoss(int32_t raw);
/// The stored optical return loss, dB, from ORL_Raw (0.001 dB).
std::optional<double> measuredOrl(uint16_t raw);
/// A position, km, when it lies on the trace (within one sample of its ends).
std::optional<double> onTrace(double km, const TraceExtent& trace, double sampleKm);
/// A fibre length, km, when it is positive and ends on the trace.
std::optional<double> measuredLength(double km, const TraceExtent& trace, double sampleKm);

/// The nominal wavelength, nm: GenParams' where it is plausible (800 to 1700 nm) and FxdParams' does not contradict
/// it (within 50 nm), else FxdParams' rounded to its band.
std::optional<double> nominalWavelength(double genNm, double fxdNm);

/// The backscatter coefficient for a 1 ns pulse, dB, from BackscatterCoef_Raw (-0.1 dB): none for 0 and for values
/// no glass has (outside -90 to -60 dB).
std::optional<double> measuredBackscatter(uint16_t raw);

} // namespace analysis
