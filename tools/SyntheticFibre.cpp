#include "SyntheticFibre.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <sstream>

namespace synth {

namespace {
    constexpr double speedOfLight = 299.792458; // m/us
    constexpr uint32_t indexRaw = 146800; // group index 1.468
    constexpr double index = indexRaw * 0.00001;

    // km on the displayed axis to the events' 0.1 ns, the inverse of the reader's conversion.
    int32_t timeOf(double km) { return static_cast<int32_t>(std::lround(km * index / (0.0000001 * speedOfLight))); }

    int32_t inUnit(double km, DistanceUnit unit)
    {
        const double perKm = unit == DistanceUnit::Metre ? 1e3 : unit == DistanceUnit::DeciMetre ? 1e4 : 1e5;
        return static_cast<int32_t>(std::lround(km * perKm));
    }

    int16_t milli16(double v) { return static_cast<int16_t>(std::clamp(std::lround(v * 1000), -32767L, 32766L)); }

    // The reflected power over the backscatter within the pulse, from the reflectance: R = B + 10 log(k) + 10 log(D).
    double reflectedShare(double reflectance, const Fibre& f)
    {
        return std::pow(10.0, (reflectance - f.backscatterCoefficient) / 10) / std::max(f.pulseNs, 1.0);
    }
} // namespace

double Fibre::add(const Section& s)
{
    sections.push_back(s);
    return lengthKm();
}

double Fibre::lengthKm() const
{
    double km = 0;
    for (const auto& s : sections)
        km += s.km;
    return km;
}

double Fibre::attenuationAt(double km) const
{
    double from = 0;
    for (const auto& s : sections) {
        if (km < from + s.km)
            return s.attenuation;
        from += s.km;
    }
    return sections.empty() ? 0.0 : sections.back().attenuation;
}

double Fibre::level(double km) const
{
    double l = 0;
    double from = 0;
    double backscatter = sections.empty() ? 0.0 : sections.front().backscatter;
    for (const auto& s : sections) {
        const double inside = std::clamp(km - from, 0.0, s.km);
        l -= s.attenuation * inside;
        if (km >= from)
            backscatter = s.backscatter;
        from += s.km;
    }
    for (const auto& e : events) {
        if (e.km <= km && !e.ghost)
            l -= e.loss;
    }
    return l + backscatter;
}

double Fibre::apparentLoss(const Event& e) const
{
    const double before = level(e.km - 1e-9);
    const double after = level(e.km + 1e-9);
    return before - after;
}

void Fibre::addGhostOf(double km, double reflectance)
{
    // The light reflected at km, reflected again by the front connector, reflects at km once more and arrives when
    // light from twice the distance would: as strong as the three reflections together, over glass that loses as
    // much on the echo's way as on the way to twice the distance.
    Event echo;
    echo.km = 2 * km;
    echo.loss = 0;
    echo.reflectance = 2 * reflectance + frontReflectance.value_or(-45.0);
    echo.listed = false;
    echo.ghost = true;
    events.push_back(echo);
}

Fibre withReels(const std::vector<Section>& fibre, double launchKm, double receiveKm, double connectorLoss,
    double connectorReflectance)
{
    Fibre f;
    if (launchKm > 0) {
        const double launchEnd = f.add({ launchKm, fibre.empty() ? 0.2 : fibre.front().attenuation, 0 });
        f.events.push_back({ launchEnd, connectorLoss, connectorReflectance, true });
    }
    for (const auto& s : fibre)
        f.add(s);
    if (receiveKm > 0) {
        f.events.push_back({ f.lengthKm(), connectorLoss, connectorReflectance, true });
        f.add({ receiveKm, fibre.empty() ? 0.2 : fibre.back().attenuation, 0 });
    }
    return f;
}

Fibre reversed(const Fibre& f)
{
    Fibre r = f;
    const double length = f.lengthKm();
    r.sections.assign(f.sections.rbegin(), f.sections.rend());
    for (auto& e : r.events)
        e.km = length - e.km;
    return r;
}

sortest::SorBuilder render(const Fibre& f)
{
    std::mt19937 rng(f.seed);
    std::normal_distribution<double> gauss(0.0, 1.0);

    sortest::Fxd fxd;
    fxd.sampleSpacing = static_cast<uint32_t>(std::lround(f.spacingMetres * indexRaw / (0.001 * speedOfLight)));
    fxd.indexRefraction = indexRaw;
    const double step = fxd.sampleSpacing * 0.001 * speedOfLight / indexRaw / 1000; // km, as the reader has it
    const double length = f.lengthKm();
    const size_t n = f.samples > 0
        ? f.samples
        : static_cast<size_t>(std::ceil((length * 1.2 + 0.5 - f.acquisitionOffsetKm) / step));
    const double pulseKm = f.pulseNs * speedOfLight / index / 2 / 1e6;
    const size_t width = std::max<size_t>(1, static_cast<size_t>(std::lround(pulseKm / step)));

    // The backscatter the pulse sees, as linear power (the trace's dB are 5 log10 of it), averaged over the pulse.
    std::vector<double> ideal(n);
    for (size_t i = 0; i < n; ++i) {
        const double km = f.acquisitionOffsetKm + static_cast<double>(i) * step;
        ideal[i] = km >= 0 && km <= length ? std::pow(10.0, f.level(km) / 5) : 0.0;
    }
    std::vector<double> power(n);
    double window = 0;
    for (size_t i = 0; i < n; ++i) {
        window += ideal[i];
        if (i >= width)
            window -= ideal[i - width];
        power[i] = std::max(window, 0.0) / static_cast<double>(width);
    }

    // Reflections stand on the backscatter before them for the pulse's length.
    std::vector<std::pair<double, double>> reflections; // km, share
    for (const auto& e : f.events) {
        if (e.reflectance)
            reflections.emplace_back(e.km, reflectedShare(*e.reflectance, f));
    }
    if (f.endReflectance)
        reflections.emplace_back(length, reflectedShare(*f.endReflectance, f));
    if (f.frontReflectance)
        reflections.emplace_back(0.0, reflectedShare(*f.frontReflectance, f));
    for (const auto& [km, share] : reflections) {
        const double base = std::pow(10.0, f.level(std::max(km - 1e-9, 0.0)) / 5) * share;
        const double first = std::ceil((km - f.acquisitionOffsetKm) / step - 1e-9);
        for (size_t k = 0; k < width; ++k) {
            const double i = first + static_cast<double>(k);
            if (i >= 0 && i < static_cast<double>(n))
                power[static_cast<size_t>(i)] += base;
        }
    }

    // Noise of the receiver in linear power: small beside strong backscatter, the whole trace in the floor. A
    // saturating receiver clips what rises above its limit.
    const double sigma = std::pow(10.0, f.noiseFloorDb / 5);
    std::vector<double> level(n);
    for (size_t i = 0; i < n; ++i) {
        const double p = std::max(power[i] + sigma * gauss(rng), sigma * 0.01);
        level[i] = 5 * std::log10(p) + f.baseNoiseDb * gauss(rng);
        if (f.saturationDb)
            level[i] = std::min(level[i], *f.saturationDb);
    }
    const double top = *std::max_element(level.begin(), level.end());
    sortest::Data data;
    data.samples.reserve(n);
    for (const double l : level)
        data.samples.push_back(static_cast<uint16_t>(std::clamp(std::lround((top - l) * 1000), 0L, 65535L)));

    // The event table as an instrument lists it: apparent losses, the slope of the glass before each event.
    std::vector<Event> listed;
    for (const auto& e : f.events) {
        if (e.listed && (e.reflectance || std::fabs(f.apparentLoss(e)) >= f.listedFrom))
            listed.push_back(e);
    }
    std::sort(listed.begin(), listed.end(), [](const Event& a, const Event& b) { return a.km < b.km; });
    sortest::Events events;
    const auto entry = [&](double km, double loss, std::optional<double> reflectance, bool end) {
        sortest::Event e;
        e.number = static_cast<uint16_t>(events.events.size() + 1);
        const double shown = displayedKm(f, km);
        e.timeOfTravel = timeOf(shown);
        e.slope = milli16(f.attenuationAt(km - 1e-9));
        e.spliceLoss = end ? 0 : milli16(loss);
        e.reflectionLoss = reflectance ? static_cast<int32_t>(std::lround(*reflectance * 1000)) : 0;
        e.code = std::string(reflectance ? "1" : "0") + (end ? "E" : "F") + "9999LS";
        e.beginOfCurrent = static_cast<uint32_t>(std::max(0, e.timeOfTravel));
        e.endOfCurrent = static_cast<uint32_t>(std::max(0, timeOf(shown + pulseKm)));
        e.peak = static_cast<uint32_t>(std::max(0, timeOf(shown + pulseKm / 2)));
        events.events.push_back(e);
    };
    for (const auto& e : listed)
        entry(e.km, f.apparentLoss(e), e.reflectance, false);
    entry(length, 0, f.endReflectance, true);
    events.totalLoss = static_cast<int32_t>(std::lround((f.level(0) - f.level(length - 1e-9)) * 1000));
    events.fiberLength = static_cast<uint32_t>(std::max(0, timeOf(displayedKm(f, length))));
    events.orl = 35000;
    events.orlLength = events.fiberLength;

    fxd.wavelength = static_cast<uint16_t>(f.wavelengthNm * 10);
    fxd.pulseWidth = static_cast<uint16_t>(std::clamp(f.pulseNs, 1.0, 65535.0));
    fxd.backscatterCoef = static_cast<uint16_t>(std::clamp(std::lround(-f.backscatterCoefficient * 10), 0L, 65535L));
    fxd.aquOffset = timeOf(f.acquisitionOffsetKm);
    fxd.aquOffsetDist = inUnit(f.acquisitionOffsetKm, f.acquisitionOffsetUnit);
    fxd.range = static_cast<uint32_t>(std::lround(static_cast<double>(n) * step / 2 / 0.00001));

    sortest::Gen gen = f.ids;
    gen.wavelength = f.wavelengthNm;
    gen.userOffset = timeOf(f.userOffsetKm);
    gen.userOffsetDistance = inUnit(f.userOffsetKm, f.userOffsetUnit);

    sortest::Sup sup;
    sup.other = "Synthetic fibre, seed " + std::to_string(f.seed);
    sup.otdrSn = f.instrumentSerial;

    sortest::SorBuilder builder;
    builder.gen(gen).sup(sup).fxd(fxd).events(events).data(data);
    return builder;
}

std::string truthJson(const Fibre& f)
{
    std::ostringstream out;
    out.precision(10);
    out << "{\"lengthKm\":" << f.lengthKm() << ",\"userOffsetKm\":" << f.userOffsetKm
        << ",\"acquisitionOffsetKm\":" << f.acquisitionOffsetKm << ",\"pulseNs\":" << f.pulseNs << ",\"sections\":[";
    for (size_t i = 0; i < f.sections.size(); ++i) {
        const auto& s = f.sections[i];
        out << (i ? "," : "") << "{\"km\":" << s.km << ",\"attenuation\":" << s.attenuation
            << ",\"backscatter\":" << s.backscatter << "}";
    }
    out << "],\"events\":[";
    for (size_t i = 0; i < f.events.size(); ++i) {
        const auto& e = f.events[i];
        out << (i ? "," : "") << "{\"km\":" << e.km << ",\"displayedKm\":" << displayedKm(f, e.km)
            << ",\"loss\":" << e.loss << ",\"apparentLoss\":" << f.apparentLoss(e) << ",\"reflectance\":";
        if (e.reflectance)
            out << *e.reflectance;
        else
            out << "null";
        out << ",\"listed\":" << (e.listed ? "true" : "false") << ",\"ghost\":" << (e.ghost ? "true" : "false")
            << "}";
    }
    out << "]}\n";
    return out.str();
}

} // namespace synth
