#include "analysis/FibreAnalysis.h"

#include <algorithm>
#include <cmath>

namespace analysis {

namespace {
    const FibreFile* fileAt(const std::vector<FibreFile>& files, int i)
    {
        return i >= 0 && static_cast<size_t>(i) < files.size() ? &files[static_cast<size_t>(i)] : nullptr;
    }

    // One wavelength's judged event, by its place.
    struct Item {
        double km;
        size_t wavelength;
        int event;
    };

    struct Cluster {
        double kmSum = 0;
        std::vector<Item> items;
        bool reflective = false;
        double km() const { return kmSum / static_cast<double>(items.size()); }
        bool has(size_t w) const
        {
            return std::any_of(items.begin(), items.end(), [w](const Item& i) { return i.wavelength == w; });
        }
    };
} // namespace

FibreAnalysis analyseFibre(const FibreFiles& fibre, const std::vector<FibreFile>& files)
{
    FibreAnalysis a;
    a.fibreId = fibre.fibreId;
    a.cableId = fibre.cableId;
    a.locationA = fibre.locationA;
    a.locationB = fibre.locationB;
    for (const auto& w : fibre.wavelengths)
        a.wavelengths.push_back(analyseWavelength(fileAt(files, w.ab), fileAt(files, w.ba)));

    // The judged events of every wavelength gathered by place: each place takes one event of a wavelength, the
    // nearest within the tolerance of both.
    std::vector<Item> items;
    for (size_t w = 0; w < a.wavelengths.size(); ++w) {
        const auto& events = a.wavelengths[w].events;
        for (size_t i = 0; i < events.size(); ++i) {
            if (events[i].judged && events[i].loss)
                items.push_back({ events[i].km, w, static_cast<int>(i) });
        }
    }
    if (a.wavelengths.size() < 2 || items.empty())
        return a;
    std::sort(items.begin(), items.end(), [](const Item& x, const Item& y) { return x.km < y.km; });
    std::vector<Cluster> clusters;
    for (const Item& item : items) {
        const double tolerance = a.wavelengths[item.wavelength].toleranceKm;
        Cluster* best = nullptr;
        for (auto c = clusters.rbegin(); c != clusters.rend() && c->km() >= item.km - 2 * tolerance; ++c) {
            const double d = std::fabs(c->km() - item.km);
            const double allowed = std::max(tolerance, a.wavelengths[c->items.front().wavelength].toleranceKm);
            if (d <= allowed && !c->has(item.wavelength) && (!best || d < std::fabs(best->km() - item.km)))
                best = &*c;
        }
        if (!best) {
            clusters.emplace_back();
            best = &clusters.back();
        }
        best->kmSum += item.km;
        best->items.push_back(item);
        const auto& e = a.wavelengths[item.wavelength].events[static_cast<size_t>(item.event)];
        best->reflective = best->reflective || e.kind != EventKind::Splice || e.cableConnector;
    }

    // A wavelength that no end listed at a place tells its loss there on its traces.
    std::vector<std::vector<std::optional<double>>> measured(clusters.size());
    for (size_t c = 0; c < clusters.size(); ++c)
        measured[c].resize(a.wavelengths.size());
    for (size_t w = 0; w < a.wavelengths.size(); ++w) {
        const WavelengthAnalysis& wa = a.wavelengths[w];
        std::vector<std::pair<double, bool>> wanted;
        std::vector<size_t> which;
        for (size_t c = 0; c < clusters.size(); ++c) {
            const double km = clusters[c].km();
            if (clusters[c].has(w) || !wa.startKm || km <= *wa.startKm || (wa.endKm && km >= *wa.endKm))
                continue;
            wanted.emplace_back(km, clusters[c].reflective);
            which.push_back(c);
        }
        const auto& files_ = fibre.wavelengths[w];
        const auto losses = lossesAtPlaces(wa, fileAt(files, files_.ab), fileAt(files, files_.ba), wanted);
        for (size_t k = 0; k < which.size(); ++k)
            measured[which[k]][w] = losses[k];
    }

    for (size_t c = 0; c < clusters.size(); ++c) {
        Place p;
        p.km = clusters[c].km();
        for (size_t w = 0; w < a.wavelengths.size(); ++w) {
            const auto& wl = a.wavelengths[w].wavelength;
            const auto item = std::find_if(
                clusters[c].items.begin(), clusters[c].items.end(), [w](const Item& i) { return i.wavelength == w; });
            const std::optional<double> loss = item != clusters[c].items.end()
                ? a.wavelengths[w].events[static_cast<size_t>(item->event)].loss
                : measured[c][w];
            if (!wl || !loss)
                continue;
            p.wavelengths.push_back(*wl);
            p.losses.push_back(*loss);
            p.events.push_back(item != clusters[c].items.end() ? item->event : -1);
        }
        if (p.wavelengths.size() < 2)
            continue;
        // By wavelength, ascending.
        std::vector<size_t> order(p.wavelengths.size());
        for (size_t k = 0; k < order.size(); ++k)
            order[k] = k;
        std::sort(order.begin(), order.end(), [&](size_t x, size_t y) { return p.wavelengths[x] < p.wavelengths[y]; });
        Place sorted;
        sorted.km = p.km;
        for (const size_t k : order) {
            sorted.wavelengths.push_back(p.wavelengths[k]);
            sorted.losses.push_back(p.losses[k]);
            sorted.events.push_back(p.events[k]);
        }
        a.places.push_back(std::move(sorted));
    }
    return a;
}

std::vector<FibreAnalysis> analyseCable(const std::vector<FibreFile>& files)
{
    std::vector<FibreAnalysis> out;
    for (const auto& fibre : pairFibres(files))
        out.push_back(analyseFibre(fibre, files));
    return out;
}

} // namespace analysis
