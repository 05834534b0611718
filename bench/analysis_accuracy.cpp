// How well the own event analysis finds what the instruments found, on real files with a sound event table
// (ascending positions inside the trace, the end last), with the default thresholds: the instrument's inner events
// of 0.1 dB and more found at their place (within the pulse's length, 3 samples or 10 m), of those the share whose
// loss is within 0.05 dB or 20 %, the ends found at their place, and the events of 0.1 dB and more found before the
// instrument's end that it did not list, as a share of its inner events: of those at least as large as the loss
// threshold the instrument was set to (FxdParams), which it could have listed, and of all. Per instrument family and
// overall.
// Usage: bench_analysis_accuracy [-v] [PATH...]   (default: the shared instrument files)
#include "QuietFd.h"

#include "analysis/OwnAnalysis.h"
#include "analysis/Sentinels.h"
#include "analysis/WidePath.h"
#include "sor/SORParser.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#ifndef SOR_SAMPLES_DIR
#error "SOR_SAMPLES_DIR is set by the build"
#endif

namespace {

struct Tally {
    int files = 0;
    int inner = 0; ///< instrument events of 0.1 dB and more
    int found = 0;
    int lossWithin = 0;
    int ends = 0;
    int extra = 0; ///< of at least the instrument's own loss threshold
    int extraAny = 0; ///< whatever its threshold
    double seconds = 0;

