#include "MalformedVariants.h"
#include "Parse.h"
#include "SyntheticPair.h"
#include "TempFile.h"

#include "analysis/FibreAnalysis.h"
#include "analysis/FibreVerdict.h"
#include "analysis/FileSummary.h"
#include "analysis/FolderListing.h"
#include "analysis/Sentinels.h"
#include "analysis/SummaryTable.h"
#include "analysis/Verdict.h"
#include "analysis/WidePath.h"

#include "sor/SORParser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>

using namespace analysis;

namespace {

const std::string samples = SOR_SAMPLES_DIR;

bool within(const std::optional<double>& v, double lo, double hi) { return !v || (*v >= lo && *v <= hi); }

} // namespace

// Every instrument file's row holds measurements or "–", never a placeholder; its attenuation is the glass's, as its
// instrument recorded the sections' slopes.
TEST(RealFiles, SummariesHoldNoPlaceholder)
{
    if (!std::filesystem::is_directory(samples))
        GTEST_SKIP() << "no instrument files: " << samples << " is absent";
    int checked = 0;
    for (const auto& listed : listSorFiles(samples)) {
        SCOPED_TRACE(listed.relative);
        const sor::SORParser parser(widePath(listed.path), sor::nowhere(), sor::nowhere());
        if (!parser.fileParsed)
            continue;
        ++checked;
        const FileSummary s = summarize(parser, listed.relative);
        const auto& xs = const_cast<sor::SORParser&>(parser).getXY()[0];
        const double traceEnd = xs.empty() ? 0.0 : xs.back();

        ASSERT_TRUE(s.wavelength);
        const int band = nearestBand(*s.wavelength);
        ASSERT_GE(band, 0);
        EXPECT_EQ(*s.wavelength, attenuationBands[static_cast<size_t>(band)]);
        EXPECT_TRUE(within(s.fibreLength, 0.01, traceEnd));
        EXPECT_TRUE(within(s.attenuation, 0.15, 0.5)) << *s.attenuation;
        EXPECT_TRUE(within(s.totalLoss, 0.01, 60));
        EXPECT_TRUE(within(s.orl, 10, 70));
        for (const WorstEvent* w : { &s.splice, &s.connector }) {
            EXPECT_TRUE(within(w->value, -5, 5));
            EXPECT_TRUE(within(w->km, xs.front() - 0.01, traceEnd));
        }
        EXPECT_TRUE(within(s.reflectance.value, -100, 0));
        if (evaluate(s, Thresholds()).outcome == Outcome::Pass) {
            EXPECT_TRUE(s.incomplete.empty());
        }
        for (int c = 0; c < columnCount; ++c) {
            const std::string cell = cellText(s, evaluate(s, {}), static_cast<Column>(c));
            for (const char* placeholder : { "32.767", "-2147483", "nan", "inf" })
                EXPECT_EQ(cell.find(placeholder), std::string::npos) << columnTitle(static_cast<Column>(c));
        }

        // The glass between the events the instrument measured: the mean of its own slopes lies among them.
        std::vector<double> slopes;
        for (const auto& e : parser.events.keyEvents) {
            if (const auto slope = measuredSlope(e.Slope_Raw); slope && e.Distance > 0 && e.Distance <= *s.span.endKm)
                slopes.push_back(*slope);
        }
        if (!slopes.empty() && s.attenuation) {
            EXPECT_GE(*s.attenuation, *std::min_element(slopes.begin(), slopes.end()) - 1e-9);
            EXPECT_LE(*s.attenuation, *std::max_element(slopes.begin(), slopes.end()) + 1e-9);
        }
    }
    EXPECT_GE(checked, 1);
}

// Malformed files that the reader accepts are summarized promptly, with finite numbers or none; as either end of a
// fibre, its analysis holds finite numbers too.
TEST(MalformedFiles, SummariesArePromptAndFinite)
{
    const auto variants = sortest::malformedVariants(sortest::baseImages(""));
    Thresholds cables;
    cables.launchCable = { CableSetting::Mode::Auto, 0 };
    cables.receiveCable = { CableSetting::Mode::Length, 1 };
    const sortest::TempFile file(sortest::Bytes {}, "variant.sor");
    const sortest::Parsed partner
        = sortest::parseBytes(synth::render(synth::measured(synth::randomPlan(3, 2, 1, 9), 1550, false)).build());
    const FibreFile good = fibreFile(*partner.parser, std::string(), "A/good.sor", cables);
    const auto finite = [](const std::optional<double>& v) { return !v || std::isfinite(*v); };
    std::vector<std::string> problems;
    size_t summarized = 0;
    {
        for (const auto& v : variants) {
            if (!sortest::writeFile(file.path(), v.bytes))
                continue;
            const sor::SORParser parser(file.wpath(), sor::nowhere(), sor::nowhere());
            if (!parser.fileParsed)
                continue;
            const auto start = std::chrono::steady_clock::now();
            FileSummary s = summarize(parser, v.name, cables);
            applyCables(s, Thresholds());
            if (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() > 1.0)
                problems.push_back(v.name + ": slow");
            for (const auto& value : { s.fibreLength, s.totalLoss, s.attenuation, s.orl, s.wavelength, s.splice.value,
                     s.connector.value, s.reflectance.value, s.span.startKm, s.span.endKm }) {
                if (value && !std::isfinite(*value))
                    problems.push_back(v.name + ": a value that is not a number");
            }
            ++summarized;

            const FibreFile bad = fibreFile(parser, std::string(), "B/" + v.name, cables);
            for (const auto& [ab, ba] : { std::make_pair(&good, &bad), std::make_pair(&bad, &good) }) {
                const WavelengthAnalysis w = analyseWavelength(ab, ba);
                bool ok = finite(w.startKm) && finite(w.endKm) && finite(w.lengthKm) && finite(w.totalLoss)
                    && finite(w.attenuation) && finite(w.orl);
                for (const auto& e : w.events)
                    ok = ok && std::isfinite(e.km) && finite(e.loss) && finite(e.lossAB) && finite(e.lossBA);
                if (!ok)
                    problems.push_back(v.name + ": a fibre's value that is not a number");
            }
            for (const auto& a : analyseCable({ good, bad }))
                evaluateFibre(a, Thresholds());
        }
    }
    for (const auto& p : problems)
        ADD_FAILURE() << p;
    EXPECT_GT(summarized, 100u);
}
