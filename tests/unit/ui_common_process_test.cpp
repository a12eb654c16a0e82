// CCommonProcess: the progress window operations, silent mode, the error and
// end dialogs, the error report on disk and the error-sending tool.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/recording_ui.h"
#include "ui/common_process.h"
#include "ui/host_callback_ui.h"
#include "ui/progress_texts.h"
#include "ui/silent_mode.h"

namespace {

using zk::test::RecordingUi;
using zk::ui::DialogAnswer;
using zk::ui::ProgressControl;

// A link with a settable port and kind that counts how often its port was
// closed.
class FakeLink : public zk::ui::LinkView {
 public:
  int PortIndex() const override { return port; }
  int OperationKind() const override { return kind; }
  void ClosePort() override { ++closes; }

  int port = 2;  // COM3
  int kind = 0;
  int closes = 0;
};

class CommonProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    process_.SetOperatorUi(&ui_);
    process_.SetLink(&link_);
    zk::ui::SetSilentMode(false);
  }
  void TearDown() override { zk::ui::SetSilentMode(false); }

  RecordingUi ui_;
  FakeLink link_;
  CCommonProcess process_;
};

TEST_F(CommonProcessTest, OpenShowsTheTemplateTextsTiledByPort) {
  process_.OpenProgressWindow();
  EXPECT_TRUE(process_.IsProgressWindowOpen());
  ASSERT_FALSE(ui_.calls.empty());
  EXPECT_EQ(ui_.calls.front(), "open COM3 : Download ... at 487,1");
  EXPECT_EQ(ui_.Count("detail [ ]"), 1);
  EXPECT_EQ(ui_.Count("status [Connecting...]"), 1);
  EXPECT_EQ(ui_.Count("bar 0..100 @0 [  0%  ]"), 1);

  link_.port = 44;
  link_.kind = 2;
  CCommonProcess other;
  other.SetOperatorUi(&ui_);
  other.SetLink(&link_);
  other.OpenProgressWindow();
  EXPECT_EQ(ui_.Count("open COM45 : Download ... centred"), 1);
}

TEST_F(CommonProcessTest, OpeningWhileOpenDoesNothing) {
  process_.OpenProgressWindow();
  process_.SetStatusText("NV Reading...");
  const auto before = ui_.calls.size();
  process_.OpenProgressWindow();
  EXPECT_EQ(ui_.calls.size(), before);
  EXPECT_EQ(ui_.Count("open"), 1);
}

TEST_F(CommonProcessTest, WithoutAWindowEveryUpdateIsIgnored) {
  process_.SetStatusText("NV Reading...");
  process_.SetDetailText("x.bin");
  process_.SetText(CCommonProcess::kFirstAddressId, "0x10");
  process_.SetProgressRange(10);
  process_.StepProgress();
  process_.SetProgressPosition(5);
  process_.UpdateElapsedTime();
  process_.SetAddressMode(true);
  process_.CloseProgressWindow();  // closes the port, no window to close
  EXPECT_TRUE(ui_.calls.empty());
  EXPECT_EQ(process_.m_addressMode, 0);

  process_.OpenProgressWindow();
  process_.CloseProgressWindow();
  ui_.calls.clear();
  process_.StepProgress();
  process_.SetStatusText("after close");
  EXPECT_TRUE(ui_.calls.empty());
}

TEST_F(CommonProcessTest, SilentModeShowsNoWindowAndNoDialogs) {
  zk::ui::SetSilentMode(true);
  process_.OpenProgressWindow();
  EXPECT_FALSE(process_.IsProgressWindowOpen());
  process_.SetStatusText("NV Reading...");
  process_.SetProgressRange(100);
  process_.StepProgress();
  process_.UpdateElapsedTime();
  process_.m_nvBackupPending = 1;
  int saved = 0;
  process_.SetPendingNvBackupSaver([&] { ++saved; });
  process_.ShowError(102002);
  EXPECT_EQ(process_.RunEndDialog(), DialogAnswer::End);
  EXPECT_TRUE(ui_.calls.empty());
  EXPECT_EQ(saved, 0);  // no NV backup file in silent mode
  EXPECT_EQ(process_.m_nvBackupPending, 1);

  // Message boxes are the one thing silent mode still shows.
  process_.ShowMessage("Write Nv Error #2");
  EXPECT_EQ(ui_.calls, std::vector<std::string>{"message [Write Nv Error #2]"});
}

