// What a long wait shows while it lasts and what it leaves behind: the
// status line while the link retries a silent handset, the failure note of
// the step that gave up, and the handset (ESN, software version) seen on the
// way.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/library_objects.h"
#include "platform/library_state.h"
#include "services/diag_codes.h"
#include "services/download_codes.h"
#include "sim_link_fixture.h"
#include "support/byte_files.h"
#include "zkdownload/zkdownload.h"

namespace {

namespace fs = std::filesystem;
using rb310::FaultRule;
using zk::test::DropCode;
using zk::test::Faults;
using zk::test::SimLinkTest;

class WaitNotices : public SimLinkTest {
 protected:
  void SetUp() override {
    SimLinkTest::SetUp();
    fs::create_directories(home_.path() / "lib");
    ASSERT_TRUE(g_passPara.SetLibraryPath((home_.path() / "lib" / "libzkdownload.so").string()));
  }

  void TearDown() override {
    SimLinkTest::TearDown();
    zk::platform::RefreshSettings();  // the time scale a test set goes back to the environment's
  }

  rb310::SimOptions Handset() const {
    auto options = Options();
    options.personality.restartDelayMs = 200;
    return options;
  }

  fs::path File(const char* name, std::size_t size) const {
    const fs::path path = home_.path() / name;
    zk::test::WriteAll(path, zk::test::PseudoRandomBytes(size, 5));
    return path;
  }

  int Emergency() {
    return g_emergency.Run(0, "", "", File("main.bin", 5000).c_str(), 0, kPortIndex, 0, 0, -1);
  }
  int PrlWrite() {
    return g_prlDown.Write(0, "", "", File("list.prl", 100).c_str(), 0, kPortIndex, 0, 0, -1);
  }

  std::vector<std::string> StatusesStartingWith(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const auto& text : ui_.statusTexts)
      if (text.rfind(prefix, 0) == 0) found.push_back(text);
    return found;
  }

  static std::string Note() {
    char text[256] = {};
    return GetWaitNote_Interface(text, sizeof(text)) == 1 ? std::string(text) : std::string("(none)");
  }
};

// A handset in its AT personality never answers the downloader: every try
// after the first is counted on the status line, and the note names the
// request left unanswered.
TEST_F(WaitNotices, EmergencyOnAHandsetOutsideItsDownloaderCountsTheTries) {
  auto options = Handset();
  options.line.friendly = "RB310 CDMA USB Modem (COM5)";  // no rate change: initialize goes first
  StartSim(options);
  zk::platform::SetTimeScale(0.005);  // ten silent tries of 30 s each
  EXPECT_EQ(Emergency(), 602000 + static_cast<int>(zk::flash::DownloadResult::kInitializeFailed));

  std::vector<std::string> expected;
  for (int attempt = 2; attempt <= 10; ++attempt)
    expected.push_back("Waiting for the downloader ... (try " + std::to_string(attempt) + " of 10)");
  EXPECT_EQ(StatusesStartingWith("Waiting for the downloader"), expected);
  EXPECT_EQ(Note(), "the handset did not answer the downloader's initialize request (10 tries)");
}

// On a physical line the rate change goes first and is the one left unanswered.
TEST_F(WaitNotices, EmergencyOnAPhysicalLineNamesTheRateChange) {
  StartSim(Handset());
  zk::platform::SetTimeScale(0.005);  // ten silent tries of 30 s each
  EXPECT_EQ(Emergency(), 602000 + static_cast<int>(zk::flash::DownloadResult::kEnterDownloaderFailed));
  EXPECT_EQ(StatusesStartingWith("Waiting for the downloader").size(), 9u);
  EXPECT_EQ(Note(), "the handset did not answer the downloader's rate change request (10 tries)");
}

// A handset that stops answering PRL writes: before the second try the line
// says for how long it has been silent (a 40 s time-out), and the note
// names the block.
TEST_F(WaitNotices, SilentHandsetDuringAPrlWriteIsShownWithItsSilence) {
  auto options = Handset();
  options.faults = Faults({DropCode(rb310::diag::kPrlWrite)});
  StartSim(options);
  EXPECT_EQ(PrlWrite(), 405043);

  const auto notices = StatusesStartingWith("No answer from the handset for ");
  ASSERT_EQ(notices.size(), 1u);
  const int seconds = std::atoi(notices[0].c_str() + std::string("No answer from the handset for ").size());
  EXPECT_GE(seconds, 40);
  EXPECT_LT(seconds, 60);
  EXPECT_NE(notices[0].find(" s ... (try 2 of 2)"), std::string::npos) << notices[0];
  EXPECT_EQ(Note(), "the handset did not answer PRL write block 1 (2 tries)");
}

// One lost answer in the middle of a burn: the retry is shown, then the
// burn's own status comes back; a run that succeeds notes nothing.
TEST_F(WaitNotices, AnsweredRetryPutsTheStatusBack) {
  auto options = Handset();
  options.personality.startInDownloader = true;
  options.faults = Faults({FaultRule{FaultRule::Action::kDrop, FaultRule::Match::kCode, rb310::dl::kWrite, 1, 0, 1}});
  StartSim(options);
  EXPECT_EQ(Emergency(), 1);

  const auto& statuses = ui_.statusTexts;
  const auto notice = std::find(statuses.begin(), statuses.end(), "Waiting for the downloader ... (try 2 of 10)");
  ASSERT_NE(notice, statuses.end());
  ASSERT_NE(notice + 1, statuses.end());
  EXPECT_EQ(*(notice + 1), "Burning ...");
  EXPECT_EQ(Note(), "(none)");
}

// Mode entry keeps the ESN of the handset's ESN answers; the version request
// its software version.
TEST_F(WaitNotices, ModeEntryKeepsTheHandsetSeen) {
  unsigned int esn = 1;
  char version[16] = "x";
  EXPECT_EQ(GetHandsetSeen_Interface(&esn, version, sizeof(version)), 0);
  EXPECT_EQ(esn, 0u);
  EXPECT_STREQ(version, "");

  StartSim(Handset());
  ASSERT_EQ(g_diagLink.EnterDiagMode(kPortIndex), kDiagModeEntered);
  EXPECT_EQ(GetHandsetSeen_Interface(&esn, version, sizeof(version)), 1);
  EXPECT_EQ(esn, 0x9F3A2C41u);
  EXPECT_STREQ(version, "R310V105");
  char tiny[4] = {};
  EXPECT_EQ(GetHandsetSeen_Interface(nullptr, tiny, sizeof(tiny)), 1);
  EXPECT_STREQ(tiny, "R31");
}

}  // namespace
