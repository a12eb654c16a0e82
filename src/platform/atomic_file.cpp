#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace zk::platform {
namespace {

// Writes everything or reports the first error.
bool WriteAll(int fd, std::span<const uint8_t> bytes, std::error_code& error) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error.assign(n < 0 ? errno : EIO, std::generic_category());
      return false;
    }
    bytes = bytes.subspan(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

bool WriteFileAtomically(const std::filesystem::path& target, std::span<const uint8_t> bytes,
                         std::error_code& error) {
  namespace fs = std::filesystem;
  error.clear();
  if (target.has_parent_path()) {
    fs::create_directories(target.parent_path(), error);
    if (error) return false;
  }
  // mkstemp gives a name no other writer holds; the leading dot keeps it out
  // of directory listings that look for the real name.
  std::string pattern = (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
  const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd < 0) {
    error.assign(errno, std::generic_category());
    return false;
  }
  bool ok = WriteAll(fd, bytes, error);
  // mkstemp creates the file readable by its owner alone.
  if (ok) ::fchmod(fd, 0644);
  if (::close(fd) != 0 && ok) {
    error.assign(errno, std::generic_category());
    ok = false;
  }
  if (ok) {
    fs::rename(pattern, target, error);
    ok = !error;
  }
  if (!ok) {
    std::error_code ignored;
    fs::remove(pattern, ignored);
  }
  return ok;
}

}  // namespace zk::platform
