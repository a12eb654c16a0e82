// Byte stuffing for diagnostic frames, on caller-owned buffers.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zk::diag {

inline constexpr uint8_t kFlag = 0x7E;
inline constexpr uint8_t kEscape = 0x7D;
inline constexpr uint8_t kEscapeXor = 0x20;

// Worst-case frame length for `count` packet bytes: every byte and both check
// bytes escaped, plus the terminator.
constexpr std::size_t MaxEncodedSize(std::size_t count) { return 2 * (count + 2) + 1; }

// Writes the escaped packet, its escaped check bytes and the terminating flag
// into `out`. Returns the frame length, or 0 when `capacity` is too small.
std::size_t EncodeFrame(const uint8_t* packet, std::size_t count, uint8_t* out, std::size_t capacity);

struct DecodeResult {
  std::size_t length = 0;  // unescaped bytes stored, check bytes included
  bool good = false;       // check sequence verified and no dangling escape
};

// Unescapes a frame body (no terminator) into `out`, which must hold `count`
// bytes, and verifies its check sequence.
DecodeResult DecodeFrame(const uint8_t* body, std::size_t count, uint8_t* out);

}  // namespace zk::diag
