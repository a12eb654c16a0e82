// `zkdownload bin-download` against the rb310-sim executable: real
// processes, a real pty, a temporary $ZKDOWNLOAD_HOME and a small time scale.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "support/command_run.h"
#include "support/sim_process.h"
#include "support/temp_home.h"

namespace {

namespace fs = std::filesystem;

// Stage durations vary from run to run: "NAME=1234" and "NAME 1.2 s" lose
// their times.
std::string WithoutTimes(const std::string& text) {
  return std::regex_replace(std::regex_replace(text, std::regex("=[0-9]+"), ""), std::regex(" [0-9]+\\.[0-9] s"), "");
}

class CliBinDownload : public ::testing::Test {
 protected:
  void StartSim(const std::string& restartDelayMs = "200") {
    std::string error;
    ASSERT_TRUE(sim_.Start({"--port", "COM5", "--state", (home_.path() / "state").string(), "--restart-delay",
                            restartDelayMs, "--transcript", (home_.path() / "transcript.jsonl").string()},
                           error))
        << error;
  }
  // The command keeps its automatic NV backup in its current directory: the
  // test's home, never the build tree.
  void SetUp() override { fs::current_path(home_.path()); }
  void TearDown() override {
    sim_.Stop();
    fs::current_path(previous_);
  }

  zk::test::CommandOutcome Run(std::vector<std::string> args, const char* ui = "none") {
    std::vector<std::string> line{"--time-scale", "0.02", "--ui", ui};
    line.insert(line.end(), args.begin(), args.end());
    auto outcome = zk::test::RunCommand(zk::test::CliExecutable(), line);
    EXPECT_FALSE(outcome.timedOut) << outcome.out << outcome.err;
    return outcome;
  }
  fs::path Image(const std::string& name, const std::string& version) const {
    std::string bytes = "RB310VER=" + version;
    for (int i = 0; i < 6000; ++i) bytes += static_cast<char>(i * 29);
    const fs::path file = home_.path() / name;
    std::ofstream(file, std::ios::binary) << bytes;
    return file;
  }
  std::vector<std::string> LogLines() const {
    std::ifstream in(home_.path() / "service-log.jsonl");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  bool TranscriptEmpty() const {
    std::ifstream in(home_.path() / "transcript.jsonl");
    std::string line;
    return !std::getline(in, line);
  }

  zk::test::TempHome home_;
  const fs::path previous_ = fs::current_path();
  zk::test::SimProcess sim_;
};

TEST_F(CliBinDownload, TheHandsetComesBackWithTheImagesVersionAndTheLogSaysSo) {
  StartSim();
  const auto report = home_.path() / "reports" / "run.json";
  std::filesystem::create_directories(report.parent_path());
  const auto outcome = Run({"bin-download", "--port", "COM5", "--kind", "0", "--report", report.string(),
                            Image("any.bin", "R310V200").string()});
  ASSERT_EQ(outcome.status, 0) << outcome.out << outcome.err;
  EXPECT_NE(outcome.out.find("software version R310V105 -> R310V200"), std::string::npos) << outcome.out;
  EXPECT_NE(WithoutTimes(outcome.err).find("stages: DXX01 > DXX05 > DownLoadThread > DXX02 > DXX06 >  Mode Reset > END"),
            std::string::npos)
      << outcome.err;

  const auto lines = LogLines();
  ASSERT_EQ(lines.size(), 1u);
  for (const char* field : {"\"operation\":\"bin-download\",\"port\":\"COM5\"", "\"esn\":\"9F3A2C41\"",
                            "\"software_version_before\":\"R310V105\"", "\"kind\":0",
                            "\"stages\":\"DXX01;DXX05;DownLoadThread;DXX02;DXX06; Mode Reset;END\"",
                            "\"software_version\":\"R310V200\"", "\"result\":1,\"result_text\":\"done\""})
    EXPECT_NE(WithoutTimes(lines[0]).find(field), std::string::npos) << field << " in " << lines[0];

  // The report holds the same record, its stages with their durations.
  std::ifstream in(report);
  const std::string json((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (const char* field : {"\"software_version_before\": \"R310V105\"", "\"software_version\": \"R310V200\"",
                            "\"result\": 1", "{\"name\": \"DownLoadThread\", \"seconds\": ", "{\"name\": \"END\""})
    EXPECT_NE(json.find(field), std::string::npos) << field << " in " << json;
}

TEST_F(CliBinDownload, InputsAreCheckedBeforeTheHandsetIsTouched) {
  StartSim();
  EXPECT_EQ(Run({"bin-download", "--port", "COM5", "--kind", "2", Image("R310V200.bin", "R310V200").string()}).status,
            2);
  EXPECT_EQ(Run({"bin-download", "--port", "COM5", (home_.path() / "absent.bin").string()}).status, 2);
  EXPECT_TRUE(TranscriptEmpty());
  EXPECT_TRUE(LogLines().empty());
}

TEST_F(CliBinDownload, AHandsetThatStaysSilentAfterTheBurnIsAskedForThreeTimesThenFails) {
  StartSim("3600000");  // the restart never ends
  const auto outcome =
      Run({"bin-download", "--port", "COM5", "--kind", "2", Image("RB31VV30.bin", "R310V300").string()}, "console");
  EXPECT_EQ(outcome.status, 1);
  std::size_t asked = 0;
  for (auto at = outcome.err.find("Please reboot phone and then retry! We try 3 times."); at != std::string::npos;
       at = outcome.err.find("Please reboot phone", at + 1))
    ++asked;
  EXPECT_EQ(asked, 3u) << outcome.err;
  const auto lines = LogLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("\"result\":205002"), std::string::npos) << lines[0];
  EXPECT_NE(WithoutTimes(lines[0]).find("\"stages\":\"DXX01;DXX05;AKey Reading;DownLoadThread;DXX02\""),
            std::string::npos)
      << lines[0];
  // The console names each stage as it begins.
  EXPECT_NE(outcome.err.find("stage: DownLoadThread"), std::string::npos) << outcome.err;
}

}  // namespace
