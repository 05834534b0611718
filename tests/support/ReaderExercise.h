#pragma once

#include <cstddef>
#include <string>

namespace sor {
class SORParser;
}

namespace sortest {

/// Calls every read-only operation of a parser the way the viewer, the tools and the dumps do, at ordinary and
/// hostile arguments (NaN, infinities, distances and windows outside the trace). Returns the first broken
/// invariant as a text, or an empty text. The trace list literal is only built for traces of at most
/// pythonListLimit samples, to keep the run short.
std::string exerciseParser(sor::SORParser& parser, size_t pythonListLimit = 512);

} // namespace sortest
