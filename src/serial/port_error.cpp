#include "serial/port_error.h"

#include <cerrno>
#include <cstring>

namespace zk::serial {
namespace {

// The causes a technician meets, each with what to do about it.
std::string CauseText(int error) {
  switch (error) {
    case EBUSY:
      return "the port is busy: another program has it open (close that program, or find it with fuser)";
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return "no such port: the handset is not attached, or the port-map entry points at a device that is gone";
    case EACCES:
    case EPERM:
      return "permission denied: the user needs read and write access to the device (on Debian: the dialout group)";
    default:
      return std::strerror(error);
  }
}

}  // namespace

std::string PortOpenFailureText(int portIndex, const std::string& device, int error) {
  if (error == 0) return {};
  std::string text = "COM" + std::to_string(static_cast<long long>(portIndex) + 1);
  if (!device.empty()) text += " (" + device + ")";
  return text + ": " + CauseText(error);
}

}  // namespace zk::serial
