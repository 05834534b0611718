#pragma once

#include "SorBuilder.h"
#include "TempFile.h"

#include "sor/Exceptions.h"
#include "sor/SORParser.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace sortest {

// A parser of a byte image, with what it wrote to standard output and standard error.
struct Parsed {
    std::unique_ptr<sor::SORParser> parser;
    std::string out;
    std::string err;
    sor::SORParser* operator->() const { return parser.get(); }
};

inline Parsed parseBytes(const Bytes& bytes, const std::string& name = "trace.sor")
{
    const TempFile file(bytes, name);
    Parsed result;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    result.parser = std::make_unique<sor::SORParser>(file.wpath());
    result.out = testing::internal::GetCapturedStdout();
    result.err = testing::internal::GetCapturedStderr();
    return result;
}

inline bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

} // namespace sortest
