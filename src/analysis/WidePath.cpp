#include "analysis/WidePath.h"

#include <cstdint>
#include <cwchar>

namespace analysis {

namespace {
    // Strict UTF-8; false for anything else.
    bool fromUtf8(const std::string& in, std::wstring& out)
    {
        out.clear();
        for (size_t i = 0; i < in.size();) {
            const auto b = static_cast<uint8_t>(in[i]);
            const int extra = b < 0x80 ? 0 : (b >> 5) == 0x6 ? 1 : (b >> 4) == 0xE ? 2 : (b >> 3) == 0x1E ? 3 : -1;
            if (extra < 0 || (extra > 0 && i + static_cast<size_t>(extra) >= in.size()))
                return false;
            uint32_t c = extra == 0 ? b : b & (0x3F >> extra);
            for (int k = 1; k <= extra; ++k) {
                const auto next = static_cast<uint8_t>(in[i + k]);
                if ((next & 0xC0) != 0x80)
                    return false;
                c = (c << 6) | (next & 0x3F);
            }
            out.push_back(static_cast<wchar_t>(c));
            i += extra + 1;
        }
        return true;
    }
} // namespace

std::wstring widePath(const std::string& narrow)
{
    std::wstring wide(narrow.size() + 1, L'\0');
    std::mbstate_t state {};
    const char* source = narrow.c_str();
    const size_t n = std::mbsrtowcs(wide.data(), &source, wide.size(), &state);
    if (n != static_cast<size_t>(-1)) {
        wide.resize(n);
        return wide;
    }
    // Desktop file names are UTF-8 whatever the locale; the reader encodes wide paths back the same way.
    if (fromUtf8(narrow, wide))
        return wide;
    wide.clear();
    for (const char c : narrow)
        wide.push_back(static_cast<wchar_t>(static_cast<uint8_t>(c)));
    return wide;
}

} // namespace analysis
