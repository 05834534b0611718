#include "analysis/Bidirectional.h"

#include "analysis/TableNumbers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <tuple>

namespace analysis {

const char* const directionAB = "A\xe2\x86\x92"
                                "B";
const char* const directionBA = "B\xe2\x86\x92"
                                "A";

const char* eventKindText(EventKind k)
{
    switch (k) {
    case EventKind::Reflective:
        return "reflective";
    case EventKind::End:
        return "end";
    case EventKind::Splice:
        break;
    }
    return "splice";
}

const char* listedText(Listed l)
{
    switch (l) {
    case Listed::AB:
        return "AB";
    case Listed::BA:
        return "BA";
    case Listed::Both:
        break;
    }
    return "both";
}

namespace {
    std::optional<double> average(const std::optional<double>& a, const std::optional<double>& b)
    {
        if (a && b)
            return (*a + *b) / 2;
        return std::nullopt;
    }

    std::optional<double> larger(const std::optional<double>& a, const std::optional<double>& b)
    {
        if (a && b)
            return std::max(*a, *b);
        return a ? a : b;
    }

    std::optional<double> smaller(const std::optional<double>& a, const std::optional<double>& b)
    {
        if (a && b)
            return std::min(*a, *b);
        return a ? a : b;
    }

    // Where the span starts: the launch cable's connector, else the event at the front panel, if the file lists one.
    int spanStartEvent(const FileSummary& s)
    {
        if (s.span.startEvent >= 0)
            return s.span.startEvent;
        int best = -1;
        for (size_t i = 0; i < s.eventList.size() && s.span.startKm; ++i) {
            const auto& e = s.eventList[i];
            if (e.end || !e.km || std::fabs(*e.km - *s.span.startKm) > s.deadZoneKm)
                continue;
            if (best < 0 || std::fabs(*e.km) < std::fabs(*s.eventList[static_cast<size_t>(best)].km))
                best = static_cast<int>(i);
        }
        return best;
    }

    // Where the span ends: the receive cable's connector, else the end of the fibre (the summary's first).
    int spanEndEvent(const FileSummary& s)
    {
        if (s.span.endEvent >= 0)
            return s.span.endEvent;
        for (size_t i = 0; i < s.eventList.size(); ++i) {
            if (s.eventList[i].end && s.eventList[i].km)
                return static_cast<int>(i);
        }
        return -1;
    }

    // The four-point loss at places on one end's trace, its fits kept clear of the fibre's other events. The trace
    // is read (or read again) only when a loss is asked for.
    class TraceLosses {
    public:
        explicit TraceLosses(const FibreFile* f)
            : file(f)
        {
        }

        /// The places of the fibre's events on this file's axis; reflective ones hide more after them.
        void addPlace(double km, bool reflective)
        {
            places.emplace_back(km, reflective);
            sorted = false;
        }

        std::optional<double> at(double km, bool reflective)
        {
            if (!file)
                return std::nullopt;
            if (!loaded) {
                stored = traceOf(*file);
                if (stored)
                    trace = stored->levels(buffer);
                loaded = true;
            }
            if (!stored || trace.size == 0 || !std::isfinite(km))
                return std::nullopt;
            const FileSummary& s = file->summary;
            const double recovery = recoveryKm(s.pulseWidth.value_or(0));
            const double frontPanel = trace.startKm + s.deadZoneKm;
            EventWindow w;
            w.atKm = km;
            w.deadZoneKm = s.deadZoneKm;
            w.recoveryKm = reflective || km <= frontPanel ? recovery : 0.0;
            w.maxAttenuation = maxGlassAttenuationAt(s.wavelength.value_or(unknown));
            // Without an event before, the front panel is.
            w.previousKm = trace.startKm;
            w.previousRecoveryKm = recovery;
            if (!sorted) {
                std::sort(places.begin(), places.end());
                sorted = true;
            }
            // The neighbours: the nearest places before and after, apart from the place itself.
            constexpr double same = 1e-6;
            auto next = std::upper_bound(places.begin(), places.end(), std::make_pair(km + same, true));
            if (next != places.end())
                w.nextKm = next->first;
            auto before = std::lower_bound(places.begin(), places.end(), std::make_pair(km - same, false));
            if (before != places.begin() && std::prev(before)->first >= w.previousKm) {
                const auto& [p, r] = *std::prev(before);
                w.previousKm = p;
                w.previousRecoveryKm = r || p <= frontPanel ? recovery : 0.0;
            }
            return eventLoss(trace, w);
        }

