#include "AnalyseMode.h"

#include "JsonWriter.h"

#include "analysis/OwnAnalysis.h"
#include "analysis/SummaryTable.h"
#include "analysis/TableNumbers.h"
#include "analysis/WidePath.h"
#include "sor/SORParser.h"

#include <cstdio>

namespace {

void write(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

void thresholdsJson(JsonWriter& j, const analysis::DetectionThresholds& t)
{
    j.key("thresholds").beginObject();
    j.field("spliceLoss", t.spliceLoss).field("reflectance", t.reflectance).field("endOfFibre", t.endOfFibre);
    j.endObject();
}

std::string cell(const std::optional<double>& v) { return v ? analysis::fixed3(*v) : analysis::notMeasured; }

std::string pad(std::string text, size_t width) { return text.size() < width ? std::string(width - text.size(), ' ') + text : text; }

std::string analysisText(const analysis::OwnAnalysis& own)
{
    const auto& t = own.thresholds;
    std::string out = "Own analysis: splice loss " + analysis::number(t.spliceLoss) + " dB, reflectance "
        + analysis::number(t.reflectance) + " dB, end of fibre " + analysis::number(t.endOfFibre) + " dB\n";
    out += "   #  position (km)  type          loss (dB)  reflectance (dB)  attenuation before (dB/km)\n";
    for (size_t k = 0; k < own.events.size(); ++k) {
        const auto& e = own.events[k];
        std::string type = analysis::eventKindName(e.kind);
        type.resize(12, ' ');
        out += pad(std::to_string(k + 1), 4) + pad(analysis::fixed3(e.km), 15) + "  " + type + pad(cell(e.loss), 11)
            + pad(cell(e.reflectance), 18) + pad(cell(e.attenuationBefore), 28) + "\n";
    }
    if (own.events.empty())
        out += "   (no events found)\n";
    return out;
}

} // namespace

std::string analysisJson(const std::string& path, const sor::SORParser& parser, const analysis::OwnAnalysis& own)
{
    JsonWriter j;
    j.beginObject();
    j.field("path", path).field("fileParsed", parser.fileParsed).field("errorText", parser.errorText);
    j.field("errorMessage", parser.errorMessage);
    thresholdsJson(j, own.thresholds);
    j.key("events").beginArray();
    for (const auto& e : own.events) {
        j.beginObject();
        j.field("positionKm", e.km).field("type", std::string(analysis::eventKindName(e.kind)));
        j.field("loss", e.loss).field("reflectance", e.reflectance).field("attenuationBefore", e.attenuationBefore);
        j.endObject();
    }
    j.endArray().endObject();
    return j.str();
}

int printAnalyses(const std::vector<std::string>& paths, bool json, const analysis::DetectionThresholds& thresholds)
{
    int status = 0;
    for (const auto& path : paths) {
        // The reader's progress lines stay off the listing; its message is said once, here.
        const sor::SORParser parser(analysis::widePath(path), sor::nowhere(), sor::nowhere());
        if (!parser.fileParsed) {
            status = 1;
            std::fprintf(stderr, "sordump: %s: could not be parsed: %s\n", path.c_str(), parser.errorMessage.c_str());
        }
        const analysis::OwnAnalysis own = analysis::analyse(parser, thresholds);
        if (json) {
            write(analysisJson(path, parser, own) + "\n");
        } else if (parser.fileParsed) {
            if (paths.size() > 1)
                write("==> " + path + " <==\n");
            write(analysisText(own));
        }
    }
    std::fflush(stdout);
    return status;
}
