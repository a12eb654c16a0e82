#include "diag/frame_codec.h"

#include <cstring>

#include "diag/crc16.h"

namespace zk::diag {
namespace {

inline uint8_t* PutEscaped(uint8_t* out, uint8_t byte) {
  if (byte == kFlag || byte == kEscape) {
    *out++ = kEscape;
    *out++ = static_cast<uint8_t>(byte ^ kEscapeXor);
  } else {
    *out++ = byte;
  }
  return out;
}

// Whether any of the eight bytes in `word` is a flag or an escape byte: the
// classic test for a zero byte, run on the word xor each of the two values.
inline bool NeedsEscape(uint64_t word) {
  constexpr uint64_t kOnes = 0x0101010101010101ULL, kHighs = 0x8080808080808080ULL;
  const uint64_t flags = word ^ (kOnes * kFlag), escapes = word ^ (kOnes * kEscape);
  return (((flags - kOnes) & ~flags) | ((escapes - kOnes) & ~escapes)) & kHighs;
}

// The first position from `from` that holds a flag or an escape byte, or `count`.
std::size_t NextEscape(const uint8_t* packet, std::size_t from, std::size_t count) {
  while (from + 8 <= count) {
    uint64_t word;
    std::memcpy(&word, packet + from, sizeof(word));
    if (NeedsEscape(word)) break;
    from += 8;
  }
  while (from < count && static_cast<uint8_t>(packet[from] - kEscape) > 1) ++from;
  return from;
}

}  // namespace

std::size_t EncodeFrame(const uint8_t* packet, std::size_t count, uint8_t* out, std::size_t capacity) {
  if (capacity < MaxEncodedSize(count)) return 0;
  uint8_t* cursor = out;
  // Most bytes need no escape: copy each run up to the next flag or escape
  // byte in one go.
  for (std::size_t i = 0; i < count;) {
    const std::size_t run = NextEscape(packet, i, count);
    std::memcpy(cursor, packet + i, run - i);
    cursor += run - i;
    if (run == count) break;
    cursor = PutEscaped(cursor, packet[run]);
    i = run + 1;
  }
  const uint16_t check = FrameCheck(packet, count);
  cursor = PutEscaped(cursor, static_cast<uint8_t>(check & 0xFF));
  cursor = PutEscaped(cursor, static_cast<uint8_t>(check >> 8));
  *cursor++ = kFlag;
  return static_cast<std::size_t>(cursor - out);
}

DecodeResult DecodeFrame(const uint8_t* body, std::size_t count, uint8_t* out) {
  DecodeResult result;
  bool dangling = false;
  for (std::size_t i = 0; i < count; ++i) {
    uint8_t byte = body[i];
    if (byte == kEscape) {
      if (i + 1 == count) {
        dangling = true;  // nothing left to unescape: the frame is bad
        break;
      }
      byte = static_cast<uint8_t>(body[++i] ^ kEscapeXor);
    }
    out[result.length++] = byte;
  }
  result.good = !dangling && result.length >= 2 && CrcUpdate(kCrcPreset, out, result.length) == kCrcGoodResidue;
  return result;
}

}  // namespace zk::diag
