// Speed of the own event analysis in CPU time of this thread (the machine is shared), beside the parse of the same
// file: a large trace, and the 30 000-sample traces a cable holds.
// Usage: bench_analysis [FILE.sor]   (default: a generated trace of 1 000 000 samples)
#include "BenchUtil.h"

#include "analysis/OwnAnalysis.h"
#include "sor/SORParser.h"

#include <cstdio>
#include <memory>

namespace {

void measure(const std::string& path, const char* title)
{
    const std::wstring wide(path.begin(), path.end());
    const int reps = 15;
    std::unique_ptr<sor::SORParser> parser;
    double parseMs = 0;
    parseMs = bench::medianCpuMs(
        reps, [&] { parser = std::make_unique<sor::SORParser>(wide, sor::nowhere(), sor::nowhere()); });
    const analysis::DetectionThresholds thresholds;
    size_t events = 0;
    const double analyseMs = bench::medianCpuMs(reps, [&] { events = analysis::analyse(*parser, thresholds).events.size(); });
    analysis::OwnAnalysis own = analysis::analyse(*parser, thresholds);
    std::fprintf(stderr, "%s: %zu samples, %zu events found, CPU time, median of %d runs\n", title,
        parser->data.DataPoints.size(), events, reps);
    bench::row("parse: SORParser(path)", parseMs);
    bench::row("analyse: every event found and measured", analyseMs);
    bench::row("summarize by the own events", bench::medianCpuMs(reps, [&] {
        analysis::summarizeOwn(*parser, own, "bench.sor");
    }));
    std::fprintf(stderr, "  goal, analysis <= 50 ms: %s\n", analyseMs <= 50 ? "met" : "missed");
}

} // namespace

int main(int argc, char** argv)
{
    const bench::TraceFile large(argc, argv, "tavix-bench-analysis-1M.sor");
    measure(large.path, "large trace");
    SynthOptions o;
    o.samples = 30000;
    o.events = 12;
    o.seed = 3;
    const std::string small = (std::filesystem::temp_directory_path() / "tavix-bench-analysis-30k.sor").string();
    sortest::writeFile(small, synthesize(o).build());
    measure(small, "cable trace");
    std::filesystem::remove(small);
    return 0;
}
