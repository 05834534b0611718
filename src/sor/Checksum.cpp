#include "sor/Checksum.h"

#include "sor/Exceptions.h"

#include <algorithm>
#include <array>
#include <vector>

namespace sor {

namespace {
    std::array<uint16_t, 256> buildTable()
    {
        std::array<uint16_t, 256> table {};
        for (unsigned i = 0; i < 256; ++i) {
            uint16_t reg = static_cast<uint16_t>(i << 8);
            for (int bit = 0; bit < 8; ++bit)
                reg = static_cast<uint16_t>((reg & 0x8000) ? (reg << 1) ^ 0x1021 : reg << 1);
            table[i] = reg;
        }
        return table;
    }

    const std::array<uint16_t, 256>& crcTable()
    {
        static const std::array<uint16_t, 256> table = buildTable();
        return table;
    }
} // namespace

uint16_t calc_sor_crc(FILE* file)
{
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::rewind(file);
    if (size < 0)
        SOR_THROW(_Exc_Exception, "Could not open file (reported size = " + std::to_string(size) + " Byte)");
    if (size == 0)
        SOR_THROW(_Exc_Exception, "The file appears to be empty.");
    if (size < 3)
        SOR_THROW(_Exc_Exception, "The file is too small (less than 3 Byte) (" + std::to_string(size) + " Byte)");

    const auto& table = crcTable();
    uint16_t reg = 0xFFFF;
    long left = size - 2;
    std::vector<unsigned char> buffer(1 << 16);
    while (left > 0) {
        const size_t want = static_cast<size_t>(std::min<long>(left, static_cast<long>(buffer.size())));
        const size_t got = std::fread(buffer.data(), 1, want, file);
        for (size_t i = 0; i < got; ++i)
            reg = static_cast<uint16_t>((reg << 8) ^ table[((reg >> 8) ^ buffer[i]) & 0xFF]);
        if (got < want)
            break;
        left -= static_cast<long>(got);
    }
    return reg;
}

} // namespace sor
