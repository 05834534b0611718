#include "analysis/FibrePairing.h"

#include "analysis/SummaryTable.h"
#include "analysis/TableNumbers.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <set>
#include <tuple>

namespace analysis {

namespace {
    std::string lower(std::string s)
    {
        std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
        return s;
    }

    std::string trimmedLower(const std::string& s)
    {
        const auto first = s.find_first_not_of(" \t\r\n");
        if (first == std::string::npos)
            return {};
        return lower(s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1));
    }

    std::vector<std::string> components(const std::string& path)
    {
        std::vector<std::string> out;
        std::string part;
        for (const char c : path) {
            if (c == '/' || c == '\\') {
                if (!part.empty() && part != ".")
                    out.push_back(part);
                part.clear();
            } else {
                part += c;
            }
        }
        out.push_back(part);
        return out;
    }

    std::string stem(const std::string& name)
    {
        const auto dot = name.rfind('.');
        return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
    }

    // Runs of letters and runs of digits, in lower case; everything else separates them.
    struct Tokens {
        std::vector<std::string> items;
        std::vector<bool> digits;
    };

    Tokens tokens(const std::string& text)
    {
        Tokens t;
        bool open = false;
        for (const char ch : text) {
            const auto c = static_cast<unsigned char>(ch);
            const bool digit = std::isdigit(c);
            if (!digit && !std::isalpha(c)) {
                open = false;
                continue;
            }
            if (!open || t.digits.back() != digit) {
                t.items.emplace_back();
                t.digits.push_back(digit);
                open = true;
            }
            t.items.back() += static_cast<char>(std::tolower(c));
        }
        return t;
    }

    std::string halvesSwapped(const std::string& s) { return s.substr(s.size() / 2) + s.substr(0, s.size() / 2); }
    bool halvable(const std::string& s) { return s.size() >= 4 && s.size() % 2 == 0; }

    // One name is the other with its site codes swapped and its number kept: two runs of letters trade places
    // ("a-b_f12" and "b-a_f12"), or the halves of one run do ("elmmil0005" and "milelm0005"). Gives x's first site.
    std::optional<std::string> swappedSites(const Tokens& x, const Tokens& y)
    {
        if (x.items.size() != y.items.size() || x.items.empty())
            return std::nullopt;
        bool number = false;
        std::vector<size_t> differ;
        for (size_t k = 0; k < x.items.size(); ++k) {
            if (x.digits[k] != y.digits[k])
                return std::nullopt;
            if (x.digits[k]) {
                if (x.items[k] != y.items[k])
                    return std::nullopt;
                number = true;
            } else if (x.items[k] != y.items[k]) {
                differ.push_back(k);
            }
        }
        if (!number)
            return std::nullopt;
        if (differ.size() == 2 && x.items[differ[0]] == y.items[differ[1]] && x.items[differ[1]] == y.items[differ[0]])
            return x.items[differ[0]];
        if (differ.size() == 1) {
            const std::string& a = x.items[differ[0]];
            if (halvable(a) && halvesSwapped(a) == y.items[differ[0]])
                return a.substr(0, a.size() / 2);
        }
        return std::nullopt;
    }

    // The two site codes of an ID or a name: two runs of letters, or the halves of one.
    std::optional<std::pair<std::string, std::string>> sitesOf(const Tokens& t)
    {
        std::vector<std::string> letters;
        for (size_t k = 0; k < t.items.size(); ++k) {
            if (!t.digits[k])
                letters.push_back(t.items[k]);
        }
        if (letters.size() == 2)
            return std::make_pair(letters[0], letters[1]);
        if (letters.size() == 1 && halvable(letters[0]))
            return std::make_pair(
                letters[0].substr(0, letters[0].size() / 2), letters[0].substr(letters[0].size() / 2));
        return std::nullopt;
    }

    // The same for both ends of a fibre: the numbers in order, the letter runs each in the smaller of its two
    // halvings, sorted. Drops the numbers that spell the wavelength, so that one fibre's wavelengths share it.
    std::string fibreKey(const Tokens& t, const std::string& wavelength = std::string())
    {
        std::string numbers;
        std::vector<std::string> letters;
        for (size_t k = 0; k < t.items.size(); ++k) {
            if (t.digits[k]) {
                if (t.items[k] != wavelength)
                    numbers += t.items[k] + ".";
            } else {
                const std::string& s = t.items[k];
                letters.push_back(halvable(s) ? std::min(s, halvesSwapped(s)) : s);
            }
        }
        std::sort(letters.begin(), letters.end());
        std::string key = numbers + "#";
        for (const auto& l : letters)
            key += l + ".";
        return key;
    }

