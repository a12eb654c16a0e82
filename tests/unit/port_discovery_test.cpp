// Port discovery against a port map and a sysfs tree built in a temporary
// directory: friendly names from the map or from the USB strings, the USB
// flag, and the check for the handset's own modem port.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "serial/port_discovery.h"
#include "support/temp_home.h"

namespace {

namespace fs = std::filesystem;
using zk::serial::DiscoverySources;
using zk::serial::PortEntry;

void WriteText(const fs::path& file, const std::string& text) {
  fs::create_directories(file.parent_path());
  std::ofstream(file) << text << '\n';
}

// A machine with three ports:
//   COM1 -> dev/ttyS0, a platform UART without USB strings;
//   COM5 -> dev/ttyUSB0, on a USB interface named "RB310 CDMA USB Modem";
//   COM7 -> dev/ttyACM0 (absent device), with a friendly name in the map.
class FakeMachine : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path root = dir_.path();
    WriteText(root / "dev/ttyS0", "");
    WriteText(root / "dev/ttyUSB0", "");

    const fs::path usbDevice = root / "sys/devices/pci0000:00/0000:00:14.0/usb1/1-2";
    WriteText(usbDevice / "product", "RB310 Handset");
    WriteText(usbDevice / "1-2:1.0/interface", "RB310 CDMA USB Modem");
    fs::create_directories(usbDevice / "1-2:1.0/ttyUSB0");
    fs::create_directories(root / "sys/devices/platform/serial8250/tty/ttyS0");
    fs::create_directories(sysfs() / "ttyUSB0");
    fs::create_directories(sysfs() / "ttyS0");
    fs::create_directory_symlink(usbDevice / "1-2:1.0/ttyUSB0", sysfs() / "ttyUSB0/device");
    fs::create_directory_symlink(root / "sys/devices/platform/serial8250", sysfs() / "ttyS0/device");

    fs::create_directories(map());
    fs::create_symlink(root / "dev/ttyS0", map() / "COM1");
    fs::create_symlink(root / "dev/ttyUSB0", map() / "COM5");
    fs::create_symlink(root / "dev/ttyACM0", map() / "COM7");
    WriteText(map() / "COM7.friendly", "Vendor MCCI Diagnostics Port (COM7)");
    WriteText(map() / "notes.txt", "not a port");
  }

  fs::path map() const { return dir_.path() / "ports"; }
  fs::path sysfs() const { return dir_.path() / "sys/class/tty"; }
  DiscoverySources sources() const { return {map(), sysfs()}; }

  zk::test::TempDir dir_{"zk-discovery"};
};

TEST_F(FakeMachine, ListsEveryMappedPortWithItsNamesAndUsbFlag) {
  std::vector<PortEntry> list(2);  // emptied first
  ASSERT_EQ(zk::serial::EnumeratePorts(list, sources()), 3);
  ASSERT_EQ(list.size(), 3u);

  EXPECT_EQ(list[0].portName, "COM1");
  EXPECT_EQ(list[0].devicePath, (dir_.path() / "dev/ttyS0").string());
  EXPECT_EQ(list[0].friendlyName, "COM1");  // no USB strings: the port name stands
  EXPECT_EQ(list[0].description, "COM1");
  EXPECT_EQ(list[0].usb, 0);

  EXPECT_EQ(list[1].portName, "COM5");
  EXPECT_EQ(list[1].friendlyName, "RB310 CDMA USB Modem (COM5)");  // the interface string wins
  EXPECT_EQ(list[1].description, "RB310 CDMA USB Modem");
  EXPECT_EQ(list[1].usb, 1);

  EXPECT_EQ(list[2].portName, "COM7");
  EXPECT_EQ(list[2].friendlyName, "Vendor MCCI Diagnostics Port (COM7)");
  EXPECT_EQ(list[2].description, "Vendor MCCI Diagnostics Port");
  EXPECT_EQ(list[2].usb, 0);  // the device does not exist: sysfs knows nothing
}

TEST_F(FakeMachine, ProductStringServesWhenTheInterfaceHasNone) {
  fs::remove(dir_.path() / "sys/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/interface");
  std::vector<PortEntry> list;
  zk::serial::EnumeratePorts(list, sources());
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[1].friendlyName, "RB310 Handset (COM5)");
  EXPECT_EQ(zk::serial::IsHandsetUsbPort(4, sources()), 0);  // neither CDMA nor MCCI any more
}

TEST_F(FakeMachine, HandsetPortIsTheOneWhoseFriendlyNameSaysCdmaOrMcci) {
  EXPECT_EQ(zk::serial::IsHandsetUsbPort(4, sources()), 1);  // COM5: CDMA
  EXPECT_EQ(zk::serial::IsHandsetUsbPort(6, sources()), 1);  // COM7: MCCI
  EXPECT_EQ(zk::serial::IsHandsetUsbPort(0, sources()), 0);  // COM1: a plain line
  EXPECT_EQ(zk::serial::IsHandsetUsbPort(2, sources()), 0);  // COM3: in no friendly name
}

TEST_F(FakeMachine, MissingMapMeansNoPortsAndUnreadableMapRaises) {
  std::vector<PortEntry> list;
  EXPECT_EQ(zk::serial::EnumeratePorts(list, {dir_.path() / "absent", sysfs()}), 0);
  EXPECT_TRUE(list.empty());

  WriteText(dir_.path() / "not-a-directory", "x");
  const DiscoverySources broken{dir_.path() / "not-a-directory", sysfs()};
  EXPECT_THROW(zk::serial::EnumeratePorts(list, broken), zk::serial::PortEnumerationError);
  EXPECT_THROW(zk::serial::IsHandsetUsbPort(4, broken), zk::serial::PortEnumerationError);
}

TEST(PortDiscoveryCheck, FlowsCheckTheHomePortMapAndTreatFailureAsPhysicalLine) {
  zk::test::TempHome home;
  WriteText(home.path() / "ports/COM5.friendly", "RB310 CDMA USB Modem (COM5)");
  fs::create_symlink("/dev/null", home.path() / "ports/COM5");
  EXPECT_EQ(zk::serial::CheckHandsetUsbPort(4), 1);
  EXPECT_EQ(zk::serial::CheckHandsetUsbPort(5), 0);

  fs::remove_all(home.path() / "ports");
  WriteText(home.path() / "ports", "a file where the map should be");
  EXPECT_EQ(zk::serial::CheckHandsetUsbPort(4), 0);  // enumeration failed: not the USB port
}

TEST(PortEntryCompletion, CutsOnlyATrailingParenthesisedTail) {
  PortEntry tail{"", "COM3", "Serial Port (COM3)", 0, ""};
  zk::serial::CompletePortEntry(tail);
  EXPECT_EQ(tail.description, "Serial Port");

  PortEntry inner{"", "COM3", "Port (COM3) spare", 0, ""};
  zk::serial::CompletePortEntry(inner);
  EXPECT_EQ(inner.description, "Port (COM3) spare");  // the first ")" is not the last character

  PortEntry leading{"", "COM3", " (COM3)", 0, ""};
  zk::serial::CompletePortEntry(leading);
  EXPECT_EQ(leading.description, " (COM3)");  // " (" at position 0 is not cut

  PortEntry kept{"", "COM3", "", 0, "Given"};
  zk::serial::CompletePortEntry(kept);
  EXPECT_EQ(kept.friendlyName, "COM3");
  EXPECT_EQ(kept.description, "Given");
}

}  // namespace
