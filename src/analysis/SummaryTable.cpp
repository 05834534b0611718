#include "analysis/SummaryTable.h"

#include "analysis/TableNumbers.h"

#include <cctype>

namespace analysis {

namespace {
    std::string kmText(double v) { return known(v) ? fixed3(v) : std::string(); }
    std::string dbText(double v) { return known(v) ? fixed3(v) : std::string(); }

    std::string locations(const FileSummary& s)
    {
        if (s.locationA.empty() && s.locationB.empty())
            return {};
        return s.locationA + " \xe2\x86\x92 " + s.locationB; // an arrow
    }

    int compareDigits(const std::string& a, size_t& i, const std::string& b, size_t& j)
    {
        // Leading zeros do not count; then the longer run is the larger number.
        while (i < a.size() && a[i] == '0' && i + 1 < a.size() && std::isdigit(static_cast<unsigned char>(a[i + 1])))
            ++i;
        while (j < b.size() && b[j] == '0' && j + 1 < b.size() && std::isdigit(static_cast<unsigned char>(b[j + 1])))
            ++j;
        size_t ei = i, ej = j;
        while (ei < a.size() && std::isdigit(static_cast<unsigned char>(a[ei])))
            ++ei;
        while (ej < b.size() && std::isdigit(static_cast<unsigned char>(b[ej])))
            ++ej;
        int result = 0;
        if (ei - i != ej - j)
            result = ei - i < ej - j ? -1 : 1;
        else
            result = a.compare(i, ei - i, b, j, ej - j);
        i = ei;
        j = ej;
        return result < 0 ? -1 : result > 0 ? 1 : 0;
    }
} // namespace

const char* columnTitle(Column c)
{
    static const char* const titles[columnCount] = {
        "File",
        "Fibre ID",
        "Cable ID",
        "Location A \xe2\x86\x92 B",
        "Wavelength (nm)",
        "Pulse width (ns)",
        "Date",
        "Fibre length (km)",
        "Total loss (dB)",
        "Attenuation (dB/km)",
        "ORL (dB)",
        "Events",
        "Worst splice (dB)",
        "Splice at (km)",
        "Worst connector (dB)",
        "Connector at (km)",
        "Worst reflectance (dB)",
        "Reflectance at (km)",
        "Checksum",
        "Verdict",
    };
    return titles[static_cast<int>(c)];
}

bool isNumeric(Column c)
{
    switch (c) {
    case Column::File:
    case Column::FibreId:
    case Column::CableId:
    case Column::Locations:
    case Column::Checksum:
        return false;
    default:
        return true;
    }
}

unsigned columnRule(Column c)
{
    switch (c) {
    case Column::WorstSplice:
        return SpliceRule;
    case Column::WorstConnector:
        return ConnectorRule;
    case Column::WorstReflectance:
        return ReflectanceRule;
    case Column::Attenuation:
        return AttenuationRule;
    case Column::TotalLoss:
        return TotalLossRule;
    case Column::Orl:
        return OrlRule;
    default:
        return 0;
    }
}

std::string cellText(const FileSummary& s, const Verdict& v, Column c)
{
    switch (c) {
    case Column::File:
        return s.file;
    case Column::FibreId:
        return s.fibreId;
    case Column::CableId:
        return s.cableId;
    case Column::Locations:
        return locations(s);
    case Column::Wavelength:
        return known(s.wavelength) ? number(s.wavelength) : std::string();
    case Column::PulseWidth:
        return known(s.pulseWidth) ? number(s.pulseWidth) : std::string();
    case Column::Date:
        return s.date;
    case Column::FibreLength:
        return kmText(s.fibreLength);
    case Column::TotalLoss:
        return dbText(s.totalLoss);
    case Column::Attenuation:
        return dbText(s.attenuation);
    case Column::Orl:
        return dbText(s.orl);
    case Column::Events:
        return s.events >= 0 ? std::to_string(s.events) : std::string();
    case Column::WorstSplice:
        return dbText(s.splice.value);
    case Column::WorstSpliceAt:
        return kmText(s.splice.km);
    case Column::WorstConnector:
        return dbText(s.connector.value);
    case Column::WorstConnectorAt:
        return kmText(s.connector.km);
    case Column::WorstReflectance:
        return dbText(s.reflectance.value);
    case Column::WorstReflectanceAt:
        return kmText(s.reflectance.km);
    case Column::Checksum:
        return s.checksum;
    case Column::Verdict:
        return outcomeText(v.outcome);
    }
    return {};
}

double cellNumber(const FileSummary& s, const Verdict& v, Column c)
{
    switch (c) {
    case Column::Wavelength:
        return s.wavelength;
    case Column::PulseWidth:
        return s.pulseWidth;
    case Column::Date:
        return s.dateSeconds >= 0 ? static_cast<double>(s.dateSeconds) : unknown;
    case Column::FibreLength:
        return s.fibreLength;
    case Column::TotalLoss:
        return s.totalLoss;
    case Column::Attenuation:
        return s.attenuation;
    case Column::Orl:
        return s.orl;
    case Column::Events:
        return s.events >= 0 ? s.events : unknown;
    case Column::WorstSplice:
        return s.splice.value;
    case Column::WorstSpliceAt:
        return s.splice.km;
    case Column::WorstConnector:
        return s.connector.value;
    case Column::WorstConnectorAt:
        return s.connector.km;
    case Column::WorstReflectance:
        return s.reflectance.value;
    case Column::WorstReflectanceAt:
        return s.reflectance.km;
    case Column::Verdict:
        return static_cast<double>(v.outcome);
    default:
        return unknown;
    }
}

std::string csvHeader()
{
    return "file,fibre_id,cable_id,location_a,location_b,wavelength_nm,pulse_width_ns,date,fibre_length_km,"
           "total_loss_db,attenuation_db_per_km,orl_db,events,worst_splice_db,worst_splice_km,worst_connector_db,"
           "worst_connector_km,worst_reflectance_db,worst_reflectance_km,checksum,verdict,reasons\n";
}

std::string csvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string out = "\"";
    for (const char ch : text) {
        if (ch == '"')
            out += '"';
        out += ch;
    }
    return out + "\"";
}

std::string csvRow(const FileSummary& s, const Thresholds& t)
{
    const Verdict v = evaluate(s, t);
    std::string line;
    for (int i = 0; i < columnCount; ++i) {
        const auto c = static_cast<Column>(i);
        if (c == Column::Locations)
            line += csvField(s.locationA) + "," + csvField(s.locationB);
        else
            line += csvField(cellText(s, v, c));
        line += ",";
    }
    std::string why;
    for (const auto& reason : reasons(s, t))
        why += (why.empty() ? "" : "; ") + reason;
    return line + csvField(why) + "\n";
}

bool naturalLess(const std::string& a, const std::string& b)
{
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[j]);
        if (std::isdigit(ca) && std::isdigit(cb)) {
            if (const int d = compareDigits(a, i, b, j))
                return d < 0;
            continue;
        }
        const int la = std::tolower(ca), lb = std::tolower(cb);
        if (la != lb)
            return la < lb;
        ++i;
        ++j;
    }
    if (a.size() - i != b.size() - j)
        return a.size() - i < b.size() - j;
    return a < b; // equal but for case or leading zeros: a fixed order still
}

} // namespace analysis
