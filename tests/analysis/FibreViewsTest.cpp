#include "FibreFolder.h"
#include "TempDir.h"

#include "analysis/FibreSet.h"
#include "analysis/FibreTable.h"
#include "analysis/FolderListing.h"
#include "analysis/TableNumbers.h"
#include "sor/SORParser.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace analysis;

namespace {

FibreSet readSet(const std::vector<std::string>& paths, const Thresholds& t = Thresholds())
{
    return readFibreSet(paths, t);
}

std::vector<FibreFile> readCable(const std::string& dir)
{
    std::vector<FibreFile> files;
    for (const auto& f : listSorFiles(dir))
        files.push_back(readFibreFile(f.path, f.relative, Thresholds()));
    return files;
}

int pairedCount(const std::vector<FibreFiles>& fibres)
{
    int n = 0;
    for (const auto& f : fibres)
        for (const auto& w : f.wavelengths)
            n += w.ab >= 0 && w.ba >= 0;
    return n;
}

} // namespace

// B's samples turned onto A's axis: every event B's instrument lists lands, on the mirrored trace, where the
// analysis puts that event (within the analysis's own tolerance), and the trace still rises in distance.
TEST(FibreViews, MirroredSamplesLandOnTheAnalysedEvents)
{
    const sortest::TempDir dir;
    const auto written = fibrefolder::write(dir.path(), 1, { 1310, 1550 });
    const FibreSet set = readSet({ written.ab[0], written.ab[1], written.ba[0], written.ba[1] });
    ASSERT_EQ(set.analysis.wavelengths.size(), 2u);
    for (size_t k = 0; k < 2; ++k) {
        const WavelengthAnalysis& w = set.analysis.wavelengths[k];
        ASSERT_TRUE(w.paired() && w.mirrorKm);
        sor::SORParser b = *set.parser(k, true);
        const std::vector<double> own = b.getXY()[0];
        sor::SORParser mirrored = mirroredParser(b, *w.mirrorKm);
        const auto& x = mirrored.getXY()[0];
        ASSERT_EQ(x.size(), own.size());
        EXPECT_TRUE(std::is_sorted(x.begin(), x.end()));
        int checked = 0;
        for (const FibreEvent& e : w.events) {
            if (!e.kmBA || e.indexBA < 0)
                continue;
            const size_t i = size_t(b.getClosestIndex_X(*e.kmBA));
            const double landed = x[x.size() - 1 - i];
            EXPECT_NEAR(landed, e.km, w.toleranceKm + std::fabs(own[1] - own[0])) << "event at " << e.km;
            EXPECT_DOUBLE_EQ(mirrored.getYValue(landed), b.getXY()[1][i]);
            ++checked;
        }
        EXPECT_GE(checked, 3);
    }
}

struct TableCase {
    const char* name;
    std::optional<double> maxSplice;
    std::optional<double> maxBend;
};

class FibreTableMarks : public testing::TestWithParam<TableCase> { };

