#include "analysis/FileSummary.h"

#include "analysis/ChecksumDiagnosis.h"
#include "analysis/TextEncoding.h"
#include "analysis/WidePath.h"

#include "sor/SORParser.h"

#include <utility>

namespace analysis {

namespace {
    bool isFibreEnd(const sor::KeyEventData& e) { return e.EventCode.size() >= 2 && e.EventCode[1] == 'E'; }

    // The code says it for kinds 0 and 1; a multiple or unknown event counts as reflective when it has a
    // reflectance.
    bool isReflective(const sor::KeyEventData& e)
    {
        const char kind = e.EventCode.empty() ? '\0' : e.EventCode[0];
        if (kind == '0' || kind == '1')
            return kind == '1';
        return e.ReflectionLoss_Raw != 0;
    }

    // Instruments pad their texts with blanks.
    std::string trimmed(const std::string& text)
    {
        const auto first = text.find_first_not_of(" \t\r\n");
        if (first == std::string::npos)
            return {};
        return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
    }

    void keepWorst(WorstEvent& worst, double value, double km)
    {
        if (!known(worst.value) || value > worst.value)
            worst = { value, km };
    }
} // namespace

FileSummary summarize(const sor::SORParser& parser, std::string file)
{
    FileSummary s;
    s.file = std::move(file);
    s.parsed = parser.fileParsed;
    if (!parser.fileParsed) {
        s.errorText = parser.errorMessage;
        return s;
    }

    if (parser.gen.parsed) {
        s.fibreId = trimmed(fileText(parser, parser.gen.FiberID));
        s.cableId = trimmed(fileText(parser, parser.gen.CableID));
        s.locationA = trimmed(fileText(parser, parser.gen.LocationA));
        s.locationB = trimmed(fileText(parser, parser.gen.LocationB));
    }
    const auto& fxd = parser.fxd;
    if (fxd.Wavelength > 0)
        s.wavelength = fxd.Wavelength;
    else if (parser.gen.parsed && parser.gen.Wavelength > 0)
        s.wavelength = parser.gen.Wavelength;
    s.pulseWidth = fxd.PulseWidth;
    s.date = fxd.Date;
    s.dateSeconds = fxd.Date_seconds;

    const auto& ev = parser.events;
    if (ev.parsed) {
        s.events = static_cast<int>(ev.keyEvents.size());
        s.totalLoss = ev.TotalLoss;
        s.orl = ev.ORL;
        for (const auto& e : ev.keyEvents) {
            if (isFibreEnd(e)) {
                if (!known(s.fibreLength))
                    s.fibreLength = e.Distance;
                continue;
            }
            keepWorst(isReflective(e) ? s.connector : s.splice, e.SpliceLoss, e.Distance);
            // A reflectance of 0 is what instruments store for none measured.
            if (e.ReflectionLoss_Raw != 0)
                keepWorst(s.reflectance, e.ReflectionLoss, e.Distance);
        }
        if (!known(s.fibreLength) && ev.FiberLength > 0)
            s.fibreLength = ev.FiberLength;
        if (known(s.fibreLength) && s.fibreLength > 0)
            s.attenuation = s.totalLoss / s.fibreLength;
    }

    const ChecksumDiagnosis checksum = diagnoseChecksum(parser);
    s.checksum = checksum.text;
    s.checksumSuspect = checksum.suspect;
    return s;
}

FileSummary summarizeFile(const std::string& path, std::string file)
{
    const sor::SORParser parser(widePath(path), sor::nowhere(), sor::nowhere());
    return summarize(parser, std::move(file));
}

} // namespace analysis
