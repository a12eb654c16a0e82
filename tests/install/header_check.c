/* zkdownload.h as a host includes it, compiled as C89, C99 and C++ with
 * every warning an error. */
#include "zkdownload/zkdownload.h"

int zk_header_check(void);

int zk_header_check(void) {
  ZKPortInfo port;
  port.usb = ZK_RESULT_NOT_AVAILABLE == 999000;
  return port.usb + ZK_INTERFACE_LEVEL;
}
