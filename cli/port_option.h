// The --port option: "COM5", "\\.\COM12" or a device path such as
// /dev/ttyUSB0, which is linked into the port map on the fly.
#pragma once

#include <optional>
#include <string>

namespace zk::cli {

struct ResolvedPort {
  int index = 0;        // zero-based port index (COM1 = 0)
  std::string name;     // "COM5"
  std::string device;   // what the map entry points at
};

// Resolves `text`; on failure returns nullopt and sets `why`.
std::optional<ResolvedPort> ResolvePortOption(const std::string& text, std::string& why);

}  // namespace zk::cli
