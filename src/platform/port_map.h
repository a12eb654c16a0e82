// The port map: $ZKDOWNLOAD_HOME/ports/COM<n> is a symbolic link to the tty
// device that stands for port COM<n>; COM<n>.friendly optionally holds the
// port's display name.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace zk::platform {

std::filesystem::path PortMapDirectory();

// "COM5" for "COM5" and "\\.\COM5"; nullopt when the text names no COM port
// (the number must lie in 1..256).
std::optional<int> PortNumberFromName(std::string_view deviceName);

// Path of the map entry for a device name such as "\\.\COM10"; nullopt when
// the name is not a COM port name.
std::optional<std::filesystem::path> PortMapEntry(std::string_view deviceName);

struct PortMapRecord {
  int number = 0;                        // n of COM<n>
  std::filesystem::path link;            // the map entry itself
  std::string target;                    // where the link points (may not exist)
  std::optional<std::string> friendly;   // text of COM<n>.friendly
};

// All COM<n> entries of `directory` (default: the port map), ordered by n.
std::vector<PortMapRecord> ListPortMap(const std::filesystem::path& directory = {});

// Makes COM<number> point at `device` (replacing an older entry) and writes or
// removes its friendly name.
bool LinkPort(int number, const std::filesystem::path& device, std::optional<std::string_view> friendly,
              std::error_code& error);

// Removes COM<number> and its friendly name, if present.
void UnlinkPort(int number);

}  // namespace zk::platform
