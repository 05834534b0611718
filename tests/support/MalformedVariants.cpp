#include "MalformedVariants.h"

#include "SyntheticTrace.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>

namespace sortest {

namespace {

    constexpr size_t mapFieldsEnd = 12; ///< "Map\0", revision, size, count

    uint32_t fnv1a(const std::string& text)
    {
        uint32_t h = 2166136261u;
        for (const char c : text)
            h = (h ^ static_cast<uint8_t>(c)) * 16777619u;
        return h;
    }

    // Only the engine's output is portable; distributions differ between standard libraries.
    class Random {
    public:
        explicit Random(const std::string& seed)
            : engine(fnv1a(seed))
        {
        }
        size_t below(size_t n) { return n == 0 ? 0 : static_cast<size_t>(engine() % n); }
        uint8_t byte() { return static_cast<uint8_t>(engine()); }
        uint32_t word32() { return static_cast<uint32_t>(engine()); }

    private:
        std::mt19937 engine;
    };

    void put16(Bytes& b, size_t at, uint16_t v)
    {
        if (at + 2 <= b.size()) {
            b[at] = static_cast<uint8_t>(v);
            b[at + 1] = static_cast<uint8_t>(v >> 8);
        }
    }

    void put32(Bytes& b, size_t at, uint32_t v)
    {
        for (size_t i = 0; i < 4 && at + i < b.size(); ++i)
            b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }

    uint16_t get16(const Bytes& b, size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }

    uint32_t get32(const Bytes& b, size_t at)
    {
        return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8)
            | (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
    }

    // Position after the zero-terminated text at pos, or nullopt when it runs to the end.
    std::optional<size_t> skipText(const Bytes& b, size_t pos)
    {
        while (pos < b.size() && b[pos] != 0)
            ++pos;
        if (pos >= b.size())
            return std::nullopt;
        return pos + 1;
    }

    void fixChecksum(Bytes& b)
    {
        if (b.size() >= 3)
            put16(b, b.size() - 2, crc16(b.data(), b.size() - 2));
    }

    // The image with its Map replaced by one listing entries (count adjusted unless count is given), the blocks
    // unchanged and the checksum made right again.
    Bytes withMap(const Bytes& image, const Layout& layout, const std::vector<MapEntry>& entries,
        std::optional<uint16_t> count = std::nullopt)
    {
        ByteWriter w;
        uint32_t mapSize = mapFieldsEnd;
        for (const auto& e : entries)
            mapSize += static_cast<uint32_t>(e.name.size() + 1 + 6);
        w.str("Map").u16(layout.mapVersion).u32(mapSize);
        w.u16(count.value_or(static_cast<uint16_t>(entries.size() + 1)));
        for (const auto& e : entries)
            w.str(e.name).u16(e.version).u32(e.size);
        w.bytes.insert(w.bytes.end(), image.begin() + static_cast<long>(layout.mapEnd), image.end());
        fixChecksum(w.bytes);
        return w.bytes;
    }

    // The image with its blocks (all but the Map) rearranged by edit, the Map left as it was or made to match.
    template <typename Edit> Bytes withBlocks(const Bytes& image, const Layout& layout, bool matchMap, Edit edit)
    {
        std::vector<std::pair<MapEntry, Bytes>> blocks;
        for (size_t i = 1; i < layout.blocks.size(); ++i) {
            const auto& s = layout.blocks[i];
            const size_t end = std::min(image.size(), s.offset + s.size);
            blocks.push_back(
                { layout.entries[i - 1], Bytes(image.begin() + long(s.offset), image.begin() + long(end)) });
        }
        const size_t tail = layout.blocks.back().offset + layout.blocks.back().size;
        Bytes trailing(image.begin() + long(std::min(tail, image.size())), image.end());
        edit(blocks);

        Bytes body(image.begin(), image.begin() + long(layout.mapEnd));
        for (const auto& b : blocks)
            body.insert(body.end(), b.second.begin(), b.second.end());
        body.insert(body.end(), trailing.begin(), trailing.end());
        fixChecksum(body);
        if (!matchMap)
            return body;
        std::vector<MapEntry> entries;
        for (const auto& b : blocks)
            entries.push_back(b.first);
        return withMap(body, layout, entries);
    }

