#pragma once

#include "Parse.h"
#include "SyntheticFibre.h"

#include "analysis/TraceMeasure.h"

// A generated fibre read back through the reader, with its trace as the measurements take it.
struct GeneratedTrace {
    explicit GeneratedTrace(const synth::Fibre& fibre)
        : parsed(sortest::parseBytes(synth::render(fibre).build()))
    {
        const auto& xy = parsed->getXY();
        trace.db = xy[1].data();
        trace.size = xy[1].size();
        trace.startKm = xy[0].empty() ? 0.0 : xy[0][0];
        trace.stepKm = parsed->fxd.SampleDistance * 0.001;
    }
    sortest::Parsed parsed;
    analysis::TraceSamples trace;
};
