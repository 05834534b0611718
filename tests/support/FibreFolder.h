#pragma once

#include "SorBuilder.h"
#include "SyntheticPair.h"

#include <filesystem>
#include <string>
#include <vector>

// Generated cables measured from both ends, written as an acceptance test leaves them: DIR/A and DIR/B with one
// file per fibre and wavelength, the fibre's number in the IDs and the names.
namespace fibrefolder {

struct Written {
    std::vector<std::string> ab; ///< the files from A, fibre by fibre, then wavelength by wavelength
    std::vector<std::string> ba;
};

/// The plan of fibre number n of a generated cable: a 10 km span, three splices, a bend.
inline synth::FibrePlan plan(unsigned n)
{
    synth::FibrePlan p = synth::randomPlan(10, 3, 1, 100 + n);
    p.number = n;
    p.noiseFloorDb = -30;
    p.spacingMetres = 4;
    return p;
}

/// Writes fibres 1..count at the wavelengths; a fibre whose number is in oneEnd has only its file from A.
inline Written write(const std::string& dir, unsigned count, const std::vector<uint16_t>& wavelengths,
    const std::vector<unsigned>& oneEnd = {})
{
    namespace fs = std::filesystem;
    fs::create_directories(fs::path(dir) / "A");
    fs::create_directories(fs::path(dir) / "B");
    Written out;
    for (unsigned n = 1; n <= count; ++n) {
        const synth::FibrePlan p = plan(n);
        for (const uint16_t nm : wavelengths) {
            for (const bool fromB : { false, true }) {
                if (fromB && std::find(oneEnd.begin(), oneEnd.end(), n) != oneEnd.end())
                    continue;
                const fs::path file
                    = fs::path(dir) / (fromB ? "B" : "A") / (p.fibreId(fromB) + "_" + std::to_string(nm) + ".sor");
                sortest::writeFile(file.string(), synth::render(synth::measured(p, nm, fromB)).build());
                (fromB ? out.ba : out.ab).push_back(file.string());
            }
        }
    }
    return out;
}

} // namespace fibrefolder
