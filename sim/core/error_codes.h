// The answers of the diagnostic command set to a request it refuses, and the
// command code under which subsystems carry their own requests. The
// dispatcher gives these answers itself; services give them too.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rb310::diag {

inline constexpr uint8_t kBadCommand = 0x13;
inline constexpr uint8_t kBadParameter = 0x14;
inline constexpr uint8_t kBadLength = 0x15;
inline constexpr uint8_t kBadSecurityMode = 0x42;

// Subsystem dispatch: the subsystem id at offset 1, a little-endian 16-bit
// sub-command at offset 2.
inline constexpr uint8_t kSubsystemDispatch = 0x4B;
inline constexpr std::size_t kSubsystemIdOffset = 1;
inline constexpr std::size_t kSubsystemCommandOffset = 2;

}  // namespace rb310::diag
