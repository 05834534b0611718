#include "MalformedVariants.h"
#include "ReaderExercise.h"
#include "TempFile.h"

#include "sor/SORParser.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>

using namespace sortest;

namespace {

const std::string samples = SOR_SAMPLES_DIR;

// A parse slower than this is taken for a hang: the largest real file parses in milliseconds.
constexpr double hangSeconds = 1.0;

struct Outcome {
    size_t parsed = 0;
    size_t refused = 0;
    std::map<std::string, size_t> kinds; ///< variants per kind of change
    std::vector<std::string> problems; ///< "name: what went wrong"
};

std::string kindOf(const std::string& name)
{
    const size_t a = name.find('/');
    const size_t b = name.find('/', a + 1);
    return a == std::string::npos || b == std::string::npos ? name : name.substr(a + 1, b - a - 1);
}

// Parses every variant through a file, as the viewer does, and checks that the reader returns promptly with a
// verdict and that a parsed result reads consistently.
Outcome parseAll(const std::vector<NamedImage>& variants)
{
    Outcome outcome;
    const TempFile file(Bytes {}, "variant.sor");
    for (const auto& v : variants) {
        ++outcome.kinds[kindOf(v.name)];
        if (!writeFile(file.path(), v.bytes)) {
            outcome.problems.push_back(v.name + ": cannot write the temporary file");
            continue;
        }
        const auto start = std::chrono::steady_clock::now();
        std::unique_ptr<sor::SORParser> parser;
        try {
            parser = std::make_unique<sor::SORParser>(file.wpath(), sor::nowhere(), sor::nowhere());
        } catch (...) {
            outcome.problems.push_back(v.name + ": an exception escaped the constructor");
            continue;
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (seconds > hangSeconds)
            outcome.problems.push_back(v.name + ": the parse took " + std::to_string(seconds) + " s");
        std::string problem;
        try {
            problem = exerciseParser(*parser);
        } catch (const std::exception& e) {
            problem = std::string("a getter threw: ") + e.what();
        }
        if (!problem.empty())
            outcome.problems.push_back(v.name + ": " + problem);
        (parser->fileParsed ? outcome.parsed : outcome.refused)++;
    }
    return outcome;
}

void report(const Outcome& outcome)
{
    for (const auto& p : outcome.problems)
        ADD_FAILURE() << p;
    std::string kinds;
    for (const auto& [kind, count] : outcome.kinds)
        kinds += " " + kind + "=" + std::to_string(count);
    std::printf("%zu parsed, %zu refused;%s\n", outcome.parsed, outcome.refused, kinds.c_str());
}

std::vector<NamedImage> generatedBases() { return baseImages(""); }

} // namespace

TEST(MalformedFiles, GeneratedBasesAreWellFormed)
{
    // The variants only mean something if what they start from parses and its Map describes its blocks.
    for (const auto& base : generatedBases()) {
        SCOPED_TRACE(base.name);
        EXPECT_TRUE(readLayout(base.bytes).valid);
        const TempFile file(base.bytes);
        const auto parser = std::make_unique<sor::SORParser>(file.wpath(), sor::nowhere(), sor::nowhere());
        EXPECT_TRUE(parser->fileParsed) << parser->errorText;
        EXPECT_TRUE(parser->crcValid);
    }
}

TEST(MalformedFiles, GeneratedVariantsEndPromptlyWithAVerdict)
{
    const auto variants = malformedVariants(generatedBases());
    ASSERT_GE(variants.size(), 2000u);
    const auto outcome = parseAll(variants);
    report(outcome);
    for (const char* kind : { "truncate", "bytes", "field", "text", "map", "blocks" })
        EXPECT_GT(outcome.kinds.count(kind), 0u) << kind;
    // Corruption that misses the structure (sample values, a wrong checksum) still parses.
    EXPECT_GT(outcome.parsed, 0u);
    EXPECT_GT(outcome.refused, 0u);
}

TEST(MalformedFiles, InstrumentFileVariantsEndPromptlyWithAVerdict)
{
    if (!std::filesystem::is_directory(samples))
        GTEST_SKIP() << "no instrument files: " << samples << " is absent";
    auto bases = baseImages(samples);
    bases.erase(bases.begin(), bases.begin() + static_cast<long>(generatedBases().size()));
    ASSERT_FALSE(bases.empty());
    const auto outcome = parseAll(malformedVariants(bases));
    report(outcome);
    EXPECT_GT(outcome.parsed, 0u);
}
