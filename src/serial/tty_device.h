// Thin wrappers over the tty ioctls the serial port needs. Kept apart from
// everything else because the kernel's termios2 header clashes with
// <termios.h>.
#pragma once

#include <cstdint>
#include <optional>

namespace zk::serial::tty {

struct LineParams {
  uint32_t baudRate = 38400;
  uint8_t dataBits = 8;  // 5..8
  uint8_t parity = 0;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
  uint8_t stopBits = 0;  // 0 one, 1 one and a half (sent as two), 2 two
};

// Puts the line in raw mode with the given framing and any bit rate; never
// enables hardware or software flow control.
bool ApplyRawLine(int fd, const LineParams& params);

// The input bit rate the line is configured for.
std::optional<uint32_t> ConfiguredBaudRate(int fd);

bool FlushBoth(int fd);
int BytesWaiting(int fd);  // -1 on failure
bool SetDtrLine(int fd, bool on);
bool SetExclusive(int fd);
// Gives up exclusive use. The kernel keeps the flag until the tty's last
// descriptor closes, so without this a tty that another process also holds
// (a pty) could be reopened only by root.
bool ClearExclusive(int fd);

struct ErrorCounters {
  int frame = 0, overrun = 0, parity = 0, brk = 0, bufOverrun = 0;
};
// Line error counters of a real serial port; nullopt where the driver keeps
// none (ptys, most USB modem ports).
std::optional<ErrorCounters> ReadErrorCounters(int fd);

}  // namespace zk::serial::tty
