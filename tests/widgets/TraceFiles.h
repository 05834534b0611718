#pragma once

#include "SorBuilder.h"

#include "sor/SORParser.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <cstdio>
#include <memory>
#include <vector>

// Trace files for widget tests, written into the test's working directory.
namespace TraceFiles {

// Samples whose levels fall 0.001 dB per sample, on a 1 m grid (distances i / 1000 km).
inline std::vector<uint16_t> ramp(size_t n)
{
    std::vector<uint16_t> samples(n);
    for (size_t i = 0; i < n; ++i)
        samples[i] = static_cast<uint16_t>(i % 60000);
    return samples;
}

// A sample spacing that makes the distance between samples exactly 1 m with an index of 1.5.
inline sortest::Fxd oneMetreGrid()
{
    sortest::Fxd fxd;
    fxd.indexRefraction = 150000;
    fxd.sampleSpacing = 500346; // ~1.000 m; tests read distances from the parser
    return fxd;
}

inline QString write(const sortest::Bytes& bytes, const QString& name)
{
    const QString path = QDir::current().absoluteFilePath(name);
    sortest::writeFile(path.toStdString(), bytes);
    return path;
}

inline QString writeTrace(const std::vector<uint16_t>& samples, const QString& name,
    const sortest::Events& events = sortest::Events(), const sortest::Fxd& fxd = oneMetreGrid())
{
    sortest::SorBuilder b;
    b.gen(sortest::Gen()).sup(sortest::Sup()).fxd(fxd).events(events).data(sortest::Data(samples));
    return write(b.build(), name);
}

inline std::unique_ptr<sor::SORParser> parse(const QString& path)
{
    std::fflush(stdout);
    auto parser = std::make_unique<sor::SORParser>(path.toStdWString());
    std::fflush(stdout);
    return parser;
}

} // namespace TraceFiles
