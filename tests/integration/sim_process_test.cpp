// The rb310-sim executable: ready line, port map entry, answers, clean stop.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "support/diag_frames.h"
#include "support/raw_port.h"
#include "support/sim_process.h"
#include "support/temp_home.h"

namespace {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

std::optional<Bytes> Ask(int fd, const Bytes& packet, int waitMs = 3000) {
  EXPECT_TRUE(zk::test::WriteAll(fd, zk::test::Frame(packet)));
  return zk::test::FirstPacket(zk::test::ReadFrameBytes(fd, waitMs));
}

TEST(SimProcess, ServesItsPortUntilTerminatedAndUnlinksIt) {
  zk::test::TempHome home;
  const fs::path transcript = home.path() / "t.jsonl";
  zk::test::SimProcess sim;
  std::string error;
  ASSERT_TRUE(sim.Start({"--port", "COM7", "--state", (home.path() / "state").string(), "--dm", "--friendly",
                         "RB310 CDMA USB Modem (COM7)", "--transcript", transcript.string(), "--drop", "code=1/1"},
                        error))
      << error;
  EXPECT_EQ(sim.readyLine(), "rb310-sim: COM7 -> " + sim.device());
  const fs::path link = home.PortsDir() / "COM7";
  ASSERT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(fs::read_symlink(link).string(), sim.device());

  const int fd = zk::test::OpenRawPort(link.string(), 115200);
  ASSERT_GE(fd, 0);
  EXPECT_FALSE(Ask(fd, {0x01}, 300));  // the first ESN answer is dropped
  const auto esn = Ask(fd, {0x01});
  ASSERT_TRUE(esn);
  EXPECT_EQ(esn->at(0), 0x01);
  close(fd);

  EXPECT_EQ(sim.Stop(), 0);
  EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
  std::ifstream in(transcript);
  std::string first, second;
  std::getline(in, first);
  std::getline(in, second);
  EXPECT_NE(first.find("\"answered\":false"), std::string::npos) << first;
  EXPECT_NE(second.find("\"answered\":true"), std::string::npos) << second;
}

TEST(SimProcess, RefusesBadArgumentsBeforeCreatingAnything) {
  zk::test::TempHome home;
  zk::test::SimProcess sim;
  std::string error;
  EXPECT_FALSE(sim.Start({"--port", "COM0"}, error));
  EXPECT_NE(sim.Wait(5000), 0);
  EXPECT_FALSE(fs::exists(home.PortsDir()));
}

}  // namespace
