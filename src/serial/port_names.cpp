// The port-name table: index n opens "COM<n+1>"; from COM10 on the name
// carries the device-namespace prefix "\\.\".
#include <array>
#include <string>

#include "zkdownload/comm_port.h"

namespace {

std::array<std::string, 256> BuildPortNames() {
  std::array<std::string, 256> names;
  for (int index = 0; index < 256; ++index) {
    const std::string com = "COM" + std::to_string(index + 1);
    names[static_cast<std::size_t>(index)] = index < 9 ? com : "\\\\.\\" + com;
  }
  return names;
}

}  // namespace

const char* CCommPort::GetPortName(COMM_PORT port) {
  static const std::array<std::string, 256> kNames = BuildPortNames();
  const int index = static_cast<int>(port);
  if (index < 0 || index >= 256) return "";
  return kNames[static_cast<std::size_t>(index)].c_str();
}
