// The bit rate the host side of a pseudo-terminal is set to.
#pragma once

#include <cstdint>

namespace rb310 {

// Reads the slave's output rate through the master (`masterFd`); 0 when it
// cannot be read. Any rate is reported, also those without a Bxxx constant.
uint32_t HostLineRate(int masterFd);

}  // namespace rb310
