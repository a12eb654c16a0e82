// The in-process simulator on a real pseudo-terminal, driven through the port
// map with plain termios.
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/clock.h"
#include "simulator.h"
#include "support/diag_frames.h"
#include "support/raw_port.h"
#include "support/temp_home.h"

namespace rb310 {
namespace {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

constexpr int kAnswerWaitMs = 3000;  // generous: only a missing answer waits this long
constexpr int kSilenceWaitMs = 300;

class SimPty : public ::testing::Test {
 protected:
  void SetUp() override {
    previousScale_ = zk::platform::TimeScale();
    zk::platform::SetTimeScale(0.02);
  }
  void TearDown() override {
    if (fd_ >= 0) close(fd_);
    if (sim_) sim_->Stop();
    zk::platform::SetTimeScale(previousScale_);
  }

  void Start(SimOptions options) {
    options.stateDir = home_.path() / "state";
    sim_ = std::make_unique<Simulator>(options);
    std::string error;
    ASSERT_TRUE(sim_->Start(error)) << error;
  }
  std::string PortPath() const { return (home_.PortsDir() / ("COM" + std::to_string(sim_->port()))).string(); }
  void Open(uint32_t baud) {
    if (fd_ >= 0) close(fd_);
    fd_ = zk::test::OpenRawPort(PortPath(), baud);
    ASSERT_GE(fd_, 0);
  }
  std::optional<Bytes> Ask(const Bytes& packet, int waitMs = kAnswerWaitMs) {
    EXPECT_TRUE(zk::test::WriteAll(fd_, zk::test::Frame(packet)));
    return zk::test::FirstPacket(zk::test::ReadFrameBytes(fd_, waitMs));
  }
  std::string Command(const std::string& line) {
    EXPECT_TRUE(zk::test::WriteAll(fd_, Bytes(line.begin(), line.end())));
    const Bytes got = zk::test::ReadUntil(fd_, kAnswerWaitMs, [](const Bytes& bytes) {
      const std::string text(bytes.begin(), bytes.end());
      return text.find("OK\r\n") != std::string::npos || text.find("ERROR\r\n") != std::string::npos;
    });
    return std::string(got.begin(), got.end());
  }
  // Waits until the transcript holds `count` entries.
  std::vector<TranscriptEntry> TranscriptOf(std::size_t count) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kAnswerWaitMs);
    auto entries = sim_->transcript();
    while (entries.size() < count && std::chrono::steady_clock::now() < end) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      entries = sim_->transcript();
    }
    return entries;
  }

  zk::test::TempHome home_;
  std::unique_ptr<Simulator> sim_;
  int fd_ = -1;
  double previousScale_ = 1.0;
};

TEST_F(SimPty, LinksItsPortAnswersAndSurvivesTheHostReopening) {
  SimOptions options;
  options.line.port = 5;
  options.personality.startInDm = true;
  options.line.friendly = "RB310 CDMA USB Modem (COM5)";
  Start(options);
  ASSERT_TRUE(fs::is_symlink(PortPath()));
  EXPECT_EQ(fs::read_symlink(PortPath()).string(), sim_->slavePath());
  std::ifstream friendly(PortPath() + ".friendly");
  std::string text;
  std::getline(friendly, text);
  EXPECT_EQ(text, "RB310 CDMA USB Modem (COM5)");

  Open(115200);
  EXPECT_EQ(Ask({0x01})->size(), 5u);
  // The host closes and reopens its port between operations.
  for (int round = 0; round < 3; ++round) {
    close(fd_);
    fd_ = -1;
    Open(38400);  // USB modem port: any rate
    EXPECT_TRUE(Ask({0x0C})) << "round " << round;
  }
  sim_->Stop();
  EXPECT_FALSE(fs::exists(fs::symlink_status(PortPath())));
  EXPECT_FALSE(fs::exists(PortPath() + ".friendly"));
}

