#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>

// Points a file descriptor (standard output unless named) at /dev/null while it lives: the reader writes progress
// lines for every file it opens. Both streams are flushed on the way in and out, so nothing changes place.
class QuietFd {
public:
    explicit QuietFd(int fd_ = STDOUT_FILENO)
        : fd(fd_)
    {
        flush();
        saved = ::dup(fd);
        const int sink = ::open("/dev/null", O_WRONLY);
        if (sink >= 0) {
            ::dup2(sink, fd);
            ::close(sink);
        }
    }
    ~QuietFd()
    {
        flush();
        if (saved >= 0) {
            ::dup2(saved, fd);
            ::close(saved);
        }
    }
    QuietFd(const QuietFd&) = delete;
    QuietFd& operator=(const QuietFd&) = delete;

private:
    static void flush()
    {
        std::cout.flush();
        std::cerr.flush();
        std::fflush(nullptr);
    }
    int fd;
    int saved = -1;
};
