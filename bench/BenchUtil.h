#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
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

inline void row(const std::string& what, double ms) { std::fprintf(stderr, "  %-52s %10.3f ms\n", what.c_str(), ms); }

// The reader writes progress lines; keep them out of the figures.
class QuietStdout {
public:
    QuietStdout()
    {
        std::fflush(stdout);
        saved = ::dup(STDOUT_FILENO);
        const int sink = ::open("/dev/null", O_WRONLY);
        ::dup2(sink, STDOUT_FILENO);
        ::close(sink);
    }
    ~QuietStdout()
    {
        std::fflush(stdout);
        ::dup2(saved, STDOUT_FILENO);
        ::close(saved);
    }

private:
    int saved = -1;
};

} // namespace bench
