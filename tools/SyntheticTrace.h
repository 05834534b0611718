#pragma once

#include "SorBuilder.h"

#include <cstdint>

// A realistic synthetic OTDR measurement: backscatter slope, splices, connectors, the fibre end and a noise floor.
struct SynthOptions {
    uint32_t samples = 30000;
    double spacingMetres = 1.0;
    unsigned events = 6; ///< key events, the launch connector and the fibre end included
    uint32_t seed = 1;
};

sortest::SorBuilder synthesize(const SynthOptions& options);
