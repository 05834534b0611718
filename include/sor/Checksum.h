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

/// The register crc16_ccitt would give over the same size bytes had it started from `to` instead of `from`: the
/// CRC is linear, so another initial value only adds its own term and the bytes need not be read again.
uint16_t crc16_change_initial(uint16_t reg, uint64_t size, uint16_t from, uint16_t to);

/// The file's checksum under the conventions instruments are known to follow, computed while the file is read so
/// that it can be told apart from damage later.
struct ChecksumCandidates {
    bool computed = false; ///< the file got as far as its checksum
    uint16_t ccittFalse = 0; ///< CRC-16/CCITT-FALSE of all bytes before the last two: the one crcValid compares
    uint16_t xmodem = 0; ///< CRC-16/XMODEM (initial value 0) of the same bytes
    long cksumOffset = -1; ///< where the "Cksum" identifier starts; -1 when the file has none
    uint16_t ccittBeforeCksum = 0; ///< CRC-16/CCITT-FALSE of the bytes before that identifier
};

} // namespace sor
