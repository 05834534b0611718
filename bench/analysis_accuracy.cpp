// How well the own event analysis finds what the instruments found, on real files with a sound event table
// (ascending positions inside the trace, the end last), with the default thresholds: the instrument's inner events
// of 0.1 dB and more found at their place (within the pulse's length, 3 samples or 10 m), of those the share whose
// loss is within 0.05 dB or 20 %, the ends found at their place, and the events of 0.1 dB and more found before the
// instrument's end that it did not list, as a share of its inner events: of those at least as large as the loss
// threshold the instrument was set to (FxdParams), which it could have listed, and of all. Per instrument family and
// overall.
// Usage: bench_analysis_accuracy [-v] [PATH...]   (default: the shared instrument files)
#include "InstrumentComparison.h"

#include "analysis/OwnAnalysis.h"
#include "analysis/WidePath.h"
#include "sor/SORParser.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#ifndef SOR_SAMPLES_DIR
#error "SOR_SAMPLES_DIR is set by the build"
#endif

namespace {

struct Tally {
    int files = 0;
    int inner = 0;
    int found = 0;
    int lossWithin = 0;
    int ends = 0;
    int extra = 0;
    int extraAny = 0;

    void add(const sortest::Comparison& c)
    {
        files += 1;
        inner += c.inner;
        found += c.found;
        lossWithin += c.lossWithin;
        ends += c.endFound ? 1 : 0;
        extra += c.extra;
        extraAny += c.extraAny;
    }
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

std::vector<std::string> sorFiles(const std::vector<std::string>& paths)
{
    std::vector<std::string> files;
    for (const auto& path : paths) {
        std::error_code error;
        if (std::filesystem::is_directory(path, error)) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(path, error)) {
                std::string ext = entry.path().extension().string();
                std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
                if (entry.is_regular_file(error) && ext == ".sor")
                    files.push_back(entry.path().string());
            }
        } else {
            files.push_back(path);
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// A share of nothing is no figure.
std::string percent(int part, int whole)
{
    if (whole <= 0)
        return "-";
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", 100.0 * part / whole);
    return text;
}

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
        const auto parser = std::make_unique<sor::SORParser>(analysis::widePath(path), sor::nowhere(), sor::nowhere());
        const auto began = std::chrono::steady_clock::now();
        const analysis::OwnAnalysis own = analysis::analyse(*parser, analysis::DetectionThresholds());
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began).count();
        const sortest::Comparison c = sortest::compareWithInstrument(*parser, own);
        if (!c.sound) {
            ++skipped;
            if (verbose)
                std::printf("%s: no sound event table, left out\n", path.c_str());
            continue;
        }
        if (verbose)
            std::printf("%s [%s] pulse %u ns, step %.2f m, %.1f ms\n%s", path.c_str(), sortest::familyOf(*parser).c_str(),
                parser->fxd.PulseWidth, parser->fxd.SampleDistance, ms, c.report.c_str());
        families[sortest::familyOf(*parser)].add(c);
    }

    std::printf("own event analysis against the instruments, default thresholds (%d files left out: no sound event "
                "table)\n",
        skipped);
    std::printf("  %-12s %5s %6s %8s %14s %7s %8s %12s\n", "family", "files", "events", "found %", "loss-within %",
        "ends %", "extra %", "extra all %");
    const auto row = [&](const std::string& name, const Tally& t) {
        std::printf("  %-12s %5d %6d %8s %14s %7s %8s %12s\n", name.c_str(), t.files, t.inner,
            percent(t.found, t.inner).c_str(), percent(t.lossWithin, t.found).c_str(), percent(t.ends, t.files).c_str(),
            percent(t.extra, t.inner).c_str(), percent(t.extraAny, t.inner).c_str());
    };
    Tally all;
    for (const auto& [name, t] : families) {
        row(name, t);
        all.add(t);
    }
    row("overall", all);
    return 0;
}
