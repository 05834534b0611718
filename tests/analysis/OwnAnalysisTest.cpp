#include "GeneratedTrace.h"
#include "InstrumentComparison.h"
#include "SyntheticFibre.h"
#include "TempDir.h"

#include "analysis/EventEditing.h"
#include "analysis/OwnAnalysis.h"
#include "analysis/Verdict.h"
#include "analysis/WidePath.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

using namespace analysis;

namespace {

// A fibre with a 0.3 dB splice at 4 km, a -40 dB connector at 7 km and its end at 10 km; thresholds that hide the
// splice, so that the technician has to add it.
struct Edited : testing::Test {
    Edited()
        : fibre(make())
        , g(fibre)
    {
        thresholds.spliceLoss = 0.5;
        own = detectEvents(g.trace, acquisitionOf(*g.parsed.parser), thresholds);
        acquisition = acquisitionOf(*g.parsed.parser);
    }
    static synth::Fibre make()
    {
        synth::Fibre f;
        f.add({ 10, 0.2, 0 });
        f.events.push_back({ 4, 0.3, std::nullopt, true });
        f.events.push_back({ 7, 0.4, -40.0, true });
        return f;
    }
    size_t count(OwnEventKind kind) const
    {
        return static_cast<size_t>(
            std::count_if(own.events.begin(), own.events.end(), [&](const OwnEvent& e) { return e.kind == kind; }));
    }
    synth::Fibre fibre;
    GeneratedTrace g;
    DetectionThresholds thresholds;
    Acquisition acquisition;
    OwnAnalysis own;
};

} // namespace

TEST_F(Edited, AddedEventsAreMeasuredWhereTheyStand)
{
    ASSERT_EQ(own.events.size(), 2u); // the connector and the end; the splice is below the threshold
    const auto added = addEvent(own, g.trace, acquisition, 4.0);
    ASSERT_TRUE(added);
    const OwnEvent& e = own.events[*added];
    EXPECT_EQ(e.edit, Edit::Added);
    EXPECT_EQ(e.kind, OwnEventKind::Splice);
    ASSERT_TRUE(e.loss);
    EXPECT_NEAR(*e.loss, 0.3, 0.03);
    EXPECT_EQ(std::string(editName(e.edit)), "added");

    // Where there is nothing, an added event loses nothing.
    const auto empty = addEvent(own, g.trace, acquisition, 2.0);
    ASSERT_TRUE(empty);
    EXPECT_NEAR(own.events[*empty].loss.value_or(99), 0.0, 0.03);
    EXPECT_EQ(own.events.size(), 4u);

    // Past the end or off the trace there is no fibre.
    EXPECT_FALSE(addEvent(own, g.trace, acquisition, 11.0));
    EXPECT_FALSE(addEvent(own, g.trace, acquisition, -5.0));
    EXPECT_EQ(own.events.size(), 4u);
}

TEST_F(Edited, AnAddedPeakIsAReflection)
{
    thresholds.reflectance = -30; // hides the connector
    own = detectEvents(g.trace, acquisition, thresholds);
    ASSERT_EQ(count(OwnEventKind::Reflective), 0u);
    own.thresholds.reflectance = -65;
    const auto added = addEvent(own, g.trace, acquisition, 7.0);
    ASSERT_TRUE(added);
    EXPECT_EQ(own.events[*added].kind, OwnEventKind::Reflective);
    EXPECT_NEAR(own.events[*added].reflectance.value_or(0), -40, 1.5);
}

TEST_F(Edited, MovedAndDeletedEventsRoundTrip)
{
    const OwnAnalysis before = own;
    const size_t connector = 0;
    ASSERT_EQ(own.events[connector].kind, OwnEventKind::Reflective);
    const double loss = own.events[connector].loss.value_or(0);

    // Moved off the connector, the event measures nothing there; moved back, its loss again.
    auto at = moveEvent(own, g.trace, acquisition, connector, 5.5);
    ASSERT_TRUE(at);
    EXPECT_EQ(own.events[*at].edit, Edit::Moved);
    EXPECT_NEAR(own.events[*at].loss.value_or(99), 0.0, 0.03);
    at = moveEvent(own, g.trace, acquisition, *at, 7.0);
    ASSERT_TRUE(at);
    EXPECT_EQ(own.events[*at].edit, Edit::Moved);
    EXPECT_NEAR(own.events[*at].loss.value_or(99), loss, 0.03);

    // Nothing passes the end, and the end passes nothing.
    const size_t end = own.events.size() - 1;
    EXPECT_FALSE(moveEvent(own, g.trace, acquisition, *at, 10.5));
    EXPECT_FALSE(moveEvent(own, g.trace, acquisition, end, 6.0));
    EXPECT_FALSE(moveEvent(own, g.trace, acquisition, 99, 6.0));

    // Added and deleted again: the analysis as it was.
    const auto added = addEvent(own, g.trace, acquisition, 4.0);
    ASSERT_TRUE(added);
    ASSERT_TRUE(deleteEvent(own, g.trace, acquisition, *added));
    ASSERT_EQ(own.events.size(), before.events.size());
    for (size_t k = 0; k < own.events.size(); ++k)
        EXPECT_NEAR(own.events[k].loss.value_or(0), before.events[k].loss.value_or(0), 0.005);
    EXPECT_FALSE(deleteEvent(own, g.trace, acquisition, 99));

    // Without its end the fibre has none.
    ASSERT_TRUE(deleteEvent(own, g.trace, acquisition, own.events.size() - 1));
    EXPECT_EQ(count(OwnEventKind::End), 0u);
}

