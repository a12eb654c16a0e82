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

#include "boundary/globals.h"
#include "platform/port_map.h"
#include "support/pty_peer.h"
#include "support/temp_home.h"
#include "ui/common_process.h"
#include "ui/error_sending.h"
#include "ui/progress_texts.h"
#include "ui/silent_mode.h"

namespace {

namespace fs = std::filesystem;
using zk::ui::DialogAnswer;
using zk::ui::ProgressControl;

const char* ControlName(ProgressControl control) {
  switch (control) {
    case ProgressControl::Status: return "status";
    case ProgressControl::Detail: return "detail";
    case ProgressControl::Elapsed: return "elapsed";
    case ProgressControl::FirstAddress: return "first";
    case ProgressControl::SecondAddress: return "second";
  }
  return "?";
}

// Writes down every call the core makes, and answers the dialogs as told.
class RecordingUi : public zk::ui::OperatorUi {
 public:
  void OpenProgress(const zk::ui::ProgressWindowView& view) override {
    calls.push_back("open " + view.caption + " " + Placement(view.placement));
  }
  void CloseProgress() override { calls.push_back("close"); }
  void SetProgressText(ProgressControl control, const std::string& text) override {
    calls.push_back(std::string(ControlName(control)) + " [" + text + "]");
  }
  void SetProgressBar(int low, int high, int position, const std::string& percent) override {
    calls.push_back("bar " + std::to_string(low) + ".." + std::to_string(high) + " @" + std::to_string(position) +
                    " [" + percent + "]");
  }
  void SetAddressMode(bool on) override { calls.push_back(on ? "address on" : "address off"); }
  zk::ui::MessageAnswer ShowMessage(const std::string& text, zk::ui::MessageButtons) override {
    calls.push_back("message [" + text + "]");
    return zk::ui::MessageAnswer::Ok;
  }
  DialogAnswer ShowErrorDialog(const zk::ui::ErrorDialogView& view) override {
    calls.push_back("error " + view.caption + " " + Placement(view.placement));
    lastError = view;
    return errorAnswer;
  }
  DialogAnswer ShowEndDialog(const zk::ui::EndDialogView& view) override {
    calls.push_back("end " + view.caption + " " + view.elapsed + " " + Placement(view.placement));
    return endAnswer;
  }
  bool Beep(int hz, int ms) override {
    calls.push_back("beep " + std::to_string(hz) + "/" + std::to_string(ms));
    return false;  // no pauses
  }

  static std::string Placement(const zk::ui::WindowPlacement& placement) {
    switch (placement.mode) {
      case zk::ui::WindowPlacement::Mode::Tiled:
        return "at " + std::to_string(placement.x) + "," + std::to_string(placement.y);
      case zk::ui::WindowPlacement::Mode::Centred: return "centred";
      case zk::ui::WindowPlacement::Mode::Kept: return "kept";
    }
    return "?";
  }

  int Count(const std::string& prefix) const {
    int n = 0;
    for (const auto& call : calls) n += call.rfind(prefix, 0) == 0 ? 1 : 0;
    return n;
  }

  std::vector<std::string> calls;
  zk::ui::ErrorDialogView lastError;
  DialogAnswer errorAnswer = DialogAnswer::Ok;
  DialogAnswer endAnswer = DialogAnswer::End;
};

class CommonProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    zk::ui::InstallUi(&ui_);
    zk::ui::SetSilentMode(false);
    g_diagLink.m_portIndex = 2;  // COM3
    g_diagLink.m_opKind = 0;
  }
  void TearDown() override {
    zk::ui::InstallUi(nullptr);
    zk::ui::SetSilentMode(false);
    g_diagLink.m_portIndex = 0;
    g_diagLink.m_opKind = 0;
  }

  RecordingUi ui_;
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

  g_diagLink.m_portIndex = 44;
  g_diagLink.m_opKind = 2;
  CCommonProcess other;
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
  g_diagLink.m_opKind = 3;
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
  zk::test::TempHome home;
  zk::test::RawPty pty;
  std::error_code error;
  ASSERT_TRUE(zk::platform::LinkPort(1, pty.slavePath(), std::nullopt, error)) << error.message();

  ASSERT_EQ(g_diagLink.m_comm.CommOpen(COM1, 38400), 1);
  process_.OpenProgressWindow();
  process_.CloseProgressWindow();
  EXPECT_EQ(g_diagLink.m_comm.IsOpen(), 0);
  EXPECT_EQ(ui_.Count("close"), 1);

  zk::ui::SetSilentMode(true);
  ASSERT_EQ(g_diagLink.m_comm.CommOpen(COM1, 38400), 1);
  process_.CloseProgressWindow();
  EXPECT_EQ(g_diagLink.m_comm.IsOpen(), 0);
}

TEST_F(CommonProcessTest, CompletionMessage) {
  process_.ShowCompleted();
  EXPECT_EQ(ui_.calls, std::vector<std::string>{"message [Successfully Completed!]"});
}

// --- error path with real files and a real error-sending tool ---------------

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Waits (sleeping) until `path` exists; false after `timeout`.
bool WaitForFile(const fs::path& path, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!fs::exists(path)) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

