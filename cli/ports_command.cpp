#include "ports_command.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>
#include <optional>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "command_result.h"
#include "operation_options.h"
#include "platform/attached_serial.h"
#include "platform/port_map.h"
#include "platform/serial_device.h"
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

struct PortsOptions {
  std::string add;   // a device to enter into the port map
  std::string name;  // under this name (default: the lowest free COM<n>)
};

// The entry of the map that already points at `device`, by real path.
std::optional<platform::PortMapRecord> MappedAs(const std::string& device) {
  std::error_code ec;
  const auto wanted = std::filesystem::weakly_canonical(device, ec);
  for (const auto& record : platform::ListPortMap()) {
    std::error_code targetError;
    if (std::filesystem::weakly_canonical(record.target, targetError) == wanted && !targetError) return record;
  }
  return std::nullopt;
}

void ListUnmapped() {
  bool heading = false;
  for (const auto& device : platform::ListAttachedSerialDevices()) {
    if (MappedAs(device.device)) continue;
    if (!heading) {
      std::printf("\nattached but not in the port map (zkdownload ports --add DEVICE maps one):\n");
      heading = true;
    }
    std::printf("  %-14s %-10s %-10s %s\n", device.device.c_str(),
                device.vendorProduct.empty() ? "-" : device.vendorProduct.c_str(),
                device.driver.empty() ? "-" : device.driver.c_str(), device.description.c_str());
    for (const auto& name : device.byId) std::printf("  %-14s %s\n", "", name.c_str());
  }
}

int AddPort(const PortsOptions& options) {
  if (const std::string why = platform::WhyNotSerialDevice(options.add); !why.empty()) {
    std::fprintf(stderr, "zkdownload: %s\n", why.c_str());
    return kUsageStatus;
  }
  int number = 0;
  if (!options.name.empty()) {
    std::string upper(options.name);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const auto parsed = platform::PortNumberFromName(upper);
    if (!parsed) {
      std::fprintf(stderr, "zkdownload: '%s' is no port name such as COM5\n", options.name.c_str());
      return kUsageStatus;
    }
    number = *parsed;
  }
  // One device, one name: a second entry would let two names open it.
  if (const auto existing = MappedAs(options.add)) {
    if (number == 0 || number == existing->number) {
      std::printf("COM%d -> %s (already in the port map)\n", existing->number, existing->target.c_str());
      return 0;
    }
    std::fprintf(stderr, "zkdownload: %s is already mapped as COM%d; remove %s first to rename it\n",
                 options.add.c_str(), existing->number, existing->link.c_str());
    return kUsageStatus;
  }
  if (number != 0) {
    for (const auto& record : platform::ListPortMap())
      if (record.number == number) {
        std::fprintf(stderr, "zkdownload: COM%d already points at %s; remove %s first\n", number,
                     record.target.c_str(), record.link.c_str());
        return kUsageStatus;
      }
  } else {
    number = 1;
    for (const auto& record : platform::ListPortMap())
      if (record.number == number) ++number;
  }
  std::error_code ec;
  if (!platform::LinkPort(number, options.add, std::nullopt, ec)) {
    std::fprintf(stderr, "zkdownload: cannot map %s: %s\n", options.add.c_str(), ec.message().c_str());
    return 1;
  }
  std::printf("COM%d -> %s\n", number, options.add.c_str());
  return 0;
}

int RunPorts(const PortsOptions& options) {
  if (platform::ModemManagerRunning())
    std::fprintf(stderr,
                 "zkdownload: warning: ModemManager is running and may open the handset's port; the udev rule in "
                 "scripts/udev/ tells it to keep away\n");
  if (!options.add.empty()) return AddPort(options);
  const auto directory = platform::PortMapDirectory();
  const auto ports = ListPorts();
  if (!ports) {
    std::fprintf(stderr, "zkdownload: cannot read the port map %s\n", directory.c_str());
    return 1;
  }
  if (ports->empty()) {
    std::printf("no ports in the port map %s\n", directory.c_str());
    std::printf("give an operation a device path (--port /dev/ttyUSB0) and it makes the entry\n");
    ListUnmapped();
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
  ListUnmapped();
  return 0;
}

}  // namespace

void AddPortsCommand(CLI::App& app) {
  auto options = std::make_shared<PortsOptions>();
  auto* command = app.add_subcommand(
      "ports",
      "List the port map (device, friendly name, whether a port counts as the handset's USB modem) and the serial "
      "devices attached but not yet mapped");
  command->add_option("--add", options->add, "enter DEVICE into the port map")->option_text("DEVICE");
  command->add_option("--name", options->name, "the port name for --add (default: the lowest free COM<n>)")
      ->option_text("COMn");
  command->callback([options] { SetCommandResult(RunPorts(*options)); });
}

}  // namespace zk::cli
