#include "platform/port_map.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <sstream>

#include "platform/paths.h"

namespace zk::platform {
namespace fs = std::filesystem;

namespace {
constexpr int kHighestPort = 256;
constexpr std::string_view kDeviceNamespacePrefix = "\\\\.\\";

std::string EntryName(int number) { return "COM" + std::to_string(number); }
}  // namespace

fs::path PortMapDirectory() { return Home() / "ports"; }

std::optional<int> PortNumberFromName(std::string_view name) {
  if (name.starts_with(kDeviceNamespacePrefix)) name.remove_prefix(kDeviceNamespacePrefix.size());
  if (name.size() < 4 || name.size() > 6 || !name.starts_with("COM")) return std::nullopt;
  const std::string_view digits = name.substr(3);
  if (digits.front() == '0') return std::nullopt;
  int number = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  if (number < 1 || number > kHighestPort) return std::nullopt;
  return number;
}

std::optional<fs::path> PortMapEntry(std::string_view deviceName) {
  const auto number = PortNumberFromName(deviceName);
  if (!number) return std::nullopt;
  return PortMapDirectory() / EntryName(*number);
}

std::vector<PortMapRecord> ListPortMap(const fs::path& directory) {
  std::vector<PortMapRecord> records;
  std::error_code ec;
  for (fs::directory_iterator it(directory.empty() ? PortMapDirectory() : directory, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    const auto number = PortNumberFromName(name);
    if (!number || name != EntryName(*number)) continue;
    PortMapRecord record;
    record.number = *number;
    record.link = it->path();
    std::error_code linkError;
    record.target = fs::is_symlink(it->symlink_status(linkError)) ? fs::read_symlink(it->path(), linkError).string()
                                                                  : it->path().string();
    std::ifstream friendlyFile(it->path().string() + ".friendly");
    if (friendlyFile) {
      std::string text;
      std::getline(friendlyFile, text);
      record.friendly = text;
    }
    records.push_back(std::move(record));
  }
  std::sort(records.begin(), records.end(), [](const auto& a, const auto& b) { return a.number < b.number; });
  return records;
}

bool LinkPort(int number, const fs::path& device, std::optional<std::string_view> friendly, std::error_code& error) {
  error.clear();
  if (number < 1 || number > kHighestPort) {
    error = std::make_error_code(std::errc::invalid_argument);
    return false;
  }
  fs::create_directories(PortMapDirectory(), error);
  if (error) return false;
  const fs::path link = PortMapDirectory() / EntryName(number);
  // Build the new link beside the old one and rename it over, so a reader
  // never sees the entry missing.
  const fs::path fresh = link.string() + ".new";
  fs::remove(fresh, error);
  fs::create_symlink(device, fresh, error);
  if (error) return false;
  fs::rename(fresh, link, error);
  if (error) return false;
  const fs::path friendlyPath = link.string() + ".friendly";
  if (friendly) {
    std::ofstream out(friendlyPath, std::ios::trunc);
    out << *friendly << '\n';
    if (!out) {
      error = std::make_error_code(std::errc::io_error);
      return false;
    }
  } else {
    fs::remove(friendlyPath, error);
  }
  return !error;
}

void UnlinkPort(int number) {
  std::error_code ignored;
  const fs::path link = PortMapDirectory() / EntryName(number);
  fs::remove(link, ignored);
  fs::remove(link.string() + ".friendly", ignored);
}

}  // namespace zk::platform
