// `zkdownload nv-read`, `nv-write`, `nv-backup` and `nv-restore` against a
// real rb310-sim: each command its own process, as a technician runs them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/command_run.h"
#include "support/sim_process.h"
#include "support/temp_home.h"

namespace {

namespace fs = std::filesystem;
using zk::test::CommandOutcome;
using Bytes = std::vector<uint8_t>;

constexpr const char* kScale = "0.02";

Bytes Contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

class CliNv : public ::testing::Test {
 protected:
  void TearDown() override { sim_.Stop(); }
  void StartSim() {
    std::string error;
    ASSERT_TRUE(sim_.Start({"--port", "COM5", "--state", (home_.path() / "state").string()}, error)) << error;
  }
  CommandOutcome Run(std::vector<std::string> args) {
    std::vector<std::string> line{"--time-scale", kScale, "--ui", "none"};
    line.insert(line.end(), args.begin(), args.end());
    CommandOutcome outcome = zk::test::RunCommand(zk::test::CliExecutable(), line);
    EXPECT_FALSE(outcome.timedOut) << outcome.out << outcome.err;
    return outcome;
  }
  fs::path NvFile(const std::string& name) const { return home_.path() / "state" / "nv" / name; }

  zk::test::ScopedEnv scale_{"ZKDOWNLOAD_TIME_SCALE", kScale};
  zk::test::TempHome home_;
  zk::test::SimProcess sim_;
};

TEST_F(CliNv, WrittenItemReadsBack) {
  StartSim();
  const auto write = Run({"nv-write", "--port", "COM5", "NV_CDMA_TX_LIM_VS_FREQ_I", "0A0B0C"});
  ASSERT_EQ(write.status, 0) << write.out << write.err;
  EXPECT_NE(write.out.find("status 0"), std::string::npos);
  const auto read = Run({"nv-read", "--port", "COM5", "138"});
  ASSERT_EQ(read.status, 0) << read.err;
  EXPECT_NE(read.out.find("= 0A0B0C00000000000000000000000000"), std::string::npos) << read.out;
}

TEST_F(CliNv, BadItemsValuesAndFilesAreRefusedBeforeThePortOpens) {
  // No simulator runs: a command that opened the port would fail otherwise.
  const fs::path damaged = home_.path() / "damaged.bak";
  std::ofstream(damaged) << "not a backup";
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"nv-read", "--port", "COM5", "NV_NO_SUCH_I"},
           {"nv-write", "--port", "COM5", "138", "0G"},
           {"nv-write", "--port", "COM5", "138", std::string(40, 'A')},
           {"nv-restore", "--port", "COM5", damaged.string()}}) {
    const auto outcome = Run(args);
    EXPECT_EQ(outcome.status, 2) << args.front() << outcome.err;
    EXPECT_FALSE(outcome.err.empty());
  }
}

TEST_F(CliNv, BackupFromOneProcessRestoresInAnother) {
  fs::create_directories(NvFile("").parent_path());
  Bytes value(128, 0);
  value[0] = 0x5A, value[15] = 0xA5;
  std::ofstream(NvFile("138.bin"), std::ios::binary).write(reinterpret_cast<const char*>(value.data()), 128);
  StartSim();
  const fs::path bak = home_.path() / "handset.bak";
  const auto backup = Run({"nv-backup", "--port", "COM5", "--out", bak.string()});
  ASSERT_EQ(backup.status, 0) << backup.out << backup.err;
  EXPECT_EQ(fs::file_size(bak), 13664u);

  fs::remove(NvFile("138.bin"));
  const auto restore = Run({"nv-restore", "--port", "COM5", bak.string()});
  ASSERT_EQ(restore.status, 0) << restore.out << restore.err;
  EXPECT_EQ(Contents(NvFile("138.bin")), value);
}

TEST_F(CliNv, BackupDirectoryRestoresNvAndFiles) {
  fs::create_directories(NvFile("").parent_path());
  fs::create_directories(home_.path() / "state" / "efs" / "user");
  std::ofstream(home_.path() / "state" / "efs" / "user" / "note.txt") << "kept";
  Bytes value(128, 0);
  value[0] = 0x33;
  std::ofstream(NvFile("138.bin"), std::ios::binary).write(reinterpret_cast<const char*>(value.data()), 128);
  StartSim();
  const fs::path dir = home_.path() / "bk";
  const auto backup = Run({"backup", "--port", "COM5", dir.string()});
  ASSERT_EQ(backup.status, 0) << backup.out << backup.err;
  EXPECT_TRUE(fs::exists(dir / "nv.bak"));
  EXPECT_TRUE(fs::exists(dir / "Efs_COM5" / "user" / "note.txt"));

  fs::remove(NvFile("138.bin"));
  fs::remove(home_.path() / "state" / "efs" / "user" / "note.txt");
  const auto restore = Run({"restore", "--port", "COM5", dir.string()});
  ASSERT_EQ(restore.status, 0) << restore.out << restore.err;
  EXPECT_EQ(Contents(NvFile("138.bin")), value);
  EXPECT_TRUE(fs::exists(home_.path() / "state" / "efs" / "user" / "note.txt"));
}

}  // namespace