    // Offset of a field inside the first block with the given name, counted from the byte after its identifier.
    std::optional<size_t> fieldAt(const Layout& layout, const Bytes& image, const std::string& block, size_t offset)
    {
        for (const auto& s : layout.blocks) {
            if (s.name != block)
                continue;
            const size_t at = s.offset + block.size() + 1 + offset;
            if (at < image.size())
                return at;
        }
        return std::nullopt;
    }

    // Offset of UserOffsetDistance in GenParams: after the language, two texts, two words, three texts, the build
    // condition and UserOffset.
    std::optional<size_t> userOffsetDistanceAt(const Layout& layout, const Bytes& image)
    {
        auto pos = fieldAt(layout, image, "GenParams", 2);
        for (int i = 0; i < 2 && pos; ++i)
            pos = skipText(image, *pos);
        if (pos)
            *pos += 4;
        for (int i = 0; i < 3 && pos; ++i)
            pos = skipText(image, *pos);
        if (pos)
            *pos += 2 + 4;
        return pos && *pos + 4 <= image.size() ? pos : std::nullopt;
    }

    class Generator {
    public:
        Generator(const NamedImage& base, std::vector<NamedImage>& out)
            : base(base)
            , image(base.bytes)
            , layout(readLayout(base.bytes))
            , random(base.name)
            , out(out)
        {
        }

        void run()
        {
            truncations();
            byteCorruption();
            if (!layout.valid)
                return;
            mapFields();
            blockFields();
            unterminatedTexts();
            mapDisagreements();
            blockOrder();
        }

    private:
        const NamedImage& base;
        const Bytes& image;
        const Layout layout;
        Random random;
        std::vector<NamedImage>& out;

        void add(const std::string& kind, const std::string& detail, Bytes bytes)
        {
            out.push_back({ base.name + "/" + kind + "/" + detail, std::move(bytes) });
        }

        void cut(const std::string& detail, size_t size)
        {
            if (size < image.size())
                add("truncate", detail, Bytes(image.begin(), image.begin() + long(size)));
        }

        void truncations()
        {
            if (layout.valid) {
                for (size_t i = 0; i < layout.blocks.size(); ++i) {
                    const auto& s = layout.blocks[i];
                    const std::string tag = std::to_string(i) + "-" + s.name;
                    if (s.offset > 0)
                        cut(tag + "-start-1", s.offset - 1);
                    cut(tag + "-start", s.offset);
                    cut(tag + "-start+1", s.offset + 1);
                    cut(tag + "-after-id", s.offset + s.name.size() + 1);
                    cut(tag + "-after-id+3", s.offset + s.name.size() + 4);
                    cut(tag + "-end-1", s.offset + s.size - 1);
                }
                for (size_t k = mapFieldsEnd; k < layout.mapEnd; k += 5)
                    cut("map-entries-" + std::to_string(k), k);
            }
            for (size_t k = 1; k <= 3 && k < image.size(); ++k)
                cut("end-" + std::to_string(k), image.size() - k);
            for (size_t k = 0; k <= 3; ++k)
                cut("size-" + std::to_string(k), k);
            for (int k = 0; k < 24; ++k) {
                const size_t at = random.below(image.size());
                cut("random-" + std::to_string(at), at);
            }
        }

