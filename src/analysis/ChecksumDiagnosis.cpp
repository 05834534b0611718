#include "analysis/ChecksumDiagnosis.h"

#include "sor/SORParser.h"

#include <algorithm>
#include <cctype>

namespace analysis {

namespace {
    using C = ChecksumConvention;

    // Upper-case letters and digits only: "Sv Pribor", "SVPRIBOR" and "sv-pribor " compare alike.
    std::string folded(const std::string& text)
    {
        std::string out;
        for (const char c : text)
            if (std::isalnum(static_cast<unsigned char>(c)))
                out.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
        return out;
    }

    // Long names are looked for anywhere ("ANRITSU CORP", "AFL Noyes"), short ones only as a word of their own.
    bool names(const std::string& text, const std::string& key)
    {
        if (key.size() >= 5)
            return folded(text).find(key) != std::string::npos;
        std::string word;
        for (const char c : text + ' ') {
            if (std::isalnum(static_cast<unsigned char>(c))) {
                word.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
            } else {
                if (word == key)
                    return true;
                word.clear();
            }
        }
        return false;
    }

    // As measured on the instruments' own files.
    struct Family {
        const char* name; ///< in the folded supplier or instrument name
        std::vector<C> conventions;
    };

    const std::vector<Family>& models()
    {
        static const std::vector<Family> list = {
            { "MT9082", { C::Complement } },
            { "MT1000A", { C::Xmodem } },
            { "MT9090A", { C::Xmodem } },
            { "CMA4500", { C::Xmodem } },
        };
        return list;
    }

    const std::vector<Family>& suppliers()
    {
        static const std::vector<Family> list = {
            { "NOYES", { C::Standard } },
            { "YOKOGAWA", { C::Standard } },
            { "SVPRIBOR", { C::Standard } },
            { "ANRITSU", { C::Xmodem, C::Complement } },
            { "OPWILL", { C::BeforeCksum } },
            { "FIBERCLOUD", { C::NotStored } },
            { "GRANDWAY", { C::NotStored } },
            { "IIT", { C::Standard } },
        };
        return list;
    }

    const char* describe(C convention)
    {
        switch (convention) {
        case C::Standard:
            return "matches CRC-16/CCITT-FALSE over all bytes before the checksum, as the standard says";
        case C::Xmodem:
            return "matches CRC-16/XMODEM (initial value 0) over all bytes before the checksum";
        case C::Complement:
            return "matches the complement of CRC-16/CCITT-FALSE over all bytes before the checksum";
        case C::BeforeCksum:
            return "matches CRC-16/CCITT-FALSE over the bytes before the Cksum block";
        case C::NotStored:
            return "no checksum stored";
        case C::Unknown:
            break;
        }
        return "cannot be verified";
    }
} // namespace

std::vector<ChecksumConvention> supplierConventions(const std::string& supplierName, const std::string& otdrName)
{
    // The model first: one supplier's instruments differ.
    for (const auto& m : models())
        if (names(otdrName, m.name))
            return m.conventions;
    for (const auto& s : suppliers())
        if (names(supplierName, s.name))
            return s.conventions;
    return {};
}

ChecksumDiagnosis diagnoseChecksum(const sor::SORParser& parser)
{
    const auto& c = parser.crcCandidates;
    if (!c.computed)
        return { "not computed: the file was refused before its checksum", false, C::Unknown };
    const uint16_t stored = parser.storedCrc;
    std::vector<C> matching;
    if (stored == c.ccittFalse)
        matching.push_back(C::Standard);
    if (stored == c.xmodem)
        matching.push_back(C::Xmodem);
    if (stored == static_cast<uint16_t>(~c.ccittFalse))
        matching.push_back(C::Complement);
    if (c.cksumOffset >= 0 && stored == c.ccittBeforeCksum)
        matching.push_back(C::BeforeCksum);

    const auto expected
        = parser.sup.parsed ? supplierConventions(parser.sup.SupplierName, parser.sup.OTDR_Name) : std::vector<C> {};
    if (!matching.empty()) {
        // A stored value matching two conventions at once is told by the supplier's.
        C convention = matching.front();
        for (const C m : matching)
            if (std::find(expected.begin(), expected.end(), m) != expected.end())
                convention = m;
        return { describe(convention), false, convention };
    }
    if (stored == 0)
        return { describe(C::NotStored), false, C::NotStored };
    if (expected.empty())
        return { describe(C::Unknown), false, C::Unknown };
    return { "does not match its vendor's convention: the file may be damaged or altered", true, C::Unknown };
}

const char* conventionName(ChecksumConvention convention)
{
    switch (convention) {
    case C::Standard:
        return "standard";
    case C::Xmodem:
        return "xmodem";
    case C::Complement:
        return "complement";
    case C::BeforeCksum:
        return "before-cksum";
    case C::NotStored:
        return "not-stored";
    case C::Unknown:
        break;
    }
    return "unknown";
}

} // namespace analysis
