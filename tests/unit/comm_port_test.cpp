// CCommPort over real pseudo-terminals: the port map, the profile, the line
// configuration as the tty driver holds it, and non-blocking reads.
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <thread>

#include "platform/cancel.h"
#include "platform/port_map.h"
#include "platform/profile.h"
#include "platform/port_error.h"
#include "platform/serial_device.h"
#include "serial/tty_device.h"
#include "support/pty_peer.h"
#include "support/temp_home.h"
#include "zkdownload/comm_port.h"

namespace {

using zk::test::Bytes;
using zk::test::RawPty;

constexpr const char* kSection = "CommPort Settings";

void WriteProfile(std::initializer_list<std::pair<const char*, int>> entries) {
  const auto profile = zk::platform::Profile::Default();
  for (const auto& [key, value] : entries) ASSERT_TRUE(profile.WriteInt(kSection, key, value));
}

int ProfileValue(const char* key) { return zk::platform::Profile::Default().GetInt(kSection, key, -999); }

void Link(int number, const std::filesystem::path& device) {
  std::error_code error;
  ASSERT_TRUE(zk::platform::LinkPort(number, device, std::nullopt, error)) << error.message();
}

termios LineOf(int fd) {
  termios line{};
  EXPECT_EQ(tcgetattr(fd, &line), 0);
  return line;
}

TEST(PortNames, Table) {
  EXPECT_STREQ(CCommPort::GetPortName(static_cast<COMM_PORT>(0)), "COM1");
  EXPECT_STREQ(CCommPort::GetPortName(static_cast<COMM_PORT>(8)), "COM9");
  EXPECT_STREQ(CCommPort::GetPortName(static_cast<COMM_PORT>(9)), "\\\\.\\COM10");
  EXPECT_STREQ(CCommPort::GetPortName(static_cast<COMM_PORT>(255)), "\\\\.\\COM256");
  // Outside the table there is no name to open.
  EXPECT_STREQ(CCommPort::GetPortName(static_cast<COMM_PORT>(256)), "");
  EXPECT_STREQ(CCommPort::GetPortName(static_cast<COMM_PORT>(-1)), "");
}

class CommPortSettings : public ::testing::Test {
 protected:
  zk::test::TempHome home_;
  CCommPort port_;
};

TEST_F(CommPortSettings, DefaultsWithoutProfile) {
  port_.LoadSettings();
  const auto& s = port_.settings();
  EXPECT_EQ(s.baudRate, 38400u);
  EXPECT_EQ(s.dataBits, 8);
  EXPECT_EQ(s.parity, 0);
  EXPECT_EQ(s.stopBits, 0);
  EXPECT_EQ(s.port, 0u);
  EXPECT_EQ(port_.currentPort(), 0);
  EXPECT_EQ(s.rtsCts, 1u);
  EXPECT_EQ(s.xonXoff, 1u);
  EXPECT_EQ(s.dtrDsr, 1u);
}

TEST_F(CommPortSettings, ProfileHoldsTablePositions) {
  WriteProfile({{"BaudRate", 12}, {"DataBits", 3}, {"Parity", 2}, {"Port", 9}, {"RTSCTS", 0}, {"StopBits", 2},
                {"XONXOFF", 0}, {"DTRDSR", 5}});
  port_.LoadSettings();
  const auto& s = port_.settings();
  EXPECT_EQ(s.baudRate, 115200u);
  EXPECT_EQ(s.dataBits, 7);
  EXPECT_EQ(s.parity, 2);
  EXPECT_EQ(s.port, 9u);
  EXPECT_EQ(port_.currentPort(), 9);
  EXPECT_EQ(s.rtsCts, 0u);
  EXPECT_EQ(s.stopBits, 2);
  EXPECT_EQ(s.xonXoff, 0u);
  EXPECT_EQ(s.dtrDsr, 5u);
}

TEST_F(CommPortSettings, SaveWritesPositions) {
  port_.LoadSettings();
  port_.SetBaudSetting(115200);
  port_.SetPort(static_cast<COMM_PORT>(4));
  port_.SaveSettings();
  EXPECT_EQ(ProfileValue("BaudRate"), 12);
  EXPECT_EQ(ProfileValue("DataBits"), 4);
  EXPECT_EQ(ProfileValue("Parity"), 0);
  EXPECT_EQ(ProfileValue("Port"), 4);
  EXPECT_EQ(ProfileValue("RTSCTS"), 1);
  EXPECT_EQ(ProfileValue("StopBits"), 0);
  EXPECT_EQ(ProfileValue("XONXOFF"), 1);
  EXPECT_EQ(ProfileValue("DTRDSR"), 1);

  CCommPort reloaded;
  reloaded.LoadSettings();
  EXPECT_EQ(reloaded.settings().baudRate, 115200u);
  EXPECT_EQ(reloaded.currentPort(), 4);
}

TEST_F(CommPortSettings, PositionsOutsideTheTablesFallBackToDefaults) {
  for (const int bad : {16, -1}) {
    WriteProfile({{"BaudRate", bad}, {"DataBits", bad == 16 ? 5 : bad}, {"Parity", bad == 16 ? 5 : bad},
                  {"Port", bad == 16 ? 256 : bad}, {"StopBits", bad == 16 ? 3 : bad}});
    port_.LoadSettings();
    const auto& s = port_.settings();
    EXPECT_EQ(s.baudRate, 38400u) << bad;
    EXPECT_EQ(s.dataBits, 8) << bad;
    EXPECT_EQ(s.parity, 0) << bad;
    EXPECT_EQ(s.port, 0u) << bad;
    EXPECT_EQ(s.stopBits, 0) << bad;
  }
}

TEST_F(CommPortSettings, ValueMissingFromItsTableIsSavedAsTheDefaultPosition) {
  port_.LoadSettings();
  port_.SetBaudSetting(230400);  // a valid line rate, but not in the table
  port_.SaveSettings();
  EXPECT_EQ(ProfileValue("BaudRate"), 9);
}

// A port whose device is a pty linked into a temporary port map.
class CommPortOnPty : public ::testing::Test {
 protected:
  void SetUp() override { Link(1, pty_.slavePath()); }

