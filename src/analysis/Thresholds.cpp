#include "analysis/Thresholds.h"

#include "analysis/TableNumbers.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>

namespace analysis {

namespace {
    constexpr size_t maxFileSize = 64 * 1024;

    // The keys in file order, with the limit each sets.
    template <typename F> void forEachKey(Thresholds& t, F f)
    {
        f("MaxSpliceLoss", t.maxSpliceLoss);
        f("MaxConnectorLoss", t.maxConnectorLoss);
        f("MaxReflectance", t.maxReflectance);
        for (size_t i = 0; i < attenuationBands.size(); ++i)
            f("MaxAttenuation" + std::to_string(attenuationBands[i]), t.maxAttenuation[i]);
        f("MaxTotalLoss", t.maxTotalLoss);
        f("MinORL", t.minOrl);
    }

    // The own analysis's keys, with the range each accepts.
    template <typename F> void forEachDetectionKey(DetectionThresholds& d, F f)
    {
        using D = DetectionThresholds;
        f("AnalysisSpliceLoss", d.spliceLoss, D::minSpliceLoss, D::maxSpliceLoss);
        f("AnalysisReflectance", d.reflectance, D::minReflectance, D::maxReflectance);
        f("AnalysisEndOfFibre", d.endOfFibre, D::minEndOfFibre, D::maxEndOfFibre);
    }

    std::optional<double> readNumber(const std::string& value)
    {
        double v = 0;
        const auto r = std::from_chars(value.data(), value.data() + value.size(), v);
        if (r.ec == std::errc() && r.ptr == value.data() + value.size() && std::isfinite(v))
            return v;
        return std::nullopt;
    }

    std::string trimmed(const std::string& s)
    {
        const auto first = s.find_first_not_of(" \t\r");
        if (first == std::string::npos)
            return {};
        return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
    }
} // namespace

bool Thresholds::operator==(const Thresholds& o) const
{
    return maxSpliceLoss == o.maxSpliceLoss && maxConnectorLoss == o.maxConnectorLoss
        && maxReflectance == o.maxReflectance && maxAttenuation == o.maxAttenuation && maxTotalLoss == o.maxTotalLoss
        && minOrl == o.minOrl && launchCable == o.launchCable && receiveCable == o.receiveCable
        && maxBendDelta == o.maxBendDelta && detection == o.detection;
}

std::string cableSettingText(const CableSetting& c)
{
    switch (c.mode) {
    case CableSetting::Mode::Length:
        return number(c.km);
    case CableSetting::Mode::Auto:
        return "auto";
    case CableSetting::Mode::None:
        break;
    }
    return {};
}

std::optional<CableSetting> parseCableSetting(const std::string& text)
{
    const std::string value = trimmed(text);
    if (value.empty())
        return CableSetting();
    std::string lower = value;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    if (lower == "auto")
        return CableSetting { CableSetting::Mode::Auto, 0 };
    const auto km = readNumber(value);
    if (!km || *km < 0)
        return std::nullopt;
    if (*km == 0)
        return CableSetting();
    return CableSetting { CableSetting::Mode::Length, *km };
}

int nearestBand(double wavelength)
{
    if (!std::isfinite(wavelength))
        return -1;
    int best = -1;
    double bestDistance = 100.0;
    for (size_t i = 0; i < attenuationBands.size(); ++i) {
        const double d = std::abs(wavelength - attenuationBands[i]);
        if (d < bestDistance || (best < 0 && d == bestDistance)) {
            best = static_cast<int>(i);
            bestDistance = d;
        }
    }
    return best;
}

std::string thresholdsText(const Thresholds& thresholds)
{
    Thresholds t = thresholds;
    std::string out;
    forEachKey(t, [&](const std::string& key, const std::optional<double>& limit) {
        out += key + ":" + (limit ? number(*limit) : std::string()) + "\n";
    });
    out += "LaunchCableKm:" + cableSettingText(t.launchCable) + "\n";
    out += "ReceiveCableKm:" + cableSettingText(t.receiveCable) + "\n";
    // Last, so that files written before it read as they did.
    out += "MaxBendDelta:" + (t.maxBendDelta ? number(*t.maxBendDelta) : std::string()) + "\n";
    forEachDetectionKey(t.detection, [&](const char* key, double& value, double, double) {
        out += std::string(key) + ":" + number(value) + "\n";
    });
    return out;
}

Thresholds parseThresholds(const std::string& text)
{
    Thresholds t;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const auto colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        const std::string key = trimmed(line.substr(0, colon));
        const std::string value = trimmed(line.substr(colon + 1));
        if (key == "LaunchCableKm" || key == "ReceiveCableKm") {
            if (const auto cable = parseCableSetting(value))
                (key == "LaunchCableKm" ? t.launchCable : t.receiveCable) = *cable;
            continue;
        }
        bool detectionKey = false;
        forEachDetectionKey(t.detection, [&](const char* name, double& setting, double least, double most) {
            if (key != name)
                return;
            detectionKey = true;
            // The analysis always has its thresholds: a value out of range keeps the default.
            if (const auto v = readNumber(value); v && *v >= least && *v <= most)
                setting = *v;
        });
        if (detectionKey)
            continue;
        const auto read = [&](const std::string& name, std::optional<double>& limit) {
            if (key != name)
                return;
            if (value.empty()) {
                limit.reset();
                return;
            }
            if (const auto v = readNumber(value))
                limit = *v;
        };
        forEachKey(t, read);
        read("MaxBendDelta", t.maxBendDelta);
    }
    return t;
}

Thresholds loadThresholds(const std::string& path)
{
    // Only a regular file: a FIFO would block, a device never end.
    struct stat info { };
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return Thresholds();
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return Thresholds();
    std::string text(maxFileSize, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    text.erase(std::find(text.begin(), text.end(), '\0'), text.end());
    return parseThresholds(text);
}

bool saveThresholds(const std::string& path, const Thresholds& t)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << thresholdsText(t);
    out.close();
    return !out.fail();
}

} // namespace analysis
