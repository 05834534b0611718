// sordump: prints what the reader makes of .sor files, as text, a Python list, CSV or JSON.
#include "AnalyseMode.h"
#include "FibreMode.h"
#include "JsonWriter.h"
#include "SummaryMode.h"

#include "analysis/ChecksumDiagnosis.h"
#include "analysis/TextEncoding.h"
#include "sor/SORParser.h"

#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#ifndef TAVIX_VERSION
#error "TAVIX_VERSION is set by the build"
#endif

namespace {

enum class Mode { Text, Python, Csv, Json };

void usage(FILE* out)
{
    std::fputs("Usage: sordump [--python | --csv | --json] FILE...\n"
               "  or:  sordump --summary [--analyse] [--json] [--thresholds FILE] PATH...\n"
               "  or:  sordump --analyse [--json] [--thresholds FILE] FILE...\n"
               "  or:  sordump [--json] --thresholds FILE FILE...\n"
               "  or:  sordump --fibre [--analyse] [--json] [--thresholds FILE] FILE...\n"
               "  or:  sordump --summary --by-fibre [--analyse] [--json] [--thresholds FILE] PATH...\n"
               "Reads OTDR measurement files (Telcordia SR-4731 .sor, version 2.0) and prints their contents.\n\n"
               "  (default)  the labelled text dump of every block (Map, GenParams, SupParams, FxdParams,\n"
               "             KeyEvents, DataPts) after the reader's progress lines; a block the file lacks\n"
               "             is reported as missing and the others are still printed; then the line\n"
               "             \"CRC diagnosis: \" with the checksum convention the file follows\n"
               "  --python   the displayed trace as a Python literal: ([distances km], [levels dB])\n"
               "  --csv      the displayed trace as CSV with the header distance_km,level_db\n"
               "  --json     one JSON object per file and line: every block's fields, raw and converted,\n"
               "             the events, the summary, storedCrc, crcValid, crcDiagnosis (with\n"
               "             crcConvention and crcSuspect), the number of samples, and under blocks\n"
               "             where each block was found: its file offset and the bytes it takes;\n"
               "             a block the file lacks is null\n"
               "  --summary  one row per file with its fibre, losses, worst events and verdict, as CSV with a\n"
               "             header line (with --json: one object per file and line); a PATH that is a folder\n"
               "             stands for every .sor file in it and its subfolders\n"
               "  --analyse  the events the program's own analysis finds in the trace, with the\n"
               "             splice loss, reflectance and end-of-fibre thresholds of --thresholds FILE\n"
               "             (defaults 0.05 dB, -65 dB, 3 dB): position, type, loss, reflectance\n"
               "             and the attenuation before each, as a table (with --json: one object\n"
               "             per file and line: path, thresholds and events with positionKm, type,\n"
               "             loss, reflectance and attenuationBefore, null where not measured);\n"
               "             with --summary or --fibre, every file is judged by these events\n"
               "             instead of its own event table\n"
               "  --fibre    the files are one fibre's, measured from both ends at any\n"
               "             wavelengths: each wavelength's events matched and averaged over\n"
               "             both directions (an event one end did not list is measured on\n"
               "             its trace), on the axis of the file from end A; the bends; the\n"
               "             verdict and its reasons (with --json: one object)\n"
               "  --by-fibre with --summary: the files paired into fibres (folders A and B,\n"
               "             fibre IDs, file names), one row per fibre and wavelength with\n"
               "             both files, the averaged figures, the worst events, the bends\n"
               "             and the verdict; a file without a partner has a row of its own\n"
               "  --thresholds FILE  judge the files by the limits and the launch and\n"
               "                     receive cables in FILE (the viewer's thresholds.ini\n"
               "                     format) instead of the default ones; in the default\n"
               "                     and --json modes each file is also summarized and\n"
               "                     judged: the text dump ends with the summary's lines,\n"
               "                     the verdict and its reasons, the JSON object gains\n"
               "                     \"summary\" (the --summary --json object); the trace\n"
               "                     of --python and --csv does not depend on them\n"
               "  --help     this text\n"
               "  --version  the program's name and version\n\n"
               "In --python, --csv and --json mode the reader's progress lines are not written to standard\n"
               "output. A file that cannot be parsed gets the reader's error text on standard error.\n"
               "Exit status: 0 when every file parsed, 1 otherwise (also for a folder without .sor files),\n"
               "2 for wrong usage.\n",
        out);
}

std::wstring widen(const std::string& narrow)
{
    std::wstring wide(narrow.size() + 1, L'\0');
    std::mbstate_t state {};
    const char* source = narrow.c_str();
    const size_t n = std::mbsrtowcs(wide.data(), &source, wide.size(), &state);
    if (n == static_cast<size_t>(-1)) {
        // Bytes the locale cannot decode: pass them one by one, the reader retries UTF-8 itself.
        return std::wstring(narrow.begin(), narrow.end());
    }
    wide.resize(n);
    return wide;
}

std::string number(double v)
{
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, r.ptr);
}

