// The preferred roaming lists of both NAMs, kept in <state>/prl/nam<N>.bin as
// the plain byte image.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace rb310 {

class PrlStore {
 public:
  explicit PrlStore(std::filesystem::path directory) : directory_(std::move(directory)) {}

  const std::filesystem::path& directory() const { return directory_; }
  std::filesystem::path PathOf(int nam) const;

  std::optional<std::vector<uint8_t>> Load(int nam) const;
  bool Save(int nam, std::span<const uint8_t> bytes);

 private:
  std::filesystem::path directory_;
};

}  // namespace rb310
