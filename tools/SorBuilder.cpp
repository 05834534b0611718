#include "SorBuilder.h"

#include <fstream>

namespace sortest {

ByteWriter& ByteWriter::u8(uint8_t v)
{
    bytes.push_back(v);
    return *this;
}

ByteWriter& ByteWriter::u16(uint16_t v)
{
    bytes.push_back(static_cast<uint8_t>(v & 0xFF));
    bytes.push_back(static_cast<uint8_t>(v >> 8));
    return *this;
}

ByteWriter& ByteWriter::u32(uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<uint8_t>((v >> (8 * i)) & 0xFF));
    return *this;
}

ByteWriter& ByteWriter::str(const std::string& s)
{
    bytes.insert(bytes.end(), s.begin(), s.end());
    bytes.push_back(0);
    return *this;
}

ByteWriter& ByteWriter::chars(const std::string& s, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        bytes.push_back(i < s.size() ? static_cast<uint8_t>(s[i]) : 0);
    return *this;
}

ByteWriter& ByteWriter::raw(const Bytes& b)
{
    bytes.insert(bytes.end(), b.begin(), b.end());
    return *this;
}

SorBuilder SorBuilder::standard()
{
    Events e;
    Event first;
    first.number = 1;
    first.timeOfTravel = 0;
    first.code = "1F9999LS";
    first.reflectionLoss = -45000;
    e.events.push_back(first);
    e.totalLoss = 500;
    e.fiberLength = 50000;
    e.orl = 40000;
    e.orlLength = 50000;
    Data d;
    d.samples = { 1000, 2000, 3000, 2500, 2800, 3100, 3500, 4000 };
    SorBuilder b;
    b.gen(Gen()).sup(Sup()).fxd(Fxd()).events(e).data(d);
    return b;
}

SorBuilder& SorBuilder::gen(const Gen& g) { return block("GenParams", genBody(g)); }

SorBuilder& SorBuilder::sup(const Sup& s) { return block("SupParams", supBody(s)); }

SorBuilder& SorBuilder::fxd(const Fxd& f)
{
    pendingFxd = f;
    fxdIndex = blocks.size();
    return block("FxdParams", {});
}

SorBuilder& SorBuilder::events(const Events& e) { return block("KeyEvents", eventsBody(e)); }

SorBuilder& SorBuilder::data(const Data& d)
{
    dataPoints = d.numberOfPoints.value_or(static_cast<uint32_t>(d.samples.size()));
    return block("DataPts", dataBody(d));
}

SorBuilder& SorBuilder::block(const std::string& name, const Bytes& body, uint16_t version)
{
    blocks.push_back({ name, body, version });
    return *this;
}

SorBuilder& SorBuilder::mapVersion(uint16_t v)
{
    mapRevision = v;
    return *this;
}

SorBuilder& SorBuilder::crc(Crc c)
{
    crcMode = c;
    return *this;
}

SorBuilder& SorBuilder::editMap(std::function<void(std::vector<MapEntry>&)> edit)
{
    mapEdit = std::move(edit);
    return *this;
}

SorBuilder& SorBuilder::withoutCksumBlock()
{
    cksumBlock = false;
    return *this;
}

Bytes SorBuilder::genBody(const Gen& g)
{
    ByteWriter w;
    w.chars(g.language, 2).str(g.cableId).str(g.fiberId).u16(g.fiberType).u16(g.wavelength);
    w.str(g.locationA).str(g.locationB).str(g.cableCode).chars(g.buildCondition, 2);
    w.i32(g.userOffset).i32(g.userOffsetDistance).str(g.operatorName).str(g.comments);
    return w.bytes;
}

Bytes SorBuilder::supBody(const Sup& s)
{
    ByteWriter w;
    w.str(s.supplierName).str(s.otdrName).str(s.otdrSn).str(s.moduleName).str(s.moduleSn).str(s.swVersion);
    w.str(s.other);
    return w.bytes;
}

