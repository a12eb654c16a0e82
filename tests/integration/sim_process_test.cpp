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

// A tree prepared on the host, served over the pty by the real process: the
// seed copy, a pre-filled state directory and one fault flag.
TEST(SimProcess, ServesItsFileSystemFromTheSeededStateDirectory) {
  zk::test::TempHome home;
  const fs::path seed = home.path() / "seed";
  const fs::path state = home.path() / "state";
  fs::create_directories(seed / "eri");
  fs::create_directories(state / "efs" / "brew");
  std::ofstream(seed / "eri" / "eri.bin") << std::string(600, 'e');
  zk::test::SimProcess sim;
  std::string error;
  ASSERT_TRUE(sim.Start({"--port", "COM8", "--state", state.string(), "--dm", "--efs-seed", seed.string(),
                         "--efs-drop-reads", "/eri/eri.bin@1"},
                        error))
      << error;
  const int fd = zk::test::OpenRawPort((home.PortsDir() / "COM8").string(), 115200);
  ASSERT_GE(fd, 0);
  const auto listing = Ask(fd, {0x59, 0x02, 0x01, 0x00});
  ASSERT_TRUE(listing);
  EXPECT_EQ(Bytes(listing->begin() + 2, listing->end()),
            (Bytes{0, 2, 0, 9, 0, 'b', 'r', 'e', 'w', 0, 'e', 'r', 'i', 0}));
  Bytes block{0x59, 0x04, 0x00, 12};
  for (const char c : std::string("eri/eri.bin")) block.push_back(static_cast<uint8_t>(c));
  block.push_back(0);
  const auto first = Ask(fd, block);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->size(), 11u + 512u);
  block[2] = 1;
  EXPECT_FALSE(Ask(fd, block, 300)) << "the second block is dropped";
  close(fd);
  EXPECT_EQ(sim.Stop(), 0);
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
