// A parsed script run against a scripted handset: which lines go out, what a
// refusal or silence does to the result, when the run is abandoned, and the
// efs_scr folder that a copy must not leave.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "diag/packet_process.h"
#include "efs/efs_basic_function.h"
#include "nv/nv_backup.h"
#include "operations/script_run.h"
#include "platform/clock.h"
#include "script/script_parser.h"
#include "support/scripted_transactor.h"
#include "support/temp_home.h"

namespace {

using zk::test::ScriptedTransactor;
using Bytes = std::vector<uint8_t>;
using namespace zk::operations;
namespace fs = std::filesystem;

enum class Then { Ok, Refused, Silence };

// The handset's side of every request the parse would send, answered in order
// from `plays`; lines past the plays must not go out at all.
void Stage(ScriptedTransactor& handset, const zk::script::ScriptParse& parse, std::deque<Then> plays) {
  for (const auto& line : parse.lines) {
    if (plays.empty() || line.Fails()) continue;
    Bytes request;
    Bytes answer;
    const Then then = plays.front();
    if (line.action == zk::script::Action::kNvWrite) {
      request.assign(133, 0);
      request[0] = 0x27;
      request[1] = static_cast<uint8_t>(line.nv.item);
      request[2] = static_cast<uint8_t>(line.nv.item >> 8);
      std::copy_n(line.nv.data.begin(), line.nv.length, request.begin() + 3);
      answer = request;
      answer[131] = then == Then::Ok ? 0 : 7;
    } else if (line.action == zk::script::Action::kSpc) {
      request = {0x41};
      request.insert(request.end(), line.spc.begin(), line.spc.end());
      answer = {0x41, uint8_t(then == Then::Ok ? 1 : 0)};
    } else {
      continue;
    }
    plays.pop_front();
    if (then == Then::Silence) handset.Silence(request);
    else handset.Answer(request, answer);
  }
}

struct Case {
  const char* name;
  const char* script;
  std::deque<Then> plays;
  int kind;
  int result;
  std::size_t nvErrors;
  int abandonedAt;
};

TEST(ScriptRun, ResultsFollowTheHandsetsAnswers) {
  const Case cases[] = {
      {"all answered", "NV_WRITE ACCOLC 0 5 6\nSPC 000000\nNV_WRITE DIR_NUMBER 1 5551234567\nMODE offline-a\n",
       {Then::Ok, Then::Ok, Then::Ok}, 0, kScriptDone, 0, 0},
      {"refused write warns, run goes on", "NV_WRITE ACCOLC 0 5 6\nNV_WRITE DIR_NUMBER 0 5551234567\n",
       {Then::Refused, Then::Ok}, 0, kScriptWarned, 1, 0},
      {"unknown item warns, sends nothing", "NV_WRITE NO_SUCH 1\nNV_WRITE ACCOLC 0 1 2\n", {Then::Ok}, 0,
       kScriptWarned, 1, 0},
      {"refused code fails only its line", "SPC 123456\nNV_WRITE ACCOLC 0 1 2\n", {Then::Refused, Then::Ok}, 0,
       kScriptDone, 0, 0},
      {"four silent writes abandon the run",
       "NV_WRITE ACCOLC 0 1 2\nNV_WRITE ACCOLC 1 1 2\nNV_WRITE DIR_NUMBER 0 1\nNV_WRITE DIR_NUMBER 1 2\n"
       "NV_WRITE ACCOLC 0 3 4\n",
       {Then::Silence, Then::Silence, Then::Silence, Then::Silence}, 0, kScriptAbandoned, 4, 4},
      {"an answer between silences keeps the run",
       "NV_WRITE ACCOLC 0 1 2\nNV_WRITE ACCOLC 1 1 2\nNV_WRITE DIR_NUMBER 0 1\nNV_WRITE DIR_NUMBER 1 2\n"
       "NV_WRITE ACCOLC 0 3 4\nNV_WRITE ACCOLC 0 5 6\n",
       {Then::Silence, Then::Silence, Then::Silence, Then::Ok, Then::Silence, Then::Silence}, 0, kScriptWarned, 5,
       0},
      {"held-back item under kind 2", "NV_WRITE A_KEY 0 0x1 0x2\nNV_WRITE ACCOLC 0 1 2\n", {Then::Ok}, 2,
       kScriptDone, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    zk::test::TempDir dir;
    const fs::path script = dir.path() / "run.scr";
    std::ofstream(script) << c.script;
    ScriptedTransactor handset;
    CScriptParser parser;
    ASSERT_TRUE(parser.Load(script.string()));
    Stage(handset, parser.Parse(c.kind), c.plays);

    CNVBackup nv(handset, {});
    CPacketProcess packets(handset);
    CEfsBasicFunction efs(handset);
    ScriptRunReport report;
    EXPECT_EQ(RunScriptFile(script.string(), c.kind, {nv, packets, efs}, &report), c.result);
    EXPECT_EQ(handset.unplayed(), 0u);
    EXPECT_EQ(nv.m_errorLines.size(), c.nvErrors);
    EXPECT_EQ(report.abandonedAt, c.abandonedAt);
  }
}

TEST(ScriptRun, WaitSleepsAndMissingScriptIs46) {
  zk::test::TempDir dir;
  const fs::path script = dir.path() / "wait.scr";
  std::ofstream(script) << "WAIT 3\nWAIT\n";
  ScriptedTransactor handset;
  CNVBackup nv(handset, {});
  CPacketProcess packets(handset);
  CEfsBasicFunction efs(handset);
  zk::platform::WaitRecorder waits(false);
  EXPECT_EQ(RunScriptFile(script.string(), 0, {nv, packets, efs}), kScriptDone);
  EXPECT_EQ(waits.Waits(), std::vector<int64_t>{3000});
  EXPECT_EQ(RunScriptFile((dir.path() / "absent.scr").string(), 0, {nv, packets, efs}), kScriptNotLoaded);
}

TEST(ScriptRun, CopyThroughALinkOutOfEfsScrIsRefused) {
  zk::test::TempDir dir;
  fs::create_directories(dir.path() / "efs_scr");
  std::ofstream(dir.path() / "secret.txt") << "not for the handset";
  fs::create_symlink(dir.path() / "secret.txt", dir.path() / "efs_scr" / "leak.txt");
  const fs::path script = dir.path() / "copy.scr";
  std::ofstream(script) << "EFS x leak.txt\n";
  ScriptedTransactor handset;  // nothing may be sent
  CNVBackup nv(handset, {});
  CPacketProcess packets(handset);
  CEfsBasicFunction efs(handset);
  ScriptRunReport report;
  EXPECT_EQ(RunScriptFile(script.string(), 0, {nv, packets, efs}, &report), kScriptDone);
  ASSERT_EQ(report.outcomes.size(), 1u);
  EXPECT_FALSE(report.outcomes[0].done);
  EXPECT_NE(report.outcomes[0].note.find("outside the efs_scr folder"), std::string::npos);
}

}  // namespace
