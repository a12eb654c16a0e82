#include "ui/qt/display_probe.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>

namespace zk::ui::qt {
namespace {

constexpr int kX11TcpBase = 6000;

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

bool LoopbackAnswers(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return Connects(AF_INET, reinterpret_cast<const sockaddr*>(&address), sizeof address);
}

}  // namespace

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
  if (host == "localhost" || host == "127.0.0.1") return LoopbackAnswers(kX11TcpBase + std::stoi(number));
  return true;  // another host: Qt finds out, and reports it, itself
}

}  // namespace zk::ui::qt
