#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace sor {

/// CRC-16/CCITT-FALSE of all bytes of the file but the last two. Moves the stream position.
uint16_t calc_sor_crc(FILE* file);

/// The same checksum over a file already in memory (all bytes but the last two).
uint16_t calc_sor_crc(const uint8_t* bytes, long size);

/// CRC-16/CCITT-FALSE register after the given bytes, starting from reg.
uint16_t crc16_ccitt(const uint8_t* data, size_t size, uint16_t reg = 0xFFFF);

} // namespace sor
