#include "InstrumentComparison.h"

#include "analysis/Sentinels.h"
#include "sor/SORParser.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

namespace sortest {

namespace {
    bool isEnd(const sor::KeyEventData& e) { return e.EventCode.size() >= 2 && e.EventCode[1] == 'E'; }

    std::string upper(std::string s)
    {
        std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        return s;
    }

    std::string line(const char* format, double a, double b, double c)
    {
        char text[160];
        std::snprintf(text, sizeof text, format, a, b, c);
        return text;
    }
} // namespace

std::string familyOf(const sor::SORParser& p)
{
    const std::string names = upper(p.sup.SupplierName + " " + p.sup.OTDR_Name + " " + p.sup.ModuleName);
    const auto has = [&](const char* word) { return names.find(word) != std::string::npos; };
    if (has("EXFO") || has("FTB") || has("MAX-"))
        return "EXFO";
    if (has("ANRITSU"))
        return "Anritsu";
    if (has("FIBERCLOUD"))
        return "FiberCloud";
    if (has("VIAVI"))
        return "VIAVI";
    if (has("JDSU") || has("ACTERNA"))
        return "JDSU";
    if (has("OPWILL"))
        return "OPWILL";
    if (has("OPTIXS") || has("IIT"))
        return "IIT";
    if (has("WAVETEK"))
        return "Wavetek";
    const auto first = p.sup.SupplierName.find_first_not_of(' ');
    return first == std::string::npos ? std::string("other") : p.sup.SupplierName.substr(first);
}

Comparison compareWithInstrument(const sor::SORParser& p, const analysis::OwnAnalysis& own)
{
    Comparison c;
    const auto& list = p.events.keyEvents;
    const double step = p.fxd.SampleDistance * 0.001;
    const double start = p.acquisitionOffsetKm() - p.userOffsetKm();
    const double last = start + step * static_cast<double>(p.data.DataPoints.size()) - step;
    c.sound = p.fileParsed && p.events.parsed && !list.empty() && isEnd(list.back()) && step > 0;
    for (size_t i = 0; c.sound && i < list.size(); ++i) {
        c.sound = list[i].Distance >= start - step && list[i].Distance <= last
            && (i == 0 || list[i].Distance >= list[i - 1].Distance) && (i + 1 == list.size() || !isEnd(list[i]));
    }
    if (!c.sound)
        return c;

    const double tolerance = std::max({ analysis::pulseLengthKm(p.fxd.PulseWidth), 3 * step, 0.010 });
    std::vector<bool> taken(own.events.size(), false);
    const auto nearest = [&](double km) {
        int best = -1;
        for (size_t k = 0; k < own.events.size(); ++k) {
            const auto& e = own.events[k];
            if (taken[k] || e.kind == analysis::OwnEventKind::End || std::fabs(e.km - km) > tolerance)
                continue;
            if (best < 0 || std::fabs(e.km - km) < std::fabs(own.events[static_cast<size_t>(best)].km - km))
                best = static_cast<int>(k);
        }
        return best;
    };
    for (size_t i = 0; i + 1 < list.size(); ++i) {
        const auto& e = list[i];
        const auto loss = analysis::measuredEventLoss(e.SpliceLoss_Raw, e.Distance <= start + tolerance);
        const int match = nearest(e.Distance);
        if (match >= 0)
            taken[static_cast<size_t>(match)] = true;
        const analysis::OwnEvent* m = match >= 0 ? &own.events[static_cast<size_t>(match)] : nullptr;
        const bool counted = loss && std::fabs(*loss) >= 0.1;
        bool within = false;
        if (counted) {
            ++c.inner;
            if (m) {
                ++c.found;
                within = m->loss && std::fabs(*m->loss - *loss) <= std::max(0.05, 0.2 * std::fabs(*loss));
                c.lossWithin += within ? 1 : 0;
            }
        }
        c.report += std::string(counted ? (m ? (within ? "  ok   " : "  LOSS ") : "  MISS ") : "       ")
            + line("%9.4f km loss %7.3f", e.Distance, loss.value_or(NAN), 0);
        if (m)
            c.report += line("   own %9.4f km loss %7.3f refl %8.3f", m->km, m->loss.value_or(NAN),
                m->reflectance.value_or(NAN));
        c.report += "\n";
    }
    const double instrumentEnd = list.back().Distance;
    const auto end = std::find_if(own.events.begin(), own.events.end(),
        [](const analysis::OwnEvent& e) { return e.kind == analysis::OwnEventKind::End; });
    c.endFound = end != own.events.end() && std::fabs(end->km - instrumentEnd) <= tolerance;
    const double ownEnd = end != own.events.end() ? end->km : NAN;
    c.report += std::string(c.endFound ? "  ok   " : "  END  ")
        + line("%9.4f km end, own %9.4f km (%+.1f m)\n", instrumentEnd, ownEnd, (ownEnd - instrumentEnd) * 1000);
    // An instrument set to list losses from its threshold up could not list a smaller one.
    const double threshold = std::max(0.1, p.fxd.LossThreshold_dB);
    for (size_t k = 0; k < own.events.size(); ++k) {
        const auto& e = own.events[k];
        if (taken[k] || e.kind == analysis::OwnEventKind::End)
            continue;
        const bool listed = std::any_of(
            list.begin(), list.end(), [&](const sor::KeyEventData& f) { return std::fabs(f.Distance - e.km) <= tolerance; });
        const bool unlisted = !listed && e.km < instrumentEnd - tolerance && e.loss && std::fabs(*e.loss) >= 0.1;
        c.extraAny += unlisted ? 1 : 0;
        c.extra += unlisted && std::fabs(*e.loss) >= threshold ? 1 : 0;
        if (!listed)
            c.report += std::string(unlisted ? "  EXTRA" : "  extra")
                + line(" own %9.4f km loss %7.3f refl %8.3f\n", e.km, e.loss.value_or(NAN), e.reflectance.value_or(NAN));
    }
    return c;
}

} // namespace sortest