  bool Open(CCommPort& port, int index = 0) {
    port.LoadSettings();
    port.SetPort(static_cast<COMM_PORT>(index));
    return port.OpenDevice();
  }

  zk::test::TempHome home_;
  RawPty pty_;
  CCommPort port_;
};

TEST_F(CommPortOnPty, OpensThroughThePortMapAndCloses) {
  ASSERT_TRUE(Open(port_));
  EXPECT_EQ(port_.IsOpen(), 1);
  EXPECT_GE(port_.fd(), 0);
  const uint8_t hello[] = {'h', 'i'};
  EXPECT_EQ(port_.WriteBlock(hello, 2), 2);
  EXPECT_EQ(pty_.ReadFor(200), (Bytes{'h', 'i'}));

  port_.CloseDevice();
  EXPECT_EQ(port_.IsOpen(), 0);
  EXPECT_EQ(port_.fd(), -1);
  EXPECT_EQ(port_.WriteBlock(hello, 2), 0);
  port_.CloseDevice();  // closing twice is harmless
  EXPECT_TRUE(Open(port_));
}

TEST_F(CommPortOnPty, DeviceNamespaceNameResolves) {
  RawPty tenth;
  Link(10, tenth.slavePath());
  ASSERT_TRUE(Open(port_, 9));  // "\\.\COM10"
  ASSERT_TRUE(tenth.Write({0x55}));
  ASSERT_TRUE(zk::test::WaitForInput(port_.fd(), 1));
  uint8_t byte = 0;
  EXPECT_EQ(port_.ReadAvailable(&byte, 1), 1);
  EXPECT_EQ(byte, 0x55);
}

TEST_F(CommPortOnPty, MissingOrDanglingEntryFailsToOpen) {
  EXPECT_FALSE(Open(port_, 2));  // no COM3 entry
  EXPECT_EQ(port_.lastOpenError(), ENOENT);
  Link(3, home_.path() / "no-such-tty");
  EXPECT_FALSE(Open(port_, 2));
  EXPECT_EQ(port_.IsOpen(), 0);
  EXPECT_EQ(port_.fd(), -1);
  EXPECT_EQ(port_.lastOpenError(), ENOENT);
  EXPECT_EQ(std::string(port_.lastOpenDevice()), (home_.path() / "no-such-tty").string());
  EXPECT_EQ(zk::platform::PortOpenFailureText(2, port_.lastOpenDevice(), port_.lastOpenError()),
            "COM3 (" + (home_.path() / "no-such-tty").string() +
                ") does not exist: the handset is not attached, or the port-map entry points at a device that is "
                "gone");
}

TEST_F(CommPortOnPty, OpenOnAnOpenPortFailsWithoutTouchingIt) {
  ASSERT_TRUE(Open(port_));
  const int fd = port_.fd();
  ASSERT_TRUE(pty_.Write({1, 2, 3}));
  ASSERT_TRUE(zk::test::WaitForInput(port_.fd(), 3));
  EXPECT_FALSE(port_.OpenDevice());
  EXPECT_EQ(port_.IsOpen(), 1);
  EXPECT_EQ(port_.fd(), fd);
  uint8_t bytes[8] = {};
  EXPECT_EQ(port_.ReadAvailable(bytes, 8), 3);  // not purged
}

// Descriptors this process holds, counted in /proc.
std::size_t OpenDescriptors() {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

TEST_F(CommPortOnPty, SecondPortCannotOpenTheSameDeviceAndSaysItIsBusy) {
  ASSERT_TRUE(Open(port_));
  CCommPort other;
  const std::size_t before = OpenDescriptors();
  for (int attempt = 0; attempt < 20; ++attempt) EXPECT_FALSE(Open(other));
  EXPECT_EQ(OpenDescriptors(), before);  // a refused open keeps no descriptor
  EXPECT_EQ(other.IsOpen(), 0);
  EXPECT_EQ(other.lastOpenError(), EBUSY);
  EXPECT_EQ(std::string(other.lastOpenDevice()), pty_.slavePath());
  // The holder is this very process, through port_.
  EXPECT_EQ(zk::platform::PortOpenFailureText(0, other.lastOpenDevice(), EBUSY),
            "COM1 (" + pty_.slavePath() + ") is in use by another program (pid " + std::to_string(getpid()) +
                ", unit_tests): close it and try again");
  port_.CloseDevice();
  EXPECT_TRUE(Open(other));
  EXPECT_EQ(other.lastOpenError(), 0);
}

TEST(SerialDevice, OnlySerialLinesAreAccepted) {
  RawPty pty;
  EXPECT_EQ(zk::platform::WhyNotSerialDevice(pty.slavePath()), "");
  EXPECT_EQ(zk::platform::WhyNotSerialDevice("/dev/null"), "/dev/null is not a serial port (a character device of another kind)");
  EXPECT_EQ(zk::platform::WhyNotSerialDevice("/dev/tty"), "/dev/tty is not a serial port (the terminal or console itself)");
  EXPECT_EQ(zk::platform::WhyNotSerialDevice("/etc/hostname"), "/etc/hostname is not a serial port (not a character device)");
  EXPECT_EQ(zk::platform::WhyNotSerialDevice("/dev/no-such-device"), "/dev/no-such-device does not exist");
}

TEST(PortOpenFailureText, NamesWhatToDoForEachCommonCause) {
  EXPECT_EQ(zk::platform::PortOpenFailureText(4, "/dev/ttyUSB0", 0), "");
  EXPECT_NE(zk::platform::PortOpenFailureText(4, "/dev/ttyUSB0", EACCES).find("COM5 (/dev/ttyUSB0): permission denied"),
            std::string::npos);
  EXPECT_NE(zk::platform::PortOpenFailureText(4, "", EPERM).find("dialout"), std::string::npos);
  EXPECT_EQ(zk::platform::PortOpenFailureText(4, "", EBUSY), "COM5 is in use by another program: close it and try again");
  EXPECT_EQ(zk::platform::PortOpenFailureText(0, "", EIO), "COM1: " + std::string(std::strerror(EIO)));
}

TEST_F(CommPortOnPty, CloseGivesUpExclusiveUse) {
  // A tty stays exclusive after its exclusive user closes while others keep
  // it open (here the test, elsewhere the simulator); then only root could
  // reopen it.
  ASSERT_TRUE(Open(port_));
  int exclusive = 0;
  ASSERT_EQ(ioctl(pty_.slave(), TIOCGEXCL, &exclusive), 0);
  EXPECT_EQ(exclusive, 1);
  port_.CloseDevice();
  ASSERT_EQ(ioctl(pty_.slave(), TIOCGEXCL, &exclusive), 0);
  EXPECT_EQ(exclusive, 0);
}

TEST_F(CommPortOnPty, LineNeverUsesHandshakeWhateverTheProfileSays) {
  termios before = LineOf(pty_.slave());
  before.c_cflag |= CRTSCTS;
  before.c_iflag |= IXON | IXOFF | IXANY;
  ASSERT_EQ(tcsetattr(pty_.slave(), TCSANOW, &before), 0);
  WriteProfile({{"RTSCTS", 1}, {"XONXOFF", 1}, {"DTRDSR", 1}, {"BaudRate", 12}});

  ASSERT_TRUE(Open(port_));
  const termios line = LineOf(pty_.slave());
  EXPECT_EQ(line.c_cflag & CRTSCTS, 0u);
  EXPECT_EQ(line.c_iflag & (IXON | IXOFF | IXANY), 0u);
  EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG), 0u);
  EXPECT_EQ(line.c_oflag & OPOST, 0u);
  EXPECT_EQ(line.c_cflag & CSTOPB, 0u);
  EXPECT_EQ(zk::serial::tty::ConfiguredBaudRate(pty_.slave()), 115200u);
  EXPECT_FALSE(port_.lineConfig().ctsOutFlow);
  EXPECT_FALSE(port_.lineConfig().dsrOutFlow);
  EXPECT_FALSE(port_.lineConfig().xonXoffIn || port_.lineConfig().xonXoffOut);
}

