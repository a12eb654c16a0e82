// Kept apart: <asm/termbits.h> (termios2, TCGETS2) cannot share a translation
// unit with <termios.h>.
#include "wire/line_rate.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace rb310 {

uint32_t HostLineRate(int masterFd) {
  // Termios requests on a pty master act on its slave, so this sees what the
  // host configured on its end.
  struct termios2 settings {};
  if (ioctl(masterFd, TCGETS2, &settings) != 0) return 0;
  return settings.c_ospeed;
}

}  // namespace rb310
