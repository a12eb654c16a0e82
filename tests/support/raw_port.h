// Opening a tty the way a host does (raw, no echo) and moving bytes through it
// with deadlines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace zk::test {

// Opens `path` (a device or a port map entry) read-write, non-blocking, raw,
// at `baud`. Returns the descriptor or -1.
int OpenRawPort(const std::string& path, uint32_t baud);

// Sets both directions to one of the standard rates; false for others.
bool SetPortBaud(int fd, uint32_t baud);

bool WriteAll(int fd, std::span<const uint8_t> bytes);

// Reads until `done` accepts what has arrived, or `timeoutMs` passes (real
// milliseconds). Returns what arrived.
std::vector<uint8_t> ReadUntil(int fd, int timeoutMs, const std::function<bool(const std::vector<uint8_t>&)>& done);

// Reads until a whole frame has arrived: at least one non-flag byte followed
// by the flag 0x7E. Returns the bytes read (possibly more than one frame),
// empty on time-out.
std::vector<uint8_t> ReadFrameBytes(int fd, int timeoutMs);

}  // namespace zk::test