// A host's callback follows silent operations' progress (never their error
// dialog) and answers dialogs by number; an answer the buttons do not offer
// takes the default.
TEST_F(CommonProcessTest, HostCallbackFollowsSilentProgressAndAnswersByNumber) {
  using zk::ui::HostAnswer;
  using zk::ui::HostEventType;
  using zk::ui::MessageAnswer;
  using zk::ui::MessageButtons;
  std::vector<HostEventType> seen;
  int answer = 0;
  zk::ui::HostCallbackUi host([&](const zk::ui::HostEvent& event, std::optional<std::string>*) {
    seen.push_back(event.type);
    return answer;
  });
  process_.SetOperatorUi(&host);
  zk::ui::SetSilentMode(true);
  process_.OpenProgressWindow();
  process_.SetProgressRange(10);
  process_.StepProgress();
  process_.ShowError(405043);
  EXPECT_EQ(process_.RunEndDialog(), DialogAnswer::End);
  process_.CloseProgressWindow();
  EXPECT_EQ(std::count(seen.begin(), seen.end(), HostEventType::ErrorDialog), 0);
  EXPECT_EQ(std::count(seen.begin(), seen.end(), HostEventType::ProgressOpen), 1);
  EXPECT_EQ(std::count(seen.begin(), seen.end(), HostEventType::ProgressClose), 1);
  EXPECT_GE(std::count(seen.begin(), seen.end(), HostEventType::ProgressBar), 2);

  struct Case {
    MessageButtons buttons;
    HostAnswer given;
    MessageAnswer expected;
  } const cases[] = {
      {MessageButtons::YesNo, HostAnswer::No, MessageAnswer::No},
      {MessageButtons::YesNo, HostAnswer::Default, MessageAnswer::Yes},
      {MessageButtons::YesNo, HostAnswer::Ok, MessageAnswer::Yes},  // not offered: default
      {MessageButtons::OkCancel, HostAnswer::Cancel, MessageAnswer::Cancel},
      {MessageButtons::Ok, HostAnswer::Cancel, MessageAnswer::Ok},
  };
  for (const Case& c : cases) {
    answer = static_cast<int>(c.given);
    EXPECT_EQ(process_.AskMessage("?", c.buttons), c.expected) << static_cast<int>(c.given);
  }
  zk::ui::SetSilentMode(false);
  answer = static_cast<int>(HostAnswer::Ok);
  EXPECT_EQ(process_.RunEndDialog(), DialogAnswer::Ok);
  answer = static_cast<int>(HostAnswer::Closed);
  EXPECT_EQ(host.ShowErrorDialog({}), DialogAnswer::Closed);
}

TEST_F(CommonProcessTest, UnchangedValuesAreNotRedrawn) {
  process_.OpenProgressWindow();
  ui_.calls.clear();
  process_.SetStatusText("NV Reading...");
  process_.SetStatusText("NV Reading...");
  process_.SetDetailText("NV_ESN_I");
  process_.SetDetailText("NV_ESN_I");
  EXPECT_EQ(ui_.calls, (std::vector<std::string>{"status [NV Reading...]", "detail [NV_ESN_I]"}));

  ui_.calls.clear();
  process_.SetProgressPosition(40);
  process_.SetProgressPosition(40);
  EXPECT_EQ(ui_.calls, (std::vector<std::string>{"bar 0..100 @40 [  40%  ]"}));
}

