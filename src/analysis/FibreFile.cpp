#include "analysis/FibreFile.h"

#include "analysis/FolderListing.h"
#include "analysis/TextEncoding.h"
#include "analysis/WidePath.h"

#include "sor/SORParser.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

namespace analysis {

namespace {
    std::string trimmed(const std::string& text)
    {
        const auto first = text.find_first_not_of(" \t\r\n");
        if (first == std::string::npos)
            return {};
        return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
    }

    std::shared_ptr<const StoredTrace> storedTrace(const sor::SORParser& parser)
    {
        if (!parser.fileParsed || parser.data.DataPoints.empty())
            return nullptr;
        auto t = std::make_shared<StoredTrace>();
        t->samples = parser.data.DataPoints;
        // As the summary reads it: the scaling factor gives the counts' unit in 0.001 dB.
        t->dbPerCount = parser.data.ScalingFactor * 0.000001;
        t->startKm = parser.acquisitionOffsetKm() - parser.userOffsetKm();
        t->stepKm = parser.fxd.SampleDistance * 0.001;
        return t;
    }
} // namespace

TraceSamples StoredTrace::levels(std::vector<double>& buffer) const
{
    buffer.resize(samples.size());
    const double scale = dbPerCount;
    std::transform(samples.begin(), samples.end(), buffer.begin(), [scale](uint16_t p) { return -(p * scale); });
    return TraceSamples { buffer.data(), buffer.size(), startKm, stepKm };
}

FibreFile fibreFile(
    const sor::SORParser& parser, std::string path, std::string shown, const Thresholds& cables, bool keepTrace)
{
    FibreFile f;
    f.path = std::move(path);
    f.summary = summarize(parser, std::move(shown), cables);
    spanFor(f, cables);
    if (parser.fileParsed && parser.sup.parsed) {
        const auto text = [&parser](const std::string& bytes) { return trimmed(fileText(parser, bytes)); };
        f.instrument
            = text(parser.sup.SupplierName) + " " + text(parser.sup.OTDR_Name) + " " + text(parser.sup.OTDR_SN);
    }
    if (parser.fileParsed)
        f.sampleKm = parser.fxd.SampleDistance * 0.001;
    if (keepTrace)
        f.trace = storedTrace(parser);
    return f;
}

void spanFor(FibreFile& file, const Thresholds& cables)
{
    FileSummary& s = file.summary;
    if (file.cablesSwapped)
        applyCables(s, cables);
    file.cablesSwapped = false;
    if (!s.parsed || s.incomplete.empty() || cables.launchCable == cables.receiveCable)
        return;
    Thresholds swapped = cables;
    std::swap(swapped.launchCable, swapped.receiveCable);
    FileSummary turned = s;
    applyCables(turned, swapped);
    if (turned.incomplete.empty()) {
        s = std::move(turned);
        file.cablesSwapped = true;
    }
}

FibreFile readFibreFile(const std::string& path, std::string shown, const Thresholds& cables, bool keepTrace)
{
    const sor::SORParser parser(widePath(path), sor::nowhere(), sor::nowhere());
    return fibreFile(parser, path, std::move(shown), cables, keepTrace);
}

std::vector<FibreFile> readFibreFiles(const std::vector<std::string>& paths, const Thresholds& cables, bool keepTrace)
{
    std::vector<FibreFile> files;
    for (const auto& path : paths) {
        struct stat info { };
        if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            for (const auto& f : listSorFiles(path)) {
                files.push_back(readFibreFile(
                    f.path, (std::filesystem::path(path) / f.relative).lexically_normal().string(), cables, keepTrace));
            }
        } else {
            files.push_back(readFibreFile(path, path, cables, keepTrace));
        }
    }
    return files;
}

std::shared_ptr<const StoredTrace> traceOf(const FibreFile& file)
{
    if (file.trace || file.path.empty() || !file.summary.parsed)
        return file.trace;
    const sor::SORParser parser(widePath(file.path), sor::nowhere(), sor::nowhere());
    return storedTrace(parser);
}

void useEvents(FibreFile& file, std::vector<EventMeasure> events, const Thresholds& cables)
{
    file.summary.eventList = std::move(events);
    file.summary.events = static_cast<int>(file.summary.eventList.size());
    file.cablesSwapped = false;
    applyCables(file.summary, cables);
    spanFor(file, cables);
}

} // namespace analysis
