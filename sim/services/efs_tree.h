// The host directory that holds the handset's file system, and the one way
// handset paths become host paths: every wire path is checked here, so that
// no request reaches a host file outside the directory, whether through ".."
// components or through links that point out of it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rb310 {

// A zero-terminated path field of a request from `offset`: up to the first
// zero, the request's end or `limit` bytes, whichever comes first.
std::string EfsPathField(std::span<const uint8_t> request, std::size_t offset, std::size_t limit);

class EfsTree {
 public:
  explicit EfsTree(std::filesystem::path root) : root_(std::move(root)) {}

  const std::filesystem::path& root() const { return root_; }

  // A handset path in its one spelling: relative to the root, without a
  // leading "/", components joined by single "/" ("" is the root).
  struct Place {
    uint32_t error = 0;  // 0, or the refusal's error number
    std::string relative;
    std::filesystem::path host;
  };
  // The relative spelling of a wire path, by its text alone.
  static std::string Spelling(std::string_view wirePath);
  // Maps a wire path ("/eri/eri.bin", "eri/eri.bin", "/", ""). Refused
  // (error 13): ".." components, backslashes, control characters, and paths
  // that resolve outside the root through links.
  Place Resolve(std::string_view wirePath) const;

  struct Entry {
    std::string name;
    bool directory = false;
    uint64_t size = 0;
  };
  // The plain files and directories directly in `directory`, sorted by name.
  // Links count as what they point to when that lies inside the root, and are
  // left out otherwise, as is anything neither file nor directory. Returns
  // the error number (2 missing, 20 not a directory).
  uint32_t List(const std::filesystem::path& directory, std::vector<Entry>& entries) const;

  // The error number for a failed host call's errno.
  static uint32_t ErrorFromErrno(int error);

 private:
  bool Inside(const std::filesystem::path& canonical) const;

  std::filesystem::path root_;
};

}  // namespace rb310
