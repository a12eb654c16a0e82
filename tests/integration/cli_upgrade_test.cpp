// `zkdownload upgrade` against the rb310-sim executable: real processes, a
// real pty, a temporary $ZKDOWNLOAD_HOME and a small time scale.
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

class CliUpgrade : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(sim_.Start({"--port", "COM5", "--state", (home_.path() / "state").string(), "--restart-delay", "200",
                            "--transcript", Transcript().string()},
                           error))
        << error;
  }
  void TearDown() override { sim_.Stop(); }
  zk::test::CommandOutcome Run(std::vector<std::string> args) {
    std::vector<std::string> line{"--time-scale", "0.02", "--ui", "none", "upgrade", "--port", "COM5"};
    line.insert(line.end(), args.begin(), args.end());
    auto outcome = zk::test::RunCommand(zk::test::CliExecutable(), line);
    EXPECT_FALSE(outcome.timedOut) << outcome.out << outcome.err;
    return outcome;
  }
  std::string Write(const std::string& name, const std::string& bytes) const {
    const fs::path file = home_.path() / name;
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
    return file.string();
  }
  std::string Image(const std::string& name) const { return Write(name, "RB310VER=R310V200" + std::string(5000, 'i')); }
  static std::string ReadText(const fs::path& file) {
    std::ifstream in(file);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  fs::path Transcript() const { return home_.path() / "transcript.jsonl"; }

  zk::test::TempHome home_;
  zk::test::SimProcess sim_;
};

TEST_F(CliUpgrade, InputsAreCheckedBeforeTheHandsetIsTouched) {
  const std::string script = Write("job/job.scr", "NV_WRITE ACCOLC 0 5 6\n");  // no brew_script beside it
  const std::vector<std::vector<std::string>> refused = {
      {"--kind", "2", Image("R310V200.bin")},                                // not named after the model
      {"--kind", "0", (home_.path() / "absent.bin").string()},               // no image
      {"--kind", "0", "--script", script, Image("a.bin")},                   // staged: no brew_script
      {"--kind", "2", "--script", Write("bad.scr", "NV_WRITE NO_SUCH_ITEM 1\n"), Image("RB31VV_a.bin")},
      {"--kind", "0", "--prl", Write("short.prl", std::string("\x01\x00", 2) + "xyz"), Image("a.bin")},
      {"--kind", "0", "--report", (home_.path() / "no" / "dir" / "r.json").string(), Image("a.bin")},
  };
  for (const auto& args : refused) EXPECT_EQ(Run(args).status, 2) << args[args.size() - 2];
  EXPECT_EQ(ReadText(Transcript()), "") << "the handset was touched";
  EXPECT_FALSE(fs::exists(home_.path() / "service-log.jsonl"));
}

TEST_F(CliUpgrade, StagedUpgradeReportsTheNewVersionAndItsStages) {
  const fs::path report = home_.path() / "upgrade.json";
  const auto outcome = Run({"--kind", "0", "--report", report.string(), Image("a.bin")});
  ASSERT_EQ(outcome.status, 0) << outcome.out << outcome.err;
  EXPECT_NE(outcome.out.find("software version R310V105 -> R310V200, NV items restored"), std::string::npos)
      << outcome.out;
  const std::string json = ReadText(report);
  for (const char* field : {"\"operation\": \"upgrade\"", "\"kind\": 0", "\"software_version\": \"R310V200\"",
                            "\"result\": 1", "{\"name\": \"DXX06\", \"seconds\": ", "{\"name\": \"END\""})
    EXPECT_NE(json.find(field), std::string::npos) << field << " in " << json;
}

}  // namespace
