#pragma once

#include "SorBuilder.h"
#include "SyntheticTrace.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace bench {

// Median wall time in milliseconds of reps runs of f.
inline double medianMs(int reps, const std::function<void()>& f)
{
    std::vector<double> times;
    for (int i = 0; i < reps; ++i) {
        const auto start = std::chrono::steady_clock::now();
        f();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// CPU time of this thread in milliseconds: the machine is shared, and wall time would count the other tenants.
inline double cpuNowMs()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Median CPU time of this thread in milliseconds of reps runs of f.
inline double medianCpuMs(int reps, const std::function<void()>& f)
{
    std::vector<double> times;
    for (int i = 0; i < reps; ++i) {
        const double start = cpuNowMs();
        f();
        times.push_back(cpuNowMs() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

inline void row(const std::string& what, double ms) { std::fprintf(stderr, "  %-52s %10.3f ms\n", what.c_str(), ms); }

// The trace named on the command line, or else a generated one of 1 000 000 samples that lives as long as this.
class TraceFile {
public:
    TraceFile(int argc, char** argv, const char* tempName)
    {
        if (argc > 1) {
            path = argv[1];
            return;
        }
        temp = (std::filesystem::temp_directory_path() / tempName).string();
        SynthOptions o;
        o.samples = 1000000;
        o.spacingMetres = 0.1;
        o.events = 12;
        sortest::writeFile(temp, synthesize(o).build());
        path = temp;
    }
    ~TraceFile()
    {
        if (!temp.empty())
            std::remove(temp.c_str());
    }
    TraceFile(const TraceFile&) = delete;
    TraceFile& operator=(const TraceFile&) = delete;

    std::string path;

private:
    std::string temp;
};

} // namespace bench
