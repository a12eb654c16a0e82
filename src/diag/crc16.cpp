#include "diag/crc16.h"

#include <array>

namespace zk::diag {
namespace {

constexpr std::array<uint16_t, 256> MakeTable() {
  std::array<uint16_t, 256> table{};
  for (unsigned i = 0; i < 256; ++i) {
    uint16_t value = static_cast<uint16_t>(i);
    for (int bit = 0; bit < 8; ++bit) value = (value & 1) ? static_cast<uint16_t>((value >> 1) ^ 0x8408) : value >> 1;
    table[i] = value;
  }
  return table;
}

constexpr auto kTable = MakeTable();
static_assert(kTable[1] == 0x1189);

}  // namespace

uint16_t CrcUpdate(uint16_t crc, const uint8_t* bytes, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) crc = static_cast<uint16_t>((crc >> 8) ^ kTable[(crc ^ bytes[i]) & 0xFF]);
  return crc;
}

}  // namespace zk::diag
