// `zkdownload nv-edit` against a real rb310-sim: the editor reads the
// handset, takes cells from the command line and writes them back.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/byte_files.h"
#include "support/command_run.h"
#include "support/sim_process.h"
#include "support/temp_home.h"

namespace {

namespace fs = std::filesystem;
using zk::test::CommandOutcome;
using zk::test::Bytes;

constexpr const char* kScale = "0.02";

// The first bytes of a stored NV data field.
Bytes Head(const fs::path& file, std::size_t count) {
  Bytes bytes = zk::test::ReadAll(file);
  bytes.resize(count);
  return bytes;
}

class CliNvEdit : public ::testing::Test {
 protected:
  void TearDown() override { sim_.Stop(); }
  void StartSim(std::vector<std::string> extra = {}) {
    std::vector<std::string> args{"--port",         "COM5", "--state", State().string(), "--transcript",
                                  Transcript().string(), "--call-history", "1,2,3,4,5,6,7,8,9,10,11"};
    args.insert(args.end(), extra.begin(), extra.end());
    std::string error;
    ASSERT_TRUE(sim_.Start(args, error)) << error;
  }
  CommandOutcome Run(std::vector<std::string> args) {
    std::vector<std::string> line{"--time-scale", kScale, "nv-edit", "--port", "COM5"};
    line.insert(line.end(), args.begin(), args.end());
    CommandOutcome outcome = zk::test::RunCommand(zk::test::CliExecutable(), line);
    EXPECT_FALSE(outcome.timedOut) << outcome.out << outcome.err;
    return outcome;
  }
  fs::path State() const { return home_.path() / "state"; }
  fs::path Transcript() const { return home_.path() / "transcript.jsonl"; }
  fs::path Nv(const std::string& name) const { return State() / "nv" / name; }
  std::string TranscriptText() const {
    const Bytes bytes = zk::test::ReadAll(Transcript());
    return std::string(bytes.begin(), bytes.end());
  }

  zk::test::ScopedEnv scale_{"ZKDOWNLOAD_TIME_SCALE", kScale};
  zk::test::TempHome home_;
  zk::test::SimProcess sim_;
};

TEST_F(CliNvEdit, ShowsThePagesAsRead) {
  StartSim();
  const auto shown = Run({"--show", "--json"});
  ASSERT_EQ(shown.status, 0) << shown.err;
  EXPECT_EQ(shown.out.rfind("{\"nam\":0,\"pages\":[{\"title\":\"NAM\"", 0), 0u) << shown.out;
  EXPECT_NE(shown.out.find("{\"label\":\"HOME TIMER\",\"cells\":[\"3\"]}"), std::string::npos);
  EXPECT_NE(shown.out.find("{\"label\":\"CDMA HOME SID\",\"cells\":[\""), std::string::npos);
}

// A handset without the call-history file: the editor says so once and
// shows the counters as 0.
TEST_F(CliNvEdit, MissingCallHistoryShowsZeroCounters) {
  std::string error;
  ASSERT_TRUE(sim_.Start({"--port", "COM5", "--state", State().string()}, error)) << error;
  const auto shown = Run({"--show"});
  ASSERT_EQ(shown.status, 0) << shown.err;
  EXPECT_NE(shown.err.find("Can't read pim/call_hist_nv.dat file from phone !!"), std::string::npos) << shown.err;
  EXPECT_NE(shown.out.find("HOME TIMER                     | 0\n"), std::string::npos) << shown.out;
}

// Phone number, ACCOLC and the BREW settings written: the handset's store
// holds exactly the new values, and the selected NAM's A-key and count were
// never sent.
TEST_F(CliNvEdit, WrittenSettingsAreWhatTheHandsetHolds) {
  StartSim();
  const auto written = Run({"--nam", "0", "--set", "PHONE NUMBER(CDMA,AMPS)=555-0199", "--set", "accolc=9",
                            "--set", "Primary DNS IP=192.168.001.001", "--set", "BREW Primary IP/URL=brew.test-1.example",
                            "--set", "BKey=00112233445566778899aabbccddeeff", "--set", "BREW Carrier ID=200",
                            "--set", "BREW Platform ID=9999", "--write"});
  ASSERT_EQ(written.status, 0) << written.out << written.err;
  EXPECT_NE(written.out.find("written into the handset on COM5 and taken"), std::string::npos) << written.out;

  // 555-0199: 444 << 14 | 10 << 10 | 88, after the NAM index byte.
  EXPECT_EQ(Head(Nv("32-0.bin"), 5), (Bytes{0x00, 0x58, 0x28, 0x6F, 0x00}));
  EXPECT_EQ(Head(Nv("37-0.bin"), 2), (Bytes{0x00, 9}));
  EXPECT_EQ(Head(Nv("2203.bin"), 5), (Bytes{192, 168, 1, 1, 0}));
  const std::string url = "brew.test-1.example";
  Bytes urlBytes(url.begin(), url.end());
  urlBytes.push_back(0);
  EXPECT_EQ(Head(Nv("2201.bin"), urlBytes.size()), urlBytes);
  EXPECT_EQ(Head(Nv("2206.bin"), 16), (Bytes{0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xaa, 0xbb,
                                             0xcc, 0xdd, 0xee, 0xff}));
  EXPECT_EQ(Head(Nv("2205.bin"), 4), (Bytes{200, 0, 0, 0}));
  EXPECT_EQ(Head(Nv("2211.bin"), 4), (Bytes{0x0F, 0x27, 0, 0}));

  // NV writes (code 0x27) of NV_A_KEY_I (25) and NV_COUNT_I (31) for NAM 0.
  const std::string transcript = TranscriptText();
  EXPECT_NE(transcript.find("\"hex\":\"27"), std::string::npos);
  EXPECT_EQ(transcript.find("\"hex\":\"27190000"), std::string::npos);
  EXPECT_EQ(transcript.find("\"hex\":\"271F0000"), std::string::npos);
  EXPECT_NE(transcript.find("\"hex\":\"271F0001"), std::string::npos);  // the other NAM's count, read, goes back
  EXPECT_FALSE(fs::exists(Nv("31-0.bin")));
}

TEST_F(CliNvEdit, RefusedValuesStopBeforeThePortOpens) {
  // No simulator runs: a command that opened the port would fail otherwise.
  struct Case {
    const char* set;
    const char* message;
  };
  for (const Case& c : {Case{"BREW Platform ID=10000", "the range of this number is from  0  to 9999."},
                        Case{"Primary DNS IP=192.168.1.1", "should be digit."},
                        Case{"BKey=0011223344556677889900aabbccdde", "You must input all of 32 letters"},
                        Case{"BREW Carrier ID=", "from  0  to 255."}, Case{"No Such Row=1", "no editable row"}}) {
    const auto refused = Run({"--set", c.set, "--write"});
    EXPECT_EQ(refused.status, 1) << c.set << refused.err;
    EXPECT_NE(refused.err.find(c.message), std::string::npos) << c.set << ": " << refused.err;
  }
}

// Every NV write goes unanswered: the write fails with 704000 + 52 (four
// silent writes in a row), the editor closes and the command fails.
TEST_F(CliNvEdit, HandsetSilentDuringWriteClosesTheEditor) {
  StartSim({"--drop", "code=39"});
  const auto failed = Run({"--set", "accolc=3", "--write"});
  EXPECT_NE(failed.status, 0) << failed.out;
  EXPECT_NE(failed.err.find("704052"), std::string::npos) << failed.err;
  EXPECT_EQ(failed.out.find("taken"), std::string::npos);
}

}  // namespace