class ErrorPathTest : public CommonProcessTest {
 protected:
  void SetUp() override {
    CommonProcessTest::SetUp();
    savedLibraryPath_ = g_passPara.m_libraryPath;
    fs::create_directories(home_.path() / "lib");
    ASSERT_TRUE(g_passPara.SetLibraryPath((home_.path() / "lib" / "libzkdownload.so").string()));
    // The error-sending tool: records its argument and the file it was given.
    const fs::path tool = home_.path() / "ErrorSend";
    std::ofstream(tool) << "#!/bin/sh\n"
                           "out=\"$ZKDOWNLOAD_HOME/sent\"\n"
                           "{ printf '%s\\n' \"$1\"; cat \"$1\"; } > \"$out.tmp\" && mv \"$out.tmp\" \"$out\"\n";
    fs::permissions(tool, fs::perms::owner_all);
  }
  void TearDown() override {
    g_passPara.SetLibraryPath(savedLibraryPath_);
    g_passPara.m_mode = 0;
    g_passPara.m_resultCell = nullptr;
    CommonProcessTest::TearDown();
  }

  fs::path Written() const { return home_.path() / "lib" / "error_login_COM3.txt"; }
  fs::path Sent() const { return home_.path() / "sent"; }

  zk::test::TempHome home_;
  std::string savedLibraryPath_;
};

TEST_F(ErrorPathTest, OkWritesTheReportAndStartsTheTool) {
  process_.OpenProgressWindow();
  process_.m_handsetPath = "brew/mod/app.mif";
  process_.ShowError(114028);

  EXPECT_EQ(process_.m_failureCode, 114028);
  EXPECT_FALSE(process_.IsProgressWindowOpen());
  // The window goes before the dialog comes; three tones announce it.
  const auto close = std::find(ui_.calls.begin(), ui_.calls.end(), "close");
  const auto dialog = std::find(ui_.calls.begin(), ui_.calls.end(), "error Error Dialog - COM3 at 487,1");
  ASSERT_NE(close, ui_.calls.end());
  ASSERT_NE(dialog, ui_.calls.end());
  EXPECT_LT(close, dialog);
  EXPECT_EQ(ui_.Count("beep 500/100"), 3);

  EXPECT_EQ(ui_.lastError.portText, "COM3");
  EXPECT_EQ(ui_.lastError.numberText, "114028");
  EXPECT_EQ(ui_.lastError.message,
            "Location : 'EfsWrite' Function in Upgrade\r\n\r\nContents : Can't write 'brew/mod/app.mif' file to EFS.");
  EXPECT_EQ(ui_.lastError.solution, "No response from phone");

  const std::string written = ReadFile(Written());
  EXPECT_EQ(written.rfind("MODEL : RB310\r\n", 0), 0u) << written;
  EXPECT_NE(written.find("Error Message Number : 114028\r\n\r\n" + ui_.lastError.message +
                         "\r\n\r\nNo File Name\r\n\r\nSoftware Version : \r\n\r\nDLL Version : " ZK_VERSION "\r\n"),
            std::string::npos)
      << written;

  ASSERT_TRUE(WaitForFile(Sent(), std::chrono::seconds(10)));
  const fs::path argument = home_.path() / "Model" / "RB310" / "error_login_COM3.txt";
  EXPECT_EQ(zk::ui::ErrorSendArgument(2), argument);
  EXPECT_EQ(ReadFile(Sent()), argument.string() + "\n" + written);
}

TEST_F(ErrorPathTest, ClosingTheDialogOtherwiseWritesNothing) {
  ui_.errorAnswer = DialogAnswer::Closed;
  process_.ShowError(401035);
  EXPECT_EQ(ui_.Count("error "), 1);
  EXPECT_FALSE(fs::exists(Written()));
  EXPECT_FALSE(fs::exists(home_.path() / "Model"));
}

TEST_F(ErrorPathTest, UnknownCodeStillOpensTheDialogAndWritesTheReport) {
  process_.ShowError(999999);
  EXPECT_EQ(ui_.lastError.message, "Location : \r\n\r\nContents : ");
  EXPECT_NE(ReadFile(Written()).find("Error Message Number : 999999\r\n"), std::string::npos);
}

TEST_F(ErrorPathTest, MissingToolIsNotAnError) {
  fs::remove(home_.path() / "ErrorSend");
  process_.ShowError(402002);
  EXPECT_TRUE(fs::exists(Written()));
}

TEST_F(ErrorPathTest, PendingNvBackupIsSavedAfterTheDialog) {
  int saved = 0;
  std::size_t callsWhenSaved = 0;
  process_.SetPendingNvBackupSaver([&] {
    ++saved;
    callsWhenSaved = ui_.calls.size();
  });
  process_.m_nvBackupPending = 1;
  process_.m_secondDownload = 1;
  ui_.errorAnswer = DialogAnswer::Closed;
  process_.ShowError(103007);
  EXPECT_EQ(saved, 1);
  EXPECT_EQ(callsWhenSaved, ui_.calls.size());  // after the dialog
  EXPECT_EQ(process_.m_nvBackupPending, 0);
  EXPECT_EQ(process_.m_secondDownload, 0);

  process_.ShowError(103007);  // nothing pending any more
  EXPECT_EQ(saved, 1);
}

TEST_F(ErrorPathTest, RegisteredResultCellTakesTheCodeInsteadOfTheDialog) {
  ui_.errorAnswer = DialogAnswer::Closed;
  EXPECT_EQ(process_.ReportResult(1), 1);
  EXPECT_EQ(process_.ReportResult(405041), 0);  // no result cell: the dialog
  EXPECT_EQ(ui_.Count("error "), 1);

  int cell = -7;
  g_passPara.m_mode = 1;
  g_passPara.m_resultCell = &cell;
  ui_.calls.clear();
  EXPECT_EQ(process_.ReportResult(405041), 0);
  EXPECT_EQ(cell, 405041);
  EXPECT_EQ(process_.ReportResult(1), 1);
  EXPECT_EQ(cell, 1);
  EXPECT_TRUE(ui_.calls.empty());
  EXPECT_FALSE(fs::exists(Written()));
}

}  // namespace
