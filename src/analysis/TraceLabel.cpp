#include "analysis/TraceLabel.h"

#include <random>
#include <utility>

namespace analysis {

std::wstring fileNameOf(const std::wstring& path)
{
    const size_t slash = path.rfind(L'/');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

Rgb generatedColour(uint32_t seed)
{
    constexpr uint32_t modulus = 2147483647;
    const uint32_t state = seed % modulus;
    std::minstd_rand0 engine(state == 0 ? 1 : state);
    // Uniform on 0..500 by rejection, so that the colour does not depend on the C++ library's distributions.
    constexpr uint32_t span = 501;
    constexpr uint32_t scale = (modulus - 2) / span;
    const auto draw = [&engine] {
        uint32_t v;
        do
            v = static_cast<uint32_t>(engine()) - 1;
        while (v >= span * scale);
        return v / scale;
    };
    Rgb colour;
    colour.red = static_cast<int>(draw() % 50 + 205);
    colour.green = static_cast<int>(draw() % 130);
    colour.blue = static_cast<int>(draw() % 255);
    if (draw() % 2 == 1)
        std::swap(colour.red, colour.blue);
    return colour;
}

} // namespace analysis
