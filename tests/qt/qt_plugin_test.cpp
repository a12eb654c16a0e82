// The plugin as the library loads it: the real libzkdownload-qt.so through
// dlopen, its interface version checked first; and the fallback notice when
// the Qt interface cannot be had.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <dlfcn.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "support/temp_home.h"
#include "ui/common_process.h"
#include "ui/qt/display_probe.h"
#include "ui/qt_plugin_loader.h"
#include "ui/ui_selection.h"

namespace {

using zk::ui::kQtPluginInterfaceVersion;
using zk::ui::LoadQtPlugin;
using zk::ui::QtPluginHost;

TEST(QtPlugin, AnotherInterfaceVersionIsRefusedWithItsReason) {
  const zk::ui::QtPluginLoad refused = LoadQtPlugin(ZK_QT_PLUGIN_FILE, QtPluginHost{}, kQtPluginInterfaceVersion + 1);
  EXPECT_EQ(refused.ui, nullptr);
  EXPECT_NE(refused.error.find("has interface version " + std::to_string(kQtPluginInterfaceVersion) +
                               ", this library needs " + std::to_string(kQtPluginInterfaceVersion + 1)),
            std::string::npos)
      << refused.error;

  // The plugin's own factory refuses a version it was not built for.
  void* handle = dlopen(ZK_QT_PLUGIN_FILE, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(handle, nullptr);
  const auto create = reinterpret_cast<zk::ui::QtPluginCreateFunction>(dlsym(handle, zk::ui::kQtPluginCreateSymbol));
  ASSERT_NE(create, nullptr);
  std::string error;
  EXPECT_EQ(create(kQtPluginInterfaceVersion + 1, nullptr, &error), nullptr);
  EXPECT_NE(error.find("interface version"), std::string::npos);

  const zk::ui::QtPluginLoad missing = LoadQtPlugin("/nonexistent/libzkdownload-qt.so", QtPluginHost{});
  EXPECT_EQ(missing.ui, nullptr);
  EXPECT_NE(missing.error.find("cannot load /nonexistent/libzkdownload-qt.so"), std::string::npos);
}

TEST(QtPlugin, LoadedInterfaceShowsWindowsAndTakesScriptedAnswers) {
  QtPluginHost host;
  host.endDialogAnswer = [] { return std::optional<zk::ui::DialogAnswer>(zk::ui::DialogAnswer::Ok); };
  const zk::ui::QtPluginLoad load = LoadQtPlugin(ZK_QT_PLUGIN_FILE, host);
  ASSERT_NE(load.ui, nullptr) << load.error;
  zk::ui::ProgressWindowView view;
  view.caption = "COM1 : Download ...";
  load.ui->OpenProgress(view);
  load.ui->CloseProgress();
  // Shown for a moment, then answered as scripted.
  EXPECT_EQ(load.ui->ShowEndDialog(zk::ui::EndDialogView{}), zk::ui::DialogAnswer::Ok);
}

TEST(QtPlugin, MissingPluginFallsBackAndSaysSoOnce) {
  // This test program's folder holds no plugin: the library would look there.
  zk::test::ScopedEnv ui("ZKDOWNLOAD_UI", "qt");
  zk::ui::UiSelection selection;
  CCommonProcess process;
  zk::platform::Settings settings;
  settings.uiSetting = "qt";
  settings.displayAvailable = true;
  testing::internal::CaptureStderr();
  EXPECT_EQ(selection.Install(settings, process), zk::ui::UiKind::Console);
  EXPECT_EQ(selection.Install(settings, process), zk::ui::UiKind::Console);
  const std::string said = testing::internal::GetCapturedStderr();
  const std::string notice = "Qt interface unavailable";
  ASSERT_NE(said.find(notice), std::string::npos) << said;
  EXPECT_EQ(said.find(notice, said.find(notice) + 1), std::string::npos) << said;
  process.SetOperatorUi(nullptr);
}

}  // namespace

namespace {

TEST(QtPlugin, DisplayProbeFindsOnlyAnAnsweringXServer) {
  // Display 5999 on the loopback: TCP port 11999, opened here for the test.
  const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  ASSERT_GE(listener, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(11999);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const int one = 1;
  setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener, 1) != 0) {
    close(listener);
    GTEST_SKIP() << "port 11999 is taken";
  }
  // The loopback by name and by number; 127.0.0.2 stands for another host.
  EXPECT_TRUE(zk::ui::qt::XDisplayReachable("localhost:5999.0"));
  EXPECT_TRUE(zk::ui::qt::XDisplayReachable("127.0.0.1:5999"));
  EXPECT_FALSE(zk::ui::qt::XDisplayReachable("127.0.0.2:5999"));
  close(listener);
  EXPECT_FALSE(zk::ui::qt::XDisplayReachable("localhost:5999.0"));
  for (const char* display : {":5998", "unix:5998.0", "", "garbage", ":x"})
    EXPECT_FALSE(zk::ui::qt::XDisplayReachable(display)) << display;
}

}  // namespace
