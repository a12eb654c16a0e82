// Why a port could not be opened, in words a technician can act on.
#pragma once

#include <string>

namespace zk::platform {

// "COM5 (/dev/ttyUSB0) is in use by another program (pid 4711, minicom):
// close it and try again" for the port index, the device the open tried (may
// be empty) and the errno of the failure; empty when `error` is 0.
std::string PortOpenFailureText(int portIndex, const std::string& device, int error);

}  // namespace zk::platform