    // A site code names a location when one begins with the other ("elm" and "elmdale").
    bool names(const std::string& code, const std::string& location)
    {
        if (code.size() < 2 || location.size() < 2)
            return false;
        return location.compare(0, code.size(), code) == 0 || code.compare(0, location.size(), location) == 0;
    }

    // A folder name of the "A→B" kind: its two ends.
    std::optional<std::pair<std::string, std::string>> arrowEnds(const std::string& name)
    {
        for (const char* sep : { "\xe2\x86\x92", "->", "=>", " to ", "_to_", "-to-", "-", "_", " " }) {
            const auto at = name.find(sep);
            if (at == std::string::npos)
                continue;
            std::string x = name.substr(0, at);
            std::string y = name.substr(at + std::string(sep).size());
            if (!x.empty() && !y.empty())
                return std::make_pair(x, y);
            return std::nullopt;
        }
        return std::nullopt;
    }

    enum End { NoEnd = 0, EndA = 1, EndB = 2 };

    // What the pairing knows of one file.
    struct Facts {
        bool usable = false; ///< read, with a wavelength
        bool spanned = false; ///< with a span length too
        std::vector<std::string> path; ///< the shown name's components, lower case
        End folder = NoEnd; ///< told by an A/B folder above it
        size_t folderAt = 0; ///< which component told it
        Tokens id;
        Tokens name;
        std::string cable;
        std::string locationA;
        std::string locationB;
        std::string cableA; ///< the location most files of its cable name as A
    };

    struct Pairing {
        const std::vector<FibreFile>& files;
        std::vector<Facts> facts;

        explicit Pairing(const std::vector<FibreFile>& f)
            : files(f)
            , facts(f.size())
        {
            std::map<std::string, std::map<std::string, int>> locations;
            for (size_t i = 0; i < files.size(); ++i) {
                const FileSummary& s = files[i].summary;
                Facts& x = facts[i];
                x.usable = s.parsed && s.wavelength;
                x.spanned = x.usable && s.fibreLength && *s.fibreLength > 0;
                for (const auto& c : components(s.file))
                    x.path.push_back(lower(c));
                x.id = tokens(s.fibreId);
                x.name = tokens(stem(x.path.back()));
                x.cable = trimmedLower(s.cableId);
                x.locationA = trimmedLower(s.locationA);
                x.locationB = trimmedLower(s.locationB);
                if (!x.locationA.empty())
                    ++locations[x.cable][x.locationA];
            }
            for (auto& x : facts) {
                int best = 0;
                for (const auto& [location, count] : locations[x.cable]) {
                    if (count > best)
                        best = count, x.cableA = location;
                }
            }
            tellFolders();
        }

        // A folder tells the end when a sibling folder tells the other: A and B, or "ELM→MIL" and "MIL→ELM".
        void tellFolders()
        {
            std::map<std::string, std::set<std::string>> children;
            const auto parentOf = [](const std::vector<std::string>& path, size_t k) {
                std::string p;
                for (size_t i = 0; i < k; ++i)
                    p += path[i] + "/";
                return p;
            };
            for (const auto& x : facts) {
                for (size_t k = 0; k + 1 < x.path.size(); ++k)
                    children[parentOf(x.path, k)].insert(x.path[k]);
            }
            for (auto& x : facts) {
                for (size_t k = x.path.size() - 1; k-- > 0 && x.folder == NoEnd;) {
                    const std::string& name = x.path[k];
                    const auto& siblings = children[parentOf(x.path, k)];
                    if ((name == "a" && siblings.count("b")) || (name == "b" && siblings.count("a"))) {
                        x.folder = name == "a" ? EndA : EndB;
                        x.folderAt = k;
                        continue;
                    }
                    const auto ends = arrowEnds(name);
                    if (!ends)
                        continue;
                    for (const auto& other : siblings) {
                        const auto back = arrowEnds(other);
                        if (other == name || !back || back->first != ends->second || back->second != ends->first)
                            continue;
                        if (ends->first == "a" || ends->second == "a")
                            x.folder = ends->first == "a" ? EndA : EndB;
                        else if (names(ends->first, x.cableA) != names(ends->second, x.cableA))
                            x.folder = names(ends->first, x.cableA) ? EndA : EndB;
                        else
                            x.folder = naturalLess(name, other) ? EndA : EndB;
                        x.folderAt = k;
                        break;
                    }
                }
            }
        }

