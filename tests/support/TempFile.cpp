#include "TempFile.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace sortest {

namespace {
    std::string makeDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tavix-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        return pattern;
    }
} // namespace

TempFile::TempFile(const Bytes& bytes, const std::string& name)
    : dir(makeDir())
    , filePath(dir + "/" + name)
{
    writeFile(filePath, bytes);
}

TempFile::TempFile(const std::string& text, const std::string& name)
    : TempFile(Bytes(text.begin(), text.end()), name)
{
}

TempFile::~TempFile()
{
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}

std::wstring TempFile::wpath() const
{
    // Test paths are ASCII apart from names the tests build on purpose; UTF-8 decoding covers both.
    std::wstring out;
    for (size_t i = 0; i < filePath.size();) {
        const auto c = static_cast<unsigned char>(filePath[i]);
        uint32_t cp = c;
        size_t n = 1;
        if (c >= 0xF0) {
            cp = c & 0x07;
            n = 4;
        } else if (c >= 0xE0) {
            cp = c & 0x0F;
            n = 3;
        } else if (c >= 0xC0) {
            cp = c & 0x1F;
            n = 2;
        }
        for (size_t k = 1; k < n && i + k < filePath.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(filePath[i + k]) & 0x3F);
        out.push_back(static_cast<wchar_t>(cp));
        i += n;
    }
    return out;
}

} // namespace sortest