TEST_F(CommPortOnPty, ProfileFramingReachesTheLine) {
  WriteProfile({{"DataBits", 3}, {"Parity", 2}, {"StopBits", 2}});
  ASSERT_TRUE(Open(port_));
  EXPECT_EQ(port_.lineConfig().byteSize, 7);
  EXPECT_EQ(port_.lineConfig().parity, 2);
  EXPECT_EQ(port_.lineConfig().stopBits, 2);
  // A pty always frames 8 bits without parity; the stop bits it keeps.
  const termios line = LineOf(pty_.slave());
  EXPECT_NE(line.c_cflag & CSTOPB, 0u);
  EXPECT_EQ(line.c_cflag & CRTSCTS, 0u);

  // A rate with no Bxxx constant goes through termios2.
  EXPECT_TRUE(port_.ApplyLineSettings(250000, 8, 0, 0));
  EXPECT_EQ(zk::serial::tty::ConfiguredBaudRate(pty_.slave()), 250000u);
}

TEST_F(CommPortOnPty, RefusedLineConfigurationLeavesThePortClosedAndFree) {
  WriteProfile({{"DataBits", 0}});  // 4 data bits: no UART frames those
  EXPECT_FALSE(Open(port_));
  EXPECT_EQ(port_.IsOpen(), 0);
  EXPECT_EQ(port_.fd(), -1);
  int exclusive = 1;
  ASSERT_EQ(ioctl(pty_.slave(), TIOCGEXCL, &exclusive), 0);
  EXPECT_EQ(exclusive, 0);
  WriteProfile({{"DataBits", 4}});
  CCommPort other;
  EXPECT_TRUE(Open(other));  // the failed open let go of the device
}