// The table of a generated fibre: a row per event of the analysis with its averaged loss, the average marked where
// it exceeds the splice limit, bends marked with both wavelengths' losses only under a bend limit.
TEST_P(FibreTableMarks, RowsAndMarksFollowTheThresholds)
{
    const TableCase& c = GetParam();
    const sortest::TempDir dir;
    const auto written = fibrefolder::write(dir.path(), 1, { 1310, 1550 });
    Thresholds t;
    t.maxSpliceLoss = c.maxSplice;
    t.maxBendDelta = c.maxBend;
    const FibreSet set = readSet({ written.ab[0], written.ab[1], written.ba[0], written.ba[1] }, t);
    const FibreVerdict v = evaluateFibre(set.analysis, t);
    for (size_t k = 0; k < set.analysis.wavelengths.size(); ++k) {
        const auto& w = set.analysis.wavelengths[k];
        const auto rows = fibreTable(set.analysis, k, v, t);
        ASSERT_EQ(rows.size(), w.events.size());
        int bendRows = 0;
        for (size_t i = 0; i < rows.size(); ++i) {
            const FibreEvent& e = w.events[i];
            const auto& cells = rows[i].cells;
            EXPECT_EQ(cells[size_t(FibreColumn::Position)], fixed3(e.km));
            EXPECT_EQ(cells[size_t(FibreColumn::Average)], e.loss ? fixed3(*e.loss) : "\xe2\x80\x93");
            const bool spliceOver = e.judged && e.kind == EventKind::Splice && !rows[i].atBend && e.loss && c.maxSplice
                && shown(*e.loss) > *c.maxSplice;
            EXPECT_EQ(bool(rows[i].failed & SpliceRule), spliceOver) << "row " << i;
            EXPECT_EQ(columnFails(FibreColumn::Average, rows[i].failed), spliceOver || rows[i].atBend);
            if (rows[i].atBend) {
                ++bendRows;
                EXPECT_NE(cells[size_t(FibreColumn::Bend)].find("1310 nm"), std::string::npos);
                EXPECT_NE(cells[size_t(FibreColumn::Bend)].find("1550 nm"), std::string::npos);
            } else {
                EXPECT_TRUE(cells[size_t(FibreColumn::Bend)].empty());
            }
        }
        EXPECT_EQ(bendRows, c.maxBend ? 1 : 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Limits, FibreTableMarks,
    testing::Values(TableCase { "defaults", 0.30, 0.5 }, TableCase { "strict", 0.05, 0.5 },
        TableCase { "noLimits", std::nullopt, std::nullopt }),
    [](const auto& info) { return std::string(info.param.name); });

struct PairingCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> pairs;
    std::vector<std::string> alone;
    int fibres; ///< rows of the analysis: fibres
    int paired; ///< wavelengths with both ends
};

class ManualPairing : public testing::TestWithParam<PairingCase> { };

// Three fibres from both ends and a fourth from A only: paired by the rules, then by hand (the lone file with
// another fibre's end, which leaves its partner alone), and kept apart by hand.
TEST_P(ManualPairing, OverridesTheRules)
{
    const PairingCase& c = GetParam();
    const sortest::TempDir dir;
    fibrefolder::write(dir.path(), 4, { 1550 }, { 4 });
    const auto files = readCable(dir.path());
    ASSERT_EQ(files.size(), 7u);
    ManualPairs m;
    for (const auto& [a, b] : c.pairs)
        m.pair(a, b);
    for (const auto& f : c.alone)
        m.unpair(f);
    const auto fibres = pairWithManual(files, m);
    EXPECT_EQ(int(fibres.size()), c.fibres);
    EXPECT_EQ(pairedCount(fibres), c.paired);
    int used = 0;
    for (const auto& f : fibres)
        for (const auto& w : f.wavelengths)
            used += (w.ab >= 0) + (w.ba >= 0);
    EXPECT_EQ(used, 7);
    const ManualPairs back = parsePairs(pairsText(m));
    EXPECT_EQ(back.pairs, m.pairs);
    EXPECT_EQ(back.alone, m.alone);
}

INSTANTIATE_TEST_SUITE_P(Cable, ManualPairing,
    testing::Values(PairingCase { "byRules", {}, {}, 4, 3 },
        PairingCase { "loneWithAnother", { { "A/ELMMIL0004_1550.sor", "B/MILELM0003_1550.sor" } }, {}, 4, 3 },
        PairingCase { "keptApart", {}, { "B/MILELM0002_1550.sor" }, 5, 2 },
        PairingCase { "missingFile", { { "A/nothing.sor", "B/MILELM0001_1550.sor" } }, {}, 4, 3 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FibreViews, PairsFileAndCounts)
{
    const ManualPairs m
        = parsePairs("pair\ta.sor\tb.sor\r\nalone\tc.sor\nbogus line\npair\tx.sor\tx.sor\npair\tonly\n");
    ASSERT_EQ(m.pairs.size(), 1u);
    EXPECT_EQ(m.pairs[0], std::make_pair(std::string("a.sor"), std::string("b.sor")));
    EXPECT_EQ(m.alone, std::vector<std::string> { "c.sor" });

    Counts c;
    for (const Outcome o : { Outcome::Pass, Outcome::Pass, Outcome::Fail, Outcome::Incomplete })
        c.add(o);
    EXPECT_EQ(fibreCountsText(c), "4 fibres: 2 pass, 1 fail, 1 incomplete");
    Counts one;
    one.add(Outcome::Error);
    EXPECT_EQ(fibreCountsText(one), "1 fibre: 0 pass, 0 fail, 1 error");
}
