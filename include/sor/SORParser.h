#pragma once

#include "sor/Checksum.h"
#include "sor/SectionParser.h"
#include "sor/SectionParser_Data.h"
#include "sor/SectionParser_Events.h"
#include "sor/SectionParser_Fxd.h"
#include "sor/SectionParser_Gen.h"
#include "sor/SectionParser_Map.h"
#include "sor/SectionParser_Sup.h"

#include <cstdio>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace sor {

/// Where the reader found a block in the file.
struct BlockLocation {
    std::string name; ///< the identifier read there (the Map's name for an entry the file does not have)
    long offset = -1; ///< of the identifier; -1 for a Map entry the file does not have
    long size = 0; ///< bytes taken: identifier and fields of a known block, the Map's size of an unknown one
};

/// A stream that drops what is written to it, one per thread: for readers that must not write.
std::ostream& nowhere();

// One parsed .sor file. Construction never throws for a bad file: fileParsed and errorText tell the outcome.
class SORParser {
public:
    explicit SORParser(std::wstring path);
    /// Progress lines go to out, the failure's text to err (nowhere() for a reader that reports nothing).
    SORParser(std::wstring path, std::ostream& out, std::ostream& err);
    SORParser(const SORParser&) = default;
    SORParser& operator=(const SORParser&) = default;
    ~SORParser() = default;

    FILE* file = nullptr; ///< open only while the constructor runs
    std::wstring path;
    bool fileParsed = false;
    std::string errorText; ///< the failure as composed: throw site, exception class and message
    std::string errorMessage; ///< the failure's message alone, on one line
    uint16_t storedCrc = 0; ///< the checksum in the last two bytes of the file
    bool crcValid = false;
    ChecksumCandidates crcCandidates; ///< the checksum under other vendors' conventions
    SectionParser_Header header;
    SectionParser_Map map;
    SectionParser_Gen gen;
    SectionParser_Sup sup;
    SectionParser_Fxd fxd;
    SectionParser_Events events;
    SectionParser_Data data;
    std::vector<std::vector<double>> xy; ///< cache of getXY: distances (km), levels (dB)
    bool xyCached = false;
    std::vector<BlockLocation> blockLocations; ///< in the order met, the Map block first

    /// Larger files are refused before they are read: the longest real trace with every vendor block is a few MB.
    static constexpr long maxFileSize = 64L << 20;

    void initParsers();
    void parse();

    // Trace coordinates.
    std::vector<double> getX() const;
    std::vector<double> getX_withUserOffset() const;
    std::vector<double> getX_withAcquisitionOffset() const;
    std::vector<double> getX_withOffsets() const;
    /// The offsets the distance axis uses, km. Each is its distance field as stored, unless that field is non-zero
    /// and more than 1 % away from its time field's distance: vendors write the distance fields in units of their
    /// own, while the time fields share the events' 0.1 ns, so then the time field's distance is used.
    double userOffsetKm() const;
    double acquisitionOffsetKm() const;
    std::vector<double> getX_inMeters() const;
    std::vector<double> getX_inPicoSeconds() const;
    std::vector<uint16_t> getY_Raw() const;
    std::vector<double> getY() const;
    std::vector<double> getYNormalized() const;
    const std::vector<std::vector<double>>& getXY();
    double getYValue(double x);
    double getClosestIndex_X(double x);

    // Least-squares attenuation on the displayed trace.
    double _get_Average(int row, unsigned start, unsigned count);
    void _get_LSA(double* slope, double* intercept, unsigned start, unsigned count);
    double _get_ApproxValue(double x, unsigned start, unsigned count);
    double _get_ApproxDiff(double x, unsigned start, unsigned count);
    double getApproxDiff_LSA(double a, double b);
    double getApproxPos_LSA(double a, double b);

    // Text dumps.
    std::stringstream stringstream();
    std::string string();
    void print();
    std::string getPythonListString();

private:
    std::ostream* out = nullptr; ///< progress lines, while the constructor runs
    long fileSize = 0;
    std::shared_ptr<uint8_t[]> fileBytes; ///< the whole file while the constructor runs
    void parseBlocks();
    bool identifierAt(long offset, const std::string& name) const;
    uint32_t listedSize(const std::string& id, size_t from, uint32_t otherwise) const;
    void skipUnknownBlock(const std::string& id, uint32_t size);
    void computeChecksums();
    std::vector<double> distances(double addKm, double subKm) const;
    /// The least-squares line over the samples from the one closest to the smaller distance up to, not including,
    /// the one closest to the larger; false, and nothing fitted, when the distances are equal.
    bool fitBetween(double a, double b, double& slope, double& intercept);
};

} // namespace sor