        void byteCorruption()
        {
            // Most of the structure lives in the first few hundred bytes; samples take the rest.
            const size_t head = std::min<size_t>(image.size(), layout.valid ? layout.mapEnd + 400 : 600);
            for (int k = 0; k < 48; ++k) {
                Bytes b = image;
                const size_t span = k % 2 == 0 ? head : b.size();
                const size_t flips = 1 + random.below(6);
                std::string detail = std::to_string(k) + "-at";
                for (size_t f = 0; f < flips && span > 0; ++f) {
                    const size_t at = random.below(span);
                    b[at] = random.byte();
                    detail += "-" + std::to_string(at);
                }
                if (k % 3 == 0)
                    fixChecksum(b);
                add("bytes", detail, std::move(b));
            }
            for (int k = 0; k < 12; ++k) {
                Bytes b = image;
                const size_t at = random.below(head);
                const uint8_t fill = k % 2 == 0 ? 0x00 : 0xFF;
                for (size_t i = at; i < std::min(b.size(), at + 16); ++i)
                    b[i] = fill;
                add("bytes", "run-" + std::to_string(fill) + "-at-" + std::to_string(at), std::move(b));
            }
        }

        void set16(const std::string& field, std::optional<size_t> at, std::initializer_list<uint32_t> values)
        {
            if (!at || *at + 2 > image.size())
                return;
            for (const uint32_t v : values) {
                Bytes b = image;
                put16(b, *at, static_cast<uint16_t>(v));
                add("field", field + "=" + std::to_string(static_cast<uint16_t>(v)), std::move(b));
            }
        }

        void set32(const std::string& field, std::optional<size_t> at, std::initializer_list<uint32_t> values)
        {
            if (!at || *at + 4 > image.size())
                return;
            for (const uint32_t v : values) {
                Bytes b = image;
                put32(b, *at, v);
                add("field", field + "=" + std::to_string(v), std::move(b));
            }
        }

        void mapFields()
        {
            const auto n = static_cast<uint32_t>(layout.entries.size());
            set16("Map.MapVersion", 4, { 0, 199, 201, 0xFFFF });
            set32("Map.NumberOfBytesMapBlock", 6, { 0, 0xFFFFFFFF });
            set16("Map.NumberOfBlocks", 10, { 0, 1, 2, n, n + 2, 0x7FFF, 0xFFFF });
            size_t pos = mapFieldsEnd;
            for (size_t i = 0; i < layout.entries.size(); ++i) {
                const auto end = skipText(image, pos);
                if (!end)
                    return;
                const uint32_t size = layout.entries[i].size;
                const std::string tag = "Map.entry" + std::to_string(i) + "-" + layout.entries[i].name;
                set16(tag + ".version", *end, { 0, 0xFFFF });
                set32(tag + ".size", *end + 2, { 0, 1, size - 1, size + 1, size * 2, 0x7FFFFFFF, 0xFFFFFFFF });
                pos = *end + 6;
            }
        }

