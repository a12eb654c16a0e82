#include "platform/cancel.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>

namespace zk::platform {
namespace {

std::atomic<bool> g_cancelled{false};

int WakeFd() {
  static const int fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  return fd;
}

}  // namespace

void RequestCancel() {
  g_cancelled.store(true);
  if (const int fd = WakeFd(); fd >= 0) {
    const uint64_t one = 1;
    ssize_t written;
    do {
      written = ::write(fd, &one, sizeof one);
    } while (written < 0 && errno == EINTR);
  }
}

bool CancelRequested() { return g_cancelled.load(); }

void ClearCancel() {
  g_cancelled.store(false);
  if (const int fd = WakeFd(); fd >= 0) {
    uint64_t count = 0;
    while (::read(fd, &count, sizeof count) < 0 && errno == EINTR) {
    }
  }
}

int CancelWakeFd() { return WakeFd(); }

}  // namespace zk::platform
