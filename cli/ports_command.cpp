#include "ports_command.h"

#include <algorithm>
#include <optional>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "command_result.h"
#include "platform/port_map.h"
#include "zkdownload/zkdownload.h"

namespace zk::cli {
namespace {

// The list may grow between counting and filling; a second pass with room
// to spare settles it.
std::optional<std::vector<ZKPortInfo>> ListPorts() {
  std::vector<ZKPortInfo> ports;
  for (int attempt = 0; attempt < 3; ++attempt) {
    const int count = EnumeratePorts_Interface(ports.data(), static_cast<int>(ports.size()));
    if (count < 0) return std::nullopt;
    if (static_cast<std::size_t>(count) <= ports.size()) {
      ports.resize(static_cast<std::size_t>(count));
      return ports;
    }
    ports.resize(static_cast<std::size_t>(count) + 8);
  }
  return std::nullopt;
}

const char* YesNo(int flag) { return flag != 0 ? "yes" : "no"; }

int RunPorts() {
  const auto directory = platform::PortMapDirectory();
  const auto ports = ListPorts();
  if (!ports) {
    std::fprintf(stderr, "zkdownload: cannot read the port map %s\n", directory.c_str());
    return 1;
  }
  if (ports->empty()) {
    std::printf("no ports in the port map %s\n", directory.c_str());
    std::printf("give an operation a device path (--port /dev/ttyUSB0) and it makes the entry\n");
    return 0;
  }
  std::size_t deviceWidth = 6;
  for (const auto& port : *ports) deviceWidth = std::max(deviceWidth, std::string(port.devicePath).size() + 10);
  std::printf("%-7s %-*s %-4s %-14s %s\n", "PORT", static_cast<int>(deviceWidth), "DEVICE", "USB", "HANDSET-MODEM",
              "FRIENDLY NAME");
  for (const auto& port : *ports) {
    std::error_code ec;
    std::string device = port.devicePath;
    if (!std::filesystem::exists(device, ec)) device += " (missing)";
    std::printf("%-7s %-*s %-4s %-14s %s\n", port.portName, static_cast<int>(deviceWidth), device.c_str(),
                YesNo(port.usb), YesNo(port.handsetUsbPort), port.friendlyName);
  }
  return 0;
}

}  // namespace

void AddPortsCommand(CLI::App& app) {
  auto* command = app.add_subcommand(
      "ports", "List the port map: device, friendly name and whether a port counts as the handset's USB modem");
  command->callback([] { SetCommandResult(RunPorts()); });
}

}  // namespace zk::cli
