#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Composes .sor byte images block by block, with right Map sizes and a right (or deliberately wrong) checksum.
namespace sortest {

using Bytes = std::vector<uint8_t>;

// Little-endian field writer.
class ByteWriter {
public:
    ByteWriter& u8(uint8_t v);
    ByteWriter& u16(uint16_t v);
    ByteWriter& u32(uint32_t v);
    ByteWriter& i16(int16_t v) { return u16(static_cast<uint16_t>(v)); }
    ByteWriter& i32(int32_t v) { return u32(static_cast<uint32_t>(v)); }
    ByteWriter& str(const std::string& s); ///< text and its zero byte
    ByteWriter& chars(const std::string& s, size_t n); ///< exactly n bytes, zero-padded
    ByteWriter& raw(const Bytes& b);
    Bytes bytes;
};

struct Gen {
    std::string language = "EN";
    std::string cableId = "CABLE-1";
    std::string fiberId = "F01";
    uint16_t fiberType = 652;
    uint16_t wavelength = 1310; ///< nm
    std::string locationA = "Exchange";
    std::string locationB = "Cabinet";
    std::string cableCode = "";
    std::string buildCondition = "BC";
    int32_t userOffset = 0;
    int32_t userOffsetDistance = 0; ///< 0.001 km
    std::string operatorName = "";
    std::string comments = "";
};

struct Sup {
    std::string supplierName = "TAVIX";
    std::string otdrName = "SYNTH";
    std::string otdrSn = "0001";
    std::string moduleName = "SM1310";
    std::string moduleSn = "M0001";
    std::string swVersion = "1.0";
    std::string other = "";
};

struct Fxd {
    uint32_t dateSeconds = 1700000000;
    std::string units = "km";
    uint16_t wavelength = 13100; ///< 0.1 nm
    int32_t aquOffset = 0;
    int32_t aquOffsetDist = 0; ///< 0.0001 km
    uint16_t pulseWidthEntries = 1;
    uint16_t pulseWidth = 100;
    uint32_t sampleSpacing = 489700; ///< 0.01 ps; ~1 m at index 1.468
    uint32_t numberOfDataPoints = 0; ///< 0: the number of samples
    uint32_t indexRefraction = 146800;
    uint16_t backscatterCoef = 800;
    uint32_t averages = 1000;
    uint16_t averagingTime = 30;
    uint32_t range = 0;
    int32_t aquRangeDist = 0;
    int32_t frontPanelOffset = 0;
    uint16_t noiseFloorLevel = 0;
    int16_t noiseFloorScaling = 0;
    uint16_t powerOffsetFirstPoint = 0;
    uint16_t lossThreshold = 20;
    uint16_t reflectionThreshold = 65000;
    uint16_t eotThreshold = 3000;
    std::string traceType = "ST";
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    Bytes vendorTail; ///< bytes after Y2 that some instruments write
};

struct Event {
    uint16_t number = 1;
    int32_t timeOfTravel = 0; ///< 0.1 ns
    int16_t slope = 0; ///< 0.001 dB/km
    int16_t spliceLoss = 0; ///< 0.001 dB
    int32_t reflectionLoss = 0; ///< 0.001 dB
    std::string code = "0F9999LS"; ///< 8 bytes
    uint32_t endOfPrev = 0, beginOfCurrent = 0, endOfCurrent = 0, beginOfNext = 0, peak = 0;
    std::string comment = "";
};

struct Events {
    std::vector<Event> events;
    std::optional<uint16_t> numberOfEvents; ///< default: events.size()
    int32_t totalLoss = 0;
    int32_t fiberStart = 0;
    uint32_t fiberLength = 0;
    uint16_t orl = 0;
    int32_t orlStart = 0;
    uint32_t orlLength = 0;
};

struct Data {
    Data() = default;
    Data(std::vector<uint16_t> s)
        : samples(std::move(s))
    {
    }
    std::vector<uint16_t> samples;
    std::optional<uint32_t> numberOfPoints; ///< default: samples.size()
    uint16_t numberOfTraces = 1;
    std::optional<uint32_t> numberOfPointsTrace;
    uint16_t scalingFactor = 1000;
};

struct MapEntry {
    std::string name;
    uint16_t version = 200;
    uint32_t size = 0;
};

class SorBuilder {
public:
    /// Right: the standard's CRC-16/CCITT-FALSE over all bytes before it; the others as some vendors write it.
    enum class Crc { Right, Wrong, Xmodem, Complement, BeforeCksum, Zero };

    /// A complete small file: Gen, Sup, Fxd, one event, a few samples.
    static SorBuilder standard();

    SorBuilder& gen(const Gen& g);
    SorBuilder& sup(const Sup& s);
    SorBuilder& fxd(const Fxd& f);
    SorBuilder& events(const Events& e);
    SorBuilder& data(const Data& d);
    /// Appends a block with any identifier and body (an unknown vendor block, or a hand-made known one).
    SorBuilder& block(const std::string& name, const Bytes& body, uint16_t version = 200);
    SorBuilder& mapVersion(uint16_t v);
    SorBuilder& crc(Crc c);
    /// Lets a test change the Map entries after they were computed from the blocks.
    SorBuilder& editMap(std::function<void(std::vector<MapEntry>&)> edit);
    /// Leaves out the final "Cksum" block (the checksum bytes are still the last two of the file).
    SorBuilder& withoutCksumBlock();

    Bytes build() const;

    static Bytes genBody(const Gen& g);
    static Bytes supBody(const Sup& s);
    static Bytes fxdBody(const Fxd& f, uint32_t defaultPoints);
    static Bytes eventsBody(const Events& e);
    static Bytes dataBody(const Data& d);

private:
    struct Block {
        std::string name;
        Bytes body;
        uint16_t version;
    };
    std::vector<Block> blocks;
    uint16_t mapRevision = 200;
    Crc crcMode = Crc::Right;
    bool cksumBlock = true;
    std::function<void(std::vector<MapEntry>&)> mapEdit;
    std::optional<Fxd> pendingFxd;
    size_t fxdIndex = 0;
    uint32_t dataPoints = 0;
};

/// CRC-16/CCITT-FALSE, computed bit by bit (independent of the reader's table); CRC-16/XMODEM with initial 0.
uint16_t crc16(const uint8_t* data, size_t size, uint16_t initial = 0xFFFF);

/// Writes bytes to a file; returns false on failure.
bool writeFile(const std::string& path, const Bytes& bytes);

} // namespace sortest
