#include "port_option.h"

#include <cctype>
#include <filesystem>
#include <system_error>

#include "platform/port_map.h"
#include "platform/serial_device.h"

namespace zk::cli {
namespace fs = std::filesystem;

namespace {

// The map entry already pointing at `device`, else the lowest free number.
struct MapSlot {
  int number = 0;
  bool existing = false;
};
std::optional<MapSlot> PortNumberFor(const fs::path& device) {
  std::error_code ec;
  const auto wanted = fs::weakly_canonical(device, ec);
  int freeNumber = 1;
  for (const auto& record : platform::ListPortMap()) {
    std::error_code targetError;
    if (fs::weakly_canonical(record.target, targetError) == wanted && !targetError) return MapSlot{record.number, true};
    if (record.number == freeNumber) ++freeNumber;
  }
  if (freeNumber > 256) return std::nullopt;
  return MapSlot{freeNumber, false};
}

// "com5" and "\\.\com5" as the port names they mean.
std::string PortNameSpelling(const std::string& text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return platform::PortNumberFromName(upper) ? upper : text;
}

}  // namespace

std::optional<ResolvedPort> ResolvePortOption(const std::string& given, std::string& why) {
  const std::string text = PortNameSpelling(given);
  if (const auto number = platform::PortNumberFromName(text)) {
    const auto entry = platform::PortMapEntry(text);
    std::error_code ec;
    const auto target = fs::read_symlink(*entry, ec);
    return ResolvedPort{*number - 1, "COM" + std::to_string(*number), ec ? std::string() : target.string()};
  }
  if (text.empty() || text.front() != '/') {
    why = "'" + text + "' is neither a port name such as COM5 nor a device path such as /dev/ttyUSB0";
    return std::nullopt;
  }
  if (why = platform::WhyNotSerialDevice(text); !why.empty()) return std::nullopt;
  const auto slot = PortNumberFor(text);
  if (!slot) {
    why = "the port map is full";
    return std::nullopt;
  }
  // A device already in the map keeps its entry and its friendly name.
  std::error_code ec;
  if (!slot->existing && !platform::LinkPort(slot->number, text, std::nullopt, ec)) {
    why = "cannot link " + text + " into the port map: " + ec.message();
    return std::nullopt;
  }
  return ResolvedPort{slot->number - 1, "COM" + std::to_string(slot->number), text};
}

}  // namespace zk::cli
