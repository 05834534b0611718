#include "FibreMode.h"

#include "JsonWriter.h"

#include "analysis/FibreAnalysis.h"
#include "analysis/FibreSummary.h"
#include "analysis/FibreVerdict.h"
#include "analysis/FolderListing.h"
#include "analysis/OwnAnalysis.h"
#include "analysis/SummaryTable.h"
#include "analysis/TableNumbers.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

using namespace analysis;

namespace {

void write(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

// The files and folders named, read; each failure said on standard error, as --summary says it. With own, each is
// judged by its own analysis.
std::vector<FibreFile> readFiles(const std::vector<std::string>& paths, const Thresholds& t, int& status, bool own)
{
    for (const auto& path : paths) {
        struct stat info { };
        if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && listSorFiles(path).empty()) {
            status = 1;
            std::fprintf(stderr, "sordump: %s: No .sor files in this folder or below it\n", path.c_str());
        }
    }
    std::vector<FibreFile> files = readFibreFiles(paths, t);
    for (auto& f : files) {
        if (own)
            useOwnAnalysis(f, t);
        if (!f.summary.parsed) {
            status = 1;
            std::fprintf(
                stderr, "sordump: %s: could not be parsed: %s\n", f.summary.file.c_str(), f.summary.errorText.c_str());
        }
    }
    return files;
}

std::string text(const std::optional<double>& v) { return v ? fixed3(*v) : notMeasured; }

std::string sourceText(Listed l)
{
    return l == Listed::Both ? "both" : std::string(l == Listed::AB ? directionAB : directionBA) + " only";
}

void bendsJson(JsonWriter& j, const std::vector<Bend>& bends)
{
    j.beginArray();
    for (const Bend& b : bends) {
        j.beginObject().field("positionKm", b.km).key("wavelengths").beginArray();
        for (const double w : b.wavelengths)
            j.value(w);
        j.endArray().key("losses").beginArray();
        for (const double l : b.losses)
            j.value(l);
        j.endArray().field("deltaDb", b.deltaDb).endObject();
    }
    j.endArray();
}

void fileField(JsonWriter& j, const char* name, const std::string& file)
{
    j.key(name);
    if (file.empty())
        j.null();
    else
        j.value(file);
}

std::string fibreJson(const FibreAnalysis& a, const FibreVerdict& v)
{
    JsonWriter j;
    j.beginObject();
    j.field("fibre", a.fibreId).field("cable", a.cableId);
    j.field("locationA", a.locationA).field("locationB", a.locationB);
    j.key("wavelengths").beginArray();
    for (const WavelengthAnalysis& w : a.wavelengths) {
        j.beginObject().field("wavelength", w.wavelength);
        j.key("files").beginObject();
        fileField(j, "AB", w.fileAB);
        fileField(j, "BA", w.fileBA);
        j.endObject();
        j.key("span").beginObject().field("startKm", w.startKm).field("endKm", w.endKm);
        j.field("lengthKm", w.lengthKm).endObject();
        j.key("events").beginArray();
        for (const FibreEvent& e : w.events) {
            j.beginObject().field("positionKm", e.km).field("type", std::string(eventKindText(e.kind)));
            j.field("loss", e.loss).field("lossAB", e.lossAB).field("lossBA", e.lossBA);
            j.field("reflectance", e.reflectance).field("source", std::string(listedText(e.source)));
            j.endObject();
        }
        j.endArray();
        j.field("totalLoss", w.totalLoss).field("totalLossAB", w.totalLossAB).field("totalLossBA", w.totalLossBA);
        j.field("attenuation", w.attenuation).field("orl", w.orl);
        j.endObject();
    }
    j.endArray();
    j.key("bends");
    bendsJson(j, v.bends);
    j.field("verdict", std::string(outcomeText(v.outcome))).key("reasons").beginArray();
    for (const auto& reason : v.reasons)
        j.value(reason);
    j.endArray().endObject();
    return j.str();
}

// Both ends' values side by side: "13.440 (A→B 13.584, B→A 13.295)".
std::string sideBySide(
    const std::optional<double>& value, const std::optional<double>& ab, const std::optional<double>& ba, bool paired)
{
    if (!paired)
        return text(value);
    return text(value) + " (" + directionAB + " " + text(ab) + ", " + directionBA + " " + text(ba) + ")";
}

// The text in a column of width characters (UTF-8 counted as characters): right-aligned, or left for a negative width.
std::string padded(const std::string& text, int width)
{
    size_t characters = 0;
    for (const char c : text)
        characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    const size_t wanted = static_cast<size_t>(std::abs(width));
    const std::string fill(characters < wanted ? wanted - characters : 0, ' ');
    return width < 0 ? text + fill : fill + text;
}

std::string cell(const std::optional<double>& v, bool measured) { return text(v) + (measured ? "*" : ""); }

std::string fibreText(const FibreAnalysis& a, const FibreVerdict& v, const FibreFiles& files)
{
    std::string out = "Fibre " + (a.fibreId.empty() ? std::string(notMeasured) : a.fibreId) + ", cable "
        + (a.cableId.empty() ? std::string(notMeasured) : a.cableId) + ", " + a.locationA + " \xe2\x86\x92 "
        + a.locationB + "\n";
    bool anyMeasured = false;
    for (size_t k = 0; k < a.wavelengths.size(); ++k) {
        const WavelengthAnalysis& w = a.wavelengths[k];
        const bool paired = w.paired();
        out += "\n" + (w.wavelength ? number(*w.wavelength) + " nm" : std::string("Unknown wavelength")) + ": "
            + directionAB + " " + (w.fileAB.empty() ? std::string(notMeasured) : w.fileAB) + ", " + directionBA + " "
            + (w.fileBA.empty() ? std::string(notMeasured) : w.fileBA);
        if (k < files.wavelengths.size() && !files.wavelengths[k].rule.empty())
            out += " (paired by " + files.wavelengths[k].rule + ")";
        out += "\n  Span (km): " + text(w.startKm) + " to " + text(w.endKm) + ", length "
            + sideBySide(w.lengthKm, w.lengthAB, w.lengthBA, paired) + "\n";
        out += "  Total loss (dB): " + sideBySide(w.totalLoss, w.totalLossAB, w.totalLossBA, paired) + "\n";
        out += "  Attenuation (dB/km): " + sideBySide(w.attenuation, w.attenuationAB, w.attenuationBA, paired) + "\n";
        out += "  ORL (dB): " + sideBySide(w.orl, w.orlAB, w.orlBA, paired) + "\n";
        out += "  " + padded("#", 3) + " " + padded("km", 10) + "  " + padded("type", -10) + " " + padded("loss", 9)
            + " " + padded(directionAB, 9) + " " + padded(directionBA, 9) + " " + padded("reflectance", 11) + "  "
            + padded("source", -10) + "\n";
        int n = 0;
        for (const FibreEvent& e : w.events) {
            anyMeasured = anyMeasured || e.measuredAB || e.measuredBA;
            const char* note = e.cableConnector ? "cable connector" : e.judged ? "" : "not judged";
            std::string line = "  " + padded(std::to_string(++n), 3) + " " + padded(fixed3(e.km), 10) + "  "
                + padded(eventKindText(e.kind), -10) + " " + padded(text(e.loss), 9) + " "
                + padded(cell(e.lossAB, e.measuredAB), 9) + " " + padded(cell(e.lossBA, e.measuredBA), 9) + " "
                + padded(text(e.reflectance), 11) + "  " + padded(sourceText(e.source), -10) + " " + note;
            line.erase(line.find_last_not_of(' ') + 1);
            out += line + "\n";
        }
    }
    if (anyMeasured)
        out += "\n* measured on that end's trace: its instrument did not list the event\n";
    out += "\nBends: " + (v.bends.empty() ? std::string("none") : bendsText(v.bends)) + "\n";
    out += std::string("Verdict: ") + outcomeText(v.outcome) + "\n";
    for (const auto& reason : v.reasons)
        out += " - " + reason + "\n";
    return out;
}

void worstJson(JsonWriter& j, const char* name, const char* valueName, const WorstEvent& e)
{
    j.key(name);
    if (!e.value) {
        j.null();
        return;
    }
    j.beginObject().field(valueName, e.value).field("km", e.km).endObject();
}

std::string rowJson(const FibreRow& r)
{
    JsonWriter j;
    j.beginObject();
    j.field("fibre", r.fibreId).field("cable", r.cableId).field("locationA", r.locationA);
    j.field("locationB", r.locationB).field("wavelength", r.wavelength);
    fileField(j, "fileAB", r.fileAB);
    fileField(j, "fileBA", r.fileBA);
    j.key("span").beginObject().field("startKm", r.startKm).field("endKm", r.endKm);
    j.field("lengthKm", r.lengthKm).endObject();
    j.field("totalLoss", r.totalLoss).field("totalLossAB", r.totalLossAB).field("totalLossBA", r.totalLossBA);
    j.field("attenuation", r.attenuation).field("orl", r.orl);
    j.field("events", r.events).field("oneSidedEvents", r.oneSided);
    worstJson(j, "worstSplice", "loss", r.splice);
    worstJson(j, "worstConnector", "loss", r.connector);
    worstJson(j, "worstReflectance", "reflectance", r.reflectance);
    j.key("bends");
    bendsJson(j, r.bends);
    j.field("verdict", std::string(outcomeText(r.outcome))).key("reasons").beginArray();
    for (const auto& reason : r.reasons)
        j.value(reason);
    j.endArray().endObject();
    return j.str();
}

} // namespace

int printFibre(const std::vector<std::string>& paths, bool json, const Thresholds& thresholds, bool own)
{
    int status = 0;
    const std::vector<FibreFile> files = readFiles(paths, thresholds, status, own);
    const FibreFiles fibre = oneFibre(files);
    const FibreAnalysis a = analyseFibre(fibre, files);
    const FibreVerdict v = evaluateFibre(a, thresholds);
    write(json ? fibreJson(a, v) + "\n" : fibreText(a, v, fibre));
    std::fflush(stdout);
    return status;
}

int printFibreSummaries(const std::vector<std::string>& paths, bool json, const Thresholds& thresholds, bool own)
{
    int status = 0;
    const std::vector<FibreFile> files = readFiles(paths, thresholds, status, own);
    // A folder without files is no table.
    if (!json && !files.empty())
        write(fibreCsvHeader());
    for (const FibreAnalysis& a : analyseCable(files)) {
        for (const FibreRow& r : fibreRows(a, evaluateFibre(a, thresholds)))
            write(json ? rowJson(r) + "\n" : fibreCsvRow(r));
    }
    std::fflush(stdout);
    return status;
}
