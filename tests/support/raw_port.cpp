#include "support/raw_port.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace zk::test {
namespace {

speed_t SpeedConstant(uint32_t baud) {
  switch (baud) {
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    case 460800: return B460800;
    default: return B0;
  }
}

}  // namespace

bool SetPortBaud(int fd, uint32_t baud) {
  const speed_t speed = SpeedConstant(baud);
  termios settings{};
  if (speed == B0 || tcgetattr(fd, &settings) != 0) return false;
  cfsetispeed(&settings, speed);
  cfsetospeed(&settings, speed);
  return tcsetattr(fd, TCSANOW, &settings) == 0;
}

int OpenRawPort(const std::string& path, uint32_t baud) {
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  termios settings{};
  if (tcgetattr(fd, &settings) != 0) {
    close(fd);
    return -1;
  }
  cfmakeraw(&settings);
  settings.c_cflag |= CLOCAL | CREAD;
  if (tcsetattr(fd, TCSANOW, &settings) != 0 || !SetPortBaud(fd, baud)) {
    close(fd);
    return -1;
  }
  tcflush(fd, TCIOFLUSH);
  return fd;
}

bool WriteAll(int fd, std::span<const uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
    if (written > 0) {
      done += static_cast<std::size_t>(written);
      continue;
    }
    if (written < 0 && errno != EAGAIN && errno != EINTR) return false;
    pollfd pfd{fd, POLLOUT, 0};
    if (poll(&pfd, 1, 1000) <= 0) return false;
  }
  return true;
}

std::vector<uint8_t> ReadUntil(int fd, int timeoutMs, const std::function<bool(const std::vector<uint8_t>&)>& done) {
  using Clock = std::chrono::steady_clock;
  const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
  std::vector<uint8_t> bytes;
  while (!done(bytes)) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()).count();
    if (left <= 0) break;
    pollfd pfd{fd, POLLIN, 0};
    if (poll(&pfd, 1, static_cast<int>(left)) <= 0) continue;
    uint8_t buffer[4096];
    const ssize_t got = read(fd, buffer, sizeof(buffer));
    if (got > 0) bytes.insert(bytes.end(), buffer, buffer + got);
  }
  return bytes;
}

std::vector<uint8_t> ReadFrameBytes(int fd, int timeoutMs) {
  auto bytes = ReadUntil(fd, timeoutMs, [](const std::vector<uint8_t>& got) {
    const auto firstData = std::find_if(got.begin(), got.end(), [](uint8_t b) { return b != 0x7E; });
    return firstData != got.end() && std::find(firstData, got.end(), 0x7E) != got.end();
  });
  const auto firstData = std::find_if(bytes.begin(), bytes.end(), [](uint8_t b) { return b != 0x7E; });
  if (firstData == bytes.end() || std::find(firstData, bytes.end(), 0x7E) == bytes.end()) bytes.clear();
  return bytes;
}

}  // namespace zk::test
