#pragma once

#include <cstdint>
#include <cstdio>

namespace sor {

/// CRC-16/CCITT-FALSE of all bytes of the file but the last two. Moves the stream position.
uint16_t calc_sor_crc(FILE* file);

} // namespace sor
