#include "analysis/QuietOutput.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <mutex>
#include <streambuf>

namespace analysis {

namespace {
    // Swallows everything; keeps no state, so any number of threads may write to it at once.
    class NullBuffer : public std::streambuf {
    protected:
        int overflow(int c) override { return traits_type::not_eof(c); }
        std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
    };

    struct State {
        std::mutex mutex;
        int holds = 0;
        int savedOut = -1;
        struct stat sinkFile { }; ///< what standard output points at while silenced
        std::streambuf* savedErr = nullptr;
        NullBuffer sink;
    };

    State& state()
    {
        static State s;
        return s;
    }

    void flushAll()
    {
        std::cout.flush();
        std::cerr.flush();
        std::fflush(nullptr);
    }
} // namespace

bool QuietOutput::active()
{
    State& s = state();
    const std::lock_guard<std::mutex> lock(s.mutex);
    return s.holds > 0;
}

void QuietOutput::acquire()
{
    State& s = state();
    const std::lock_guard<std::mutex> lock(s.mutex);
    if (s.holds++ > 0)
        return;
    // What was written before goes where it was meant to.
    flushAll();
    s.savedOut = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
    const int sink = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (sink >= 0) {
        ::dup2(sink, STDOUT_FILENO);
        ::close(sink);
    }
    ::fstat(STDOUT_FILENO, &s.sinkFile);
    s.savedErr = std::cerr.rdbuf(&s.sink);
}

void QuietOutput::release()
{
    State& s = state();
    const std::lock_guard<std::mutex> lock(s.mutex);
    if (s.holds == 0 || --s.holds > 0)
        return;
    // What the readers left in the buffers still goes to /dev/null.
    flushAll();
    // Whoever changed the streams since has put them back already; their way is not undone.
    if (std::cerr.rdbuf() == &s.sink)
        std::cerr.rdbuf(s.savedErr);
    s.savedErr = nullptr;
    struct stat now { };
    if (s.savedOut >= 0 && ::fstat(STDOUT_FILENO, &now) == 0 && now.st_dev == s.sinkFile.st_dev
        && now.st_ino == s.sinkFile.st_ino)
        ::dup2(s.savedOut, STDOUT_FILENO);
    if (s.savedOut >= 0)
        ::close(s.savedOut);
    s.savedOut = -1;
}

} // namespace analysis