        bool sameWavelength(size_t i, size_t j) const
        {
            return *files[i].summary.wavelength == *files[j].summary.wavelength;
        }

        double lengthDifference(size_t i, size_t j) const
        {
            const double a = *files[i].summary.fibreLength;
            const double b = *files[j].summary.fibreLength;
            return std::fabs(a - b) / std::max(a, b);
        }

        // The rule that makes i and j one fibre's two ends, 0 for none; lower is stronger.
        int rule(size_t i, size_t j, const std::map<std::string, int>& idCount) const
        {
            const Facts& x = facts[i];
            const Facts& y = facts[j];
            if (x.folder != NoEnd && x.folder == y.folder)
                return 0;
            if (x.folder != NoEnd && y.folder != NoEnd && x.path.size() == y.path.size() && x.folderAt == y.folderAt
                && std::equal(x.path.begin(), x.path.begin() + static_cast<std::ptrdiff_t>(x.folderAt), y.path.begin())
                && std::equal(x.path.begin() + static_cast<std::ptrdiff_t>(x.folderAt) + 1, x.path.end(),
                    y.path.begin() + static_cast<std::ptrdiff_t>(y.folderAt) + 1))
                return 1;
            if (swappedSites(x.id, y.id))
                return 2;
            const std::string& id = files[i].summary.fibreId;
            if (!x.id.items.empty() && trimmedLower(id) == trimmedLower(files[j].summary.fibreId) && x.cable == y.cable
                && idCount.at(number(*files[i].summary.wavelength) + "|" + x.cable + "|" + trimmedLower(id)) == 2
                && ((x.locationA == y.locationA && x.locationB == y.locationB)
                    || (x.locationA == y.locationB && x.locationB == y.locationA)))
                return 3;
            if (swappedSites(x.name, y.name))
                return 4;
            return 0;
        }

        // True when i was measured from A; strong tells whether the files said so.
        bool fromA(size_t i, size_t j, bool& strong) const
        {
            const Facts& x = facts[i];
            const Facts& y = facts[j];
            strong = true;
            if (x.folder != NoEnd || y.folder != NoEnd)
                return x.folder == EndA || y.folder == EndB;
            for (const auto* t : { &x.id, &x.name }) {
                const auto site = swappedSites(*t, t == &x.id ? y.id : y.name);
                if (!site)
                    continue;
                if (*site == "a" || *site == "b")
                    return *site == "a";
                const auto other = swappedSites(t == &x.id ? y.id : y.name, *t);
                if (names(*site, x.cableA) != names(*other, x.cableA))
                    return names(*site, x.cableA);
            }
            if (x.locationA != y.locationA && (x.locationA == x.cableA || y.locationA == x.cableA))
                return x.locationA == x.cableA;
            strong = false;
            return naturalLess(files[i].summary.file, files[j].summary.file);
        }

        // A file alone: its end as far as the files tell it.
        bool aloneFromA(size_t i) const
        {
            const Facts& x = facts[i];
            if (x.folder != NoEnd)
                return x.folder == EndA;
            for (const auto* t : { &x.id, &x.name }) {
                const auto sites = sitesOf(*t);
                if (sites && names(sites->first, x.cableA) != names(sites->second, x.cableA))
                    return names(sites->first, x.cableA);
            }
            if (!x.locationA.empty() && x.locationA != x.cableA && x.locationB == x.cableA)
                return false;
            return true;
        }
    };

    struct Found {
        WavelengthFiles files;
        bool strong = false;
    };

    std::string ruleText(int rule)
    {
        switch (rule) {
        case 1:
            return "folders A and B";
        case 2:
            return "fibre IDs with the site codes swapped";
        case 3:
            return "the same fibre ID";
        case 4:
            return "file names with the site codes swapped";
        default:
            break;
        }
        return "given as one fibre";
    }

