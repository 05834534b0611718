#include "analysis/FibreTable.h"

#include "analysis/Bidirectional.h"
#include "analysis/TableNumbers.h"
#include "analysis/Verdict.h"

namespace analysis {

namespace {

    const char* const dash = "\xe2\x80\x93";

    std::string cell(const std::optional<double>& v) { return v ? fixed3(*v) : std::string(dash); }

    std::string sourceText(Listed l)
    {
        return l == Listed::Both ? "both" : std::string(l == Listed::AB ? directionAB : directionBA) + " only";
    }

    std::string sideBySide(const std::optional<double>& v, const std::optional<double>& ab,
        const std::optional<double>& ba, bool paired, const char* unit)
    {
        std::string out = cell(v) + unit;
        if (paired)
            out += std::string(" (") + directionAB + " " + cell(ab) + ", " + directionBA + " " + cell(ba) + ")";
        return out;
    }

} // namespace

const char* fibreColumnTitle(FibreColumn c)
{
    switch (c) {
    case FibreColumn::Number:
        return "#";
    case FibreColumn::Position:
        return "Position (km)";
    case FibreColumn::Type:
        return "Type";
    case FibreColumn::LossAB:
        return "Loss A\xe2\x86\x92"
               "B (dB)";
    case FibreColumn::LossBA:
        return "Loss B\xe2\x86\x92"
               "A (dB)";
    case FibreColumn::Average:
        return "Average (dB)";
    case FibreColumn::Reflectance:
        return "Reflectance (dB)";
    case FibreColumn::Source:
        return "Source";
    case FibreColumn::Bend:
        return "Bend";
    case FibreColumn::Count:
        break;
    }
    return "";
}

bool columnFails(FibreColumn c, unsigned failed)
{
    if (c == FibreColumn::Average)
        return failed & (SpliceRule | ConnectorRule | BendRule);
    if (c == FibreColumn::Reflectance)
        return failed & ReflectanceRule;
    return false;
}

std::vector<FibreTableRow> fibreTable(const FibreAnalysis& a, size_t k, const FibreVerdict& v, const Thresholds& t)
{
    std::vector<FibreTableRow> rows;
    if (k >= a.wavelengths.size())
        return rows;
    const WavelengthAnalysis& w = a.wavelengths[k];
    // The bends at this wavelength's events: every bend that lists the wavelength.
    std::vector<const Bend*> bendAt(w.events.size(), nullptr);
    for (const Bend& b : v.bends) {
        for (size_t j = 0; j < b.wavelengths.size() && j < b.events.size(); ++j) {
            const int e = b.events[j];
            if (w.wavelength && b.wavelengths[j] == *w.wavelength && e >= 0 && size_t(e) < bendAt.size())
                bendAt[size_t(e)] = &b;
        }
    }
    for (size_t i = 0; i < w.events.size(); ++i) {
        const FibreEvent& e = w.events[i];
        FibreTableRow r;
        const Bend* bend = bendAt[i];
        r.atBend = bend != nullptr;
        r.failed = eventFailures(e, t, r.atBend);
        if (r.atBend) // the verdict's bends are those over the limit
            r.failed |= BendRule;
        r.measured = e.measuredAB || e.measuredBA;
        auto& c = r.cells;
        c[size_t(FibreColumn::Number)] = std::to_string(i + 1);
        c[size_t(FibreColumn::Position)] = fixed3(e.km);
        std::string type = eventKindText(e.kind);
        if (e.cableConnector)
            type += " (cable)";
        else if (!e.judged)
            type += " (not judged)";
        c[size_t(FibreColumn::Type)] = type;
        c[size_t(FibreColumn::LossAB)] = cell(e.lossAB) + (e.measuredAB ? "*" : "");
        c[size_t(FibreColumn::LossBA)] = cell(e.lossBA) + (e.measuredBA ? "*" : "");
        c[size_t(FibreColumn::Average)] = cell(e.loss);
        c[size_t(FibreColumn::Reflectance)] = cell(e.reflectance);
        c[size_t(FibreColumn::Source)] = sourceText(e.source);
        if (bend) {
            std::string text = "+" + fixed3(bend->deltaDb) + " dB:";
            for (size_t j = 0; j < bend->wavelengths.size() && j < bend->losses.size(); ++j)
                text += (j ? ", " : " ") + number(bend->wavelengths[j]) + " nm " + fixed3(bend->losses[j]);
            c[size_t(FibreColumn::Bend)] = text;
        }
        rows.push_back(std::move(r));
    }
    return rows;
}

std::vector<std::pair<std::string, std::string>> fibreSummary(const WavelengthAnalysis& w)
{
    const bool paired = w.paired();
    return {
        { "Span", sideBySide(w.lengthKm, w.lengthAB, w.lengthBA, paired, " km") },
        { "Total loss", sideBySide(w.totalLoss, w.totalLossAB, w.totalLossBA, paired, " dB") },
        { "Attenuation", sideBySide(w.attenuation, w.attenuationAB, w.attenuationBA, paired, " dB/km") },
        { "ORL", sideBySide(w.orl, w.orlAB, w.orlBA, paired, " dB") },
    };
}

Rgb directionColour(bool fromB) { return fromB ? Rgb { 0xf0, 0x80, 0x10 } : Rgb { 0x1f, 0x77, 0xd4 }; }

std::string wavelengthName(const WavelengthAnalysis& w)
{
    return w.wavelength ? number(*w.wavelength) + " nm" : std::string("Unknown wavelength");
}

} // namespace analysis
