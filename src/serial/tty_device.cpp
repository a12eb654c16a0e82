#include "serial/tty_device.h"

#include <asm/termbits.h>
#include <linux/serial.h>
#include <sys/ioctl.h>

namespace zk::serial::tty {

bool ApplyRawLine(int fd, const LineParams& params) {
  struct termios2 tio {};
  if (ioctl(fd, TCGETS2, &tio) != 0) return false;

  tcflag_t size = 0;
  switch (params.dataBits) {
    case 5: size = CS5; break;
    case 6: size = CS6; break;
    case 7: size = CS7; break;
    case 8: size = CS8; break;
    default: return false;  // the UART cannot frame 4-bit bytes
  }

  // Raw input and output: no echo, no line editing, no signals, no CR/NL
  // translation, and no XON/XOFF in either direction.
  tio.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                                        IXANY | INPCK | IGNPAR);
  tio.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  tio.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | CBAUD | CIBAUD);
  tio.c_cflag |= size | CREAD | CLOCAL | BOTHER | (BOTHER << IBSHIFT);
  if (params.parity != 0) {
    // Parity checked; bytes that fail it are dropped by the driver.
    tio.c_iflag |= INPCK | IGNPAR;
    tio.c_cflag |= PARENB;
    if (params.parity == 1 || params.parity == 3) tio.c_cflag |= PARODD;
    if (params.parity >= 3) tio.c_cflag |= CMSPAR;
  }
  if (params.stopBits != 0) tio.c_cflag |= CSTOPB;
  tio.c_ispeed = params.baudRate;
  tio.c_ospeed = params.baudRate;
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  tio.c_cc[VSTART] = 0x11;
  tio.c_cc[VSTOP] = 0x13;
  return ioctl(fd, TCSETS2, &tio) == 0;
}

std::optional<uint32_t> ConfiguredBaudRate(int fd) {
  struct termios2 tio {};
  if (ioctl(fd, TCGETS2, &tio) != 0) return std::nullopt;
  return tio.c_ispeed != 0 ? tio.c_ispeed : tio.c_ospeed;
}

bool FlushBoth(int fd) { return ioctl(fd, TCFLSH, TCIOFLUSH) == 0; }

int BytesWaiting(int fd) {
  int count = 0;
  return ioctl(fd, FIONREAD, &count) == 0 ? count : -1;
}

bool SetDtrLine(int fd, bool on) {
  int bits = TIOCM_DTR;
  return ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bits) == 0;
}

bool SetExclusive(int fd) { return ioctl(fd, TIOCEXCL) == 0; }

bool ClearExclusive(int fd) { return ioctl(fd, TIOCNXCL) == 0; }

std::optional<ErrorCounters> ReadErrorCounters(int fd) {
  struct serial_icounter_struct counts {};
  if (ioctl(fd, TIOCGICOUNT, &counts) != 0) return std::nullopt;
  return ErrorCounters{counts.frame, counts.overrun, counts.parity, counts.brk, counts.buf_overrun};
}

}  // namespace zk::serial::tty
