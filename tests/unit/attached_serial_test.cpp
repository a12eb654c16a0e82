// Attached serial devices from a made-up /dev, sysfs and by-id tree, and the
// ModemManager check from a made-up /proc.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/attached_serial.h"
#include "support/temp_home.h"

namespace {

namespace fs = std::filesystem;

void Put(const fs::path& file, const std::string& text) {
  fs::create_directories(file.parent_path());
  std::ofstream(file) << text << "\n";
}

TEST(AttachedSerial, UsbPortsWithIdsDriverAndNames) {
  zk::test::TempDir root;
  const fs::path dev = root.path() / "dev", sys = root.path() / "sys", byId = root.path() / "by-id";
  for (const char* name : {"ttyUSB1", "ttyUSB0", "ttyACM0", "ttyS0", "null"}) Put(dev / name, "");
  // ttyUSB0: a USB serial interface of a handset, three levels below its USB device.
  const fs::path usb = sys / "devices" / "usb1" / "1-1";
  Put(usb / "idVendor", "1d6b");
  Put(usb / "idProduct", "0a2c");
  Put(usb / "manufacturer", "Maker");
  Put(usb / "product", "RB310");
  const fs::path interface = usb / "1-1:1.0";
  Put(interface / "interface", "CDMA Modem");
  fs::create_directories(interface / "ttyUSB0");
  fs::create_directories(sys / "drivers" / "option");
  fs::create_directory_symlink(sys / "drivers" / "option", interface / "ttyUSB0" / "driver");
  fs::create_directories(sys / "class" / "tty" / "ttyUSB0");
  fs::create_directory_symlink(interface / "ttyUSB0", sys / "class" / "tty" / "ttyUSB0" / "device");
  fs::create_directories(byId);
  fs::create_symlink("../../ttyUSB0", byId / "usb-Maker_RB310-if00-port0");

  const auto devices = zk::platform::ListAttachedSerialDevices({dev, sys / "class" / "tty", byId});
  ASSERT_EQ(devices.size(), 3u);  // ttyS0 and null are no USB serial ports
  EXPECT_EQ(devices[0].device, (dev / "ttyACM0").string());
  EXPECT_EQ(devices[0].vendorProduct, "");  // nothing in sysfs
  const auto& handset = devices[1];
  EXPECT_EQ(handset.device, (dev / "ttyUSB0").string());
  EXPECT_EQ(handset.vendorProduct, "1d6b:0a2c");
  EXPECT_EQ(handset.description, "Maker RB310, CDMA Modem");
  EXPECT_EQ(handset.driver, "option");
  EXPECT_EQ(handset.byId, std::vector<std::string>{(byId / "usb-Maker_RB310-if00-port0").string()});
  EXPECT_EQ(devices[2].device, (dev / "ttyUSB1").string());
}

TEST(AttachedSerial, ModemManagerIsFoundByItsProcessName) {
  zk::test::TempDir proc;
  Put(proc.path() / "1" / "comm", "systemd");
  Put(proc.path() / "self" / "comm", "ModemManager");  // not a process number
  EXPECT_FALSE(zk::platform::ModemManagerRunning(proc.path()));
  Put(proc.path() / "812" / "comm", "ModemManager");
  EXPECT_TRUE(zk::platform::ModemManagerRunning(proc.path()));
}

}  // namespace
