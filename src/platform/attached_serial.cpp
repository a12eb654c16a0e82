#include "platform/attached_serial.h"

#include <algorithm>
#include <fstream>

namespace zk::platform {
namespace fs = std::filesystem;
namespace {

bool IsUsbSerialName(const std::string& name) { return name.starts_with("ttyUSB") || name.starts_with("ttyACM"); }

void ReadSysfs(const fs::path& classEntry, AttachedSerialDevice& device) {
  std::error_code error;
  const fs::path interface = fs::canonical(classEntry / "device", error);
  if (error) return;
  device.driver = fs::read_symlink(interface / "driver", error).filename().string();
  if (error) device.driver.clear();
  std::string interfaceName;
  // The USB device directory (with idVendor) lies a few levels above the
  // tty's interface.
  for (fs::path level = interface; !level.empty() && level != level.root_path(); level = level.parent_path()) {
    if (interfaceName.empty() && fs::exists(level / "interface", error)) interfaceName = FirstLineOf(level / "interface");
    if (!fs::exists(level / "idVendor", error)) continue;
    device.vendorProduct = FirstLineOf(level / "idVendor") + ":" + FirstLineOf(level / "idProduct");
    const std::string maker = FirstLineOf(level / "manufacturer"), product = FirstLineOf(level / "product");
    device.description = maker + (maker.empty() || product.empty() ? "" : " ") + product;
    break;
  }
  if (!interfaceName.empty()) device.description += (device.description.empty() ? "" : ", ") + interfaceName;
}

}  // namespace

std::string FirstLineOf(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n' || line.back() == ' ')) line.pop_back();
  return line;
}

std::vector<AttachedSerialDevice> ListAttachedSerialDevices(const AttachedSerialSources& sources) {
  std::vector<AttachedSerialDevice> devices;
  std::error_code error;
  for (fs::directory_iterator it(sources.dev, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (!IsUsbSerialName(name)) continue;
    AttachedSerialDevice device;
    device.device = (sources.dev / name).string();
    ReadSysfs(sources.sysClassTty / name, device);
    devices.push_back(std::move(device));
  }
  std::error_code byIdError;
  for (fs::directory_iterator it(sources.byId, byIdError), end; !byIdError && it != end; it.increment(byIdError)) {
    std::error_code linkError;
    const fs::path target = fs::read_symlink(it->path(), linkError);
    if (linkError) continue;
    const std::string name = target.filename().string();
    for (auto& device : devices)
      if (fs::path(device.device).filename() == name) device.byId.push_back(it->path().string());
  }
  std::sort(devices.begin(), devices.end(),
            [](const auto& a, const auto& b) { return a.device < b.device; });
  for (auto& device : devices) std::sort(device.byId.begin(), device.byId.end());
  return devices;
}

bool ModemManagerRunning(const fs::path& proc) {
  std::error_code error;
  for (fs::directory_iterator it(proc, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
    if (FirstLineOf(it->path() / "comm") == "ModemManager") return true;
  }
  return false;
}

}  // namespace zk::platform
