// The tables behind the profile keys of "CommPort Settings": the profile
// stores positions in these tables, not the values themselves.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace zk::serial {

inline constexpr std::array<uint32_t, 16> kBaudRates = {110,   300,   600,   1200,  2400,   4800,   9600,   14400,
                                                        19200, 38400, 56000, 57600, 115200, 128000, 256000, 460800};
inline constexpr std::array<uint32_t, 5> kDataBits = {4, 5, 6, 7, 8};
inline constexpr std::array<uint32_t, 5> kParities = {0, 1, 2, 3, 4};  // none, odd, even, mark, space
inline constexpr std::array<uint32_t, 3> kStopBits = {0, 1, 2};        // one, one and a half, two
inline constexpr int kPortCount = 256;

// Default positions when the profile has no entry.
inline constexpr int kDefaultBaudPosition = 9;  // 38400
inline constexpr int kDefaultDataBitsPosition = 4;  // 8
inline constexpr int kDefaultParityPosition = 0;
inline constexpr int kDefaultStopBitsPosition = 0;

// First position holding `value`, or -1.
int PositionOf(std::span<const uint32_t> table, uint32_t value);

// table[position], or table[fallbackPosition] when the position lies outside
// the table: a damaged profile must not index past the end.
uint32_t ValueAt(std::span<const uint32_t> table, int position, int fallbackPosition);

}  // namespace zk::serial
