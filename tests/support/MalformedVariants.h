#pragma once

#include "SorBuilder.h"

#include <cstddef>
#include <string>
#include <vector>

// Malformed .sor byte images derived from well-formed and real files, for robustness tests of the reader and of the
// views that show what it read.
namespace sortest {

struct NamedImage {
    std::string name; ///< "base/kind/detail"
    Bytes bytes;
};

/// Where each block of an image lies, read from the image's own Map without the reader under test.
struct Layout {
    struct Span {
        std::string name;
        size_t offset = 0; ///< of the identifier
        size_t size = 0; ///< as the Map gives it
    };
    bool valid = false; ///< the Map could be read and every block lies inside the image
    uint16_t mapVersion = 0;
    size_t mapEnd = 0; ///< first byte after the Map's last entry
    std::vector<MapEntry> entries;
    std::vector<Span> blocks; ///< the Map block first, then one per entry
};

Layout readLayout(const Bytes& image);

/// The images the variants derive from: builder files, small synthetic traces and, when samplesDir names a folder,
/// its instrument files (*.sor).
std::vector<NamedImage> baseImages(const std::string& samplesDir);

/// Deterministic variants of each base: truncation at every block boundary and at random points, random byte and
/// field corruption, absurd counts and sizes, unterminated texts, and Map lists that disagree with the blocks
/// (reordered, missing, extra, wrong sizes).
std::vector<NamedImage> malformedVariants(const std::vector<NamedImage>& bases);
std::vector<NamedImage> malformedVariants(const std::string& samplesDir);

} // namespace sortest
