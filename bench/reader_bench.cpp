// Reader speed on a large trace: parse (checksum included) beside merely reading the file, getXY and an LSA fit.
#include "BenchUtil.h"

#include "sor/Checksum.h"
#include "sor/SORParser.h"

#include <cstdio>
#include <filesystem>
#include <memory>

int main(int argc, char** argv)
{
    const bench::TraceFile trace(argc, argv, "tavix-bench-1M.sor");
    const std::string& path = trace.path;
    const std::wstring wide(path.begin(), path.end());
    const int reps = 15;

    std::fprintf(stderr, "reader benchmark: %s (%ju bytes), median of %d runs\n", path.c_str(),
        static_cast<uintmax_t>(std::filesystem::file_size(path)), reps);

    // The baseline: open, allocate and read the whole file, as any reader must at least do.
    const double readMs = bench::medianMs(reps, [&] {
        FILE* f = std::fopen(path.c_str(), "rb");
        std::fseek(f, 0, SEEK_END);
        const auto size = static_cast<size_t>(std::ftell(f));
        std::rewind(f);
        std::unique_ptr<char[]> bytes(new char[size]);
        if (std::fread(bytes.get(), 1, size, f) != size)
            std::perror("fread");
        std::fclose(f);
    });

    size_t samples = 0;
    const double parseMs = bench::medianMs(reps, [&] {
        sor::SORParser p(wide, sor::nowhere(), sor::nowhere());
        samples = p.data.DataPoints.size();
    });
    sor::SORParser parser(wide, sor::nowhere(), sor::nowhere());

    const double xyMs = bench::medianMs(reps, [&] {
        parser.xyCached = false;
        parser.getXY();
    });
    double slope = 0, intercept = 0;
    const double lsaMs = bench::medianMs(reps, [&] { parser._get_LSA(&slope, &intercept, 200000, 100000); });
    const double lookupMs = bench::medianMs(reps, [&] {
        for (int i = 0; i < 1000; ++i)
            parser.getYValue(i * 0.09);
    });

    std::vector<uint8_t> bytes(std::filesystem::file_size(path));
    FILE* f = std::fopen(path.c_str(), "rb");
    if (std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size())
        std::perror("fread");
    std::fclose(f);
    uint16_t crc = 0;
    const double crcMs = bench::medianMs(reps, [&] { crc = sor::crc16_ccitt(bytes.data(), bytes.size() - 2); });

    bench::row("read the file into memory (open, allocate, fread)", readMs);
    bench::row("parse: SORParser(path), checksum included", parseMs);
    std::fprintf(stderr, "  %-52s %10.2f x\n", "parse / read", parseMs / readMs);
    bench::row("  of which the checksum over the file (CRC " + std::to_string(crc) + ")", crcMs);
    bench::row("getXY (distances and levels, " + std::to_string(samples) + " samples)", xyMs);
    bench::row("LSA fit over 100000 samples", lsaMs);
    bench::row("1000 getYValue lookups", lookupMs);
    return 0;
}
