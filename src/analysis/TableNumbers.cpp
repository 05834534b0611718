#include "analysis/TableNumbers.h"

#include <charconv>
#include <cmath>

namespace analysis {

std::string number(double v)
{
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, r.ptr);
}

std::string fixed3(double v)
{
    char buffer[400];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, 3);
    std::string text(buffer, r.ptr);
    if (text == "-0.000")
        text.erase(0, 1);
    return text;
}

std::string decibels(double v)
{
    std::string text = fixed3(v);
    if (std::isfinite(v) && text.size() > 4 && text.back() == '0')
        text.pop_back();
    return text;
}

double shown(double v)
{
    if (!std::isfinite(v))
        return v;
    const std::string text = fixed3(v);
    double back = v;
    std::from_chars(text.data(), text.data() + text.size(), back);
    return back;
}

} // namespace analysis
