#pragma once

#include "SorBuilder.h"
#include "SyntheticTrace.h"

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

// A folder as a cable test leaves it: traces with known events and losses, two synthetic ones, a truncated file, a
// version 1.x file, a file that is no trace, an upper-case extension, a subfolder and a link loop.
namespace cablefolder {

struct Expected {
    std::string file; ///< relative to the folder
    std::string verdict;
    std::string reasons; ///< "; "-joined, or a part of the reader's message for an error
    std::string length; ///< fibre length as the table shows it
};

// 0.1 ns units of travel time to a distance in km at the builder's default index 1.468.
inline int32_t timeOf(double km) { return static_cast<int32_t>(std::lround(km * 1.468 / (0.0000001 * 299.792458))); }

inline sortest::Event event(uint16_t number, double km, double loss, double reflectance, const char* code)
{
    sortest::Event e;
    e.number = number;
    e.timeOfTravel = timeOf(km);
    e.spliceLoss = static_cast<int16_t>(std::lround(loss * 1000));
    e.reflectionLoss = static_cast<int32_t>(std::lround(reflectance * 1000));
    e.code = code;
    return e;
}

// Launch connector, the given middle events, the fibre end at 10 km; total loss in dB, spread over the fibre's
// length as the slope of every section. The trace is a flat 13 km, long enough to hold every position.
inline sortest::Bytes trace(const std::vector<sortest::Event>& middle, double totalLoss, uint16_t wavelengthRaw = 13100,
    bool withEnd = true, const std::string& fibre = "F01")
{
    sortest::Events e;
    e.events.push_back(event(1, 0.0, 0.2, -50.0, "1F9999LS"));
    for (const auto& m : middle)
        e.events.push_back(m);
    if (withEnd)
        e.events.push_back(event(static_cast<uint16_t>(e.events.size() + 1), 10.0, 0.0, -14.0, "1E9999LS"));
    for (auto& ev : e.events)
        ev.slope = static_cast<int16_t>(std::lround(totalLoss / (withEnd ? 10.0 : 12.5) * 1000));
    e.totalLoss = static_cast<int32_t>(std::lround(totalLoss * 1000));
    e.fiberLength = static_cast<uint32_t>(timeOf(12.5)); // differs from the end event on purpose
    e.orl = 40000;
    sortest::Gen g;
    g.fiberId = fibre;
    sortest::Fxd f;
    f.wavelength = wavelengthRaw;
    f.sampleSpacing = 4897000; // about 10 m
    sortest::SorBuilder b;
    b.gen(g).sup(sortest::Sup()).fxd(f).events(e).data(sortest::Data(std::vector<uint16_t>(1300, 1000)));
    return b.build();
}

/// Writes the folder's files below dir and returns what the table must show, in natural order of the files.
inline std::vector<Expected> write(const std::string& dir)
{
    namespace fs = std::filesystem;
    fs::create_directories(dir + "/sub");
    fs::create_directories(dir + "/synth");
    const auto put
        = [&](const std::string& name, const sortest::Bytes& bytes) { sortest::writeFile(dir + "/" + name, bytes); };
    put("F001.sor", trace({ event(2, 2.0, 0.10, 0.0, "0F9999LS") }, 3.5));
    put("F002.sor", trace({ event(2, 3.102, 0.42, 0.0, "0F9999LS"), event(3, 5.0, 0.35, 0.0, "0F9999LS") }, 3.0));
    put("F003.sor", trace({ event(2, 4.0, 0.80, -30.0, "1F9999LS") }, 3.9));
    put("sub/F004.SOR", trace({}, 4.0, 15500));
    put("F005.sor", trace({ event(2, 1.0, 0.05, 0.0, "0F9999LS") }, 2.5, 13100, false));
    const sortest::Bytes whole = trace({}, 3.0);
    put("F006.sor", sortest::Bytes(whole.begin(), whole.begin() + 150));
    put("F007.sor", { 0x64, 0x00, 0x01, 0x02, 0x03, 0x04 });
    put("F008.sor", trace({ event(2, 6.0, 0.30, 0.0, "0F9999LS"), event(3, 7.0, 0.75, -35.0, "1F9999LS") }, 4.0));
    put("notes.txt", { 'n', 'o', 't', 'e', 's', '\n' });
    put("sub/F009.sor.bak", trace({}, 3.0));
    for (uint32_t seed : { 3u, 4u }) {
        SynthOptions o;
        // One event between the launch connector and the end: every limit holds whatever the seed.
        o.samples = 30000;
        o.events = 3;
        o.seed = seed;
        put("synth/S" + std::to_string(seed) + ".sor", synthesize(o).build());
    }
    std::error_code ignored;
    fs::create_directory_symlink("..", dir + "/sub/loop", ignored);

    return {
        { "F001.sor", "Pass", "", "10.000" },
        { "F002.sor", "Fail", "splice 0.42 dB at 3.102 km > 0.30 dB", "10.000" },
        { "F003.sor", "Fail", "connector 0.80 dB at 4.000 km > 0.75 dB; reflectance -30.00 dB at 4.000 km > -35.00 dB",
            "10.000" },
        { "F005.sor", "Pass", "", "12.500" },
        { "F006.sor", "Error", "Error while", "\xe2\x80\x93" },
        { "F007.sor", "Error", "version 1.x (100).", "\xe2\x80\x93" },
        { "F008.sor", "Pass", "", "10.000" },
        { "sub/F004.SOR", "Fail", "attenuation 0.40 dB/km > 0.30 dB/km at 1550 nm", "10.000" },
        { "synth/S3.sor", "Pass", "", "24.000" },
        { "synth/S4.sor", "Pass", "", "24.000" },
    };
}

/// The counts line of the folder above.
inline const char* counts() { return "10 files: 5 pass, 3 fail, 2 errors"; }

} // namespace cablefolder
