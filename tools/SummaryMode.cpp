#include "SummaryMode.h"

#include "JsonWriter.h"

#include "analysis/FileSummary.h"
#include "analysis/FolderListing.h"
#include "analysis/OwnAnalysis.h"
#include "analysis/SummaryTable.h"
#include "analysis/TableNumbers.h"
#include "analysis/Verdict.h"

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

namespace {

void worstField(JsonWriter& j, const char* name, const char* valueName, const analysis::WorstEvent& e)
{
    j.key(name);
    if (!e.value) {
        j.null();
        return;
    }
    j.beginObject().field(valueName, e.value).field("km", e.km).endObject();
}

} // namespace

std::string summaryJson(const analysis::FileSummary& s, const analysis::Thresholds& t)
{
    JsonWriter j;
    j.beginObject();
    j.field("file", s.file).field("parsed", s.parsed).field("errorText", s.errorText);
    j.field("fibreId", s.fibreId).field("cableId", s.cableId);
    j.field("locationA", s.locationA).field("locationB", s.locationB);
    j.field("wavelength", s.wavelength).field("pulseWidth", s.pulseWidth);
    j.field("date", s.date).key("dateSeconds");
    if (s.dateSeconds >= 0)
        j.value(static_cast<int64_t>(s.dateSeconds));
    else
        j.null();
    j.field("fibreLength", s.fibreLength).field("totalLoss", s.totalLoss).field("attenuation", s.attenuation);
    j.field("orl", s.orl).key("events");
    if (s.events >= 0)
        j.value(s.events);
    else
        j.null();
    worstField(j, "worstSplice", "loss", s.splice);
    worstField(j, "worstConnector", "loss", s.connector);
    worstField(j, "worstReflectance", "reflectance", s.reflectance);
    j.key("span").beginObject().field("startKm", s.span.startKm).field("endKm", s.span.endKm);
    j.field("launchCable", s.span.startEvent >= 0).field("receiveCable", s.span.endEvent >= 0).endObject();
    j.field("checksum", s.checksum).field("checksumSuspect", s.checksumSuspect);
    j.field("verdict", std::string(analysis::outcomeText(analysis::evaluate(s, t).outcome)));
    j.key("reasons").beginArray();
    for (const auto& reason : analysis::reasons(s, t))
        j.value(reason);
    j.endArray();
    j.endObject();
    return j.str();
}

std::string summaryText(const analysis::FileSummary& s, const analysis::Thresholds& t)
{
    const analysis::Verdict v = analysis::evaluate(s, t);
    std::string out;
    for (int c = 0; c < analysis::columnCount; ++c) {
        const auto column = static_cast<analysis::Column>(c);
        if (column != analysis::Column::File && column != analysis::Column::Verdict)
            out += std::string(analysis::columnTitle(column)) + ": " + analysis::cellText(s, v, column) + "\n";
    }
    out += std::string("Span (km): ") + (s.span.startKm ? analysis::fixed3(*s.span.startKm) : analysis::notMeasured)
        + " to " + (s.span.endKm ? analysis::fixed3(*s.span.endKm) : analysis::notMeasured) + "\n";
    out += std::string("Verdict: ") + analysis::outcomeText(v.outcome) + "\n";
    for (const auto& reason : analysis::reasons(s, t))
        out += " - " + reason + "\n";
    return out;
}

namespace {

void write(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

} // namespace

int printSummaries(const std::vector<std::string>& paths, bool json, const analysis::Thresholds& thresholds, bool own)
{
    int status = 0;
    bool headed = json;
    const auto one = [&](const std::string& path, const std::string& file) {
        // The reader writes nothing here; its message is the summary's.
        const analysis::FileSummary s
            = own ? analysis::summarizeFileOwn(path, file, thresholds) : analysis::summarizeFile(path, file, thresholds);
        if (!s.parsed) {
            status = 1;
            std::fprintf(stderr, "sordump: %s: could not be parsed: %s\n", path.c_str(), s.errorText.c_str());
        }
        if (!headed)
            write(analysis::csvHeader());
        headed = true;
        write(json ? summaryJson(s, thresholds) + "\n" : analysis::csvRow(s, thresholds));
    };
    for (const auto& path : paths) {
        struct stat info { };
        if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            const auto files = analysis::listSorFiles(path);
            if (files.empty()) {
                status = 1;
                std::fprintf(stderr, "sordump: %s: No .sor files in this folder or below it\n", path.c_str());
            }
            for (const auto& f : files)
                one(f.path, (std::filesystem::path(path) / f.relative).lexically_normal().string());
        } else {
            one(path, path);
        }
    }
    std::fflush(stdout);
    return status;
}