TEST_F(SimPty, ReadsTheHostRateFromThePtyOnAPhysicalLine) {
  SimOptions options;
  options.personality.startInDm = true;
  options.personality.dmBaud = 38400;
  Start(options);
  Open(115200);
  EXPECT_FALSE(Ask({0x01}, kSilenceWaitMs));
  const auto entries = TranscriptOf(1);
  ASSERT_FALSE(entries.empty());
  EXPECT_EQ(entries[0].kind, "garbled");
  EXPECT_NE(entries[0].note.find("host 115200"), std::string::npos) << entries[0].note;

  ASSERT_TRUE(zk::test::SetPortBaud(fd_, 38400));
  EXPECT_TRUE(Ask({0x01}));
}

TEST_F(SimPty, StandardSwitchThenResetIntoTheAtPersonality) {
  SimOptions options;
  options.personality.restartDelayMs = 2000;  // 40 ms at this scale
  Start(options);
  Open(19200);
  EXPECT_NE(Command("AT$QCDMR=115200\r").find("OK"), std::string::npos);
  ASSERT_TRUE(zk::test::SetPortBaud(fd_, 115200));
  EXPECT_NE(Command("AT$QCDMG\r").find("OK"), std::string::npos);
  ASSERT_TRUE(Ask({0x01}));

  ASSERT_TRUE(Ask({0x29, 0x01, 0x00}));
  EXPECT_EQ(Ask({0x29, 0x02, 0x00}), (Bytes{0x29, 0x02, 0x00}));
  // Back in its AT personality once the restart is over.
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kAnswerWaitMs);
  while (sim_->state().personality != Personality::kAt && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_EQ(sim_->counters().restarts, 1u);
  EXPECT_NE(Command("AT\r").find("OK"), std::string::npos);
}

TEST_F(SimPty, FaultsChangedWhileRunningReachTheWire) {
  SimOptions options;
  options.personality.startInDm = true;
  options.line.usbModem = true;
  Start(options);
  Open(115200);

  FaultOptions faults;
  faults.rules.push_back({FaultRule::Action::kCorrupt, FaultRule::Match::kCode, 0x01, 1, 0});
  faults.rules.push_back({FaultRule::Action::kForeignCode, FaultRule::Match::kCode, 0x0C, 1, 0x13});
  sim_->SetFaults(faults);
  ASSERT_TRUE(zk::test::WriteAll(fd_, zk::test::Frame({0x01})));
  const Bytes corrupt = zk::test::ReadFrameBytes(fd_, kAnswerWaitMs);
  ASSERT_FALSE(corrupt.empty());
  EXPECT_FALSE(zk::test::FirstPacket(corrupt));
  EXPECT_TRUE(Ask({0x01}));
  EXPECT_EQ(Ask({0x0C}), (Bytes{0x13, 0x0C}));
}

// The handset vanishing at the second request: the first is answered, the
// second not, the host's descriptor sees the line hang up and the port name
// leads nowhere.
TEST_F(SimPty, DisconnectClosesTheLineForGood) {
  SimOptions options;
  options.personality.startInDm = true;
  options.line.usbModem = true;
  options.faults.rules.push_back({FaultRule::Action::kDisconnect, FaultRule::Match::kNth, 2, 0, 0});
  Start(options);
  Open(115200);
  EXPECT_TRUE(Ask({0x0C}));
  EXPECT_FALSE(Ask({0x0C}, kSilenceWaitMs));
  pollfd line{fd_, POLLIN, 0};
  ASSERT_EQ(poll(&line, 1, kAnswerWaitMs), 1);
  EXPECT_TRUE(line.revents & POLLHUP);
  EXPECT_FALSE(fs::exists(PortPath()));
}

TEST_F(SimPty, TranscriptFileRecordsEveryRequest) {
  SimOptions options;
  options.personality.startInDm = true;
  options.line.usbModem = true;
  options.transcriptPath = (home_.path() / "transcript.jsonl").string();
  Start(options);
  Open(115200);
  ASSERT_TRUE(Ask({0x00}));
  ASSERT_TRUE(Ask({0x26, 0x47, 0x00}));  // too short: the bad-length answer
  sim_->Stop();
  std::ifstream in(options.transcriptPath);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].find("\"code\":0,"), std::string::npos);
  EXPECT_NE(lines[1].find("\"hex\":\"264700\""), std::string::npos);
}

}  // namespace
}  // namespace rb310
