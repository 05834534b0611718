#include "analysis/FibreVerdict.h"

#include "analysis/TableNumbers.h"

#include <algorithm>

namespace analysis {

namespace {
    bool above(const std::optional<double>& value, const std::optional<double>& limit)
    {
        return limit && value && shown(*value) > *limit;
    }

    std::string dB(const std::optional<double>& v) { return v ? decibels(*v) : std::string("\xe2\x80\x93"); }

    // What each end gave: "(A→B 0.36, B→A 0.06)", or which end alone did.
    std::string ends(const WavelengthAnalysis& w, const std::optional<double>& ab, const std::optional<double>& ba)
    {
        if (!w.paired())
            return std::string("(") + (ab ? directionAB : ba ? directionBA : w.fileAB.empty() ? directionBA : directionAB)
                + " only)";
        return std::string("(") + directionAB + " " + dB(ab) + ", " + directionBA + " " + dB(ba) + ")";
    }

    std::string wavelengthText(const WavelengthAnalysis& w)
    {
        return w.wavelength ? number(*w.wavelength) + " nm" : std::string("unknown wavelength");
    }

    const std::optional<double>& attenuationLimit(const WavelengthAnalysis& w, const Thresholds& t)
    {
        static const std::optional<double> none;
        const int band = nearestBand(w.wavelength.value_or(unknown));
        return band < 0 ? none : t.maxAttenuation[static_cast<size_t>(band)];
    }

    bool isConnector(const FibreEvent& e) { return e.cableConnector || e.kind == EventKind::Reflective; }
} // namespace

std::vector<Bend> bends(const FibreAnalysis& a, const Thresholds& t)
{
    std::vector<Bend> out;
    if (!t.maxBendDelta)
        return out;
    for (const Place& p : a.places) {
        // A macrobend loses more the longer the wavelength; a splice loses alike at all.
        double delta = -1e9;
        for (size_t i = 0; i < p.losses.size(); ++i) {
            for (size_t j = i + 1; j < p.losses.size(); ++j) {
                if (p.wavelengths[j] > p.wavelengths[i])
                    delta = std::max(delta, p.losses[j] - p.losses[i]);
            }
        }
        if (above(delta, t.maxBendDelta))
            out.push_back({ p.km, p.wavelengths, p.losses, delta, p.events });
    }
    return out;
}

unsigned eventFailures(const FibreEvent& e, const Thresholds& t, bool atBend)
{
    if (!e.judged)
        return 0;
    unsigned failed = 0;
    if ((isConnector(e) || !atBend) && above(e.loss, isConnector(e) ? t.maxConnectorLoss : t.maxSpliceLoss))
        failed |= isConnector(e) ? ConnectorRule : SpliceRule;
    if (above(e.reflectance, t.maxReflectance))
        failed |= ReflectanceRule;
    return failed;
}

FibreVerdict evaluateFibre(const FibreAnalysis& a, const Thresholds& t)
{
    FibreVerdict v;
    v.bends = bends(a, t);
    for (const WavelengthAnalysis& w : a.wavelengths) {
        WavelengthVerdict wv;
        const std::string at = ", " + wavelengthText(w);
        std::vector<std::string> reasons;
        for (const Bend& b : v.bends) {
            for (size_t k = 0; k < b.wavelengths.size(); ++k) {
                if (w.wavelength && b.wavelengths[k] == *w.wavelength && b.events[k] >= 0)
                    wv.bendEvents.push_back(b.events[k]);
            }
        }
        for (size_t i = 0; i < w.events.size(); ++i) {
            const FibreEvent& e = w.events[i];
            const bool atBend
                = std::find(wv.bendEvents.begin(), wv.bendEvents.end(), static_cast<int>(i)) != wv.bendEvents.end();
            const unsigned failed = eventFailures(e, t, atBend);
            if (failed & (SpliceRule | ConnectorRule)) {
                const bool connector = failed & ConnectorRule;
                reasons.push_back(std::string(connector ? "connector " : "splice ") + decibels(*e.loss) + " dB "
                    + ends(w, e.lossAB, e.lossBA) + " at " + fixed3(e.km) + " km > "
                    + decibels(*(connector ? t.maxConnectorLoss : t.maxSpliceLoss)) + " dB" + at);
            }
            if (failed & ReflectanceRule)
                reasons.push_back("reflectance " + decibels(*e.reflectance) + " dB "
                    + ends(w, e.reflectanceAB, e.reflectanceBA) + " at " + fixed3(e.km) + " km > "
                    + decibels(*t.maxReflectance) + " dB" + at);
            wv.failed |= failed;
        }
        if (above(w.attenuation, attenuationLimit(w, t))) {
            wv.failed |= AttenuationRule;
            reasons.push_back("attenuation " + decibels(*w.attenuation) + " dB/km "
                + ends(w, w.attenuationAB, w.attenuationBA) + " > " + decibels(*attenuationLimit(w, t)) + " dB/km"
                + at);
        }
        if (above(w.totalLoss, t.maxTotalLoss)) {
            wv.failed |= TotalLossRule;
            reasons.push_back("total loss " + decibels(*w.totalLoss) + " dB " + ends(w, w.totalLossAB, w.totalLossBA)
                + " > " + decibels(*t.maxTotalLoss) + " dB" + at);
        }
        if (t.minOrl && w.orl && shown(*w.orl) < *t.minOrl) {
            wv.failed |= OrlRule;
            reasons.push_back("ORL " + decibels(*w.orl) + " dB " + ends(w, w.orlAB, w.orlBA) + " < "
                + decibels(*t.minOrl) + " dB" + at);
        }
        // A bend belongs to its longest wavelength: there it shows most.
        for (const Bend& b : v.bends) {
            if (!w.wavelength || b.wavelengths.back() != *w.wavelength)
                continue;
            wv.failed |= BendRule;
            wv.bends.push_back(b);
            std::string losses;
            for (size_t k = 0; k < b.wavelengths.size(); ++k)
                losses += (k ? ", " : "") + number(b.wavelengths[k]) + " nm " + decibels(b.losses[k]);
            reasons.push_back("bend " + decibels(b.deltaDb) + " dB (" + losses + ") at " + fixed3(b.km) + " km > "
                + decibels(*t.maxBendDelta) + " dB");
        }
        if (!w.error.empty())
            reasons.push_back(w.error);
        for (const auto& why : w.incomplete)
            reasons.push_back(why + at);
        for (const auto& warning : w.warnings)
            reasons.push_back(warning + at);
        wv.reasons = reasons;
        wv.outcome = wv.failed      ? Outcome::Fail
            : !w.error.empty()      ? Outcome::Error
            : !w.incomplete.empty() ? Outcome::Incomplete
                                    : Outcome::Pass;
        v.reasons.insert(v.reasons.end(), reasons.begin(), reasons.end());
        v.wavelengths.push_back(std::move(wv));
    }
    const auto worst = [&](Outcome o) {
        return std::any_of(v.wavelengths.begin(), v.wavelengths.end(), [o](const auto& w) { return w.outcome == o; });
    };
    v.outcome = worst(Outcome::Fail) ? Outcome::Fail
        : worst(Outcome::Error)      ? Outcome::Error
        : worst(Outcome::Incomplete) ? Outcome::Incomplete
        : v.wavelengths.empty()      ? Outcome::Error
                                     : Outcome::Pass;
    return v;
}

} // namespace analysis
