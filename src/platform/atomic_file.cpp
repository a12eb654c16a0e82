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

// The mkstemp pattern of a temporary file beside `target` in `directory`:
// the leading dot keeps it out of listings that look for the real name.
std::string TemporaryPattern(const std::filesystem::path& directory, const std::filesystem::path& target) {
  std::string name(1, '.');
  name.append(target.filename().string()).append(".XXXXXX");
  return (directory / name).string();
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
  // mkstemp gives a name no other writer holds.
  std::string pattern = TemporaryPattern(target.parent_path(), target);
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

PendingFile::PendingFile(const std::filesystem::path& target) : m_target(target) {
  namespace fs = std::filesystem;
  std::error_code ignored;
  if (target.empty() || !target.has_filename() || fs::is_directory(target, ignored)) return;
  const fs::path directory = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::string pattern = TemporaryPattern(directory, target);
  const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd < 0) return;
  ::fchmod(fd, 0644);  // mkstemp creates the file readable by its owner alone
  m_file = ::fdopen(fd, "wb");
  if (m_file == nullptr) {
    ::close(fd);
    ::unlink(pattern.c_str());
    return;
  }
  m_temporary = pattern;
}

PendingFile::~PendingFile() {
  if (m_temporary.empty()) return;
  std::error_code ignored;
  Close(ignored);
  std::filesystem::remove(m_temporary, ignored);
}

bool PendingFile::Close(std::error_code& error) {
  if (m_file == nullptr) return true;
  const bool flushed = std::fflush(m_file) == 0;
  const int flushError = errno;
  const bool closed = std::fclose(m_file) == 0;
  m_file = nullptr;
  if (!flushed || !closed) {
    error.assign(!flushed ? flushError : errno, std::generic_category());
    return false;
  }
  return true;
}

bool PendingFile::MoveTo(const std::filesystem::path& destination, std::error_code& error) {
  error.clear();
  if (m_temporary.empty()) {
    error = std::make_error_code(std::errc::bad_file_descriptor);
    return false;
  }
  if (!Close(error)) return false;
  std::filesystem::rename(m_temporary, destination, error);
  if (error) return false;
  m_temporary.clear();
  return true;
}

bool PendingFile::Commit(std::error_code& error) { return MoveTo(m_target, error); }

bool PendingFile::KeepAs(const std::filesystem::path& other, std::error_code& error) { return MoveTo(other, error); }

}  // namespace zk::platform
