// Measurement speed in CPU time of this thread (the machine is shared): a file's summary (the trace measured at
// every event) beside its parse, and the primitives one call at a time, on a large trace and on the 30 000-sample
// traces a cable holds.
#include "BenchUtil.h"

#include "analysis/FileSummary.h"
#include "analysis/TraceMeasure.h"
#include "sor/SORParser.h"

#include <cstdio>
#include <memory>

namespace {

void measure(const std::string& path, const char* title)
{
    const std::wstring wide(path.begin(), path.end());
    const int reps = 15;
    std::unique_ptr<sor::SORParser> parser;
    const double parseMs = bench::medianCpuMs(
        reps, [&] { parser = std::make_unique<sor::SORParser>(wide, sor::nowhere(), sor::nowhere()); });
    std::fprintf(stderr, "%s: %zu samples, %zu events, CPU time, median of %d runs\n", title, parser->data.DataPoints.size(),
        parser->events.keyEvents.size(), reps);
    bench::row("parse: SORParser(path)", parseMs);
    bench::row("summarize: every event measured on the trace",
        bench::medianCpuMs(reps, [&] { analysis::summarize(*parser, "bench.sor"); }));
    analysis::FileSummary s = analysis::summarize(*parser, "bench.sor");
    analysis::Thresholds cables;
    cables.launchCable.mode = analysis::CableSetting::Mode::Auto;
    bench::row("span redrawn 1000 times for other cables", bench::medianCpuMs(reps, [&] {
        for (int i = 0; i < 1000; ++i)
            analysis::applyCables(s, cables);
    }));

    const auto& xy = parser->getXY();
    const analysis::TraceSamples trace { xy[1].data(), xy[1].size(), xy[0][0], parser->fxd.SampleDistance * 0.001 };
    analysis::EventWindow w;
    w.deadZoneKm = analysis::deadZoneKm(parser->fxd.PulseWidth, trace.stepKm);
    const double end = xy[0].back();
    double sink = 0;
    bench::row("eventLoss, four-point, 300 m a side (per call)", bench::medianCpuMs(reps, [&] {
        for (int i = 0; i < 1000; ++i) {
            w.atKm = xy[0][0] + (end - xy[0][0]) * (0.1 + 0.0007 * i);
            sink += analysis::eventLoss(trace, w).value_or(0);
        }
    }) / 1000);
    bench::row("sectionAttenuation over the whole trace", bench::medianCpuMs(reps, [&] {
        sink += analysis::sectionAttenuation(trace, xy[0][0], end, w.deadZoneKm).value_or(0);
    }));
    if (sink == 12345)
        std::fputs("", stderr);
}

} // namespace

int main(int argc, char** argv)
{
    const bench::TraceFile large(argc, argv, "tavix-bench-measure-1M.sor");
    measure(large.path, "large trace");
    SynthOptions o;
    o.samples = 30000;
    o.events = 12;
    o.seed = 3;
    const std::string small = (std::filesystem::temp_directory_path() / "tavix-bench-measure-30k.sor").string();
    sortest::writeFile(small, synthesize(o).build());
    measure(small, "cable trace");
    std::filesystem::remove(small);
    return 0;
}
