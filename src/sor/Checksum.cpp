#include "sor/Checksum.h"

#include "sor/Exceptions.h"

#include <algorithm>
#include <array>
#include <vector>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define SOR_CRC_CLMUL 1
#endif

namespace sor {

namespace {
    constexpr uint16_t poly = 0x1021;

    std::array<uint16_t, 256> buildTable()
    {
        std::array<uint16_t, 256> table {};
        for (unsigned i = 0; i < 256; ++i) {
            uint16_t reg = static_cast<uint16_t>(i << 8);
            for (int bit = 0; bit < 8; ++bit)
                reg = static_cast<uint16_t>((reg & 0x8000) ? (reg << 1) ^ poly : reg << 1);
            table[i] = reg;
        }
        return table;
    }

    const std::array<uint16_t, 256>& crcTable()
    {
        static const std::array<uint16_t, 256> table = buildTable();
        return table;
    }

    uint16_t tableCrc(const uint8_t* data, size_t size, uint16_t reg)
    {
        const auto& table = crcTable();
        for (size_t i = 0; i < size; ++i)
            reg = static_cast<uint16_t>((reg << 8) ^ table[((reg >> 8) ^ data[i]) & 0xFF]);
        return reg;
    }

    void checkSize(long size)
    {
        if (size < 0)
            throw EXCEPTION::_Exc_Exception("Could not open file (reported size = " + std::to_string(size) + " Byte)",
                __LINE__, __FILE__, "calc_sor_crc");
        if (size == 0)
            throw EXCEPTION::_Exc_Exception("The file appears to be empty.", __LINE__, __FILE__, "calc_sor_crc");
        if (size < 3)
            throw EXCEPTION::_Exc_Exception(
                "The file is too small (less than 3 Byte) (" + std::to_string(size) + " Byte)", __LINE__, __FILE__,
                "calc_sor_crc");
    }

#ifdef SOR_CRC_CLMUL
    // x^n mod P, the folding constants.
    uint64_t xPowMod(unsigned n)
    {
        uint32_t r = 1;
        for (unsigned i = 0; i < n; ++i) {
            r <<= 1;
            if (r & 0x10000)
                r ^= 0x10000 | poly;
        }
        return r;
    }

    struct FoldConstants {
        uint64_t k[8][2]; // per distance d in blocks of 128 bits: { x^d mod P, x^(d+64) mod P }
    };

    const FoldConstants& foldConstants()
    {
        static const FoldConstants c = [] {
            FoldConstants f {};
            for (unsigned blocks = 1; blocks <= 4; ++blocks) {
                f.k[blocks][0] = xPowMod(128 * blocks);
                f.k[blocks][1] = xPowMod(128 * blocks + 64);
            }
            return f;
        }();
        return c;
    }

    // Moves a 128-bit residue forward by the constant's distance: X = H x^64 + L becomes H k1 + L k0.
    __attribute__((target("pclmul,ssse3"))) inline __m128i fold(__m128i x, __m128i k)
    {
        return _mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11));
    }

    __attribute__((target("pclmul,ssse3"))) inline __m128i loadBigEndian(const uint8_t* p)
    {
        const __m128i reverse = _mm_set_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
        return _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), reverse);
    }

    // Carry-less multiplication folding: the data is reduced four 128-bit lanes at a time, then to one
    // residue whose 16 bytes and the tail go through the table.
    __attribute__((target("pclmul,ssse3"))) uint16_t clmulCrc(const uint8_t* data, size_t size, uint16_t reg)
    {
        const auto& c = foldConstants();
        const __m128i reverse = _mm_set_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
        auto constant = [&](unsigned blocks) {
            return _mm_set_epi64x(static_cast<long long>(c.k[blocks][1]), static_cast<long long>(c.k[blocks][0]));
        };

        // The register enters as an XOR on the first two message bytes.
        uint8_t first[16];
        std::copy(data, data + 16, first);
        first[0] ^= static_cast<uint8_t>(reg >> 8);
        first[1] ^= static_cast<uint8_t>(reg & 0xFF);
        __m128i a0 = loadBigEndian(first);
        __m128i a1 = loadBigEndian(data + 16);
        __m128i a2 = loadBigEndian(data + 32);
        __m128i a3 = loadBigEndian(data + 48);
        size_t pos = 64;
        const __m128i k4 = constant(4);
        while (size - pos >= 64) {
            a0 = _mm_xor_si128(fold(a0, k4), loadBigEndian(data + pos));
            a1 = _mm_xor_si128(fold(a1, k4), loadBigEndian(data + pos + 16));
            a2 = _mm_xor_si128(fold(a2, k4), loadBigEndian(data + pos + 32));
            a3 = _mm_xor_si128(fold(a3, k4), loadBigEndian(data + pos + 48));
            pos += 64;
        }
        __m128i x = _mm_xor_si128(
            _mm_xor_si128(fold(a0, constant(3)), fold(a1, constant(2))), _mm_xor_si128(fold(a2, constant(1)), a3));
        const __m128i k1 = constant(1);
        while (size - pos >= 16) {
            x = _mm_xor_si128(fold(x, k1), loadBigEndian(data + pos));
            pos += 16;
        }
        uint8_t residue[16];
        _mm_storeu_si128(reinterpret_cast<__m128i*>(residue), _mm_shuffle_epi8(x, reverse));
        const uint16_t folded = tableCrc(residue, 16, 0);
        return tableCrc(data + pos, size - pos, folded);
    }

    bool haveClmul()
    {
        static const bool have = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("ssse3");
        return have;
    }
#endif
} // namespace

uint16_t crc16_ccitt(const uint8_t* data, size_t size, uint16_t reg)
{
#ifdef SOR_CRC_CLMUL
    if (size >= 128 && haveClmul())
        return clmulCrc(data, size, reg);
#endif
    return tableCrc(data, size, reg);
}

namespace {
    // a * b modulo the polynomial, both as register values.
    uint16_t mulMod(uint16_t a, uint16_t b)
    {
        uint16_t r = 0;
        for (int bit = 15; bit >= 0; --bit) {
            r = static_cast<uint16_t>((r & 0x8000) ? (r << 1) ^ poly : r << 1);
            if ((b >> bit) & 1)
                r ^= a;
        }
        return r;
    }

    // x^(8 n) modulo the polynomial: what the register is multiplied by over n bytes.
    uint16_t xPow8(uint64_t n)
    {
        uint16_t result = 1;
        uint16_t base = 0x0100; // x^8
        for (; n > 0; n >>= 1) {
            if (n & 1)
                result = mulMod(result, base);
            base = mulMod(base, base);
        }
        return result;
    }
} // namespace

uint16_t crc16_change_initial(uint16_t reg, uint64_t size, uint16_t from, uint16_t to)
{
    return reg ^ mulMod(static_cast<uint16_t>(from ^ to), xPow8(size));
}

uint16_t calc_sor_crc(const uint8_t* bytes, long size)
{
    checkSize(size);
    return crc16_ccitt(bytes, static_cast<size_t>(size - 2));
}

uint16_t calc_sor_crc(FILE* file)
{
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::rewind(file);
    checkSize(size);

    uint16_t reg = 0xFFFF;
    long left = size - 2;
    std::vector<unsigned char> buffer(1 << 16);
    while (left > 0) {
        const size_t want = static_cast<size_t>(std::min<long>(left, static_cast<long>(buffer.size())));
        const size_t got = std::fread(buffer.data(), 1, want, file);
        reg = crc16_ccitt(buffer.data(), got, reg);
        if (got < want)
            break;
        left -= static_cast<long>(got);
    }
    return reg;
}

} // namespace sor
