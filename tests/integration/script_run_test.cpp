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

}  // namespace