// The file as its own analysis shows it: the events found and edited in its KeyEvents block, read back by the same
// rules as any file's; the file itself keeps its own.
TEST_F(Edited, TheFileAsTheAnalysisShowsIt)
{
    const auto added = addEvent(own, g.trace, acquisition, 4.0);
    ASSERT_TRUE(added);
    const sor::SORParser& file = *g.parsed.parser;
    const auto fileEvents = file.events.keyEvents;
    const sor::SORParser shown = withOwnEvents(file, own);
    ASSERT_EQ(shown.events.keyEvents.size(), own.events.size());
    EXPECT_EQ(file.events.keyEvents.size(), fileEvents.size());
    for (size_t k = 0; k < own.events.size(); ++k) {
        const auto& d = shown.events.keyEvents[k];
        EXPECT_EQ(d.EventNr, k + 1);
        EXPECT_DOUBLE_EQ(d.Distance, own.events[k].km);
        EXPECT_EQ(d.Comment, editName(own.events[k].edit));
    }
    EXPECT_EQ(shown.events.keyEvents[*added].EventCode, "0A9999LS");
    EXPECT_EQ(shown.events.keyEvents.back().EventCode.substr(0, 2), "1E"); // a cleaved, reflecting end
    EXPECT_EQ(shown.events.keyEvents[*added].EventType, "loss/gain event manual (0A9999LS)");
    EXPECT_NEAR(shown.events.FiberLength, own.events.back().km, 1e-12);

    // The summary of the shown file is the summary by the own events.
    const FileSummary byCopy = summarize(shown, "f.sor");
    const FileSummary byOwn = summarizeOwn(file, own, "f.sor");
    ASSERT_TRUE(byCopy.fibreLength && byOwn.fibreLength && byCopy.totalLoss && byOwn.totalLoss);
    EXPECT_NEAR(*byCopy.fibreLength, *byOwn.fibreLength, 1e-6);
    EXPECT_NEAR(*byCopy.totalLoss, *byOwn.totalLoss, 0.002);
    ASSERT_TRUE(byCopy.splice.value && byOwn.splice.value);
    EXPECT_NEAR(*byCopy.splice.value, *byOwn.splice.value, 0.001);
    EXPECT_EQ(byOwn.events, static_cast<int>(own.events.size()));
}

// Every family of the shared instrument files against what its instrument listed: the accuracy the analysis
// promises over all of them, and no family far behind.
TEST(RealFiles, OwnAnalysisFindsWhatTheInstrumentsFound)
{
    const std::filesystem::path dir(SOR_SAMPLES_DIR);
    if (!std::filesystem::is_directory(dir))
        GTEST_SKIP() << "the shared instrument files are not at " << dir.string();
    struct Tally {
        int inner = 0, found = 0, lossWithin = 0, files = 0, ends = 0, extra = 0;
    };
    std::map<std::string, Tally> families;
    Tally all;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
        if (entry.path().extension() != ".sor")
            continue;
        const sor::SORParser parser(widePath(entry.path().string()), sor::nowhere(), sor::nowhere());
        const auto c = sortest::compareWithInstrument(parser, analyse(parser, DetectionThresholds()));
        if (!c.sound)
            continue;
        for (Tally* t : { &families[sortest::familyOf(parser)], &all }) {
            t->inner += c.inner;
            t->found += c.found;
            t->lossWithin += c.lossWithin;
            t->files += 1;
            t->ends += c.endFound ? 1 : 0;
            t->extra += c.extra;
        }
    }
    ASSERT_GT(all.files, 0);
    EXPECT_GE(all.found, 0.90 * all.inner);
    EXPECT_GE(all.lossWithin, 0.85 * all.found);
    EXPECT_GE(all.ends, 0.95 * all.files);
    EXPECT_LE(all.extra, 0.10 * all.inner);
    for (const auto& [name, t] : families) {
        SCOPED_TRACE(name);
        EXPECT_LE(t.inner - t.found, std::max(1.0, 0.1 * t.inner));
        EXPECT_LE(t.files - t.ends, 1);
    }
}

// A file of a fibre judged by its own analysis: the events its table leaves out count, and the span is drawn from
// them; a file that cannot be read again stays as it was.
TEST(FibreFiles, JudgedByTheOwnAnalysis)
{
    synth::Fibre f;
    f.add({ 10, 0.2, 0 });
    f.events = { { 3, 0.4, std::nullopt, false }, { 6, 0.5, -40.0, false } };
    const sortest::TempDir dir;
    const std::string path = dir.path() + "/unlisted.sor";
    sortest::writeFile(path, synth::render(f).build());
    FibreFile file = readFibreFile(path, "unlisted.sor", Thresholds());
    ASSERT_TRUE(file.summary.parsed);
    EXPECT_EQ(file.summary.events, 1); // the end only

    FibreFile gone = file;
    gone.path = path + ".gone";
    EXPECT_FALSE(useOwnAnalysis(gone, Thresholds()));
    EXPECT_EQ(gone.summary.events, 1);

    ASSERT_TRUE(useOwnAnalysis(file, Thresholds()));
    ASSERT_EQ(file.summary.eventList.size(), 3u);
    const double truth[] = { 3, 6, 10 };
    for (size_t k = 0; k < 3; ++k) {
        ASSERT_TRUE(file.summary.eventList[k].km);
        EXPECT_NEAR(*file.summary.eventList[k].km, truth[k], 0.02);
    }
    EXPECT_TRUE(file.summary.eventList[1].reflective);
    EXPECT_TRUE(file.summary.eventList[2].end);
    ASSERT_TRUE(file.summary.splice.value);
    EXPECT_NEAR(*file.summary.splice.value, 0.4, 0.08);
    ASSERT_TRUE(file.summary.fibreLength);
    EXPECT_NEAR(*file.summary.fibreLength, 10, 0.02);
}
