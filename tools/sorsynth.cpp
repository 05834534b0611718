// sorsynth: writes a realistic synthetic .sor file for demos, tests and benchmarks.
#include "SyntheticFibre.h"
#include "SyntheticPair.h"
#include "SyntheticTrace.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
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
               "  --version      the program's name and version\n\n"
               "A fibre with a known truth (instead of the trace above):\n"
               "  --fibre KM     the fibre's length between its reels, or its whole length\n"
               "  --splices N    splices of 0.02 to 0.3 dB spread along it (default 4)\n"
               "  --wavelength NM  1310 or 1550 (default 1550), with its band's attenuation\n"
               "  --pulse NS     pulse width (default 100)\n"
               "  --noise DB     the noise floor, dB below the launch level (default 28)\n"
               "  --launch KM    a launch reel before the fibre, joined by a connector\n"
               "  --receive KM   a receive reel after it\n"
               "  --user-offset KM  the user's zero, from the front panel\n"
               "  --offset-unit U   the user offset distance field's unit: m (default) or dm\n"
               "  --truth FILE   write the truth as JSON: sections, events, where they show\n\n"
               "Both ends of fibres with a known truth, into a folder (instead of OUTPUT.sor):\n"
               "  --pair DIR     writes DIR/A/ELMMILnnnn_WL.sor measured from end A and\n"
               "                 DIR/B/MILELMnnnn_WL.sor from end B for every fibre and\n"
               "                 wavelength, and DIR/ELMMILnnnn.truth.json: the span, every\n"
               "                 event's true loss, its apparent loss and whether it is\n"
               "                 listed from each end, the bends' losses. --fibre KM is the\n"
               "                 span between the reels (default 25); --launch and --receive\n"
               "                 the reels (default 1 km each); --splices, --pulse, --noise,\n"
               "                 --samples and --seed as above\n"
               "  --fibres N     fibres of the cable (default 1)\n"
               "  --bends N      bends per fibre, a tenth of their 1550 nm loss at 1310 nm\n"
               "                 (default 1)\n"
               "  --wavelengths LIST  comma-separated, of 1310, 1550, 1625 (default 1310,1550)\n",
        out);
}

bool number(const char* text, double& value)
{
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0';
}

} // namespace

struct FibreOptions {
    double km = 0; ///< 0: no fibre model
    unsigned splices = 4;
    unsigned wavelength = 1550;
    double pulse = 100;
    double noise = 28;
    double launch = 0, receive = 0, userOffset = 0;
    bool decimetres = false;
    std::string truth;
    bool reelsGiven = false;
    std::string pairDir; ///< both ends of fibres into this folder
    unsigned fibres = 1;
    unsigned bends = 1;
    std::vector<uint16_t> wavelengths { 1310, 1550 };
};

// Writes both ends of every fibre at every wavelength with the truth beside them.
int writePairs(const FibreOptions& o, uint32_t samples, uint32_t seed)
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::create_directories(fs::path(o.pairDir) / "A", error);
    fs::create_directories(fs::path(o.pairDir) / "B", error);
    const double span = o.km > 0 ? o.km : 25.0;
    for (unsigned n = 1; n <= o.fibres; ++n) {
        synth::FibrePlan plan = synth::randomPlan(span, o.splices, o.bends, seed * 1000 + n);
        plan.number = n;
        if (o.reelsGiven) {
            plan.launchKm = o.launch;
            plan.receiveKm = o.receive;
        }
        plan.pulseNs = o.pulse;
        plan.noiseFloorDb = -o.noise;
        plan.samples = samples;
        plan.spacingMetres = std::max(0.25, o.pulse * 0.102 / 4);
        if (samples > 0) {
            const double whole = (plan.launchKm + span + plan.receiveKm) * 1.1 * 1000;
            plan.spacingMetres = std::max(plan.spacingMetres, whole / samples);
        }
        for (const uint16_t nm : o.wavelengths) {
            for (const bool fromB : { false, true }) {
                const fs::path file = fs::path(o.pairDir) / (fromB ? "B" : "A")
                    / (plan.fibreId(fromB) + "_" + std::to_string(nm) + ".sor");
                if (!sortest::writeFile(file.string(), synth::render(synth::measured(plan, nm, fromB)).build())) {
                    std::fprintf(stderr, "sorsynth: cannot write %s\n", file.string().c_str());
                    return 1;
                }
            }
        }
        const fs::path truthFile = fs::path(o.pairDir) / (plan.fibreId(false) + ".truth.json");
        std::ofstream truth(truthFile, std::ios::binary | std::ios::trunc);
        truth << synth::pairTruthJson(plan, o.wavelengths);
        if (!truth.flush()) {
            std::fprintf(stderr, "sorsynth: cannot write %s\n", truthFile.string().c_str());
            return 1;
        }
    }
    return 0;
}

synth::Fibre fibreOf(const FibreOptions& o, uint32_t seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double glass = o.wavelength == 1310 ? 0.33 : 0.19;
    std::vector<synth::Section> sections;
    // Splices join lengths of glass whose backscatter differs a little, as real fibres do.
    for (unsigned k = 0; k <= o.splices; ++k)
        sections.push_back({ o.km / (o.splices + 1), glass + 0.01 * (unit(rng) - 0.5), 0.1 * (unit(rng) - 0.5) });
    synth::Fibre f = o.launch > 0 || o.receive > 0 ? synth::withReels(sections, o.launch, o.receive) : synth::Fibre();
    if (o.launch <= 0 && o.receive <= 0) {
        for (const auto& s : sections)
            f.add(s);
    }
    for (unsigned k = 1; k <= o.splices; ++k)
        f.events.push_back({ o.launch + k * o.km / (o.splices + 1), 0.02 + 0.28 * unit(rng), std::nullopt, true });
    f.wavelengthNm = static_cast<uint16_t>(o.wavelength);
    f.pulseNs = o.pulse;
    f.noiseFloorDb = -o.noise;
    f.spacingMetres = std::max(0.25, o.pulse * 0.102 / 4);
    f.userOffsetKm = o.userOffset;
    f.userOffsetUnit = o.decimetres ? synth::DistanceUnit::DeciMetre : synth::DistanceUnit::Metre;
    f.seed = seed;
    return f;
}

