// Port discovery for hosts: which ports exist and which of them the
// operations will take for the handset's USB modem port.
#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "boundary/export_forms.h"
#include "platform/port_map.h"
#include "serial/port_discovery.h"
#include "zkdownload/zkdownload.h"

namespace {

template <std::size_t N>
void CopyField(std::string_view text, char (&field)[N]) {
  const std::size_t count = std::min(text.size(), N - 1);
  std::memcpy(field, text.data(), count);
  field[count] = '\0';
}

// The verdict the flows reach for this port: the same check, on the same
// port map, that they run at their start.
int HandsetVerdict(const zk::serial::PortEntry& entry) {
  const auto number = zk::platform::PortNumberFromName(entry.portName);
  return number ? zk::serial::IsHandsetUsbPort(*number - 1) : 0;
}

}  // namespace

extern "C" {

ZK_API int EnumeratePorts_Interface(ZKPortInfo* ports, int capacity) {
  try {
    zk::boundary::BeginPlainExport();
    std::vector<zk::serial::PortEntry> list;
    const int count = zk::serial::EnumeratePorts(list);
    const int filled = ports == nullptr ? 0 : std::clamp(capacity, 0, count);
    for (int i = 0; i < filled; ++i) {
      const auto& entry = list[static_cast<std::size_t>(i)];
      ZKPortInfo info{};
      CopyField(entry.portName, info.portName);
      CopyField(entry.devicePath, info.devicePath);
      CopyField(entry.friendlyName, info.friendlyName);
      info.usb = entry.usb;
      info.handsetUsbPort = HandsetVerdict(entry);
      ports[i] = info;
    }
    return count;
  } catch (...) {
    // Enumeration refused, or out of memory: nothing may cross the C boundary.
    return -1;
  }
}

}  // extern "C"
