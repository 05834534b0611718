#include "analysis/SummaryTable.h"

#include "analysis/TableNumbers.h"

#include <cctype>
#include <iterator>

namespace analysis {

namespace {
    std::string kmText(const std::optional<double>& v) { return v ? fixed3(*v) : notMeasured; }
    std::string dbText(const std::optional<double>& v) { return v ? fixed3(*v) : notMeasured; }

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

    double value(const std::optional<double>& v) { return v.value_or(unknown); }

    std::string noText(const FileSummary&, const Verdict&) { return {}; }
    double noNumber(const FileSummary&, const Verdict&) { return unknown; }

    // What the table, its sorting, its colouring and the CSV know of a column.
    struct ColumnInfo {
        const char* title;
        bool numeric; ///< sorts as a number
        unsigned rule; ///< the Rule the value is judged by, 0 for none
        std::string (*text)(const FileSummary&, const Verdict&);
        double (*number)(const FileSummary&, const Verdict&);
    };

    using S = const FileSummary&;
    using V = const Verdict&;

    // In the order of Column.
    const ColumnInfo columns[] = {
        { "File", false, 0, [](S s, V) { return s.file; }, noNumber },
        { "Fibre ID", false, 0, [](S s, V) { return s.fibreId; }, noNumber },
        { "Cable ID", false, 0, [](S s, V) { return s.cableId; }, noNumber },
        { "Location A \xe2\x86\x92 B", false, 0, [](S s, V) { return locations(s); }, noNumber },
        { "Wavelength (nm)", true, 0, [](S s, V) { return s.wavelength ? number(*s.wavelength) : notMeasured; },
            [](S s, V) { return value(s.wavelength); } },
        { "Pulse width (ns)", true, 0, [](S s, V) { return s.pulseWidth ? number(*s.pulseWidth) : notMeasured; },
            [](S s, V) { return value(s.pulseWidth); } },
        { "Date", true, 0, [](S s, V) { return s.date; },
            [](S s, V) { return s.dateSeconds >= 0 ? static_cast<double>(s.dateSeconds) : unknown; } },
        { "Fibre length (km)", true, 0, [](S s, V) { return kmText(s.fibreLength); },
            [](S s, V) { return value(s.fibreLength); } },
        { "Total loss (dB)", true, TotalLossRule, [](S s, V) { return dbText(s.totalLoss); },
            [](S s, V) { return value(s.totalLoss); } },
        { "Attenuation (dB/km)", true, AttenuationRule, [](S s, V) { return dbText(s.attenuation); },
            [](S s, V) { return value(s.attenuation); } },
        { "ORL (dB)", true, OrlRule, [](S s, V) { return dbText(s.orl); }, [](S s, V) { return value(s.orl); } },
        { "Events", true, 0, [](S s, V) { return s.events >= 0 ? std::to_string(s.events) : notMeasured; },
            [](S s, V) { return s.events >= 0 ? s.events : unknown; } },
        { "Worst splice (dB)", true, SpliceRule, [](S s, V) { return dbText(s.splice.value); },
            [](S s, V) { return value(s.splice.value); } },
        { "Splice at (km)", true, 0, [](S s, V) { return kmText(s.splice.km); },
            [](S s, V) { return value(s.splice.km); } },
        { "Worst connector (dB)", true, ConnectorRule, [](S s, V) { return dbText(s.connector.value); },
            [](S s, V) { return value(s.connector.value); } },
        { "Connector at (km)", true, 0, [](S s, V) { return kmText(s.connector.km); },
            [](S s, V) { return value(s.connector.km); } },
        { "Worst reflectance (dB)", true, ReflectanceRule, [](S s, V) { return dbText(s.reflectance.value); },
            [](S s, V) { return value(s.reflectance.value); } },
        { "Reflectance at (km)", true, 0, [](S s, V) { return kmText(s.reflectance.km); },
            [](S s, V) { return value(s.reflectance.km); } },
        { "Checksum", false, 0, [](S s, V) { return s.checksum; }, noNumber },
        { "Verdict", true, 0, [](S, V v) { return std::string(outcomeText(v.outcome)); },
            [](S, V v) { return static_cast<double>(v.outcome); } },
    };
    static_assert(static_cast<int>(std::size(columns)) == columnCount, "one description a column");

    const ColumnInfo& info(Column c)
    {
        static const ColumnInfo none { "", false, 0, noText, noNumber };
        const auto i = static_cast<size_t>(c);
        return i < std::size(columns) ? columns[i] : none;
    }
} // namespace

const char* columnTitle(Column c) { return info(c).title; }

bool isNumeric(Column c) { return info(c).numeric; }

unsigned columnRule(Column c) { return info(c).rule; }

std::string cellText(const FileSummary& s, const Verdict& v, Column c) { return info(c).text(s, v); }

double cellNumber(const FileSummary& s, const Verdict& v, Column c) { return info(c).number(s, v); }

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