    private:
        const FibreFile* file = nullptr;
        std::vector<std::pair<double, bool>> places;
        bool sorted = false;
        bool loaded = false;
        std::shared_ptr<const StoredTrace> stored;
        std::vector<double> buffer;
        TraceSamples trace;
    };

    // One row of the fibre's table before it is measured: the indices of the event in each file.
    struct Entry {
        int a = -1;
        int b = -1;
        bool spanStart = false; ///< where A's span starts and B's ends
        bool spanEnd = false;
    };

    std::string lengthsText(double ab, double ba)
    {
        const double percent = 100 * std::fabs(ab - ba) / std::max(ab, ba);
        char share[32];
        std::snprintf(share, sizeof share, "%.1f", percent);
        return std::string("spans differ by ") + share + " %: " + directionAB + " " + fixed3(ab) + " km, " + directionBA
            + " " + fixed3(ba) + " km";
    }
} // namespace

WavelengthAnalysis analyseWavelength(const FibreFile* ab, const FibreFile* ba)
{
    WavelengthAnalysis r;
    if (ab)
        r.fileAB = ab->summary.file;
    if (ba)
        r.fileBA = ba->summary.file;
    // A file that cannot be read leaves the other to be judged alone.
    for (const FibreFile** f : { &ab, &ba }) {
        if (*f && !(*f)->summary.parsed) {
            const std::string& why = (*f)->summary.errorText;
            const auto first = why.find_first_not_of(" \n");
            r.error += (r.error.empty() ? "" : "; ") + (*f)->summary.file + ": "
                + (first == std::string::npos ? std::string("cannot be read")
                                              : why.substr(first, why.find_last_not_of(" \n") - first + 1));
            *f = nullptr;
        }
    }
    const FileSummary* A = ab ? &ab->summary : nullptr;
    const FileSummary* B = ba ? &ba->summary : nullptr;
    if (!A && !B)
        return r;
    r.wavelength = A ? A->wavelength : B->wavelength;
    if (A && B && A->wavelength != B->wavelength) {
        const auto nm = [](const std::optional<double>& w) { return w ? number(*w) + " nm" : std::string("–"); };
        r.warnings.push_back(std::string("wavelengths differ: ") + directionAB + " " + nm(A->wavelength) + ", "
            + directionBA + " " + nm(B->wavelength));
    }

    // B's positions on A's axis through the spans: B's span ends where A's starts, x_A = spanStart_A + spanEnd_B − x_B.
    // Alone, B's file is turned round through its own span.
    if (B && !B->span.endKm) {
        r.incomplete.push_back(std::string(directionBA) + ": no end of the span (no end-of-fibre event)");
        if (A)
            B = nullptr;
    } else if (B) {
        r.mirrorKm = (A ? A->span.startKm.value_or(0) : B->span.startKm.value_or(0)) + *B->span.endKm;
    }
    r.bothEnds = A && B;
    const auto onA = [&](double xB) { return r.mirrorKm ? *r.mirrorKm - xB : xB; };
    const auto onB = [&](double xA) { return *r.mirrorKm - xA; };
    // Each instrument places an event somewhere on the pulse's rise, on a sample of its own: the two places of one
    // event lie up to a pulse's length and a sample of each trace apart.
    const double pulse = std::max(A ? A->pulseWidth.value_or(0) : 0.0, B ? B->pulseWidth.value_or(0) : 0.0);
    const auto sample = [](const FibreFile* f) { return f && std::isfinite(f->sampleKm) ? f->sampleKm : 0.0; };
    r.toleranceKm = std::max(0.02, pulseLengthKm(pulse) + sample(A ? ab : nullptr) + sample(B ? ba : nullptr));

    // Each event used once, the closest pairs first; the span's ends are one place seen from both sides (A's launch
    // connector is B's receive connector, A's front panel is where B's fibre ends), whatever their distance.
    std::vector<Entry> entries;
    std::vector<bool> usedA(A ? A->eventList.size() : 0);
    std::vector<bool> usedB(B ? B->eventList.size() : 0);
    if (A && B) {
        const int a0 = spanStartEvent(*A);
        const int a1 = spanEndEvent(*A);
        const int b0 = spanStartEvent(*B);
        const int b1 = spanEndEvent(*B);
        if (a0 >= 0 && b1 >= 0) {
            entries.push_back({ a0, b1, true, false });
            usedA[static_cast<size_t>(a0)] = usedB[static_cast<size_t>(b1)] = true;
        }
        if (a1 >= 0 && b0 >= 0 && !usedA[static_cast<size_t>(a1)] && !usedB[static_cast<size_t>(b0)]) {
            entries.push_back({ a1, b0, false, true });
            usedA[static_cast<size_t>(a1)] = usedB[static_cast<size_t>(b0)] = true;
        }
        // B's events by their place on A's axis; each of A's events looks at the nearest few within tolerance, so
        // that a file listing thousands of events at one place cannot make the matching quadratic.
        std::vector<std::pair<double, int>> placedB;
        for (size_t j = 0; j < usedB.size(); ++j) {
            if (!usedB[j] && B->eventList[j].km)
                placedB.emplace_back(onA(*B->eventList[j].km), static_cast<int>(j));
        }
        std::sort(placedB.begin(), placedB.end());
        constexpr size_t nearest = 8;
        std::vector<std::tuple<double, int, int>> candidates;
        for (size_t i = 0; i < usedA.size(); ++i) {
            const auto& ea = A->eventList[i];
            if (usedA[i] || !ea.km)
                continue;
            std::vector<std::tuple<double, int, int>> near;
            auto k = std::lower_bound(placedB.begin(), placedB.end(), std::make_pair(*ea.km - r.toleranceKm, -1));
            for (; k != placedB.end() && k->first <= *ea.km + r.toleranceKm; ++k)
                near.emplace_back(std::fabs(*ea.km - k->first), static_cast<int>(i), k->second);
            const size_t keep = std::min(near.size(), nearest);
            std::partial_sort(near.begin(), near.begin() + static_cast<std::ptrdiff_t>(keep), near.end());
            candidates.insert(candidates.end(), near.begin(), near.begin() + static_cast<std::ptrdiff_t>(keep));
        }
        std::sort(candidates.begin(), candidates.end());
        for (const auto& [d, i, j] : candidates) {
            if (usedA[static_cast<size_t>(i)] || usedB[static_cast<size_t>(j)])
                continue;
            usedA[static_cast<size_t>(i)] = usedB[static_cast<size_t>(j)] = true;
            entries.push_back({ i, j, false, false });
        }

        // Coarse samples place a small splice several samples off, from each end differently: two events left over,
        // of one kind, each the other's nearest within twice the tolerance and with no event of either end between
        // them, are one.
        std::vector<double> everywhere;
        for (const auto& e : A->eventList) {
            if (e.km)
                everywhere.push_back(*e.km);
        }
        for (const auto& e : B->eventList) {
            if (e.km)
                everywhere.push_back(onA(*e.km));
        }
        std::sort(everywhere.begin(), everywhere.end());
        // The nearest event left over of the other end (B's for fromA), within twice the tolerance; -1 for none.
        const auto nearestLeft = [&](double x, bool fromA) {
            int found = -1;
            double best = 2 * r.toleranceKm;
            if (fromA) {
                for (const auto& [xb, j] : placedB) {
                    if (!usedB[static_cast<size_t>(j)] && std::fabs(xb - x) <= best)
                        best = std::fabs(xb - x), found = j;
                }
            } else {
                for (size_t i = 0; i < usedA.size(); ++i) {
                    const auto& km = A->eventList[i].km;
                    if (!usedA[i] && km && std::fabs(*km - x) <= best)
                        best = std::fabs(*km - x), found = static_cast<int>(i);
                }
            }
            return found;
        };
        const size_t leftOver = static_cast<size_t>(std::count(usedA.begin(), usedA.end(), false))
            * static_cast<size_t>(std::count(usedB.begin(), usedB.end(), false));
        for (size_t i = 0; i < usedA.size() && leftOver < 100000; ++i) {
            const auto& ea = A->eventList[i];
            if (usedA[i] || !ea.km || ea.end)
                continue;
            const int j = nearestLeft(*ea.km, true);
            if (j < 0)
                continue;
            const auto& eb = B->eventList[static_cast<size_t>(j)];
            if (eb.end || eb.reflective != ea.reflective || nearestLeft(onA(*eb.km), false) != static_cast<int>(i))
                continue;
            const double lo = std::min(*ea.km, onA(*eb.km));
            const double hi = std::max(*ea.km, onA(*eb.km));
            const auto between = std::upper_bound(everywhere.begin(), everywhere.end(), lo + 1e-9);
            if (between != everywhere.end() && *between < hi - 1e-9)
                continue;
            usedA[i] = usedB[static_cast<size_t>(j)] = true;
            entries.push_back({ static_cast<int>(i), j, false, false });
        }
    }
    for (size_t i = 0; i < usedA.size(); ++i) {
        if (!usedA[i] && A->eventList[i].km)
            entries.push_back({ static_cast<int>(i), -1, false, false });
    }
    for (size_t j = 0; j < usedB.size(); ++j) {
        if (!usedB[j] && B->eventList[j].km)
            entries.push_back({ -1, static_cast<int>(j), false, false });
    }

    // The span on A's axis; without A, B's turned round.
    if (A) {
        r.startKm = A->span.startKm;
        r.endKm = A->span.endKm;
        if (!r.endKm && B && B->span.startKm)
            r.endKm = onA(*B->span.startKm);
    } else if (r.mirrorKm) {
        r.startKm = onA(*B->span.endKm);
        r.endKm = onA(B->span.startKm.value_or(0));
    }
    r.lengthAB = A ? A->fibreLength : std::nullopt;
    r.lengthBA = B ? B->fibreLength : std::nullopt;
    r.lengthKm = larger(r.lengthAB, r.lengthBA);
    if (r.lengthAB && r.lengthBA && std::fabs(*r.lengthAB - *r.lengthBA) > 0.01 * std::max(*r.lengthAB, *r.lengthBA))
        r.warnings.push_back(lengthsText(*r.lengthAB, *r.lengthBA));

    // Each row's place, kind and whether it is judged.
    const int endsA[2] = { A ? spanStartEvent(*A) : -1, A ? spanEndEvent(*A) : -1 };
    const int endsB[2] = { B ? spanStartEvent(*B) : -1, B ? spanEndEvent(*B) : -1 };
    const auto isEndOf = [&](const FileSummary* s, int i) {
        const int* ends = s == A ? endsA : endsB;
        return s && i >= 0 && (i == ends[0] || i == ends[1]);
    };
    const auto cableEndOf
        = [](const FileSummary* s, int i) { return s && i >= 0 && (i == s->span.startEvent || i == s->span.endEvent); };
    for (const Entry& en : entries) {
        const EventMeasure* ea = en.a >= 0 ? &A->eventList[static_cast<size_t>(en.a)] : nullptr;
        const EventMeasure* eb = en.b >= 0 ? &B->eventList[static_cast<size_t>(en.b)] : nullptr;
        FibreEvent e;
        e.indexAB = en.a;
        e.indexBA = en.b;
        e.source = ea && eb ? Listed::Both : ea ? Listed::AB : Listed::BA;
        if (ea)
            e.kmAB = ea->km;
        if (eb)
            e.kmBA = eb->km;
        if (ea && eb)
            e.km = en.spanStart || en.spanEnd ? *ea->km : (*ea->km + onA(*eb->km)) / 2;
        else
            e.km = ea ? *ea->km : onA(*eb->km);
        if (!ea && A)
            e.kmAB = e.km;
        if (!eb && B && r.mirrorKm)
            e.kmBA = onB(e.km);
        e.cableConnector = cableEndOf(A, en.a) || cableEndOf(B, en.b);
        // Without a cable, the span's ends are the fibre's: the front panel from one end, the fibre's end from the
        // other. No instrument measures their loss, and the reflectance there is of an open or mated end.
        const bool fibreEnd = !e.cableConnector
            && ((ea && ea->end) || (eb && eb->end)
                || ((en.spanStart || en.spanEnd) && (isEndOf(A, en.a) || isEndOf(B, en.b))));
        e.kind = fibreEnd                                      ? EventKind::End
            : (ea && ea->reflective) || (eb && eb->reflective) ? EventKind::Reflective
                                                               : EventKind::Splice;
        const bool inside = r.startKm && e.km > *r.startKm && (!r.endKm || e.km < *r.endKm);
        e.judged = e.cableConnector || (!fibreEnd && inside && !isEndOf(A, en.a) && !isEndOf(B, en.b));
        e.reflectanceAB = ea ? ea->reflectance : std::nullopt;
        e.reflectanceBA = eb ? eb->reflectance : std::nullopt;
        e.reflectance = larger(e.reflectanceAB, e.reflectanceBA);
        e.lossAB = ea ? ea->loss : std::nullopt;
        e.lossBA = eb ? eb->loss : std::nullopt;
        r.events.push_back(e);
    }
    std::stable_sort(
        r.events.begin(), r.events.end(), [](const FibreEvent& x, const FibreEvent& y) { return x.km < y.km; });

    // An event one end did not list (its loss there fell below the instrument's threshold) is measured on that
    // end's trace at its place, beside the fibre's other events.
    TraceLosses onTraceA(A ? ab : nullptr);
    TraceLosses onTraceB(B ? ba : nullptr);
    for (const auto& e : r.events) {
        if (e.kmAB)
            onTraceA.addPlace(*e.kmAB, e.kind != EventKind::Splice);
        if (e.kmBA)
            onTraceB.addPlace(*e.kmBA, e.kind != EventKind::Splice);
    }
    for (auto& e : r.events) {
        if (e.judged && A && !e.lossAB && e.kmAB) {
            e.lossAB = onTraceA.at(*e.kmAB, e.kind != EventKind::Splice);
            e.measuredAB = e.lossAB.has_value();
        }
        if (e.judged && B && !e.lossBA && e.kmBA) {
            e.lossBA = onTraceB.at(*e.kmBA, e.kind != EventKind::Splice);
            e.measuredBA = e.lossBA.has_value();
        }
        // The average of both directions cancels the backscatter step: L_AB = L + ΔB, L_BA = L − ΔB.
        e.loss = A && B ? average(e.lossAB, e.lossBA) : A ? e.lossAB : e.lossBA;
        if (e.judged && A && B && !e.loss) {
            const char* missing = !e.lossAB && !e.lossBA ? "either end" : !e.lossAB ? directionAB : directionBA;
            r.incomplete.push_back(std::string("no loss from ") + missing + " at " + fixed3(e.km) + " km");
        }
    }

    // The fibre's figures: each end's over its span, averaged; the ORL is a reflection's, the worse one counts.
    r.totalLossAB = A ? A->totalLoss : std::nullopt;
    r.totalLossBA = B ? B->totalLoss : std::nullopt;
    r.attenuationAB = A ? A->attenuation : std::nullopt;
    r.attenuationBA = B ? B->attenuation : std::nullopt;
    r.orlAB = A ? A->orl : std::nullopt;
    r.orlBA = B ? B->orl : std::nullopt;
    if (A && B) {
        r.totalLoss = average(r.totalLossAB, r.totalLossBA);
        r.attenuation = average(r.attenuationAB, r.attenuationBA);
    } else {
        r.totalLoss = A ? r.totalLossAB : r.totalLossBA;
        r.attenuation = A ? r.attenuationAB : r.attenuationBA;
    }
    r.orl = smaller(r.orlAB, r.orlBA);

    if (A && !A->incomplete.empty())
        r.incomplete.push_back(std::string(directionAB) + ": " + A->incomplete);
    if (B && !B->incomplete.empty())
        r.incomplete.push_back(std::string(directionBA) + ": " + B->incomplete);
    if (!A || !B)
        r.incomplete.push_back("measured from one end only");
    return r;
}

std::vector<std::optional<double>> lossesAtPlaces(const WavelengthAnalysis& analysis, const FibreFile* ab,
    const FibreFile* ba, const std::vector<std::pair<double, bool>>& places)
{
    if (ab && !ab->summary.parsed)
        ab = nullptr;
    if (ba && (!ba->summary.parsed || !analysis.mirrorKm))
        ba = nullptr;
    TraceLosses onTraceA(ab);
    TraceLosses onTraceB(ba);
    for (const auto& e : analysis.events) {
        if (e.kmAB)
            onTraceA.addPlace(*e.kmAB, e.kind != EventKind::Splice);
        if (e.kmBA)
            onTraceB.addPlace(*e.kmBA, e.kind != EventKind::Splice);
    }
    std::vector<std::optional<double>> out;
    for (const auto& [km, reflective] : places) {
        const auto a = ab ? onTraceA.at(km, reflective) : std::nullopt;
        const auto b = ba ? onTraceB.at(*analysis.mirrorKm - km, reflective) : std::nullopt;
        out.push_back(ab && ba ? average(a, b) : ab ? a : b);
    }
    return out;
}

} // namespace analysis