        void blockFields()
        {
            const auto fxd = [&](size_t offset) { return fieldAt(layout, image, "FxdParams", offset); };
            set32("Fxd.Date_seconds", fxd(0), { 0xFFFFFFFF, 0x80000000 });
            set16("Fxd.Units", fxd(4), { 0, 0xFFFF });
            set32("Fxd.AquOffsetDist", fxd(12), { 0x7FFFFFFF, 0x80000000 });
            set16("Fxd.NumberPulseWidthEntries", fxd(16), { 0, 2, 0xFFFF });
            set32("Fxd.SampleSpacing", fxd(20), { 0, 1, 0xFFFFFFFF });
            set32("Fxd.NumberOfDataPoints", fxd(24), { 0, 0xFFFFFFFF });
            set32("Fxd.IndexRefraction_Raw", fxd(28), { 0, 1, 0xFFFFFFFF });
            set32("Fxd.Range_Raw", fxd(40), { 0xFFFFFFFF });
            set16("Fxd.TraceType", fxd(64), { 0, 0xFFFF });
            set32("Gen.UserOffsetDistance", userOffsetDistanceAt(layout, image), { 0x7FFFFFFF, 0x80000000 });

            const auto ev = [&](size_t offset) { return fieldAt(layout, image, "KeyEvents", offset); };
            if (const auto at = ev(0); at && *at + 2 <= image.size()) {
                const uint16_t count = get16(image, *at);
                set16("Events.NumberOfEvents", at, { 0, uint32_t(count) + 1, 0x7FFF, 0xFFFF });
                if (count > 0) {
                    set32("Events.0.TimeOfTravel", ev(4), { 0x7FFFFFFF, 0x80000000 });
                    set16("Events.0.EventCode", ev(16), { 0, 0xFFFF });
                    set32("Events.0.PeakPointCurrent_Raw", ev(40), { 0xFFFFFFFF });
                }
            }

            const auto data = [&](size_t offset) { return fieldAt(layout, image, "DataPts", offset); };
            if (const auto at = data(0); at && *at + 4 <= image.size()) {
                const uint32_t count = get32(image, *at);
                set32("Data.NumberOfPoints", at,
                    { 0, count - 1, count + 1, count * 2, 0x7FFFFFFF, 0xFFFFFFFF, 4000000000u });
                set16("Data.NumberOfTraces", data(4), { 0, 2, 0xFFFF });
                set32("Data.NumberOfPoints_Trace", data(6), { 0, 0xFFFFFFFF });
                set16("Data.ScalingFactor", data(10), { 0, 1, 0xFFFF });
                if (const auto samples = data(12); samples && count > 0) {
                    for (const uint16_t v : { uint16_t(0), uint16_t(0xFFFF) }) {
                        Bytes b = image;
                        for (size_t i = *samples; i + 1 < std::min(b.size() - 2, *samples + 2 * size_t(count)); i += 2)
                            put16(b, i, v);
                        add("field", "Data.samples-all=" + std::to_string(v), std::move(b));
                    }
                }
            }
        }

        void unterminatedTexts()
        {
            for (size_t i = 0; i < layout.blocks.size(); ++i) {
                const auto& s = layout.blocks[i];
                const std::string tag = std::to_string(i) + "-" + s.name;
                // The identifier's own zero byte, then the first zero byte of the body.
                const size_t idEnd = s.offset + s.name.size();
                if (idEnd < image.size() && image[idEnd] == 0) {
                    Bytes b = image;
                    b[idEnd] = 'X';
                    add("text", tag + "-identifier-unterminated", std::move(b));
                }
                const size_t end = std::min(image.size(), s.offset + s.size);
                for (size_t at = idEnd + 1; at < end; ++at) {
                    if (image[at] == 0) {
                        Bytes b = image;
                        b[at] = 'X';
                        add("text", tag + "-first-zero-at-" + std::to_string(at), std::move(b));
                        break;
                    }
                }
            }
            // No zero byte from the first block after the Map to the end of the file.
            if (layout.blocks.size() > 1) {
                Bytes b = image;
                std::replace(b.begin() + long(layout.mapEnd), b.end(), uint8_t(0), uint8_t('Z'));
                add("text", "no-zero-after-map", std::move(b));
            }
            // A text longer than the reader's budget in place of the first text after the Map.
            if (layout.blocks.size() > 1) {
                Bytes b(image.begin(), image.begin() + long(layout.mapEnd));
                b.insert(b.end(), 100005, 'L');
                b.insert(b.end(), image.begin() + long(layout.mapEnd), image.end());
                add("text", "overlong-identifier", std::move(b));
            }
        }

