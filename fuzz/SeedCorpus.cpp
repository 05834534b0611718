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

// The file as the program writes it, and each of the reader's rules once: blanks, letter case, Windows line ends,
// repeated keys, colour names and forms, a zero byte, keys on one line.
size_t settingsSeeds(const fs::path& out)
{
    const std::string factory = "Theme:Bright\nCursorMode:1\nGraphColour:#ff0000\nSelectedMultiGraphPenColour:#32ff32\n"
                                "CursorMarkerColour:#ff9632\nCursorLineColour:#329632\nEventMarkerColour:#96ff32\n"
                                "EventLineColour:#969632\n";
    const std::string seeds[] = {
        factory,
        "Theme:  NATIVE \t\r\nCursorMode:0\r\nGraphColour:steelblue\r\n",
        "Theme:Dark\nTheme:Native\nGraphColour:#00ff00GraphColour:#0000ff\n",
        "CursorMode:7\nCursorMarkerColour: #123456\nCursorLineColour:#12\nEventMarkerColour:transparent\n",
        "EventLineColour:#80ff0000\nSelectedMultiGraphPenColour:#fff\nGraphColour:#ffffffffffff\n",
        std::string("Theme:Dark\n") + '\0' + "GraphColour:#00ff00\n",
        "# Theme:Bright CursorMode:0 GraphColour:red\n",
        "",
    };
    size_t written = 0;
    for (const auto& seed : seeds) {
        const Bytes bytes(seed.begin(), seed.end());
        if (writeFile((out / ("seed-" + std::to_string(written) + ".ini")).string(), bytes))
            ++written;
    }
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
    else if (target == "settings")
        written = settingsSeeds(out);
    else {
        std::fprintf(stderr, "fuzz_seeds: no seeds known for target '%s'\n", target.c_str());
        return 0;
    }
    std::printf("%zu seeds for %s in %s\n", written, target.c_str(), out.c_str());
    return 0;
}
