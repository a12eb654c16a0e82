// The plugin as the library loads it: the real libzkdownload-qt.so through
// dlopen, its interface version checked first; and the fallback notice when
// the Qt interface cannot be had.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <dlfcn.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <utility>

#include "support/command_run.h"
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

// A listening socket that stands for a display server, closed with the object.
class Listener {
 public:
  // Display `number` on the loopback: TCP port 6000 + number.
  static Listener OnLoopback(int number) {
    Listener listener(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(6000 + number));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const int one = 1;
    setsockopt(listener.fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    listener.Listen(reinterpret_cast<sockaddr*>(&address), sizeof address);
    return listener;
  }
  static Listener AtPath(const std::string& path) {
    Listener listener(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    listener.Listen(reinterpret_cast<sockaddr*>(&address), sizeof address);
    return listener;
  }
  Listener(Listener&& other) noexcept : fd_(std::exchange(other.fd_, -1)), listening_(other.listening_) {}
  ~Listener() { Close(); }
  bool listening() const { return listening_; }
  void Close() {
    if (fd_ >= 0) close(std::exchange(fd_, -1));
  }

 private:
  explicit Listener(int fd) : fd_(fd) {}
  void Listen(const sockaddr* address, socklen_t length) {
    listening_ = fd_ >= 0 && bind(fd_, address, length) == 0 && listen(fd_, 4) == 0;
  }
  int fd_;
  bool listening_ = false;
};

TEST(QtPlugin, DisplayProbeFindsOnlyAnAnsweringXServer) {
  Listener x = Listener::OnLoopback(5999);
  if (!x.listening()) GTEST_SKIP() << "port 11999 is taken";
  // The loopback by name and by number; 127.0.0.2 stands for another host.
  EXPECT_TRUE(zk::ui::qt::XDisplayReachable("localhost:5999.0"));
  EXPECT_TRUE(zk::ui::qt::XDisplayReachable("127.0.0.1:5999"));
  EXPECT_FALSE(zk::ui::qt::XDisplayReachable("127.0.0.2:5999"));
  x.Close();
  EXPECT_FALSE(zk::ui::qt::XDisplayReachable("localhost:5999.0"));
  for (const char* display : {":5998", "unix:5998.0", "", "garbage", ":x"})
    EXPECT_FALSE(zk::ui::qt::XDisplayReachable(display)) << display;
}

TEST(QtPlugin, PlatformChosenOnlyWhereItsDisplayAnswers) {
  const zk::test::TempDir runtime("zk-wayland");
  Listener wayland = Listener::AtPath((runtime.path() / "wayland-7").string());
  Listener x = Listener::OnLoopback(5999);
  ASSERT_TRUE(wayland.listening());
  if (!x.listening()) GTEST_SKIP() << "port 11999 is taken";
  const std::string dir = runtime.path().string();
  const std::string socketPath = dir + "/wayland-7";

  struct Row {
    zk::ui::qt::DisplayEnvironment environment;
    bool usable;
    const char* platform;
    std::string problem;  // the whole text when not usable
  };
  const Row rows[] = {
      {{"", "localhost:5999", "wayland-7", dir, true}, true, "xcb", ""},
      {{"", ":5998", "wayland-7", dir, true}, true, "wayland", ""},
      {{"", "", socketPath, "", true}, true, "wayland", ""},
      {{"", ":5998", "wayland-7", dir, false},
       false, "",
       "no display answers (the X display \":5998\" does not answer; Qt's Wayland platform plugin is not "
       "installed)"},
      {{"", "", "wayland-99", dir, true},
       false, "",
       "no display answers (DISPLAY is not set; the Wayland display \"wayland-99\" does not answer)"},
      {{"", "", "", "", true}, false, "", "no display answers (DISPLAY is not set; WAYLAND_DISPLAY is not set)"},
      // Named outright: it stands when one of its platforms can start.
      {{"offscreen", "", "", "", false}, true, "", ""},
      {{"xcb;offscreen", ":5998", "", "", false}, true, "", ""},
      {{"xcb:nograb", "localhost:5999", "", "", false}, true, "", ""},
      {{"wayland", "", "wayland-7", dir, true}, true, "", ""},
      {{"xcb:nograb", ":5998", "", "", false},
       false, "",
       "no platform of QT_QPA_PLATFORM \"xcb:nograb\" can start (xcb:nograb: the X display \":5998\" does not "
       "answer)"},
      {{"xcb;wayland", ":5998", "wayland-7", dir, false},
       false, "",
       "no platform of QT_QPA_PLATFORM \"xcb;wayland\" can start (xcb: the X display \":5998\" does not answer; "
       "wayland: Qt's Wayland platform plugin is not installed)"},
  };
  for (const Row& row : rows) {
    const auto& e = row.environment;
    SCOPED_TRACE("QT_QPA_PLATFORM=" + e.qpaPlatform + " DISPLAY=" + e.display + " WAYLAND_DISPLAY=" + e.waylandDisplay);
    const zk::ui::qt::PlatformChoice choice = zk::ui::qt::ChoosePlatform(e);
    EXPECT_EQ(choice.usable, row.usable);
    EXPECT_EQ(choice.platform, row.platform);
    EXPECT_EQ(choice.problem, row.problem);
  }
}

TEST(QtPlugin, NoDisplayToStartOnFallsBackInsteadOfEndingTheProcess) {
  // A Wayland session's variable without its compositor, and no X display:
  // Qt would end the process here. The real command, library and plugin
  // against the real simulator.
  zk::test::TempHome home;
  const std::filesystem::path state = home.path() / "state";
  std::filesystem::create_directories(state / "prl");
  std::ofstream(state / "prl" / "nam0.bin", std::ios::binary) << "a stored list";
  zk::test::BackgroundCommand handset(ZK_SIM_EXECUTABLE, {"--port", "COM9", "--state", state.string()});
  ASSERT_TRUE(handset.ReadUntil("COM9 ->", 10000));
  const std::string prl = (home.path() / "read.prl").string();
  const zk::test::CommandOutcome run =
      zk::test::RunCommand(ZK_CLI_EXECUTABLE, {"prl-read", "--port", "COM9", prl},
                           {{"ZKDOWNLOAD_UI", "qt"}, {"QT_QPA_PLATFORM", ""}, {"DISPLAY", ""},
                            {"WAYLAND_DISPLAY", "wayland-99"}, {"ZKDOWNLOAD_TIME_SCALE", "0.05"}});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("Qt interface unavailable (" ZK_QT_PLUGIN_FILE ": no display answers (DISPLAY is not set; "
                         "the Wayland display \"wayland-99\" does not answer)); using the console interface"),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.out.find("read from COM9"), std::string::npos) << run.out;
}

}  // namespace
