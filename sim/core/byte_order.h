// Field access at explicit offsets: little-endian for diagnostic packets,
// big-endian for the downloader's. Readers return 0 for fields that lie
// beyond the packet, so a short request never reads outside its bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace rb310 {

inline uint8_t Get8(std::span<const uint8_t> bytes, std::size_t offset) {
  return offset < bytes.size() ? bytes[offset] : 0;
}

inline uint16_t GetLe16(std::span<const uint8_t> bytes, std::size_t offset) {
  return static_cast<uint16_t>(Get8(bytes, offset) | (Get8(bytes, offset + 1) << 8));
}

inline uint32_t GetLe32(std::span<const uint8_t> bytes, std::size_t offset) {
  return static_cast<uint32_t>(GetLe16(bytes, offset)) | (static_cast<uint32_t>(GetLe16(bytes, offset + 2)) << 16);
}

inline uint16_t GetBe16(std::span<const uint8_t> bytes, std::size_t offset) {
  return static_cast<uint16_t>((Get8(bytes, offset) << 8) | Get8(bytes, offset + 1));
}

inline uint32_t GetBe32(std::span<const uint8_t> bytes, std::size_t offset) {
  return (static_cast<uint32_t>(GetBe16(bytes, offset)) << 16) | GetBe16(bytes, offset + 2);
}

// Writers grow the packet as needed.
inline void Put8(std::vector<uint8_t>& bytes, std::size_t offset, uint8_t value) {
  if (bytes.size() <= offset) bytes.resize(offset + 1, 0);
  bytes[offset] = value;
}

inline void PutLe16(std::vector<uint8_t>& bytes, std::size_t offset, uint16_t value) {
  Put8(bytes, offset, static_cast<uint8_t>(value & 0xFF));
  Put8(bytes, offset + 1, static_cast<uint8_t>(value >> 8));
}

inline void PutLe32(std::vector<uint8_t>& bytes, std::size_t offset, uint32_t value) {
  PutLe16(bytes, offset, static_cast<uint16_t>(value & 0xFFFF));
  PutLe16(bytes, offset + 2, static_cast<uint16_t>(value >> 16));
}

inline void PutBytes(std::vector<uint8_t>& bytes, std::size_t offset, std::span<const uint8_t> data) {
  if (bytes.size() < offset + data.size()) bytes.resize(offset + data.size(), 0);
  for (std::size_t i = 0; i < data.size(); ++i) bytes[offset + i] = data[i];
}

}  // namespace rb310
