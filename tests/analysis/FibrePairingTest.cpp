#include "analysis/FibrePairing.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace analysis;

namespace {

// What pairing reads of a file: its name below the folder, GenParams' IDs and locations, the nominal wavelength,
// the span's length, the instrument.
struct Described {
    const char* file;
    const char* fibreId;
    const char* locationA = "ELMDALE";
    const char* locationB = "MILLER";
    double wavelength = 1550;
    double lengthKm = 67.5;
    const char* instrument = "";
    const char* cableId = "ELM-MIL";
};

FibreFile fileOf(const Described& l)
{
    FibreFile f;
    f.path = l.file;
    f.instrument = l.instrument;
    FileSummary& s = f.summary;
    s.file = l.file;
    s.parsed = l.wavelength > 0;
    s.fibreId = l.fibreId;
    s.cableId = l.cableId;
    s.locationA = l.locationA;
    s.locationB = l.locationB;
    if (s.parsed) {
        s.wavelength = l.wavelength;
        s.fibreLength = l.lengthKm;
    }
    return f;
}

// The fibres as "wavelength:A's file|B's file", wavelengths joined by ", ", fibres by " ; ".
std::string layout(const std::vector<FibreFiles>& fibres, const std::vector<FibreFile>& files)
{
    std::string out;
    for (const auto& f : fibres) {
        out += out.empty() ? "" : " ; ";
        for (size_t k = 0; k < f.wavelengths.size(); ++k) {
            const auto& w = f.wavelengths[k];
            const auto name = [&](int i) { return i < 0 ? std::string() : files[static_cast<size_t>(i)].summary.file; };
            out += (k ? ", " : "") + (w.wavelength ? std::to_string(static_cast<int>(*w.wavelength)) : std::string("?"))
                + ":" + name(w.ab) + "|" + name(w.ba);
        }
    }
    return out;
}

struct PairingCase {
    const char* name;
    std::vector<Described> files;
    const char* fibres; ///< the layout expected
    const char* rule = ""; ///< of the first fibre's first wavelength
};

void PrintTo(const PairingCase& c, std::ostream* os) { *os << c.name; }

class Pairing : public testing::TestWithParam<PairingCase> { };

} // namespace

TEST_P(Pairing, TellsTheEndsFromWhatTheFilesSay)
{
    const PairingCase& c = GetParam();
    std::vector<FibreFile> files;
    for (const auto& l : c.files)
        files.push_back(fileOf(l));
    const auto fibres = pairFibres(files);
    EXPECT_EQ(layout(fibres, files), c.fibres);
    ASSERT_FALSE(fibres.empty());
    EXPECT_EQ(fibres[0].wavelengths[0].rule, c.rule);

    // Every file is in exactly one row, whatever the rules made of it.
    std::vector<int> seen(files.size());
    for (const auto& f : fibres) {
        for (const auto& w : f.wavelengths) {
            for (const int i : { w.ab, w.ba }) {
                if (i >= 0)
                    ++seen[static_cast<size_t>(i)];
            }
        }
    }
    EXPECT_EQ(seen, std::vector<int>(files.size(), 1));
}