TEST_F(CommonProcessTest, SteppingAcrossARangeRedrawsOnlyWhenTheBarMoves) {
  process_.OpenProgressWindow();
  process_.SetProgressRange(514);
  ui_.calls.clear();
  for (int i = 0; i < 514; ++i) process_.StepProgress();
  // One redraw per visible change at most, never one per step; every
  // percentage from 0 to 100 is drawn.
  EXPECT_LE(ui_.Count("bar"), zk::ui::kBarFillUnits);
  std::set<std::string> percents;
  for (const auto& call : ui_.calls) percents.insert(call.substr(call.find('[')));
  EXPECT_EQ(percents.size(), 101u);
  EXPECT_EQ(ui_.calls.back(), "bar 0..514 @514 [  100%  ]");

  ui_.calls.clear();
  for (int i = 0; i < 5; ++i) process_.StepProgress();
  EXPECT_TRUE(ui_.calls.empty());  // stepping past the end still shows 100%
}

TEST_F(CommonProcessTest, EmptyRangeDoesNotFail) {
  process_.OpenProgressWindow();
  process_.SetProgressRange(0);
  process_.StepProgress();
  process_.SetProgressPosition(3);
  EXPECT_EQ(ui_.Count("bar"), 1);  // the empty bar of the open stays as it is
}

TEST_F(CommonProcessTest, ElapsedTimeIsShownAndKeptForTheEndDialog) {
  process_.OpenProgressWindow();
  ui_.calls.clear();
  process_.UpdateElapsedTime();
  ASSERT_EQ(ui_.calls.size(), 1u);
  EXPECT_TRUE(std::regex_match(ui_.calls[0], std::regex(R"(elapsed \[\d\d:\d\d\.\d Sec\])"))) << ui_.calls[0];
  EXPECT_EQ(ui_.calls[0], "elapsed [" + process_.m_elapsedText + "]");
  EXPECT_GE(process_.m_currentTick, process_.m_startTick);
  process_.UpdateElapsedTime();  // within the same tenth: nothing new to draw
  EXPECT_LE(ui_.Count("elapsed"), 2);

  process_.CloseProgressWindow();
  ui_.endAnswer = DialogAnswer::Ok;
  EXPECT_EQ(process_.RunEndDialog(), DialogAnswer::Ok);
  EXPECT_EQ(ui_.calls.back(), "end Success Download - COM3 " + process_.m_elapsedText + " at 487,1");
  EXPECT_EQ(ui_.Count("beep 500/100"), 3);

  ui_.endAnswer = DialogAnswer::Closed;  // closed any other way: stop like END
  EXPECT_EQ(process_.RunEndDialog(), DialogAnswer::End);
  link_.kind = 3;
  process_.RunEndDialog();
  EXPECT_EQ(ui_.calls.back(), "end Success Download - COM3 " + process_.m_elapsedText + " kept");
}

TEST_F(CommonProcessTest, AddressModeShowsAndClearsTheAddressRow) {
  process_.OpenProgressWindow();
  EXPECT_EQ(ui_.Count("first [00000000]"), 1);
  ui_.calls.clear();
  process_.SetAddressMode(true);
  process_.SetText(CCommonProcess::kFirstAddressId, "0x2000");
  process_.SetText(CCommonProcess::kSecondAddressId, "0x1FFFFF");
  process_.SetAddressMode(true);
  EXPECT_EQ(process_.m_addressMode, 1);
  process_.SetAddressMode(false);
  EXPECT_EQ(process_.m_addressMode, 0);
  EXPECT_EQ(ui_.calls, (std::vector<std::string>{"address on", "first [0x2000]", "second [0x1FFFFF]",
                                                 "address off", "first []", "second []"}));
}

TEST_F(CommonProcessTest, CloseAlsoClosesThePortEvenInSilentMode) {
  process_.OpenProgressWindow();
  process_.CloseProgressWindow();
  EXPECT_EQ(link_.closes, 1);
  EXPECT_EQ(ui_.Count("close"), 1);

  zk::ui::SetSilentMode(true);
  process_.CloseProgressWindow();
  EXPECT_EQ(link_.closes, 2);
}

TEST_F(CommonProcessTest, CompletionMessage) {
  process_.ShowCompleted();
  EXPECT_EQ(ui_.calls, std::vector<std::string>{"message [Successfully Completed!]"});
}

}  // namespace
