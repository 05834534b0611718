// sorsynth: writes a realistic synthetic .sor file for demos, tests and benchmarks.
#include "SyntheticTrace.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#ifndef TAVIX_VERSION
#error "TAVIX_VERSION is set by the build"
#endif

namespace {

void usage(FILE* out)
{
    std::fputs("Usage: sorsynth [options] OUTPUT.sor\n"
               "Writes a synthetic OTDR trace (Telcordia SR-4731 version 2.0).\n\n"
               "Options:\n"
               "  --samples N    number of samples (default 30000)\n"
               "  --spacing M    sample spacing in metres (default 1.0)\n"
               "  --events K     key events, launch connector and fibre end included (default 6)\n"
               "  --seed S       random seed (default 1)\n"
               "  --help         this text\n"
               "  --version      the program's name and version\n",
        out);
}

bool number(const char* text, double& value)
{
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0';
}

} // namespace

int main(int argc, char** argv)
{
    SynthOptions options;
    std::string output;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        double value = 0;
        if (arg == "--help" || arg == "-h") {
            usage(stdout);
            return 0;
        }
        if (arg == "--version") {
            std::fputs("sorsynth (TAVIX SOR-Viewer) " TAVIX_VERSION "\n", stdout);
            return 0;
        }
        if (arg == "--samples" || arg == "--spacing" || arg == "--events" || arg == "--seed") {
            if (i + 1 >= argc || !number(argv[i + 1], value) || value < 0) {
                std::fprintf(stderr, "sorsynth: %s needs a non-negative number\n", arg.c_str());
                return 2;
            }
            ++i;
            if (arg == "--samples")
                options.samples = static_cast<uint32_t>(std::min(value, 4.0e6));
            else if (arg == "--spacing")
                options.spacingMetres = value > 0 ? value : 1.0;
            else if (arg == "--events")
                options.events = static_cast<unsigned>(std::min(value, 65535.0));
            else
                options.seed = static_cast<uint32_t>(value);
        } else if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr, "sorsynth: unknown option %s\n", arg.c_str());
            usage(stderr);
            return 2;
        } else {
            output = arg;
        }
    }
    if (output.empty()) {
        usage(stderr);
        return 2;
    }
    if (!sortest::writeFile(output, synthesize(options).build())) {
        std::fprintf(stderr, "sorsynth: cannot write %s\n", output.c_str());
        return 1;
    }
    return 0;
}