TEST_F(CommPortOnPty, ReadAvailableTakesWhatIsWaitingWithoutWaiting) {
  ASSERT_TRUE(Open(port_));
  uint8_t buffer[2048] = {};
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(port_.ReadAvailable(buffer, 2048), 0);  // nothing waits: 0 at once
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));

  const Bytes ten = {0, 1, 2, 3, 0x7E, 0x7D, 6, 7, 8, 9};
  ASSERT_TRUE(pty_.Write(ten));
  ASSERT_TRUE(zk::test::WaitForInput(port_.fd(), 10));
  EXPECT_EQ(port_.ReadAvailable(buffer, 2048), 10);
  EXPECT_EQ(Bytes(buffer, buffer + 10), ten);

  ASSERT_TRUE(pty_.Write(ten));
  ASSERT_TRUE(zk::test::WaitForInput(port_.fd(), 10));
  EXPECT_EQ(port_.ReadAvailable(buffer, 4), 4);  // at most the maximum
  EXPECT_EQ(port_.ReadAvailable(buffer, 2048), 6);
  EXPECT_EQ(port_.ReadAvailable(buffer, 2048), 0);
  EXPECT_EQ(port_.ReadAvailable(buffer, 0), 0);
}

TEST_F(CommPortOnPty, PurgeDiscardsWaitingInput) {
  ASSERT_TRUE(Open(port_));
  ASSERT_TRUE(pty_.Write({1, 2, 3, 4}));
  ASSERT_TRUE(zk::test::WaitForInput(port_.fd(), 4));
  port_.PurgeAll();
  uint8_t buffer[16];
  EXPECT_EQ(port_.ReadAvailable(buffer, 16), 0);
}

TEST_F(CommPortOnPty, WaitReadableReportsInputTimeOutAndHangUp) {
  ASSERT_TRUE(Open(port_));
  EXPECT_EQ(port_.WaitReadable(10), CCommPort::WaitResult::TimedOut);
  ASSERT_TRUE(pty_.Write({1}));
  EXPECT_EQ(port_.WaitReadable(5000), CCommPort::WaitResult::Readable);
  uint8_t byte;
  ASSERT_EQ(port_.ReadAvailable(&byte, 1), 1);
  pty_.CloseMaster();
  EXPECT_EQ(port_.WaitReadable(5000), CCommPort::WaitResult::HungUp);
}

TEST_F(CommPortOnPty, CancelFromAnotherThreadWakesAWaitingRead) {
  ASSERT_TRUE(Open(port_));
  zk::platform::ClearCancel();
  std::thread canceller([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    zk::platform::RequestCancel();
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(port_.WaitReadable(60000), CCommPort::WaitResult::Failed);
  canceller.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  zk::platform::ClearCancel();
  EXPECT_EQ(port_.WaitReadable(10), CCommPort::WaitResult::TimedOut);
}

}  // namespace
