// Serial devices attached to this machine, whether or not the port map knows
// them: USB serial and modem ports (/dev/ttyUSB*, /dev/ttyACM*) with what
// sysfs says of them.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace zk::platform {

struct AttachedSerialDevice {
  std::string device;                 // "/dev/ttyUSB0"
  std::vector<std::string> byId;      // its names under /dev/serial/by-id
  std::string vendorProduct;          // USB "1234:5678", empty when not on USB
  std::string description;            // USB manufacturer and product strings, or the interface's
  std::string driver;                 // "option", "cdc_acm", ...
};

// Where the facts come from; tests point them at trees of their own.
struct AttachedSerialSources {
  std::filesystem::path dev = "/dev";
  std::filesystem::path sysClassTty = "/sys/class/tty";
  std::filesystem::path byId = "/dev/serial/by-id";
};

// The first line of a small text file (a sysfs attribute) without trailing
// blanks and line ends; empty when it cannot be read.
std::string FirstLineOf(const std::filesystem::path& file);

// Ordered by device name.
std::vector<AttachedSerialDevice> ListAttachedSerialDevices(const AttachedSerialSources& sources = {});

// True when a process named ModemManager runs: it probes new modem ports and
// may hold the handset's port while an operation needs it.
bool ModemManagerRunning(const std::filesystem::path& proc = "/proc");

}  // namespace zk::platform
