#include "wire/pty_endpoint.h"

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "platform/port_map.h"
#include "wire/line_rate.h"

namespace rb310 {
namespace {

std::error_code LastError() { return std::error_code(errno, std::generic_category()); }

}  // namespace

PtyEndpoint::~PtyEndpoint() { Close(); }

bool PtyEndpoint::Open(std::error_code& error) {
  Close();
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
    error = LastError();
    Close();
    return false;
  }
  char name[128];
  if (ptsname_r(master_, name, sizeof(name)) != 0) {
    error = LastError();
    Close();
    return false;
  }
  slavePath_ = name;
  keptSlave_ = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (keptSlave_ < 0) {
    error = LastError();
    Close();
    return false;
  }
  // Raw at once: with the default line discipline the slave would echo the
  // handset's answers back to it and turn CR into LF.
  termios settings{};
  if (tcgetattr(keptSlave_, &settings) != 0) {
    error = LastError();
    Close();
    return false;
  }
  cfmakeraw(&settings);
  settings.c_cflag |= CLOCAL | CREAD;
  cfsetispeed(&settings, B38400);
  cfsetospeed(&settings, B38400);
  if (tcsetattr(keptSlave_, TCSANOW, &settings) != 0) {
    error = LastError();
    Close();
    return false;
  }
  error.clear();
  return true;
}

void PtyEndpoint::Close() {
  Unlink();
  if (keptSlave_ >= 0) close(keptSlave_);
  if (master_ >= 0) close(master_);
  keptSlave_ = -1;
  master_ = -1;
  slavePath_.clear();
}

bool PtyEndpoint::Link(int port, const std::optional<std::string>& friendly, std::error_code& error) {
  Unlink();
  std::optional<std::string_view> text;
  if (friendly) text = *friendly;
  if (!zk::platform::LinkPort(port, slavePath_, text, error)) return false;
  linkedPort_ = port;
  return true;
}

void PtyEndpoint::Unlink() {
  if (linkedPort_ == 0) return;
  // Only our own entry goes: another handset may have taken the port since.
  std::error_code error;
  const auto entry = zk::platform::PortMapDirectory() / ("COM" + std::to_string(linkedPort_));
  const auto target = std::filesystem::read_symlink(entry, error);
  if (!error && target == slavePath_) zk::platform::UnlinkPort(linkedPort_);
  linkedPort_ = 0;
}

uint32_t PtyEndpoint::HostBaud() const { return master_ >= 0 ? HostLineRate(master_) : 0; }

}  // namespace rb310
