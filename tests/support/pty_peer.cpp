#include "support/pty_peer.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <system_error>

namespace zk::test {
namespace {

using Clock = std::chrono::steady_clock;

int MsLeft(Clock::time_point end) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

[[noreturn]] void Fail(const char* what) { throw std::system_error(errno, std::generic_category(), what); }

}  // namespace

RawPty::RawPty() {
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0) Fail("posix_openpt");
  if (grantpt(master_) != 0 || unlockpt(master_) != 0) Fail("grantpt/unlockpt");
  char name[128];
  if (ptsname_r(master_, name, sizeof(name)) != 0) Fail("ptsname_r");
  slavePath_ = name;
  slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave_ < 0) Fail("open pty slave");
  termios raw{};
  if (tcgetattr(slave_, &raw) != 0) Fail("tcgetattr");
  cfmakeraw(&raw);
  if (tcsetattr(slave_, TCSANOW, &raw) != 0) Fail("tcsetattr");
  // The master is written and read with deadlines.
  fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
}

RawPty::~RawPty() {
  CloseMaster();
  if (slave_ >= 0) ::close(slave_);
}

void RawPty::CloseMaster() {
  if (master_ >= 0) ::close(master_);
  master_ = -1;
}

bool RawPty::Write(const Bytes& bytes, int timeoutMs) {
  const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
    pollfd pfd{master_, POLLOUT, 0};
    if (MsLeft(end) == 0 || ::poll(&pfd, 1, MsLeft(end)) == 0) return false;
  }
  return true;
}

Bytes RawPty::ReadFrame(int timeoutMs) {
  const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
  Bytes frame;
  bool nonFlag = false;
  while (true) {
    uint8_t byte = 0;
    const ssize_t n = ::read(master_, &byte, 1);
    if (n == 1) {
      frame.push_back(byte);
      if (byte != 0x7E) {
        nonFlag = true;
      } else if (nonFlag) {
        return frame;
      }
      continue;
    }
    if (n == 0 || (errno != EAGAIN && errno != EINTR)) return frame;  // hung up
    pollfd pfd{master_, POLLIN, 0};
    if (MsLeft(end) == 0 || ::poll(&pfd, 1, MsLeft(end)) == 0) return frame;
  }
}

Bytes RawPty::ReadFor(int timeoutMs) {
  const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
  Bytes bytes;
  uint8_t chunk[4096];
  while (true) {
    const ssize_t n = ::read(master_, chunk, sizeof(chunk));
    if (n > 0) {
      bytes.insert(bytes.end(), chunk, chunk + n);
      continue;
    }
    if (n == 0 || (errno != EAGAIN && errno != EINTR)) return bytes;
    pollfd pfd{master_, POLLIN, 0};
    if (MsLeft(end) == 0 || ::poll(&pfd, 1, MsLeft(end)) == 0) return bytes;
  }
}

PtyPeer::PtyPeer(RawPty& pty, std::vector<PeerStep> steps, int stepTimeoutMs) {
  std::packaged_task<std::vector<Bytes>()> task([&pty, steps = std::move(steps), stepTimeoutMs] {
    std::vector<Bytes> requests;
    for (const auto& step : steps) {
      requests.push_back(pty.ReadFrame(stepTimeoutMs));
      if (!step.reply.empty()) pty.Write(step.reply, stepTimeoutMs);
      if (step.closeMaster) {
        pty.CloseMaster();
        break;
      }
    }
    return requests;
  });
  result_ = task.get_future();
  thread_ = std::thread(std::move(task));
}

PtyPeer::~PtyPeer() { Finish(); }

std::vector<Bytes> PtyPeer::Finish() {
  if (thread_.joinable()) {
    thread_.join();
    requests_ = result_.get();
  }
  return requests_;
}

Bytes EncodeForWire(const Bytes& packet) {
  uint16_t crc = 0xFFFF;
  for (const uint8_t byte : packet) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0x8408) : crc >> 1;
  }
  crc = static_cast<uint16_t>(~crc);
  Bytes unescaped = packet;
  unescaped.push_back(static_cast<uint8_t>(crc & 0xFF));
  unescaped.push_back(static_cast<uint8_t>(crc >> 8));
  Bytes wire;
  for (const uint8_t byte : unescaped) {
    if (byte == 0x7D || byte == 0x7E) {
      wire.push_back(0x7D);
      wire.push_back(static_cast<uint8_t>(byte ^ 0x20));
    } else {
      wire.push_back(byte);
    }
  }
  wire.push_back(0x7E);
  return wire;
}

bool WaitForInput(int fd, int count, int timeoutMs) {
  const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (true) {
    int waiting = 0;
    if (ioctl(fd, FIONREAD, &waiting) == 0 && waiting >= count) return true;
    if (MsLeft(end) == 0) return false;
    // Bytes move from master to slave asynchronously; poll wakes on the
    // first, a short sleep covers the rest of a burst.
    pollfd pfd{fd, POLLIN, 0};
    if (waiting == 0) ::poll(&pfd, 1, std::min(MsLeft(end), 10));
    else ::usleep(1000);
  }
}

}  // namespace zk::test
