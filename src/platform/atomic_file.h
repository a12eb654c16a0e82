// Replacing a file in one step: the new contents go to a uniquely named
// temporary file beside the target, which is renamed over it only once the
// whole text is on disk. A reader sees the old file or the new one, never a
// half-written one, and two processes writing the same file never share a
// temporary name.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <span>
#include <string_view>
#include <system_error>

namespace zk::platform {

// Creates the parent directories when needed. On failure the target keeps its
// old contents, no temporary file is left behind and `error` says why.
bool WriteFileAtomically(const std::filesystem::path& target, std::span<const uint8_t> bytes,
                         std::error_code& error);

inline bool WriteFileAtomically(const std::filesystem::path& target, std::string_view text, std::error_code& error) {
  return WriteFileAtomically(target, {reinterpret_cast<const uint8_t*>(text.data()), text.size()}, error);
}

// A file written piece by piece that takes its target's place only when it
// is complete: the pieces go to a uniquely named temporary file beside the
// target. Commit renames it over the target; KeepAs renames it elsewhere (to
// keep what arrived of an unfinished transfer); otherwise the destructor
// removes it. The target is never touched until Commit.
class PendingFile {
 public:
  // The temporary file is created in the target's directory (which must
  // exist); file() is null when it could not be, or when the target is a
  // directory.
  explicit PendingFile(const std::filesystem::path& target);
  ~PendingFile();
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  std::FILE* file() const { return m_file; }
  const std::filesystem::path& temporaryPath() const { return m_temporary; }

  bool Commit(std::error_code& error);
  bool KeepAs(const std::filesystem::path& other, std::error_code& error);

 private:
  bool Close(std::error_code& error);
  bool MoveTo(const std::filesystem::path& destination, std::error_code& error);

  std::filesystem::path m_target;
  std::filesystem::path m_temporary;
  std::FILE* m_file = nullptr;
};

}  // namespace zk::platform
