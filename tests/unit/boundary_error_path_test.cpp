// The error path of the progress window with the library's own link: the
// error login file on disk, the real error-sending tool, closing the real
// port, and the result cell a host registered.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "boundary/export_forms.h"
#include "platform/port_map.h"
#include "support/library_objects.h"
#include "support/pty_peer.h"
#include "support/recording_ui.h"
#include "support/temp_home.h"
#include "ui/error_sending.h"

namespace {

namespace fs = std::filesystem;
using zk::test::RecordingUi;
using zk::ui::DialogAnswer;

class CommonProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    zk::boundary::ResetLibraryState();
    process_.SetOperatorUi(&ui_);
    process_.SetLink(&g_libraryLink);
    g_diagLink.m_portIndex = 2;  // COM3
  }
  void TearDown() override { zk::boundary::ResetLibraryState(); }

  RecordingUi ui_;
  CCommonProcess process_;
};

TEST_F(CommonProcessTest, CloseAlsoClosesTheLinksPortEvenInSilentMode) {
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
  EXPECT_EQ(zk::ui::ErrorSendArgument(2, "RB310"), argument);
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
  using zk::boundary::ReportingResult;
  g_commonProcess.SetOperatorUi(&ui_);
  ui_.errorAnswer = DialogAnswer::Closed;
  EXPECT_EQ(ReportingResult(1), 1);
  EXPECT_EQ(ReportingResult(405041), 0);  // no result cell: the dialog
  EXPECT_EQ(ui_.Count("error "), 1);

  int cell = -7;
  g_passPara.m_mode = 1;
  g_passPara.m_resultCell = &cell;
  ui_.calls.clear();
  EXPECT_EQ(ReportingResult(405041), 0);
  EXPECT_EQ(cell, 405041);
  EXPECT_EQ(ReportingResult(1), 1);
  EXPECT_EQ(cell, 1);
  EXPECT_TRUE(ui_.calls.empty());
  EXPECT_FALSE(fs::exists(Written()));
}

}  // namespace