    // Pairs the usable files among those listed, by the rules; the others stay alone.
    std::vector<Found> pairAmong(const Pairing& p, const std::vector<size_t>& among, bool anyTwo)
    {
        std::map<std::string, int> idCount;
        std::map<std::string, std::vector<size_t>> buckets;
        std::map<double, std::vector<size_t>> byWavelength;
        for (const size_t i : among) {
            const Facts& x = p.facts[i];
            if (!x.usable)
                continue;
            const std::string wl = number(*p.files[i].summary.wavelength);
            byWavelength[*p.files[i].summary.wavelength].push_back(i);
            ++idCount[wl + "|" + x.cable + "|" + trimmedLower(p.files[i].summary.fibreId)];
            // Only files that could be a pair share a bucket: by the path below their A/B folder, by the fibre ID,
            // by the file name.
            if (x.folder != NoEnd) {
                std::string rest;
                for (size_t k = x.folderAt + 1; k < x.path.size(); ++k)
                    rest += "/" + x.path[k];
                buckets[wl + "|f|" + std::to_string(x.folderAt) + rest].push_back(i);
            }
            if (!x.id.items.empty())
                buckets[wl + "|i|" + x.cable + "|" + fibreKey(x.id)].push_back(i);
            buckets[wl + "|n|" + fibreKey(x.name)].push_back(i);
        }
        // Each pair once: a bucket of many is no fibre's.
        std::set<std::tuple<int, double, size_t, size_t>> candidates;
        for (const auto& [key, members] : buckets) {
            if (members.size() > 16)
                continue;
            for (size_t a = 0; a < members.size(); ++a) {
                for (size_t b = a + 1; b < members.size(); ++b) {
                    const size_t i = std::min(members[a], members[b]);
                    const size_t j = std::max(members[a], members[b]);
                    if (i == j || !p.facts[i].spanned || !p.facts[j].spanned || !p.sameWavelength(i, j)
                        || p.lengthDifference(i, j) > 0.01)
                        continue;
                    if (const int r = p.rule(i, j, idCount))
                        candidates.emplace(r, p.lengthDifference(i, j), i, j);
                }
            }
        }
        // Given as one fibre: two files at a wavelength are its ends, whatever else they say.
        if (anyTwo) {
            for (const auto& [wl, members] : byWavelength) {
                if (members.size() == 2)
                    candidates.emplace(9, 0.0, std::min(members[0], members[1]), std::max(members[0], members[1]));
            }
        }

        std::vector<Found> out;
        std::set<size_t> used;
        for (const auto& [r, difference, i, j] : candidates) {
            if (used.count(i) || used.count(j))
                continue;
            used.insert(i);
            used.insert(j);
            Found f;
            const bool iFromA = p.fromA(i, j, f.strong);
            f.files.wavelength = p.files[i].summary.wavelength;
            f.files.ab = static_cast<int>(iFromA ? i : j);
            f.files.ba = static_cast<int>(iFromA ? j : i);
            f.files.rule = ruleText(r);
            out.push_back(f);
        }
        for (const size_t i : among) {
            if (used.count(i))
                continue;
            Found f;
            f.files.wavelength = p.facts[i].usable ? p.files[i].summary.wavelength : std::nullopt;
            (p.aloneFromA(i) ? f.files.ab : f.files.ba) = static_cast<int>(i);
            out.push_back(f);
        }
        return out;
    }

    FibreFiles describe(const Pairing& p, std::vector<WavelengthFiles> wavelengths)
    {
        const std::vector<FibreFile>& files = p.files;
        std::stable_sort(wavelengths.begin(), wavelengths.end(),
            [](const auto& x, const auto& y) { return x.wavelength.value_or(1e9) < y.wavelength.value_or(1e9); });
        FibreFiles f;
        f.wavelengths = std::move(wavelengths);
        for (const auto& w : f.wavelengths) {
            const int i = w.ab >= 0 ? w.ab : w.ba;
            const FileSummary& s = files[static_cast<size_t>(i)].summary;
            if (!s.parsed)
                continue;
            f.fibreId = s.fibreId;
            f.cableId = s.cableId;
            // A file from B may name the locations from its own end.
            const Facts& x = p.facts[static_cast<size_t>(i)];
            const bool turned = w.ab < 0 && x.locationA != x.cableA && x.locationB == x.cableA;
            f.locationA = turned ? s.locationB : s.locationA;
            f.locationB = turned ? s.locationA : s.locationB;
            if (w.ab >= 0)
                break;
        }
        return f;
    }

