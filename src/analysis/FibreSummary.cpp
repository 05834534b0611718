#include "analysis/FibreSummary.h"

#include "analysis/SummaryTable.h"
#include "analysis/TableNumbers.h"

#include <iterator>

namespace analysis {

namespace {
    void keepWorst(WorstEvent& worst, const std::optional<double>& value, double km)
    {
        if (value && (!worst.value || *value > *worst.value))
            worst = { value, km };
    }

    std::string text(const std::optional<double>& v) { return v ? fixed3(*v) : notMeasured; }
} // namespace

std::vector<FibreRow> fibreRows(const FibreAnalysis& a, const FibreVerdict& v)
{
    std::vector<FibreRow> rows;
    for (size_t k = 0; k < a.wavelengths.size(); ++k) {
        const WavelengthAnalysis& w = a.wavelengths[k];
        FibreRow r;
        r.fibreId = a.fibreId;
        r.cableId = a.cableId;
        r.locationA = a.locationA;
        r.locationB = a.locationB;
        r.wavelength = w.wavelength;
        r.fileAB = w.fileAB;
        r.fileBA = w.fileBA;
        r.startKm = w.startKm;
        r.endKm = w.endKm;
        r.lengthKm = w.lengthKm;
        r.totalLoss = w.totalLoss;
        r.totalLossAB = w.totalLossAB;
        r.totalLossBA = w.totalLossBA;
        r.attenuation = w.attenuation;
        r.orl = w.orl;
        for (const FibreEvent& e : w.events) {
            ++r.events;
            if (e.source != Listed::Both)
                ++r.oneSided;
            if (!e.judged)
                continue;
            keepWorst(e.cableConnector || e.kind == EventKind::Reflective ? r.connector : r.splice, e.loss, e.km);
            keepWorst(r.reflectance, e.reflectance, e.km);
        }
        if (k < v.wavelengths.size()) {
            r.bends = v.wavelengths[k].bends;
            r.outcome = v.wavelengths[k].outcome;
            r.reasons = v.wavelengths[k].reasons;
        }
        rows.push_back(std::move(r));
    }
    return rows;
}

std::string bendsText(const std::vector<Bend>& bends)
{
    std::string out;
    for (const Bend& b : bends)
        out += (out.empty() ? "" : "; ") + fixed3(b.km) + " km +" + decibels(b.deltaDb) + " dB";
    return out;
}

std::string fibreCsvHeader()
{
    return "fibre_id,cable_id,location_a,location_b,wavelength_nm,file_ab,file_ba,span_start_km,span_end_km,"
           "span_length_km,total_loss_db,total_loss_ab_db,total_loss_ba_db,attenuation_db_per_km,orl_db,events,"
           "one_sided_events,worst_splice_db,worst_splice_km,worst_connector_db,worst_connector_km,"
           "worst_reflectance_db,worst_reflectance_km,bends,verdict,reasons\n";
}

std::string fibreCsvRow(const FibreRow& r)
{
    std::string why;
    for (const auto& reason : r.reasons)
        why += (why.empty() ? "" : "; ") + reason;
    const std::string fields[] = { r.fibreId, r.cableId, r.locationA, r.locationB,
        r.wavelength ? number(*r.wavelength) : notMeasured, r.fileAB, r.fileBA, text(r.startKm), text(r.endKm),
        text(r.lengthKm), text(r.totalLoss), text(r.totalLossAB), text(r.totalLossBA), text(r.attenuation), text(r.orl),
        std::to_string(r.events), std::to_string(r.oneSided), text(r.splice.value), text(r.splice.km),
        text(r.connector.value), text(r.connector.km), text(r.reflectance.value), text(r.reflectance.km),
        bendsText(r.bends), outcomeText(r.outcome), why };
    std::string line;
    for (size_t i = 0; i < std::size(fields); ++i)
        line += (i ? "," : "") + csvField(fields[i]);
    return line + "\n";
}

} // namespace analysis
