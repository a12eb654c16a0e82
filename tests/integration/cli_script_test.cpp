// `zkdownload script` against a real rb310-sim process: a script is checked
// before the port opens, then run, and the run is logged.
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
constexpr const char* kScale = "0.02";

class CliScript : public ::testing::Test {
 protected:
  void TearDown() override { sim_.Stop(); }
  zk::test::CommandOutcome Run(std::vector<std::string> args) {
    std::vector<std::string> line{"--time-scale", kScale, "--ui", "none"};
    line.insert(line.end(), args.begin(), args.end());
    auto outcome = zk::test::RunCommand(zk::test::CliExecutable(), line);
    EXPECT_FALSE(outcome.timedOut) << outcome.out << outcome.err;
    return outcome;
  }
  std::string Log() const {
    std::ifstream in(home_.path() / "service-log.jsonl");
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  zk::test::ScopedEnv scale_{"ZKDOWNLOAD_TIME_SCALE", kScale};
  zk::test::TempHome home_;
  zk::test::SimProcess sim_;
};

TEST_F(CliScript, RunsAScriptAndLogsIt) {
  std::string error;
  ASSERT_TRUE(sim_.Start({"--port", "COM5", "--state", (home_.path() / "state").string()}, error)) << error;
  const fs::path folder = home_.path() / "job";
  fs::create_directories(folder / "efs_scr");
  std::ofstream(folder / "efs_scr" / "note.txt") << "from the script\n";
  std::ofstream(folder / "job.scr") << "SPC 271828\nNV_WRITE ACCOLC 0 5 6\nEFS x note.txt\nWAIT 1\n";
  const auto outcome = Run({"script", "--port", "COM5", (folder / "job.scr").string()});
  ASSERT_EQ(outcome.status, 0) << outcome.out << outcome.err;
  EXPECT_NE(outcome.out.find("without a warning"), std::string::npos) << outcome.out;
  std::ifstream copied(home_.path() / "state" / "efs" / "note.txt");
  std::string text;
  std::getline(copied, text);
  EXPECT_EQ(text, "from the script");
  EXPECT_NE(Log().find("\"operation\":\"script\""), std::string::npos) << Log();
}

TEST_F(CliScript, FailingLineIsRefusedBeforeThePortOpens) {
  // No simulator runs: a run that opened the port would fail differently.
  const fs::path script = home_.path() / "bad.scr";
  std::ofstream(script) << "WAIT 1\nMODE sideways\n";
  const auto outcome = Run({"script", "--port", "COM5", script.string()});
  EXPECT_EQ(outcome.status, 2);
  EXPECT_NE(outcome.err.find("bad.scr:2:"), std::string::npos) << outcome.err;
  EXPECT_EQ(Log().find("\"operation\":\"script\""), std::string::npos);
}

TEST_F(CliScript, WithAnEriFileTheFullDownloadRuns) {
  std::string error;
  ASSERT_TRUE(sim_.Start({"--port", "COM5", "--state", (home_.path() / "state").string()}, error)) << error;
  const fs::path folder = home_.path() / "job";
  fs::create_directories(folder / "brew_script" / "brew");
  std::ofstream(folder / "brew_script" / "brew" / "app.txt") << "brew app\n";
  std::ofstream(folder / "job.scr") << "NV_WRITE ACCOLC 0 5 6\n";
  std::ofstream(home_.path() / "roam.eri") << "eri data\n";
  const auto outcome = Run({"script", "--port", "COM5", "--eri", (home_.path() / "roam.eri").string(),
                            (folder / "job.scr").string()});
  ASSERT_EQ(outcome.status, 0) << outcome.out << outcome.err;
  std::string text;
  std::getline(std::ifstream(home_.path() / "state" / "efs" / "eri" / "eri.bin") >> std::ws, text);
  EXPECT_EQ(text, "eri data");
  std::getline(std::ifstream(home_.path() / "state" / "efs" / "brew" / "app.txt") >> std::ws, text);
  EXPECT_EQ(text, "brew app");
}

}  // namespace
