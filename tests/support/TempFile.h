#pragma once

#include "SorBuilder.h"

#include <string>

namespace sortest {

// A file in a private temporary folder, removed with the object.
class TempFile {
public:
    explicit TempFile(const Bytes& bytes, const std::string& name = "trace.sor");
    explicit TempFile(const std::string& text, const std::string& name);
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::string& path() const { return filePath; }
    std::wstring wpath() const;

private:
    std::string dir;
    std::string filePath;
};

} // namespace sortest
