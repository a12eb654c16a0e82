// A provisioning script run on the simulated handset over a real pty: the
// NV values, the unlock, the file copied from efs_scr and the wait.
#include <filesystem>
#include <fstream>

#include "operations/script_process.h"
#include "operations/script_run.h"
#include "sim_link_fixture.h"

namespace {

namespace fs = std::filesystem;
using ScriptRunSimTest = zk::test::SimLinkTest;

TEST_F(ScriptRunSimTest, ProvisioningScriptLeavesItsValuesAndFile) {
  StartDiagHandset();
  const fs::path folder = home_.path() / "job";
  fs::create_directories(folder / "efs_scr");
  std::ofstream(folder / "efs_scr" / "hello.txt") << "provisioned\n";
  std::ofstream(folder / "job.scr") << "SPC 271828 ; unlock\r\n"
                                       "NV_WRITE ACCOLC 0 5 6\r\n"
                                       "NV_WRITE DIR_NUMBER 1 5551234567\r\n"
                                       "EFS x hello.txt\r\n"
                                       "WAIT 1\r\n";
  zk::platform::WaitRecorder waits;
  EXPECT_EQ(g_scriptProcess.RunUnattended(0, "", (folder / "job.scr").c_str(), kPortIndex), 1);
  EXPECT_NE(std::find(waits.Waits().begin(), waits.Waits().end(), 1000), waits.Waits().end());
  EXPECT_EQ(Frames(0x41).size(), 1u);

  sim_->WithHandset([](rb310::Handset& handset) {
    const auto accolc = handset.nv().store().Read(37, 0);
    ASSERT_TRUE(accolc);
    EXPECT_EQ((*accolc)[0], 0);
    EXPECT_EQ((*accolc)[1], 5);
    const auto number = handset.nv().store().Read(178, 1);
    ASSERT_TRUE(number);
    EXPECT_EQ((*number)[0], 1);
    EXPECT_EQ(std::string(number->begin() + 1, number->begin() + 11), "5551234567");
  });
  std::ifstream copied(sim_->stateDir() / "efs" / "hello.txt");
  std::string text;
  std::getline(copied, text);
  EXPECT_EQ(text, "provisioned");
}

TEST_F(ScriptRunSimTest, RefusedWritesEndWithWarnings) {
  auto options = Options();
  options.personality.startInDm = true;
  options.faults.nvStatus = {{37, -1, 7, false, true}};  // writes of ACCOLC refused
  StartSim(std::move(options));
  const fs::path script = home_.path() / "warn.scr";
  std::ofstream(script) << "NV_WRITE ACCOLC 0 5 6\n";
  EXPECT_EQ(g_scriptProcess.RunUnattended(0, "", script.c_str(), kPortIndex), 506050);
}

// Kinds 0 and 1: the user's content goes, and the BREW script directory is
// written only when its version file differs from what the handset reports.
TEST_F(ScriptRunSimTest, StagedDownloadClearsAndWritesBrewScriptsOnlyWhenOutdated) {
  StartDiagHandset();
  const fs::path efs = sim_->stateDir() / "efs";
  fs::create_directories(efs / "sms");
  fs::create_directories(efs / "brew");
  std::ofstream(efs / "sms" / "inbox.dat") << "old message";
  std::ofstream(efs / "brew" / "prefs.dat") << "old prefs";
  const fs::path job = home_.path() / "job";
  fs::create_directories(job / "brew_script" / "brew");
  std::ofstream(job / "brew_script" / "brew" / "app.txt") << "app";
  std::ofstream(job / "job.scr") << "NV_WRITE ACCOLC 0 5 6\n";
  const auto script = (job / "job.scr").string();
  // Field 3 the vendor text, field 4 - 1 and field 5 - 56 its two values.
  struct Row {
    const char* version;
    bool written;
  } rows[] = {{"0,0,0,RB310-A1-000001,66052,61,0,0,0,0", false}, {"0,0,0,RB310-A1-000001,66053,61,0,0,0,0", true}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.version);
    fs::remove(efs / "brew" / "app.txt");
    std::ofstream(job / "brew_script" / "brew" / "version.txt") << row.version;
    EXPECT_EQ(g_scriptProcess.Run(0, "", script.c_str(), "", 0, kPortIndex, ""), 1);
    EXPECT_FALSE(fs::exists(efs / "sms" / "inbox.dat"));
    EXPECT_FALSE(fs::exists(efs / "brew" / "prefs.dat"));
    EXPECT_EQ(fs::exists(efs / "brew" / "app.txt"), row.written);
  }
}

}  // namespace
