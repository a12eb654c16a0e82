// Injected faults and the transcript of requests.
#include <gtest/gtest.h>

#include <fstream>

#include "command_line.h"
#include "core/faults.h"
#include "sim_rig.h"

namespace rb310::test {
namespace {

using Bytes = std::vector<uint8_t>;

FaultRule Rule(FaultRule::Action action, FaultRule::Match match, uint32_t selector, uint32_t times = 0,
               uint32_t value = 0) {
  return FaultRule{action, match, selector, times, value};
}

TEST(SimFaults, DropHitsTheNthRequestOrTheFirstOfACode) {
  SimOptions options = DmOptions();
  options.faults.rules.push_back(Rule(FaultRule::Action::kDrop, FaultRule::Match::kNth, 2));
  options.faults.rules.push_back(Rule(FaultRule::Action::kDrop, FaultRule::Match::kCode, 0x0C, 2));
  HandsetRig rig(options);
  EXPECT_TRUE(rig.Ask({0x01}));
  EXPECT_FALSE(rig.Ask({0x01}));
  EXPECT_TRUE(rig.Ask({0x01}));
  EXPECT_FALSE(rig.Ask({0x0C}));
  EXPECT_FALSE(rig.Ask({0x0C}));
  EXPECT_TRUE(rig.Ask({0x0C}));
  EXPECT_EQ(rig.handset().counters().droppedAnswers, 3u);

  const auto entries = rig.handset().transcript().Entries();
  ASSERT_EQ(entries.size(), 6u);
  EXPECT_FALSE(entries[1].answered);
  EXPECT_EQ(entries[1].note, "drop");
  EXPECT_TRUE(entries[2].answered);
}

TEST(SimFaults, DroppedAnswerStillLetsTheRequestTakeEffect) {
  SimOptions options = DmOptions();
  options.personality.restartDelayMs = 1000;
  options.faults.rules.push_back(Rule(FaultRule::Action::kDrop, FaultRule::Match::kCode, 0x29));
  HandsetRig rig(options);
  EXPECT_FALSE(rig.Ask({0x29, 0x01, 0x00}));
  EXPECT_FALSE(rig.Ask({0x29, 0x02, 0x00}));
  EXPECT_EQ(rig.handset().state().personality, Personality::kRestarting);
}

TEST(SimFaults, ForeignCodeCorruptCheckAndGarbage) {
  SimOptions options = DmOptions();
  options.faults.rules.push_back(Rule(FaultRule::Action::kForeignCode, FaultRule::Match::kNth, 1, 0, 0x42));
  options.faults.rules.push_back(Rule(FaultRule::Action::kCorrupt, FaultRule::Match::kNth, 2));
  options.faults.rules.push_back(Rule(FaultRule::Action::kGarbage, FaultRule::Match::kNth, 3, 0, 16));
  HandsetRig rig(options);
  EXPECT_EQ(rig.Ask({0x01}), (Bytes{0x42, 0x01}));

  const Bytes corrupt = rig.Feed(zk::test::Frame({0x01}));
  EXPECT_EQ(corrupt.back(), 0x7E);
  EXPECT_FALSE(zk::test::FirstPacket(corrupt));

  const Bytes noisy = rig.Feed(zk::test::Frame({0x01}));
  const Bytes clean = zk::test::Frame({0x01, 0x41, 0x2C, 0x3A, 0x9F});  // the default ESN answer
  ASSERT_EQ(noisy.size(), 16 + clean.size());
  EXPECT_TRUE(std::equal(clean.begin(), clean.end(), noisy.end() - static_cast<std::ptrdiff_t>(clean.size())));
}

TEST(SimFaults, StallHoldsTheAnswerAndThoseBehindIt) {
  SimOptions options = DmOptions();
  options.faults.rules.push_back(Rule(FaultRule::Action::kStall, FaultRule::Match::kCode, 0x00, 0, 800));
  HandsetRig rig(options);
  EXPECT_TRUE(rig.Feed(zk::test::Frame({0x00})).empty());
  EXPECT_TRUE(rig.Feed(zk::test::Frame({0x01})).empty());  // queued behind the stalled one
  ASSERT_TRUE(rig.handset().NextEventMs());
  const Bytes both = rig.Wait(800);
  EXPECT_EQ(zk::test::FirstPacket(both)->at(0), 0x00);
  EXPECT_EQ(std::count(both.begin(), both.end(), 0x7E), 2);
}

TEST(SimFaults, RulesCanBeReplacedWhileRunning) {
  HandsetRig rig;
  FaultOptions faults;
  faults.rules.push_back(Rule(FaultRule::Action::kDrop, FaultRule::Match::kAll, 0));
  rig.handset().faults().Reset(faults);
  EXPECT_FALSE(rig.Ask({0x01}));
  rig.handset().faults().Reset({});
  EXPECT_TRUE(rig.Ask({0x01}));
}

TEST(SimFaults, RulesParseFromTheirCommandLineForm) {
  FaultRule rule;
  std::string error;
  ASSERT_TRUE(ParseFaultRule(FaultRule::Action::kDrop, "nth=3", rule, error)) << error;
  EXPECT_EQ(rule.match, FaultRule::Match::kNth);
  EXPECT_EQ(rule.selector, 3u);
  ASSERT_TRUE(ParseFaultRule(FaultRule::Action::kStall, "code=0x0C/2@1500", rule, error)) << error;
  EXPECT_EQ(rule.match, FaultRule::Match::kCode);
  EXPECT_EQ(rule.selector, 0x0Cu);
  EXPECT_EQ(rule.times, 2u);
  EXPECT_EQ(rule.value, 1500u);
  ASSERT_TRUE(ParseFaultRule(FaultRule::Action::kForeignCode, "all@0x13", rule, error)) << error;
  EXPECT_EQ(rule.value, 0x13u);

  EXPECT_FALSE(ParseFaultRule(FaultRule::Action::kStall, "all", rule, error));       // needs @MS
  EXPECT_FALSE(ParseFaultRule(FaultRule::Action::kDrop, "all@5", rule, error));      // takes none
  EXPECT_FALSE(ParseFaultRule(FaultRule::Action::kDrop, "code=0x100", rule, error));
  EXPECT_FALSE(ParseFaultRule(FaultRule::Action::kDrop, "nth=0", rule, error));
  EXPECT_FALSE(ParseFaultRule(FaultRule::Action::kForeignCode, "all@256", rule, error));

  NvStatusFault nv;
  ASSERT_TRUE(ParseNvStatusFault("25/1=7", nv, error)) << error;
  EXPECT_EQ(nv.item, 25);
  EXPECT_EQ(nv.index, 1);
  EXPECT_EQ(nv.status, 7);
  EXPECT_FALSE(ParseNvStatusFault("25", nv, error));
}

TEST(SimFaults, CommandLineFillsTheOptions) {
  const char* argv[] = {"rb310-sim", "--port", "COM12", "--dm", "--dm-baud", "38400",
                        "--friendly", "RB310 CDMA USB Modem (COM12)", "--drop", "code=1/1",
                        "--nv-read-status", "178/0=5", "--ignore-baud-change", "--restart-mode", "at",
                        "--efs-drop-reads", "/a@b/c.bin@3", "--efs-hostile-file", "../x"};
  SimOptions options;
  EXPECT_EQ(ParseCommandLine(static_cast<int>(std::size(argv)), argv, options), std::nullopt);
  EXPECT_EQ(options.line.port, 12);
  EXPECT_TRUE(options.personality.startInDm);
  EXPECT_EQ(options.personality.dmBaud, 38400u);
  EXPECT_TRUE(options.line.UsbModem());
  EXPECT_FALSE(options.personality.RestartInDm());
  ASSERT_EQ(options.faults.rules.size(), 1u);
  EXPECT_EQ(options.faults.rules[0].times, 1u);
  ASSERT_EQ(options.faults.nvStatus.size(), 1u);
  EXPECT_FALSE(options.faults.nvStatus[0].onWrite);
  EXPECT_TRUE(options.faults.ignoreBaudChange);
  EXPECT_EQ(options.faults.efs.dropReadsAfter, (std::map<std::string, uint32_t>{{"/a@b/c.bin", 3}}));
  EXPECT_EQ(options.faults.efs.hostileFiles, std::vector<std::string>{"../x"});

  const char* bad[] = {"rb310-sim", "--port", "COM0"};
  SimOptions ignored;
  testing::internal::CaptureStderr();
  EXPECT_NE(ParseCommandLine(3, bad, ignored).value_or(0), 0);
  testing::internal::GetCapturedStderr();
}

TEST(SimTranscript, EntriesBecomeJsonLinesInTheFile) {
  zk::test::TempDir dir("rb310-transcript");
  HandsetRig rig;
  std::error_code error;
  ASSERT_TRUE(rig.handset().transcript().OpenFile((dir.path() / "t.jsonl").string(), error));
  rig.Ask({0x01});
  rig.Feed({0x11, 0x7E});
  std::ifstream in(dir.path() / "t.jsonl");
  std::string first, second;
  std::getline(in, first);
  std::getline(in, second);
  EXPECT_NE(first.find("\"kind\":\"frame\",\"code\":1,\"hex\":\"01\",\"answered\":true"), std::string::npos) << first;
  EXPECT_NE(second.find("\"kind\":\"bad-frame\",\"code\":null,\"hex\":\"11\",\"answered\":false"), std::string::npos)
      << second;

  TranscriptEntry entry{5, "at", -1, "41", true, "say \"OK\"\n"};
  EXPECT_EQ(ToJsonLine(entry),
            "{\"t_ms\":5,\"kind\":\"at\",\"code\":null,\"hex\":\"41\",\"answered\":true,\"note\":\"say \\\"OK\\\"\\u000a\"}");
}

}  // namespace
}  // namespace rb310::test
