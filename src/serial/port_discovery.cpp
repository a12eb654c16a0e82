#include "serial/port_discovery.h"

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "platform/attached_serial.h"
#include "platform/port_map.h"

namespace zk::serial {
namespace fs = std::filesystem;

namespace {

struct SysfsFacts {
  std::string product;  // USB interface or product string, if any
  int usb = 0;
};

// Looks the tty up in sysfs: its device directory and the few levels above
// it hold the USB interface and product strings.
SysfsFacts ReadSysfs(const fs::path& ttyClass, const std::string& devicePath) {
  SysfsFacts facts;
  std::error_code ec;
  const fs::path device = fs::canonical(devicePath, ec);
  if (ec) return facts;
  const fs::path real = fs::canonical(ttyClass / device.filename() / "device", ec);
  if (ec) return facts;
  facts.usb = real.string().find("/usb") != std::string::npos ? 1 : 0;
  fs::path level = real;
  for (int up = 0; up < 4 && !level.empty() && facts.product.empty(); ++up, level = level.parent_path()) {
    for (const char* name : {"interface", "product"}) {
      if (fs::exists(level / name, ec)) {
        facts.product = platform::FirstLineOf(level / name);
        if (!facts.product.empty()) break;
      }
    }
  }
  return facts;
}

}  // namespace

void CompletePortEntry(PortEntry& entry) {
  if (entry.friendlyName.empty()) entry.friendlyName = entry.portName;
  if (!entry.description.empty()) return;
  entry.description = entry.friendlyName;
  const auto open = entry.description.find(" (");
  const auto close = entry.description.find(')');
  if (open != std::string::npos && open >= 1 && close == entry.description.size() - 1)
    entry.description.erase(open);
}

int EnumeratePorts(std::vector<PortEntry>& list, const DiscoverySources& sources) {
  list.clear();
  const fs::path mapDirectory = sources.portMap.empty() ? platform::PortMapDirectory() : sources.portMap;
  std::error_code ec;
  if (!fs::exists(mapDirectory, ec)) return 0;  // no ports known yet
  fs::directory_iterator it(mapDirectory, ec);
  if (ec) {
    char text[160];
    std::snprintf(text, sizeof(text), "Could not read the port map. (err=%lx)",
                  static_cast<unsigned long>(ec.value()));
    throw PortEnumerationError(text);
  }

  for (const auto& record : platform::ListPortMap(mapDirectory)) {
    PortEntry entry;
    entry.devicePath = record.target;
    entry.portName = "COM" + std::to_string(record.number);
    const SysfsFacts facts = ReadSysfs(sources.sysfsTtyClass, record.target);
    if (record.friendly) {
      entry.friendlyName = *record.friendly;
    } else if (!facts.product.empty()) {
      entry.friendlyName = facts.product + " (" + entry.portName + ")";
    }
    entry.usb = facts.usb;
    CompletePortEntry(entry);
    list.push_back(std::move(entry));
  }
  return static_cast<int>(list.size());
}

int IsHandsetUsbPort(int portIndex, const DiscoverySources& sources) {
  std::vector<PortEntry> list;
  EnumeratePorts(list, sources);
  const std::string name = "COM" + std::to_string(portIndex + 1);
  for (const auto& entry : list) {
    if (entry.friendlyName.find(name) == std::string::npos) continue;
    const bool handset = entry.friendlyName.find("CDMA") != std::string::npos ||
                         entry.friendlyName.find("MCCI") != std::string::npos;
    return handset ? 1 : 0;
  }
  return 0;
}

int CheckHandsetUsbPort(int portIndex) noexcept {
  try {
    return IsHandsetUsbPort(portIndex);
  } catch (const std::exception&) {
    return 0;
  }
}

}  // namespace zk::serial