void printText(sor::SORParser& p)
{
    const sor::_SectionParser* blocks[] = { &p.map, &p.gen, &p.sup, &p.fxd, &p.events, &p.data };
    bool firstBlock = true;
    for (const auto* b : blocks) {
        if (!firstBlock)
            std::cout << "\n";
        firstBlock = false;
        if (b->parsed)
            std::cout << b->string();
        else
            std::cout << "Section Title: " << b->blockName << "\n(missing: the file has no readable " << b->blockName
                      << " block)\n";
    }
    std::cout << "\nCRC diagnosis: " << analysis::diagnoseChecksum(p).text << "\n" << std::flush;
}

void printCsv(sor::SORParser& p)
{
    const auto& xy = p.getXY();
    std::string out = "distance_km,level_db\n";
    for (size_t i = 0; i < xy[0].size(); ++i)
        out += number(xy[0][i]) + "," + number(xy[1][i]) + "\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
}

void jsonEvents(JsonWriter& j, const sor::SORParser& p)
{
    const auto& ev = p.events;
    j.beginObject();
    j.field("Number of Events", ev.NumberOfEvents);
    j.key("events").beginArray();
    for (const auto& e : ev.keyEvents) {
        j.beginObject();
        j.field("EventNr", e.EventNr).field("EventType", e.EventType).field("EventCode", e.EventCode);
        j.field("Distance", e.Distance).field("TimeOfTravel", e.TimeOfTravel);
        j.field("Slope", e.Slope).field("Slope_Raw", e.Slope_Raw);
        j.field("SpliceLoss", e.SpliceLoss).field("SpliceLoss_Raw", e.SpliceLoss_Raw);
        j.field("ReflectionLoss", e.ReflectionLoss).field("ReflectionLoss_Raw", e.ReflectionLoss_Raw);
        j.field("EndOfPrevEvent_Raw", e.EndOfPrevEvent_Raw).field("BeginOfCurrentEvent_Raw", e.BeginOfCurrentEvent_Raw);
        j.field("EndOfCurrentEvent_Raw", e.EndOfCurrentEvent_Raw).field("BeginOfNextEvent_Raw", e.BeginOfNextEvent_Raw);
        j.field("PeakPointCurrent_Raw", e.PeakPointCurrent_Raw);
        j.field("EndOfPrevEvent", e.EndOfPrevEvent).field("BeginOfCurrentEvent", e.BeginOfCurrentEvent);
        j.field("EndOfCurrentEvent", e.EndOfCurrentEvent).field("BeginOfNextEvent", e.BeginOfNextEvent);
        j.field("PeakPointCurrent", e.PeakPointCurrent).field("Comment", analysis::fileText(p, e.Comment));
        j.endObject();
    }
    j.endArray();
    j.key("summary").beginObject();
    j.field("TotalLoss", ev.TotalLoss).field("TotalLoss_Raw", ev.TotalLoss_Raw);
    j.field("FiberStart", ev.FiberStart).field("FiberStart_Raw", ev.FiberStart_Raw);
    j.field("FiberLength", ev.FiberLength).field("FiberLength_Raw", ev.FiberLength_Raw);
    j.field("ORL", ev.ORL).field("ORL_Raw", ev.ORL_Raw);
    j.field("ORL_Start", ev.ORL_Start).field("ORL_Start_Raw", ev.ORL_Start_Raw);
    j.field("ORL_Length", ev.ORL_Length).field("ORL_Length_Raw", ev.ORL_Length_Raw);
    j.endObject();
    j.endObject();
}

