// Multi-byte fields of packets, written and read at explicit offsets.
//
// Diagnostic and file-system fields are little-endian; the download protocol
// carries addresses and lengths big-endian. A field that would lie partly
// outside the buffer is neither written nor read (readers give 0), so a wrong
// offset can never reach past a packet.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace zk::diag {

namespace detail {
inline bool Fits(std::size_t size, std::size_t offset, std::size_t width) {
  return offset <= size && width <= size - offset;
}
}  // namespace detail

inline void Put8(std::span<uint8_t> bytes, std::size_t offset, uint8_t value) {
  if (detail::Fits(bytes.size(), offset, 1)) bytes[offset] = value;
}

inline uint8_t Get8(std::span<const uint8_t> bytes, std::size_t offset) {
  return detail::Fits(bytes.size(), offset, 1) ? bytes[offset] : 0;
}

inline void PutLe16(std::span<uint8_t> bytes, std::size_t offset, uint16_t value) {
  if (!detail::Fits(bytes.size(), offset, 2)) return;
  bytes[offset] = static_cast<uint8_t>(value);
  bytes[offset + 1] = static_cast<uint8_t>(value >> 8);
}

inline uint16_t GetLe16(std::span<const uint8_t> bytes, std::size_t offset) {
  if (!detail::Fits(bytes.size(), offset, 2)) return 0;
  return static_cast<uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

inline void PutLe32(std::span<uint8_t> bytes, std::size_t offset, uint32_t value) {
  if (!detail::Fits(bytes.size(), offset, 4)) return;
  for (std::size_t i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

inline uint32_t GetLe32(std::span<const uint8_t> bytes, std::size_t offset) {
  if (!detail::Fits(bytes.size(), offset, 4)) return 0;
  uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) value |= static_cast<uint32_t>(bytes[offset + i]) << (8 * i);
  return value;
}

inline void PutBe16(std::span<uint8_t> bytes, std::size_t offset, uint16_t value) {
  if (!detail::Fits(bytes.size(), offset, 2)) return;
  bytes[offset] = static_cast<uint8_t>(value >> 8);
  bytes[offset + 1] = static_cast<uint8_t>(value);
}

inline uint16_t GetBe16(std::span<const uint8_t> bytes, std::size_t offset) {
  if (!detail::Fits(bytes.size(), offset, 2)) return 0;
  return static_cast<uint16_t>((bytes[offset] << 8) | bytes[offset + 1]);
}

inline void PutBe32(std::span<uint8_t> bytes, std::size_t offset, uint32_t value) {
  if (!detail::Fits(bytes.size(), offset, 4)) return;
  for (std::size_t i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(value >> (8 * (3 - i)));
}

inline uint32_t GetBe32(std::span<const uint8_t> bytes, std::size_t offset) {
  if (!detail::Fits(bytes.size(), offset, 4)) return 0;
  uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) value = (value << 8) | bytes[offset + i];
  return value;
}

}  // namespace zk::diag
