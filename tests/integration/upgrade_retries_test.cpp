// The full upgrade against a handset that never comes back after the burn:
// the operator is asked to reboot it three times, then the upgrade fails with
// the mode entry's code, and the NV items read before the burn are saved.
#include <filesystem>
#include <string>

#include "operations/flow_steps.h"
#include "operations/upgrade_download.h"
#include "sim_link_fixture.h"
#include "support/byte_files.h"

namespace {

namespace fs = std::filesystem;

class UpgradeRetriesTest : public zk::test::SimLinkTest {};

TEST_F(UpgradeRetriesTest, AHandsetThatDoesNotComeBackIsAskedForThreeTimesThenFails) {
  auto options = Options();
  // The status requests of the first mode entry and of the switch to the
  // downloader (four) pass; every one after the burn is lost.
  options.faults.rules.push_back(
      rb310::FaultRule{rb310::FaultRule::Action::kDrop, rb310::FaultRule::Match::kCode, 0x01, 0, 0, 4});
  StartSim(std::move(options));
  const fs::path image = home_.path() / "RB31VV30.bin";
  std::string bytes = "RB310VER=R310V300";
  bytes.append(2000, '\x42');
  zk::test::WriteAll(image, zk::test::Bytes(bytes.begin(), bytes.end()));
  const fs::path previous = fs::current_path();
  fs::current_path(home_.path());

  CUpgradeDownload::Request request;
  request.kind = 2;
  request.imagePath = image.string();
  request.efsLocation = (home_.path() / "efs").string();
  request.portIndex = kPortIndex;
  const int result = g_upgradeDownload.Run(request);
  g_commonProcess.ShowError(result);  // the export's error path
  fs::current_path(previous);

  EXPECT_EQ(result / 1000, 113) << result;
  EXPECT_EQ(std::count(ui_.messages.begin(), ui_.messages.end(), std::string(zk::operations::kRebootMessage)), 3);
  int backups = 0;
  for (const auto& entry : fs::directory_iterator(home_.path())) backups += entry.path().extension() == ".bak";
  EXPECT_EQ(backups, 1);
}

}  // namespace
