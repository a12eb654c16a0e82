// Whether a path names a serial line a handset can sit on, and who holds one.
#pragma once

#include <optional>
#include <string>

namespace zk::platform {

// Empty when `path` is a serial line (a tty: USB serial or modem port, a
// built-in port, a pseudo-terminal); otherwise why not, e.g. "/dev/null is
// not a serial port (a character device of another kind)". Looks at the
// file's type and device number only: nothing is opened.
std::string WhyNotSerialDevice(const std::string& path);

// A process that holds an exclusive lock on `device` (as this library and
// most serial programs take it), from /proc/locks; nullopt when none is
// visible.
struct PortHolder {
  int pid = 0;
  std::string name;  // the program's name, from /proc/<pid>/comm (may be empty)
};
std::optional<PortHolder> FindPortHolder(const std::string& device);

}  // namespace zk::platform
