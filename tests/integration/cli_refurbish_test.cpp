// `zkdownload refurbish` against the rb310-sim executable: real processes, a
// real pty, a temporary $ZKDOWNLOAD_HOME and a small time scale.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/command_run.h"
#include "support/sim_process.h"
#include "support/temp_home.h"

namespace {

namespace fs = std::filesystem;

class CliRefurbish : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(Job() / "brew_script");
    std::ofstream(Job() / "brew_script" / "app.mod") << "brew";
    std::ofstream(Script()) << "NV_WRITE ACCOLC 0 5 6\n";
  }
  void StartSim(const std::string& restartDelayMs) {
    std::string error;
    ASSERT_TRUE(sim_.Start({"--port", "COM5", "--state", (home_.path() / "state").string(), "--restart-delay",
                            restartDelayMs, "--transcript", (home_.path() / "transcript.jsonl").string()},
                           error))
        << error;
  }
  void TearDown() override { sim_.Stop(); }
  zk::test::CommandOutcome Run(std::vector<std::string> args) {
    std::vector<std::string> line{"--time-scale", "0.02", "--ui", "console", "refurbish", "--port", "COM5"};
    line.insert(line.end(), args.begin(), args.end());
    auto outcome = zk::test::RunCommand(zk::test::CliExecutable(), line);
    EXPECT_FALSE(outcome.timedOut) << outcome.out << outcome.err;
    return outcome;
  }
  std::vector<std::string> LogLines() const {
    std::ifstream in(home_.path() / "service-log.jsonl");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  fs::path Job() const { return home_.path() / "job"; }
  fs::path Script() const { return Job() / "job.scr"; }

  zk::test::TempHome home_;
  zk::test::SimProcess sim_;
};

TEST_F(CliRefurbish, RefusesABadScriptOrAMissingBrewDirectoryThenRefurbishes) {
  StartSim("200");
  EXPECT_EQ(Run({(Job() / "absent.scr").string()}).status, 2);
  fs::rename(Job() / "brew_script", Job() / "elsewhere");
  EXPECT_EQ(Run({Script().string()}).status, 2);
  std::ifstream transcript(home_.path() / "transcript.jsonl");
  std::string line;
  EXPECT_FALSE(std::getline(transcript, line)) << "the handset was touched: " << line;
  EXPECT_TRUE(LogLines().empty());

  fs::rename(Job() / "elsewhere", Job() / "brew_script");
  const auto outcome = Run({"--kind", "0", Script().string()});
  ASSERT_EQ(outcome.status, 0) << outcome.out << outcome.err;
  EXPECT_NE(outcome.out.find("refurbished"), std::string::npos) << outcome.out;
  EXPECT_NE(outcome.err.find("stages: NV Reading "), std::string::npos) << outcome.err;
  const auto lines = LogLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("\"operation\":\"refurbish\""), std::string::npos) << lines[0];
  EXPECT_NE(lines[0].find("\"result\":1"), std::string::npos) << lines[0];
}

TEST_F(CliRefurbish, AHandsetSilentAfterTheEraseIsAskedForThreeTimesThenFails) {
  StartSim("3600000");  // the restart after the erase never ends
  const auto outcome = Run({"--kind", "2", Script().string()});
  EXPECT_EQ(outcome.status, 1);
  std::size_t asked = 0;
  for (auto at = outcome.err.find("Please reboot phone and then retry! We try 3 times."); at != std::string::npos;
       at = outcome.err.find("Please reboot phone", at + 1))
    ++asked;
  EXPECT_EQ(asked, 3u) << outcome.err;
  const auto lines = LogLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("\"result\":504"), std::string::npos) << lines[0];
}

}  // namespace
