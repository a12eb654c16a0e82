// The library's state as the exports see it: one operation export at a time,
// settings read at the start of each exported call, and ResetLibraryState.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "boundary/export_forms.h"
#include "boundary/library_link.h"
#include "platform/paths.h"
#include "support/library_objects.h"
#include "support/recording_ui.h"
#include "support/temp_home.h"
#include "zkdownload/zkdownload.h"

namespace {

namespace fs = std::filesystem;

class LibraryState : public ::testing::Test {
 protected:
  void SetUp() override { zk::boundary::ResetLibraryState(); }
  void TearDown() override { zk::boundary::ResetLibraryState(); }
};

TEST_F(LibraryState, AnOperationExportEnteredWhileAnotherRunsIsRefusedAndTouchesNothing) {
  zk::test::TempHome home;
  int cell = -5;
  g_passPara.m_mode = 1;
  g_passPara.m_resultCell = &cell;
  g_runState.lastFlowResult = 405043;
  {
    const zk::boundary::OperationExport running(false);
    ASSERT_FALSE(running.Refused());
    g_runState.lastFlowResult = 405043;  // the running operation's result so far
    // From this thread (an operator interface handling events) and from another.
    EXPECT_EQ(PRLRead_Interface(2, "", "", (home.path() / "x.prl").c_str(), 0, 1), 0);
    int fromThread = -1;
    std::thread other([&] { fromThread = Upgrade_Interface(2, 0, "", "", "", "", 0, "", 0, 1); });
    other.join();
    EXPECT_EQ(fromThread, 0);
    EXPECT_EQ(g_runState.lastFlowResult.load(), 405043);
    EXPECT_EQ(cell, -5);
    EXPECT_FALSE(fs::exists(home.path() / "x.prl"));
  }
  // Once it has returned, the next one runs (and fails on its missing image).
  constexpr int kImageUnreadable = 119020;
  EXPECT_EQ(Upgrade_Interface(2, 0, "", "", "", "", 0, "", 0, 1), 0);
  EXPECT_EQ(GetLastResult_Interface(), kImageUnreadable);
  EXPECT_EQ(cell, kImageUnreadable);
}

TEST_F(LibraryState, APortErrorIsReportedUntilTheNextOperationStarts) {
  zk::test::TempHome home;  // an empty port map: COM9 does not exist
  ASSERT_EQ(g_diagLink.m_comm.CommOpen(static_cast<COMM_PORT>(8), 38400), 0);
  char text[256] = {};
  EXPECT_EQ(GetPortError_Interface(text, sizeof(text)), ENOENT);
  EXPECT_EQ(std::string(text).rfind("COM9 (" + (home.PortsDir() / "COM9").string() + ") does not exist", 0), 0u)
      << text;
  char tiny[5] = {'x', 'x', 'x', 'x', 'x'};
  GetPortError_Interface(tiny, sizeof(tiny));
  EXPECT_STREQ(tiny, "COM9");  // cut to fit, always terminated

  EXPECT_EQ(Upgrade_Interface(2, 0, "", "", "", "", 0, "", 0, 1), 0);  // an operation that opens no port
  EXPECT_EQ(GetPortError_Interface(text, sizeof(text)), 0);
  EXPECT_STREQ(text, "");
}

TEST_F(LibraryState, AFailureNoteIsReportedUntilTheNextOperationStarts) {
  zk::test::TempHome home;
  char text[128] = {'x'};
  EXPECT_EQ(GetFailureNote_Interface(text, sizeof(text)), 0);
  EXPECT_STREQ(text, "");

  g_diagLink.m_spcRefused = true;  // as the unlock records a refused code
  EXPECT_EQ(GetFailureNote_Interface(text, sizeof(text)), 1);
  EXPECT_STREQ(text, "the handset refused the service programming code");
  EXPECT_EQ(g_libraryLink.GatherFailureContext().note, text);
  char tiny[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(GetFailureNote_Interface(tiny, sizeof(tiny)), 1);
  EXPECT_STREQ(tiny, "the");
  EXPECT_EQ(GetFailureNote_Interface(nullptr, 0), 1);

  EXPECT_EQ(Upgrade_Interface(2, 0, "", "", "", "", 0, "", 0, 1), 0);  // the next operation
  EXPECT_EQ(GetFailureNote_Interface(text, sizeof(text)), 0);
  EXPECT_STREQ(text, "");
}

TEST_F(LibraryState, SettingsAreReadAtTheStartOfEachExportedCall) {
  zk::test::TempDir first, second;
  const fs::path trace = first.path() / "wire.txt";
  setenv("ZKDOWNLOAD_HOME", first.path().c_str(), 1);
  setenv("ZKDOWNLOAD_TRACE", trace.c_str(), 1);
  std::vector<ZKPortInfo> ports(4);
  EnumeratePorts_Interface(ports.data(), 4);
  EXPECT_EQ(zk::platform::CurrentSettings().home, first.path());

  // A change the library has not been called since is not seen deep inside.
  setenv("ZKDOWNLOAD_HOME", second.path().c_str(), 1);
  EXPECT_EQ(zk::platform::Home(), first.path());
  g_wireTrace.Note("seen");
  EnumeratePorts_Interface(ports.data(), 4);
  EXPECT_EQ(zk::platform::Home(), second.path());
  unsetenv("ZKDOWNLOAD_HOME");
  unsetenv("ZKDOWNLOAD_TRACE");
  EnumeratePorts_Interface(ports.data(), 4);
  g_wireTrace.Note("not seen");

  std::ifstream in(trace);
  const std::string text(std::istreambuf_iterator<char>(in), {});
  EXPECT_NE(text.find("NOTE seen"), std::string::npos);
  EXPECT_EQ(text.find("not seen"), std::string::npos);
}

TEST_F(LibraryState, ResetPutsEverythingBackAsLoaded) {
  const std::string loadedPath = zk::platform::LibraryPathBuffer();
  zk::test::RecordingUi ui;
  int cell = 0;
  fnPassPara_Interface(1, &cell, nullptr, 0, 0, nullptr, nullptr, nullptr, "", "", "", "/fb", "/elsewhere/lib.so", 8,
                       0, 0x3A);
  g_commonProcess.SetOperatorUi(&ui);
  g_commonProcess.OpenProgressWindow();
  g_runState = {3, 1, 1, true, 405043, g_runState.nvEditorOption, "a note"};
  g_commonProcess.m_nvBackupPending = 1;
  g_diagLink.SetLinkParams(2, 7, 1, 2, 3);
  g_diagLink.SetSpcCode("123456");
  g_diagLink.m_downloadMode = 1;
  g_diagLink.m_esn = 0x12345678;
  g_diagLink.m_esnRead = true;
  g_dlCommon.m_skipOffline = true;
  g_dlCommon.m_mainLoaded = true;
  g_packetProcess.m_keysEnabled = 1;
  ASSERT_TRUE(zk::platform::TryBeginOperation());

  zk::boundary::ResetLibraryState();
  EXPECT_EQ(g_passPara.m_mode, 0);
  EXPECT_EQ(g_passPara.m_resultCell, nullptr);
  EXPECT_EQ(zk::platform::LibraryPathBuffer(), loadedPath);
  EXPECT_EQ(g_runState.operationKind, 0);
  EXPECT_EQ(g_runState.repeatFlag, 0);
  EXPECT_FALSE(g_runState.silent);
  EXPECT_EQ(g_runState.lastFlowResult.load(), 0);
  EXPECT_EQ(g_runState.failureNote, "");
  EXPECT_FALSE(g_commonProcess.IsProgressWindowOpen());
  EXPECT_EQ(ui.Count("close"), 1);
  EXPECT_NE(&g_commonProcess.Ui(), &ui);
  EXPECT_EQ(g_commonProcess.m_nvBackupPending, 0);
  EXPECT_EQ(g_diagLink.m_portIndex, 0);
  EXPECT_STREQ(g_diagLink.m_spcCode, "");
  EXPECT_EQ(g_diagLink.m_downloadMode, 0);
  EXPECT_FALSE(g_diagLink.m_esnRead);
  EXPECT_EQ(g_diagLink.m_esn, 0u);
  EXPECT_FALSE(g_dlCommon.m_skipOffline);
  EXPECT_FALSE(g_dlCommon.m_mainLoaded);
  EXPECT_EQ(g_packetProcess.m_keysEnabled, 0);
  EXPECT_FALSE(zk::platform::OperationRunning());
}

}  // namespace
