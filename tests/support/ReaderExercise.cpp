#include "ReaderExercise.h"

#include "sor/Exceptions.h"
#include "sor/SORParser.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace sortest {

namespace {
    // Keeps the results alive so the calls cannot be optimised away.
    volatile double sink = 0;

    void use(double v) { sink = v; }
    void use(const std::string& s) { sink = static_cast<double>(s.size()); }

    template <typename T> bool sized(const std::vector<T>& v, size_t n) { return v.size() == n; }

    std::string dumps(sor::SORParser& p)
    {
        const sor::_SectionParser* blocks[] = { &p.map, &p.gen, &p.sup, &p.fxd, &p.events, &p.data };
        bool all = true;
        for (const auto* b : blocks) {
            if (b->parsed)
                use(b->string());
            else
                all = false;
        }
        for (const auto& e : p.events.keyEvents)
            use(e.string(" - "));
        try {
            use(p.string());
            if (!all)
                return "the whole dump did not throw although a block is missing";
        } catch (const EXCEPTION::_Exc_Exception& e) {
            if (all)
                return std::string("the whole dump threw although every block was read: ") + e.what();
        }
        return {};
    }

    std::string lookups(sor::SORParser& p, size_t n)
    {
        constexpr double inf = std::numeric_limits<double>::infinity();
        const auto& xs = p.getXY()[0];
        std::vector<double> probes
            = { std::nan(""), inf, -inf, 0.0, -1.0, 1e308, -1e308, std::numeric_limits<double>::denorm_min() };
        if (n > 0) {
            probes.push_back(xs.front());
            probes.push_back(xs.back());
            probes.push_back(xs[n / 2]);
            probes.push_back(xs.back() + 1.0);
            probes.push_back(xs.front() - 1.0);
            if (n > 1)
                probes.push_back((xs[0] + xs[1]) / 2);
        }
        // On an ordinary trace (finite, increasing distances) a lookup must also give a sensible value: a level
        // between the extremes, a sample's own level and index at its own distance.
        const auto& ys = p.getXY()[1];
        bool ordinary = n > 0 && std::isfinite(xs[0]) && std::isfinite(ys[0]);
        for (size_t i = 1; i < n && ordinary; ++i)
            ordinary = std::isfinite(xs[i]) && xs[i] > xs[i - 1] && std::isfinite(ys[i]);
        const double lowest = n > 0 ? *std::min_element(ys.begin(), ys.end()) : 0.0;
        const double highest = n > 0 ? *std::max_element(ys.begin(), ys.end()) : 0.0;
        const double slack = 1e-9 * (1.0 + std::fabs(lowest) + std::fabs(highest));
        for (const double x : probes) {
            const double y = p.getYValue(x);
            use(y);
            const double index = p.getClosestIndex_X(x);
            if (!(index >= 0) || index != std::floor(index) || (n > 0 && index > double(n - 1))
                || (n == 0 && index != 0))
                return "getClosestIndex_X(" + std::to_string(x) + ") gave " + std::to_string(index);
            // Interpolation may round past an end by an ulp.
            if (ordinary && !(y >= lowest - slack && y <= highest + slack))
                return "getYValue(" + std::to_string(x) + ") gave " + std::to_string(y) + " outside the trace";
        }
        if (ordinary) {
            for (const size_t i : { size_t(0), n / 2, n - 1 }) {
                if (p.getYValue(xs[i]) != ys[i] || p.getClosestIndex_X(xs[i]) != double(i))
                    return "the lookups at the distance of sample " + std::to_string(i) + " miss it";
            }
        }
        // Across the trace both ways, half of it, an empty window, and hostile values at either end; the two
        // functions take turns so each meets both directions.
        const double front = n > 0 ? xs.front() : 0.0;
        const double back = n > 0 ? xs.back() : 0.0;
        const double mid = n > 0 ? xs[n / 2] : 0.0;
        const std::pair<double, double> pairs[]
            = { { front, back }, { back, front }, { mid, back }, { back, mid }, { front, front }, { std::nan(""), mid },
                  { inf, front }, { -inf, back }, { 1e308, -1e308 }, { back + 1.0, front - 1.0 } };
        bool diff = true;
        for (const auto& [a, b] : pairs) {
            use(diff ? p.getApproxDiff_LSA(a, b) : p.getApproxPos_LSA(a, b));
            diff = !diff;
        }
        use(p.getApproxPos_LSA(front, mid));
        use(p.getApproxDiff_LSA(mid, front));
        return {};
    }

