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

// Slicing by eight: kSlices[k][b] is the register change of byte b followed
// by k zero bytes, so eight bytes cost eight look-ups and one dependency
// chain step instead of eight.
constexpr std::array<std::array<uint16_t, 256>, 8> MakeSlices() {
  std::array<std::array<uint16_t, 256>, 8> slices{};
  slices[0] = kTable;
  for (std::size_t k = 1; k < 8; ++k)
    for (std::size_t b = 0; b < 256; ++b)
      slices[k][b] = static_cast<uint16_t>((slices[k - 1][b] >> 8) ^ kTable[slices[k - 1][b] & 0xFF]);
  return slices;
}

constexpr auto kSlices = MakeSlices();

}  // namespace

uint16_t CrcUpdate(uint16_t crc, const uint8_t* bytes, std::size_t count) {
  for (; count >= 8; bytes += 8, count -= 8) {
    const uint16_t mixed = static_cast<uint16_t>(crc ^ (bytes[0] | (bytes[1] << 8)));
    crc = static_cast<uint16_t>(kSlices[7][mixed & 0xFF] ^ kSlices[6][mixed >> 8] ^ kSlices[5][bytes[2]] ^
                                kSlices[4][bytes[3]] ^ kSlices[3][bytes[4]] ^ kSlices[2][bytes[5]] ^
                                kSlices[1][bytes[6]] ^ kSlices[0][bytes[7]]);
  }
  for (std::size_t i = 0; i < count; ++i) crc = static_cast<uint16_t>((crc >> 8) ^ kTable[(crc ^ bytes[i]) & 0xFF]);
  return crc;
}

}  // namespace zk::diag