void jsonFxd(JsonWriter& j, const sor::SectionParser_Fxd& f)
{
    j.beginObject();
    j.field("Date_seconds", f.Date_seconds).field("Date", f.Date);
    j.field("Units", f.UnitsDescription).field("Units_Raw", f.Units);
    j.field("Wavelength", f.Wavelength).field("Wavelength_Raw", f.Wavelength_Raw);
    j.field("AquOffset", f.AquOffset).field("AquOffsetDist", f.AquOffsetDist);
    j.field("NumberPulseWidthEntries", f.NumberPulseWidthEntries).field("PulseWidth", f.PulseWidth);
    j.field("SampleSpacing", f.SampleSpacing).field("SampleDistance", f.SampleDistance);
    j.field("NumberOfDataPoints", f.NumberOfDataPoints);
    j.field("IndexRefraction_Raw", f.IndexRefraction_Raw).field("IOR", f.IOR);
    j.field("BackscatterCoef_Raw", f.BackscatterCoef_Raw).field("BackscatterCoef_dB", f.BackscatterCoef_dB);
    j.field("NumberOfAverages", f.NumberOfAverages).field("AveragingTime", f.AveragingTime);
    j.field("Range", f.Range).field("Range_Raw", f.Range_Raw);
    j.field("AquRangeDist", f.AquRangeDist).field("FrontPanelOffset", f.FrontPanelOffset);
    j.field("NoiseFloorLevel", f.NoiseFloorLevel).field("NoiseFloorScaling", f.NoiseFloorScaling);
    j.field("PowerOffsetFirstPoint", f.PowerOffsetFirstPoint);
    j.field("LossThreshold_dB", f.LossThreshold_dB).field("LossThreshold_Raw", f.LossThreshold_Raw);
    j.field("ReflectionThreshold_dB", f.ReflectionThreshold_dB)
        .field("ReflectionThreshold_Raw", f.ReflectionThreshold_Raw);
    j.field("EOT_Threshold_dB", f.EOT_Threshold_dB).field("EOT_Threshold_Raw", f.EOT_Threshold_Raw);
    j.field("TraceType", f.TraceTypeDescription).field("TraceType_Raw", f.TraceType);
    j.field("X1", f.X1).field("Y1", f.Y1).field("X2", f.X2).field("Y2", f.Y2);
    j.endObject();
}

std::string toJson(sor::SORParser& p, const std::string& path, const std::optional<analysis::Thresholds>& judged)
{
    JsonWriter j;
    j.beginObject();
    j.field("path", path).field("fileParsed", p.fileParsed).field("errorText", p.errorText);
    j.field("errorMessage", p.errorMessage);
    j.field("storedCrc", p.storedCrc).field("crcValid", p.crcValid);
    j.key("crcDiagnosis");
    if (p.crcCandidates.computed) {
        const auto diagnosis = analysis::diagnoseChecksum(p);
        j.value(diagnosis.text);
        j.field("crcConvention", analysis::conventionName(diagnosis.convention)).field("crcSuspect", diagnosis.suspect);
    } else {
        j.null();
    }
    j.field("numberOfSamples", static_cast<uint64_t>(p.data.DataPoints.size()));

    // Where the reader found each block, in the order met: a Map entry the file does not have has offset null.
    j.key("blocks").beginArray();
    for (const auto& b : p.blockLocations) {
        j.beginObject().field("name", b.name).key("offset");
        if (b.offset >= 0)
            j.value(static_cast<int64_t>(b.offset));
        else
            j.null();
        j.field("size", static_cast<int64_t>(b.size)).endObject();
    }
    j.endArray();

    j.key("Map");
    if (p.map.parsed) {
        j.beginObject();
        j.field("MAP version", p.map.MapVersion).field("NumberOfBytesMapBlock", p.map.NumberOfBytesMapBlock);
        j.field("NumberOfBlocks", p.map.NumberOfBlocks);
        j.key("BlockMap").beginArray();
        for (size_t i = 0; i < p.map.BlockMap_Name.size(); ++i) {
            j.beginObject();
            j.field("BlockMap_Name", p.map.BlockMap_Name[i]).field("BlockMap_Version", p.map.BlockMap_Version[i]);
            j.field("BlockMap_NumberOfBytes", p.map.BlockMap_NumberOfBytes[i]);
            j.endObject();
        }
        j.endArray().endObject();
    } else {
        j.null();
    }

    j.key("GenParams");
    // The files' texts in UTF-8, by the rule the viewer reads them with.
    const auto text = [&p](const std::string& bytes) { return analysis::fileText(p, bytes); };
    if (const auto& g = p.gen; g.parsed) {
        j.beginObject();
        j.field("Language", text(g.Language)).field("CableID", text(g.CableID)).field("FiberID", text(g.FiberID));
        j.field("FiberType", g.FiberType).field("FiberType_Raw", g.FiberType_Raw).field("Wavelength", g.Wavelength);
        j.field("LocationA", text(g.LocationA)).field("LocationB", text(g.LocationB));
        j.field("CableCode", text(g.CableCode));
        j.field("BuildCondition", g.BuildCondition).field("BuildCondition_Raw", text(g.BuildCondition_Raw));
        j.field("UserOffset", g.UserOffset).field("UserOffsetDistance", g.UserOffsetDistance);
        j.field("Operator", text(g.Operator)).field("Comments", text(g.Comments));
        j.endObject();
    } else {
        j.null();
    }

    j.key("SupParams");
    if (const auto& s = p.sup; s.parsed) {
        j.beginObject();
        j.field("SupplierName", text(s.SupplierName)).field("OTDR_Name", text(s.OTDR_Name));
        j.field("OTDR_SN", text(s.OTDR_SN)).field("ModuleName", text(s.ModuleName));
        j.field("Module_SN", text(s.Module_SN)).field("SW_Vers", text(s.SW_Vers));
        j.field("Other", text(s.Other));
        j.endObject();
    } else {
        j.null();
    }

    j.key("FxdParams");
    if (p.fxd.parsed)
        jsonFxd(j, p.fxd);
    else
        j.null();

    j.key("KeyEvents");
    if (p.events.parsed)
        jsonEvents(j, p);
    else
        j.null();

    j.key("DataPts");
    if (const auto& d = p.data; d.parsed) {
        j.beginObject();
        j.field("NumberOfPoints", d.NumberOfPoints).field("NumberOfTraces", d.NumberOfTraces);
        j.field("NumberOfPoints_Trace", d.NumberOfPoints_Trace).field("ScalingFactor", d.ScalingFactor);
        j.endObject();
    } else {
        j.null();
    }
    std::string out = j.str();
    if (judged) {
        // The summary is an object of its own, written by the summary mode.
        out += ",\"summary\":" + summaryJson(analysis::summarize(p, path, *judged), *judged) + "}";
    }
    return out + "}";
}

} // namespace

