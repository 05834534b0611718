#include "ReaderExercise.h"

#include "sor/SORParser.h"

#include <gtest/gtest.h>

#include <filesystem>

// Every input that ever made the reader fail under the fuzzer, replayed through the ordinary build.
TEST(FuzzRegressions, EveryReaderInputEndsWithAVerdict)
{
    namespace fs = std::filesystem;
    const fs::path dir = SOR_REGRESSIONS_DIR;
    ASSERT_TRUE(fs::is_directory(dir)) << dir;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.is_regular_file() && entry.path().filename().string()[0] != '.')
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());

    std::vector<std::string> problems;
    for (const auto& f : files) {
        sor::SORParser parser(f.wstring(), sor::nowhere(), sor::nowhere());
        if (const auto problem = sortest::exerciseParser(parser); !problem.empty())
            problems.push_back(f.filename().string() + ": " + problem);
    }
    for (const auto& p : problems)
        ADD_FAILURE() << p;
    std::printf("%zu regression inputs replayed\n", files.size());
}