int main(int argc, char** argv)
{
    SynthOptions options;
    FibreOptions fibre;
    std::string output;
    bool samplesGiven = false;
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
        if (arg == "--pair") {
            if (i + 1 >= argc) {
                std::fputs("sorsynth: --pair needs a folder\n", stderr);
                return 2;
            }
            fibre.pairDir = argv[++i];
            continue;
        }
        if (arg == "--wavelengths") {
            fibre.wavelengths.clear();
            std::string list = i + 1 < argc ? argv[++i] : "";
            for (size_t at = 0; at <= list.size();) {
                const size_t comma = std::min(list.find(',', at), list.size());
                const std::string item = list.substr(at, comma - at);
                if (item == "1310" || item == "1550" || item == "1625")
                    fibre.wavelengths.push_back(static_cast<uint16_t>(std::stoi(item)));
                else
                    fibre.wavelengths.clear(), at = list.size();
                at = comma + 1;
            }
            if (fibre.wavelengths.empty()) {
                std::fputs("sorsynth: --wavelengths needs a list of 1310, 1550 and 1625\n", stderr);
                return 2;
            }
            continue;
        }
        if (arg == "--truth" || arg == "--offset-unit") {
            if (i + 1 >= argc
                || (arg == "--offset-unit" && std::strcmp(argv[i + 1], "m") != 0
                    && std::strcmp(argv[i + 1], "dm") != 0)) {
                std::fprintf(stderr, "sorsynth: %s needs %s\n", arg.c_str(), arg == "--truth" ? "a file" : "m or dm");
                return 2;
            }
            ++i;
            if (arg == "--truth")
                fibre.truth = argv[i];
            else
                fibre.decimetres = std::strcmp(argv[i], "dm") == 0;
            continue;
        }
        if (arg == "--fibre" || arg == "--splices" || arg == "--wavelength" || arg == "--pulse" || arg == "--noise"
            || arg == "--launch" || arg == "--receive" || arg == "--user-offset" || arg == "--fibres"
            || arg == "--bends") {
            if (i + 1 >= argc || !number(argv[i + 1], value) || value < 0 || value > 1000000) {
                std::fprintf(stderr, "sorsynth: %s needs a non-negative number\n", arg.c_str());
                return 2;
            }
            ++i;
            if (arg == "--fibre")
                fibre.km = std::min(value, 400.0);
            else if (arg == "--splices")
                fibre.splices = static_cast<unsigned>(std::min(value, 1000.0));
            else if (arg == "--wavelength")
                fibre.wavelength = value < 1430 ? 1310 : 1550;
            else if (arg == "--pulse")
                fibre.pulse = std::clamp(value, 1.0, 20000.0);
            else if (arg == "--noise")
                fibre.noise = std::min(value, 60.0);
            else if (arg == "--launch")
                fibre.launch = std::min(value, 10.0), fibre.reelsGiven = true;
            else if (arg == "--receive")
                fibre.receive = std::min(value, 10.0), fibre.reelsGiven = true;
            else if (arg == "--fibres")
                fibre.fibres = static_cast<unsigned>(std::min(value, 9999.0));
            else if (arg == "--bends")
                fibre.bends = static_cast<unsigned>(std::min(value, 100.0));
            else
                fibre.userOffset = std::min(value, 10.0);
            continue;
        }
        if (arg == "--samples" || arg == "--spacing" || arg == "--events" || arg == "--seed") {
            if (i + 1 >= argc || !number(argv[i + 1], value) || value < 0) {
                std::fprintf(stderr, "sorsynth: %s needs a non-negative number\n", arg.c_str());
                return 2;
            }
            ++i;
            if (arg == "--samples")
                options.samples = static_cast<uint32_t>(std::min(value, 4.0e6)), samplesGiven = true;
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
    if (!fibre.pairDir.empty()) {
        if (!output.empty()) {
            usage(stderr);
            return 2;
        }
        return writePairs(fibre, samplesGiven ? options.samples : 0, options.seed);
    }
    if (output.empty()) {
        usage(stderr);
        return 2;
    }
    if (fibre.km > 0) {
        const synth::Fibre f = fibreOf(fibre, options.seed);
        if (!sortest::writeFile(output, synth::render(f).build())) {
            std::fprintf(stderr, "sorsynth: cannot write %s\n", output.c_str());
            return 1;
        }
        if (!fibre.truth.empty()) {
            std::ofstream truth(fibre.truth, std::ios::binary | std::ios::trunc);
            truth << synth::truthJson(f);
            if (!truth.flush()) {
                std::fprintf(stderr, "sorsynth: cannot write %s\n", fibre.truth.c_str());
                return 1;
            }
        }
        return 0;
    }
    if (!sortest::writeFile(output, synthesize(options).build())) {
        std::fprintf(stderr, "sorsynth: cannot write %s\n", output.c_str());
        return 1;
    }
    return 0;
}