int main(int argc, char** argv)
{
    std::setlocale(LC_CTYPE, "");
    Mode mode = Mode::Text;
    bool summary = false;
    bool analyse = false;
    bool fibre = false;
    bool byFibre = false;
    std::string thresholdsFile;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            usage(stdout);
            return 0;
        } else if (arg == "--version") {
            std::fputs("sordump (TAVIX SOR-Viewer) " TAVIX_VERSION "\n", stdout);
            return 0;
        } else if (arg == "--python") {
            mode = Mode::Python;
        } else if (arg == "--csv") {
            mode = Mode::Csv;
        } else if (arg == "--json") {
            mode = Mode::Json;
        } else if (arg == "--summary") {
            summary = true;
        } else if (arg == "--analyse" || arg == "--analyze") {
            analyse = true;
        } else if (arg == "--fibre") {
            fibre = true;
        } else if (arg == "--by-fibre") {
            byFibre = true;
        } else if (arg == "--thresholds") {
            if (i + 1 >= argc) {
                std::fputs("sordump: --thresholds needs a file\n", stderr);
                return 2;
            }
            thresholdsFile = argv[++i];
        } else if (arg == "--") {
            files.insert(files.end(), argv + i + 1, argv + argc);
            break;
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "sordump: unknown option %s\n", arg.c_str());
            usage(stderr);
            return 2;
        } else {
            files.push_back(arg);
        }
    }
    const bool textOrJson = mode == Mode::Text || mode == Mode::Json;
    if (files.empty() || ((summary || fibre || analyse) && !textOrJson) || (fibre && summary)
        || (byFibre && !summary)) {
        usage(stderr);
        return 2;
    }
    std::optional<analysis::Thresholds> judged;
    if (!thresholdsFile.empty()) {
        struct stat info { };
        if (::stat(thresholdsFile.c_str(), &info) != 0 || !S_ISREG(info.st_mode)
            || ::access(thresholdsFile.c_str(), R_OK) != 0) {
            std::fprintf(stderr, "sordump: cannot read %s\n", thresholdsFile.c_str());
            return 2;
        }
        judged = analysis::loadThresholds(thresholdsFile);
    }
    if (fibre)
        return printFibre(files, mode == Mode::Json, judged.value_or(analysis::Thresholds()), analyse);
    if (byFibre)
        return printFibreSummaries(files, mode == Mode::Json, judged.value_or(analysis::Thresholds()), analyse);
    if (summary)
        return printSummaries(files, mode == Mode::Json, judged.value_or(analysis::Thresholds()), analyse);
    if (analyse)
        return printAnalyses(files, mode == Mode::Json, judged.value_or(analysis::Thresholds()).detection);

    int status = 0;
    for (const auto& path : files) {
        if (mode == Mode::Text && files.size() > 1)
            std::cout << "==> " << path << " <==\n" << std::flush;
        // The reader's progress lines stay off the machine-readable output.
        sor::SORParser parser(widen(path), mode == Mode::Text ? std::cout : sor::nowhere(), std::cerr);
        if (!parser.fileParsed) {
            status = 1;
            std::fprintf(stderr, "sordump: %s: could not be parsed\n", path.c_str());
        }
        switch (mode) {
        case Mode::Text:
            if (parser.fileParsed) {
                printText(parser);
                if (judged)
                    std::cout << "\nSummary\n"
                              << summaryText(analysis::summarize(parser, path, *judged), *judged) << std::flush;
            }
            break;
        case Mode::Python:
            if (parser.fileParsed)
                std::cout << parser.getPythonListString() << std::flush;
            break;
        case Mode::Csv:
            if (parser.fileParsed)
                printCsv(parser);
            break;
        case Mode::Json:
            std::cout << toJson(parser, path, judged) << "\n" << std::flush;
            break;
        }
    }
    std::fflush(stdout);
    return status;
}
