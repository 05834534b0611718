#pragma once

#include "QuietFd.h"

#include <iostream>
#include <sstream>

// Standard output and the reader's error stream go nowhere while it lives: the reader reports every file it opens.
// Standard error stays, so the sanitizers can still speak. Test failures must be reported after it is gone.
class QuietReader {
public:
    QuietReader() { savedCerr = std::cerr.rdbuf(sink.rdbuf()); }
    ~QuietReader() { std::cerr.rdbuf(savedCerr); }
    QuietReader(const QuietReader&) = delete;
    QuietReader& operator=(const QuietReader&) = delete;

private:
    QuietFd out;
    std::ostringstream sink;
    std::streambuf* savedCerr = nullptr;
};
