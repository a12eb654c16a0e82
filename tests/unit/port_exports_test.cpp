// EnumeratePorts_Interface: the port map as a host sees it, with the
// handset verdict the operations reach.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/temp_home.h"
#include "zkdownload/zkdownload.h"

namespace {

namespace fs = std::filesystem;

void Entry(const fs::path& ports, int number, const std::string& target, const std::string& friendly = {}) {
  fs::create_directories(ports);
  fs::create_symlink(target, ports / ("COM" + std::to_string(number)));
  if (!friendly.empty()) std::ofstream(ports / ("COM" + std::to_string(number) + ".friendly")) << friendly << "\n";
}

TEST(PortExports, ListsEveryEntryInComOrderWithTheHandsetVerdict) {
  zk::test::TempHome home;
  Entry(home.PortsDir(), 12, "/nonexistent/ttyX");
  Entry(home.PortsDir(), 5, "/dev/null", "RB310 CDMA USB Modem (COM5)");
  Entry(home.PortsDir(), 3, "/dev/null", "Generic Serial (COM3)");

  EXPECT_EQ(EnumeratePorts_Interface(nullptr, 8), 3);
  std::vector<ZKPortInfo> ports(4);
  std::memset(ports.data(), 0x5A, sizeof(ZKPortInfo) * ports.size());
  ASSERT_EQ(EnumeratePorts_Interface(ports.data(), 4), 3);
  EXPECT_STREQ(ports[0].portName, "COM3");
  EXPECT_STREQ(ports[0].friendlyName, "Generic Serial (COM3)");
  EXPECT_EQ(ports[0].handsetUsbPort, 0);
  EXPECT_STREQ(ports[1].portName, "COM5");
  EXPECT_STREQ(ports[1].devicePath, "/dev/null");
  EXPECT_EQ(ports[1].handsetUsbPort, 1);
  EXPECT_EQ(ports[1].usb, 0);  // /dev/null sits on no bus
  EXPECT_STREQ(ports[2].portName, "COM12");
  EXPECT_STREQ(ports[2].devicePath, "/nonexistent/ttyX");
  EXPECT_STREQ(ports[2].friendlyName, "COM12");  // no name known: the port name
  EXPECT_EQ(ports[2].handsetUsbPort, 0);
  EXPECT_EQ(static_cast<unsigned char>(ports[3].portName[0]), 0x5A);  // beyond the count: untouched
}

TEST(PortExports, FillsNoMoreThanTheCapacityAndCutsLongTexts) {
  zk::test::TempHome home;
  const std::string longName(400, 'x');
  Entry(home.PortsDir(), 1, "/dev/null", longName + " CDMA (COM1)");
  Entry(home.PortsDir(), 2, "/dev/null");

  ZKPortInfo ports[2];
  std::memset(ports, 0x5A, sizeof(ports));
  EXPECT_EQ(EnumeratePorts_Interface(ports, 1), 2);
  EXPECT_EQ(std::strlen(ports[0].friendlyName), sizeof(ports[0].friendlyName) - 1);
  EXPECT_EQ(std::string(ports[0].friendlyName), longName.substr(0, sizeof(ports[0].friendlyName) - 1));
  // The verdict reads the whole name, not the cut copy.
  EXPECT_EQ(ports[0].handsetUsbPort, 1);
  EXPECT_EQ(static_cast<unsigned char>(ports[1].portName[0]), 0x5A);
  EXPECT_EQ(EnumeratePorts_Interface(ports, 0), 2);
  EXPECT_EQ(EnumeratePorts_Interface(ports, -3), 2);
  EXPECT_EQ(static_cast<unsigned char>(ports[1].portName[0]), 0x5A);
}

TEST(PortExports, EmptyAndUnreadablePortMaps) {
  zk::test::TempHome home;
  EXPECT_EQ(EnumeratePorts_Interface(nullptr, 0), 0);  // no map yet
  std::ofstream(home.PortsDir()) << "not a directory";
  ZKPortInfo port{};
  EXPECT_EQ(EnumeratePorts_Interface(&port, 1), -1);
}

}  // namespace
