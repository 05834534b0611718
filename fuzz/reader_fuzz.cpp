// libFuzzer target for the .sor reader: any bytes go through the same path as a file on disk, and every parse that
// succeeds is read through every getter, fit and dump.
#include "ReaderExercise.h"

#include "sor/SORParser.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string inputPath;
std::wstring inputWidePath;

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

    // The reader's lines would drown libFuzzer's and the sanitizers' own.
    sor::SORParser parser(inputWidePath, sor::nowhere(), sor::nowhere());
    const std::string problem = sortest::exerciseParser(parser);
    if (!problem.empty()) {
        std::fprintf(stderr, "reader invariant broken: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
