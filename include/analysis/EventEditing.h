#pragma once

#include "analysis/EventDetection.h"

#include <cstddef>
#include <optional>

// The technician's corrections to an own analysis: an event added, moved or deleted. Each is measured where it
// stands, and its neighbours again, since their fits end at it; the file is never touched.
namespace analysis {

/// Adds an event at km: a reflection when a peak there reaches the reflectance threshold, else a splice or a gain by
/// its loss. None when km lies off the trace or past the end of the fibre. Returns the new event's index.
std::optional<size_t> addEvent(OwnAnalysis& analysis, const TraceSamples& trace, const Acquisition& acquisition, double km);

/// Moves the event at index to km and measures it there; an event placed by hand stays "added". None, and nothing
/// moved, when km lies off the trace or an event other than the end would pass the end. Returns its new index.
std::optional<size_t> moveEvent(
    OwnAnalysis& analysis, const TraceSamples& trace, const Acquisition& acquisition, size_t index, double km);

/// Deletes the event at index (the end too: the fibre then has no end found); false for an index out of range.
bool deleteEvent(OwnAnalysis& analysis, const TraceSamples& trace, const Acquisition& acquisition, size_t index);

/// "added", "moved" or empty: what the event list says of an event.
const char* editName(Edit edit);

} // namespace analysis