    void fits(sor::SORParser& p, size_t n)
    {
        constexpr unsigned maxU = std::numeric_limits<unsigned>::max();
        const auto u = [](size_t v) { return static_cast<unsigned>(std::min<size_t>(v, maxU)); };
        const std::pair<unsigned, unsigned> windows[]
            = { { 0, 0 }, { 0, 1 }, { 0, u(n > 0 ? n - 1 : 0) }, { 0, u(n) }, { u(n / 3), u(n / 3) },
                  { u(n > 0 ? n - 1 : 0), 1 }, { u(n), 0 }, { maxU, 1 }, { 1, maxU }, { maxU, maxU } };
        for (const auto& [start, count] : windows) {
            use(p._get_Average(0, start, count));
            use(p._get_Average(1, start, count));
            double slope = 0;
            double intercept = 0;
            p._get_LSA(&slope, &intercept, start, count);
            use(slope);
            use(intercept);
        }
        use(p._get_ApproxValue(1.0, 0, u(n / 2)));
        use(p._get_ApproxDiff(1.0, u(n / 3), u(n / 3)));
    }
} // namespace

std::string exerciseParser(sor::SORParser& p, size_t pythonListLimit)
{
    if (!p.fileParsed && p.errorText.empty())
        return "the parse failed without an error text";
    if (p.fileParsed && !p.errorText.empty())
        return "the parse succeeded with an error text";
    if (const auto problem = dumps(p); !problem.empty())
        return problem;
    if (!p.fileParsed)
        return {};
    if (!p.fxd.parsed)
        return "the parse succeeded without FxdParams";
    for (const auto& name : p.map.BlockMap_Name) {
        for (const sor::_SectionParser* block :
            std::initializer_list<const sor::_SectionParser*> { &p.events, &p.data }) {
            if (block->blockName == name && !block->parsed)
                return "the parse succeeded without " + name + ", which the Map lists";
        }
    }

    const size_t n = p.data.DataPoints.size();
    if (!sized(p.getX(), n) || !sized(p.getX_withUserOffset(), n) || !sized(p.getX_withAcquisitionOffset(), n)
        || !sized(p.getX_withOffsets(), n) || !sized(p.getX_inMeters(), n) || !sized(p.getX_inPicoSeconds(), n)
        || !sized(p.getY_Raw(), n) || !sized(p.getY(), n) || !sized(p.getYNormalized(), n))
        return "a coordinate getter does not give one value per sample";
    const auto& xy = p.getXY();
    if (xy.size() != 2 || xy[0].size() != n || xy[1].size() != n)
        return "getXY does not give two vectors of one value per sample";

    if (const auto problem = lookups(p, n); !problem.empty())
        return problem;
    fits(p, n);

    if (n <= pythonListLimit) {
        const std::string list = p.getPythonListString();
        if (list.rfind("([\n", 0) != 0 || list.size() < 9 || list.compare(list.size() - 4, 4, "\n])\n") != 0)
            return "the trace list literal is malformed";
    }

    sor::SORParser copy(p);
    const auto& copied = copy.getXY();
    if (copied.size() != 2 || copied[0].size() != n || copied[1].size() != n)
        return "a copy of the parser shows another trace";
    return {};
}

} // namespace sortest
