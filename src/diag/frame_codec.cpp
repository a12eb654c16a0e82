#include "diag/frame_codec.h"

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

}  // namespace

std::size_t EncodeFrame(const uint8_t* packet, std::size_t count, uint8_t* out, std::size_t capacity) {
  if (capacity < MaxEncodedSize(count)) return 0;
  uint8_t* cursor = out;
  for (std::size_t i = 0; i < count; ++i) cursor = PutEscaped(cursor, packet[i]);
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