INSTANTIATE_TEST_SUITE_P(Rules, Pairing,
    testing::Values(PairingCase { "same_name_in_folders_a_and_b",
                        { { "c/B/F001.sor", "F001" }, { "c/A/F001.sor", "F001" }, { "c/A/F002.sor", "F002" },
                            { "c/B/F002.sor", "F002" } },
                        "1550:c/A/F001.sor|c/B/F001.sor ; 1550:c/A/F002.sor|c/B/F002.sor", "folders A and B" },
        PairingCase { "folders_and_swapped_site_codes",
            { { "B/MILELM0005_1550.sor", "MILELM0005" }, { "A/ELMMIL0005_1550.sor", "ELMMIL0005" },
                { "A/ELMMIL0006_1550.sor", "ELMMIL0006" },
                { "B/MILELM0006_1550.sor", "MILELM0006", "", "", 1550, 67.9 } },
            "1550:A/ELMMIL0005_1550.sor|B/MILELM0005_1550.sor ; 1550:A/ELMMIL0006_1550.sor|B/MILELM0006_1550.sor",
            "fibre IDs with the site codes swapped" },
        PairingCase { "arrow_folders", { { "MIL\u2192ELM/7.sor", "7" }, { "ELM\u2192MIL/7.sor", "7" } },
            "1550:ELM\u2192MIL/7.sor|MIL\u2192ELM/7.sor", "folders A and B" },
        PairingCase { "letter_arrow_folders", { { "B-A/x.sor", "" }, { "A-B/x.sor", "" } }, "1550:A-B/x.sor|B-A/x.sor",
            "folders A and B" },
        PairingCase { "site_codes_name_the_a_end",
            { { "f/MILELM0005.sor", "MILELM0005" }, { "f/ELMMIL0005.sor", "ELMMIL0005" } },
            "1550:f/ELMMIL0005.sor|f/MILELM0005.sor", "fibre IDs with the site codes swapped" },
        PairingCase { "site_codes_with_separators",
            { { "1.sor", "ELM-MIL-0005" }, { "2.sor", "MIL-ELM-0005" }, { "3.sor", "MIL-ELM-0006" } },
            "1550:1.sor|2.sor ; 1550:|3.sor", "fibre IDs with the site codes swapped" },
        PairingCase { "one_id_locations_swapped_the_majority_names_a",
            { { "p.sor", "F7", "ELMDALE", "MILLER" }, { "q.sor", "F7", "MILLER", "ELMDALE" },
                { "r.sor", "F8", "MILLER", "ELMDALE", 1310 }, { "s.sor", "F9", "MILLER", "ELMDALE", 1310 } },
            "1550:q.sor|p.sor ; 1310:r.sor| ; 1310:s.sor|", "the same fibre ID" },
        PairingCase { "one_id_same_locations_by_name",
            { { "w/Dem013jo.sor", "1", "A", "B", 1310, 31.43, "MTS 1156" },
                { "w/Dem013je.sor", "1", "A", "B", 1310, 31.39, "MTS 1155" },
                { "w/Dem015je.sor", "1", "A", "B", 1550, 31.39, "MTS 1155" },
                { "w/Dem015jo.sor", "1", "A", "B", 1550, 31.43, "MTS 1156" } },
            "1310:w/Dem013je.sor|w/Dem013jo.sor, 1550:w/Dem015je.sor|w/Dem015jo.sor", "the same fibre ID" },
        PairingCase { "the_instruments_keep_the_ends_across_wavelengths",
            { { "x13.sor", "1", "A", "B", 1310, 31.4, "OTDR 1" }, { "y13.sor", "1", "A", "B", 1310, 31.4, "OTDR 2" },
                { "a15.sor", "1", "A", "B", 1550, 31.4, "OTDR 2" },
                { "b15.sor", "1", "A", "B", 1550, 31.4, "OTDR 1" } },
            "1310:x13.sor|y13.sor, 1550:b15.sor|a15.sor", "the same fibre ID" },
        PairingCase { "one_id_thrice_is_no_pair", { { "1.sor", "1" }, { "2.sor", "1" }, { "3.sor", "1" } },
            "1550:1.sor| ; 1550:2.sor| ; 1550:3.sor|" },
        PairingCase { "names_with_sites_swapped",
            { { "ELM-MIL_0007.sor", "" }, { "MIL-ELM_0007.sor", "" }, { "MIL-ELM_0008.sor", "" } },
            "1550:ELM-MIL_0007.sor|MIL-ELM_0007.sor ; 1550:|MIL-ELM_0008.sor",
            "file names with the site codes swapped" },
        PairingCase { "names_swapped_with_letters", { { "A-B_F012.sor", "" }, { "B-A_F012.sor", "" } },
            "1550:A-B_F012.sor|B-A_F012.sor", "file names with the site codes swapped" },
        PairingCase { "other_wavelength_or_span_is_another_fibre",
            { { "A/ELMMIL0005_1550.sor", "ELMMIL0005" }, { "B/MILELM0005_1310.sor", "MILELM0005", "", "", 1310 },
                { "A/ELMMIL0006_1550.sor", "ELMMIL0006", "", "", 1550, 67.5 },
                { "B/MILELM0006_1550.sor", "MILELM0006", "", "", 1550, 68.3 } },
            "1310:|B/MILELM0005_1310.sor, 1550:A/ELMMIL0005_1550.sor| ; 1550:A/ELMMIL0006_1550.sor| ; "
            "1550:|B/MILELM0006_1550.sor" },
        PairingCase { "one_end_twice_is_no_pair",
            { { "A/ELMMIL0005_1550.sor", "ELMMIL0005" }, { "A/MILELM0005_1550.sor", "MILELM0005" },
                { "B/none.sor", "X" } },
            "1550:A/ELMMIL0005_1550.sor| ; 1550:A/MILELM0005_1550.sor| ; 1550:|B/none.sor" },
        PairingCase { "an_unreadable_file_stays_alone", { { "A/F1.sor", "F1", "", "", 0 }, { "B/F1.sor", "F1" } },
            "?:A/F1.sor| ; 1550:|B/F1.sor" }),
    [](const testing::TestParamInfo<PairingCase>& info) { return std::string(info.param.name); });

// Given as one fibre, two files of a wavelength are its ends even when nothing else says so and their spans differ.
TEST(Pairing, FilesGivenAsOneFibre)
{
    const std::vector<FibreFile> files { fileOf({ "east.sor", "", "", "", 1550, 20.0 }),
        fileOf({ "west.sor", "", "", "", 1550, 21.0 }), fileOf({ "west13.sor", "", "", "", 1310, 21.0 }) };
    const FibreFiles f = oneFibre(files);
    ASSERT_EQ(f.wavelengths.size(), 2u);
    EXPECT_EQ(f.wavelengths[0].wavelength, std::optional<double>(1310));
    EXPECT_EQ(f.wavelengths[0].ab, 2);
    EXPECT_EQ(f.wavelengths[1].ab, 0);
    EXPECT_EQ(f.wavelengths[1].ba, 1);
    EXPECT_EQ(f.wavelengths[1].rule, "given as one fibre");
}
