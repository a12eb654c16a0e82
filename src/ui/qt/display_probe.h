// Whether a display answers at all, and which Qt platform can start. Qt ends
// the whole process when no platform it tries can connect, so the plugin
// looks first and lets the library fall back to another interface instead.
#pragma once

#include <string>

namespace zk::ui::qt {

// `display` as in DISPLAY: [host]:number[.screen]. A local display is
// probed on its socket (the file and the abstract one), "host:N" (a
// forwarded "localhost:10" as well as another machine) on TCP port
// 6000 + N, waiting up to 3 s for the host to answer.
bool XDisplayReachable(const std::string& display);

// `display` as in WAYLAND_DISPLAY: a socket path, or a name under
// `runtimeDirectory` (XDG_RUNTIME_DIR). Empty: no Wayland display.
bool WaylandDisplayReachable(const std::string& display, const std::string& runtimeDirectory);

// What decides the platform: the variables as the process has them, and
// whether Qt's Wayland platform plugin is installed.
struct DisplayEnvironment {
  std::string qpaPlatform;  // QT_QPA_PLATFORM
  std::string display;      // DISPLAY
  std::string waylandDisplay;
  std::string runtimeDirectory;
  bool waylandPluginInstalled = false;
};

struct PlatformChoice {
  bool usable = false;
  std::string platform;  // to pass to Qt; empty: Qt's own choice (QT_QPA_PLATFORM) stands
  std::string problem;   // why none can start, when not usable
};

// QT_QPA_PLATFORM, when set, stands if any platform it lists can start
// (Qt tries them in turn; "xcb" and "wayland*" need their display, others
// are taken as able). Unset, the X display is taken first, as Qt does, then
// a Wayland display.
PlatformChoice ChoosePlatform(const DisplayEnvironment& environment);

}  // namespace zk::ui::qt
