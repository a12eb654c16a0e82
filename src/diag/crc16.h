// CRC-16/X-25, the HDLC frame check sequence (reflected polynomial 0x8408,
// preset 0xFFFF, complemented on send). A receiver that runs it over packet
// and check bytes finds the register at kCrcGoodResidue.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zk::diag {

inline constexpr uint16_t kCrcPreset = 0xFFFF;
inline constexpr uint16_t kCrcGoodResidue = 0xF0B8;

uint16_t CrcUpdate(uint16_t crc, const uint8_t* bytes, std::size_t count);

// The check value to append to a packet (complemented register).
inline uint16_t FrameCheck(const uint8_t* bytes, std::size_t count) {
  return static_cast<uint16_t>(~CrcUpdate(kCrcPreset, bytes, count));
}

}  // namespace zk::diag