Bytes SorBuilder::fxdBody(const Fxd& f, uint32_t defaultPoints)
{
    ByteWriter w;
    w.u32(f.dateSeconds).chars(f.units, 2).u16(f.wavelength).i32(f.aquOffset).i32(f.aquOffsetDist);
    w.u16(f.pulseWidthEntries).u16(f.pulseWidth).u32(f.sampleSpacing);
    w.u32(f.numberOfDataPoints ? f.numberOfDataPoints : defaultPoints);
    w.u32(f.indexRefraction).u16(f.backscatterCoef).u32(f.averages).u16(f.averagingTime).u32(f.range);
    w.i32(f.aquRangeDist).i32(f.frontPanelOffset).u16(f.noiseFloorLevel).i16(f.noiseFloorScaling);
    w.u16(f.powerOffsetFirstPoint).u16(f.lossThreshold).u16(f.reflectionThreshold).u16(f.eotThreshold);
    w.chars(f.traceType, 2).i32(f.x1).i32(f.y1).i32(f.x2).i32(f.y2);
    w.raw(f.vendorTail);
    return w.bytes;
}

Bytes SorBuilder::eventsBody(const Events& e)
{
    ByteWriter w;
    w.u16(e.numberOfEvents.value_or(static_cast<uint16_t>(e.events.size())));
    for (const auto& ev : e.events) {
        w.u16(ev.number).i32(ev.timeOfTravel).i16(ev.slope).i16(ev.spliceLoss).i32(ev.reflectionLoss);
        w.chars(ev.code, 8).u32(ev.endOfPrev).u32(ev.beginOfCurrent).u32(ev.endOfCurrent).u32(ev.beginOfNext);
        w.u32(ev.peak).str(ev.comment);
    }
    w.i32(e.totalLoss).i32(e.fiberStart).u32(e.fiberLength).u16(e.orl).i32(e.orlStart).u32(e.orlLength);
    return w.bytes;
}

Bytes SorBuilder::dataBody(const Data& d)
{
    ByteWriter w;
    const auto n = static_cast<uint32_t>(d.samples.size());
    w.u32(d.numberOfPoints.value_or(n)).u16(d.numberOfTraces).u32(d.numberOfPointsTrace.value_or(n));
    w.u16(d.scalingFactor);
    w.bytes.reserve(w.bytes.size() + 2 * d.samples.size());
    for (const uint16_t s : d.samples)
        w.u16(s);
    return w.bytes;
}

Bytes SorBuilder::build() const
{
    std::vector<Block> all = blocks;
    if (pendingFxd && fxdIndex < all.size())
        all[fxdIndex].body = fxdBody(*pendingFxd, dataPoints);

    std::vector<MapEntry> entries;
    for (const auto& b : all)
        entries.push_back({ b.name, b.version, static_cast<uint32_t>(b.name.size() + 1 + b.body.size()) });
    if (cksumBlock)
        entries.push_back({ "Cksum", 200, 8 });
    if (mapEdit)
        mapEdit(entries);

    uint32_t mapSize = 4 + 2 + 4 + 2;
    for (const auto& e : entries)
        mapSize += static_cast<uint32_t>(e.name.size() + 1 + 2 + 4);

    ByteWriter w;
    w.str("Map").u16(mapRevision).u32(mapSize).u16(static_cast<uint16_t>(entries.size() + 1));
    for (const auto& e : entries)
        w.str(e.name).u16(e.version).u32(e.size);
    for (const auto& b : all)
        w.str(b.name).raw(b.body);
    const size_t beforeCksum = w.bytes.size();
    if (cksumBlock)
        w.str("Cksum");
    uint16_t sum = crc16(w.bytes.data(), w.bytes.size());
    switch (crcMode) {
    case Crc::Right:
        break;
    case Crc::Wrong:
        sum ^= 0x5A5A;
        break;
    case Crc::Xmodem:
        sum = crc16(w.bytes.data(), w.bytes.size(), 0);
        break;
    case Crc::Complement:
        sum = static_cast<uint16_t>(~sum);
        break;
    case Crc::BeforeCksum:
        sum = crc16(w.bytes.data(), beforeCksum);
        break;
    case Crc::Zero:
        sum = 0;
        break;
    }
    w.u16(sum);
    return w.bytes;
}

uint16_t crc16(const uint8_t* data, size_t size, uint16_t initial)
{
    uint16_t reg = initial;
    for (size_t i = 0; i < size; ++i) {
        reg ^= static_cast<uint16_t>(data[i] << 8);
        for (int bit = 0; bit < 8; ++bit)
            reg = static_cast<uint16_t>((reg & 0x8000) ? (reg << 1) ^ 0x1021 : reg << 1);
    }
    return reg;
}

bool writeFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

} // namespace sortest
