#include "analysis/FibreSet.h"

#include "analysis/WidePath.h"
#include "sor/SORParser.h"

#include <algorithm>
#include <map>
#include <set>

namespace analysis {

std::shared_ptr<sor::SORParser> FibreSet::parser(size_t k, bool fromB) const
{
    if (k >= fibre.wavelengths.size())
        return nullptr;
    const int index = fromB ? fibre.wavelengths[k].ba : fibre.wavelengths[k].ab;
    if (index < 0 || size_t(index) >= parsers.size())
        return nullptr;
    return parsers[size_t(index)];
}

FibreSet readFibreSet(const std::vector<std::string>& paths, const Thresholds& t)
{
    FibreSet set;
    for (const std::string& path : paths) {
        auto parser = std::make_shared<sor::SORParser>(widePath(path), sor::nowhere(), sor::nowhere());
        set.files.push_back(fibreFile(*parser, path, path, t));
        if (parser->fileParsed) {
            parser->getXY();
            set.parsers.push_back(std::move(parser));
        } else {
            set.errors.push_back(path + ": " + parser->errorMessage);
            set.parsers.push_back(nullptr);
        }
    }
    set.fibre = oneFibre(set.files);
    set.analysis = analyseFibre(set.fibre, set.files);
    return set;
}

void reanalyse(FibreSet& set, const Thresholds& t)
{
    for (FibreFile& f : set.files) {
        if (!f.summary.parsed)
            continue;
        applyCables(f.summary, t);
        spanFor(f, t);
    }
    set.analysis = analyseFibre(set.fibre, set.files);
}

void mirrorTrace(std::vector<double>& x, std::vector<double>& y, double mirrorKm)
{
    for (double& v : x)
        v = mirrorKm - v;
    std::reverse(x.begin(), x.end());
    std::reverse(y.begin(), y.end());
}

sor::SORParser mirroredParser(const sor::SORParser& parser, double mirrorKm)
{
    sor::SORParser copy(parser);
    auto xy = copy.getXY();
    mirrorTrace(xy[0], xy[1], mirrorKm);
    copy.xy = std::move(xy);
    copy.xyCached = true;
    return copy;
}

void ManualPairs::pair(const std::string& a, const std::string& b)
{
    if (a == b)
        return;
    for (const auto& f : { a, b }) {
        pairs.erase(
            std::remove_if(pairs.begin(), pairs.end(), [&](const auto& p) { return p.first == f || p.second == f; }),
            pairs.end());
        alone.erase(std::remove(alone.begin(), alone.end(), f), alone.end());
    }
    pairs.emplace_back(a, b);
}

void ManualPairs::unpair(const std::string& file)
{
    pairs.erase(
        std::remove_if(pairs.begin(), pairs.end(), [&](const auto& p) { return p.first == file || p.second == file; }),
        pairs.end());
    if (std::find(alone.begin(), alone.end(), file) == alone.end())
        alone.push_back(file);
}

std::string pairsText(const ManualPairs& m)
{
    std::string out;
    for (const auto& [a, b] : m.pairs)
        out += "pair\t" + a + "\t" + b + "\n";
    for (const auto& f : m.alone)
        out += "alone\t" + f + "\n";
    return out;
}

ManualPairs parsePairs(const std::string& text)
{
    ManualPairs m;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::vector<std::string> fields;
        size_t from = 0;
        for (size_t tab; (tab = line.find('\t', from)) != std::string::npos; from = tab + 1)
            fields.push_back(line.substr(from, tab - from));
        fields.push_back(line.substr(from));
        if (fields.size() == 3 && fields[0] == "pair" && !fields[1].empty() && !fields[2].empty()
            && fields[1] != fields[2])
            m.pairs.emplace_back(fields[1], fields[2]);
        else if (fields.size() == 2 && fields[0] == "alone" && !fields[1].empty())
            m.alone.push_back(fields[1]);
    }
    return m;
}

std::vector<FibreFiles> pairWithManual(const std::vector<FibreFile>& files, const ManualPairs& manual)
{
    std::map<std::string, int> byName;
    for (size_t i = 0; i < files.size(); ++i)
        byName.emplace(files[i].summary.file, int(i));
    const auto find = [&](const std::string& name) {
        const auto it = byName.find(name);
        return it == byName.end() ? -1 : it->second;
    };
    std::set<int> taken;
    std::vector<std::vector<int>> groups; // files that are one fibre by hand
    for (const auto& [a, b] : manual.pairs) {
        const int ia = find(a), ib = find(b);
        if (ia < 0 || ib < 0 || ia == ib || taken.count(ia) || taken.count(ib))
            continue;
        taken.insert(ia);
        taken.insert(ib);
        groups.push_back({ ia, ib });
    }
    for (const auto& f : manual.alone) {
        const int i = find(f);
        if (i >= 0 && !taken.count(i)) {
            taken.insert(i);
            groups.push_back({ i });
        }
    }
    std::vector<int> rest;
    std::vector<FibreFile> restFiles;
    for (int i = 0; i < int(files.size()); ++i) {
        if (!taken.count(i)) {
            rest.push_back(i);
            restFiles.push_back(files[size_t(i)]);
        }
    }
    const auto remap = [](FibreFiles f, const std::vector<int>& to) {
        for (WavelengthFiles& w : f.wavelengths) {
            w.ab = w.ab < 0 ? -1 : to[size_t(w.ab)];
            w.ba = w.ba < 0 ? -1 : to[size_t(w.ba)];
        }
        return f;
    };
    std::vector<FibreFiles> out;
    for (const FibreFiles& f : pairFibres(restFiles))
        out.push_back(remap(f, rest));
    for (const auto& group : groups) {
        std::vector<FibreFile> members;
        for (const int i : group)
            members.push_back(files[size_t(i)]);
        FibreFiles f = remap(oneFibre(members), group);
        for (WavelengthFiles& w : f.wavelengths)
            if (w.ab >= 0 && w.ba >= 0)
                w.rule = "by hand";
        out.push_back(std::move(f));
    }
    return out;
}

std::string fibreCountsText(const Counts& c)
{
    std::string out = std::to_string(c.files) + (c.files == 1 ? " fibre: " : " fibres: ") + std::to_string(c.pass)
        + " pass, " + std::to_string(c.fail) + " fail";
    if (c.error > 0)
        out += ", " + std::to_string(c.error) + (c.error == 1 ? " error" : " errors");
    if (c.incomplete > 0)
        out += ", " + std::to_string(c.incomplete) + " incomplete";
    return out;
}

} // namespace analysis
