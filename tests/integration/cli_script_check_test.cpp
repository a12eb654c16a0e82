// `zkdownload script-check` as a technician runs it: the executable on real
// files, no handset.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/command_run.h"
#include "support/temp_home.h"

namespace {

namespace fs = std::filesystem;

class CliScriptCheck : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& text) {
    const fs::path path = dir_.path() / name;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
  }
  zk::test::CommandOutcome Check(std::vector<std::string> args) {
    args.insert(args.begin(), "script-check");
    return zk::test::RunCommand(zk::test::CliExecutable(), args, {{"ZKDOWNLOAD_HOME", dir_.path().string()}});
  }
  zk::test::TempDir dir_{"zk-script-check"};
};

TEST_F(CliScriptCheck, ListsProblemLinesAndExitsByWhetherALineFails) {
  Write("efs_scr/brew/app.mif", "app");
  const std::string good = Write("good.scr", "SPC 000000\r\nNV_WRITE BAND_PREF 0 BAND_PREF_BC6\r\nEFS x brew/app.mif\r\n");
  auto outcome = Check({"--show-nv", good});
  EXPECT_EQ(outcome.status, 0) << outcome.out << outcome.err;
  EXPECT_NE(outcome.out.find(good + ":2: nv 441 NV_BAND_PREF_I NAM 0: 00 60 00\n"), std::string::npos) << outcome.out;

  const std::string bad = Write("bad.scr",
                                "NV_WRITE ROAM_PREF 0 NOWHERE\n"
                                "EFS x brew/none.mif\n"
                                "EFS x ../../etc/passwd\n"
                                "JUMP 3\n");
  outcome = Check({bad});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.out.find(bad + ":1: warn: ROAM_PREF: \"NOWHERE\" is not a listed name; 0xFF is stored"),
            std::string::npos)
      << outcome.out;
  EXPECT_NE(outcome.out.find(bad + ":2: fail: EFS source file"), std::string::npos) << outcome.out;
  EXPECT_NE(outcome.out.find(bad + ":3: fail: EFS \"../../etc/passwd\""), std::string::npos) << outcome.out;
  EXPECT_NE(outcome.out.find(bad + ":4: ignored: unknown keyword"), std::string::npos) << outcome.out;

  outcome = Check({"--json", bad});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.out.find("\"failing\":2"), std::string::npos) << outcome.out;

  outcome = Check({Write("binary.scr", std::string("SPC\0", 4))});
  EXPECT_EQ(outcome.status, 2);
  EXPECT_NE(outcome.err.find("binary"), std::string::npos) << outcome.err;
}

}  // namespace
