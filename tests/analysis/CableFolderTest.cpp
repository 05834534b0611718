#include "CableFolder.h"
#include "TempDir.h"

#include "analysis/FileSummary.h"
#include "analysis/FolderListing.h"
#include "analysis/SummaryTable.h"
#include "analysis/Verdict.h"

#include <gtest/gtest.h>

using namespace analysis;

namespace {

std::string joined(const std::vector<std::string>& parts)
{
    std::string out;
    for (const auto& p : parts)
        out += (out.empty() ? "" : "; ") + p;
    return out;
}

} // namespace

TEST(CableFolder, EveryTraceOnceWithItsVerdict)
{
    const sortest::TempDir dir;
    const auto expected = cablefolder::write(dir.path());
    const auto listed = listSorFiles(dir.path());
    ASSERT_EQ(listed.size(), expected.size());

    std::vector<FileSummary> rows;
    for (const auto& f : listed)
        rows.push_back(summarizeFile(f.path, f.relative));
    Counts counts;
    const Thresholds defaults;
    for (size_t i = 0; i < rows.size(); ++i) {
        const auto& e = expected[i];
        SCOPED_TRACE(e.file);
        EXPECT_EQ(listed[i].relative, e.file);
        EXPECT_EQ(listed[i].path, dir.path() + "/" + e.file);
        EXPECT_EQ(rows[i].file, e.file);
        const Verdict v = evaluate(rows[i], defaults);
        EXPECT_EQ(outcomeText(v.outcome), e.verdict);
        const std::string why = joined(reasons(rows[i], defaults));
        if (v.outcome == Outcome::Error)
            EXPECT_NE(why.find(e.reasons), std::string::npos) << why;
        else
            EXPECT_EQ(why, e.reasons);
        EXPECT_EQ(cellText(rows[i], v, Column::FibreLength), e.length);
        counts.add(v.outcome);
    }
    EXPECT_EQ(countsText(counts), cablefolder::counts());

    // What a parsed row holds beside its verdict.
    const FileSummary& f002 = rows[1];
    EXPECT_EQ(f002.fibreId, "F01");
    EXPECT_EQ(f002.events, 4);
    EXPECT_EQ(cellText(f002, {}, Column::WorstSplice), "0.420");
    EXPECT_EQ(cellText(f002, {}, Column::WorstConnector), "0.200"); // the launch connector; the fibre end is no event
    EXPECT_EQ(cellText(f002, {}, Column::WorstReflectance), "-50.000");
    EXPECT_EQ(cellText(f002, {}, Column::Checksum),
        "matches CRC-16/CCITT-FALSE over all bytes before the checksum, as the standard says");
    EXPECT_EQ(cellText(rows[7], {}, Column::Wavelength), "1550");
}

TEST(CableFolder, ListingStopsWhenAsked)
{
    const sortest::TempDir dir;
    cablefolder::write(dir.path());
    EXPECT_TRUE(listSorFiles(dir.path(), [] { return true; }).empty());
    EXPECT_TRUE(listSorFiles(dir.path() + "/missing").empty());
    EXPECT_TRUE(listSorFiles(dir.path() + "/F001.sor").empty());
}

struct OrderCase {
    const char* a;
    const char* b;
    bool less;
};

TEST(CableFolder, NaturalOrderOfNames)
{
    const OrderCase cases[] = {
        OrderCase { "F2.sor", "F10.sor", true },
        OrderCase { "F10.sor", "F2.sor", false },
        OrderCase { "f2", "F3", true },
        OrderCase { "F3", "f2", false },
        OrderCase { "F02", "F2", true },
        OrderCase { "F2", "F02", false },
        OrderCase { "a", "ab", true },
        OrderCase { "sub/F1", "sub2", true },
        OrderCase { "F9", "F9", false },
        OrderCase { "9", "10", true },
        OrderCase { "x100y2", "x100y10", true },
    };
    for (const auto& c : cases)
        EXPECT_EQ(naturalLess(c.a, c.b), c.less) << c.a << " < " << c.b;
}

TEST(SorExtension, AnyLetterCase)
{
    for (const char* name : { "a.sor", "a.SOR", "a.Sor", ".sor" })
        EXPECT_TRUE(hasSorExtension(name)) << name;
    for (const char* name : { "a.sor.bak", "asor", "a.so", "sor", "a.sorx" })
        EXPECT_FALSE(hasSorExtension(name)) << name;
}
