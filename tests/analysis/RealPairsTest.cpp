#include "analysis/FibreAnalysis.h"
#include "analysis/FibreVerdict.h"
#include "analysis/WidePath.h"

#include "sor/SORParser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>

using namespace analysis;

namespace {

const std::string pairs = std::string(SOR_SAMPLES_DIR) + "/fibre-both-ends";

// The loss each file lists for its events, straight from the reader.
std::map<std::string, std::vector<sor::KeyEventData>> listedEvents(const std::vector<FibreFile>& files)
{
    std::map<std::string, std::vector<sor::KeyEventData>> out;
    for (const auto& f : files)
        out[f.summary.file] = sor::SORParser(widePath(f.path), sor::nowhere(), sor::nowhere()).events.keyEvents;
    return out;
}

} // namespace

// The real pairs of the shared samples: both ends of EXFO fibres between reels at 1550 nm, and a Wavetek fibre
// without reels at 1310 and 1550 nm. Paired from their folders, IDs and names; each event both instruments list
// averages exactly their two listed losses; the events one instrument lists are measured on the other's trace; the
// spans run between the reels' connectors.
TEST(RealPairs, AverageTheListedLossesAndMeasureTheRest)
{
    if (!std::filesystem::is_directory(pairs))
        GTEST_SKIP() << "no pairs of instrument files: " << pairs << " is absent";
    Thresholds t;
    t.launchCable = t.receiveCable = { CableSetting::Mode::Auto, 0 };
    const std::vector<FibreFile> files = readFibreFiles({ pairs }, t);
    const auto listed = listedEvents(files);
    const auto fibres = pairFibres(files);

    int exfo = 0, wavetek = 0, matched = 0, oneSided = 0, measured = 0;
    for (const auto& fibre : fibres) {
        const FibreAnalysis a = analyseFibre(fibre, files);
        SCOPED_TRACE(a.fibreId);
        const bool reels = a.fibreId != "1";
        (reels ? exfo : wavetek) += 1;
        EXPECT_EQ(a.wavelengths.size(), reels ? 1u : 2u);
        for (size_t w = 0; w < a.wavelengths.size(); ++w) {
            const WavelengthAnalysis& wa = a.wavelengths[w];
            ASSERT_TRUE(wa.paired()) << wa.fileAB << wa.fileBA;
            EXPECT_NE(wa.fileAB.find(reels ? "/A/ELMMIL" : "je.sor"), std::string::npos) << wa.fileAB;
            const auto& fromA = listed.at(wa.fileAB);
            const auto& fromB = listed.at(wa.fileBA);
            const FibreFile& fileA = files[static_cast<size_t>(fibre.wavelengths[w].ab)];
            const FibreFile& fileB = files[static_cast<size_t>(fibre.wavelengths[w].ba)];

            // The span: between the reels' connectors (A's launch connector is B's receive connector), or from 0 to
            // the end of the fibre; both ends agree on its length.
            ASSERT_TRUE(wa.startKm && wa.endKm && wa.lengthAB && wa.lengthBA);
            const auto& spanA = fileA.summary.span;
            if (reels) {
                ASSERT_GE(spanA.startEvent, 0);
                EXPECT_EQ(*wa.startKm, fromA[static_cast<size_t>(spanA.startEvent)].Distance);
                EXPECT_NEAR(*wa.startKm, 1.0, 0.05);
                EXPECT_EQ(*wa.endKm, fromA[static_cast<size_t>(spanA.endEvent)].Distance);
                EXPECT_GE(fileB.summary.span.startEvent, 0);
            } else {
                EXPECT_EQ(*wa.startKm, 0.0);
                EXPECT_EQ(*wa.endKm, fromA.back().Distance);
            }
            EXPECT_LT(std::fabs(*wa.lengthAB - *wa.lengthBA), 0.01 * *wa.lengthAB);

            int judgedBoth = 0;
            for (const FibreEvent& e : wa.events) {
                if (!e.judged)
                    continue;
                if (e.source == Listed::Both) {
                    ++matched;
                    ++judgedBoth;
                    const double ab = fromA[static_cast<size_t>(e.indexAB)].SpliceLoss;
                    const double ba = fromB[static_cast<size_t>(e.indexBA)].SpliceLoss;
                    ASSERT_TRUE(e.loss);
                    EXPECT_EQ(*e.loss, (ab + ba) / 2) << e.km;
                    EXPECT_FALSE(e.measuredAB || e.measuredBA);
                    // Both instruments place it where the other does, mirrored through the spans (small splices on
                    // coarse samples up to twice the tolerance apart).
                    EXPECT_LE(std::fabs(*e.kmAB - (*wa.mirrorKm - *e.kmBA)), 2 * wa.toleranceKm);
                } else {
                    ++oneSided;
                    const bool byA = e.source == Listed::AB;
                    const auto& other = byA ? e.lossBA : e.lossAB;
                    EXPECT_EQ(byA ? e.measuredBA : e.measuredAB, other.has_value());
                    if (other) {
                        ++measured;
                        // A splice the other end did not list is small from there.
                        EXPECT_LT(std::fabs(*other), 0.05) << e.km;
                        EXPECT_EQ(*e.loss, ((byA ? *e.lossAB : *e.lossBA) + *other) / 2);
                    }
                }
            }
            if (!reels) {
                EXPECT_EQ(judgedBoth, 12) << "12 splices seen from both ends";
            }
        }
    }
    EXPECT_EQ(exfo, 5);
    EXPECT_EQ(wavetek, 1);
    EXPECT_GT(matched, 30);
    EXPECT_GT(oneSided, 10);
    EXPECT_EQ(measured, oneSided) << "one-sided events measured on the other trace";
}