        void mapDisagreements()
        {
            const auto& entries = layout.entries;
            for (size_t i = 0; i + 1 < entries.size(); ++i) {
                auto e = entries;
                std::swap(e[i], e[i + 1]);
                add("map", "swap-" + std::to_string(i), withMap(image, layout, e));
            }
            for (size_t i = 0; i < entries.size(); ++i) {
                auto e = entries;
                e.erase(e.begin() + long(i));
                add("map", "missing-" + std::to_string(i) + "-" + entries[i].name, withMap(image, layout, e));
                e = entries;
                e.insert(e.begin() + long(i), entries[i]);
                add("map", "twice-" + std::to_string(i) + "-" + entries[i].name, withMap(image, layout, e));
                for (const auto& [tag, size] :
                    std::initializer_list<std::pair<const char*, uint32_t>> { { "size-0", 0 },
                        { "size-minus-1", entries[i].size - 1 }, { "size-plus-1", entries[i].size + 1 },
                        { "size-double", entries[i].size * 2 }, { "size-max", 0xFFFFFFFF } }) {
                    e = entries;
                    e[i].size = size;
                    add("map", std::string(tag) + "-" + std::to_string(i) + "-" + entries[i].name,
                        withMap(image, layout, e));
                }
            }
            auto e = entries;
            std::reverse(e.begin(), e.end());
            add("map", "reversed", withMap(image, layout, e));
            e = entries;
            e.insert(e.begin(), MapEntry { "Vendor", 200, 100 });
            add("map", "extra-first", withMap(image, layout, e));
            e = entries;
            e.push_back(MapEntry { "Vendor", 200, 100 });
            add("map", "extra-last", withMap(image, layout, e));
            add("map", "empty", withMap(image, layout, {}));
            add("map", "count-high", withMap(image, layout, entries, uint16_t(entries.size() + 5)));
            add("map", "count-low", withMap(image, layout, entries, uint16_t(entries.size() > 0 ? entries.size() : 0)));
        }

        void blockOrder()
        {
            using Blocks = std::vector<std::pair<MapEntry, Bytes>>;
            const size_t n = layout.entries.size();
            for (size_t i = 0; i < n; ++i) {
                const std::string tag = std::to_string(i) + "-" + layout.entries[i].name;
                add("blocks", "missing-" + tag,
                    withBlocks(image, layout, false, [i](Blocks& b) { b.erase(b.begin() + long(i)); }));
                add("blocks", "twice-" + tag, withBlocks(image, layout, false, [i](Blocks& b) {
                    const auto copy = b[i];
                    b.insert(b.begin() + long(i), copy);
                }));
                add("blocks", "twice-listed-" + tag, withBlocks(image, layout, true, [i](Blocks& b) {
                    const auto copy = b[i];
                    b.insert(b.begin() + long(i), copy);
                }));
                add("blocks", "vendor-before-" + tag, withBlocks(image, layout, true, [i](Blocks& b) {
                    ByteWriter w;
                    w.str("Vendor").raw(Bytes(20, 0x5A));
                    b.insert(b.begin() + long(i), { MapEntry { "Vendor", 200, uint32_t(w.bytes.size()) }, w.bytes });
                }));
                if (i + 1 < n) {
                    add("blocks", "swap-" + tag,
                        withBlocks(image, layout, false, [i](Blocks& b) { std::swap(b[i], b[i + 1]); }));
                    add("blocks", "swap-listed-" + tag,
                        withBlocks(image, layout, true, [i](Blocks& b) { std::swap(b[i], b[i + 1]); }));
                }
            }
        }
    };