    void add(const Tally& o)
    {
        files += o.files;
        inner += o.inner;
        found += o.found;
        lossWithin += o.lossWithin;
        ends += o.ends;
        extra += o.extra;
        extraAny += o.extraAny;
    }
};

std::string upper(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

// The instrument family, told by the supplier, mainframe and module names.
std::string family(const sor::SORParser& p)
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

std::vector<std::string> sorFiles(const std::vector<std::string>& paths)
{
    std::vector<std::string> files;
    for (const auto& path : paths) {
        std::error_code error;
        if (std::filesystem::is_directory(path, error)) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(path, error)) {
                const std::string ext = upper(entry.path().extension().string());
                if (entry.is_regular_file(error) && ext == ".SOR")
                    files.push_back(entry.path().string());
            }
        } else {
            files.push_back(path);
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool isEnd(const sor::KeyEventData& e) { return e.EventCode.size() >= 2 && e.EventCode[1] == 'E'; }

} // namespace

int main(int argc, char** argv)
{
    bool verbose = false;
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-v")
            verbose = true;
        else
            paths.push_back(arg);
    }
    if (paths.empty())
        paths.push_back(SOR_SAMPLES_DIR);
    const auto files = sorFiles(paths);
    if (files.empty()) {
        std::fprintf(stderr, "no .sor files in the paths given\n");
        return 1;
    }

    std::map<std::string, Tally> families;
    int skipped = 0;
    for (const auto& path : files) {
        std::unique_ptr<sor::SORParser> parser;
        {
            const QuietFd quiet;
            parser = std::make_unique<sor::SORParser>(analysis::widePath(path));
        }
        const auto& p = *parser;
        const auto& list = p.events.keyEvents;
        const double step = p.fxd.SampleDistance * 0.001;
        const double start = p.acquisitionOffsetKm() - p.userOffsetKm();
        const double last = start + step * static_cast<double>(p.data.DataPoints.size() - 1);
        bool sound = p.fileParsed && p.events.parsed && !list.empty() && isEnd(list.back()) && step > 0;
        for (size_t i = 0; sound && i < list.size(); ++i) {
            sound = list[i].Distance >= start - step && list[i].Distance <= last
                && (i == 0 || list[i].Distance >= list[i - 1].Distance) && (i + 1 == list.size() || !isEnd(list[i]));
        }
        if (!sound) {
            ++skipped;
            if (verbose)
                std::printf("%s: no sound event table, left out\n", path.c_str());
            continue;
        }

        const auto began = std::chrono::steady_clock::now();
        const analysis::OwnAnalysis own = analysis::analyse(p, analysis::DetectionThresholds());
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
        const double tolerance = std::max({ analysis::pulseLengthKm(p.fxd.PulseWidth), 3 * step, 0.010 });
        const double instrumentEnd = list.back().Distance;

        Tally t;
        t.files = 1;
        t.seconds = seconds;
        std::vector<bool> taken(own.events.size(), false);
        const auto nearest = [&](double km) {
            int best = -1;
            for (size_t k = 0; k < own.events.size(); ++k) {
                const auto& e = own.events[k];
                if (taken[k] || e.kind == analysis::EventKind::End || std::fabs(e.km - km) > tolerance)
                    continue;
                if (best < 0 || std::fabs(e.km - km) < std::fabs(own.events[static_cast<size_t>(best)].km - km))
                    best = static_cast<int>(k);
            }
            return best;
        };
        if (verbose)
            std::printf("%s [%s] pulse %u ns, step %.2f m, tolerance %.1f m, %.1f ms\n", path.c_str(),
                family(p).c_str(), p.fxd.PulseWidth, step * 1000, tolerance * 1000, seconds * 1000);
        for (size_t i = 0; i + 1 < list.size(); ++i) {
            const auto& e = list[i];
            const auto loss = analysis::measuredEventLoss(e.SpliceLoss_Raw, e.Distance <= start + tolerance);
            const int match = nearest(e.Distance);
            const bool counted = loss && std::fabs(*loss) >= 0.1;
            if (match >= 0)
                taken[static_cast<size_t>(match)] = true;
            const analysis::OwnEvent* m = match >= 0 ? &own.events[static_cast<size_t>(match)] : nullptr;
            bool within = false;
            if (counted) {
                ++t.inner;
                if (m) {
                    ++t.found;
                    within = m->loss && std::fabs(*m->loss - *loss) <= std::max(0.05, 0.2 * std::fabs(*loss));
                    t.lossWithin += within ? 1 : 0;
                }
            }
            if (verbose) {
                std::printf("  %s %9.4f km  loss %7.3f  refl %8.3f   ", counted ? (m ? (within ? "ok  " : "LOSS") : "MISS") : "    ",
                    e.Distance, loss.value_or(NAN), analysis::measuredReflectance(e.ReflectionLoss_Raw).value_or(NAN));
                if (m)
                    std::printf("own %9.4f km (%+6.1f m) %-10s loss %7.3f refl %8.3f", m->km, (m->km - e.Distance) * 1000,
                        analysis::eventKindName(m->kind), m->loss.value_or(NAN), m->reflectance.value_or(NAN));
                std::printf("\n");
            }
        }
        const auto end = std::find_if(own.events.begin(), own.events.end(),
            [](const analysis::OwnEvent& e) { return e.kind == analysis::EventKind::End; });
        const bool endFound = end != own.events.end() && std::fabs(end->km - instrumentEnd) <= tolerance;
        t.ends = endFound ? 1 : 0;
        for (size_t k = 0; k < own.events.size(); ++k) {
            const auto& e = own.events[k];
            if (taken[k] || e.kind == analysis::EventKind::End)
                continue;
            const bool listed = std::any_of(
                list.begin(), list.end(), [&](const sor::KeyEventData& f) { return std::fabs(f.Distance - e.km) <= tolerance; });
            // An instrument set to list losses from its threshold up could not list a smaller one.
            const double threshold = std::max(0.1, p.fxd.LossThreshold_dB);
            const bool unlisted = !listed && e.km < instrumentEnd - tolerance && e.loss && std::fabs(*e.loss) >= 0.1;
            const bool counts = unlisted && std::fabs(*e.loss) >= threshold;
            t.extra += counts ? 1 : 0;
            t.extraAny += unlisted ? 1 : 0;
            if (verbose && !listed)
                std::printf("  %s own %9.4f km %-10s loss %7.3f refl %8.3f\n", counts ? "EXTRA" : "extra", e.km,
                    analysis::eventKindName(e.kind), e.loss.value_or(NAN), e.reflectance.value_or(NAN));
        }
        if (verbose) {
            std::printf("  %s end %9.4f km, own ", endFound ? "ok  " : "END ", instrumentEnd);
            if (end != own.events.end())
                std::printf("%9.4f km (%+.1f m)", end->km, (end->km - instrumentEnd) * 1000);
            else
                std::printf("none");
            std::printf(", floor %.2f dB\n", own.floorDb.value_or(NAN));
        }
        families[family(p)].add(t);
        families[family(p)].seconds += seconds;
    }

    // A share of nothing is no figure.
    const auto percent = [](int part, int whole) {
        char text[16];
        if (whole <= 0)
            return std::string("-");
        std::snprintf(text, sizeof text, "%.1f", 100.0 * part / whole);
        return std::string(text);
    };
    std::printf("own event analysis against the instruments, default thresholds (%d files left out: no sound event "
                "table)\n",
        skipped);
    std::printf("  %-12s %5s %6s %8s %14s %7s %8s %12s\n", "family", "files", "events", "found %", "loss-within %",
        "ends %", "extra %", "extra all %");
    Tally all;
    const auto line = [&](const std::string& name, const Tally& t) {
        std::printf("  %-12s %5d %6d %8s %14s %7s %8s %12s\n", name.c_str(), t.files, t.inner,
            percent(t.found, t.inner).c_str(), percent(t.lossWithin, t.found).c_str(),
            percent(t.ends, t.files).c_str(), percent(t.extra, t.inner).c_str(), percent(t.extraAny, t.inner).c_str());
    };
    for (const auto& [name, t] : families) {
        line(name, t);
        all.add(t);
    }
    line("overall", all);
    return 0;
}
