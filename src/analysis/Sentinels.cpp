#include "analysis/Sentinels.h"

#include <array>
#include <cmath>
#include <cstdlib>

namespace analysis {

std::optional<double> measuredReflectance(int32_t raw)
{
    // 0 is written for an event without a reflection; 0x80000000 (and its neighbour) for one not measured. A
    // reflectance above 0 dB is impossible, one below -100 dB far beyond any OTDR's reach.
    if (raw >= 0 || raw <= -100000)
        return std::nullopt;
    return raw * 0.001;
}

std::optional<double> measuredEventLoss(int16_t raw, bool atFrontPanel)
{
    // 0x7FFF and 0x8000 are the two ends of the field: a loss the instrument could not measure. At the front panel
    // no backscatter precedes the event, so a 0 there is no measurement either; elsewhere a 0 is a real reading.
    if (raw == INT16_MAX || raw == INT16_MIN || (atFrontPanel && raw == 0))
        return std::nullopt;
    return raw * 0.001;
}

std::optional<double> measuredSlope(int16_t raw)
{
    // 0 stands for a section too short to fit; no glass attenuates with a gain or by 10 dB/km and more (0x7FFF).
    if (raw <= 0 || raw >= 10000)
        return std::nullopt;
    return raw * 0.001;
}

std::optional<double> measuredTotalLoss(int32_t raw)
{
    // 0 is written when the instrument did not sum the fibre; 100 dB is beyond any OTDR's dynamic range.
    if (raw <= 0 || raw >= 100000)
        return std::nullopt;
    return raw * 0.001;
}

std::optional<double> measuredOrl(uint16_t raw)
{
    // 0 and the field's full scale are written when no return loss was measured.
    if (raw == 0 || raw == UINT16_MAX)
        return std::nullopt;
    return raw * 0.001;
}

std::optional<double> onTrace(double km, const TraceExtent& trace, double sampleKm)
{
    const double slack = std::isfinite(sampleKm) ? std::fabs(sampleKm) : 0.0;
    if (!std::isfinite(km) || km < trace.startKm - slack || km > trace.endKm + slack)
        return std::nullopt;
    return km;
}

std::optional<double> measuredLength(double km, const TraceExtent& trace, double sampleKm)
{
    if (!(km > 0))
        return std::nullopt;
    return onTrace(km, trace, sampleKm);
}

std::optional<double> nominalWavelength(double genNm, double fxdNm)
{
    const auto plausible = [](double nm) { return std::isfinite(nm) && nm >= 800 && nm <= 1700; };
    // Some instruments store the wavelength in another unit in GenParams (155 for 1550 nm); FxdParams holds the
    // laser's actual wavelength, a few nm off the nominal one.
    if (plausible(genNm) && (!plausible(fxdNm) || std::fabs(genNm - fxdNm) <= 50))
        return genNm;
    if (!plausible(fxdNm))
        return std::nullopt;
    static constexpr std::array<double, 7> bands { 850, 1310, 1383, 1490, 1550, 1625, 1650 };
    double best = std::round(fxdNm);
    double bestDistance = 50;
    for (const double band : bands) {
        if (std::fabs(fxdNm - band) <= bestDistance) {
            best = band;
            bestDistance = std::fabs(fxdNm - band);
        }
    }
    return best;
}

std::optional<double> measuredBackscatter(uint16_t raw)
{
    // Single-mode glass scatters about -80 dB for 1 ns, multimode some 10 dB more.
    const double db = -0.1 * raw;
    if (raw == 0 || db < -90 || db > -60)
        return std::nullopt;
    return db;
}

} // namespace analysis
