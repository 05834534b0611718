#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>

namespace sortest {

// Sends standard output and standard error to /dev/null while it lives: the reader writes progress lines for every
// file, which would drown a test that opens thousands. Test failures must be reported after it is gone.
class QuietStdio {
public:
    QuietStdio()
    {
        flushAll();
        savedOut = ::dup(STDOUT_FILENO);
        savedErr = ::dup(STDERR_FILENO);
        const int devNull = ::open("/dev/null", O_WRONLY);
        if (devNull >= 0) {
            ::dup2(devNull, STDOUT_FILENO);
            ::dup2(devNull, STDERR_FILENO);
            ::close(devNull);
        }
    }
    ~QuietStdio()
    {
        flushAll();
        if (savedOut >= 0) {
            ::dup2(savedOut, STDOUT_FILENO);
            ::close(savedOut);
        }
        if (savedErr >= 0) {
            ::dup2(savedErr, STDERR_FILENO);
            ::close(savedErr);
        }
    }
    QuietStdio(const QuietStdio&) = delete;
    QuietStdio& operator=(const QuietStdio&) = delete;

private:
    static void flushAll()
    {
        std::cout.flush();
        std::cerr.flush();
        std::fflush(stdout);
        std::fflush(stderr);
    }
    int savedOut = -1;
    int savedErr = -1;
};

} // namespace sortest
