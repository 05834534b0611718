#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <sstream>

// Standard output and the reader's error stream go nowhere while it lives: the reader reports every file it opens.
// Standard error stays, so the sanitizers can still speak. Test failures must be reported after it is gone.
class QuietReader {
public:
    QuietReader()
    {
        std::cout.flush();
        std::fflush(stdout);
        saved = ::dup(STDOUT_FILENO);
        const int devNull = ::open("/dev/null", O_WRONLY);
        if (devNull >= 0) {
            ::dup2(devNull, STDOUT_FILENO);
            ::close(devNull);
        }
        savedCerr = std::cerr.rdbuf(sink.rdbuf());
    }
    ~QuietReader()
    {
        std::cerr.rdbuf(savedCerr);
        std::cout.flush();
        std::fflush(stdout);
        if (saved >= 0) {
            ::dup2(saved, STDOUT_FILENO);
            ::close(saved);
        }
    }
    QuietReader(const QuietReader&) = delete;
    QuietReader& operator=(const QuietReader&) = delete;

private:
    int saved = -1;
    std::ostringstream sink;
    std::streambuf* savedCerr = nullptr;
};
