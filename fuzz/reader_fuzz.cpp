// libFuzzer target for the .sor reader: any bytes go through the same path as a file on disk, and every parse that
// succeeds is read through every getter, fit and dump.
#include "ReaderExercise.h"

#include "sor/SORParser.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <streambuf>
#include <string>

namespace {

std::string inputPath;
std::wstring inputWidePath;

// Swallows the parser's error lines: there is one for nearly every input.
class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
};
NullBuffer nullBuffer;

std::string tempFolder()
{
    if (const char* dir = std::getenv("TMPDIR"); dir && *dir)
        return dir;
    return access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
}

void removeInput() { std::remove(inputPath.c_str()); }

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The reader reports its progress on standard output; libFuzzer and the sanitizers report on standard error.
    const int devNull = open("/dev/null", O_WRONLY);
    if (devNull >= 0) {
        dup2(devNull, STDOUT_FILENO);
        close(devNull);
    }
    std::cerr.rdbuf(&nullBuffer);

    // One file per process, rewritten for every input.
    inputPath = tempFolder() + "/tavix-fuzz-reader-" + std::to_string(getpid()) + ".sor";
    inputWidePath.assign(inputPath.begin(), inputPath.end());
    std::atexit(removeInput);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FILE* out = std::fopen(inputPath.c_str(), "wb");
    if (!out)
        std::abort();
    if (size > 0 && std::fwrite(data, 1, size, out) != size)
        std::abort();
    std::fclose(out);

    sor::SORParser parser(inputWidePath);
    const std::string problem = sortest::exerciseParser(parser);
    if (!problem.empty()) {
        std::fprintf(stderr, "reader invariant broken: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
