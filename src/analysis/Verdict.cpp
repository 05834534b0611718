#include "analysis/Verdict.h"

#include "analysis/TableNumbers.h"

namespace analysis {

namespace {
    bool above(const std::optional<double>& value, const std::optional<double>& limit)
    {
        return limit && value && shown(*value) > *limit;
    }
    bool below(const std::optional<double>& value, const std::optional<double>& limit)
    {
        return limit && value && shown(*value) < *limit;
    }

    const std::optional<double>& attenuationLimit(const FileSummary& s, const Thresholds& t)
    {
        static const std::optional<double> none;
        const int band = nearestBand(s.wavelength.value_or(unknown));
        return band < 0 ? none : t.maxAttenuation[static_cast<size_t>(band)];
    }

    std::string at(const WorstEvent& e) { return e.km ? " at " + fixed3(*e.km) + " km" : std::string(); }
} // namespace

Verdict evaluate(const FileSummary& s, const Thresholds& t)
{
    Verdict v;
    if (!s.parsed) {
        v.outcome = Outcome::Error;
        return v;
    }
    if (above(s.splice.value, t.maxSpliceLoss))
        v.failed |= SpliceRule;
    if (above(s.connector.value, t.maxConnectorLoss))
        v.failed |= ConnectorRule;
    if (above(s.reflectance.value, t.maxReflectance))
        v.failed |= ReflectanceRule;
    if (above(s.attenuation, attenuationLimit(s, t)))
        v.failed |= AttenuationRule;
    if (above(s.totalLoss, t.maxTotalLoss))
        v.failed |= TotalLossRule;
    if (below(s.orl, t.minOrl))
        v.failed |= OrlRule;
    v.outcome = v.failed ? Outcome::Fail : s.incomplete.empty() ? Outcome::Pass : Outcome::Incomplete;
    return v;
}

std::vector<std::string> reasons(const FileSummary& s, const Thresholds& t)
{
    if (!s.parsed) {
        const auto first = s.errorText.find_first_not_of(" \n");
        return { first == std::string::npos
                ? std::string()
                : s.errorText.substr(first, s.errorText.find_last_not_of(" \n") - first + 1) };
    }
    const unsigned failed = evaluate(s, t).failed;
    std::vector<std::string> out;
    if (failed & SpliceRule)
        out.push_back(
            "splice " + decibels(*s.splice.value) + " dB" + at(s.splice) + " > " + decibels(*t.maxSpliceLoss) + " dB");
    if (failed & ConnectorRule)
        out.push_back("connector " + decibels(*s.connector.value) + " dB" + at(s.connector) + " > "
            + decibels(*t.maxConnectorLoss) + " dB");
    if (failed & ReflectanceRule)
        out.push_back("reflectance " + decibels(*s.reflectance.value) + " dB" + at(s.reflectance) + " > "
            + decibels(*t.maxReflectance) + " dB");
    if (failed & AttenuationRule)
        out.push_back("attenuation " + decibels(*s.attenuation) + " dB/km > " + decibels(*attenuationLimit(s, t))
            + " dB/km at " + std::to_string(attenuationBands[static_cast<size_t>(nearestBand(*s.wavelength))]) + " nm");
    if (failed & TotalLossRule)
        out.push_back("total loss " + decibels(*s.totalLoss) + " dB > " + decibels(*t.maxTotalLoss) + " dB");
    if (failed & OrlRule)
        out.push_back("ORL " + decibels(*s.orl) + " dB < " + decibels(*t.minOrl) + " dB");
    if (!s.incomplete.empty())
        out.push_back(s.incomplete);
    return out;
}

const char* outcomeText(Outcome o)
{
    switch (o) {
    case Outcome::Pass:
        return "Pass";
    case Outcome::Fail:
        return "Fail";
    case Outcome::Incomplete:
        return "Incomplete";
    case Outcome::Error:
        break;
    }
    return "Error";
}

void Counts::add(Outcome o)
{
    ++files;
    if (o == Outcome::Pass)
        ++pass;
    else if (o == Outcome::Fail)
        ++fail;
    else if (o == Outcome::Incomplete)
        ++incomplete;
    else
        ++error;
}

std::string countsText(const Counts& c)
{
    return std::to_string(c.files) + (c.files == 1 ? " file: " : " files: ") + std::to_string(c.pass) + " pass, "
        + std::to_string(c.fail) + " fail, " + std::to_string(c.error) + (c.error == 1 ? " error" : " errors")
        + (c.incomplete > 0 ? ", " + std::to_string(c.incomplete) + " incomplete" : std::string());
}

} // namespace analysis
