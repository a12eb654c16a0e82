// `zkdownload station` against two rb310-sim processes: real worker
// processes, real ptys, a temporary $ZKDOWNLOAD_HOME and a small time scale.
#include <gtest/gtest.h>

#include <signal.h>
#include <stdlib.h>

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

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

class CliStation : public ::testing::Test {
 protected:
  void SetUp() override {
    // The handsets restart after their reset at the command's time scale,
    // within the station's pause between handsets.
    setenv("ZKDOWNLOAD_TIME_SCALE", "0.02", 1);
    for (int i = 0; i < 2; ++i) {
      std::string error;
      ASSERT_TRUE(sims_[i].Start({"--port", Port(i), "--state", State(i).string()}, error)) << error;
    }
    prl_ = std::string(301, '\x5A');
    prl_[0] = 0x01;
    prl_[1] = 0x2D;  // its own size, 301
    std::ofstream(home_.path() / "job.prl", std::ios::binary) << prl_;
  }
  void TearDown() override {
    for (auto& sim : sims_) sim.Stop();
    unsetenv("ZKDOWNLOAD_TIME_SCALE");
  }
  static std::string Port(int i) { return "COM" + std::to_string(5 + i); }
  fs::path State(int i) const { return home_.path() / ("state" + std::to_string(i)); }
  zk::test::CommandOutcome Station(std::vector<std::string> args) {
    std::vector<std::string> line{"--time-scale", "0.02", "station", "--ports", "COM5,COM6", "--log-dir",
                                  (home_.path() / "logs").string()};
    line.insert(line.end(), args.begin(), args.end());
    return zk::test::RunCommand(zk::test::CliExecutable(), line);
  }

  // A station in the background, at a time scale that leaves a handset in
  // progress for seconds.
  std::vector<std::string> SlowStation(const std::string& ports, std::vector<std::string> args) const {
    std::vector<std::string> line{"--time-scale", "0.1", "station", "--ports", ports, "--pause", "1", "--log-dir",
                                  (home_.path() / "logs").string()};
    line.insert(line.end(), args.begin(), args.end());
    line.insert(line.end(), {"prl-write", "--nam", "1", (home_.path() / "job.prl").string()});
    return line;
  }

  zk::test::TempHome home_;
  zk::test::SimProcess sims_[2];
  std::string prl_;
};

TEST_F(CliStation, ServesEveryPortItsHandsetsAndLogsEachOne) {
  const auto outcome = Station({"--count", "2", "prl-write", "--nam", "1", (home_.path() / "job.prl").string()});
  ASSERT_EQ(outcome.status, 0) << outcome.out << outcome.err;
  // Into a pipe the dashboard writes log lines: stages of progress and
  // each finished handset, with the counts.
  EXPECT_NE(outcome.out.find("COM5 handset 2: done in "), std::string::npos) << outcome.out;
  EXPECT_NE(outcome.out.find("COM6 handset 2: done in "), std::string::npos) << outcome.out;
  EXPECT_NE(outcome.out.find("COM6 PRL Write"), std::string::npos) << outcome.out;
  EXPECT_NE(outcome.out.find("station: 4 handsets served, 0 failed"), std::string::npos) << outcome.out;
  EXPECT_EQ(outcome.out.find('\x1b'), std::string::npos) << "no terminal codes in a log";
  for (int i = 0; i < 2; ++i) EXPECT_EQ(ReadAll(State(i) / "prl" / "nam1.bin"), prl_);

  const std::string log = ReadAll(home_.path() / "service-log.jsonl");
  EXPECT_EQ(Count(log, "\"operation\":\"prl-write\""), 4u) << log;
  EXPECT_EQ(Count(log, "\"port\":\"COM5\""), 2u) << log;
  EXPECT_EQ(Count(log, "\"result\":1,"), 4u) << log;
  const auto summary = zk::test::RunCommand(zk::test::CliExecutable(), {"log", "--since", "TODAY", "--summary"});
  EXPECT_NE(summary.out.find("prl-write      done                    4"), std::string::npos) << summary.out;
}

TEST_F(CliStation, RefusesBadInputsBeforeAnyHandsetIsTouched) {
  struct Case {
    std::vector<std::string> args;
    std::string why;
  };
  const std::vector<Case> cases{
      {{"prl-write", "/absent/job.prl"}, "refused its inputs"},
      {{"log"}, "'log' is no operation on a handset's port"},
      {{"prl-write", "--port", "COM5", "x.prl"}, "--port belongs to the station"},
      {{}, "no operation given"},
  };
  for (const auto& c : cases) {
    const auto outcome = Station(c.args);
    EXPECT_EQ(outcome.status, 2) << c.why;
    EXPECT_NE((outcome.out + outcome.err).find(c.why), std::string::npos) << outcome.out << outcome.err;
  }
  const auto twice = zk::test::RunCommand(zk::test::CliExecutable(),
                                          {"station", "--ports", "COM5,COM5", "prl-write", "x.prl"});
  EXPECT_NE(twice.err.find("COM5 is named twice"), std::string::npos) << twice.err;
  EXPECT_FALSE(fs::exists(home_.path() / "service-log.jsonl")) << "no handset was served";
}

// A worker killed halfway through its handset is reported, and its port
// goes on to serve the next handset.
TEST_F(CliStation, AWorkerThatDiesIsReportedAndItsPortServesTheNextHandset) {
  zk::test::BackgroundCommand station(zk::test::CliExecutable(), SlowStation("COM5", {"--count", "2"}));
  ASSERT_TRUE(station.ReadUntil("COM5 Connecting", 20000)) << station.output();
  const auto workers = station.Children();
  ASSERT_EQ(workers.size(), 1u) << station.output();
  ::kill(workers.front(), SIGKILL);
  EXPECT_EQ(station.Finish(60000), 1) << station.output();
  const std::string& out = station.output();
  EXPECT_NE(out.find("COM5 handset 1: worker died (signal 9)"), std::string::npos) << out;
  EXPECT_NE(out.find("restarting the port"), std::string::npos) << out;
  EXPECT_NE(out.find("COM5 handset 2: done"), std::string::npos) << out;
  EXPECT_NE(out.find("station: 2 handsets served, 1 failed"), std::string::npos) << out;
  EXPECT_EQ(ReadAll(State(0) / "prl" / "nam1.bin"), prl_);
}

// The first Ctrl-C lets the handsets in progress finish and starts no more.
TEST_F(CliStation, CtrlCLetsTheHandsetsInProgressFinishThenStops) {
  zk::test::BackgroundCommand station(zk::test::CliExecutable(), SlowStation("COM5,COM6", {}));
  ASSERT_TRUE(station.ReadUntil("COM5 Connecting", 20000)) << station.output();
  ASSERT_TRUE(station.ReadUntil("COM6 Connecting", 20000)) << station.output();
  station.Signal(SIGINT);
  EXPECT_EQ(station.Finish(60000), 0) << station.output();
  const std::string& out = station.output();
  EXPECT_NE(out.find("station: stopping once the handsets in progress are done"), std::string::npos) << out;
  EXPECT_NE(out.find("COM5 handset 1: done"), std::string::npos) << out;
  EXPECT_NE(out.find("COM6 handset 1: done"), std::string::npos) << out;
  EXPECT_NE(out.find("station: 2 handsets served, 0 failed"), std::string::npos) << out;
  for (int i = 0; i < 2; ++i) EXPECT_EQ(ReadAll(State(i) / "prl" / "nam1.bin"), prl_);
}

}  // namespace
