#include "port_option.h"

#include <filesystem>
#include <system_error>

#include "platform/port_map.h"

namespace zk::cli {
namespace fs = std::filesystem;

namespace {

// The map entry already pointing at `device`, else the lowest free number.
std::optional<int> PortNumberFor(const fs::path& device) {
  std::error_code ec;
  const auto wanted = fs::weakly_canonical(device, ec);
  int freeNumber = 1;
  for (const auto& record : platform::ListPortMap()) {
    std::error_code targetError;
    if (fs::weakly_canonical(record.target, targetError) == wanted && !targetError) return record.number;
    if (record.number == freeNumber) ++freeNumber;
  }
  if (freeNumber > 256) return std::nullopt;
  return freeNumber;
}

}  // namespace

std::optional<ResolvedPort> ResolvePortOption(const std::string& text, std::string& why) {
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
  std::error_code ec;
  if (!fs::exists(text, ec)) {
    why = "device " + text + " does not exist";
    return std::nullopt;
  }
  const auto number = PortNumberFor(text);
  if (!number) {
    why = "the port map is full";
    return std::nullopt;
  }
  if (!platform::LinkPort(*number, text, std::nullopt, ec)) {
    why = "cannot link " + text + " into the port map: " + ec.message();
    return std::nullopt;
  }
  return ResolvedPort{*number - 1, "COM" + std::to_string(*number), text};
}

}  // namespace zk::cli
