// The analysis of a cable measured from both ends: 144 fibres x 2 directions x 2 wavelengths (576 files of 30 000
// samples) read, paired, analysed and judged, from the page cache, on one thread.
#include "BenchUtil.h"
#include "SyntheticPair.h"

#include "analysis/FibreAnalysis.h"
#include "analysis/FibreSummary.h"
#include "analysis/FibreVerdict.h"

#include <cstdio>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;

// Writes the cable and returns its number of files.
int writeCable(const fs::path& dir, unsigned fibres)
{
    fs::create_directories(dir / "A");
    fs::create_directories(dir / "B");
    int files = 0;
    for (unsigned n = 1; n <= fibres; ++n) {
        synth::FibrePlan plan = synth::randomPlan(25, 8, n % 4 == 0 ? 1 : 0, 7000 + n);
        plan.number = n;
        plan.samples = 30000;
        plan.spacingMetres = 1.0;
        for (const uint16_t nm : { 1310, 1550 }) {
            for (const bool fromB : { false, true }) {
                const fs::path file
                    = dir / (fromB ? "B" : "A") / (plan.fibreId(fromB) + "_" + std::to_string(nm) + ".sor");
                sortest::writeFile(file.string(), synth::render(synth::measured(plan, nm, fromB)).build());
                ++files;
            }
        }
    }
    return files;
}

// Reads every file once, so that the runs find them in the page cache.
void touch(const fs::path& dir)
{
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
}

} // namespace

int main(int argc, char** argv)
{
    const unsigned fibres = argc > 1 ? static_cast<unsigned>(std::max(1, std::atoi(argv[1]))) : 144;
    const fs::path dir = fs::temp_directory_path() / "tavix-bench-fibres";
    fs::remove_all(dir);
    const double made = bench::medianMs(1, [&] { writeCable(dir, fibres); });
    touch(dir);
    analysis::Thresholds t;
    t.launchCable = t.receiveCable = { analysis::CableSetting::Mode::Auto, 0 };

    const int reps = 5;
    std::vector<double> read, pair, analyse, judge, whole, cpu;
    size_t files = 0, paired = 0, measured = 0, rows = 0, failing = 0;
    for (int r = 0; r < reps; ++r) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = bench::cpuNowMs();
        auto last = start;
        const auto lap = [&] {
            const auto now = std::chrono::steady_clock::now();
            const double ms = std::chrono::duration<double, std::milli>(now - last).count();
            last = now;
            return ms;
        };
        const std::vector<analysis::FibreFile> cable = analysis::readFibreFiles({ dir.string() }, t);
        read.push_back(lap());
        const auto pairs = analysis::pairFibres(cable);
        pair.push_back(lap());
        std::vector<analysis::FibreAnalysis> analyses;
        for (const auto& f : pairs)
            analyses.push_back(analysis::analyseFibre(f, cable));
        analyse.push_back(lap());
        std::vector<analysis::FibreRow> table;
        for (const auto& a : analyses) {
            for (auto& row : analysis::fibreRows(a, analysis::evaluateFibre(a, t)))
                table.push_back(std::move(row));
        }
        judge.push_back(lap());
        whole.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        cpu.push_back(bench::cpuNowMs() - cpuStart);

        files = cable.size();
        rows = table.size();
        paired = measured = failing = 0;
        for (const auto& a : analyses) {
            for (const auto& w : a.wavelengths) {
                paired += w.paired();
                for (const auto& e : w.events)
                    measured += e.measuredAB || e.measuredBA;
            }
        }
        for (const auto& row : table)
            failing += row.outcome == analysis::Outcome::Fail;
    }
    const auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    std::fprintf(stderr,
        "fibre benchmark: %u fibres x 2 directions x 2 wavelengths, 30000 samples a file (generated in %.1f s)\n"
        "from the page cache, one thread, median of %d runs\n",
        fibres, made / 1000, reps);
    bench::row("read: parse and summary of every file", median(read));
    bench::row("pair the files into fibres", median(pair));
    bench::row("analyse: match, average, measure one-sided events", median(analyse));
    bench::row("judge: verdicts and table rows", median(judge));
    bench::row("whole, wall time", median(whole));
    bench::row("whole, CPU time of the thread", median(cpu));
    std::fprintf(stderr,
        "  %zu files, %zu rows, %zu of them paired, %zu events measured on the other trace\n"
        "  %zu rows failing (bends)\n",
        files, rows, paired, measured, failing);
    const double goal = 2000.0 * fibres / 144;
    std::fprintf(
        stderr, "goal, within %.0f ms: %.0f ms, %s\n", goal, median(whole), median(whole) <= goal ? "met" : "MISSED");
    fs::remove_all(dir);
    return 0;
}
