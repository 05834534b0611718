#include "sor/SORParser.h"

#include <algorithm>
#include <cmath>

namespace sor {

namespace {
    // First index j >= 1 with x <= xs[j] (xs.size() when there is none); distances increase, so a binary search
    // finds the same index as a walk from the start.
    size_t firstNotBelow(const std::vector<double>& xs, double x)
    {
        const auto it = std::partition_point(xs.begin() + 1, xs.end(), [x](double v) { return !(x <= v); });
        return static_cast<size_t>(it - xs.begin());
    }

    // The stored distance unless a time field says otherwise; a time field of 0 has nothing to say.
    double checkedOffset(double storedKm, int32_t distanceField, int32_t timeField, double ior)
    {
        if (distanceField == 0 || timeField == 0 || !(ior > 0) || !std::isfinite(ior))
            return storedKm;
        const double timeKm = timeToDistance(timeField, ior);
        return std::fabs(storedKm - timeKm) <= 0.01 * std::fabs(timeKm) ? storedKm : timeKm;
    }
} // namespace

double SORParser::userOffsetKm() const
{
    return checkedOffset(gen.UserOffsetDistance * 0.001, gen.UserOffsetDistance, gen.UserOffset, fxd.IOR);
}

double SORParser::acquisitionOffsetKm() const
{
    return checkedOffset(fxd.AquOffsetDist * 0.0001, fxd.AquOffsetDist, fxd.AquOffset, fxd.IOR);
}

// i x d x 0.001 + add - sub, evaluated left to right as every distance getter writes it.
std::vector<double> SORParser::distances(double addKm, double subKm) const
{
    const double d = fxd.SampleDistance;
    std::vector<double> out;
    out.reserve(data.DataPoints.size());
    for (size_t i = 0; i < data.DataPoints.size(); ++i)
        out.push_back(i * d * 0.001 + addKm - subKm);
    return out;
}

std::vector<double> SORParser::getX() const { return distances(0, 0); }

std::vector<double> SORParser::getX_withUserOffset() const { return distances(0, userOffsetKm()); }

std::vector<double> SORParser::getX_withAcquisitionOffset() const { return distances(acquisitionOffsetKm(), 0); }

std::vector<double> SORParser::getX_withOffsets() const { return distances(acquisitionOffsetKm(), userOffsetKm()); }

std::vector<double> SORParser::getX_inMeters() const
{
    const double d = fxd.SampleDistance;
    std::vector<double> out;
    out.reserve(data.DataPoints.size());
    for (size_t i = 0; i < data.DataPoints.size(); ++i)
        out.push_back(i * d);
    return out;
}

std::vector<double> SORParser::getX_inPicoSeconds() const
{
    std::vector<double> out;
    out.reserve(data.DataPoints.size());
    for (size_t i = 0; i < data.DataPoints.size(); ++i)
        out.push_back(fxd.SampleSpacing * 0.01 * i);
    return out;
}

std::vector<uint16_t> SORParser::getY_Raw() const { return data.DataPoints; }

std::vector<double> SORParser::getY() const
{
    const auto& p = data.DataPoints;
    std::vector<double> out;
    out.reserve(p.size());
    const uint16_t m = p.empty() ? 0 : *std::max_element(p.begin(), p.end());
    const double s = data.ScalingFactor;
    for (const uint16_t v : p)
        out.push_back((m - v) * s * 0.000001);
    return out;
}

std::vector<double> SORParser::getYNormalized() const
{
    auto out = getY();
    for (double& v : out)
        v -= 70;
    return out;
}

const std::vector<std::vector<double>>& SORParser::getXY()
{
    if (!xyCached) {
        xy = { getX_withOffsets(), getYNormalized() };
        xyCached = true;
    }
    return xy;
}

double SORParser::getYValue(double x)
{
    const auto& xs = getXY()[0];
    const auto& ys = xy[1];
    if (xs.empty())
        return 0;
    if (!(x > xs[0]))
        return ys[0];
    const size_t j = firstNotBelow(xs, x);
    if (j >= xs.size())
        return ys.back();
    const size_t i = j - 1;
    if (x == xs[j])
        return ys[j];
    return ys[i] + (x - xs[i]) / (xs[j] - xs[i]) * (ys[j] - ys[i]);
}

double SORParser::getClosestIndex_X(double x)
{
    const auto& xs = getXY()[0];
    if (xs.empty() || !(x > xs[0]))
        return 0;
    const size_t j = firstNotBelow(xs, x);
    if (j >= xs.size())
        return static_cast<double>(xs.size() - 1);
    const size_t i = j - 1;
    return std::fabs(x - xs[i]) <= std::fabs(x - xs[j]) ? static_cast<double>(i) : static_cast<double>(j);
}

double SORParser::_get_Average(int row, unsigned start, unsigned count)
{
    const auto& values = getXY()[row == 0 ? 0 : 1];
    const uint64_t end = uint64_t(start) + count;
    if (end >= values.size())
        return 0;
    double sum = 0;
    for (uint64_t i = start; i < end; ++i)
        sum += values[i];
    return sum / count;
}

void SORParser::_get_LSA(double* slope, double* intercept, unsigned start, unsigned count)
{
    const auto& xs = getXY()[0];
    const auto& ys = xy[1];
    const uint64_t end = uint64_t(start) + count;
    const double xMean = _get_Average(0, start, count);
    const double yMean = _get_Average(1, start, count);
    double sxx = 0;
    double sxy = 0;
    if (end < xs.size() && count > 0) {
        for (uint64_t i = start; i < end; ++i) {
            const double dx = xs[i] - xMean;
            sxx += dx * dx;
            sxy += (ys[i] - yMean) * dx;
        }
    }
    if (sxx != 0) {
        *slope = sxy / sxx;
        *intercept = yMean - *slope * xMean;
    } else {
        *slope = 0;
        *intercept = 0;
    }
}

double SORParser::_get_ApproxValue(double x, unsigned start, unsigned count)
{
    double slope = 0;
    double intercept = 0;
    _get_LSA(&slope, &intercept, start, count);
    return x * slope + intercept;
}

double SORParser::_get_ApproxDiff(double, unsigned start, unsigned count)
{
    double slope = 0;
    double intercept = 0;
    _get_LSA(&slope, &intercept, start, count);
    return slope;
}

bool SORParser::fitBetween(double a, double b, double& slope, double& intercept)
{
    if (a == b)
        return false;
    // The sample at the larger distance itself is not part of the window.
    const auto i0 = static_cast<unsigned>(getClosestIndex_X(std::min(a, b)));
    const auto i1 = static_cast<unsigned>(getClosestIndex_X(std::max(a, b)));
    _get_LSA(&slope, &intercept, i0, i1 - i0);
    return true;
}

double SORParser::getApproxDiff_LSA(double a, double b)
{
    double slope = 0;
    double intercept = 0;
    if (!fitBetween(a, b, slope, intercept))
        return 0;
    return a < b ? slope : -slope;
}

double SORParser::getApproxPos_LSA(double a, double b)
{
    double slope = 0;
    double intercept = 0;
    if (!fitBetween(a, b, slope, intercept))
        return 0;
    return a < b ? (b - a) * slope + intercept : -((a - b) * slope + intercept);
}

} // namespace sor
