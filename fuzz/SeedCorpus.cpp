// fuzz_seeds: writes the starting corpus of a fuzz target.
// Usage: fuzz_seeds TARGET OUT-DIR [SAMPLES-DIR]
#include "MalformedVariants.h"
#include "SorBuilder.h"
#include "SyntheticTrace.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;
using namespace sortest;

namespace {

// Well-formed files of every shape the builder and the generator know, then a share of the malformed variants so
// the error paths are covered from the first run.
size_t readerSeeds(const fs::path& out, const char* samples)
{
    size_t written = 0;
    auto put = [&](std::string name, const Bytes& bytes) {
        std::replace(name.begin(), name.end(), '/', '_');
        if (writeFile((out / (name + ".sor")).string(), bytes))
            ++written;
    };

    for (const auto& base : baseImages(samples ? samples : ""))
        put("base-" + base.name, base.bytes);

    const auto variants = malformedVariants(samples ? samples : "");
    for (size_t i = 0; i < variants.size(); i += 7)
        put(variants[i].name, variants[i].bytes);
    return written;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fputs("Usage: fuzz_seeds TARGET OUT-DIR [SAMPLES-DIR]\n", stderr);
        return 2;
    }
    const std::string target = argv[1];
    const fs::path out = argv[2];
    std::error_code ec;
    fs::create_directories(out, ec);
    const char* samples = argc > 3 && fs::is_directory(argv[3]) ? argv[3] : nullptr;

    size_t written = 0;
    if (target == "reader")
        written = readerSeeds(out, samples);
    else {
        std::fprintf(stderr, "fuzz_seeds: no seeds known for target '%s'\n", target.c_str());
        return 0;
    }
    std::printf("%zu seeds for %s in %s\n", written, target.c_str(), out.c_str());
    return 0;
}
