#include "platform/port_error.h"

#include <cerrno>
#include <cstring>

#include "platform/serial_device.h"

namespace zk::platform {

std::string PortOpenFailureText(int portIndex, const std::string& device, int error) {
  if (error == 0) return {};
  std::string port = "COM" + std::to_string(static_cast<long long>(portIndex) + 1);
  if (!device.empty()) port += " (" + device + ")";
  switch (error) {
    case EBUSY: {
      std::string text = port + " is in use by another program";
      if (const auto holder = device.empty() ? std::nullopt : FindPortHolder(device))
        text += " (pid " + std::to_string(holder->pid) + (holder->name.empty() ? "" : ", " + holder->name) + ")";
      return text + ": close it and try again";
    }
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return port + " does not exist: the handset is not attached, or the port-map entry points at a device "
                    "that is gone";
    case EACCES:
    case EPERM:
      return port + ": permission denied: the user needs read and write access to the device (on Debian: "
                    "sudo usermod -aG dialout $USER, then log in again)";
    default:
      return port + ": " + std::strerror(error);
  }
}

}  // namespace zk::platform
