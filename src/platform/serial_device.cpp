#include "platform/serial_device.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace zk::platform {
namespace {

namespace fs = std::filesystem;

// Device numbers of the Linux tty drivers that are never a handset's line.
constexpr unsigned kTtyMajor = 5;      // 5:0 /dev/tty, 5:1 console, 5:2 ptmx
constexpr unsigned kConsoleMajor = 4;  // minors below 64: virtual consoles
constexpr unsigned kFirstSerialMinor = 64;
constexpr unsigned kPtySlaveFirstMajor = 136;
constexpr unsigned kPtySlaveLastMajor = 143;

bool InTtyClass(unsigned major, unsigned minor) {
  std::error_code error;
  const fs::path subsystem =
      fs::read_symlink("/sys/dev/char/" + std::to_string(major) + ":" + std::to_string(minor) + "/subsystem", error);
  return !error && subsystem.filename() == "tty";
}

}  // namespace

std::string WhyNotSerialDevice(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return path + " does not exist";
  if (!S_ISCHR(info.st_mode)) return path + " is not a serial port (not a character device)";
  const unsigned major = ::major(info.st_rdev), minor = ::minor(info.st_rdev);
  if (major == kTtyMajor) return path + " is not a serial port (the terminal or console itself)";
  if (major == kConsoleMajor && minor < kFirstSerialMinor) return path + " is not a serial port (a virtual console)";
  if (major >= kPtySlaveFirstMajor && major <= kPtySlaveLastMajor) return {};
  if (!InTtyClass(major, minor)) return path + " is not a serial port (a character device of another kind)";
  return {};
}

std::optional<PortHolder> FindPortHolder(const std::string& device) {
  struct stat info {};
  if (::stat(device.c_str(), &info) != 0) return std::nullopt;
  // Lines read "1: FLOCK  ADVISORY  WRITE 4711 00:1a:42 0 EOF": the holder's
  // pid, then the locked file's device (major:minor, hex) and inode.
  std::ifstream locks("/proc/locks");
  for (std::string line; std::getline(locks, line);) {
    std::istringstream fields(line);
    std::string number, kind, mode, access, file;
    int pid = 0;
    if (!(fields >> number >> kind)) continue;
    if (kind == "->") fields >> kind;  // a waiting lock
    if (!(fields >> mode >> access >> pid >> file)) continue;
    unsigned fileMajor = 0, fileMinor = 0;
    unsigned long long inode = 0;
    if (std::sscanf(file.c_str(), "%x:%x:%llu", &fileMajor, &fileMinor, &inode) != 3) continue;
    if (inode != info.st_ino || fileMajor != ::major(info.st_dev) || fileMinor != ::minor(info.st_dev)) continue;
    PortHolder holder{pid, {}};
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::getline(comm, holder.name);
    return holder;
  }
  return std::nullopt;
}

}  // namespace zk::platform
