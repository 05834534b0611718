#pragma once

#include <iostream>
#include <sstream>

// The standard streams that the reader writes to by default keep what is written while it lives, off the test's
// output: views read their files with the default streams. Test failures must be reported after it is gone.
class QuietReader {
public:
    QuietReader()
        : savedOut(std::cout.rdbuf(out.rdbuf()))
        , savedErr(std::cerr.rdbuf(err.rdbuf()))
    {
    }
    ~QuietReader()
    {
        std::cout.rdbuf(savedOut);
        std::cerr.rdbuf(savedErr);
    }
    QuietReader(const QuietReader&) = delete;
    QuietReader& operator=(const QuietReader&) = delete;

    std::string output() const { return out.str(); }
    std::string errors() const { return err.str(); }

private:
    std::ostringstream out;
    std::ostringstream err;
    std::streambuf* savedOut;
    std::streambuf* savedErr;
};