    // The wavelengths whose ends were told only by the names' order follow the instruments of a wavelength whose ends
    // the files told: the instrument at A measures every wavelength from A.
    void alignEnds(const std::vector<FibreFile>& files, std::vector<Found>& group)
    {
        const Found* reference = nullptr;
        for (const auto& f : group) {
            if (f.files.ab >= 0 && f.files.ba >= 0 && (!reference || (f.strong && !reference->strong)))
                reference = &f;
        }
        if (!reference)
            return;
        const std::string& atA = files[static_cast<size_t>(reference->files.ab)].instrument;
        const std::string& atB = files[static_cast<size_t>(reference->files.ba)].instrument;
        if (atA.empty() || atA == atB)
            return;
        for (auto& f : group) {
            if (f.strong || f.files.ab < 0 || f.files.ba < 0)
                continue;
            if (files[static_cast<size_t>(f.files.ab)].instrument == atB
                && files[static_cast<size_t>(f.files.ba)].instrument == atA)
                std::swap(f.files.ab, f.files.ba);
        }
    }
} // namespace

std::vector<FibreFiles> pairFibres(const std::vector<FibreFile>& files)
{
    const Pairing p(files);
    std::vector<size_t> all(files.size());
    for (size_t i = 0; i < all.size(); ++i)
        all[i] = i;
    const std::vector<Found> found = pairAmong(p, all, false);

    // One fibre's wavelengths share their cable and fibre ID (or, without an ID, their file names but for the
    // wavelength); a key that two files of one wavelength share tells no fibre apart, so those stay apart.
    std::map<std::string, std::vector<Found>> fibres;
    std::vector<std::vector<Found>> apart;
    for (const auto& f : found) {
        const size_t i = static_cast<size_t>(f.files.ab >= 0 ? f.files.ab : f.files.ba);
        const Facts& x = p.facts[i];
        if (!f.files.wavelength) {
            apart.push_back({ f });
            continue;
        }
        const std::string key = x.id.items.empty() ? "n|" + fibreKey(x.name, number(*f.files.wavelength))
                                                   : "i|" + x.cable + "|" + fibreKey(x.id);
        fibres[key].push_back(f);
    }
    std::vector<FibreFiles> out;
    for (auto& [key, group] : fibres) {
        std::set<double> seen;
        bool distinct = true;
        for (const auto& f : group)
            distinct = distinct && seen.insert(*f.files.wavelength).second;
        if (!distinct) {
            for (const auto& f : group)
                apart.push_back({ f });
            continue;
        }
        alignEnds(files, group);
        std::vector<WavelengthFiles> w;
        for (const auto& f : group)
            w.push_back(f.files);
        out.push_back(describe(p, std::move(w)));
    }
    for (const auto& group : apart)
        out.push_back(describe(p, { group.front().files }));

    const auto firstFile = [&](const FibreFiles& f) {
        const auto& w = f.wavelengths.front();
        return files[static_cast<size_t>(w.ab >= 0 ? w.ab : w.ba)].summary.file;
    };
    std::sort(out.begin(), out.end(), [&](const FibreFiles& x, const FibreFiles& y) {
        if (x.fibreId != y.fibreId)
            return naturalLess(x.fibreId, y.fibreId);
        return naturalLess(firstFile(x), firstFile(y));
    });
    return out;
}

FibreFiles oneFibre(const std::vector<FibreFile>& files)
{
    const Pairing p(files);
    std::vector<size_t> all(files.size());
    for (size_t i = 0; i < all.size(); ++i)
        all[i] = i;
    std::vector<Found> found = pairAmong(p, all, true);
    alignEnds(files, found);
    std::vector<WavelengthFiles> w;
    for (const auto& f : found)
        w.push_back(f.files);
    return describe(p, std::move(w));
}

} // namespace analysis
