#include "ui/qt/display_probe.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <string_view>

namespace zk::ui::qt {
namespace {

constexpr int kX11TcpBase = 6000;
constexpr int kTcpAnswerMs = 3000;

bool Connects(int family, const sockaddr* address, socklen_t length) {
  const int fd = socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const bool connected = connect(fd, address, length) == 0;
  close(fd);
  return connected;
}

bool LocalSocketAnswers(const std::string& path, bool abstract) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::size_t offset = abstract ? 1 : 0;  // an abstract name starts with a zero byte
  if (path.size() + offset >= sizeof(address.sun_path)) return false;
  std::memcpy(address.sun_path + offset, path.data(), path.size());
  const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size() + (abstract ? 0 : 1));
  return Connects(AF_UNIX, reinterpret_cast<const sockaddr*>(&address), length);
}

// A TCP connection to `host` on `port`, on any of its addresses, within
// kTcpAnswerMs for each: a host that drops the connection unanswered would
// otherwise hold the caller for the kernel's minutes of retries.
bool TcpHostAnswers(const std::string& host, int port) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return false;
  bool answered = false;
  for (const addrinfo* candidate = found; candidate != nullptr && !answered; candidate = candidate->ai_next) {
    const int fd = socket(candidate->ai_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) continue;
    if (connect(fd, candidate->ai_addr, candidate->ai_addrlen) == 0) {
      answered = true;
    } else if (errno == EINPROGRESS) {
      pollfd pending{fd, POLLOUT, 0};
      int error = 0;
      socklen_t length = sizeof error;
      answered = poll(&pending, 1, kTcpAnswerMs) == 1 &&
                 getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
    }
    close(fd);
  }
  freeaddrinfo(found);
  return answered;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Whether Qt can start `platform` ("name" or "name:options"), and if not, why.
bool PlatformCanStart(const std::string& platform, const DisplayEnvironment& environment, std::string& problem) {
  const std::string name = platform.substr(0, platform.find(':'));
  if (name == "xcb") {
    if (XDisplayReachable(environment.display)) return true;
    problem = environment.display.empty() ? "DISPLAY is not set"
                                          : "the X display " + Quoted(environment.display) + " does not answer";
    return false;
  }
  if (name.starts_with("wayland")) {
    if (!WaylandDisplayReachable(environment.waylandDisplay, environment.runtimeDirectory)) {
      problem = environment.waylandDisplay.empty()
                    ? "WAYLAND_DISPLAY is not set"
                    : "the Wayland display " + Quoted(environment.waylandDisplay) + " does not answer";
      return false;
    }
    if (!environment.waylandPluginInstalled) {
      problem = "Qt's Wayland platform plugin is not installed";
      return false;
    }
  }
  return true;
}

}  // namespace

bool WaylandDisplayReachable(const std::string& display, const std::string& runtimeDirectory) {
  if (display.empty()) return false;
  if (display.front() == '/') return LocalSocketAnswers(display, false);
  return !runtimeDirectory.empty() && LocalSocketAnswers(runtimeDirectory + "/" + display, false);
}

PlatformChoice ChoosePlatform(const DisplayEnvironment& environment) {
  PlatformChoice choice;
  std::string problems;
  const auto note = [&problems](const std::string& problem) {
    problems += (problems.empty() ? "" : "; ") + problem;
  };
  if (!environment.qpaPlatform.empty()) {
    std::string_view names = environment.qpaPlatform;
    while (!names.empty()) {
      const std::size_t end = std::min(names.find(';'), names.size());
      const std::string name(names.substr(0, end));
      names.remove_prefix(std::min(end + 1, names.size()));
      std::string problem;
      if (PlatformCanStart(name, environment, problem)) {
        choice.usable = true;
        return choice;
      }
      note(name + ": " + problem);
    }
    choice.problem = "no platform of QT_QPA_PLATFORM " + Quoted(environment.qpaPlatform) + " can start (" + problems + ")";
    return choice;
  }
  for (const char* name : {"xcb", "wayland"}) {
    std::string problem;
    if (PlatformCanStart(name, environment, problem)) {
      choice.usable = true;
      choice.platform = name;
      return choice;
    }
    note(problem);
  }
  choice.problem = "no display answers (" + problems + ")";
  return choice;
}

bool XDisplayReachable(const std::string& display) {
  const std::size_t colon = display.rfind(':');
  if (colon == std::string::npos) return false;
  const std::string host = display.substr(0, colon);
  std::string number = display.substr(colon + 1);
  number = number.substr(0, number.find('.'));
  if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos || number.size() > 5) return false;

  if (host.empty() || host == "unix") {
    const std::string path = "/tmp/.X11-unix/X" + number;
    return LocalSocketAnswers(path, false) || LocalSocketAnswers(path, true);
  }
  return TcpHostAnswers(host, kX11TcpBase + std::stoi(number));
}

}  // namespace zk::ui::qt
