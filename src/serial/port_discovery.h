// Port discovery: the serial ports this machine knows, from the port map and
// sysfs, and the check whether a port is the handset's own USB modem port.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "zkdownload/comm_port.h"

namespace zk::serial {

struct PortEntry {
  std::string devicePath;    // what the port map entry points at
  std::string portName;      // "COM5"
  std::string friendlyName;  // e.g. "RB310 CDMA USB Modem (COM5)"
  int usb = 0;               // 1 when sysfs places the device on a USB bus
  std::string description;   // the friendly name without its "(COM5)" tail
};

// Raised when the system refuses to tell which ports exist.
class PortEnumerationError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Where discovery looks; tests point both at directories of their own.
struct DiscoverySources {
  std::filesystem::path portMap;                     // default: the port map directory
  std::filesystem::path sysfsTtyClass = "/sys/class/tty";
};

// Fills `list` (emptied first) and returns the number of entries. Throws
// PortEnumerationError when the port map exists but cannot be read.
int EnumeratePorts(std::vector<PortEntry>& list, const DiscoverySources& sources = {});

// 1 when the friendly name of the first entry containing "COM<index+1>" also
// contains "CDMA" or "MCCI", else 0. Throws like EnumeratePorts.
int IsHandsetUsbPort(int portIndex, const DiscoverySources& sources = {});

// The check as the flows run it: an enumeration failure means the port is
// treated as a physical line (0), so the flows go on at their safe rates.
int CheckHandsetUsbPort(int portIndex) noexcept;

// Completes an entry: an empty friendly name becomes the port name, an empty
// description the friendly name without a trailing " (...)".
void CompletePortEntry(PortEntry& entry);

}  // namespace zk::serial
