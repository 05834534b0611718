#include "analysis/EventEditing.h"

#include <algorithm>
#include <cmath>

namespace analysis {

namespace {
    bool onTrace(const TraceSamples& trace, double km)
    {
        if (!trace.db || trace.size == 0 || !(trace.stepKm > 0) || !std::isfinite(km))
            return false;
        const double last = trace.startKm + static_cast<double>(trace.size - 1) * trace.stepKm;
        return km >= trace.startKm && km <= last;
    }

    std::optional<double> endKm(const OwnAnalysis& analysis)
    {
        const auto end = std::find_if(analysis.events.begin(), analysis.events.end(),
            [](const OwnEvent& e) { return e.kind == OwnEventKind::End; });
        return end == analysis.events.end() ? std::nullopt : std::optional<double>(end->km);
    }

    // A hand-placed event is a reflection when the trace peaks over the backscatter right after it; which one, its
    // reflectance measured then tells against the threshold.
    void classify(OwnEvent& e)
    {
        if (e.kind == OwnEventKind::End)
            return;
        e.kind = OwnEventKind::Reflective;
        e.reflectance = 0; // measured by remeasure, which reads a peak only for reflective events
    }

    void settleKind(OwnEvent& e, const DetectionThresholds& t)
    {
        if (e.kind != OwnEventKind::Reflective)
            return;
        if (!(e.reflectance && *e.reflectance >= t.reflectance)) {
            e.reflectance.reset();
            e.kind = e.loss && *e.loss < 0 ? OwnEventKind::Gain : OwnEventKind::Splice;
        }
    }

    // Measures every event with the edited one among them, settles its kind once its peak and loss are known, and
    // measures again; returns where it stands.
    size_t measure(OwnAnalysis& analysis, const TraceSamples& trace, const Acquisition& acquisition, const OwnEvent& edited)
    {
        analysis.events.push_back(edited);
        const auto find = [&] {
            const auto it = std::find_if(analysis.events.begin(), analysis.events.end(),
                [&](const OwnEvent& e) { return e.km == edited.km && e.edit == edited.edit; });
            return static_cast<size_t>(it - analysis.events.begin());
        };
        remeasure(analysis, trace, acquisition);
        settleKind(analysis.events[find()], analysis.thresholds);
        remeasure(analysis, trace, acquisition);
        return find();
    }
} // namespace

const char* editName(Edit edit)
{
    switch (edit) {
    case Edit::Added:
        return "added";
    case Edit::Moved:
        return "moved";
    case Edit::None:
        break;
    }
    return "";
}

std::optional<size_t> addEvent(OwnAnalysis& analysis, const TraceSamples& trace, const Acquisition& acquisition, double km)
{
    const auto end = endKm(analysis);
    if (!onTrace(trace, km) || (end && km >= *end))
        return std::nullopt;
    OwnEvent e;
    e.km = km;
    e.edit = Edit::Added;
    classify(e);
    return measure(analysis, trace, acquisition, e);
}

std::optional<size_t> moveEvent(
    OwnAnalysis& analysis, const TraceSamples& trace, const Acquisition& acquisition, size_t index, double km)
{
    if (index >= analysis.events.size() || !onTrace(trace, km))
        return std::nullopt;
    OwnEvent e = analysis.events[index];
    if (e.kind != OwnEventKind::End) {
        const auto end = endKm(analysis);
        if (end && km >= *end)
            return std::nullopt;
    } else if (std::any_of(analysis.events.begin(), analysis.events.end(),
                   [&](const OwnEvent& other) { return other.kind != OwnEventKind::End && other.km >= km; })) {
        return std::nullopt; // the end stays after every event
    }
    analysis.events.erase(analysis.events.begin() + static_cast<std::ptrdiff_t>(index));
    e.km = km;
    // Where it lies now, the analysis has not seen how long it lasts.
    e.settleKm = 0;
    if (e.edit != Edit::Added)
        e.edit = Edit::Moved;
    classify(e);
    return measure(analysis, trace, acquisition, e);
}

bool deleteEvent(OwnAnalysis& analysis, const TraceSamples& trace, const Acquisition& acquisition, size_t index)
{
    if (index >= analysis.events.size())
        return false;
    analysis.events.erase(analysis.events.begin() + static_cast<std::ptrdiff_t>(index));
    remeasure(analysis, trace, acquisition);
    return true;
}

} // namespace analysis