    Bytes readFile(const std::filesystem::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    SorBuilder synthetic(uint32_t samples, unsigned events, uint32_t seed)
    {
        SynthOptions o;
        o.samples = samples;
        o.events = events;
        o.seed = seed;
        return synthesize(o);
    }

} // namespace

Layout readLayout(const Bytes& image)
{
    Layout layout;
    static const char id[] = { 'M', 'a', 'p', 0 };
    if (image.size() < mapFieldsEnd || !std::equal(id, id + 4, image.begin()))
        return layout;
    layout.mapVersion = get16(image, 4);
    const uint16_t count = get16(image, 10);
    size_t pos = mapFieldsEnd;
    for (unsigned i = 1; i < count; ++i) {
        const auto end = skipText(image, pos);
        if (!end || *end + 6 > image.size())
            return layout;
        layout.entries.push_back({ std::string(image.begin() + long(pos), image.begin() + long(*end - 1)),
            get16(image, *end), get32(image, *end + 2) });
        pos = *end + 6;
    }
    layout.mapEnd = pos;
    layout.blocks.push_back({ "Map", 0, pos });
    for (const auto& e : layout.entries) {
        if (pos + e.size > image.size())
            return layout;
        layout.blocks.push_back({ e.name, pos, e.size });
        pos += e.size;
    }
    layout.valid = true;
    return layout;
}

std::vector<NamedImage> baseImages(const std::string& samplesDir)
{
    std::vector<NamedImage> bases;
    bases.push_back({ "standard", SorBuilder::standard().build() });

    Fxd vendorFxd;
    vendorFxd.vendorTail = Bytes(48, 0x11);
    SorBuilder vendor;
    vendor.gen(Gen()).sup(Sup()).block("Vendor", Bytes(23, 0xAB)).fxd(vendorFxd).events(Events());
    vendor.data(Data { { 5, 4, 3, 2, 1 } });
    bases.push_back({ "vendor-blocks", vendor.build() });

    SorBuilder bare;
    bare.fxd(Fxd()).data(Data { { 7 } }).withoutCksumBlock();
    bases.push_back({ "fxd-data-only", bare.build() });

    SorBuilder empty;
    empty.gen(Gen()).sup(Sup()).fxd(Fxd()).events(Events()).data(Data());
    bases.push_back({ "no-samples", empty.build() });

    // Layouts that only the Map explains: an entry of size 0 the file lacks, vendor blocks of size 0 inside the
    // extent of the block before them, the samples before the events.
    auto absent = SorBuilder::standard();
    absent.editMap([](auto& m) { m.insert(m.begin() + 4, MapEntry { "LnkParams", 200, 0 }); });
    bases.push_back({ "absent-entry", absent.build() });
    SorBuilder embedded;
    embedded.gen(Gen()).sup(Sup()).fxd(Fxd()).events(Events()).block("LinkParams", Bytes(20, 0x5A));
    embedded.data(Data { { 9, 8, 7, 6 } }).block("UserName", Bytes(11, 0x33));
    embedded.editMap([](auto& m) {
        for (const size_t inner : { size_t(4), size_t(6) }) {
            m[inner - 1].size += m[inner].size;
            m[inner].size = 0;
        }
    });
    bases.push_back({ "embedded-blocks", embedded.build() });
    SorBuilder reordered;
    reordered.gen(Gen()).sup(Sup()).fxd(Fxd()).data(Data { { 4, 5, 6 } }).events(Events()).mapVersion(210);
    bases.push_back({ "data-before-events", reordered.build() });

    bases.push_back({ "synth-16", synthetic(16, 2, 3).build() });
    bases.push_back({ "synth-64", synthetic(64, 4, 5).build() });
    bases.push_back({ "synth-300", synthetic(300, 6, 7).build() });
    bases.push_back({ "synth-1500", synthetic(1500, 10, 9).build() });

    namespace fs = std::filesystem;
    std::error_code ec;
    if (!samplesDir.empty() && fs::is_directory(samplesDir, ec)) {
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(samplesDir, ec))
            if (entry.is_regular_file() && entry.path().extension() == ".sor")
                files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (const auto& f : files)
            bases.push_back({ f.stem().string(), readFile(f) });
    }
    return bases;
}

std::vector<NamedImage> malformedVariants(const std::vector<NamedImage>& bases)
{
    std::vector<NamedImage> out;
    for (const auto& base : bases)
        Generator(base, out).run();
    return out;
}

std::vector<NamedImage> malformedVariants(const std::string& samplesDir)
{
    return malformedVariants(baseImages(samplesDir));
}

} // namespace sortest
