#pragma once

#include "analysis/FibreFile.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// A fibre at one wavelength judged as acceptance tests judge it: measured from both ends, each event's loss the
// average of both directions. Where two fibres with different backscatter meet, the instrument at A sees the loss
// L + ΔB and the one at B sees L − ΔB; only their average is the splice's loss.
namespace analysis {

enum class EventKind { Splice, Reflective, End };
const char* eventKindText(EventKind k); ///< "splice", "reflective", "end"

/// Which end's instrument listed an event.
enum class Listed { Both, AB, BA };
const char* listedText(Listed l); ///< "both", "AB", "BA"

/// "A→B" and "B→A", as the reasons and the tables name the directions.
extern const char* const directionAB;
extern const char* const directionBA;

/// One event of the fibre as both ends see it.
struct FibreEvent {
    double km = 0; ///< on A's axis: where A's file puts it, averaged with where B's file puts it mirrored
    EventKind kind = EventKind::Splice;
    Listed source = Listed::Both;
    std::optional<double> loss; ///< dB: the average of both directions; a file without a partner: its own
    std::optional<double> lossAB; ///< dB, as A's file lists it, or measured on A's trace where it lists none
    std::optional<double> lossBA;
    bool measuredAB = false; ///< lossAB was measured on the trace, not listed
    bool measuredBA = false;
    std::optional<double> reflectance; ///< dB: the worse of the two
    std::optional<double> reflectanceAB;
    std::optional<double> reflectanceBA;
    std::optional<double> kmAB; ///< on A's own axis
    std::optional<double> kmBA; ///< on B's own axis
    int indexAB = -1; ///< in A's event list, -1 where A does not list it
    int indexBA = -1;
    bool judged = false; ///< on the span and not one of the fibre's ends: the thresholds apply
    bool cableConnector = false; ///< a launch or receive cable's connector at a span end: judged as a connector
};

/// One fibre at one wavelength, from the files of both ends or of one.
struct WavelengthAnalysis {
    std::optional<double> wavelength; ///< nm, nominal
    std::string fileAB; ///< as shown; empty when no file from A
    std::string fileBA;
    std::string error; ///< the reader's message for a file that cannot be read
    std::optional<double> startKm; ///< the span on A's axis: A's own, or B's mirrored without A
    std::optional<double> endKm;
    std::optional<double> lengthKm; ///< the larger of the two spans
    std::optional<double> lengthAB;
    std::optional<double> lengthBA;
    std::optional<double> totalLoss; ///< dB, the average of both directions
    std::optional<double> totalLossAB;
    std::optional<double> totalLossBA;
    std::optional<double> attenuation; ///< dB/km, the average of both directions
    std::optional<double> attenuationAB;
    std::optional<double> attenuationBA;
    std::optional<double> orl; ///< dB, the worse of both directions
    std::optional<double> orlAB;
    std::optional<double> orlBA;
    std::optional<double> mirrorKm; ///< B's positions on A's axis: x_A = mirrorKm − x_B
    double toleranceKm = 0.02; ///< how far apart the two ends may place one event: 20 m, or the pulse's length
                               ///< and a sample of each trace
    std::vector<FibreEvent> events; ///< in the order of their places on A's axis
    std::vector<std::string> incomplete; ///< why the fibre cannot be judged in full
    std::vector<std::string> warnings; ///< what to look at, whatever the verdict
    bool bothEnds = false; ///< both files read and B's turned onto A's axis

    bool paired() const { return bothEnds; }
};

/// The events of both files matched and averaged. ab and ba are the files measured from A and from B (either may be
/// null); their summaries' events and spans are used, so a caller may replace the events first (useEvents). Events
/// listed by one end are measured on the other end's trace by the four-point method.
WavelengthAnalysis analyseWavelength(const FibreFile* ab, const FibreFile* ba);

/// The losses at places on A's axis (km, reflective) measured on the files' traces by the four-point method (the
/// average of both directions when paired), beside the analysis's events; none where a trace does not give one.
std::vector<std::optional<double>> lossesAtPlaces(const WavelengthAnalysis& analysis, const FibreFile* ab,
    const FibreFile* ba, const std::vector<std::pair<double, bool>>& places);

} // namespace analysis
